#include "records/SyncService.h"

#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QPair>
#include <QUrl>
#include <cmath>

#include "platform/DebugLog.h"
#include "platform/SettingsStore.h"
#include "platform/Threading.h"
#include "records/HistoryService.h"
#include "records/SavedPromptTab.h"
#include "records/TextExpansionService.h"
#include "service/AnswerLimits.h"
#include "platform/Required.h"

namespace {

SyncService::Collaborators& sharedCollaborators() {
    static SyncService::Collaborators c;
    return c;
}

QString key(const char* name) {
    return QString::fromLatin1(name);
}

// Runs fn on the main thread and waits for it (inline when already there).
template <typename Fn>
void onMainAndWait(Fn&& fn) {
    if (isMainThread()) {
        fn();
        return;
    }
    std::promise<void> done;
    runOnMain([&] {
        fn();
        done.set_value();
    });
    done.get_future().wait();
}

// A whole number within the 64-bit range; a fraction or a Boolean is not one.
bool isInteger(const QJsonValue& v) {
    if (!v.isDouble()) return false;
    const double d = v.toDouble();
    return std::isfinite(d) && std::trunc(d) == d && d >= -9223372036854775808.0 &&
           d < 9223372036854775808.0;
}

bool isStringArray(const QJsonValue& v) {
    if (!v.isArray()) return false;
    for (const QJsonValue& item : v.toArray())
        if (!item.isString()) return false;
    return true;
}

bool isObjectArray(const QJsonValue& v) {
    if (!v.isArray()) return false;
    for (const QJsonValue& item : v.toArray())
        if (!item.isObject()) return false;
    return true;
}

bool isStringObject(const QJsonValue& v) {
    if (!v.isObject()) return false;
    const QJsonObject o = v.toObject();
    for (auto it = o.begin(); it != o.end(); ++it)
        if (!it.value().isString()) return false;
    return true;
}

QByteArray compact(const QJsonObject& o) {
    return QJsonDocument(o).toJson(QJsonDocument::Compact);
}

}  // namespace

// ---- instances and lanes

// The dictionary and the voice snippets differ only in their names.
struct SyncService::EntryCollection {
    Lane lane;
    const char* name;
    const char* path;
    const char* valueKey;    // the wire key of the second field
    const char* localKey;    // the history record's key of the trigger
    const char* localValue;  // ... and of the second field
    const char* pulledLine;
    const char* pushedLine;
    QList<HistoryRecord> (HistoryService::*fetch)();
    void (HistoryService::*replaceAll)(const QList<QPair<QString, QString>>&);

    static const EntryCollection dictionary;
    static const EntryCollection snippets;
};

const SyncService::EntryCollection SyncService::EntryCollection::dictionary{
    dictionaryLane,
    "Dictionary",
    "/sync/dictionary",
    "replacement",
    "trigger",
    "replacement",
    "[Sync] Dictionary pulled: ",
    "[Sync] Dictionary pushed: ",
    &HistoryService::fetchDictionary,
    &HistoryService::replaceAllDictionaryEntries};
const SyncService::EntryCollection SyncService::EntryCollection::snippets{
    snippetsLane,
    "Snippets",
    "/sync/snippets",
    "expanded_text",
    "shortcut",
    "text",
    "[Sync] Snippets pulled: ",
    "[Sync] Snippets pushed: ",
    &HistoryService::fetchSnippets,
    &HistoryService::replaceAllSnippets};

void SyncService::setSharedCollaborators(Collaborators collaborators) {
    sharedCollaborators() = std::move(collaborators);
}

SyncService& SyncService::shared() {
    // Never destroyed: quitting must not wait for an exchange in flight.
    static SyncService* instance = new SyncService(sharedCollaborators());
    return *instance;
}

SyncService::SyncService(Collaborators collaborators)
    : m_c(std::move(collaborators)),
      m_settings((requireCollaborators("SyncService", "settings", m_c.settings, "history",
                                       m_c.history, "textExpansions", m_c.textExpansions),
                  *m_c.settings)),
      m_history(*m_c.history),
      m_expansions(*m_c.textExpansions) {
    static const char* const names[laneCount] = {
        "sync.settings", "sync.dictionary", "sync.snippets", "sync.textExpansions", "sync.account"};
    for (int i = 0; i < laneCount; ++i)
        m_lanes[i] = std::make_unique<SerialQueue>(QString::fromLatin1(names[i]));
}

