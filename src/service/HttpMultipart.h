#pragma once

#include <QByteArray>

// A multipart/form-data body built byte for byte: each part opens with
// "--" + boundary, a file part carries its file name and content type, a
// text field carries its value unchanged, every line ends with CRLF and the
// body closes with "--" + boundary + "--" + CRLF.
class MultipartFormData {
public:
    explicit MultipartFormData(QByteArray boundary);

    const QByteArray& boundary() const { return m_boundary; }
    // "multipart/form-data; boundary=" + boundary
    QByteArray contentType() const;

    void addFile(const QByteArray& name, const QByteArray& fileName, const QByteArray& contentType,
                 const QByteArray& data);
    void addField(const QByteArray& name, const QByteArray& value);

    // The parts so far and the closing line.
    QByteArray body() const;

private:
    QByteArray m_boundary;
    QByteArray m_parts;
};
