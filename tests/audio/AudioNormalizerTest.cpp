#include <gtest/gtest.h>

#include <QFile>
#include <QtEndian>

#include "audio/AudioFormat.h"
#include "audio/AudioNormalizer.h"
#include "platform/DebugLog.h"
#include "platform/SettingsStore.h"
#include "support/TestSupport.h"

namespace {

QByteArray wavOf(const std::vector<qint16>& samples) {
    QByteArray pcm(qsizetype(samples.size() * 2), 0);
    for (size_t i = 0; i < samples.size(); ++i) qToLittleEndian(samples[i], pcm.data() + 2 * i);
    return AudioFormat::createWAVChunk(QByteArray(44, 0) + pcm, 44, 0,
                                                qint64(samples.size()));
}

std::vector<qint16> samplesOf(const QByteArray& wav) {
    std::vector<qint16> out;
    for (qsizetype at = 44; at + 1 < wav.size(); at += 2)
        out.push_back(qFromLittleEndian<qint16>(wav.constData() + at));
    return out;
}

struct LevelCase {
    const char* name;
    std::vector<qint16> in;
    std::vector<qint16> out;  // empty: the input comes back unchanged
    const char* logLine;
};

void PrintTo(const LevelCase& c, std::ostream* os) {
    *os << c.name;
}

class Normalize : public ::testing::TestWithParam<LevelCase> {};

TEST_P(Normalize, AmplifiesOnlyQuietSpeech) {
    const LevelCase& c = GetParam();
    DebugLog::truncate();
    const QByteArray input = wavOf(c.in);
    const QByteArray result = AudioNormalizer::normalizeAudio(input);
    if (c.out.empty()) {
        EXPECT_EQ(result, input);
    } else {
        EXPECT_EQ(result.left(44), input.left(44));
        EXPECT_EQ(samplesOf(result), c.out);
    }
    EXPECT_TRUE(testsupport::debugLogText().contains(QString::fromUtf8(c.logLine)))
        << testsupport::debugLogText().toStdString();
}

INSTANTIATE_TEST_SUITE_P(
    Audio, Normalize,
    ::testing::Values(
        LevelCase{"NoiseAt250", {250, -100}, {}, "тишина или один шум (peak 250), не усиливаем"},
        LevelCase{"LoudAt4915", {-4915, 10}, {}, "peak 4915 >= threshold 4915, no normalization"},
        LevelCase{"FullScaleNegative", {-32768}, {}, "peak=32767 (100.0% of max)"},
        LevelCase{"QuietAt251GainCapped",
                  {251, -251, 7},
                  {3012, -3012, 84},
                  "applying gain=12.0x (peak 251 → 3012)"},
        LevelCase{"At4914ReachesTarget",
                  {4914, -4914, 1},
                  {26214, -26214, 5},
                  "applying gain=5.3x (peak 4914 → 26214)"},
        LevelCase{"At3000", {3000, -3000, 1500}, {26214, -26214, 13107}, "applying gain=8.7x"},
        LevelCase{"At1000",
                  {1000, -1000, -3},
                  {12000, -12000, -36},
                  "applying gain=12.0x (peak 1000 → 12000)"},
        LevelCase{"At2184StillCapped", {2184}, {26208}, "applying gain=12.0x"},
        LevelCase{"At2185TargetGain", {2185, 1}, {26214, 11}, "peak 2185 → 26214"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(AudioNormalizer, ShortInputsComeBackUnchanged) {
    struct Case {
        QByteArray wav;
        const char* logLine;
    };
    const QByteArray header = wavOf({}).left(44);
    const Case cases[] = {
        {header, "data too small (44 bytes), skipping"},
        {header + 'x', "no samples found, skipping"},
        {QByteArray(30, 'x'), "data too small (30 bytes), skipping"},
    };
    for (const Case& c : cases) {
        DebugLog::truncate();
        EXPECT_EQ(AudioNormalizer::normalizeAudio(c.wav), c.wav);
        EXPECT_TRUE(testsupport::debugLogText().contains(c.logLine)) << c.logLine;
    }
}

TEST(AudioNormalizer, TrailingOddByteIsDroppedAndOtherChunksKept) {
    // A header with a LIST chunk: the samples start at 80, not 44.
    QByteArray wav = wavOf({});
    QByteArray list = QByteArray("LIST") + QByteArray::fromHex("1b000000") + QByteArray(28, 'L');
    wav = wav.left(36) + list + wav.mid(36);
    QByteArray pcm(4, 0);
    qToLittleEndian<qint16>(1000, pcm.data());
    qToLittleEndian<qint16>(-500, pcm.data() + 2);
    wav += pcm + 'z';
    const QByteArray out = AudioNormalizer::normalizeAudio(wav);
    ASSERT_EQ(out.size(), 80 + 4);
    EXPECT_EQ(out.left(80), wav.left(80));
    EXPECT_EQ(qFromLittleEndian<qint16>(out.constData() + 80), 12000);
    EXPECT_EQ(qFromLittleEndian<qint16>(out.constData() + 82), -6000);
}

TEST(AudioNormalizer, FileIsRewrittenOnlyWhenEnabledAndNeeded) {
    struct Case {
        const char* name;
        QJsonValue setting;  // Undefined: absent
        std::vector<qint16> samples;
        bool rewritten;
        const char* logLine;
    };
    const Case cases[] = {
        {"AbsentMeansOn",
         QJsonValue::Undefined,
         {1000},
         true,
         "normalized file written (46 bytes)"},
        {"StoredTrue", true, {1000}, true, "normalized file written"},
        {"StoredFalse", false, {1000}, false, "Audio normalization disabled, skipping"},
        {"OnlyABooleanFalseTurnsItOff", 0, {1000}, true, "normalized file written"},
        {"LoudFileUntouched", QJsonValue::Undefined, {20000}, false, "no normalization needed"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        SettingsStore settings;
        if (!c.setting.isUndefined()) settings.set("audioNormalization", c.setting);
        const QString path = testsupport::root() + "/rec.wav";
        const QByteArray original = wavOf(c.samples);
        testsupport::writeFile(path, original);
        DebugLog::truncate();
        AudioNormalizer::normalizeWAVFileIfNeeded(path, settings);
        EXPECT_EQ(testsupport::readFile(path) != original, c.rewritten);
        EXPECT_TRUE(testsupport::debugLogText().contains(c.logLine))
            << testsupport::debugLogText().toStdString();
    }
}

TEST(AudioNormalizer, MissingFileIsOnlyLogged) {
    SettingsStore settings;
    DebugLog::truncate();
    AudioNormalizer::normalizeWAVFileIfNeeded(testsupport::root() + "/absent.wav", settings);
    EXPECT_TRUE(testsupport::debugLogText().contains("normalizeWAVFile: failed to read WAV file"));
    EXPECT_FALSE(QFile::exists(testsupport::root() + "/absent.wav"));
}

}  // namespace
