#include "service/HttpMultipart.h"

MultipartFormData::MultipartFormData(QByteArray boundary) : m_boundary(std::move(boundary)) {}

QByteArray MultipartFormData::contentType() const {
    return "multipart/form-data; boundary=" + m_boundary;
}

void MultipartFormData::addFile(const QByteArray& name, const QByteArray& fileName,
                                const QByteArray& contentType, const QByteArray& data) {
    m_parts += "--" + m_boundary + "\r\n";
    m_parts +=
        "Content-Disposition: form-data; name=\"" + name + "\"; filename=\"" + fileName + "\"\r\n";
    m_parts += "Content-Type: " + contentType + "\r\n\r\n";
    m_parts += data;
    m_parts += "\r\n";
}

void MultipartFormData::addField(const QByteArray& name, const QByteArray& value) {
    m_parts += "--" + m_boundary + "\r\n";
    m_parts += "Content-Disposition: form-data; name=\"" + name + "\"\r\n\r\n";
    m_parts += value;
    m_parts += "\r\n";
}

QByteArray MultipartFormData::body() const {
    return m_parts + "--" + m_boundary + "--\r\n";
}
