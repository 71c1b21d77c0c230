#pragma once

#include "platform/InputSources.h"

class FakeInputSources : public InputSources {
public:
    std::optional<QList<InputSource>> enabledSources() const override { return sources; }
    bool select(const InputSource& source) override {
        selected.append(source.identifier);
        return true;
    }
    std::optional<QList<InputSource>> sources;
    QStringList selected;
};
