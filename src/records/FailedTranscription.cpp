#include "records/FailedTranscription.h"

#include <QJsonValue>
#include <cmath>

namespace {
// 2001-01-01 00:00:00 UTC in milliseconds since the Unix epoch.
constexpr qint64 kReferenceEpochMs = 978307200000LL;
}  // namespace

double FailedTranscription::referenceSeconds(const QDateTime& date) {
    return double(date.toMSecsSinceEpoch() - kReferenceEpochMs) / 1000.0;
}

QDateTime FailedTranscription::createdAtDate() const {
    return QDateTime::fromMSecsSinceEpoch(
        kReferenceEpochMs + qint64(std::llround(createdAt * 1000.0)), Qt::UTC);
}

QJsonObject FailedTranscription::toJson() const {
    return QJsonObject{
        {QStringLiteral("id"), id},
        {QStringLiteral("audioFileName"), audioFileName},
        {QStringLiteral("language"), language},
        {QStringLiteral("provider"), provider},
        {QStringLiteral("toneStyle"), toneStyle},
        {QStringLiteral("duration"), duration},
        {QStringLiteral("errorMessage"), errorMessage},
        {QStringLiteral("createdAt"), createdAt},
        {QStringLiteral("audioSize"), audioSize},
        {QStringLiteral("audioFormat"), audioFormat},
    };
}

std::optional<FailedTranscription> FailedTranscription::fromJson(const QJsonObject& o,
                                                                 QString* error) {
    auto fail = [&](const QString& why) -> std::optional<FailedTranscription> {
        if (error) *error = why;
        return std::nullopt;
    };
    FailedTranscription e;
    const std::pair<const char*, QString*> strings[] = {
        {"id", &e.id},
        {"audioFileName", &e.audioFileName},
        {"language", &e.language},
        {"provider", &e.provider},
        {"toneStyle", &e.toneStyle},
        {"errorMessage", &e.errorMessage},
    };
    for (const auto& [key, field] : strings) {
        const QJsonValue v = o.value(QLatin1String(key));
        if (!v.isString())
            return fail(QStringLiteral("\"%1\" is missing or not a string").arg(key));
        *field = v.toString();
    }
    const std::pair<const char*, double*> numbers[] = {{"duration", &e.duration},
                                                       {"createdAt", &e.createdAt}};
    for (const auto& [key, field] : numbers) {
        const QJsonValue v = o.value(QLatin1String(key));
        if (!v.isDouble())
            return fail(QStringLiteral("\"%1\" is missing or not a number").arg(key));
        *field = v.toDouble();
    }
    const QJsonValue size = o.value(QLatin1String("audioSize"));
    const double sizeValue = size.toDouble();
    if (!size.isDouble() || sizeValue != std::floor(sizeValue) || std::fabs(sizeValue) > 9.0e15)
        return fail(QStringLiteral("\"audioSize\" is missing or not an integer"));
    e.audioSize = qint64(sizeValue);
    const QJsonValue format = o.value(QLatin1String("audioFormat"));
    if (format.isString())
        e.audioFormat = format.toString();
    else if (!format.isUndefined() && !format.isNull())
        return fail(QStringLiteral("\"audioFormat\" is not a string"));
    // The name is joined to the queue folder and deleted with the entry: it
    // must name a file inside that folder.
    const QString& name = e.audioFileName;
    if (name.isEmpty() || name == QLatin1String(".") || name == QLatin1String("..") ||
        name.contains(QLatin1Char('/')) || name.contains(QChar(0)))
        return fail(QStringLiteral("\"audioFileName\" is not a plain file name"));
    return e;
}
