#pragma once

#include <QByteArray>
#include <QString>
#include <functional>
#include <optional>

#include "service/TranscriptionService.h"

class HttpClient;
struct HttpResponse;

// The text requests of the speech service: a text reworked in a tone
// ("/postprocess") and a translation ("/translate-text"), each repeated once
// after a refreshed token when the service answers 401. Blocking: call them
// off the main thread. TranscriptionService is their facade.
class TextRequests {
public:
    // `endpoint` gives the API base + "/transcribe"; the auth is the
    // facade's and outlives this object.
    TextRequests(HttpClient& http, const TranscriptionService::Auth& auth,
                 std::function<QString()> endpoint);

    // As TranscriptionService::postProcess; `strict` throws on a status
    // other than 200 as postProcessStrict does.
    QString postProcess(const QString& text, const QString& toneStyle,
                        const std::optional<QString>& customPrompt, bool culturedFilter,
                        const QString& language, std::optional<bool> sameLanguage,
                        std::optional<bool> dontChangeMeaning, bool isRetry, bool strict);
    // As TranscriptionService::translateArbitraryText.
    std::optional<QString> translate(const QString& text, const QString& targetLanguage,
                                     bool literal, bool isRetry);

private:
    // A POST of JSON to the endpoint + path with the bearer token when
    // stored. Throws TranscriptionError::invalidURL when no URL can be
    // formed, and HttpError for a transport failure.
    HttpResponse postJson(const QString& path, const QByteArray& body);

    HttpClient& m_http;
    const TranscriptionService::Auth& m_auth;
    std::function<QString()> m_endpoint;
};
