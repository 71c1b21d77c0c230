// Sound of a 10-minute video with an AAC track to Ogg Opus: our extraction
// against the ffmpeg command line doing the same job on the same file, as
// multiples of real time, and our peak memory above the resting level.
//
//   build/bench/bench_media_extraction [seconds]
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <cstdio>

#include "audio/MediaAudioExtractor.h"

namespace {

qint64 statusKb(const char* field) {
    QFile status("/proc/self/status");
    if (!status.open(QIODevice::ReadOnly)) return -1;
    for (const QByteArray& line : status.readAll().split('\n')) {
        if (line.startsWith(field))
            return line.mid(qsizetype(strlen(field))).trimmed().split(' ')[0].toLongLong();
    }
    return -1;
}

bool run(const QStringList& args) {
    QProcess p;
    p.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    p.start("ffmpeg", QStringList{"-y", "-loglevel", "error"} + args);
    return p.waitForFinished(-1) && p.exitCode() == 0;
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const int seconds = argc > 1 ? atoi(argv[1]) : 600;
    QTemporaryDir dir;
    const QString video = dir.filePath("in.mp4");
    // Speech, as the files people transcribe hold: the encoder spends its time
    // very differently on a tone (which it codes in its music mode) than on a
    // voice, so a tone would compare two different encoder modes.
    const QString speech = dir.filePath("speech.wav");
    QString text;
    const QStringList words = QStringLiteral(
        "the quick brown fox jumps over the lazy dog while seven speakers read the morning "
        "news about markets weather and sport").split(' ');
    for (int i = 0; i < 400; ++i) text += words[(i * 7 + i / 3) % words.size()] + ' ';
    QProcess espeak;
    espeak.start("espeak-ng", {"-w", speech, text});
    if (!espeak.waitForFinished(-1) || espeak.exitCode() != 0) {
        fprintf(stderr, "espeak-ng could not make the speech\n");
        return 1;
    }
    if (!run({"-stream_loop", "-1", "-i", speech, "-f", "lavfi", "-i",
              QString("testsrc=size=320x240:rate=25:duration=%1").arg(seconds), "-t",
              QString::number(seconds), "-c:v", "libx264", "-preset", "ultrafast", "-c:a", "aac",
              "-b:a", "128k", "-ac", "2", "-ar", "44100", video})) {
        fprintf(stderr, "ffmpeg could not make the test video\n");
        return 1;
    }

    QElapsedTimer timer;
    timer.start();
    if (!run({"-i", video, "-vn", "-ac", "1", "-ar", "16000", "-c:a", "libopus", "-b:a", "24k",
              dir.filePath("out.ogg")})) {
        fprintf(stderr, "ffmpeg could not extract\n");
        return 1;
    }
    const double ffmpegSeconds = timer.nsecsElapsed() / 1e9;

    const qint64 restKb = statusKb("VmRSS:");
    timer.restart();
    const auto ogg = MediaAudioExtractor::extractOpusAudio(video, {});
    const double oursSeconds = timer.nsecsElapsed() / 1e9;
    const qint64 peakKb = statusKb("VmHWM:");
    if (!ogg) {
        fprintf(stderr, "extraction failed\n");
        return 1;
    }
    printf("media file: %d s video, speech in AAC stereo 44.1 kHz\n", seconds);
    printf("ffmpeg command line: %.2f s (%.1fx real time), %lld KB\n", ffmpegSeconds,
           seconds / ffmpegSeconds, QFileInfo(dir.filePath("out.ogg")).size() / 1024);
    printf("our extraction:      %.2f s (%.1fx real time), %lld KB\n", oursSeconds,
           seconds / oursSeconds, qint64(ogg->size() / 1024));
    printf("speed against ffmpeg: %.2f (goal at least 0.9)\n", ffmpegSeconds / oursSeconds);
    printf("peak memory above rest: %.1f MB (goal under 100 MB)\n", (peakKb - restKb) / 1024.0);
    return 0;
}
