// The text requests of the facade, and the overlay watcher of a slow
// post-processing step.
#include <QCoreApplication>

#include "core/OverlayControl.h"
#include "platform/Clock.h"
#include "platform/DebugLog.h"
#include "platform/Threading.h"
#include "service/TextRequests.h"
#include "service/TranscriptionService.h"
#include "service/TranscriptionSupport.h"
#include "service/TranscriptionWire.h"

using namespace transcription;

QString TranscriptionService::postProcess(const QString& text, const QString& toneStyle,
                                          const std::optional<QString>& customPrompt,
                                          bool culturedFilter, const QString& language,
                                          std::optional<bool> sameLanguage,
                                          std::optional<bool> dontChangeMeaning, bool isRetry) {
    return m_text->postProcess(text, toneStyle, customPrompt, culturedFilter, language,
                               sameLanguage, dontChangeMeaning, isRetry, false);
}

QString TranscriptionService::postProcessStrict(const QString& text, const QString& toneStyle,
                                                const std::optional<QString>& customPrompt,
                                                bool culturedFilter, const QString& language,
                                                std::optional<bool> sameLanguage,
                                                std::optional<bool> dontChangeMeaning) {
    return m_text->postProcess(text, toneStyle, customPrompt, culturedFilter, language,
                               sameLanguage, dontChangeMeaning, false, true);
}

std::optional<QString> TranscriptionService::translateArbitraryText(const QString& text,
                                                                    const QString& targetLanguage,
                                                                    bool literal, bool isRetry) {
    return m_text->translate(text, targetLanguage, literal, isRetry);
}

struct TranscriptionService::PostProcessWatcher {
    std::mutex mutex;
    bool stopped = false;
    ClockTimerPtr timer;
};

std::shared_ptr<TranscriptionService::PostProcessWatcher>
TranscriptionService::startPostProcessWatcher() {
    auto watcher = std::make_shared<PostProcessWatcher>();
    Clock* clock = m_clock;
    OverlayControl* overlay = m_c.overlay;
    // The overlay and the clock's timers live on the main thread.
    runOnMainNowOrQueued([watcher, clock, overlay] {
        std::lock_guard lock(watcher->mutex);
        if (watcher->stopped) return;
        watcher->timer = clock->schedule(1.5, nullptr, [watcher, overlay] {
            {
                std::lock_guard lock(watcher->mutex);
                if (watcher->stopped) return;
            }
            if (overlay->currentState() != OverlayState::processing) return;
            debugLog("[Transcription] Постобработка затянулась — показываю надпись в островке");
            overlay->show(OverlayState::postProcessing);
        });
    });
    return watcher;
}

void TranscriptionService::stopPostProcessWatcher(
    const std::shared_ptr<PostProcessWatcher>& watcher) {
    {
        std::lock_guard lock(watcher->mutex);
        watcher->stopped = true;
    }
    runOnMainNowOrQueued([watcher] {
        std::lock_guard lock(watcher->mutex);
        if (watcher->timer) watcher->timer->cancel();
    });
}
