#include "records/TranscriptDelivery.h"

#include "core/AppState.h"
#include "core/OverlayControl.h"
#include "platform/DebugLog.h"
#include "platform/Required.h"
#include "platform/Threading.h"

TranscriptDelivery::TranscriptDelivery(Collaborators collaborators, QObject* parent)
    : QObject(parent), m_c(std::move(collaborators)) {
    requireCollaborators("TranscriptDelivery", "appState", m_c.appState, "overlay", m_c.overlay,
                         "postProcess", m_c.postProcess, "isProcessTrusted", m_c.isProcessTrusted,
                         "insertTextViaPasteboard", m_c.insertTextViaPasteboard, "copyToClipboard",
                         m_c.copyToClipboard, "switchToMatchingLayout", m_c.switchToMatchingLayout,
                         "saveTranscription", m_c.saveTranscription, "addClipboardTranscription",
                         m_c.addClipboardTranscription, "playSuccessSound", m_c.playSuccessSound,
                         "playErrorSound", m_c.playErrorSound);
}

void TranscriptDelivery::deliverDictation(const QString& text, const QString& language,
                                          double duration) {
    deliver(text, language, duration, Options::dictation());
}

void TranscriptDelivery::deliverRetry(const QString& text, const QString& language,
                                      double duration) {
    deliver(text, language, duration, Options::retry());
}

void TranscriptDelivery::deliver(const QString& text, const QString& language, double duration,
                                 const Options& options) {
    ORMIL_ASSERT_MAIN_THREAD();
    const std::optional<QString> cleaned = m_c.postProcess(text);
    if (!cleaned || cleaned->isEmpty()) {
        if (options.endsProcessing) {
            m_c.appState->setIsProcessing(false);
            m_c.overlay->show(OverlayState::idle);
        }
        return;
    }
    const bool trusted = m_c.isProcessTrusted();
    if (trusted) {
        m_c.insertTextViaPasteboard(*cleaned);
    } else {
        if (options.leavesTextOnClipboardWhenUntrusted)
            debugLog(QStringLiteral(
                "[Audio] No permission to send keystrokes — text left on the clipboard"));
        m_c.appState->setLastError(QStringLiteral("Accessibility permission required"));
        if (options.leavesTextOnClipboardWhenUntrusted) m_c.copyToClipboard(*cleaned);
    }
    if (options.switchesLayout) m_c.switchToMatchingLayout(*cleaned);
    m_c.saveTranscription(*cleaned, language, duration);
    m_c.appState->setLastTranscribedText(*cleaned);
    m_c.addClipboardTranscription(*cleaned);
    if (options.endsProcessing) m_c.appState->setIsProcessing(false);
    if (!trusted && options.leavesTextOnClipboardWhenUntrusted) {
        m_c.overlay->show(OverlayState::error);
        m_c.playErrorSound();
    } else {
        m_c.overlay->show(OverlayState::success);
        m_c.playSuccessSound();
    }
}
