#include "ui/Typography.h"

#include <QApplication>
#include <QFontDatabase>
#include <QFontInfo>
#include <cmath>

namespace {

constexpr double kDesignBody = 13.0;

double designSize(TextStyle style) {
    switch (style) {
        case TextStyle::LargeTitle: return 26;
        case TextStyle::Title: return 22;
        case TextStyle::Title2: return 17;
        case TextStyle::Title3: return 15;
        case TextStyle::Headline: return 13;
        case TextStyle::Subheadline: return 11;
        case TextStyle::Body: return 13;
        case TextStyle::Callout: return 12;
        case TextStyle::Footnote: return 10;
        case TextStyle::Caption: return 10;
        case TextStyle::Caption2: return 10;
    }
    return kDesignBody;
}

QFont scaled(QFont base, double designPoints) {
    const double basePoints = base.pointSizeF() > 0 ? base.pointSizeF() : 10.0;
    base.setPointSizeF(std::max(6.0, basePoints * designPoints / kDesignBody));
    return base;
}

}  // namespace

QFont Typography::font(TextStyle style) {
    return font(style, style == TextStyle::Headline ? QFont::DemiBold : QFont::Normal);
}

QFont Typography::font(TextStyle style, QFont::Weight weight) {
    QFont f = scaled(QApplication::font(), designSize(style));
    f.setWeight(weight);
    return f;
}

QFont Typography::systemFont(double designPoints, QFont::Weight weight) {
    QFont f = scaled(QApplication::font(), designPoints);
    f.setWeight(weight);
    return f;
}

QFont Typography::monospaced(TextStyle style) {
    QFont f = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    f.setPointSizeF(font(style).pointSizeF());
    return f;
}

int Typography::pixels(double designPoints) {
    const QFontInfo body(QApplication::font());
    return int(std::lround(body.pixelSize() * designPoints / kDesignBody));
}
