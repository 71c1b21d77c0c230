#include "app/StatusMenu.h"

#include "core/RecognitionLanguages.h"

#include <QAction>
#include <QActionGroup>
#include <QCoreApplication>
#include <QJsonValue>
#include <QKeySequence>
#include <QMenu>
#include <QMessageBox>

#include "core/L10n.h"
#include "core/AppState.h"
#include "pipeline/HotkeyService.h"
#include "platform/Characters.h"
#include "platform/Clock.h"
#include "platform/InputAccess.h"
#include "platform/Pasteboard.h"
#include "platform/SettingsStore.h"
#include "platform/Threading.h"
#include "platform/Required.h"

namespace {

const char* const kTagProperty = "ormilTag";

struct Choice {
    const char* value;
    QString (*title)();
};

QString k(const char* key) {
    return QString::fromLatin1(key);
}

int tagOf(const QAction* item) {
    const QVariant tag = item ? item->property(kTagProperty) : QVariant();
    bool ok = false;
    const int value = tag.toInt(&ok);
    return tag.isValid() && ok ? value : -1;
}

std::optional<QString> representedString(const QAction* item) {
    if (!item || item->data().typeId() != QMetaType::QString) return std::nullopt;
    return item->data().toString();
}

// The first `limit` characters and "..." when longer.
QString shorten(const QString& text, int limit) {
    const QString head = Characters::leading(text, limit);
    return head.size() < text.size() ? head + QStringLiteral("...") : text;
}

}  // namespace

StatusMenu::StatusMenu(Collaborators collaborators, QObject* parent)
    : QObject(parent), m_c(std::move(collaborators)), m_menu(new QMenu) {
    requireCollaborators("StatusMenu", "settings", m_c.settings, "appState", m_c.appState, "clock",
                         m_c.clock, "inputAccess", m_c.inputAccess);
    requireCollaborator(m_c.pasteboard, "StatusMenu", "pasteboard");
    // Filled in place as it opens: a menu replaced while it is being opened
    // would still show its previous contents.
    connect(m_menu, &QMenu::aboutToShow, this, [this] {
        m_opening = true;
        rebuildMenu();
        m_opening = false;
    });
}

StatusMenu::~StatusMenu() {
    delete m_menu;
}

StatusMenu::Hotkeys StatusMenu::hotkeys() const {
    return m_c.hotkeys ? m_c.hotkeys() : Hotkeys{};
}

QString StatusMenu::versionLine() {
    const QString version = QCoreApplication::applicationVersion();
    return QStringLiteral("Ormil v") + (version.isEmpty() ? QStringLiteral("?") : version);
}

QAction* StatusMenu::addDisabled(QMenu* menu, const QString& title) {
    QAction* item = menu->addAction(title);
    item->setEnabled(false);
    return item;
}

QMenu* StatusMenu::addSubmenu(const QString& title) {
    QMenu* sub = m_menu->addMenu(title);
    m_submenus.emplace_back(sub);
    return sub;
}

