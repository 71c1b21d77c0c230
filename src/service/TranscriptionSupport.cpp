#include "service/TranscriptionSupport.h"

#include <QStringDecoder>

#include "service/TranscriptionError.h"
#include "service/TranscriptionService.h"
#include "service/TranscriptionWire.h"

namespace transcription {

std::optional<QString> utf8Text(const QByteArray& body) {
    QStringDecoder decoder(QStringDecoder::Utf8);
    QString text = decoder(body);
    if (decoder.hasError()) return std::nullopt;
    return text;
}

QString httpFailureMessage(const HttpResponse& response) {
    if (auto text = utf8Text(response.body))
        return QStringLiteral("HTTP %1: %2").arg(response.status).arg(*text);
    return QStringLiteral("Unknown error");
}

QString describeError(const std::exception& error) {
    if (auto* e = dynamic_cast<const TranscriptionError*>(&error)) return e->errorDescription();
    if (auto* e = dynamic_cast<const HttpError*>(&error)) return e->description();
    if (auto* e = dynamic_cast<const WireDecodingError*>(&error)) return e->description();
    return QString::fromUtf8(error.what());
}

int transportCode(HttpErrorKind kind) {
    switch (kind) {
        case HttpErrorKind::connectionLost:
            return -1005;
        case HttpErrorKind::timedOut:
            return -1001;
        case HttpErrorKind::cannotConnect:
            return -1004;
        case HttpErrorKind::dnsFailed:
            return -1006;
        case HttpErrorKind::tlsFailed:
            return -1200;
        case HttpErrorKind::badURL:
            return -1000;
        case HttpErrorKind::cancelled:
            return -999;
        case HttpErrorKind::other:
            break;
    }
    return -1;
}

}  // namespace transcription