SyncService::~SyncService() = default;

SyncService::Done SyncService::enqueue(Lane lane, std::function<void()> job) {
    auto promise = std::make_shared<std::promise<void>>();
    Done done = promise->get_future().share();
    m_lanes[lane]->async([job = std::move(job), promise] {
        try {
            job();
        } catch (const std::exception& e) {
            debugLog(QStringLiteral("[Sync] Exchange failed: ") + QString::fromUtf8(e.what()));
        } catch (...) {
            debugLog(QStringLiteral("[Sync] Exchange failed"));
        }
        promise->set_value();
    });
    return done;
}

SyncService::Done SyncService::push(Lane lane, void (SyncService::*step)()) {
    ++m_pushesAsked[lane];
    return enqueue(lane, [this, step] { (this->*step)(); });
}

SyncService::Done SyncService::pull(Lane lane, PullStep step, std::optional<Done> previous) {
    const quint64 seen = m_pushesAsked[lane].load();
    return enqueue(lane, [this, step, previous, seen] {
        if (previous) previous->wait();
        (this->*step)(seen);
    });
}

bool SyncService::newerPushAsked(Lane lane, quint64 pushesSeen, const char* what) const {
    if (m_pushesAsked[lane].load() == pushesSeen) return false;
    debugLog(QStringLiteral("[Sync] ") + key(what) +
             QStringLiteral(" pull not applied: a newer local change is being pushed"));
    return true;
}

SyncService::Done SyncService::pullAll() {
    if (!m_c.account.accessToken || !m_c.account.accessToken()) {
        std::promise<void> none;
        none.set_value();
        return none.get_future().share();
    }
    debugLog(QStringLiteral("[Sync] pullAll starting..."));
    // Every lane's place is taken now, so an exchange asked after this call
    // runs after this call's own exchange of that collection.
    const Done account = enqueue(accountLane, [this] {
        for (const auto& load : {m_c.account.loadUserInfo, m_c.account.loadUsageStats}) {
            try {
                if (load) load();
            } catch (...) {
                // The pulls go ahead without the account's record.
            }
        }
    });
    const Done settings = pull(settingsLane, &SyncService::runPullSettings, account);
    const Done dictionary = pull(dictionaryLane, &SyncService::runPullDictionary, settings);
    const Done snippets = pull(snippetsLane, &SyncService::runPullSnippets, dictionary);
    const Done expansions = pull(expansionsLane, &SyncService::runPullTextExpansions, snippets);
    return enqueue(accountLane, [expansions] {
        expansions.wait();
        debugLog(QStringLiteral("[Sync] pullAll complete"));
    });
}

SyncService::Done SyncService::pullSettings() {
    return pull(settingsLane, &SyncService::runPullSettings);
}
SyncService::Done SyncService::pushSettings() {
    return push(settingsLane, &SyncService::runPushSettings);
}
SyncService::Done SyncService::pullDictionary() {
    return pull(dictionaryLane, &SyncService::runPullDictionary);
}
SyncService::Done SyncService::pushDictionary() {
    return push(dictionaryLane, &SyncService::runPushDictionary);
}
SyncService::Done SyncService::pullSnippets() {
    return pull(snippetsLane, &SyncService::runPullSnippets);
}
SyncService::Done SyncService::pushSnippets() {
    return push(snippetsLane, &SyncService::runPushSnippets);
}
SyncService::Done SyncService::pullTextExpansions() {
    return pull(expansionsLane, &SyncService::runPullTextExpansions);
}
SyncService::Done SyncService::pushTextExpansions() {
    return push(expansionsLane, &SyncService::runPushTextExpansions);
}

// ---- transport

std::optional<QByteArray> SyncService::httpGet(const QString& path, bool isRetry) {
    return exchange("GET", path, {}, isRetry);
}

std::optional<QByteArray> SyncService::httpPut(const QString& path, const QByteArray& body,
                                               bool isRetry) {
    return exchange("PUT", path, body, isRetry);
}

