#pragma once

#include "platform/InputAccess.h"

class X11InputAccess : public InputAccess {
public:
    bool isTrusted() const override;
    bool hasListenAccess() const override;
};
