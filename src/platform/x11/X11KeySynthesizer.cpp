#include "platform/KeySynthesizer.h"
#include "platform/x11/X11KeySynthesizer.h"
#include "platform/x11/X11SyntheticKeys.h"

#include <QSet>
#include <atomic>
#include <mutex>

// X11 headers last: their macros clash with Qt.
#include <X11/XKBlib.h>
#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>

namespace {
std::atomic<KeySynthesizer*> g_shared{nullptr};

// WM_CLASS names, and the app ids (desktop entry ids) a Wayland compositor
// gives, compared in lower case, of terminal emulators.
const QSet<QString>& terminalClasses() {
    static const QSet<QString> set{
        "xterm",
        "uxterm",
        "urxvt",
        "rxvt",
        "gnome-terminal",
        "gnome-terminal-server",
        "org.gnome.terminal",
        "konsole",
        "org.kde.konsole",
        "yakuake",
        "org.kde.yakuake",
        "xfce4-terminal",
        "mate-terminal",
        "lxterminal",
        "qterminal",
        "tilix",
        "terminator",
        "guake",
        "tilda",
        "kitty",
        "alacritty",
        "wezterm",
        "org.wezfurlong.wezterm",
        "foot",
        "st",
        "st-256color",
        "sakura",
        "terminology",
        "termite",
        "kgx",
        "org.gnome.console",
        "ptyxis",
        "org.gnome.ptyxis",
        "cool-retro-term",
        "deepin-terminal",
        "terminal",
        "io.elementary.terminal",
        "blackbox",
        "com.raggesilver.blackbox",
    };
    return set;
}
}  // namespace

bool KeySynthesizer::pastesFromPrimary(const std::optional<FrontmostApp::Identity>& app) {
    static const QSet<QString> xtermFamily{"xterm", "uxterm"};
    return app && (xtermFamily.contains(app->className.toLower()) ||
                   xtermFamily.contains(app->instanceName.toLower()));
}

KeySynthesizer::PasteChord KeySynthesizer::pasteChordFor(
    const std::optional<FrontmostApp::Identity>& app) {
    if (app && (terminalClasses().contains(app->className.toLower()) ||
                terminalClasses().contains(app->instanceName.toLower())))
        return PasteChord::ControlShiftV;
    return PasteChord::ControlV;
}

KeySynthesizer& KeySynthesizer::shared() {
    static X11KeySynthesizer real;
    KeySynthesizer* p = g_shared.load();
    return p ? *p : real;
}

void KeySynthesizer::setShared(KeySynthesizer* synthesizer) {
    g_shared.store(synthesizer);
}

struct X11KeySynthesizer::Private {
    mutable std::mutex mutex;
    Display* dpy = nullptr;
    bool xtest = false;
};

X11KeySynthesizer::X11KeySynthesizer() : d(new Private) {
    d->dpy = XOpenDisplay(nullptr);
    if (!d->dpy) return;
    int event = 0, error = 0, major = 0, minor = 0;
    d->xtest = XTestQueryExtension(d->dpy, &event, &error, &major, &minor);
}

X11KeySynthesizer::~X11KeySynthesizer() {
    if (d->dpy) XCloseDisplay(d->dpy);
    delete d;
}

bool X11KeySynthesizer::isAvailable() const {
    return d->dpy && d->xtest;
}

bool X11KeySynthesizer::modifiersHeld() const {
    std::lock_guard lock(d->mutex);
    if (!d->dpy) return false;
    XkbStateRec state{};
    if (XkbGetState(d->dpy, XkbUseCoreKbd, &state) != Success) return false;
    // Keys held down (base), not locks: Caps Lock (Lock) and Num Lock (Mod2)
    // stay on for long stretches and must not block the paste.
    constexpr unsigned kHeld = ShiftMask | ControlMask | Mod1Mask | Mod4Mask | Mod5Mask;
    return (state.base_mods & kHeld) != 0;
}

namespace {
// Sends the keys, telling our own key source first that they are ours.
void send(Display* dpy, std::initializer_list<X11SyntheticKeys::Key> keys) {
    X11SyntheticKeys::expect(keys);
    for (const X11SyntheticKeys::Key& k : keys)
        XTestFakeKeyEvent(dpy, static_cast<unsigned>(k.keycode), k.press ? True : False,
                          CurrentTime);
    XSync(dpy, False);
}
}  // namespace

bool X11KeySynthesizer::postPaste(PasteChord chord) {
    std::lock_guard lock(d->mutex);
    if (!d->dpy || !d->xtest) return false;
    const int control = XKeysymToKeycode(d->dpy, XK_Control_L);
    const int shift = XKeysymToKeycode(d->dpy, XK_Shift_L);
    if (chord == PasteChord::ShiftInsert) {
        const int insert = XKeysymToKeycode(d->dpy, XK_Insert);
        if (!shift || !insert) return false;
        send(d->dpy, {{shift, true}, {insert, true}, {insert, false}, {shift, false}});
        return true;
    }
    int v = XKeysymToKeycode(d->dpy, XK_v);
    if (!v) v = XKeysymToKeycode(d->dpy, XK_V);
    if (!control || !v) return false;
    if (chord == PasteChord::ControlShiftV && shift)
        send(d->dpy, {{control, true},
                      {shift, true},
                      {v, true},
                      {v, false},
                      {shift, false},
                      {control, false}});
    else
        send(d->dpy, {{control, true}, {v, true}, {v, false}, {control, false}});
    return true;
}

bool X11KeySynthesizer::postBackspaces(int count) {
    std::lock_guard lock(d->mutex);
    if (!d->dpy || !d->xtest) return false;
    const int backspace = XKeysymToKeycode(d->dpy, XK_BackSpace);
    if (!backspace) return false;
    for (int i = 0; i < count; ++i) send(d->dpy, {{backspace, true}, {backspace, false}});
    return true;
}
