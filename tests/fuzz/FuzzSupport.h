#pragma once

#include <QByteArray>
#include <QString>
#include <cstddef>
#include <cstdint>

// Shared by the fuzz targets: every target reads one input as outside bytes.
namespace fuzz {

// Once per process: the debug log goes nowhere, a private scratch folder
// (removed at exit) takes any file a target must write, and an application
// object exists for what needs an event loop or plugins.
QString scratchDir();

// Writes one input to a file of the scratch folder; its path, or empty
// when it cannot be written.
QString writeScratchFile(const QString& name, const uint8_t* data, size_t size);

inline QByteArray bytes(const uint8_t* data, size_t size) {
    return QByteArray(reinterpret_cast<const char*>(data), qsizetype(size));
}

}  // namespace fuzz
