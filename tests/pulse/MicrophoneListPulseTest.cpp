// The settings' microphone list on the test audio server: its virtual
// microphone is listed, the monitor of its output is not, and a source that
// comes while the list is watched is announced.
#include <gtest/gtest.h>

#include <QSignalSpy>

#include "platform/pulse/PactlMicrophoneList.h"
#include "support/TestSupport.h"

TEST(MicrophoneListPulse, ListsTheServersMicrophonesAndFollowsNewOnes) {
    if (!testsupport::hasPulse()) GTEST_SKIP() << "no PulseAudio test environment";
    PactlMicrophoneList list;
    const auto ids = [&] {
        QStringList out;
        for (const MicrophoneDevice& d : list.devices().value_or(QList<MicrophoneDevice>{}))
            out << d.uniqueID;
        return out;
    };
    const QStringList before = ids();
    EXPECT_TRUE(before.contains("ormil_mic")) << before.join(",").toStdString();
    for (const QString& id : before) EXPECT_FALSE(id.endsWith(".monitor")) << id.toStdString();

    QSignalSpy changed(&list, &MicrophoneList::devicesChanged);
    const auto load = [] {
        int exitCode = -1;
        const QByteArray module = testsupport::runProgram(
            "pactl", {"load-module", "module-null-source", "source_name=settings_test_mic"},
            &exitCode);
        EXPECT_EQ(exitCode, 0);
        return QString::fromLatin1(module.trimmed());
    };
    QString module = load();
    ASSERT_TRUE(testsupport::waitUntil([&] { return ids().contains("settings_test_mic"); }));
    // The watcher attaches on its own time after the first listing: a source
    // that came before it did is not announced, so add it again until one is.
    for (int round = 0; round < 100 && changed.isEmpty(); ++round) {
        if (testsupport::waitUntil([&] { return !changed.isEmpty(); }, 200)) break;
        testsupport::runProgram("pactl", {"unload-module", module});
        module = load();
    }
    EXPECT_FALSE(changed.isEmpty());
    testsupport::runProgram("pactl", {"unload-module", module});
    EXPECT_TRUE(testsupport::waitUntil([&] { return !ids().contains("settings_test_mic"); }));
}
