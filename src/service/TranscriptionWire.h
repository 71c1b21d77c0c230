#pragma once

#include <QByteArray>
#include <QJsonObject>
#include <QString>
#include <optional>
#include <stdexcept>

// The JSON records of the transcription endpoint and its two text siblings.
// Field names are the JSON keys. Encoding leaves out optional fields without
// a value; decoding ignores unknown keys, treats a missing or null optional
// key as no value, and fails on a missing required key or a value of the
// wrong JSON type (a number with a fraction for a whole-number field too).

class WireDecodingError : public std::runtime_error {
public:
    explicit WireDecodingError(const QString& message)
        : std::runtime_error(message.toStdString()) {}
    QString description() const { return QString::fromStdString(what()); }
};

struct TranscriptionAPIResponse {
    bool success = false;
    std::optional<QString> text;
    std::optional<QString> error;
    std::optional<qint64> word_count;
    std::optional<qint64> weekly_words_used;
    std::optional<qint64> weekly_words_limit;

    QJsonObject toJson() const;
    // Throws WireDecodingError.
    static TranscriptionAPIResponse decode(const QByteArray& body);
};

struct PostProcessRequest {
    QString text;
    QString tone_style;
    QString language;
    std::optional<QString> custom_prompt;
    bool cultured_filter = false;
    std::optional<bool> same_language;
    std::optional<bool> dont_change_meaning;

    QJsonObject toJson() const;
    static PostProcessRequest decode(const QByteArray& body);
};

struct PostProcessResponse {
    std::optional<QString> text;

    QJsonObject toJson() const;
    static PostProcessResponse decode(const QByteArray& body);
};

struct TranslateTextRequest {
    QString text;
    QString target_language;
    bool literal = false;

    QJsonObject toJson() const;
    static TranslateTextRequest decode(const QByteArray& body);
};

struct TranslateTextResponse {
    bool success = false;
    std::optional<QString> text;
    std::optional<QString> error;

    QJsonObject toJson() const;
    static TranslateTextResponse decode(const QByteArray& body);
};

// Compact JSON bytes of a record's object.
QByteArray wireBytes(const QJsonObject& object);
