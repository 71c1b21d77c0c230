#include <gtest/gtest.h>

#include <QFile>
#include <QFileInfo>
#include <QtEndian>

#include "platform/AudioCapture.h"
#include "platform/WavFileWriter.h"
#include "platform/MicrophoneAccess.h"
#include "support/TestSupport.h"

namespace {

quint32 le32(const QByteArray& b, int at) {
    return qFromLittleEndian<quint32>(b.constData() + at);
}
quint16 le16(const QByteArray& b, int at) {
    return qFromLittleEndian<quint16>(b.constData() + at);
}

TEST(AudioRecorderWav, GrowingFileIsReadableWhileWrittenAndPatchedAtTheEnd) {
    const QString path = testsupport::root() + "/growing.wav";
    WavFileWriter w;
    ASSERT_TRUE(w.open(path, 16000, 1)) << w.errorString().toStdString();
    EXPECT_EQ(QFileInfo(path).permissions() & (QFile::ReadOther | QFile::ReadGroup), 0);

    const QByteArray first(3200, '\x11'), second(1600, '\x22');
    ASSERT_TRUE(w.append(first.constData(), first.size()));
    // Another reader sees the header and every sample written so far.
    QByteArray mid = testsupport::readFile(path);
    ASSERT_EQ(mid.size(), 44 + first.size());
    EXPECT_EQ(mid.left(4), "RIFF");
    EXPECT_EQ(mid.mid(36, 4), "data");
    EXPECT_EQ(mid.mid(44), first);

    ASSERT_TRUE(w.append(second.constData(), second.size()));
    ASSERT_TRUE(w.finish());
    const QByteArray done = testsupport::readFile(path);
    ASSERT_EQ(done.size(), 44 + 4800);
    EXPECT_EQ(done.mid(8, 8), "WAVEfmt ");
    EXPECT_EQ(le32(done, 4), 36u + 4800u);
    EXPECT_EQ(le32(done, 16), 16u);
    EXPECT_EQ(le16(done, 20), 1);       // PCM
    EXPECT_EQ(le16(done, 22), 1);       // mono
    EXPECT_EQ(le32(done, 24), 16000u);  // rate
    EXPECT_EQ(le32(done, 28), 32000u);  // bytes per second
    EXPECT_EQ(le16(done, 32), 2);
    EXPECT_EQ(le16(done, 34), 16);
    EXPECT_EQ(le32(done, 40), 4800u);
    EXPECT_EQ(done.mid(44), first + second);
}

TEST(AudioRecorderWav, NeverWritesThroughAnExistingFileOrLink) {
    const QString target = testsupport::root() + "/victim.txt";
    testsupport::writeFile(target, "keep me");
    const QString link = testsupport::root() + "/link.wav";
    ASSERT_TRUE(QFile::link(target, link));
    for (const QString& path : {target, link}) {
        WavFileWriter w;
        EXPECT_FALSE(w.open(path, 16000, 1)) << path.toStdString();
        EXPECT_FALSE(w.errorString().isEmpty());
    }
    EXPECT_EQ(testsupport::readFile(target), "keep me");
}

TEST(AudioRecorderWav, AveragePowerIsRmsInDbfs) {
    const std::tuple<double, qint64, float> cases[] = {
        {0, 0, -160.0f},                         // nothing captured
        {0, 1600, -160.0f},                      // digital silence
        {32768.0 * 32768.0 * 1600, 1600, 0.0f},  // full scale
        {3276.8 * 3276.8 * 10, 10, -20.0f},      // a tenth of full scale
    };
    for (auto [sum, count, db] : cases) EXPECT_NEAR(averagePowerDb(sum, count), db, 0.01) << sum;
}

}  // namespace
