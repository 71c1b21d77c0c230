#include "Multipart.h"

namespace devservice {

namespace {

// The value of `key="..."` (or key=token) inside a header line.
std::optional<QByteArray> parameter(const QByteArray& line, const QByteArray& key) {
    for (const QByteArray& raw : line.split(';')) {
        const QByteArray item = raw.trimmed();
        if (!item.startsWith(key + '=')) continue;
        QByteArray value = item.mid(key.size() + 1);
        if (value.size() >= 2 && value.startsWith('"') && value.endsWith('"'))
            value = value.mid(1, value.size() - 2);
        return value;
    }
    return std::nullopt;
}

}  // namespace

std::optional<QByteArray> multipartBoundary(const QByteArray& contentType) {
    if (!contentType.trimmed().toLower().startsWith("multipart/form-data")) return std::nullopt;
    auto boundary = parameter(contentType, "boundary");
    if (!boundary || boundary->isEmpty()) return std::nullopt;
    return boundary;
}

std::optional<QList<FormPart>> parseMultipart(const QByteArray& body, const QByteArray& boundary) {
    const QByteArray opening = "--" + boundary + "\r\n";
    const QByteArray separator = "\r\n--" + boundary;
    if (!body.startsWith(opening)) return std::nullopt;
    QList<FormPart> parts;
    qsizetype pos = opening.size();
    for (;;) {
        const qsizetype headerEnd = body.indexOf("\r\n\r\n", pos);
        if (headerEnd < 0) return std::nullopt;
        FormPart part;
        bool named = false;
        for (const QByteArray& line : body.mid(pos, headerEnd - pos).split('\n')) {
            const QByteArray header = line.endsWith('\r') ? line.chopped(1) : line;
            const qsizetype colon = header.indexOf(':');
            if (colon <= 0) return std::nullopt;
            const QByteArray name = header.left(colon).trimmed().toLower();
            const QByteArray value = header.mid(colon + 1).trimmed();
            if (name == "content-disposition") {
                if (!value.startsWith("form-data")) return std::nullopt;
                auto fieldName = parameter(value, "name");
                if (!fieldName) return std::nullopt;
                part.name = *fieldName;
                named = true;
                if (auto file = parameter(value, "filename")) {
                    part.fileName = *file;
                    part.hasFileName = true;
                }
            } else if (name == "content-type") {
                part.contentType = value;
            }
        }
        if (!named) return std::nullopt;
        const qsizetype dataStart = headerEnd + 4;
        const qsizetype end = body.indexOf(separator, dataStart);
        if (end < 0) return std::nullopt;
        part.data = body.mid(dataStart, end - dataStart);
        parts.append(part);
        pos = end + separator.size();
        if (body.mid(pos, 2) == "--") {
            const QByteArray rest = body.mid(pos + 2);
            if (!rest.isEmpty() && rest != "\r\n") return std::nullopt;
            return parts;
        }
        if (body.mid(pos, 2) != "\r\n") return std::nullopt;
        pos += 2;
    }
}

}  // namespace devservice