void StatusMenu::rebuildMenu() {
    ORMIL_ASSERT_MAIN_THREAD();
    if (!m_menu) return;
    // Emptied without deleting at once: the rebuild may run inside the
    // triggered signal of one of the items being removed.
    for (QAction* action : m_menu->actions()) {
        m_menu->removeAction(action);
        if (action->parent() == m_menu) action->deleteLater();
    }
    for (auto& sub : m_submenus) {
        if (sub) sub->deleteLater();
    }
    m_submenus.clear();

    SettingsStore& settings = *m_c.settings;
    AppState& state = *m_c.appState;
    const Hotkeys keys = hotkeys();

    addDisabled(m_menu, versionLine());
    if (state.isRecording() || state.isProcessing()) {
        addDisabled(m_menu, state.isRecording() ? L10n::recording() : L10n::processing());
    }
    m_menu->addSeparator();

    QAction* open = m_menu->addAction(L10n::openOrmil());
    open->setShortcut(QKeySequence(QStringLiteral("Ctrl+O")));
    open->setEnabled(bool(m_c.openMainWindow));
    connect(open, &QAction::triggered, this, [this] {
        if (m_c.openMainWindow) m_c.openMainWindow();
    });
    m_menu->addSeparator();

    const bool toggle = settings.isString(k("recordingMode")) &&
                        settings.string(k("recordingMode")) == QStringLiteral("toggle");
    addDisabled(m_menu,
                L10n::hotkey() + QStringLiteral(": ") +
                    HotkeyService::displayName(keys.dictation.keyCode, keys.dictation.modifiers,
                                               keys.dictation.isModifierOnly) +
                    QStringLiteral(" (") + (toggle ? L10n::toggleRecord() : L10n::pushToTalk()) +
                    QStringLiteral(")"));
    if (keys.translate.keyCode >= 0) {
        const QString target = settings.isString(k("translateTargetLanguage"))
                                   ? *settings.string(k("translateTargetLanguage"))
                                   : QStringLiteral("en");
        addDisabled(m_menu,
                    L10n::translateHotkey() + QStringLiteral(": ") +
                        HotkeyService::displayName(keys.translate.keyCode, keys.translate.modifiers,
                                                   keys.translate.isModifierOnly) +
                        QStringLiteral(" → ") + targetLanguageName(target));
    }
    m_menu->addSeparator();

    QString pasteTitle = L10n::pasteLastTranscription();
    if (keys.pasteLast.keyCode >= 0) {
        pasteTitle += QStringLiteral(" (") +
                      HotkeyService::displayName(keys.pasteLast.keyCode, keys.pasteLast.modifiers,
                                                 keys.pasteLast.isModifierOnly) +
                      QStringLiteral(")");
    }
    QAction* paste = m_menu->addAction(pasteTitle);
    paste->setEnabled(!state.lastTranscribedText().isEmpty());
    connect(paste, &QAction::triggered, this, &StatusMenu::pasteLast);

    addRecentTranscriptions();
    addClipboardHistory();
    m_menu->addSeparator();
    addSettingsSubmenus();
    m_menu->addSeparator();

    QAction* settingsItem = m_menu->addAction(L10n::settings() + QStringLiteral("..."));
    settingsItem->setShortcut(QKeySequence(QStringLiteral("Ctrl+,")));
    settingsItem->setEnabled(bool(m_c.openSettings));
    connect(settingsItem, &QAction::triggered, this, [this] {
        if (m_c.openSettings) m_c.openSettings();
    });
    QAction* updates = m_menu->addAction(L10n::checkForUpdates());
    updates->setEnabled(bool(m_c.checkForUpdates));
    connect(updates, &QAction::triggered, this, &StatusMenu::checkForUpdates);
    m_menu->addSeparator();

    QAction* quit = m_menu->addAction(L10n::quitOrmil());
    quit->setShortcut(QKeySequence(QStringLiteral("Ctrl+Q")));
    connect(quit, &QAction::triggered, this, [this] {
        if (m_c.quit)
            m_c.quit();
        else
            QCoreApplication::quit();
    });
}

void StatusMenu::addRecentTranscriptions() {
    QMenu* sub = addSubmenu(L10n::recentTranscriptions());
    // Nobody sees a closed menu, and reading the items opens the history
    // store: the launch and the rebuilds while the menu is closed leave them
    // to the rebuild that opens it.
    if (!m_opening && !m_menu->isVisible()) return;
    const QList<QVariantMap> records =
        m_c.fetchTranscriptions ? m_c.fetchTranscriptions(7, 0) : QList<QVariantMap>{};
    int added = 0;
    for (int i = 0; i < records.size(); ++i) {
        const QVariant text = records[i].value(QStringLiteral("text"));
        if (text.typeId() != QMetaType::QString) continue;
        QAction* item = sub->addAction(shorten(text.toString(), 60));
        item->setData(text.toString());
        item->setProperty(kTagProperty, i);
        connect(item, &QAction::triggered, this, [this, item] { copyRecentTranscription(item); });
        ++added;
    }
    if (added == 0) addDisabled(sub, L10n::noRecentTranscriptions());
}

void StatusMenu::addClipboardHistory() {
    QMenu* sub = addSubmenu(L10n::clipboardHistoryMenu());
    const auto entries =
        m_c.clipboardHistory ? m_c.clipboardHistory() : std::vector<ClipboardEntry>{};
    const QDateTime now = m_c.clock->currentDateTime();
    const int count = int(std::min<size_t>(entries.size(), 10));
    for (int i = 0; i < count; ++i) {
        const auto& entry = entries[size_t(i)];
        QString title = entry.isFromDictation ? QStringLiteral("🎙 ") : QString();
        title += shorten(entry.text, 50).replace(QLatin1Char('\n'), QLatin1Char(' '));
        title += QStringLiteral(" — ") + relativeTime(entry.timestamp, now);
        QAction* item = sub->addAction(title);
        item->setProperty(kTagProperty, i);
        connect(item, &QAction::triggered, this, [this, item] { copyClipboardItem(item); });
    }
    if (count == 0) addDisabled(sub, L10n::clipboardEmptyShort());
}

