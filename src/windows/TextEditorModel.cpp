#include "windows/TextEditorModel.h"

#include <QJsonArray>
#include <QPointer>
#include <QSet>
#include <algorithm>
#include <climits>

#include "pipeline/BuiltinTonePromptStore.h"
#include "platform/Pasteboard.h"
#include "platform/SettingsStore.h"
#include "platform/Threading.h"
#include "records/HistoryService.h"
#include "service/HttpClient.h"
#include "service/TranscriptionService.h"
#include "service/TranscriptionWire.h"
#include "ui/Graphemes.h"
#include "platform/Required.h"

namespace Store = BuiltinTonePromptStore;

namespace {

const QString kTabOrderKey = QStringLiteral("postProcessTabOrder");
const QString kHiddenKey = QStringLiteral("hiddenBuiltinTones");
const QString kCustomPrefix = QStringLiteral("custom:");
const QString kLanguage = QStringLiteral("ru");

// Trimmed of spaces and tabs only (line breaks kept).
QString trimSpacesAndTabs(const QString& text) {
    qsizetype begin = 0, end = text.size();
    auto blank = [](QChar c) { return c == u' ' || c == u'\t'; };
    while (begin < end && blank(text[begin])) ++begin;
    while (end > begin && blank(text[end - 1])) --end;
    return text.mid(begin, end - begin);
}

QString describeError(const std::exception_ptr& error) {
    try {
        std::rethrow_exception(error);
    } catch (const TranscriptionError& e) {
        return e.errorDescription();
    } catch (const HttpError& e) {
        return e.description();
    } catch (const WireDecodingError& e) {
        return e.description();
    } catch (const TranscriptionService::RefreshError& e) {
        return e.failure().description;
    } catch (const std::exception& e) {
        return QString::fromUtf8(e.what());
    } catch (...) {
        return QStringLiteral("Unknown error");
    }
}

}  // namespace

TextEditorModel::PostProcessor TextEditorModel::servicePostProcessor(TranscriptionService& service) {
    return [client = &service](const PostProcessRequest& r, std::function<void(PostProcessOutcome)> done) {
        auto work = [client, r] {
            PostProcessOutcome outcome;
            try {
                outcome.text = client->postProcess(r.text, r.toneStyle, r.customPrompt,
                                                   r.culturedFilter, r.language, r.sameLanguage,
                                                   r.dontChangeMeaning, /*isRetry=*/false);
            } catch (...) {
                outcome.error = describeError(std::current_exception());
            }
            return outcome;
        };
        runAsync(QCoreApplication::instance(), std::move(work), std::move(done));
    };
}

const QList<EditorTab>& TextEditorModel::builtins() {
    static const QList<EditorTab> rows = [] {
        const std::pair<const char*, const char*> table[] = {
            {"neutral", "Нейтральный"}, {"concise", "Кратко"},      {"summary", "Сжатый"},
            {"theses", "Тезисы"},       {"readable", "Читаемый"},   {"grammar", "Грамматика"},
            {"formal", "Деловой"},      {"cultured", "Культурный"},
        };
        QList<EditorTab> out;
        for (const auto& [tone, title] : table) {
            EditorTab tab;
            tab.key = QString::fromUtf8(tone);
            tab.title = QString::fromUtf8(title);
            tab.tone = tab.key;
            out << tab;
        }
        return out;
    }();
    return rows;
}

TextEditorModel::TextEditorModel(Collaborators collaborators, QObject* parent)
    : QObject(parent),
      m_c(std::move(collaborators)),
      m_settings((requireCollaborators("TextEditorModel", "settings", m_c.settings, "postProcess",
                                       m_c.postProcess, "fetchHistory", m_c.fetchHistory),
                  *m_c.settings)) {
    connect(this, &TextEditorModel::sourceChanged, this, &TextEditorModel::onSourceChanged);
}

// --- saved prompts

QList<TextEditorModel::SavedPrompt> TextEditorModel::loadSavedPrompts(
    const SettingsStore& settings) {
    return SavedPrompts::loadOrEmpty(settings);
}

