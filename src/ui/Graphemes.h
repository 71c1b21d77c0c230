#pragma once

#include <QString>

// "Characters" as a user sees them: grapheme clusters, so an emoji with its
// modifiers or a letter with combining marks counts once and is never cut.
namespace Graphemes {
int count(const QString& text);
// The first n characters (all of text when it has n or fewer; "" for n <= 0).
QString left(const QString& text, int n);
}  // namespace Graphemes
