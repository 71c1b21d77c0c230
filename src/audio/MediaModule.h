#pragma once

#include <QString>

#include "audio/MediaModuleInterface.h"

// The media module (libormil_media.so, see MediaModuleInterface.h), loaded on
// first use from the lib/ folder beside the executable's bin/ (the bundle's
// layout; the build tree puts it in the same place). Loading blocks for a
// moment: callers run off the main thread.
namespace MediaModule {

// The module's functions; nullptr when it cannot be loaded, which is logged
// once with the reason (loadError()).
const OrmilMediaFunctions* functions();
QString loadError();

// Where the module is looked for.
QString path();
// Tests built outside the bundle's layout name the module's file; the next
// use loads it (a module loaded before stays loaded).
void setPathForTesting(const QString& path);

}  // namespace MediaModule
