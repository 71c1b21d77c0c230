// The warm-up GET, the multipart "/transcribe" and its two JSON siblings.
#include <QRegularExpression>

#include "AudioInfo.h"
#include "Multipart.h"
#include "Routes.h"

namespace devservice {

namespace {

qint64 wordCount(const QString& text) {
    static const QRegularExpression space(QStringLiteral("\\s+"));
    return text.split(space, Qt::SkipEmptyParts).size();
}

// What a person running the app against the stand-in sees pasted: proof of
// what arrived.
QString describe(const QByteArray& format, const QByteArray& audio, const QByteArray& language,
                 const QByteArray& translateTo) {
    QString text = QStringLiteral("Stand-in transcript: %1 audio").arg(QString::fromUtf8(format));
    if (auto seconds = audioSeconds(audio))
        text += QStringLiteral(", %1 s").arg(*seconds, 0, 'f', 1);
    text += QStringLiteral(", language %1").arg(QString::fromUtf8(language));
    if (!translateTo.isEmpty())
        text += QStringLiteral(", translated to %1").arg(QString::fromUtf8(translateTo));
    return text + '.';
}

void transcribe(const Request& req, Response& res, ServiceState& state) {
    auto account = requireAccount(req, res, state);
    if (!account) return;
    auto parts = multipartBody(req, res);
    if (!parts) return;
    const FormPart* audio = nullptr;
    std::map<QByteArray, QByteArray> fields;
    for (const FormPart& part : *parts) {
        if (part.name == "audio" && part.hasFileName)
            audio = &part;
        else
            fields[part.name] = part.data;
    }
    for (const char* required : {"format", "language"}) {
        if (!fields.count(required)) {
            requireFields(QJsonObject(), res, {{required, QJsonValue::String}});
            return;
        }
    }
    if (!audio) {
        requireFields(QJsonObject(), res, {{"audio", QJsonValue::String}});
        return;
    }
    if (audio->data.isEmpty()) {
        sendDetail(res, 400, QStringLiteral("The audio file is empty"));
        return;
    }
    const QByteArray format = fields["format"];
    if (format != "ogg" && format != "m4a" && format != "wav") {
        sendDetail(res, 400,
                   QStringLiteral("Unsupported audio format: %1").arg(QString::fromUtf8(format)));
        return;
    }
    if (account->weeklyWordsUsed >= account->weeklyWordsLimit) {
        sendDetail(res, 429, QStringLiteral("Weekly word limit reached"));
        return;
    }
    const QString text = describe(format, audio->data, fields["language"], fields["translate_to"]);
    const qint64 words = wordCount(text);
    Account after = *account;
    state.updateAccount(account->email, [&](Account& a) {
        a.weeklyWordsUsed += words;
        after = a;
    });
    sendJson(res, 200,
             QJsonObject{{"success", true},
                         {"text", text},
                         {"word_count", double(words)},
                         {"weekly_words_used", double(after.weeklyWordsUsed)},
                         {"weekly_words_limit", double(after.weeklyWordsLimit)}});
}

}  // namespace

void registerTranscriptionRoutes(Router& router, ServiceState& state) {
    router.add("GET", "/api/download/version", [](const Request&, Response& res) {
        sendJson(res, 200, QJsonObject{{"version", "1.0.0"}});
    });

    router.add("POST", "/transcribe",
               [&state](const Request& req, Response& res) { transcribe(req, res, state); });

    // The stand-in has no language model: the text comes back as it went.
    router.add("POST", "/transcribe/postprocess", [&state](const Request& req, Response& res) {
        if (!requireAccount(req, res, state)) return;
        auto body = jsonBody(req, res);
        if (!body || !requireFields(*body, res,
                                    {{"text", QJsonValue::String},
                                     {"tone_style", QJsonValue::String},
                                     {"language", QJsonValue::String},
                                     {"cultured_filter", QJsonValue::Bool}}))
            return;
        sendJson(res, 200, QJsonObject{{"text", body->value("text").toString()}});
    });

    // Marks the text with the target language instead of translating it.
    router.add("POST", "/transcribe/translate-text", [&state](const Request& req, Response& res) {
        if (!requireAccount(req, res, state)) return;
        auto body = jsonBody(req, res);
        if (!body || !requireFields(*body, res,
                                    {{"text", QJsonValue::String},
                                     {"target_language", QJsonValue::String},
                                     {"literal", QJsonValue::Bool}}))
            return;
        const QString text = QStringLiteral("[%1] %2").arg(
            body->value("target_language").toString(), body->value("text").toString());
        sendJson(res, 200, QJsonObject{{"success", true}, {"text", text}});
    });
}

}  // namespace devservice
