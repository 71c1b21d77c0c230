#pragma once

#include <QStringList>
#include <functional>
#include <memory>
#include <stdexcept>

#include "records/ClipboardHistoryService.h"
#include "records/HistoryService.h"
#include "records/RetryQueueService.h"
#include "records/TranscriptDelivery.h"

// A retry queue's surroundings that cannot reach the service: every
// transcription fails (unless a test gives its own), and a text that comes
// back goes through the one delivery into the history and the clipboard
// history, its insertion kept.
class OfflineDelivery {
public:
    std::unique_ptr<RetryQueueService> makeQueue(const QString& storage, HistoryService& history,
                                                 ClipboardHistoryService& clipboard,
                                                 AppState& appState, OverlayControl& overlay,
                                                 Clock& clock) {
        TranscriptDelivery::Collaborators c;
        c.appState = &appState;
        c.overlay = &overlay;
        c.postProcess = [](const QString& text) { return std::optional(text); };
        c.isProcessTrusted = [] { return true; };
        c.insertTextViaPasteboard = [this](const QString& text) { inserted << text; };
        c.copyToClipboard = [](const QString&) {};
        c.switchToMatchingLayout = [](const QString&) {};
        c.saveTranscription = [&history](const QString& t, const QString& language, double d) {
            history.saveTranscription(t, language, d);
        };
        c.addClipboardTranscription = [&clipboard](const QString& t) {
            clipboard.addTranscription(t);
        };
        c.playSuccessSound = [] {};
        c.playErrorSound = [] {};
        m_delivery = std::make_unique<TranscriptDelivery>(std::move(c));
        auto queue = std::make_unique<RetryQueueService>(
            storage, RetryQueueService::Dependencies{
                         [this](const QByteArray& audio, const QString& language,
                                const QString& provider, const QString& toneStyle,
                                const QString& format) {
                             return transcribe(audio, language, provider, toneStyle, format);
                         },
                         [] {}, appState, overlay, clock});
        QObject::connect(queue.get(), &RetryQueueService::transcribed, m_delivery.get(),
                         &TranscriptDelivery::deliverRetry, Qt::DirectConnection);
        return queue;
    }

    std::function<QString(const QByteArray&, const QString&, const QString&, const QString&,
                          const QString&)>
        transcribe = [](const QByteArray&, const QString&, const QString&, const QString&,
                        const QString&) -> QString { throw std::runtime_error("offline"); };
    QStringList inserted;

private:
    std::unique_ptr<TranscriptDelivery> m_delivery;
};