std::optional<QByteArray> SyncService::exchange(const QByteArray& method, const QString& path,
                                                const QByteArray& body, bool isRetry) {
    const std::optional<QString> token =
        m_c.account.accessToken ? m_c.account.accessToken() : std::nullopt;
    if (!token) return std::nullopt;
    const QString url = m_c.baseURL + path;
    if (!QUrl(url, QUrl::StrictMode).isValid() || !m_c.send) return std::nullopt;

    HttpRequest request;
    request.method = method;
    request.url = url;
    request.timeout = 60;
    AnswerLimitsTable::apply(request, path == QLatin1String("/sync/settings")
                                          ? AnswerKind::settings
                                          : AnswerKind::userItems);
    request.headers.set("Authorization", "Bearer " + token->toUtf8());
    if (method == "PUT") {
        request.headers.set("Content-Type", "application/json");
        request.body = body;
    }
    const QString label = QStringLiteral("[Sync] ") + QString::fromLatin1(method) + ' ' + path;
    HttpResponse response;
    try {
        response = m_c.send(request);
    } catch (const HttpError& e) {
        if (e.kind() == HttpErrorKind::badURL) return std::nullopt;
        debugLog(label + QStringLiteral(" error: ") + e.description());
        return std::nullopt;
    } catch (const std::exception& e) {
        debugLog(label + QStringLiteral(" error: ") + QString::fromUtf8(e.what()));
        return std::nullopt;
    }
    if (response.status == 401 && !isRetry) {
        try {
            if (m_c.account.refreshAccessToken) m_c.account.refreshAccessToken();
        } catch (...) {
            // The repeat finds out whether a token is left.
        }
        return exchange(method, path, body, true);
    }
    if (response.status == 200) return response.body;
    debugLog(label + QStringLiteral(" failed: ") + QString::number(response.status));
    return std::nullopt;
}

std::optional<QJsonObject> SyncService::getObject(const QString& path) {
    const auto bytes = httpGet(path);
    if (!bytes) return std::nullopt;
    const QJsonDocument doc = QJsonDocument::fromJson(*bytes);
    if (!doc.isObject()) return std::nullopt;
    return doc.object();
}

// ---- settings

void SyncService::runPullSettings(quint64 pushesSeen) {
    const auto top = getObject(QStringLiteral("/sync/settings"));
    if (!top) return;
    const QJsonValue remote = top->value(QStringLiteral("settings"));
    if (!remote.isObject() || remote.toObject().isEmpty()) return;
    bool applied = false;
    onMainAndWait([&] {
        if (newerPushAsked(settingsLane, pushesSeen, "Settings")) return;
        applyPulledSettings(remote.toObject());
        if (m_c.rebuildMenu) m_c.rebuildMenu();
        applied = true;
    });
    if (applied) debugLog(QStringLiteral("[Sync] Settings pulled"));
}

void SyncService::applyPulledSettings(const QJsonObject& remote) {
    QJsonObject writes;
    const auto take = [&](const char* name, bool (*accepts)(const QJsonValue&)) {
        const QJsonValue v = remote.value(key(name));
        if (accepts(v)) writes.insert(key(name), v);
    };
    const auto isString = [](const QJsonValue& v) { return v.isString(); };
    const auto isBool = [](const QJsonValue& v) { return v.isBool(); };
    const auto isNumber = [](const QJsonValue& v) { return v.isDouble(); };
    for (const char* name : {"recognitionLanguage", "toneStyle", "recordingMode"})
        take(name, isString);
    for (const char* name : {"audioDucking", "duckingLevel"}) take(name, isInteger);
    for (const char* name : {"soundEnabled", "overlayEnabled", "audioNormalization"})
        take(name, isBool);
    take("soundVolume", isNumber);
    take("builtinToneOverrides", isStringObject);
    take("hiddenBuiltinTones", isStringArray);
    take("postProcessTabOrder", isStringArray);
    const QJsonValue provider = remote.value(key("provider"));
    if (provider.isString() && !provider.toString().isEmpty())
        writes.insert(key("provider"), provider);
    const QJsonValue prompts = remote.value(key(SavedPrompts::kSettingsKey));
    if (isObjectArray(prompts)) {
        writes.insert(key(SavedPrompts::kSettingsKey),
                      SettingsStore::dataValue(
                          SavedPrompts::encode(SavedPrompts::fromWire(prompts.toArray()))));
    }
    m_settings.setMany(writes);
}

