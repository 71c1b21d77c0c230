#pragma once

// Input to the real executable and to other programs on the test display:
// the dictation key pressed through XTest while the virtual microphone
// speaks, the stand-in's transcript, and the keyboard focus of a window
// when no window manager gives it. Include after Qt and gtest: the X11
// headers' macros clash with both.
#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>

#include <chrono>
#include <functional>
#include <future>

#include "AppProcessTest.h"
#include "support/DevService.h"
#include "support/TestSupport.h"
#include "support/VirtualMic.h"

namespace apptest {

// The stand-in's answer to one upload.
inline DevService::Answer transcript(const QString& text, int words = 5) {
    DevService::Answer answer;
    answer.json = QJsonObject{{"success", true},
                              {"text", text},
                              {"word_count", words},
                              {"weekly_words_used", words},
                              {"weekly_words_limit", 2000}};
    return answer;
}

inline void setKey(Display* dpy, KeyCode code, bool down) {
    XTestFakeKeyEvent(dpy, code, down ? True : False, 0);
    XFlush(dpy);
}

// Speech played before the microphone records is lost; on a busy machine
// starting the recorder can take a while.
inline void waitForRecording(qsizetype logFrom) {
    EXPECT_TRUE(testsupport::waitUntil(
        [&] { return logText().indexOf("[Audio] record() returned: true", logFrom) >= 0; }, 20000));
}

// Starts a recording, lets the microphone hear `pcm` (in real time) and
// stops it.
inline void dictateWith(const std::function<void()>& start, const std::function<void()>& stop,
                        const QByteArray& pcm) {
    const qsizetype from = logText().size();
    start();
    waitForRecording(from);
    auto played = std::async(std::launch::async, [&] { VirtualMic::play(pcm); });
    EXPECT_TRUE(testsupport::waitUntil(
        [&] { return played.wait_for(std::chrono::seconds(0)) == std::future_status::ready; },
        int(pcm.size() / 32) + 20000));
    stop();
}

// Holds the key while the microphone hears `pcm` (in real time).
inline void dictate(Display* dpy, KeyCode code, const QByteArray& pcm) {
    dictateWith([&] { setKey(dpy, code, true); }, [&] { setKey(dpy, code, false); }, pcm);
}

// Gives a window of another program the keyboard focus once it is viewable,
// until that program reports it has it.
inline bool focusWindow(Display* dpy, unsigned long window, const std::function<bool()>& hasIt) {
    return testsupport::waitUntil(
        [&] {
            XWindowAttributes attributes{};
            if (!XGetWindowAttributes(dpy, window, &attributes) ||
                attributes.map_state != IsViewable)
                return false;
            XSetInputFocus(dpy, window, RevertToParent, CurrentTime);
            XSync(dpy, False);
            return hasIt();
        },
        30000);
}

}  // namespace apptest
