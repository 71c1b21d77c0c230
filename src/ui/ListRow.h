#pragma once

#include <QColor>
#include <QFont>
#include <QGlyphRun>
#include <QList>
#include <QMetaType>
#include <QRect>
#include <QString>
#include <QStringList>

#include "ui/Metrics.h"
#include "ui/Typography.h"

// What one row of a record list shows, described rather than built: the
// list paints it, measures it for a width and finds what a click hits. A
// row is lines stacked top to bottom; a line is parts side by side.
struct ListPart {
    enum class Kind { text, symbol, button, progress, toggle, spinner, stretch };
    Kind kind = Kind::text;
    // A text part's text; a button's title (none: an icon-only button).
    QString text;
    // A symbol part's symbol; a button's icon.
    QString symbol;
    TextStyle style = TextStyle::Body;
    QFont::Weight weight = QFont::Normal;
    bool monospaced = false;
    // Invalid: the palette's text colour (secondary for captions and symbols).
    QColor color;
    // A text's lines at most (0: all). Texts wrap at word boundaries, a run
    // longer than the width anywhere; the last line shown is elided.
    int maxLines = 1;
    // Takes the width the other parts leave (at most one per line).
    bool fill = false;
    // A text or symbol in the secondary colour.
    bool secondary = false;
    // What a click on a button or toggle triggers; the name a screen
    // reader and the keyboard menu give it.
    QString action;
    QString accessibleName;
    QString toolTip;
    bool enabled = true;
    bool checked = false;  // toggle
    int value = 0;         // progress, 0 to 100
    // Space before the part (-1: the line's spacing).
    int spacingBefore = -1;
    // A button drawn as its coloured title (and icon) alone.
    bool flat = false;

    static ListPart label(const QString& text, TextStyle style = TextStyle::Body,
                          QFont::Weight weight = QFont::Normal);
    static ListPart caption(const QString& text);
    static ListPart icon(const QString& symbol, TextStyle style = TextStyle::Caption);
    static ListPart iconButton(const QString& symbol, const QColor& color, const QString& action,
                               const QString& accessibleName, const QString& toolTip);
    static ListPart textButton(const QString& title, const QString& action, bool enabled = true);
    static ListPart stretch();
};

struct ListLine {
    QList<ListPart> parts;
    int spacing = Metrics::itemGap;
};

struct ListRow {
    // A group's title above its rows (no card, not selectable).
    bool header = false;
    QList<ListLine> lines;
    int lineSpacing = Metrics::textGap;
    int verticalPadding = Metrics::itemGap;
    // Where the row sits in its group's card: rounded corners at the ends,
    // a hairline between rows.
    bool firstInGroup = true;
    bool lastInGroup = true;
    // What a click on the row outside its buttons triggers (none: nothing).
    QString clickAction;
    // What a screen reader reads for the row (the texts when empty).
    QString accessibleText;

    // The row's own texts, in order (its accessible text by default).
    QString plainText() const;
    // The actions of the row's buttons and toggles with their names.
    QList<const ListPart*> actions() const;
};
Q_DECLARE_METATYPE(ListRow)

// One part placed in a row's rectangle.
struct PlacedPart {
    ListPart part;
    QRect rect;
    QStringList lines;  // a text's lines as shown
    QFont font;
    // Those lines shaped once, placed from the part's top left: painting
    // draws them as they are.
    QList<QGlyphRun> runs;
};

// A row laid out for a width: what paints it, what it measures and what a
// click hits come from the same placement.
struct RowPlacement {
    QRect card;  // the row's card (the whole rectangle for a header)
    int height = 0;
    QList<PlacedPart> parts;
    // The part holding `point`, or null.
    const PlacedPart* partAt(const QPoint& point) const;
    const PlacedPart* partFor(const QString& action) const;
};

namespace ListRows {
// Left and right margins of the list and the inner padding of a card.
constexpr int listMargin = Metrics::listInset;
constexpr int cardPadding = Metrics::groupGap;
RowPlacement place(const ListRow& row, const QRect& rect, const QFont& baseFont);
}  // namespace ListRows
