#include "service/TranscriptionWire.h"

#include <QJsonDocument>
#include <QJsonParseError>
#include <QJsonValue>
#include <QVariant>
#include <cmath>

namespace {

// Reads one record's fields with the strict rules of the wire.
class Reader {
public:
    explicit Reader(const QByteArray& body) {
        QJsonParseError error;
        const QJsonDocument doc = QJsonDocument::fromJson(body, &error);
        if (error.error != QJsonParseError::NoError)
            throw WireDecodingError(QStringLiteral("The data isn't valid JSON: ") +
                                    error.errorString());
        if (!doc.isObject()) throw WireDecodingError(QStringLiteral("Expected a JSON object"));
        m_object = doc.object();
    }

    QString string(const char* key) { return required(key, optionalString(key)); }
    bool boolean(const char* key) { return required(key, optionalBool(key)); }

    std::optional<QString> optionalString(const char* key) {
        const QJsonValue v = present(key);
        if (v.isUndefined()) return std::nullopt;
        if (!v.isString()) throw mismatch(key);
        return v.toString();
    }
    std::optional<bool> optionalBool(const char* key) {
        const QJsonValue v = present(key);
        if (v.isUndefined()) return std::nullopt;
        if (!v.isBool()) throw mismatch(key);
        return v.toBool();
    }
    std::optional<qint64> optionalInt(const char* key) {
        const QJsonValue v = present(key);
        if (v.isUndefined()) return std::nullopt;
        if (!v.isDouble()) throw mismatch(key);
        const QVariant variant = v.toVariant();
        if (variant.typeId() == QMetaType::LongLong) return variant.toLongLong();
        const double d = v.toDouble();
        // Whole numbers only, and within the signed 64-bit range.
        if (std::floor(d) != d || d < -9.2233720368547758e18 || d >= 9.2233720368547758e18)
            throw mismatch(key);
        return qint64(d);
    }

private:
    // Undefined for a missing or null key.
    QJsonValue present(const char* key) const {
        const QJsonValue v = m_object.value(QLatin1String(key));
        return v.isNull() ? QJsonValue(QJsonValue::Undefined) : v;
    }
    template <typename T>
    T required(const char* key, const std::optional<T>& value) {
        if (!value)
            throw WireDecodingError(
                QStringLiteral("No value for the required key \"%1\"").arg(QLatin1String(key)));
        return *value;
    }
    static WireDecodingError mismatch(const char* key) {
        return WireDecodingError(
            QStringLiteral("The value of \"%1\" has the wrong type").arg(QLatin1String(key)));
    }

    QJsonObject m_object;
};

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
    Reader r(body);
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
    Reader r(body);
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
    Reader r(body);
    return {r.optionalString("text")};
}

QJsonObject TranslateTextRequest::toJson() const {
    return {{"text", text}, {"target_language", target_language}, {"literal", literal}};
}

TranslateTextRequest TranslateTextRequest::decode(const QByteArray& body) {
    Reader r(body);
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
    Reader r(body);
    TranslateTextResponse out;
    out.success = r.boolean("success");
    out.text = r.optionalString("text");
    out.error = r.optionalString("error");
    return out;
}