std::optional<QJsonArray> SyncService::currentSavedPromptsForPush() const {
    const auto tabs = SavedPrompts::load(m_settings);
    if (!tabs) return std::nullopt;
    return SavedPrompts::toWire(*tabs);
}

QJsonObject SyncService::settingsForPush() const {
    const SettingsStore& s = m_settings;
    const auto text = [&](const char* name, const char* fallback) {
        return s.string(key(name)).value_or(QString::fromLatin1(fallback));
    };
    const QJsonValue duckingLevel = s.value(key("duckingLevel"));
    const QJsonValue normalization = s.value(key("audioNormalization"));
    const QJsonValue overrides = s.value(key("builtinToneOverrides"));
    QJsonObject o{
        {"recognitionLanguage", text("recognitionLanguage", "ru")},
        {"toneStyle", text("toneStyle", "none")},
        // Never stored means the default the user sees, not false or 0.
        {"audioDucking", s.integerOrDefault(key("audioDucking"))},
        {"duckingLevel", isInteger(duckingLevel) ? duckingLevel : QJsonValue(50)},
        {"soundEnabled", s.boolOrDefault(key("soundEnabled"))},
        {"soundVolume", s.doubleOrDefault(key("soundVolume"))},
        {"overlayEnabled", s.boolOrDefault(key("overlayEnabled"))},
        {"recordingMode", text("recordingMode", "pushToTalk")},
        {"audioNormalization", normalization.isBool() ? normalization : QJsonValue(true)},
        {"builtinToneOverrides",
         isStringObject(overrides) && !SettingsStore::fromDataValue(overrides) ? overrides
                                                                               : QJsonObject()},
        {"hiddenBuiltinTones",
         QJsonArray::fromStringList(
             s.stringArray(key("hiddenBuiltinTones")).value_or(QStringList()))},
        {"postProcessTabOrder",
         QJsonArray::fromStringList(
             s.stringArray(key("postProcessTabOrder")).value_or(QStringList()))},
    };
    if (const auto prompts = currentSavedPromptsForPush()) {
        o.insert(key(SavedPrompts::kSettingsKey), *prompts);
    } else {
        debugLog(QStringLiteral("[Sync] Stored saved prompts are unreadable; not pushed"));
    }
    const QJsonValue provider = s.value(key("provider"));
    if (provider.isString() && !provider.toString().isEmpty()) o.insert(key("provider"), provider);
    return o;
}

void SyncService::runPushSettings() {
    httpPut(QStringLiteral("/sync/settings"), compact(settingsForPush()));
    debugLog(QStringLiteral("[Sync] Settings pushed"));
}

// ---- dictionary and snippets

namespace {

std::optional<QJsonArray> pulledEntries(const std::optional<QJsonObject>& top) {
    if (!top) return std::nullopt;
    const QJsonValue entries = top->value(QStringLiteral("entries"));
    if (!isObjectArray(entries)) return std::nullopt;
    return entries.toArray();
}

}  // namespace

void SyncService::pullEntries(const EntryCollection& c, quint64 pushesSeen) {
    QList<QPair<QString, QString>> kept;
    {
        // The parsed answer is gone before the list is stored: a long list
        // must not sit in memory in both forms meanwhile.
        const auto entries = pulledEntries(getObject(key(c.path)));
        if (!entries) return;
        for (const QJsonValue& v : *entries) {
            const QJsonObject o = v.toObject();
            if (o.value("trigger").isString() && o.value(key(c.valueKey)).isString())
                kept.append({o.value("trigger").toString(), o.value(key(c.valueKey)).toString()});
        }
    }
    bool applied = false;
    onMainAndWait([&] {
        if (newerPushAsked(c.lane, pushesSeen, c.name)) return;
        // Nothing pulled and nothing stored yet (a new user's launch): the
        // store is not made only to be emptied, which would load SQLite into
        // an idle app. The first entry or dictation makes it.
        if (!kept.isEmpty() || QFileInfo::exists(m_history.databasePath()))
            (m_history.*c.replaceAll)(kept);
        applied = true;
    });
    if (applied)
        debugLog(key(c.pulledLine) + QString::number(kept.size()) + QStringLiteral(" entries"));
}

