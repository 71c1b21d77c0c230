// The libav work lives in a module loaded on first use. A module that is
// missing or is something else must leave every converter with a plain
// failure and the log with the reason, not crash the application.
#include <gtest/gtest.h>

#include <QFile>
#include <cmath>

#include "audio/AacEncoder.h"
#include "audio/AudioFileReader.h"
#include "audio/AudioFormat.h"
#include "audio/MediaAudioExtractor.h"
#include "audio/MediaModule.h"
#include "audio/OggOpus.h"
#include "support/TestSupport.h"

extern "C" {
#include <libavutil/samplefmt.h>
}

namespace {

// Half a second of a 440 Hz tone as a 16 kHz mono WAV file.
QString toneWav() {
    QByteArray pcm;
    for (int i = 0; i < AudioFormat::sampleRate / 2; ++i) {
        const qint16 s = qint16(8000 * std::sin(2 * M_PI * 440 * i / AudioFormat::sampleRate));
        pcm.append(reinterpret_cast<const char*>(&s), 2);
    }
    const QString path = testsupport::root() + "/tone.wav";
    testsupport::writeFile(path, AudioFormat::createWAVChunk(pcm, 0, 0, pcm.size() / 2));
    return path;
}

int samplesRead(const QString& wav) {
    int samples = 0;
    const auto result =
        AudioFileReader::read(wav, 16000, AV_SAMPLE_FMT_S16, [&](const uint8_t*, int n) {
            samples += n;
            return true;
        });
    return result == AudioFileReader::Result::Complete ? samples : -1;
}

}  // namespace

TEST(MediaModule, TheBuiltModuleConvertsAudio) {
    const QString wav = toneWav();
    EXPECT_EQ(samplesRead(wav), 8000);
    EXPECT_TRUE(OggOpus::encode(wav, 24000).has_value());
    const auto m4a = AacEncoder::encode(wav, testsupport::root() + "/tone.m4a");
    ASSERT_TRUE(m4a.has_value());
    EXPECT_EQ(m4a->mid(4, 4), "ftyp");
    EXPECT_TRUE(MediaModule::loadError().isEmpty());
}

TEST(MediaModule, AModuleThatCannotBeLoadedFailsEveryConversionAndSaysWhy) {
    const QString wav = toneWav();
    const QString notAModule = testsupport::root() + "/libnot-a-module.so";
    testsupport::writeFile(notAModule, "plain text, not a shared object");
    struct Case {
        const char* name;
        QString path;
    };
    const Case cases[] = {
        {"missing", testsupport::root() + "/nowhere/libormil_media.so"},
        {"not a shared object", notAModule},
        // A real shared library without the module's entry.
        {"another library", QStringLiteral("libopus.so.0")},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        MediaModule::setPathForTesting(c.path);
        EXPECT_EQ(samplesRead(wav), -1);
        EXPECT_FALSE(OggOpus::encode(wav, 24000).has_value());
        EXPECT_FALSE(AacEncoder::encode(wav, testsupport::root() + "/tone.m4a").has_value());
        EXPECT_FALSE(MediaAudioExtractor::extractOpusAudio(wav, {}).has_value());
        EXPECT_TRUE(MediaModule::loadError().startsWith("the media module cannot be loaded ("));
        const QString log = testsupport::debugLogText();
        // Said once per load, and again by the file extraction that failed.
        EXPECT_EQ(log.count("[Audio] the media module cannot be loaded (" + c.path), 1);
        EXPECT_TRUE(log.contains("[FileTranscribe] extract: the media module cannot be loaded ("));
    }
}