void StatusMenu::addSettingsSubmenus() {
    SettingsStore& settings = *m_c.settings;
    const auto stored = [&](const char* key, const char* fallback) {
        return settings.isString(k(key)) ? *settings.string(k(key)) : k(fallback);
    };
    const auto addChoices = [&](QMenu* sub, const std::vector<std::pair<QString, QString>>& items,
                                const QString& current, void (StatusMenu::*action)(QAction*)) {
        // One choice of several: shown with radio marks.
        auto* group = new QActionGroup(sub);
        for (const auto& [value, title] : items) {
            QAction* item = sub->addAction(title);
            group->addAction(item);
            item->setData(value);
            item->setCheckable(true);
            item->setChecked(value == current);
            connect(item, &QAction::triggered, this,
                    [this, item, action] { (this->*action)(item); });
        }
    };

    std::vector<std::pair<QString, QString>> languages;
    for (const auto& [code, name] : recognitionLanguageNames())
        languages.emplace_back(QString::fromLatin1(code), QString::fromUtf8(name));
    addChoices(addSubmenu(L10n::language()), languages,
               stored("recognitionLanguage", "ru"), &StatusMenu::setLanguage);
    addChoices(addSubmenu(L10n::toneStyle()),
               {{"none", L10n::toneNone()},
                {"neutral", L10n::toneNeutral()},
                {"readable", L10n::toneReadable()},
                {"concise", L10n::toneConcise()},
                {"summary", L10n::toneSummary()},
                {"theses", L10n::toneTheses()},
                {"formal", L10n::toneFormal()}},
               stored("toneStyle", "none"), &StatusMenu::setTone);

    QMenu* ducking = addSubmenu(L10n::audioDucking());
    const qint64 duckLevel = settings.integerOrDefault(k("audioDucking"));
    const std::pair<int, QString> duckItems[] = {
        {0, L10n::duckNone()}, {1, L10n::duckPartial()}, {2, L10n::duckFull()}};
    auto* duckGroup = new QActionGroup(ducking);
    for (const auto& [tag, title] : duckItems) {
        QAction* item = ducking->addAction(title);
        duckGroup->addAction(item);
        item->setProperty(kTagProperty, tag);
        item->setCheckable(true);
        item->setChecked(duckLevel == tag);
        connect(item, &QAction::triggered, this, [this, item] { setDucking(item); });
    }

    QAction* layout = m_menu->addAction(L10n::autoSwitchLayout());
    layout->setCheckable(true);
    layout->setChecked(settings.boolOrDefault(k("autoSwitchLayout")));
    connect(layout, &QAction::triggered, this, &StatusMenu::toggleAutoSwitchLayout);

    QAction* normalize = m_menu->addAction(L10n::audioNormalization());
    normalize->setCheckable(true);
    // Absent or not a Boolean counts as on.
    normalize->setChecked(!settings.isBool(k("audioNormalization")) ||
                          settings.value(k("audioNormalization")).toBool());
    connect(normalize, &QAction::triggered, this, &StatusMenu::toggleAudioNormalization);

    addChoices(addSubmenu(L10n::audioQuality()),
               {{"fast", L10n::audioQualityFast()},
                {"balanced", L10n::audioQualityBalanced()},
                {"high", L10n::audioQualityHigh()},
                {"best", L10n::audioQualityBest()}},
               stored("audioQuality", "balanced"), &StatusMenu::selectAudioQuality);
}

QString StatusMenu::targetLanguageName(const QString& code) {
    static const std::pair<const char*, const char*> names[] = {
        {"en", "English"}, {"ru", "Russian"}, {"de", "German"},  {"fr", "French"},
        {"es", "Spanish"}, {"zh", "Chinese"}, {"ja", "Japanese"}};
    for (const auto& [c, name] : names) {
        if (code == QLatin1String(c)) return QString::fromLatin1(name);
    }
    return code.toUpper();
}