void TextEditorModel::saveSavedPrompts(SettingsStore& settings, const QList<SavedPrompt>& prompts) {
    SavedPrompts::save(settings, prompts);
}

// --- tabs

void TextEditorModel::loadTabs() {
    ORMIL_ASSERT_MAIN_THREAD();
    const QStringList hiddenList = m_settings.stringArray(kHiddenKey).value_or(QStringList{});
    const QSet<QString> hidden(hiddenList.begin(), hiddenList.end());
    QList<EditorTab> joined;
    for (EditorTab tab : builtins()) {
        if (hidden.contains(*tab.tone)) continue;
        tab.prompt = Store::override(*tab.tone);
        joined << tab;
    }
    for (const SavedPrompt& p : loadSavedPrompts(m_settings)) {
        EditorTab tab;
        tab.key = kCustomPrefix + p.name;
        tab.title = p.name;
        tab.prompt = p.prompt;
        tab.isCustom = true;
        tab.sameLanguage = p.sameLanguage;
        tab.dontChangeMeaning = p.dontChangeMeaning;
        joined << tab;
    }
    const QStringList order = m_settings.stringArray(kTabOrderKey).value_or(QStringList{});
    auto position = [&order](const EditorTab& tab) {
        const qsizetype i = order.indexOf(tab.key);
        return i < 0 ? LLONG_MAX : static_cast<long long>(i);
    };
    std::stable_sort(joined.begin(), joined.end(), [&](const EditorTab& a, const EditorTab& b) {
        return position(a) < position(b);
    });
    setTabs(joined);
}

void TextEditorModel::persistTabs() {
    ORMIL_ASSERT_MAIN_THREAD();
    QList<SavedPrompt> prompts;
    QStringList order;
    for (const EditorTab& tab : tabs()) {
        order << tab.key;
        if (!tab.isCustom) continue;
        prompts << SavedPrompt{tab.title, tab.prompt.value_or(QString()), tab.sameLanguage,
                               tab.dontChangeMeaning};
    }
    saveSavedPrompts(m_settings, prompts);
    m_settings.set(kTabOrderKey, QJsonArray::fromStringList(order));
}

void TextEditorModel::moveTab(const QString& key, const QString& target, bool after) {
    ORMIL_ASSERT_MAIN_THREAD();
    QList<EditorTab> list = tabs();
    const auto it =
        std::find_if(list.begin(), list.end(), [&](const EditorTab& t) { return t.key == key; });
    if (it == list.end() || key == target) return;
    const EditorTab moved = *it;
    list.erase(it);
    const auto at =
        std::find_if(list.begin(), list.end(), [&](const EditorTab& t) { return t.key == target; });
    if (at == list.end()) {
        list.prepend(moved);
        setTabs(list);
        return;
    }
    const qsizetype index = (at - list.begin()) + (after ? 1 : 0);
    list.insert(index, moved);
    setTabs(list);
    persistTabs();
}

void TextEditorModel::removeTab(const QString& keyOfTab) {
    // A copy: the key may belong to one of the rows this replaces.
    const QString key = keyOfTab;
    QList<EditorTab> list = tabs();
    list.removeIf([&](const EditorTab& t) { return t.key == key; });
    setTabs(list);
    m_resultsCache.remove(key);
    if (activeKey() == key) {
        setActiveKey(std::nullopt);
        setResult({});
        setHasResult(false);
    }
}

void TextEditorModel::deleteTab(const QString& key) {
    ORMIL_ASSERT_MAIN_THREAD();
    removeTab(key);
    persistTabs();
}

void TextEditorModel::hideBuiltinTab(const EditorTab& tab) {
    ORMIL_ASSERT_MAIN_THREAD();
    if (!tab.tone) return;
    // The tab is often one of this model's rows, which removeTab frees.
    const QString tone = *tab.tone;
    removeTab(tab.key);
    Store::hide(tone);
    persistTabs();
}

