#pragma once

// Whether the application may watch and post key events. X11 has no
// permission prompts: listening needs the XInput2 extension (2.0 or later),
// posting ("trusted") needs XTest. Each check asks the display afresh, so a
// display that comes later is found.
class InputAccess {
public:
    virtual ~InputAccess() = default;
    virtual bool isTrusted() const = 0;
    virtual bool hasListenAccess() const = 0;

    static InputAccess& shared();
};
