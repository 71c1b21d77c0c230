// The paste chord through a stand-in remote desktop portal on a private bus:
// the grant asked for once and kept, the chord's keys in order, a session the
// desktop ended made anew, and a refusal that leaves every text on the
// clipboard with one notice.
#include <gtest/gtest.h>

#include "fakes/FakeClock.h"
#include "fakes/FakeNotifier.h"
#include "fakes/FakeRemoteDesktopPortal.h"
#include "platform/Clock.h"
#include "platform/FocusedWindowSource.h"
#include "platform/SettingsStore.h"
#include "platform/linux/GlobalShortcutsPortal.h"
#include "platform/wayland/PortalKeySynthesizer.h"
#include "support/TestSupport.h"

namespace {

using Outcome = KeySynthesizer::PasteOutcome;
using Chord = KeySynthesizer::PasteChord;

class PortalKeys : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_FALSE(bus.address().isEmpty()) << "no dbus-daemon";
        ASSERT_TRUE(client.isConnected());
    }
    PortalKeySynthesizer::Options options() {
        PortalKeySynthesizer::Options o;
        o.bus = client;
        o.noticeTitle = "Text is ready";
        o.noticeBody = "press Ctrl+V";
        return o;
    }
    // Asks for a chord and waits for what became of it.
    Outcome paste(PortalKeySynthesizer& keys, Chord chord = Chord::ControlV) {
        std::optional<Outcome> outcome;
        keys.postPasteWhenAllowed(chord, [&](Outcome o) { outcome = o; });
        EXPECT_TRUE(testsupport::waitUntil([&] { return outcome.has_value(); }));
        return outcome.value_or(Outcome::notPosted);
    }

    PrivateBus bus{testsupport::root()};
    FakeRemoteDesktopPortal portal{bus};
    QDBusConnection client = bus.connect("ormil");
    SettingsStore settings;
    FakeNotifier notifier;
};

// A desktop that tells which window has the focus.
class FakeFocus : public FocusedWindowSource {
public:
    QString window;
    QString focusedWindowKey() const override { return window; }
    void focus(const QString& w) {
        window = w;
        emit focusedWindowChanged();
    }
};

}  // namespace

TEST_F(PortalKeys, GrantIsAskedOnceKeptAndTheChordsKeysGoInOrder) {
    settings.set(PortalKeySynthesizer::kRestoreTokenKey, "earlier-token");
    PortalKeySynthesizer keys{settings, notifier, Clock::system(), options()};
    EXPECT_EQ(paste(keys), Outcome::posted);
    EXPECT_EQ(portal.selectOptions.value("persist_mode").toUInt(), 2u);
    EXPECT_EQ(portal.selectOptions.value("restore_token").toString(), "earlier-token");
    EXPECT_EQ(portal.selectOptions.value("types").toUInt(), 1u) << "keyboard only";
    EXPECT_EQ(settings.string(PortalKeySynthesizer::kRestoreTokenKey), "token-from-the-desktop");
    // The shortcuts' session lives on the same connection, and the desktop
    // refuses a second session of the same path.
    EXPECT_FALSE(portal.session.endsWith('/' + QLatin1String(GlobalShortcutsPortal::sessionToken)))
        << portal.session.toStdString();

    EXPECT_EQ(paste(keys, Chord::ControlShiftV), Outcome::posted);
    ASSERT_TRUE(testsupport::waitUntil([&] { return portal.keys.size() == 10; }));
    const QList<QPair<int, uint>> want{{29, 1}, {47, 1}, {47, 0}, {29, 0}, {29, 1},
                                       {42, 1}, {47, 1}, {47, 0}, {42, 0}, {29, 0}};
    EXPECT_EQ(portal.keys, want);
    EXPECT_EQ(portal.calls.count("Start"), 1) << "asked twice";
    EXPECT_TRUE(notifier.notices.empty());
}

// A first version of the interface cannot keep a grant: nothing is asked
// for that it does not know.
TEST_F(PortalKeys, FirstInterfaceVersionIsAskedForNoPersistentGrant) {
    portal.version = 1;
    PortalKeySynthesizer keys{settings, notifier, Clock::system(), options()};
    EXPECT_EQ(paste(keys), Outcome::posted);
    EXPECT_FALSE(portal.selectOptions.contains("persist_mode"));
    EXPECT_FALSE(portal.selectOptions.contains("restore_token"));
}

TEST_F(PortalKeys, SessionTheDesktopEndedIsMadeAnewForTheNextPaste) {
    PortalKeySynthesizer keys{settings, notifier, Clock::system(), options()};
    EXPECT_EQ(paste(keys), Outcome::posted);
    portal.closeSession();
    ASSERT_TRUE(
        testsupport::waitUntil([&] { return keys.state() == PortalKeySynthesizer::State::idle; }));
    EXPECT_EQ(paste(keys), Outcome::posted);
    EXPECT_EQ(portal.calls.count("CreateSession"), 2);
    EXPECT_EQ(portal.calls.count("Start"), 2);
}

