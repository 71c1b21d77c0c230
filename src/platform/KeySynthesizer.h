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
    enum class PasteChord { ControlV, ControlShiftV, ShiftInsert };
    // What became of a chord asked for with postPasteWhenAllowed.
    enum class PasteOutcome {
        posted,
        notPosted,
        // The desktop does not let us press keys (no such facility, or the
        // user did not allow it): the text belongs on the clipboard, for the
        // user to paste.
        leftOnClipboard,
    };

    virtual ~KeySynthesizer() = default;
    // False when keys cannot be synthesised (no XTest, no display).
    virtual bool isAvailable() const = 0;
    // True while any of Shift, Control, Alt, Super or AltGr is held.
    virtual bool modifiersHeld() const = 0;
    // Presses and releases the chord; false when nothing could be posted.
    virtual bool postPaste(PasteChord chord) = 0;
    // Presses the chord once the desktop allows it, which may be after the
    // user answered the desktop's dialog, and then calls `done` on the main
    // thread. Synthesizers that press at once call it before returning.
    virtual void postPasteWhenAllowed(PasteChord chord, std::function<void(PasteOutcome)> done) {
        done(postPaste(chord) ? PasteOutcome::posted : PasteOutcome::notPosted);
    }
    // Presses and releases BackSpace `count` times, without pauses; false
    // when nothing could be posted.
    virtual bool postBackspaces(int count) = 0;

    // Terminals paste with Control-Shift-V (Control-V is a control
    // character there); everything else with Control-V.
    static PasteChord pasteChordFor(const std::optional<FrontmostApp::Identity>& app);
    // xterm binds no key to the clipboard: it pastes the PRIMARY selection
    // with Shift+Insert.
    static bool pastesFromPrimary(const std::optional<FrontmostApp::Identity>& app);

    static KeySynthesizer& shared();
    static void setShared(KeySynthesizer* synthesizer);
};
