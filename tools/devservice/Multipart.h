#pragma once

#include <QByteArray>
#include <QList>
#include <optional>

namespace devservice {

struct FormPart {
    QByteArray name;
    QByteArray fileName;  // empty for a plain field
    bool hasFileName = false;
    QByteArray contentType;
    QByteArray data;
};

// The boundary of a "multipart/form-data; boundary=..." content type.
std::optional<QByteArray> multipartBoundary(const QByteArray& contentType);

// Splits a multipart/form-data body strictly: it must open with the first
// boundary line, every part needs a Content-Disposition with a name, and the
// closing boundary must be there. Gives nothing for anything malformed.
std::optional<QList<FormPart>> parseMultipart(const QByteArray& body, const QByteArray& boundary);

}  // namespace devservice
