#pragma once

#include <QColor>
#include <QFont>
#include <QLineF>
#include <QPainter>
#include <QRectF>
#include <QString>
#include <array>

#include "overlay/OverlayModel.h"

namespace OverlayColors {
inline const QColor pillBlack{0, 0, 0};
inline const QColor borderGrey{77, 77, 77};
inline const QColor stickyBlue{56, 189, 248};
inline const QColor dotGrey{113, 113, 122};
inline const QColor textGrey{228, 228, 231};
inline const QColor spinnerViolet{167, 139, 250};
inline const QColor successGreen{16, 185, 129};
inline const QColor errorRed{239, 68, 68};
}  // namespace OverlayColors

// Everything one frame of the pill depends on: the model's values plus the
// animation values of the moment.
struct PillLook {
    enum class Kind { idle, recording, processing, postProcessing, success, error };
    Kind kind = Kind::idle;
    bool vertical = false;
    bool sticky = false;
    double stickyBorderOpacity = 1.0;  // the pulse, 0.3...1
    OverlayModel::Bars barHeights{2, 2, 2, 2, 2, 2, 2, 2, 2, 2};
    int spinnerIndex = 0;
    double successScale = 1.0;
    double shakeOffset = 0.0;
    QString text;  // the post-processing label
    // Where a compositor blends the window with what lies beneath, the pill
    // casts a soft shadow (not the idle one); a window cut to the pill's
    // shape has nowhere to put it.
    bool shadow = false;

    // The pill the model's state shows on the model's edge.
    static Kind kindFor(OverlayState state, bool vertical);
};

namespace OverlayPainter {
// The eight spokes of the spinner in its 20 x 20 box (y down).
const std::array<QLineF, 8>& spinnerLines();
// Opacity of spoke i when spoke `active` is the bright one.
double spokeOpacity(int i, int active);
QFont labelFont();
// The pill's own rectangle, centred in area (without the shake).
QRectF pillRect(const PillLook& look, const QRectF& area);
void paintSpinner(QPainter& p, QPointF topLeft, int activeIndex);
// A soft shadow of a rounded rectangle: black at `opacity`, blurred over
// about `blur` pixels and moved by `offset`.
void paintShadow(QPainter& p, const QRectF& r, double cornerRadius, double blur, QPointF offset,
                 double opacity);
// Paints the pill centred in area (antialiased; the rest stays untouched).
void paintPill(QPainter& p, const QRectF& area, const PillLook& look);
}  // namespace OverlayPainter
