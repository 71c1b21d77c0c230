#pragma once

#include <QObject>
#include <QPointer>
#include <QSet>
#include <QString>
#include <deque>
#include <functional>
#include <optional>

#include "pipeline/PasteboardGuard.h"
#include "platform/Clock.h"
#include "platform/FrontmostApp.h"
#include "platform/KeySynthesizer.h"

class Notifier;
class Pasteboard;
class SettingsStore;

// Inserts finished text into the focused application through the clipboard:
// the contents are copied aside, the text is put on the clipboard marked as
// transient, the window's paste chord is pressed, and the old contents come
// back once the application has taken the text. Remote-desktop viewers get
// no keystroke: the text stays on the clipboard and the user is told (at most
// three times) to paste it. Every text goes in this one way: dictations,
// paste-last, the editor, retries, and text expansion after its BackSpaces.
// Every wait is a timer on the clock: the caller's thread never sleeps. Main
// thread only.
class KeyboardSimulator : public QObject {
    Q_OBJECT
public:
    KeyboardSimulator(Pasteboard& pasteboard, KeySynthesizer& keys, const FrontmostApp& frontmost,
                      Notifier& notifier, SettingsStore& settings, Clock& clock,
                      QObject* parent = nullptr);
    ~KeyboardSimulator() override;

    static KeyboardSimulator& shared();

    // What a caller may ask of one insertion beyond the text.
    struct Insertion {
        // The chord right after the put: the caller has paused already (text
        // expansion, after its BackSpaces).
        bool keystrokeAtOnce = false;
        // Whether the chord could be posted; a remote viewer gets none and
        // no call.
        std::function<void(bool posted)> keyed;
        // This insertion is over, as insertionFinished() tells.
        std::function<void()> finished;
    };

    void insertText(const QString& text) { insertTextViaPasteboard(text); }
    // Puts the text on the clipboard now and returns; the chord follows
    // 50 ms later (400 ms for a remote viewer, plus up to 0.6 s while
    // modifiers are still held). A text that comes while an earlier one has
    // not yet reached its application waits for it, so neither is lost.
    // insertionFinished() tells when each insertion is over.
    void insertTextViaPasteboard(const QString& text, Insertion insertion);
    void insertTextViaPasteboard(const QString& text);

    // WM_CLASS values of remote-desktop viewers (exact, case-sensitive).
    static const QSet<QString>& remoteDesktopApps();
    static bool isRemoteDesktop(const std::optional<FrontmostApp::Identity>& app);

    // The pause before the chord, the earliest restore after it and the
    // latest when the application never fetches the text; the wait for held
    // modifiers and how often it looks.
    static constexpr double kKeystrokeDelay = 0.05;
    static constexpr double kRemoteKeystrokeDelay = 0.4;
    static constexpr double kRestoreDelay = 0.2;
    static constexpr double kRestoreDeadline = 1.0;
    static constexpr double kRestorePoll = 0.05;
    static constexpr double kModifierWait = 0.6;
    static constexpr double kModifierPoll = 0.02;

    // The PRIMARY selection, owned with the text for a terminal of the xterm
    // family (which pastes PRIMARY with Shift+Insert) and put back with the
    // clipboard. Without it such a terminal gets the terminals' chord.
    void setPrimarySelection(Pasteboard* primary) { m_primary = primary; }

    // True from the call until the last insertion is over.
    bool isInserting() const { return m_pending.has_value() || !m_waiting.empty(); }
    // True while old contents wait to be put back.
    bool restorePending() const { return m_pending && !m_pending->remote; }
    // Puts waiting contents back now and drops insertions not yet keyed (at
    // quit: the clipboard of an X11 client dies with it, and the user's copy
    // must not go with it).
    void finishPendingRestore();

signals:
    // One insertion is over: its chord was pressed (or could not be) and the
    // clipboard is back, left to newer contents, or handed to the next text.
    void insertionFinished();

private:
    // One selection we put the text on: what to put back, and how to tell
    // that someone else wrote to it or the target took the text.
    struct Held {
        PasteboardGuard::Snapshot snapshot;
        int changeCount = 0;
        int fetchBase = 0;
    };
    enum class Step { beforeKeystroke, waitingForModifiers, afterKeystroke };
    struct Pending {
        Step step = Step::beforeKeystroke;
        bool remote = false;
        KeySynthesizer::PasteChord chord = KeySynthesizer::PasteChord::ControlV;
        Held clipboard;
        std::optional<Held> primary;
        int modifierPolls = 0;
        bool fetchExpected = true;
        double pastedAt = 0;
        // Tells this insertion's chord from an earlier one's, whose answer
        // may come late.
        quint64 keystroke = 0;
        ClockTimerPtr timer;
        Insertion insertion;
    };
    struct Waiting {
        QString text;
        Insertion insertion;
    };

    void begin(const QString& text, Insertion insertion);
    void keystroke();
    void waitForModifiers();
    void keystrokeDone(KeySynthesizer::PasteOutcome outcome);
    // Whether the application has taken the text (or never will).
    bool textTaken() const;
    void checkRestore();
    void restoreNow();
    void beginNextWaiting();
    void showRemoteHint();
    // Tells the signal's listeners and the insertion's caller that it is over.
    void over(const Insertion& insertion);
    void schedule(double seconds, void (KeyboardSimulator::*step)());
    // Copies a selection aside for a paste, or takes over what an earlier
    // paste still keeps aside when nobody wrote to it since.
    static PasteboardGuard::Snapshot snapshotFor(Pasteboard& pasteboard,
                                                 std::optional<Held> earlier);
    static void putBack(const Held& held, Pasteboard& pasteboard);

    Pasteboard& m_pasteboard;
    Pasteboard* m_primary = nullptr;
    KeySynthesizer& m_keys;
    const FrontmostApp& m_frontmost;
    Notifier& m_notifier;
    SettingsStore& m_settings;
    Clock& m_clock;
    std::optional<Pending> m_pending;
    std::deque<Waiting> m_waiting;
    quint64 m_keystrokes = 0;
};
