#pragma once

#include <QMargins>

// The spacing of the pages, in logical pixels, named by role: pages line up
// with each other and a change is made in one place.
namespace Metrics {

// Between lines that read as one block (a title and its note).
inline constexpr int lineGap = 2;
// Between a control and its caption or a short note.
inline constexpr int tightGap = 4;
// Between the lines of a text block in a card.
inline constexpr int textGap = 6;
// Between the items of a row or a short list.
inline constexpr int itemGap = 8;
// Inside a settings row, left and right.
inline constexpr int rowInset = 10;
// Between the groups of a card; the padding of a tinted row.
inline constexpr int groupGap = 12;
// The padding of a card and the gap between the parts of a page.
inline constexpr int cardPadding = 16;
inline constexpr int sectionGap = 16;
// Left and right of a list page's header, search field and cards.
inline constexpr int listInset = 16;
// Between the tabs of a page's tab bar.
inline constexpr int tabGap = 18;
// Between the items of a centred form (the signed-in account).
inline constexpr int formGap = 20;
// Around a page's content.
inline constexpr int pageMargin = 20;
// Between the large blocks of a page (headline, cards, figures).
inline constexpr int blockGap = 24;
// Around a centred page such as Home.
inline constexpr int wideMargin = 32;

// The same margin on all four sides.
inline QMargins around(int margin) {
    return {margin, margin, margin, margin};
}

}  // namespace Metrics
