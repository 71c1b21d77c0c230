// The hotkeys of a Wayland session through the desktop's global shortcuts
// portal, against a stand-in portal on the test's session bus.
#include <gtest/gtest.h>

#include <QDBusConnection>
#include <QElapsedTimer>
#include <QSignalSpy>

#include "fakes/FakeDesktopPortal.h"
#include "platform/KeyCodes.h"
#include "platform/linux/GlobalShortcutsPortal.h"
#include "support/TestSupport.h"

namespace {

using Shortcut = GlobalShortcutsPortal::Shortcut;

QList<Shortcut> defaultShortcuts() {
    return {{"dictation", "Hold to dictate", KeyCodes::rightOption, 0, true},
            {"translation", "Hold to dictate and translate", 2,
             KeyFlags::control | KeyFlags::option, false},
            {"paste-last", "Paste the last transcription", KeyCodes::v,
             KeyFlags::control | KeyFlags::option, false}};
}

class GlobalShortcutsPortalTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_FALSE(bus.address().isEmpty()) << "no dbus-daemon"; }
    void TearDown() override {
        client.reset();
        bus.disconnect(QStringLiteral("client"));
    }
    // The client, started, with its key events written to `events`.
    void startClient() {
        client = std::make_unique<GlobalShortcutsPortal>(bus.connect("client"),
                                                         [this] { return shortcuts; });
        failures = std::make_unique<QSignalSpy>(client.get(), &GlobalShortcutsPortal::failed);
        ASSERT_TRUE(client->start([this](const KeyEvent& e) {
            events << QStringLiteral("%1 %2 %3 %4")
                          .arg(e.type == KeyEventType::keyDown ? "down"
                               : e.type == KeyEventType::keyUp ? "up"
                               : e.keyIsDown                   ? "mod-down"
                                                               : "mod-up")
                          .arg(e.keyCode)
                          .arg(e.flags, 0, 16)
                          .arg(e.isAutorepeat);
        }));
    }
    bool waitBound() {
        return testsupport::waitUntil(
            [&] { return client->state() == GlobalShortcutsPortal::State::bound; });
    }

    PrivateBus bus{testsupport::root()};
    QList<Shortcut> shortcuts = defaultShortcuts();
    std::unique_ptr<GlobalShortcutsPortal> client;
    std::unique_ptr<QSignalSpy> failures;
    QStringList events;
};

TEST_F(GlobalShortcutsPortalTest, BindsTheStoredKeysAndTurnsActivationsIntoPressAndRelease) {
    FakeDesktopPortal portal{bus};
    ASSERT_TRUE(portal.isRegistered());
    portal.descriptions = {{"dictation", "Right Alt"}, {"paste-last", "Ctrl+Alt+V"}};
    startClient();
    ASSERT_TRUE(waitBound()) << portal.calls.join(", ").toStdString();

    // One session under the stable token that carries the shortcuts too.
    ASSERT_TRUE(testsupport::waitUntil([&] { return portal.calls.contains("ListShortcuts"); }));
    EXPECT_EQ(portal.calls, (QStringList{"CreateSession", "BindShortcuts", "ListShortcuts"}));
    EXPECT_EQ(portal.createOptions.value("session_handle_token").toString(), "ormil");
    for (const FakePortalShortcuts& offered :
         {FakeDesktopPortal::shortcutsOf(portal.createOptions.value("shortcuts")),
          portal.boundShortcuts}) {
        ASSERT_EQ(offered.size(), 3);
        const std::pair<const char*, const char*> expected[] = {
            {"dictation", "Alt_R"}, {"translation", "CTRL+ALT+d"}, {"paste-last", "CTRL+ALT+v"}};
        for (int i = 0; i < 3; ++i) {
            EXPECT_EQ(offered[i].id, expected[i].first);
            EXPECT_EQ(offered[i].properties.value("preferred_trigger").toString(),
                      expected[i].second);
            EXPECT_FALSE(offered[i].properties.value("description").toString().isEmpty());
        }
    }
    ASSERT_TRUE(testsupport::waitUntil([&] { return client->boundTriggers().size() == 2; }));
    EXPECT_EQ(client->boundTriggers().value("dictation"), "Right Alt");

    // A held key repeats its activation: one press. Another session's
    // signals and unknown ids are not ours.
    portal.activate("dictation", true);
    portal.activate("dictation", true);
    portal.activate("dictation", true);
    portal.activate("translation", true, "/org/freedesktop/portal/desktop/session/x/other");
    portal.activate("nonsense", true);
    portal.activate("dictation", false);
    portal.activate("dictation", false);
    portal.activate("translation", true);
    portal.activate("translation", false);
    portal.activate("paste-last", true);
    portal.activate("paste-last", false);
    ASSERT_TRUE(testsupport::waitUntil([&] { return events.size() >= 6; }));
    testsupport::processEvents(100);
    EXPECT_EQ(events, (QStringList{"mod-down 61 80000 0", "mod-up 61 0 0", "down 2 c0000 0",
                                   "up 2 c0000 0", "down 9 c0000 0", "up 9 c0000 0"}));
    EXPECT_TRUE(failures->isEmpty());

    // Stopped, the source delivers nothing; started again with the same
    // shortcuts, it does not bind again.
    client->stop();
    portal.activate("dictation", true);
    portal.activate("dictation", false);
    testsupport::processEvents(100);
    EXPECT_EQ(events.size(), 6);
    client->start([this](const KeyEvent&) { events << "after restart"; });
    testsupport::processEvents(100);
    EXPECT_EQ(portal.calls.count("CreateSession"), 1);
}

