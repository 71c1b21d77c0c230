#include "service/TextRequests.h"

#include "platform/DebugLog.h"
#include "service/AnswerLimits.h"
#include "service/HttpClient.h"
#include "service/TranscriptionSupport.h"
#include "service/TranscriptionWire.h"

using namespace transcription;

TextRequests::TextRequests(HttpClient& http, const TranscriptionService::Auth& auth,
                           std::function<QString()> endpoint)
    : m_http(http), m_auth(auth), m_endpoint(std::move(endpoint)) {}

HttpResponse TextRequests::postJson(const QString& path, const QByteArray& body) {
    const QString url = m_endpoint() + path;
    try {
        HttpClient::checkURL(url);
    } catch (const HttpError&) {
        throw TranscriptionError::invalidURL();
    }
    HttpRequest request;
    request.method = "POST";
    request.url = url;
    request.timeout = TranscriptionService::requestTimeout;
    request.totalTimeout = TranscriptionService::resourceTimeout;
    AnswerLimitsTable::apply(request, AnswerKind::transcript);
    request.headers.set("Content-Type", "application/json");
    if (auto token = m_auth.accessToken(); token && !token->isEmpty())
        request.headers.set("Authorization", "Bearer " + token->toUtf8());
    request.body = body;
    return m_http.send(request);
}

QString TextRequests::postProcess(const QString& text, const QString& toneStyle,
                                  const std::optional<QString>& customPrompt, bool culturedFilter,
                                  const QString& language, std::optional<bool> sameLanguage,
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
        if (auto failure = m_auth.refresh()) throw TranscriptionService::RefreshError(*failure);
        return postProcess(text, toneStyle, customPrompt, culturedFilter, language, sameLanguage,
                           dontChangeMeaning, true, strict);
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

std::optional<QString> TextRequests::translate(const QString& text, const QString& targetLanguage,
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
        m_auth.refresh();  // its failure is the retry's problem
        return translate(text, targetLanguage, literal, true);
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
