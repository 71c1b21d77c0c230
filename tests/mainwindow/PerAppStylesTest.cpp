// Per-app styles: the first tone of an added application, the names shown
// for identifiers, what "Add from running apps" offers, and the group on
// the Text tab with a fake list of running applications.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QJsonObject>
#include <QMenu>
#include <QPushButton>
#include <QToolButton>

#include "mainwindow/PerAppStyles.h"
#include "mainwindow/PerAppStylesGroup.h"
#include "platform/AppIdentity.h"
#include "platform/RunningApps.h"
#include "platform/SettingsStore.h"
#include "platform/WindowWatcher.h"
#include "support/Screenshots.h"
#include "support/TestSupport.h"

using namespace PerAppStyles;

namespace {

// Desktop entries only from this test's private tree.
class PerAppFixture : public ::testing::Test {
protected:
    PerAppFixture() {
        apps = testsupport::root() + "/data/applications";
        qputenv("XDG_DATA_DIRS", (testsupport::root() + "/none").toUtf8());
    }
    void entry(const QString& id, const QString& fields) {
        testsupport::writeFile(apps + "/" + id + ".desktop",
                               ("[Desktop Entry]\nType=Application\n" + fields + "\n").toUtf8());
    }
    QString apps;
};

TEST(PerAppDefaultTone, FollowsTheKindOfApplication) {
    const struct {
        const char* id;
        const char* tone;
    } cases[] = {
        {"org.telegram.desktop", "readable"},
        {"TelegramDesktop", "readable"},
        {"org.gnome.Terminal", "none"},
        {"org.kde.konsole", "none"},
        {"debian-xterm", "none"},
        {"kitty", "none"},
        {"code", "none"},
        {"com.visualstudio.code", "none"},
        {"com.discordapp.Discord", "readable"},
        {"slack", "readable"},
        {"com.rtosta.zapzap", "readable"},
        {"thunderbird", "readable"},
        {"org.gnome.Notes", "readable"},
        {"libreoffice-writer", "none"},
        {"org.gnome.TextEditor", "none"},
        {"org.example.Unknown", "neutral"},
        {"ORG.GNOME.TERMINAL", "neutral"},
        {"", "neutral"},
    };
    for (const auto& c : cases) EXPECT_EQ(defaultTone(c.id), c.tone) << c.id;

    // An identifier listed twice would never reach its second tone.
    QHash<QString, int> listed;
    for (const CuratedApp& app : curatedApps())
        for (const QString& id : app.bundleIds) ++listed[id];
    for (auto it = listed.begin(); it != listed.end(); ++it)
        EXPECT_EQ(it.value(), 1) << it.key().toStdString();
}

TEST_F(PerAppFixture, DisplayNamesFallBackStepByStep) {
    entry("org.example.Notes", "Name=Field Notes\nName[ru]=Полевые заметки");
    entry("org.example.Nameless", "Icon=x");
    const QList<RunningApp> running = {{"org.example.Nameless", "NamelessWindow", 7, true},
                                       {"RunningTool", "RunningTool", 8, true}};
    const struct {
        const char* id;
        const char* language;
        const char* name;
    } cases[] = {
        {"org.example.Notes", "ru", "Полевые заметки"},
        {"org.example.Notes", "en", "Field Notes"},
        {"org.example.Nameless", "en", "NamelessWindow"},  // entry without a name
        {"RunningTool", "en", "RunningTool"},
        {"com.example.notepad", "en", "Notepad"},
        {"com.example.MY APP", "en", "My App"},
        {"notepad", "en", "Notepad"},
        {"...", "en", "..."},
        {"", "en", ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(appDisplayName(c.id, running, c.language), c.name) << c.id << " " << c.language;
}

TEST_F(PerAppFixture, RunningAppsOfferedAreRegularNewAndOnce) {
    entry("org.example.Zeta", "Name=zeta");
    entry("org.example.Alpha", "Name=Alpha");
    const QList<RunningApp> running = {
        {"org.example.Zeta", "Zeta", 1, true},
        {"ormil", "Ormil", 2, true},               // this application
        {"org.example.Panel", "Panel", 3, false},  // a dock
        {"org.example.Ruled", "Ruled", 4, true},   // already has a rule
        {"org.example.Zeta", "Zeta", 1, true},     // its second window
        {"beta", "beta", 5, true},
        {"org.example.Alpha", "Alpha", 6, true},
        {"", "", 7, true},
    };
    const Rules rules{{"org.example.Ruled", "formal"}};
    const QList<Offer> expected = {
        {"org.example.Alpha", "Alpha"}, {"beta", "beta"}, {"org.example.Zeta", "zeta"}};
    EXPECT_EQ(runningExtraApps(running, "ormil", rules, "en"), expected);

    const Rules three{{"org.example.Zeta", "none"}, {"beta", "none"}, {"org.example.Alpha", "x"}};
    EXPECT_EQ(ruledBundleIds(three, running, "en"),
              QStringList({"org.example.Alpha", "beta", "org.example.Zeta"}));
}

TEST(PerAppRules, OnlyStringTonesAreRulesAndSavingReplacesThemWhole) {
    SettingsStore store;
    store.set("perAppStyles", QJsonObject{{"a", "formal"}, {"b", 3}});
    const Rules rules = load(store);
    EXPECT_EQ(rules, Rules({{"a", "formal"}}));
    EXPECT_TRUE(hasRule(rules, {"x", "a"}));
    EXPECT_FALSE(hasRule(rules, {"b"}));
    save(store, {{"c", "none"}});
    EXPECT_EQ(*store.dictionary("perAppStyles"), QJsonObject({{"c", "none"}}));
    store.set("perAppStyles", "not a dictionary");
    EXPECT_TRUE(load(store).isEmpty());
}

class FakeRunningApps : public RunningApps {
public:
    QList<RunningApp> list;
    int reads = 0;
    QList<RunningApp> applications() const override {
        ++const_cast<FakeRunningApps*>(this)->reads;
        return list;
    }
};

class PerAppGroupTest : public PerAppFixture {
protected:
    PerAppGroupTest() {
        SettingsStore::setSharedForTesting(&store);
        entry("org.telegram.desktop", "Name=Telegram");
        entry("org.gnome.Terminal", "Name=Terminal\nName[ru]=Терминал");
        entry("org.example.Notes", "Name=Field Notes & Sketches\nName[ru]=Полевые заметки");
        running.list = {{"org.telegram.desktop", "TelegramDesktop", 10, true},
                        {"org.gnome.Terminal", "Gnome-terminal", 11, true},
                        {"org.example.Notes", "Notes", 12, true},
                        {AppIdentity::ownIdentifier(), "Ormil", 13, true}};
    }
    ~PerAppGroupTest() override { SettingsStore::setSharedForTesting(nullptr); }

    void open() {
        group = std::make_unique<PerAppStylesGroup>(store, running, watcher);
        group->resize(520, group->sizeHint().height());
        group->show();
    }
    QStringList menuTexts() const {
        QStringList out;
        for (QAction* a : group->addMenu()->actions()) out << a->text();
        return out;
    }
    void choose(const QString& text) {
        for (QAction* a : group->addMenu()->actions())
            if (a->text() == text) return a->trigger();
        ADD_FAILURE() << "no menu item " << text.toStdString();
    }
    QCheckBox* rule(const QString& id) const {
        return group->findChild<QCheckBox*>("perAppRule:" + id);
    }
    QComboBox* tone(const QString& id) const {
        return group->findChild<QComboBox*>("perAppTone:" + id);
    }
    QStringList shownRules() const {
        QStringList out;
        for (QCheckBox* c : group->findChildren<QCheckBox*>())
            if (c->objectName().startsWith("perAppRule:") && c->isVisibleTo(group.get()))
                out << c->text();
        return out;
    }
    Rules stored() const { return load(store); }

    SettingsStore store{testsupport::root() + "/per-app-settings.json"};
    FakeRunningApps running;
    WindowWatcher watcher;
    std::unique_ptr<PerAppStylesGroup> group;
};

TEST_F(PerAppGroupTest, SwitchedOffItShowsOnlyTheSwitchAndCaption) {
    store.set("perAppStyles", QJsonObject{{"org.telegram.desktop", "readable"}});
    open();
    EXPECT_FALSE(group->findChild<QCheckBox*>("perAppStylesEnabled")->isChecked());
    EXPECT_TRUE(shownRules().isEmpty());
    EXPECT_FALSE(group->findChild<QPushButton*>("perAppAddRunning")->isVisibleTo(group.get()));

    group->findChild<QCheckBox*>("perAppStylesEnabled")->click();
    EXPECT_TRUE(store.boolean("perAppStylesEnabled"));
    EXPECT_EQ(shownRules(), QStringList{"Telegram"});
    EXPECT_TRUE(group->findChild<QPushButton*>("perAppAddRunning")->isVisibleTo(group.get()));
    EXPECT_EQ(stored(), Rules({{"org.telegram.desktop", "readable"}}));
}

TEST_F(PerAppGroupTest, AddingPickingAndUncheckingStoreAtOnce) {
    store.set("perAppStylesEnabled", true);
    open();
    // Sorted by name, without this application; "&" is no shortcut mark.
    EXPECT_EQ(menuTexts(), QStringList({"Field Notes && Sketches", "Telegram", "Terminal"}));

    choose("Terminal");
    choose("Telegram");
    choose("Field Notes && Sketches");
    EXPECT_EQ(stored(), Rules({{"org.gnome.Terminal", "none"},
                               {"org.telegram.desktop", "readable"},
                               {"org.example.Notes", "neutral"}}));
    EXPECT_TRUE(menuTexts().isEmpty());
    EXPECT_EQ(shownRules(), QStringList({"Field Notes && Sketches", "Telegram", "Terminal"}));
    EXPECT_EQ(tone("org.gnome.Terminal")->currentData().toString(), "none");
    EXPECT_TRUE(tone("org.gnome.Terminal")->isEnabled());

    // Choosing a tone.
    QComboBox* picker = tone("org.example.Notes");
    picker->setCurrentIndex(picker->findData("formal"));
    emit picker->activated(picker->currentIndex());
    EXPECT_EQ(stored().value("org.example.Notes"), "formal");

    // Unchecking removes the rule at once; the row goes, and the
    // application is offered again only after the next change of windows.
    rule("org.telegram.desktop")->click();
    EXPECT_FALSE(stored().contains("org.telegram.desktop"));
    EXPECT_TRUE(testsupport::waitUntil([&] {
        return shownRules() == QStringList({"Field Notes && Sketches", "Terminal"});
    }));
    EXPECT_TRUE(menuTexts().isEmpty());
    emit watcher.activeWindowChanged();
    EXPECT_EQ(menuTexts(), QStringList{"Telegram"});
}

TEST_F(PerAppGroupTest, WindowChangesRefreshTheMenuOnlyWhileItIsSeen) {
    store.set("perAppStylesEnabled", true);
    open();
    running.list.append({"org.example.Later", "Later", 20, true});
    emit watcher.clientListChanged();
    EXPECT_TRUE(menuTexts().contains("Later"));

    group->hide();
    const int reads = running.reads;
    emit watcher.clientListChanged();
    emit watcher.activeWindowChanged();
    EXPECT_EQ(running.reads, reads);
    running.list.removeLast();
    group->show();  // appearing reads them again
    EXPECT_FALSE(menuTexts().contains("Later"));
}

TEST_F(PerAppGroupTest, ToneTitlesKeepTheirFirstLanguageWhileOtherTextsFollow) {
    store.setMany({{"perAppStylesEnabled", true},
                   {"interfaceLanguage", "en"},
                   {"perAppStyles",
                    QJsonObject{{"org.gnome.Terminal", "none"}, {"org.example.Notes", "formal"}}}});
    open();
    EXPECT_EQ(tone("org.example.Notes")->currentText(), "Formal");
    testsupport::saveScreenshot(group.get(), "per-app-styles-en");
    store.set("interfaceLanguage", "ru");
    EXPECT_EQ(group->findChild<QCheckBox*>("perAppStylesEnabled")->text(), "Стили для приложений");
    EXPECT_EQ(shownRules(), QStringList({"Полевые заметки", "Терминал"}));
    EXPECT_EQ(tone("org.example.Notes")->currentText(), "Formal");
    EXPECT_EQ(toneTitle("formal"), "Formal");
    EXPECT_EQ(toneTitle("grammar"), "grammar");
    testsupport::saveScreenshot(group.get(), "per-app-styles-ru-after-en");
}

TEST_F(PerAppGroupTest, ScreenshotInRussian) {
    store.setMany({{"perAppStylesEnabled", true},
                   {"interfaceLanguage", "ru"},
                   {"perAppStyles", QJsonObject{{"org.gnome.Terminal", "none"},
                                                {"org.telegram.desktop", "readable"},
                                                {"com.example.notepad", "concise"}}}});
    open();
    // Russian order puts Cyrillic before Latin.
    EXPECT_EQ(shownRules(), QStringList({"Терминал", "Notepad", "Telegram"}));
    // The tone titles keep the language of their first use in the process
    // (Russian when this test runs alone).
    EXPECT_EQ(tone("org.telegram.desktop")->currentText(), PerAppStyles::toneTitle("readable"));
    testsupport::saveScreenshot(group.get(), "per-app-styles-ru");
}

}  // namespace
