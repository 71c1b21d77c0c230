#pragma once

#include <functional>
#include <vector>

#include "platform/KeySynthesizer.h"

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
    // With `deferPastes`, a chord waits for answer() (a desktop asking the
    // user first).
    void postPasteWhenAllowed(PasteChord chord, std::function<void(PasteOutcome)> done) override {
        if (!deferPastes) return KeySynthesizer::postPasteWhenAllowed(chord, std::move(done));
        deferred.push_back({chord, std::move(done)});
    }
    void answer(PasteOutcome outcome) {
        auto [chord, done] = std::move(deferred.front());
        deferred.erase(deferred.begin());
        if (outcome == PasteOutcome::posted) postPaste(chord);
        done(outcome);
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
    bool deferPastes = false;
    std::vector<std::pair<PasteChord, std::function<void(PasteOutcome)>>> deferred;
};
