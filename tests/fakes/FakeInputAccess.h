#pragma once

#include "platform/InputAccess.h"

class FakeInputAccess : public InputAccess {
public:
    bool isTrusted() const override { return trusted; }
    bool hasListenAccess() const override { return listen; }
    bool trusted = true;
    bool listen = true;
};
