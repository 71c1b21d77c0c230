#pragma once

#include <QByteArray>
#include <QString>

// The virtual microphone of the test environment: a PulseAudio pipe source
// (16 kHz mono s16le) fed through the FIFO named by ORMIL_TEST_MIC_FIFO.
namespace VirtualMic {

// espeak-ng speech of `text` as raw 16 kHz mono s16le samples.
QByteArray speech(const QString& text);
// The same wrapped as a 16 kHz mono 16-bit WAV file.
QByteArray speechWav(const QString& text);
// A sine tone as raw samples; amplitude is a fraction of full scale.
QByteArray tone(double hz, double seconds, double amplitude);
// Silence of the given length as raw samples.
QByteArray silence(double seconds);
// Largest absolute sample value of raw s16le samples.
int peak(const QByteArray& pcm);

// Writes raw samples into the virtual microphone, paced at real time so a
// recording sees them as live speech. Blocks until written.
void play(const QByteArray& pcm);
// Starts play() on a background thread; join with waitPlayed().
void playAsync(const QByteArray& pcm);
void waitPlayed();

}  // namespace VirtualMic