QString StatusMenu::relativeTime(const QDateTime& date, const QDateTime& now) {
    // Whole seconds since the date, truncated toward zero.
    const qint64 s = date.msecsTo(now) / 1000;
    if (s < 60) return QStringLiteral("just now");
    if (s <= 3599) return QStringLiteral("%1 min ago").arg(s / 60);
    if (s >= 86400) return QStringLiteral("%1 days ago").arg(s / 86400);
    return QStringLiteral("%1 hr ago").arg(s / 3600);
}

void StatusMenu::storeAndPush(const QString& key, const QJsonValue& value) {
    m_c.settings->set(key, value);
    // The check mark moves now, whatever the push does.
    rebuildMenu();
    if (m_c.pushSettings) m_c.pushSettings();
}

void StatusMenu::pasteLast() {
    ORMIL_ASSERT_MAIN_THREAD();
    const QString text = m_c.appState->lastTranscribedText();
    if (text.isEmpty()) return;
    if (!m_c.inputAccess->isTrusted()) {
        m_c.appState->setLastError(QStringLiteral("Accessibility permission required"));
        return;
    }
    if (m_c.insertTextViaPasteboard) m_c.insertTextViaPasteboard(text);
}

void StatusMenu::copyRecentTranscription(QAction* item) {
    ORMIL_ASSERT_MAIN_THREAD();
    const auto text = representedString(item);
    if (!text) return;
    m_c.pasteboard->clearContents();
    m_c.pasteboard->setString(*text);
}

void StatusMenu::copyClipboardItem(QAction* item) {
    ORMIL_ASSERT_MAIN_THREAD();
    const int index = tagOf(item);
    const auto entries =
        m_c.clipboardHistory ? m_c.clipboardHistory() : std::vector<ClipboardEntry>{};
    // The history may have changed since the menu was built.
    if (index < 0 || size_t(index) >= entries.size()) return;
    const QString& text = entries[size_t(index)].text;
    if (m_c.copyClipboardEntry) {
        m_c.copyClipboardEntry(text);
    } else {
        m_c.pasteboard->clearContents();
        m_c.pasteboard->setString(text);
    }
}

void StatusMenu::setLanguage(QAction* item) {
    ORMIL_ASSERT_MAIN_THREAD();
    if (const auto value = representedString(item)) storeAndPush(k("recognitionLanguage"), *value);
}

void StatusMenu::setTone(QAction* item) {
    ORMIL_ASSERT_MAIN_THREAD();
    if (const auto value = representedString(item)) storeAndPush(k("toneStyle"), *value);
}

void StatusMenu::selectAudioQuality(QAction* item) {
    ORMIL_ASSERT_MAIN_THREAD();
    if (const auto value = representedString(item)) storeAndPush(k("audioQuality"), *value);
}

void StatusMenu::setDucking(QAction* item) {
    ORMIL_ASSERT_MAIN_THREAD();
    const int tag = tagOf(item);
    if (tag < 0) return;
    storeAndPush(k("audioDucking"), tag);
}

void StatusMenu::toggleAutoSwitchLayout() {
    ORMIL_ASSERT_MAIN_THREAD();
    storeAndPush(k("autoSwitchLayout"), !m_c.settings->boolOrDefault(k("autoSwitchLayout")));
}

void StatusMenu::toggleAudioNormalization() {
    ORMIL_ASSERT_MAIN_THREAD();
    const bool isOn = !m_c.settings->isBool(k("audioNormalization")) ||
                      m_c.settings->value(k("audioNormalization")).toBool();
    storeAndPush(k("audioNormalization"), !isOn);
}

void StatusMenu::checkForUpdates() {
    ORMIL_ASSERT_MAIN_THREAD();
    if (m_c.checkForUpdates) m_c.checkForUpdates();
}

QString StatusMenu::aboutText() const {
    const Hotkey key = hotkeys().dictation;
    return L10n::voiceToText() + QStringLiteral("\n\n") +
           L10n::holdHotkeyToRecord(
               HotkeyService::displayName(key.keyCode, key.modifiers, key.isModifierOnly)) +
           QStringLiteral("\n") + L10n::releaseToTranscribe();
}

void StatusMenu::showAbout() {
    ORMIL_ASSERT_MAIN_THREAD();
    QMessageBox box(QMessageBox::Information, versionLine(), versionLine(), QMessageBox::Ok);
    box.setInformativeText(aboutText());
    box.exec();
}
