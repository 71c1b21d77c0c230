#include <gtest/gtest.h>

#include <QDir>

#include "platform/PrivateFiles.h"
#include "audio/AacEncoder.h"
#include "audio/AudioFormat.h"
#include "platform/DebugLog.h"
#include "audio/OggOpus.h"
#include "core/AppState.h"
#include "fakes/FakeClock.h"
#include "fakes/FakeOverlay.h"
#include "platform/SettingsStore.h"
#include "service/TranscriptionService.h"
#include "support/TestSupport.h"
#include "support/VirtualMic.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
}

namespace {

// What an independent reader (libavformat's probe) makes of the bytes.
struct Probe {
    QString format;
    QString codec;
    int sampleRate = 0;
    int channels = 0;
    double seconds = 0;
};

Probe probe(const QByteArray& bytes) {
    const QString path = testsupport::root() + "/probe.bin";
    testsupport::writeFile(path, bytes);
    Probe p;
    AVFormatContext* ctx = nullptr;
    if (avformat_open_input(&ctx, path.toUtf8().constData(), nullptr, nullptr) < 0) return p;
    if (avformat_find_stream_info(ctx, nullptr) >= 0 && ctx->nb_streams == 1) {
        const AVCodecParameters* par = ctx->streams[0]->codecpar;
        p.format = ctx->iformat->name;
        p.codec = avcodec_get_name(par->codec_id);
        p.sampleRate = par->sample_rate;
        p.channels = par->ch_layout.nb_channels;
        p.seconds = double(ctx->duration) / AV_TIME_BASE;
    }
    avformat_close_input(&ctx);
    return p;
}

QStringList leftovers() {
    return QDir(PrivateFiles::temporaryDirectory()).entryList({"ormil_chunk_*"}, QDir::Files) +
           QDir(QDir::tempPath()).entryList({"ormil_chunk_*"}, QDir::Files);
}

// The chunk's sound sits in the private temporary folder, readable by this
// user only, while the encoders read and write it.
void expectPrivate(const QString& path) {
    EXPECT_EQ(QFileInfo(path).path(), PrivateFiles::temporaryDirectory()) << path.toStdString();
    EXPECT_EQ(QFileInfo(path).permissions(), QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                                 QFileDevice::ReadUser | QFileDevice::WriteUser)
        << path.toStdString();
}

int countOf(const QString& text, const QString& needle) {
    return int(text.count(needle));
}

const char* kFallbackLine = "[Transcription] Opus не закодировался — откатываемся на AAC";

struct EncoderCalls {
    int opus = 0;
    int aac = 0;
    int bitrate = 0;
};

TEST(UploadCompression, OpusThenAacThenNothing) {
    const QByteArray wav = VirtualMic::speechWav("Compression keeps the words intact.");
    ASSERT_GT(wav.size(), 44 + 32000);
    const double seconds = double(wav.size() - 44) / 32000;

    enum class Want { Ogg, M4a, Nothing };
    struct Case {
        const char* name;
        enum { Works, Nothing, NoBytes } opus;
        bool aacFails;
        QByteArray input;
        Want want;
    };
    const Case cases[] = {
        {"OpusWorks", Case::Works, false, wav, Want::Ogg},
        {"OpusFails", Case::Nothing, false, wav, Want::M4a},
        {"OpusGivesNoBytes", Case::NoBytes, false, wav, Want::M4a},
        {"BothFail", Case::Nothing, true, wav, Want::Nothing},
        {"NotAudioAtAll", Case::Works, false, QByteArray("this is not a wav file at all"),
         Want::Nothing},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        SettingsStore settings;
        settings.set("audioQuality", "best");
        EncoderCalls calls;
        auto standard = TranscriptionService::AudioEncoders::standard();
        TranscriptionService::AudioEncoders encoders{
            [&](const QString& path, int bitrate) -> std::optional<QByteArray> {
                ++calls.opus;
                calls.bitrate = bitrate;
                expectPrivate(path);
                switch (c.opus) {
                    case Case::Nothing:
                        return std::nullopt;
                    case Case::NoBytes:
                        return QByteArray();
                    case Case::Works:
                        break;
                }
                return standard.opus(path, bitrate);
            },
            [&](const QString& in, const QString& out) -> std::optional<QByteArray> {
                ++calls.aac;
                EXPECT_TRUE(QFile::exists(in));
                expectPrivate(in);
                if (c.aacFails) return std::nullopt;
                auto m4a = standard.aac(in, out);
                if (m4a) expectPrivate(out);
                return m4a;
            }};
        FakeClock clock;
        FakeOverlay overlay;
        AppState appState{settings, {}};
        TranscriptionService::Collaborators collaborators;
        collaborators.clock = &clock;
        collaborators.overlay = &overlay;
        collaborators.appState = &appState;
        TranscriptionService service(settings, collaborators, encoders);
        DebugLog::truncate();

        const auto result = service.compressToM4A(c.input);

        EXPECT_EQ(calls.opus, 1);
        EXPECT_EQ(calls.bitrate, 64000);
        const bool fellBack = c.want != Want::Ogg;
        EXPECT_EQ(calls.aac, fellBack ? 1 : 0);
        EXPECT_EQ(countOf(testsupport::debugLogText(), kFallbackLine), fellBack ? 1 : 0);
        EXPECT_TRUE(leftovers().isEmpty()) << leftovers().join(", ").toStdString();

        switch (c.want) {
            case Want::Nothing:
                EXPECT_FALSE(result.has_value());
                break;
            case Want::Ogg: {
                ASSERT_TRUE(result.has_value());
                EXPECT_TRUE(result->startsWith("OggS"));
                const Probe p = probe(*result);
                EXPECT_EQ(p.codec, "opus");
                EXPECT_NEAR(p.seconds, seconds, 0.04);
                break;
            }
            case Want::M4a: {
                ASSERT_TRUE(result.has_value());
                EXPECT_FALSE(result->startsWith("OggS"));
                EXPECT_EQ(result->mid(4, 8), "ftypM4A ");
                const Probe p = probe(*result);
                EXPECT_EQ(p.codec, "aac");
                EXPECT_EQ(p.sampleRate, 16000);
                EXPECT_EQ(p.channels, 1);
                EXPECT_NEAR(p.seconds, seconds, 0.1);
                break;
            }
        }
    }
}

TEST(UploadCompression, AacOfAWholeNumberOfBlocksEndsCleanly) {
    // 8192 * 4 samples, and a file whose last block is short.
    for (const qint64 samples : {qint64(8192 * 4), qint64(20000)}) {
        QByteArray pcm(samples * 2, 0);
        for (qint64 i = 0; i < samples; ++i) pcm[i * 2 + 1] = char((i / 40) % 2 ? 30 : -30);
        const QString in = testsupport::root() + "/in.wav";
        const QString out = testsupport::root() + "/out.m4a";
        testsupport::writeFile(
            in, AudioFormat::createWAVChunk(QByteArray(44, 0) + pcm, 44, 0, samples));
        const auto m4a = AacEncoder::encode(in, out);
        ASSERT_TRUE(m4a.has_value()) << samples;
        // The caller owns both files.
        EXPECT_TRUE(QFile::exists(in));
        EXPECT_EQ(testsupport::readFile(out), *m4a);
        EXPECT_NEAR(probe(*m4a).seconds, double(samples) / 16000, 0.1) << samples;
    }
}

TEST(UploadCompression, AacOfNoAudioOrAnUnwritableTargetGivesNothing) {
    const QString in = testsupport::root() + "/empty.wav";
    testsupport::writeFile(in, AudioFormat::createWAVChunk({}, 0, 0, 0));
    EXPECT_FALSE(AacEncoder::encode(in, testsupport::root() + "/e.m4a").has_value());

    testsupport::writeFile(in, VirtualMic::speechWav("hello"));
    EXPECT_FALSE(AacEncoder::encode(in, testsupport::root() + "/no/such/dir/x.m4a")
                     .has_value());
}

}  // namespace