TEST_F(GlobalShortcutsPortalTest, ChangedShortcutsAreBoundAgainUnderTheSameToken) {
    FakeDesktopPortal portal{bus};
    startClient();
    ASSERT_TRUE(waitBound());
    shortcuts.removeAt(1);
    client->stop();
    client->start([](const KeyEvent&) {});
    ASSERT_TRUE(testsupport::waitUntil([&] { return portal.calls.count("BindShortcuts") == 2; }));
    EXPECT_EQ(portal.calls.count("CreateSession"), 2);
    EXPECT_EQ(portal.createOptions.value("session_handle_token").toString(), "ormil");
    EXPECT_EQ(portal.boundShortcuts.size(), 2);
}

TEST_F(GlobalShortcutsPortalTest, MissingPortalOrRefusalFailsOnceWithoutWaiting) {
    struct Case {
        const char* name;
        bool portal;
        uint bindAnswer;
    };
    for (const Case c : {Case{"no portal", false, 0}, Case{"dialog refused", true, 1}}) {
        std::unique_ptr<FakeDesktopPortal> portal;
        if (c.portal) {
            portal = std::make_unique<FakeDesktopPortal>(bus);
            portal->bindAnswer = c.bindAnswer;
        }
        QElapsedTimer elapsed;
        elapsed.start();
        startClient();
        ASSERT_TRUE(testsupport::waitUntil([&] { return failures->size() == 1; })) << c.name;
        // Answered by the bus, not by a timeout.
        EXPECT_LT(elapsed.elapsed(), 10000) << c.name;
        EXPECT_EQ(client->state(), c.portal ? GlobalShortcutsPortal::State::refused
                                            : GlobalShortcutsPortal::State::failed)
            << c.name;
        EXPECT_TRUE(client->boundTriggers().isEmpty()) << c.name;
        // The notice says whether the user said no or the desktop has none.
        EXPECT_EQ(failures->first().at(1).toBool(), c.portal) << c.name;
        testsupport::processEvents(100);
        EXPECT_EQ(failures->size(), 1) << c.name;
        if (c.portal) {
            // Change asks the desktop again, and this time the user agrees.
            portal->bindAnswer = 0;
            client->configureShortcuts();
            EXPECT_TRUE(waitBound()) << c.name;
        }
        client.reset();
    }
    EXPECT_TRUE(testsupport::debugLogText().contains(
        "[Hotkey] GlobalShortcuts portal unavailable: no GlobalShortcuts portal"));
}

TEST_F(GlobalShortcutsPortalTest, ChangeOpensTheDesktopsShortcutSettings) {
    for (uint version : {1u, 2u}) {
        FakeDesktopPortal portal{bus};
        portal.version = version;
        startClient();
        ASSERT_TRUE(waitBound());
        portal.calls.clear();
        client->configureShortcuts();
        // Before ConfigureShortcuts existed, binding again opened them.
        const QString expected = version >= 2 ? "ConfigureShortcuts" : "BindShortcuts";
        EXPECT_TRUE(testsupport::waitUntil([&] { return portal.calls.contains(expected); }))
            << version << ": " << portal.calls.join(", ").toStdString();
        client.reset();
    }
}

}  // namespace
