#include <gtest/gtest.h>

#include <QAction>
#include <QCoreApplication>
#include <QMenu>

#include "app/StatusMenu.h"
#include "core/AppState.h"
#include "fakes/FakeClock.h"
#include "platform/InputAccess.h"
#include "platform/Pasteboard.h"
#include "platform/SettingsStore.h"
#include "support/TestSupport.h"
#include "fakes/FakeInputAccess.h"
#include "fakes/FakePasteboard.h"

namespace {

class StatusMenuTest : public ::testing::Test {
protected:
    void SetUp() override {
        SettingsStore::setSharedForTesting(&settings);
        QCoreApplication::setApplicationVersion("2.4.1");
    }
    void TearDown() override {
        SettingsStore::setSharedForTesting(nullptr);
        QCoreApplication::setApplicationVersion({});
    }

    StatusMenu::Collaborators collaborators() {
        StatusMenu::Collaborators c;
        c.settings = &settings;
        c.appState = &state;
        c.clock = &clock;
        c.pasteboard = &pasteboard;
        c.inputAccess = &access;
        c.hotkeys = [this] { return hotkeys; };
        c.fetchTranscriptions = [this](int limit, int offset) {
            EXPECT_EQ(limit, 7);
            EXPECT_EQ(offset, 0);
            ++fetches;
            return records;
        };
        c.clipboardHistory = [this] { return clipboard; };
        c.copyClipboardEntry = [this](const QString& text) { copied << text; };
        c.insertTextViaPasteboard = [this](const QString& text) { inserted << text; };
        c.pushSettings = [this] { ++pushes; };
        return c;
    }

    static QStringList titles(const QMenu* menu) {
        QStringList out;
        for (const QAction* a : menu->actions()) out << (a->isSeparator() ? "---" : a->text());
        return out;
    }
    static QAction* item(const QMenu* menu, const QString& text) {
        for (QAction* a : menu->actions())
            if (a->text() == text) return a;
        return nullptr;
    }
    static QMenu* submenu(const QMenu* menu, const QString& text) {
        QAction* a = item(menu, text);
        return a ? a->menu() : nullptr;
    }
    static QStringList checked(const QMenu* menu) {
        QStringList out;
        for (const QAction* a : menu->actions())
            if (a->isChecked()) out << a->text();
        return out;
    }

