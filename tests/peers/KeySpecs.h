#pragma once

// The key drivers' arguments: SPEC = +CODE (press) | -CODE (release) |
// CODE (press and release) | sMS (pause, ms), CODE a Linux evdev key code.
#include <chrono>
#include <cstdlib>
#include <thread>

// Plays argv[first..argc): `key(code, pressed)` sends one event, `sync()`
// waits until the compositor has it.
template <typename Key, typename Sync>
void playKeySpecs(int argc, char** argv, int first, Key key, Sync sync) {
    for (int i = first; i < argc; ++i) {
        const char* spec = argv[i];
        if (spec[0] == 's') {
            std::this_thread::sleep_for(std::chrono::milliseconds(std::atoi(spec + 1)));
            continue;
        }
        const int code = std::atoi(spec[0] == '+' || spec[0] == '-' ? spec + 1 : spec);
        if (spec[0] != '-') key(code, true);
        if (spec[0] != '+') key(code, false);
        sync();
    }
}