// The desktop ends the session while a chord's first key is on its way: the
// rest of that chord is not sent into the next session, where a V without
// its Control would type a letter.
TEST_F(PortalKeys, AChordCutByTheEndOfItsSessionIsNotFinishedInTheNextOne) {
    PortalKeySynthesizer keys{settings, notifier, Clock::system(), options()};
    portal.holdKeys = true;
    EXPECT_EQ(paste(keys), Outcome::posted);
    ASSERT_TRUE(testsupport::waitUntil([&] { return portal.keys.size() == 1; }));
    portal.closeSession();
    ASSERT_TRUE(
        testsupport::waitUntil([&] { return keys.state() == PortalKeySynthesizer::State::idle; }));
    EXPECT_EQ(paste(keys), Outcome::posted);
    EXPECT_EQ(portal.calls.count("Start"), 2);

    portal.holdKeys = false;
    portal.answerKeys();
    ASSERT_TRUE(testsupport::waitUntil([&] { return portal.keys.size() >= 5; }));
    const QList<QPair<int, uint>> want{{29, 1}, {29, 1}, {47, 1}, {47, 0}, {29, 0}};
    EXPECT_EQ(portal.keys.mid(0, 5), want);
}

TEST_F(PortalKeys, RefusalLeavesEveryTextOnTheClipboardWithOneNotice) {
    portal.startAnswer = 1;
    PortalKeySynthesizer keys{settings, notifier, Clock::system(), options()};
    EXPECT_EQ(paste(keys), Outcome::leftOnClipboard);
    EXPECT_EQ(paste(keys), Outcome::leftOnClipboard);
    EXPECT_EQ(portal.calls.count("Start"), 1) << "asked again in the same run";
    EXPECT_TRUE(portal.keys.isEmpty());
    ASSERT_EQ(notifier.notices.size(), 1u);
    EXPECT_EQ(notifier.notices[0].body, "press Ctrl+V");
    EXPECT_FALSE(settings.contains(PortalKeySynthesizer::kRestoreTokenKey));
}

// After the desktop's dialog the keys wait for the keyboard focus to come
// back to the window the paste was asked in: where the desktop tells, until
// that window has it again (or a limit passes); elsewhere a fixed pause.
TEST_F(PortalKeys, AfterTheDialogTheKeysWaitForTheFocusToComeBack) {
    using Limit = PortalKeySynthesizer;
    struct Case {
        const char* name;
        bool tells;
        // What happens after the user's answer: the keys go by its end,
        // and not before it.
        std::function<void(FakeFocus&, FakeClock&)> after;
    };
    const Case cases[] = {
        {"the desktop does not tell: a fixed pause", false,
         [](FakeFocus&, FakeClock& clock) { clock.advance(Limit::kFocusReturnDelay); }},
        {"the focus goes elsewhere, then back", true,
         [](FakeFocus& focus, FakeClock& clock) {
             clock.advance(Limit::kFocusReturnLimit - 0.1);
             focus.focus("another window");
             focus.focus("the user's window");
         }},
        {"the focus never comes back: the limit", true,
         [](FakeFocus&, FakeClock& clock) { clock.advance(Limit::kFocusReturnLimit); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        FakeRemoteDesktopPortal& held = portal;
        held.holdStart = true;
        held.keys.clear();
        FakeClock clock;
        FakeFocus focus;
        focus.window = "the user's window";
        PortalKeySynthesizer keys{settings, notifier, clock, options()};
        if (c.tells) keys.setFocusSource(&focus);
        std::optional<Outcome> outcome;
        keys.postPasteWhenAllowed(Chord::ControlV, [&](Outcome o) { outcome = o; });
        ASSERT_TRUE(testsupport::waitUntil([&] { return held.startHeld(); }));
        // The dialog takes the focus, and the user takes a while.
        focus.focus("the desktop's dialog");
        clock.advance(1);
        held.answerStart();
        ASSERT_TRUE(testsupport::waitUntil(
            [&] { return keys.state() == PortalKeySynthesizer::State::started; }));
        EXPECT_FALSE(outcome.has_value()) << "pasted into the dialog";
        c.after(focus, clock);
        EXPECT_EQ(outcome, Outcome::posted);
        ASSERT_TRUE(testsupport::waitUntil([&] { return held.keys.size() == 4; }));
    }
}

// Without a dialog, or with the focus already back, nothing waits.
TEST_F(PortalKeys, WithTheFocusAlreadyBackTheKeysGoAtOnce) {
    FakeClock clock;
    FakeFocus focus;
    focus.window = "the user's window";
    portal.holdStart = true;
    PortalKeySynthesizer keys{settings, notifier, clock, options()};
    keys.setFocusSource(&focus);
    std::optional<Outcome> outcome;
    keys.postPasteWhenAllowed(Chord::ControlV, [&](Outcome o) { outcome = o; });
    ASSERT_TRUE(testsupport::waitUntil([&] { return portal.startHeld(); }));
    clock.advance(1);
    portal.answerStart();
    EXPECT_TRUE(testsupport::waitUntil([&] { return outcome.has_value(); }));
    EXPECT_EQ(outcome, Outcome::posted);
}
