#pragma once

#include <QString>

// User-perceived characters (grapheme clusters): what a user counts as one
// character, however many code units or code points it takes ("é" written
// as e + accent, a flag, an emoji with a skin tone).
namespace Characters {
int count(const QString& text);
// The first `n` characters of text (all of it when shorter); a character is
// never split.
QString leading(const QString& text, int n);
}  // namespace Characters
