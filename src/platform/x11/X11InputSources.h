#pragma once

#include "platform/InputSources.h"

// The groups of the core keyboard (from _XKB_RULES_NAMES), selected with an
// XKB group lock.
class X11InputSources : public InputSources {
public:
    explicit X11InputSources(QString rulesDirectory = "/usr/share/X11/xkb/rules");
    ~X11InputSources() override;
    std::optional<QList<InputSource>> enabledSources() const override;
    bool select(const InputSource& source) override;
    // The locked group now in effect.
    std::optional<int> currentGroup() const;

private:
    struct Private;
    Private* d;
};
