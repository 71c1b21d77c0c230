// Post-processing and translation of text, and the overlay watcher of a
// slow post-processing step.
#include <QCoreApplication>

#include "core/OverlayControl.h"
#include "platform/DebugLog.h"
#include "platform/Clock.h"
#include "platform/Threading.h"
#include "service/HttpClient.h"
#include "service/TranscriptionService.h"
#include "service/TranscriptionSupport.h"
#include "service/TranscriptionWire.h"
#include "service/AnswerLimits.h"

using namespace transcription;

HttpResponse TranscriptionService::postJson(const QString& path, const QByteArray& body) {
    const QString url = endpoint() + path;
    try {
        HttpClient::checkURL(url);
    } catch (const HttpError&) {
        throw TranscriptionError::invalidURL();
    }
    HttpRequest request;
    request.method = "POST";
    request.url = url;
    request.timeout = requestTimeout;
    request.totalTimeout = resourceTimeout;
    AnswerLimitsTable::apply(request, AnswerKind::transcript);
    request.headers.set("Content-Type", "application/json");
    if (auto token = m_c.auth.accessToken(); token && !token->isEmpty())
        request.headers.set("Authorization", "Bearer " + token->toUtf8());
    request.body = body;
    return m_http->send(request);
}

QString TranscriptionService::postProcess(const QString& text, const QString& toneStyle,
                                          const std::optional<QString>& customPrompt,
                                          bool culturedFilter, const QString& language,
                                          std::optional<bool> sameLanguage,
                                          std::optional<bool> dontChangeMeaning, bool isRetry) {
    return postProcessImpl(text, toneStyle, customPrompt, culturedFilter, language, sameLanguage,
                           dontChangeMeaning, isRetry, false);
}

QString TranscriptionService::postProcessStrict(const QString& text, const QString& toneStyle,
                                                const std::optional<QString>& customPrompt,
                                                bool culturedFilter, const QString& language,
                                                std::optional<bool> sameLanguage,
                                                std::optional<bool> dontChangeMeaning) {
    return postProcessImpl(text, toneStyle, customPrompt, culturedFilter, language, sameLanguage,
                           dontChangeMeaning, false, true);
}

QString TranscriptionService::postProcessImpl(const QString& text, const QString& toneStyle,
                                              const std::optional<QString>& customPrompt,
                                              bool culturedFilter, const QString& language,
                                              std::optional<bool> sameLanguage,
                                              std::optional<bool> dontChangeMeaning, bool isRetry,
                                              bool strict) {
    if (text.trimmed().isEmpty()) return text;
    PostProcessRequest body;
    body.text = text;
    body.tone_style = toneStyle;
    body.language = language;
    body.custom_prompt = customPrompt;
    body.cultured_filter = culturedFilter;
    body.same_language = sameLanguage;
    body.dont_change_meaning = dontChangeMeaning;
    const HttpResponse response =
        postJson(QStringLiteral("/postprocess"), wireBytes(body.toJson()));

    if (response.status == 401 && !isRetry) {
        if (auto failure = m_c.auth.refresh()) throw RefreshError(*failure);
        return postProcessImpl(text, toneStyle, customPrompt, culturedFilter, language,
                               sameLanguage, dontChangeMeaning, true, strict);
    }
    if (response.status == 200) {
        const auto decoded = PostProcessResponse::decode(response.body);
        if (decoded.text && !decoded.text->trimmed().isEmpty()) return *decoded.text;
        return text;
    }
    debugLog(QStringLiteral("[PostProcess] HTTP %1 — keeping raw text").arg(response.status));
    if (strict) throw TranscriptionError::serverError(httpFailureMessage(response));
    return text;
}

std::optional<QString> TranscriptionService::translateArbitraryText(const QString& text,
                                                                    const QString& targetLanguage,
                                                                    bool literal, bool isRetry) {
    if (text.trimmed().isEmpty()) return text;
    TranslateTextRequest body{text, targetLanguage, literal};
    HttpResponse response;
    try {
        response = postJson(QStringLiteral("/translate-text"), wireBytes(body.toJson()));
    } catch (const std::exception&) {
        return std::nullopt;
    }
    if (response.status == 401 && !isRetry) {
        m_c.auth.refresh();  // its failure is the retry's problem
        return translateArbitraryText(text, targetLanguage, literal, true);
    }
    if (response.status != 200) return std::nullopt;
    try {
        const auto decoded = TranslateTextResponse::decode(response.body);
        if (!decoded.success) return std::nullopt;
        return decoded.text;
    } catch (const WireDecodingError&) {
        return std::nullopt;
    }
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
    OverlayControl* injected = m_c.overlay;
    // The overlay and the clock's timers live on the main thread.
    runOnMainNowOrQueued([watcher, clock, injected] {
        std::lock_guard lock(watcher->mutex);
        if (watcher->stopped) return;
        watcher->timer = clock->schedule(1.5, nullptr, [watcher, injected] {
            {
                std::lock_guard lock(watcher->mutex);
                if (watcher->stopped) return;
            }
            OverlayControl& overlay = injected ? *injected : OverlayControl::shared();
            if (overlay.currentState() != OverlayState::processing) return;
            debugLog("[Transcription] Постобработка затянулась — показываю надпись в островке");
            overlay.show(OverlayState::postProcessing);
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
