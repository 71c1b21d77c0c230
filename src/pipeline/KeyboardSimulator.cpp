#include "pipeline/KeyboardSimulator.h"

#include <QCoreApplication>

#include "core/L10n.h"
#include "platform/DebugLog.h"
#include "platform/Notifier.h"
#include "platform/Pasteboard.h"
#include "platform/SettingsStore.h"
#include "platform/Threading.h"

namespace {
const QString kHintsShownKey = QStringLiteral("remotePasteHintsShown");
constexpr int kMaxHints = 3;
}  // namespace

KeyboardSimulator::KeyboardSimulator(Pasteboard& pasteboard, KeySynthesizer& keys,
                                     const FrontmostApp& frontmost, Notifier& notifier,
                                     SettingsStore& settings, Clock& clock, QObject* parent)
    : QObject(parent),
      m_pasteboard(pasteboard),
      m_keys(keys),
      m_frontmost(frontmost),
      m_notifier(notifier),
      m_settings(settings),
      m_clock(clock) {
    if (QCoreApplication* app = QCoreApplication::instance())
        connect(app, &QCoreApplication::aboutToQuit, this, [this] { finishPendingRestore(); });
}

KeyboardSimulator::~KeyboardSimulator() {
    if (m_pending && m_pending->timer) m_pending->timer->cancel();
}

KeyboardSimulator& KeyboardSimulator::shared() {
    static KeyboardSimulator* instance = [] {
        auto* made = new KeyboardSimulator(Pasteboard::shared(), KeySynthesizer::shared(),
                                           FrontmostApp::shared(), Notifier::shared(),
                                           SettingsStore::shared(), Clock::system());
        made->setPrimarySelection(Pasteboard::sharedPrimary());
        return made;
    }();
    return *instance;
}

const QSet<QString>& KeyboardSimulator::remoteDesktopApps() {
    static const QSet<QString> apps{
        "Remmina",   "org.remmina.Remmina", "xfreerdp",     "sdl-freerdp",  "Vncviewer",
        "vncviewer", "RealVNC Viewer",      "Anydesk",      "anydesk",      "rustdesk",
        "RustDesk",  "TeamViewer",          "Nxplayer.bin", "nxplayer.bin", "Wfica",
        "wfica",
    };
    return apps;
}

bool KeyboardSimulator::isRemoteDesktop(const std::optional<FrontmostApp::Identity>& app) {
    if (!app) return false;
    return remoteDesktopApps().contains(app->className) ||
           remoteDesktopApps().contains(app->instanceName);
}

PasteboardGuard::Snapshot KeyboardSimulator::snapshotFor(Pasteboard& pasteboard,
                                                         std::optional<Held> earlier) {
    // A paste that follows another one before its restore must not take the
    // previous dictation for the user's contents.
    if (earlier && pasteboard.changeCount() == earlier->changeCount)
        return std::move(earlier->snapshot);
    return PasteboardGuard::snapshot(pasteboard);
}

void KeyboardSimulator::putBack(const Held& held, Pasteboard& pasteboard) {
    if (pasteboard.changeCount() == held.changeCount) {
        PasteboardGuard::restore(held.snapshot, pasteboard);
    } else {
        debugLog("[Paste] буфер уже изменили — прежнее содержимое не возвращаем");
    }
}

void KeyboardSimulator::schedule(double seconds, void (KeyboardSimulator::*step)()) {
    m_pending->timer = m_clock.schedule(seconds, this, [this, step] { (this->*step)(); });
}

void KeyboardSimulator::insertTextViaPasteboard(const QString& text) {
    insertTextViaPasteboard(text, Insertion());
}

