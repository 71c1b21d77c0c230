#pragma once

// Small helpers shared by the transcription client's source files.

#include <QByteArray>
#include <QString>
#include <exception>

#include "service/HttpClient.h"

namespace transcription {

// The body as UTF-8 text, or nothing when it is not valid UTF-8.
std::optional<QString> utf8Text(const QByteArray& body);

// "HTTP " + status + ": " + body, or "Unknown error" for a body that is not UTF-8.
QString httpFailureMessage(const HttpResponse& response);

// The default description of any error the client meets.
QString describeError(const std::exception& error);

// The transport code of an error kind as the service's logs know them.
int transportCode(HttpErrorKind kind);

}  // namespace transcription
