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

void KeyboardSimulator::insertTextViaPasteboard(const QString& text) {
    const std::optional<FrontmostApp::Identity> app = m_frontmost.identity();
    const bool remote = isRemoteDesktop(app);
    const bool viaPrimary = !remote && m_primary && KeySynthesizer::pastesFromPrimary(app);

    std::optional<Held> earlierClipboard;
    std::optional<Held> earlierPrimary;
    if (m_pending) {
        if (m_pending->timer) m_pending->timer->cancel();
        earlierClipboard = std::move(m_pending->clipboard);
        earlierPrimary = std::move(m_pending->primary);
        m_pending.reset();
    }
    // PRIMARY taken by the earlier paste and not used now goes back now.
    if (earlierPrimary && !viaPrimary && m_primary) putBack(*earlierPrimary, *m_primary);

    Pending pending;
    pending.clipboard.snapshot = snapshotFor(m_pasteboard, std::move(earlierClipboard));
    PasteboardGuard::putTransient(text, !remote, m_pasteboard);
    pending.clipboard.changeCount = m_pasteboard.changeCount();
    pending.clipboard.fetchBase = m_pasteboard.textFetchCount();
    if (viaPrimary) {
        Held primary;
        primary.snapshot =
            snapshotFor(*m_primary, std::move(earlierPrimary));
        PasteboardGuard::putTransient(text, true, *m_primary);
        primary.changeCount = m_primary->changeCount();
        primary.fetchBase = m_primary->textFetchCount();
        pending.primary = std::move(primary);
    }

    m_clock.sleep(remote ? 0.4 : 0.05);
    const KeySynthesizer::PasteChord chord =
        viaPrimary ? KeySynthesizer::PasteChord::ShiftInsert : KeySynthesizer::pasteChordFor(app);
    const bool posted = simulateCommandV(remote, chord);
    if (remote) return;

    pending.fetchExpected = posted;
    pending.pastedAt = m_clock.now();
    pending.timer = m_clock.schedule(kRestoreDelay, this, [this] { checkRestore(); });
    m_pending = std::move(pending);
}

void KeyboardSimulator::checkRestore() {
    if (!m_pending) return;
    // The application pulls the text when it handles the keystroke; putting
    // the old contents back before that would paste them instead.
    const bool fetched =
        m_pasteboard.textFetchCount() != m_pending->clipboard.fetchBase ||
        (m_pending->primary && m_primary->textFetchCount() != m_pending->primary->fetchBase);
    const bool deadline = m_clock.now() - m_pending->pastedAt >= kRestoreDeadline - 1e-9;
    if (m_pending->fetchExpected && !fetched && !deadline) {
        m_pending->timer = m_clock.schedule(kRestorePoll, this, [this] { checkRestore(); });
        return;
    }
    restoreNow();
}

void KeyboardSimulator::finishPendingRestore() {
    if (!m_pending) return;
    if (m_pending->timer) m_pending->timer->cancel();
    restoreNow();
}

void KeyboardSimulator::restoreNow() {
    Pending pending = std::move(*m_pending);
    m_pending.reset();
    putBack(pending.clipboard, m_pasteboard);
    if (pending.primary && m_primary) putBack(*pending.primary, *m_primary);
}

bool KeyboardSimulator::simulateCommandV(bool remote, KeySynthesizer::PasteChord chord) {
    if (!m_keys.isAvailable()) return false;

    // Let go of the hotkey first: a held modifier would change the chord.
    int polls = 0;
    const int maxPolls = static_cast<int>(kModifierWait / kModifierPoll + 0.5);
    while (m_keys.modifiersHeld()) {
        if (polls++ >= maxPolls) {
            debugLog(
                "[Paste] модификаторы всё ещё зажаты по истечении ожидания — вставляем как есть");
            break;
        }
        m_clock.sleep(kModifierPoll);
    }

    if (remote) {
        debugLog("[Paste] удалённый рабочий стол: клавиши не нажимаем, текст оставлен в буфере");
        showRemoteHint();
        return false;
    }
    return m_keys.postPaste(chord);
}

void KeyboardSimulator::showRemoteHint() {
    const qint64 shown = m_settings.integer(kHintsShownKey);
    if (shown >= kMaxHints) return;
    m_settings.set(kHintsShownKey, shown + 1);
    Notifier* notifier = &m_notifier;
    runOnMainNowOrQueued(
        [notifier] { notifier->notify(L10n::remotePasteTitle(), L10n::remotePasteHint()); });
}
