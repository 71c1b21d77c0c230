// The sound of media files made here with ffmpeg from espeak-ng speech:
// each comes out as a valid Ogg Opus file as long as its first audio track,
// with monotone progress that never passes 100.
#include <gtest/gtest.h>

#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

#include "audio/OggOpusTestKit.h"
#include "audio/MediaAudioExtractor.h"
#include "support/TestSupport.h"
#include "support/VirtualMic.h"

namespace {

// Builds a media file with ffmpeg; the inputs are files in the test's folder.
QString makeMedia(const QString& name, const QStringList& arguments) {
    const QString out = testsupport::root() + "/" + name;
    int code = -1;
    testsupport::runProgram(
        "ffmpeg", QStringList{"-y", "-loglevel", "error"} + arguments + QStringList{out}, &code);
    EXPECT_EQ(code, 0) << "ffmpeg could not make " << name.toStdString();
    return out;
}

QString speechFile(const QString& name, const QString& text) {
    const QString path = testsupport::root() + "/" + name;
    testsupport::writeFile(path, VirtualMic::speechWav(text));
    return path;
}

double wavSeconds(const QString& path) {
    return double(QFileInfo(path).size() - 44) / 32000.0;
}

struct Extraction {
    std::optional<QByteArray> ogg;
    std::vector<double> progress;
};

Extraction extract(const QString& path) {
    Extraction run;
    run.ogg = MediaAudioExtractor::extractOpusAudio(
        path, [&](double percent) { run.progress.push_back(percent); });
    return run;
}

double decodedSeconds(const QByteArray& ogg) {
    const oggkit::Decoded d = oggkit::decode(ogg);
    EXPECT_EQ(d.error, 0);
    return double(d.pcm.size()) / 48000.0;
}

}  // namespace

TEST(MediaAudioExtraction, VideoAudioAndTwoTrackFiles) {
    if (QStandardPaths::findExecutable("ffmpeg").isEmpty()) GTEST_SKIP() << "ffmpeg is missing";
    const QString first = speechFile("first.wav", "the first audio track speaks for a while");
    const QString second = speechFile("second.wav", "short");
    const double firstSeconds = wavSeconds(first);
    ASSERT_GT(firstSeconds, 1.5);

    // A picture for a little longer than the speech; each stream keeps its length.
    const QStringList video{
        "-f", "lavfi", "-i",
        QString("testsrc=size=64x48:rate=10:duration=%1").arg(int(firstSeconds) + 1)};
    struct Case {
        const char* name;
        QString path;
    };
    const Case cases[] = {
        {"mp4 with aac",
         makeMedia("clip.mp4",
                   video + QStringList{"-i", first, "-map", "0:v", "-map", "1:a", "-c:v", "mpeg4",
                                       "-c:a", "aac", "-ar", "44100", "-ac", "2"})},
        // The second track is short: the first one must be the one read.
        {"mkv with two tracks",
         makeMedia("two.mkv", video + QStringList{"-i", first, "-i", second, "-map", "0:v", "-map",
                                                  "1:a", "-map", "2:a", "-c:v", "mpeg4", "-c:a",
                                                  "libvorbis", "-ar", "48000"})},
        {"mp3", makeMedia("speech.mp3", {"-i", first, "-c:a", "libmp3lame", "-ar", "22050"})},
        {"upper-case MOV",
         makeMedia("CLIP.MOV", video + QStringList{"-i", first, "-map", "0:v", "-map", "1:a",
                                                   "-c:v", "mpeg4", "-c:a", "aac"})},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const Extraction run = extract(c.path);
        ASSERT_TRUE(run.ogg);
        const auto pages = oggkit::pages(*run.ogg);
        ASSERT_GE(pages.size(), 3u);
        EXPECT_EQ(oggkit::packets(*run.ogg).front().left(8), "OpusHead");
        EXPECT_TRUE(pages.back().flags & 0x04) << "last page ends the stream";
        // Within a frame or two of codec padding (AAC, MP3 priming).
        EXPECT_NEAR(decodedSeconds(*run.ogg), firstSeconds, 0.15);

        ASSERT_FALSE(run.progress.empty());
        EXPECT_GE(run.progress.front(), 0.0);
        for (size_t i = 1; i < run.progress.size(); ++i)
            EXPECT_GE(run.progress[i], run.progress[i - 1]);
        EXPECT_LE(run.progress.back(), 100.0);
        EXPECT_GT(run.progress.back(), 80.0);
        EXPECT_TRUE(testsupport::debugLogText().contains(
            "[FileTranscribe] extract OK: " + QFileInfo(c.path).fileName() + " -> "));
        EXPECT_TRUE(testsupport::debugLogText().contains("[FileTranscribe] extract progress: 0% (" +
                                                         QFileInfo(c.path).fileName() + ")"));
    }
}

TEST(MediaAudioExtraction, NothingWithoutSound) {
    if (QStandardPaths::findExecutable("ffmpeg").isEmpty()) GTEST_SKIP() << "ffmpeg is missing";
    const QString silentVideo =
        makeMedia("silent film.mp4",
                  {"-f", "lavfi", "-i", "testsrc=size=64x48:rate=10:duration=1", "-c:v", "mpeg4"});
    const QString notMedia = testsupport::root() + "/notes.mp3";
    testsupport::writeFile(notMedia, "this is not audio at all");

    for (const QString& path : {silentVideo, notMedia, testsupport::root() + "/missing.mkv"}) {
        const Extraction run = extract(path);
        EXPECT_FALSE(run.ogg) << path.toStdString();
        EXPECT_TRUE(run.progress.empty());
        EXPECT_TRUE(testsupport::debugLogText().contains(
            "[FileTranscribe] extract: нет звуковой дорожки в " + QFileInfo(path).fileName()))
            << path.toStdString();
    }

    // An audio track without a single sample: no packet, no file.
    QByteArray header = VirtualMic::speechWav("x").left(44);
    header.replace(40, 4, QByteArray(4, '\0'));
    header.replace(4, 4, QByteArray("\x24\0\0\0", 4));
    const QString empty = testsupport::root() + "/empty.wav";
    testsupport::writeFile(empty, header);
    EXPECT_FALSE(extract(empty).ogg);
    EXPECT_TRUE(testsupport::debugLogText().contains(
        "[FileTranscribe] extract: OggOpusStream.finish() returned nil"));
}
