#pragma once

#include <QList>

#include "platform/FrontmostApp.h"

class FakeFrontmostApp : public FrontmostApp {
public:
    std::optional<Identity> identity() const override { return current; }
    void setClass(const QString& className) { current = Identity{className.toLower(), className}; }
    std::optional<Identity> current;

    quint64 focusedWindow() const override { return focused; }
    bool refocus(quint64 window) override {
        refocused << window;
        return true;
    }
    quint64 focused = 0;
    QList<quint64> refocused;
};
