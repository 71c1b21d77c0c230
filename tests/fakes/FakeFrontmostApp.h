#pragma once

#include "platform/FrontmostApp.h"

class FakeFrontmostApp : public FrontmostApp {
public:
    std::optional<Identity> identity() const override { return current; }
    void setClass(const QString& className) { current = Identity{className.toLower(), className}; }
    std::optional<Identity> current;
};