void KeyboardSimulator::insertTextViaPasteboard(const QString& text, Insertion insertion) {
    ORMIL_ASSERT_MAIN_THREAD();
    // Until the application has taken the earlier text, a new one on the
    // clipboard would be pasted in its place.
    if (!m_waiting.empty() ||
        (m_pending && (m_pending->step != Step::afterKeystroke || !textTaken()))) {
        m_waiting.push_back({text, std::move(insertion)});
        if (m_pending && m_pending->step == Step::afterKeystroke) {
            m_pending->timer->cancel();
            schedule(kRestorePoll, &KeyboardSimulator::checkRestore);
        }
        return;
    }
    begin(text, std::move(insertion));
}

void KeyboardSimulator::begin(const QString& text, Insertion insertion) {
    const std::optional<FrontmostApp::Identity> app = m_frontmost.identity();
    const bool remote = isRemoteDesktop(app);
    const bool viaPrimary = !remote && m_primary && KeySynthesizer::pastesFromPrimary(app);

    std::optional<Held> earlierClipboard;
    std::optional<Held> earlierPrimary;
    std::optional<Insertion> earlier;
    if (m_pending) {
        if (m_pending->timer) m_pending->timer->cancel();
        earlierClipboard = std::move(m_pending->clipboard);
        earlierPrimary = std::move(m_pending->primary);
        earlier = std::move(m_pending->insertion);
        m_pending.reset();
    }
    // PRIMARY taken by the earlier paste and not used now goes back now.
    if (earlierPrimary && !viaPrimary && m_primary) putBack(*earlierPrimary, *m_primary);

    Pending pending;
    pending.remote = remote;
    pending.chord =
        viaPrimary ? KeySynthesizer::PasteChord::ShiftInsert : KeySynthesizer::pasteChordFor(app);
    pending.clipboard.snapshot = snapshotFor(m_pasteboard, std::move(earlierClipboard));
    PasteboardGuard::putTransient(text, !remote, m_pasteboard);
    pending.clipboard.changeCount = m_pasteboard.changeCount();
    pending.clipboard.fetchBase = m_pasteboard.textFetchCount();
    if (viaPrimary) {
        Held primary;
        primary.snapshot = snapshotFor(*m_primary, std::move(earlierPrimary));
        PasteboardGuard::putTransient(text, true, *m_primary);
        primary.changeCount = m_primary->changeCount();
        primary.fetchBase = m_primary->textFetchCount();
        pending.primary = std::move(primary);
    }
    const double delay = insertion.keystrokeAtOnce ? 0.0
                         : remote                  ? kRemoteKeystrokeDelay
                                                   : kKeystrokeDelay;
    pending.insertion = std::move(insertion);
    m_pending = std::move(pending);
    schedule(delay, &KeyboardSimulator::keystroke);
    if (earlier) over(*earlier);
}

void KeyboardSimulator::keystroke() {
    if (!m_pending) return;
    if (!m_keys.isAvailable()) {
        keystrokeDone(KeySynthesizer::PasteOutcome::notPosted);
        return;
    }
    // Let go of the hotkey first: a held modifier would change the chord.
    m_pending->step = Step::waitingForModifiers;
    m_pending->modifierPolls = 0;
    waitForModifiers();
}

void KeyboardSimulator::waitForModifiers() {
    if (!m_pending) return;
    if (m_keys.modifiersHeld()) {
        const int maxPolls = static_cast<int>(kModifierWait / kModifierPoll + 0.5);
        if (m_pending->modifierPolls++ < maxPolls) {
            schedule(kModifierPoll, &KeyboardSimulator::waitForModifiers);
            return;
        }
        debugLog("[Paste] модификаторы всё ещё зажаты по истечении ожидания — вставляем как есть");
    }
    if (m_pending->remote) {
        debugLog("[Paste] удалённый рабочий стол: клавиши не нажимаем, текст оставлен в буфере");
        showRemoteHint();
        keystrokeDone(KeySynthesizer::PasteOutcome::leftOnClipboard);
        return;
    }
    // The desktop may first ask the user; until it answers, the insertion
    // stays before its keystroke (later texts wait, nothing is restored).
    const quint64 keystroke = ++m_keystrokes;
    m_pending->keystroke = keystroke;
    QPointer<KeyboardSimulator> self(this);
    m_keys.postPasteWhenAllowed(
        m_pending->chord, [self, keystroke](KeySynthesizer::PasteOutcome outcome) {
            if (!self || !self->m_pending || self->m_pending->keystroke != keystroke) return;
            self->keystrokeDone(outcome);
        });
}

