#include "service/TranscriptionWire.h"

#include <QJsonDocument>
#include <QJsonParseError>
#include <QJsonValue>
#include <QVariant>
#include <cmath>

#include "service/WireReader.h"

namespace {

template <typename T>
void putOptional(QJsonObject& object, const char* key, const std::optional<T>& value) {
    if (!value) return;
    if constexpr (std::is_same_v<T, qint64>)
        object.insert(QLatin1String(key), QJsonValue(*value));
    else
        object.insert(QLatin1String(key), *value);
}

}  // namespace

QByteArray wireBytes(const QJsonObject& object) {
    return QJsonDocument(object).toJson(QJsonDocument::Compact);
}

QJsonObject TranscriptionAPIResponse::toJson() const {
    QJsonObject o{{"success", success}};
    putOptional(o, "text", text);
    putOptional(o, "error", error);
    putOptional(o, "word_count", word_count);
    putOptional(o, "weekly_words_used", weekly_words_used);
    putOptional(o, "weekly_words_limit", weekly_words_limit);
    return o;
}

TranscriptionAPIResponse TranscriptionAPIResponse::decode(const QByteArray& body) {
    WireReader r(body);
    TranscriptionAPIResponse out;
    out.success = r.boolean("success");
    out.text = r.optionalString("text");
    out.error = r.optionalString("error");
    out.word_count = r.optionalInt("word_count");
    out.weekly_words_used = r.optionalInt("weekly_words_used");
    out.weekly_words_limit = r.optionalInt("weekly_words_limit");
    return out;
}

QJsonObject PostProcessRequest::toJson() const {
    QJsonObject o{{"text", text},
                  {"tone_style", tone_style},
                  {"language", language},
                  {"cultured_filter", cultured_filter}};
    putOptional(o, "custom_prompt", custom_prompt);
    putOptional(o, "same_language", same_language);
    putOptional(o, "dont_change_meaning", dont_change_meaning);
    return o;
}

PostProcessRequest PostProcessRequest::decode(const QByteArray& body) {
    WireReader r(body);
    PostProcessRequest out;
    out.text = r.string("text");
    out.tone_style = r.string("tone_style");
    out.language = r.string("language");
    out.custom_prompt = r.optionalString("custom_prompt");
    out.cultured_filter = r.boolean("cultured_filter");
    out.same_language = r.optionalBool("same_language");
    out.dont_change_meaning = r.optionalBool("dont_change_meaning");
    return out;
}

QJsonObject PostProcessResponse::toJson() const {
    QJsonObject o;
    putOptional(o, "text", text);
    return o;
}

PostProcessResponse PostProcessResponse::decode(const QByteArray& body) {
    WireReader r(body);
    return {r.optionalString("text")};
}

QJsonObject TranslateTextRequest::toJson() const {
    return {{"text", text}, {"target_language", target_language}, {"literal", literal}};
}

TranslateTextRequest TranslateTextRequest::decode(const QByteArray& body) {
    WireReader r(body);
    TranslateTextRequest out;
    out.text = r.string("text");
    out.target_language = r.string("target_language");
    out.literal = r.boolean("literal");
    return out;
}

QJsonObject TranslateTextResponse::toJson() const {
    QJsonObject o{{"success", success}};
    putOptional(o, "text", text);
    putOptional(o, "error", error);
    return o;
}

TranslateTextResponse TranslateTextResponse::decode(const QByteArray& body) {
    WireReader r(body);
    TranslateTextResponse out;
    out.success = r.boolean("success");
    out.text = r.optionalString("text");
    out.error = r.optionalString("error");
    return out;
}
