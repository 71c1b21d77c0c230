#pragma once

#include <QString>
#include <functional>
#include <optional>
#include <vector>

#include "platform/FrontmostApp.h"

// Synthetic key presses into the focused window and the state of the
// modifier keys the user holds.
class KeySynthesizer {
public:
    enum class PasteChord { ControlV, ControlShiftV };

    virtual ~KeySynthesizer() = default;
    // False when keys cannot be synthesised (no XTest, no display).
    virtual bool isAvailable() const = 0;
    // True while any of Shift, Control, Alt, Super or AltGr is held.
    virtual bool modifiersHeld() const = 0;
    // Presses and releases the chord; false when nothing could be posted.
    virtual bool postPaste(PasteChord chord) = 0;
    // Presses and releases BackSpace `count` times, without pauses; false
    // when nothing could be posted.
    virtual bool postBackspaces(int count) = 0;

    // Terminals paste with Control-Shift-V (Control-V is a control
    // character there); everything else with Control-V.
    static PasteChord pasteChordFor(const std::optional<FrontmostApp::Identity>& app);

    static KeySynthesizer& shared();
    static void setShared(KeySynthesizer* synthesizer);
};

// XTest keys and XKB modifier state on the default display.
class X11KeySynthesizer : public KeySynthesizer {
public:
    X11KeySynthesizer();
    ~X11KeySynthesizer() override;
    bool isAvailable() const override;
    bool modifiersHeld() const override;
    bool postPaste(PasteChord chord) override;
    bool postBackspaces(int count) override;

private:
    struct Private;
    Private* d;
};

class FakeKeySynthesizer : public KeySynthesizer {
public:
    bool isAvailable() const override { return available; }
    // Reports held modifiers for the first `heldPolls` looks.
    bool modifiersHeld() const override { return polls++ < heldPolls; }
    bool postPaste(PasteChord chord) override {
        posted.push_back({chord, polls});
        if (onPaste) onPaste();
        return true;
    }
    bool postBackspaces(int count) override {
        backspaces.push_back(count);
        return available;
    }
    struct Post {
        PasteChord chord;
        int pollsBefore;  // looks at the modifiers before the chord was posted
    };
    bool available = true;
    int heldPolls = 0;
    mutable int polls = 0;
    std::vector<Post> posted;
    std::vector<int> backspaces;  // one entry per call
    std::function<void()> onPaste;
};
