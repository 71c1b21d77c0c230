#pragma once

#include <initializer_list>

// The keys this process is about to send through XTest. The key event
// source of the same process drops exactly these when they come back from
// the server, so a paste chord we send never reaches our own shortcuts,
// while keys another client sends through XTest still count. Thread-safe.
namespace X11SyntheticKeys {

struct Key {
    int keycode;
    bool press;
};

// Called just before the keys are sent, in the order they are sent.
void expect(std::initializer_list<Key> keys);
// True when the event is one we announced (it is then forgotten). Keys
// announced long ago and never seen are forgotten too.
bool consume(int keycode, bool press);

}  // namespace X11SyntheticKeys
