#pragma once

#include <QByteArray>
#include <QString>
#include <cstddef>
#include <cstdint>

// Shared by the fuzz targets: every target reads one input as outside bytes.
namespace fuzz {

// Once per process: the debug log goes nowhere and a private scratch folder
// (removed at exit) takes any file a target must write.
QString scratchDir();

inline QByteArray bytes(const uint8_t* data, size_t size) {
    return QByteArray(reinterpret_cast<const char*>(data), qsizetype(size));
}

}  // namespace fuzz