    SettingsStore settings;
    AppState state{settings, [](const QString&) { return TokenReadResult{}; }};
    FakeClock clock;
    FakePasteboard pasteboard;
    FakeInputAccess access;
    StatusMenu::Hotkeys hotkeys{{61, 0, true}, {54, 0, true}, {9, 0x60000, false}};
    QList<QVariantMap> records;
    std::vector<StatusMenu::ClipboardEntry> clipboard;
    int pushes = 0;
    int fetches = 0;
    QStringList copied;
    QStringList inserted;
};

TEST_F(StatusMenuTest, LayoutInOrder) {
    StatusMenu menu(collaborators());
    menu.rebuildMenu();
    const QStringList t = titles(menu.menu());
    ASSERT_EQ(t.size(), 22);
    EXPECT_EQ(t[0], "Ormil v2.4.1");
    EXPECT_EQ(t[1], "---");
    EXPECT_EQ(t[2], "Open Ormil");
    EXPECT_TRUE(t[4].startsWith("Hotkey: ") && t[4].endsWith(" (Push-to-Talk)"))
        << t[4].toStdString();
    EXPECT_TRUE(t[5].startsWith("Translate Hotkey: ") && t[5].endsWith(" → English"));
    EXPECT_TRUE(t[7].startsWith("Paste Last Transcription (") && t[7].endsWith(")"));
    EXPECT_EQ(t.mid(8, 2), (QStringList{"Recent Transcriptions", "Clipboard History"}));
    EXPECT_EQ(t.mid(11, 6),
              (QStringList{"Language", "Tone Style", "Audio Ducking", "Auto-switch keyboard layout",
                           "Amplify quiet speech", "Recognition"}));
    EXPECT_EQ(t.mid(18, 2), (QStringList{"Settings...", "Check for Updates..."}));
    EXPECT_EQ(t[21], "Quit Ormil");
    // Informational lines are never actions.
    for (int i : {0, 4, 5}) EXPECT_FALSE(menu.menu()->actions()[i]->isEnabled()) << i;
}

TEST_F(StatusMenuTest, StateAndHotkeyLines) {
    struct Case {
        bool recording, processing;
        const char* mode;
        qint64 translateKey;
        const char* target;
        QString stateLine;     // empty: none
        QString translateEnd;  // empty: no translate line
        const char* modeText;
    };
    const Case cases[] = {
        {false, false, "toggle", 54, "de", {}, " → German", "(Toggle)"},
        {true, true, nullptr, 54, "it", "Recording...", " → IT", "(Push-to-Talk)"},
        {false, true, "pushToTalk", -1, "en", "Processing...", {}, "(Push-to-Talk)"},
        {false, false, "TOGGLE", 54, nullptr, {}, " → English", "(Push-to-Talk)"},
    };
    for (const Case& c : cases) {
        state.setIsRecording(c.recording);
        state.setIsProcessing(c.processing);
        settings.remove("recordingMode");
        if (c.mode) settings.set("recordingMode", c.mode);
        settings.remove("translateTargetLanguage");
        if (c.target) settings.set("translateTargetLanguage", c.target);
        hotkeys.translate.keyCode = c.translateKey;
        StatusMenu menu(collaborators());
        menu.rebuildMenu();
        const QStringList t = titles(menu.menu());
        const QString label = t.join(" | ");
        EXPECT_EQ(t[1] == "---" ? QString() : t[1], c.stateLine) << label.toStdString();
        const qsizetype hotkey = t.indexOf("---") + 3;
        EXPECT_TRUE(t[hotkey].endsWith(c.modeText)) << label.toStdString();
        const bool hasTranslate = t[hotkey + 1].startsWith("Translate Hotkey");
        EXPECT_EQ(hasTranslate, !c.translateEnd.isEmpty()) << label.toStdString();
        if (hasTranslate) {
            EXPECT_TRUE(t[hotkey + 1].endsWith(c.translateEnd)) << label.toStdString();
        }
    }
}

TEST_F(StatusMenuTest, MissingVersionShowsQuestionMark) {
    QCoreApplication::setApplicationVersion({});
    EXPECT_EQ(StatusMenu::versionLine(), "Ormil v?");
}

TEST_F(StatusMenuTest, PasteLastNeedsTextAndKeystrokeRights) {
    hotkeys.pasteLast.keyCode = -1;
    StatusMenu menu(collaborators());
    menu.rebuildMenu();
    EXPECT_FALSE(item(menu.menu(), "Paste Last Transcription")->isEnabled());
    menu.pasteLast();
    EXPECT_TRUE(inserted.isEmpty());

    state.setLastTranscribedText("Привет ");
    menu.rebuildMenu();
    QAction* paste = item(menu.menu(), "Paste Last Transcription");
    ASSERT_TRUE(paste);
    EXPECT_TRUE(paste->isEnabled());
    paste->trigger();
    EXPECT_EQ(inserted, QStringList{"Привет "});

    access.trusted = false;
    menu.pasteLast();
    EXPECT_EQ(inserted.size(), 1);
    EXPECT_EQ(state.lastError(), std::optional<QString>("Accessibility permission required"));
}

TEST_F(StatusMenuTest, RecentTranscriptions) {
    StatusMenu menu(collaborators());
    // Closed, the menu leaves the history store alone.
    menu.rebuildMenu();
    EXPECT_EQ(fetches, 0);
    QMenu* recent = submenu(menu.menu(), "Recent Transcriptions");
    ASSERT_TRUE(recent);
    EXPECT_TRUE(recent->actions().isEmpty());

    emit menu.menu()->aboutToShow();
    EXPECT_EQ(fetches, 1);
    recent = submenu(menu.menu(), "Recent Transcriptions");
    EXPECT_EQ(titles(recent), QStringList{"No recent transcriptions"});
    EXPECT_FALSE(recent->actions()[0]->isEnabled());

    const QString sixty(60, 'a');
    const QString sixtyOne = QString(60, 'b') + "c";
    // Characters as the user counts them, whatever their length in code units.
    const QString sixtyThumbs = QString::fromUtf8("👍🏽").repeated(60);
    const QString accented = QString::fromUtf8("e\u0301").repeated(61);
    records = {{{"text", sixty}}, {{"text", 42}},          {{"text", sixtyOne}},
               {{"id", "x"}},     {{"text", sixtyThumbs}}, {{"text", accented}}};
    emit menu.menu()->aboutToShow();
    recent = submenu(menu.menu(), "Recent Transcriptions");
    EXPECT_EQ(titles(recent), (QStringList{sixty, QString(60, 'b') + "...", sixtyThumbs,
                                           QString::fromUtf8("e\u0301").repeated(60) + "..."}));
    recent->actions()[1]->trigger();
    EXPECT_EQ(pasteboard.string(), sixtyOne);
    EXPECT_TRUE(copied.isEmpty());
}

TEST_F(StatusMenuTest, ClipboardHistoryTitlesAndCopy) {
    const QDateTime now = clock.currentDateTime();
    clipboard = {{"first line\nsecond", now.addSecs(-59), true},
                 {QString(51, 'x'), now.addSecs(-3600), false}};
    for (int i = 0; i < 12; ++i) clipboard.push_back({QString::number(i), now, false});
    StatusMenu menu(collaborators());
    menu.rebuildMenu();
    QMenu* history = submenu(menu.menu(), "Clipboard History");
    ASSERT_TRUE(history);
    const QStringList t = titles(history);
    ASSERT_EQ(t.size(), 10);
    EXPECT_EQ(t[0], "🎙 first line second — just now");
    EXPECT_EQ(t[1], QString(50, 'x') + "... — 1 hr ago");

    history->actions()[1]->trigger();
    EXPECT_EQ(copied, QStringList{QString(51, 'x')});

    // The history shrank after the menu was built: the stale entry does nothing.
    QAction* last = history->actions()[9];
    clipboard.resize(3);
    const int changes = pasteboard.changeCount();
    last->trigger();
    EXPECT_EQ(copied.size(), 1);
    EXPECT_EQ(pasteboard.changeCount(), changes);

    clipboard.clear();
    menu.rebuildMenu();
    EXPECT_EQ(titles(submenu(menu.menu(), "Clipboard History")), QStringList{"Empty"});
}

TEST_F(StatusMenuTest, RelativeTimeLabels) {
    const QDateTime now(QDate(2026, 3, 1), QTime(10, 0));
    const std::pair<qint64, const char*> cases[] = {
        {0, "just now"},       {59, "just now"},       {60, "1 min ago"},
        {3599, "59 min ago"},  {3600, "1 hr ago"},     {86399, "23 hr ago"},
        {86400, "1 days ago"}, {200000, "2 days ago"}, {-30, "just now"}};
    for (const auto& [seconds, label] : cases)
        EXPECT_EQ(StatusMenu::relativeTime(now.addSecs(-seconds), now), label) << seconds;
    // Part-seconds are cut off, never rounded up.
    EXPECT_EQ(StatusMenu::relativeTime(now.addMSecs(-59999), now), "just now");
}

TEST_F(StatusMenuTest, SettingChoicesStoreRebuildAndPush) {
    struct Case {
        const char* submenu;  // nullptr: a toggle in the menu itself
        const char* item;
        const char* key;
        QJsonValue stored;
    };
    const Case cases[] = {
        {"Language", "German", "recognitionLanguage", "de"},
        {"Tone Style", "Condensed", "toneStyle", "summary"},
        {"Recognition", "Maximum", "audioQuality", "best"},
        {"Audio Ducking", "Full (Mute)", "audioDucking", 2},
        // Absent means on: the first toggle turns it off.
        {nullptr, "Auto-switch keyboard layout", "autoSwitchLayout", false},
        {nullptr, "Amplify quiet speech", "audioNormalization", false},
    };
    StatusMenu menu(collaborators());
    menu.rebuildMenu();
    int expectedPushes = 0;
    for (const Case& c : cases) {
        QMenu* owner = c.submenu ? submenu(menu.menu(), c.submenu) : menu.menu();
        ASSERT_TRUE(owner) << c.submenu;
        QAction* a = item(owner, c.item);
        ASSERT_TRUE(a) << c.item;
        a->trigger();
        EXPECT_EQ(settings.value(c.key), c.stored) << c.key;
        EXPECT_EQ(pushes, ++expectedPushes) << c.key;
        // Rebuilt at once: the new check mark shows without reopening.
        owner = c.submenu ? submenu(menu.menu(), c.submenu) : menu.menu();
        EXPECT_EQ(item(owner, c.item)->isChecked(), c.submenu || c.stored.toBool()) << c.key;
    }
}

TEST_F(StatusMenuTest, CheckMarksFollowStoredValues) {
    struct Case {
        const char* submenu;
        const char* key;
        QJsonValue stored;
        QStringList checkedItems;
    };
    const QJsonValue absent(QJsonValue::Undefined);
    const Case cases[] = {
        {"Language", "recognitionLanguage", absent, {"Russian"}},
        {"Language", "recognitionLanguage", "ko", {"Korean"}},
        {"Tone Style", "toneStyle", absent, {"None"}},
        {"Tone Style", "toneStyle", "cultured", {}},
        {"Recognition", "audioQuality", absent, {"Balanced"}},
        // A fresh install ticks what the Settings page shows and the ducking
        // service does: the shared default.
        {"Audio Ducking", "audioDucking", absent, {"Partial"}},
        {"Audio Ducking", "audioDucking", 0, {"None"}},
        {"Audio Ducking", "audioDucking", 2, {"Full (Mute)"}},
    };
    for (const Case& c : cases) {
        settings.remove(c.key);
        if (!c.stored.isUndefined()) settings.set(c.key, c.stored);
        StatusMenu menu(collaborators());
        menu.rebuildMenu();
        EXPECT_EQ(checked(submenu(menu.menu(), c.submenu)), c.checkedItems) << c.key;
    }
}

TEST_F(StatusMenuTest, NormalizationCountsAsOnUnlessStoredFalse) {
    const std::pair<QJsonValue, bool> cases[] = {{QJsonValue(QJsonValue::Undefined), true},
                                                 {true, true},
                                                 {false, false},
                                                 {"no", true},
                                                 {0, true}};
    for (const auto& [stored, on] : cases) {
        settings.remove("audioNormalization");
        if (!stored.isUndefined()) settings.set("audioNormalization", stored);
        StatusMenu menu(collaborators());
        menu.rebuildMenu();
        EXPECT_EQ(item(menu.menu(), "Amplify quiet speech")->isChecked(), on)
            << stored.toVariant().toString().toStdString();
        menu.toggleAudioNormalization();
        EXPECT_EQ(settings.value("audioNormalization"), QJsonValue(!on));
    }
}

TEST_F(StatusMenuTest, RefilledInPlaceWhenOpened) {
    StatusMenu menu(collaborators());
    QMenu* const shown = menu.menu();
    state.setLastTranscribedText("later text ");
    records = {{{"text", "newest"}}};
    shown->popup(QPoint(10, 10));
    ASSERT_TRUE(testsupport::waitUntil([&] { return shown->isVisible(); }));
    EXPECT_EQ(menu.menu(), shown);
    ASSERT_GT(shown->actions().size(), 7);
    QAction* paste = shown->actions()[7];
    EXPECT_TRUE(paste->text().startsWith("Paste Last Transcription"));
    EXPECT_TRUE(paste->isEnabled());
    EXPECT_EQ(titles(submenu(shown, "Recent Transcriptions")), QStringList{"newest"});
    shown->hide();
}

TEST_F(StatusMenuTest, WindowItemsWorkOnlyWhenTheirWindowsExist) {
    StatusMenu bare(collaborators());
    bare.rebuildMenu();
    for (const char* title : {"Open Ormil", "Settings...", "Check for Updates..."})
        EXPECT_FALSE(item(bare.menu(), title)->isEnabled()) << title;
    EXPECT_TRUE(item(bare.menu(), "Quit Ormil")->isEnabled());

    QStringList opened;
    auto c = collaborators();
    c.openMainWindow = [&] { opened << "main"; };
    c.openSettings = [&] { opened << "settings"; };
    c.checkForUpdates = [&] { opened << "updates"; };
    c.quit = [&] { opened << "quit"; };
    StatusMenu full(c);
    full.rebuildMenu();
    for (const char* title : {"Open Ormil", "Settings...", "Check for Updates...", "Quit Ormil"})
        item(full.menu(), title)->trigger();
    EXPECT_EQ(opened, (QStringList{"main", "settings", "updates", "quit"}));
}

TEST_F(StatusMenuTest, AboutTextNamesTheHotkey) {
    StatusMenu menu(collaborators());
    const QString text = menu.aboutText();
    EXPECT_TRUE(text.startsWith("Voice-to-text dictation for ")) << text.toStdString();
    EXPECT_TRUE(text.endsWith("\nRelease to transcribe and paste"));
    EXPECT_EQ(text.count('\n'), 3);
}

}  // namespace
