#pragma once

#include <QString>
#include <QtGlobal>

// The labels under which shortcuts are shown to the user (status menu, home
// screen, onboarding, settings).
namespace KeyNames {
// A shortcut as a Linux keyboard names it: a lone modifier's own name
// ("Right Alt"), or the modifier names and the key name joined with "+"
// (Control-Shift-V reads "Ctrl+Shift+V").
QString displayName(qint64 keyCode, quint64 modifiers, bool isModifierOnly);
// The name of one key; "Key " and the number for a code without a name.
QString regularKeyName(qint64 keyCode);
}  // namespace KeyNames
