#pragma once

#include <QByteArray>
#include <QString>
#include <cstdio>

// Writes 16-bit PCM into a WAV file that other readers follow while it grows:
// a 44-byte header whose sizes are patched when the file is finished, samples
// flushed to the file as they come. The file is private to the user (it holds
// dictated speech) and is never written through an existing file or link.
class WavFileWriter {
public:
    WavFileWriter() = default;
    ~WavFileWriter();
    WavFileWriter(const WavFileWriter&) = delete;
    WavFileWriter& operator=(const WavFileWriter&) = delete;

    // Creates the file (it must not exist) and writes the header with zero
    // sizes. False with errorString() set on failure.
    bool open(const QString& path, int sampleRate, int channels);
    bool isOpen() const { return m_file != nullptr; }
    bool append(const char* data, qint64 size);
    // Patches the RIFF and data sizes and closes the file.
    bool finish();

    qint64 dataBytes() const { return m_dataBytes; }
    QString errorString() const { return m_error; }

    // The 44-byte header of a 16-bit PCM WAV file with `dataBytes` of samples.
    static QByteArray header(int sampleRate, int channels, quint32 dataBytes);

private:
    std::FILE* m_file = nullptr;
    qint64 m_dataBytes = 0;
    int m_sampleRate = 0;
    int m_channels = 0;
    QString m_error;
};