void TextEditorModel::restoreHiddenBuiltin(const QString& tone) {
    ORMIL_ASSERT_MAIN_THREAD();
    const QList<EditorTab>& rows = builtins();
    const auto row =
        std::find_if(rows.begin(), rows.end(), [&](const EditorTab& t) { return t.tone == tone; });
    if (row == rows.end()) return;
    const QList<EditorTab>& current = tabs();
    if (std::any_of(current.begin(), current.end(),
                    [&](const EditorTab& t) { return t.key == row->key; }))
        return;
    EditorTab tab = *row;
    tab.prompt = Store::override(tone);
    Store::restore(tone);
    setTabs(current + QList<EditorTab>{tab});
    persistTabs();
}

std::optional<QString> TextEditorModel::upsertCustomTab(const std::optional<QString>& editingKey,
                                                        const QString& name, const QString& prompt,
                                                        bool sameLanguage, bool dontChangeMeaning) {
    ORMIL_ASSERT_MAIN_THREAD();
    const QString trimmedPrompt = prompt.trimmed();
    if (trimmedPrompt.isEmpty()) return QStringLiteral("Впишите промпт для таба");
    QString title = name.trimmed();
    if (title.isEmpty()) {
        title = Graphemes::count(trimmedPrompt) <= 20
                    ? trimmedPrompt
                    : Graphemes::left(trimmedPrompt, 20) + QChar(0x2026);
    }
    const QString folded = title.toLower();
    for (const EditorTab& tab : tabs()) {
        if (editingKey && tab.key == *editingKey) continue;
        if (tab.title.toLower() == folded)
            return QStringLiteral("Таб «") + title +
                   QStringLiteral("» уже есть — выберите другое имя");
    }
    EditorTab tab;
    tab.key = kCustomPrefix + title;
    tab.title = title;
    tab.prompt = trimmedPrompt;
    tab.isCustom = true;
    tab.sameLanguage = sameLanguage;
    tab.dontChangeMeaning = dontChangeMeaning;

    QList<EditorTab> list = tabs();
    const auto existing =
        editingKey ? std::find_if(list.begin(), list.end(),
                                  [&](const EditorTab& t) { return t.key == *editingKey; })
                   : list.end();
    if (existing != list.end()) {
        m_resultsCache.remove(*editingKey);
        if (activeKey() == *editingKey) setActiveKey(std::nullopt);
        *existing = tab;
    } else {
        list << tab;
    }
    setTabs(list);
    persistTabs();
    setStatus(QStringLiteral("Таб «") + title + QStringLiteral("» сохранён"));
    return std::nullopt;
}

QList<QPair<QString, QString>> TextEditorModel::hiddenBuiltinTitles() const {
    const QStringList hidden = m_settings.stringArray(kHiddenKey).value_or(QStringList{});
    QList<QPair<QString, QString>> out;
    for (const EditorTab& row : builtins())
        if (hidden.contains(*row.tone)) out << qMakePair(*row.tone, row.title);
    return out;
}

// --- source and results

void TextEditorModel::handOverSource(const QString& text) {
    ORMIL_ASSERT_MAIN_THREAD();
    suppressReset = true;
    setSource(text.trimmed());
    suppressReset = false;
    loadTabs();
    resetResults();
}

void TextEditorModel::onSourceChanged() {
    if (suppressReset) return;
    // Any edit after a run discards the results; before a run it costs nothing.
    if (!m_resultsCache.isEmpty() || activeKey()) resetResults();
}

void TextEditorModel::resetResults() {
    ORMIL_ASSERT_MAIN_THREAD();
    ++m_generation;
    m_resultsCache.clear();
    setActiveKey(std::nullopt);
    setResult({});
    setHasResult(false);
}

void TextEditorModel::stashActiveResultEdits() {
    ORMIL_ASSERT_MAIN_THREAD();
    if (activeKey() && hasResult()) m_resultsCache.insert(*activeKey(), result());
}

void TextEditorModel::appendToSource(const QString& text) {
    ORMIL_ASSERT_MAIN_THREAD();
    if (!source().trimmed().isEmpty())
        setSource(trimSpacesAndTabs(source()) + QStringLiteral("\n\n") + text.trimmed());
    else
        setSource(text.trimmed());
}