void SyncService::pushEntries(const EntryCollection& c) {
    QList<HistoryRecord> records;
    onMainAndWait([&] { records = (m_history.*c.fetch)(); });
    QJsonArray entries;
    for (const HistoryRecord& r : records) {
        entries.append(QJsonObject{{"trigger", r.value(key(c.localKey)).toString()},
                                   {key(c.valueKey), r.value(key(c.localValue)).toString()}});
    }
    httpPut(key(c.path), compact(QJsonObject{{"entries", entries}}));
    debugLog(key(c.pushedLine) + QString::number(records.size()) + QStringLiteral(" entries"));
}

void SyncService::runPullDictionary(quint64 pushesSeen) {
    pullEntries(EntryCollection::dictionary, pushesSeen);
}
void SyncService::runPushDictionary() {
    pushEntries(EntryCollection::dictionary);
}
void SyncService::runPullSnippets(quint64 pushesSeen) {
    pullEntries(EntryCollection::snippets, pushesSeen);
}
void SyncService::runPushSnippets() {
    pushEntries(EntryCollection::snippets);
}

// ---- text expansions

QJsonValue SyncService::windowsFieldValueForSync(const std::optional<QString>& windowsText) const {
    if (windowsText && !windowsText->isEmpty()) return *windowsText;
    if (m_settings.boolean(key("expansionsWindowsFieldSynced"))) return QString();
    return QJsonValue(QJsonValue::Null);
}

void SyncService::runPullTextExpansions(quint64 pushesSeen) {
    std::optional<QJsonArray> entries =
        pulledEntries(getObject(QStringLiteral("/sync/text-expansions")));
    if (!entries) return;
    QList<TextExpansionItem> kept;
    int withWindowsText = 0;
    for (const QJsonValue& v : *entries) {
        const QJsonObject o = v.toObject();
        if (!o.value("trigger").isString() || !o.value("expanded_text").isString()) continue;
        TextExpansionItem item;
        item.id = QUuid::createUuid();
        item.trigger = o.value("trigger").toString();
        item.expandedText = o.value("expanded_text").toString();
        if (o.value("expanded_text_windows").isString())
            item.expandedTextWindows = o.value("expanded_text_windows").toString();
        if (o.value("description").isString()) item.description = o.value("description").toString();
        const QJsonValue both = o.value("match_both_layouts");
        const QJsonValue enabled = o.value("is_enabled");
        item.matchBothLayouts = both.isBool() ? both.toBool() : true;
        item.isEnabled = enabled.isBool() ? enabled.toBool() : true;
        if (item.expandedTextWindows && !item.expandedTextWindows->isEmpty()) ++withWindowsText;
        kept.append(item);
    }
    // The parsed answer is gone before the list is stored: a long list must
    // not sit in memory in both forms meanwhile.
    entries.reset();
    onMainAndWait([&] {
        // An empty list from the account never wipes the local one.
        if (!kept.isEmpty() && !newerPushAsked(expansionsLane, pushesSeen, "Text expansions"))
            m_expansions.replaceAll(kept);
        m_settings.set(key("expansionsWindowsFieldSynced"), true);
    });
    debugLog(QStringLiteral("[Sync] Text expansions pulled: %1 entries (с текстом для Windows: %2)")
                 .arg(kept.size())
                 .arg(withWindowsText));
}

void SyncService::runPushTextExpansions() {
    QList<TextExpansionItem> items;
    onMainAndWait([&] { items = m_expansions.items(); });
    QJsonArray entries;
    for (const TextExpansionItem& item : items) {
        entries.append(QJsonObject{
            {"trigger", item.trigger},
            {"expanded_text", item.expandedText},
            {"expanded_text_windows", windowsFieldValueForSync(item.expandedTextWindows)},
            {"description", item.description.value_or(QString())},
            {"match_both_layouts", item.matchBothLayouts},
            {"is_enabled", item.isEnabled},
        });
    }
    httpPut(QStringLiteral("/sync/text-expansions"), compact(QJsonObject{{"entries", entries}}));
    debugLog(QStringLiteral("[Sync] Text expansions pushed: %1 entries").arg(items.size()));
}
