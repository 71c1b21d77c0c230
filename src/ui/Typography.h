#pragma once

#include <QFont>

// The design's text styles. Sizes are given against a body text of 13
// points and scaled to the application font, so a user's larger font makes
// every style larger alike.
enum class TextStyle {
    LargeTitle,
    Title,
    Title2,
    Title3,
    Headline,
    Subheadline,
    Body,
    Callout,
    Footnote,
    Caption,
    Caption2,
};

namespace Typography {
// The font of a style; Headline is semibold, the others regular.
QFont font(TextStyle style);
QFont font(TextStyle style, QFont::Weight weight);
// The system font at a design size in points ("a system font of size 56").
QFont systemFont(double designPoints, QFont::Weight weight = QFont::Normal);
// A fixed-pitch font of body size.
QFont monospaced(TextStyle style = TextStyle::Body);
// A design size in points as pixels at the application font's scale; used
// for icon sizes that the design gives in points.
int pixels(double designPoints);
}  // namespace Typography
