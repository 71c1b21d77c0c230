#pragma once

#include "platform/KeySynthesizer.h"

// XTest keys and XKB modifier state on the default display.
class X11KeySynthesizer : public KeySynthesizer {
public:
    X11KeySynthesizer();
    ~X11KeySynthesizer() override;
    bool isAvailable() const override;
    bool modifiersHeld() const override;
    bool postPaste(PasteChord chord) override;

private:
    struct Private;
    Private* d;
};