void KeyboardSimulator::keystrokeDone(KeySynthesizer::PasteOutcome outcome) {
    if (m_pending->remote || outcome == KeySynthesizer::PasteOutcome::leftOnClipboard) {
        if (!m_pending->remote)
            debugLog("[Paste] keys not allowed on this desktop — the text stays on the clipboard");
        // The text stays for the user to paste; nothing comes back.
        const Insertion insertion = std::move(m_pending->insertion);
        m_pending.reset();
        over(insertion);
        beginNextWaiting();
        return;
    }
    const bool posted = outcome == KeySynthesizer::PasteOutcome::posted;
    if (m_pending->insertion.keyed) m_pending->insertion.keyed(posted);
    m_pending->step = Step::afterKeystroke;
    m_pending->fetchExpected = posted;
    m_pending->pastedAt = m_clock.now();
    // A text waiting behind this one goes as soon as this one is taken.
    schedule(m_waiting.empty() ? kRestoreDelay : 0.0, &KeyboardSimulator::checkRestore);
}

bool KeyboardSimulator::textTaken() const {
    if (!m_pending->fetchExpected) return true;
    // The application pulls the text when it handles the keystroke; putting
    // the old contents back before that would paste them instead.
    const bool fetched =
        m_pasteboard.textFetchCount() != m_pending->clipboard.fetchBase ||
        (m_pending->primary && m_primary->textFetchCount() != m_pending->primary->fetchBase);
    const bool deadline = m_clock.now() - m_pending->pastedAt >= kRestoreDeadline - 1e-9;
    return fetched || deadline;
}

void KeyboardSimulator::checkRestore() {
    if (!m_pending) return;
    if (!textTaken()) {
        schedule(kRestorePoll, &KeyboardSimulator::checkRestore);
        return;
    }
    if (!m_waiting.empty()) {
        beginNextWaiting();
        return;
    }
    restoreNow();
}

void KeyboardSimulator::beginNextWaiting() {
    if (m_waiting.empty()) return;
    Waiting next = std::move(m_waiting.front());
    m_waiting.pop_front();
    begin(next.text, std::move(next.insertion));
}

void KeyboardSimulator::finishPendingRestore() {
    ORMIL_ASSERT_MAIN_THREAD();
    std::deque<Waiting> dropped;
    dropped.swap(m_waiting);
    if (m_pending) {
        if (m_pending->timer) m_pending->timer->cancel();
        if (m_pending->remote) {
            const Insertion insertion = std::move(m_pending->insertion);
            m_pending.reset();
            over(insertion);
        } else {
            restoreNow();
        }
    }
    // Texts not yet keyed are dropped; their callers hear that they are over.
    for (const Waiting& waiting : dropped)
        if (waiting.insertion.finished) waiting.insertion.finished();
}

void KeyboardSimulator::restoreNow() {
    Pending pending = std::move(*m_pending);
    m_pending.reset();
    putBack(pending.clipboard, m_pasteboard);
    if (pending.primary && m_primary) putBack(*pending.primary, *m_primary);
    over(pending.insertion);
}

void KeyboardSimulator::over(const Insertion& insertion) {
    emit insertionFinished();
    if (insertion.finished) insertion.finished();
}

void KeyboardSimulator::showRemoteHint() {
    const qint64 shown = m_settings.integer(kHintsShownKey);
    if (shown >= kMaxHints) return;
    m_settings.set(kHintsShownKey, shown + 1);
    Notifier* notifier = &m_notifier;
    runOnMainNowOrQueued(
        [notifier] { notifier->notify(L10n::remotePasteTitle(), L10n::remotePasteHint()); });
}
