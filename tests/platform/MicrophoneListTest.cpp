// The microphones offered in the settings: the audio server's capture
// sources, never the monitors of its outputs.
#include <gtest/gtest.h>

#include "platform/pulse/PactlMicrophoneList.h"

TEST(MicrophoneList, ParsesCaptureSourcesAndSkipsMonitors) {
    const QString listing =
        "Source #0\n\tState: SUSPENDED\n\tName: alsa_output.pci.analog-stereo.monitor\n"
        "\tDescription: Monitor of Built-in Audio\n\tMonitor of Sink: alsa_output.pci\n"
        "Source #1\n\tName: alsa_input.pci.analog-stereo\n"
        "\tDescription: Built-in Audio Analog Stereo\n\tMonitor of Sink: n/a\n"
        "\tProperties:\n\t\tdevice.description = \"ignored\"\n"
        "Source #2\n\tName: bluez_input.headset\n\tMonitor of Sink: n/a\n"
        "Source #3\n\tName: virtual.monitor\n\tDescription: Odd\n";
    const QList<MicrophoneDevice> expected{
        {"alsa_input.pci.analog-stereo", "Built-in Audio Analog Stereo"},
        {"bluez_input.headset", "bluez_input.headset"},  // no description: its name
    };
    EXPECT_EQ(PactlMicrophoneList::parseSources(listing), expected);
    EXPECT_TRUE(PactlMicrophoneList::parseSources("").isEmpty());
}
