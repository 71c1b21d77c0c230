#include "platform/x11/X11SyntheticKeys.h"

#include <algorithm>
#include <chrono>
#include <deque>
#include <mutex>

namespace X11SyntheticKeys {
namespace {

using Steady = std::chrono::steady_clock;

// The server hands keys back within milliseconds; a key it never reports
// (its keycode vanished with a keyboard map change) must not swallow a
// user's key much later.
constexpr auto kForgetAfter = std::chrono::seconds(2);

struct Expected {
    Key key;
    Steady::time_point sentAt;
};

std::mutex g_mutex;
std::deque<Expected> g_expected;

void forgetStale(Steady::time_point now) {
    while (!g_expected.empty() && now - g_expected.front().sentAt > kForgetAfter)
        g_expected.pop_front();
}

}  // namespace

void expect(std::initializer_list<Key> keys) {
    const Steady::time_point now = Steady::now();
    std::lock_guard lock(g_mutex);
    forgetStale(now);
    for (const Key& k : keys) g_expected.push_back({k, now});
}

bool consume(int keycode, bool press) {
    std::lock_guard lock(g_mutex);
    forgetStale(Steady::now());
    // The first match, not only the front: another client's keys may come
    // between ours, and one of ours may never come at all.
    const auto it = std::find_if(g_expected.begin(), g_expected.end(), [&](const Expected& e) {
        return e.key.keycode == keycode && e.key.press == press;
    });
    if (it == g_expected.end()) return false;
    g_expected.erase(it);
    return true;
}

}  // namespace X11SyntheticKeys