void TextEditorModel::send(const PostProcessRequest& request,
                           std::function<void(const PostProcessOutcome&)> apply) {
    QPointer<TextEditorModel> self(this);
    const quint64 generation = m_generation;
    m_c.postProcess(request, [self, generation, apply = std::move(apply)](PostProcessOutcome o) {
        if (!self) return;
        // An answer for a source that has since been replaced or edited
        // only ends its request.
        if (generation != self->m_generation) {
            self->setBusy(false);
            return;
        }
        apply(o);
    });
}

void TextEditorModel::activateTab(const QString& key) {
    ORMIL_ASSERT_MAIN_THREAD();
    const QList<EditorTab>& list = tabs();
    const auto it =
        std::find_if(list.begin(), list.end(), [&](const EditorTab& t) { return t.key == key; });
    if (it == list.end()) return;
    const EditorTab tab = *it;
    QString text = source().trimmed();
    if (text.isEmpty()) {
        setStatus(QStringLiteral("Слева пусто — вставьте текст для обработки"));
        return;
    }
    stashActiveResultEdits();
    setActiveKey(key);
    if (m_resultsCache.contains(key)) {
        setResult(m_resultsCache.value(key));
        setHasResult(true);
        return;
    }
    text = Graphemes::left(text, maxRequestCharacters);
    setBusy(true);
    setStatus({});

    PostProcessRequest request;
    request.text = text;
    request.culturedFilter = m_settings.boolean("replaceProfanity") && key != "cultured";
    request.language = kLanguage;
    if (tab.isCustom) {
        request.toneStyle = QStringLiteral("none");
        request.customPrompt = tab.prompt;
        request.sameLanguage = tab.sameLanguage;
        request.dontChangeMeaning = tab.dontChangeMeaning;
    } else {
        request.toneStyle = tab.tone.value_or(QStringLiteral("neutral"));
        request.customPrompt = Store::override(request.toneStyle);
    }
    send(request, [this, key](const PostProcessOutcome& o) {
        if (o.text) {
            m_resultsCache.insert(key, *o.text);
            if (activeKey() == key) {
                setResult(*o.text);
                setHasResult(true);
            }
        } else {
            setStatus(QStringLiteral("Ошибка: ") + o.error);
        }
        setBusy(false);
    });
}

void TextEditorModel::runCustomPrompt(const QString& instruction) {
    ORMIL_ASSERT_MAIN_THREAD();
    QString input = hasResult() && !result().trimmed().isEmpty() ? result() : source().trimmed();
    if (input.isEmpty()) {
        setStatus(QStringLiteral("Нечего обрабатывать — слева пусто"));
        return;
    }
    input = Graphemes::left(input, maxRequestCharacters);
    setBusy(true);
    setStatus({});
    setActiveKey(std::nullopt);

    PostProcessRequest request;
    request.text = input;
    request.toneStyle = QStringLiteral("none");
    request.customPrompt = instruction;
    request.culturedFilter = m_settings.boolean("replaceProfanity");
    request.language = kLanguage;
    send(request, [this](const PostProcessOutcome& o) {
        if (o.text) {
            setResult(*o.text);
            setHasResult(true);
            setStatus(QStringLiteral("Готово по вашему указанию"));
        } else {
            setStatus(QStringLiteral("Ошибка: ") + o.error);
        }
        setBusy(false);
    });
}

void TextEditorModel::loadHistory() {
    ORMIL_ASSERT_MAIN_THREAD();
    QList<QVariantMap> kept;
    for (const QVariantMap& record : m_c.fetchHistory(30, 0)) {
        const QVariant text = record.value("text");
        if (text.typeId() != QMetaType::QString) continue;
        if (trimSpacesAndTabs(text.toString()).isEmpty()) continue;
        kept << record;
    }
    setHistoryItems(kept);
}

void TextEditorModel::copyResult(Pasteboard& pasteboard) {
    ORMIL_ASSERT_MAIN_THREAD();
    pasteboard.clearContents();
    pasteboard.setString(result());
    setStatus(QStringLiteral("Скопировано"));
}

void TextEditorModel::applyResult(const std::function<void(const QString&)>& apply) const {
    if (result().trimmed().isEmpty()) return;
    apply(result());
}
