#include <gtest/gtest.h>

#include <QApplication>
#include <QImage>

#include "core/L10n.h"
#include "overlay/OverlayPainter.h"
#include "overlay/OverlayPanel.h"
#include "fakes/FakeClock.h"
#include "support/TestSupport.h"

namespace {
using Kind = PillLook::Kind;

QImage render(const PillLook& look, QSize size = {280, 160}) {
    QImage img(size, QImage::Format_ARGB32_Premultiplied);
    img.fill(Qt::transparent);
    QPainter p(&img);
    OverlayPainter::paintPill(p, QRectF(QPointF(0, 0), QSizeF(size)), look);
    return img;
}

// The box of pixels that are at least half opaque.
QRect drawnBox(const QImage& img) {
    QRect box;
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x)
            if (qAlpha(img.pixel(x, y)) >= 128) box |= QRect(x, y, 1, 1);
    return box;
}

bool near(QRgb px, QColor c, int tolerance = 12) {
    const QColor got = QColor::fromRgba(px);
    return std::abs(got.red() - c.red()) <= tolerance &&
           std::abs(got.green() - c.green()) <= tolerance &&
           std::abs(got.blue() - c.blue()) <= tolerance;
}

PillLook look(Kind kind, bool vertical = false) {
    PillLook l;
    l.kind = kind;
    l.vertical = vertical;
    l.text = L10n::overlayPostProcessing();
    return l;
}
}  // namespace

TEST(OverlayPills, SizesOnBothKindsOfEdge) {
    struct Case {
        Kind kind;
        bool vertical;
        QSize size;
    };
    const Case cases[] = {
        {Kind::idle, false, {40, 8}},        {Kind::idle, true, {8, 40}},
        {Kind::recording, false, {73, 30}},  {Kind::recording, true, {30, 73}},
        {Kind::processing, false, {98, 30}}, {Kind::processing, true, {30, 98}},
        {Kind::success, false, {73, 30}},    {Kind::error, true, {30, 73}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << static_cast<int>(c.kind) << " vertical " << c.vertical);
        const QRect box = drawnBox(render(look(c.kind, c.vertical)));
        // Antialiased edges may add or lose one pixel.
        EXPECT_NEAR(box.width(), c.size.width(), 1);
        EXPECT_NEAR(box.height(), c.size.height(), 1);
        EXPECT_NEAR(box.center().x(), 140, 1);
        EXPECT_NEAR(box.center().y(), 80, 1);
    }
}

TEST(OverlayPills, PostProcessingPillFitsItsLabel) {
    const PillLook l = look(Kind::postProcessing);
    const QRect box = drawnBox(render(l));
    const double text = QFontMetricsF(OverlayPainter::labelFont()).horizontalAdvance(l.text);
    EXPECT_NEAR(box.width(), 12 + text + 8 + 20 + 12, 1.5);
    EXPECT_NEAR(box.height(), 30, 1);
    EXPECT_LE(box.width(), 280);
    // The state picks the plain spinner pill on a vertical edge.
    EXPECT_EQ(PillLook::kindFor(OverlayState::postProcessing, true), Kind::processing);
    EXPECT_EQ(PillLook::kindFor(OverlayState::postProcessing, false), Kind::postProcessing);
}

TEST(OverlayPills, ColoursOfTheResultPillsAndBorders) {
    const QPoint centre(140, 80);
    // Left of the glyph, inside the 14-point circle.
    const QImage success = render(look(Kind::success));
    EXPECT_TRUE(near(success.pixel(centre + QPoint(-5, 0)), OverlayColors::successGreen));
    const QImage error = render(look(Kind::error));
    EXPECT_TRUE(near(error.pixel(centre + QPoint(-5, 0)), OverlayColors::errorRed));
    EXPECT_TRUE(near(error.pixel(centre), Qt::white, 40));  // the cross's middle
    // Between circle and outline: pill black; on the top outline: border grey.
    EXPECT_TRUE(near(success.pixel(centre + QPoint(-20, 0)), Qt::black));
    EXPECT_TRUE(near(success.pixel(140, 80 - 15), OverlayColors::borderGrey, 20));

    PillLook sticky = look(Kind::recording);
    sticky.sticky = true;
    sticky.stickyBorderOpacity = 1.0;
    EXPECT_TRUE(near(render(sticky).pixel(140, 80 - 15), OverlayColors::stickyBlue, 20));
    sticky.stickyBorderOpacity = 0.3;
    const QColor dim = QColor::fromRgba(render(sticky).pixel(140, 80 - 15));
    EXPECT_LT(dim.blue(), 120);  // 30 % of the blue over black
    EXPECT_GT(dim.blue(), 40);
    // A sticky flag never colours the result pills.
    PillLook result = look(Kind::success);
    result.sticky = true;
    EXPECT_TRUE(near(render(result).pixel(140, 80 - 15), OverlayColors::borderGrey, 20));
}

TEST(OverlayPills, MeterBarsHaveTheirHeights) {
    PillLook l = look(Kind::recording);
    l.barHeights = {2, 4, 6, 8, 10, 12, 14, 16, 18, 20};
    const QImage img = render(l);
    // Bar i spans x = 121 + 4i, 2 wide, centred on y = 80.
    for (int i = 0; i < 10; ++i) {
        int white = 0;
        for (int y = 60; y < 100; ++y)
            if (near(img.pixel(121 + 4 * i, y), Qt::white, 60)) ++white;
        EXPECT_NEAR(white, l.barHeights[i], 1) << i;
    }
}

TEST(OverlayPills, SpinnerBrightSpokeIsVioletAtFullOpacity) {
    QImage img(20, 20, QImage::Format_ARGB32_Premultiplied);
    img.fill(Qt::black);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    OverlayPainter::paintSpinner(p, {0, 0}, 2);
    p.end();
    EXPECT_TRUE(near(img.pixel(16, 10), OverlayColors::spinnerViolet, 16));  // spoke 2, bright
    const QColor dim = QColor::fromRgba(img.pixel(10, 16));                  // spoke 4, 30 %
    EXPECT_NEAR(dim.red(), 167 * 0.3, 16);
}

// Where a compositor blends the window, the pill casts a soft shadow: below
// it (moved 2 down), fading over about 8 pixels, at most 40 % black. The
// idle pill and a pill without room for it cast none.
TEST(OverlayPills, ShadowUnderThePill) {
    const struct {
        Kind kind;
        bool shadow;
        bool shows;
    } cases[] = {
        {Kind::recording, true, true},
        {Kind::success, true, true},
        {Kind::recording, false, false},
        {Kind::idle, true, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << static_cast<int>(c.kind) << " shadow " << c.shadow);
        PillLook l = look(c.kind);
        l.shadow = c.shadow;
        const QImage img = render(l);
        const QRectF r = OverlayPainter::pillRect(l, QRectF(0, 0, 280, 160));
        const int x = int(r.center().x());
        const int below = qAlpha(img.pixel(x, int(r.bottom()) + 3));
        const int above = qAlpha(img.pixel(x, int(r.top()) - 3));
        const int far = qAlpha(img.pixel(x, int(r.bottom()) + 14));
        if (!c.shows) {
            EXPECT_EQ(below, 0);
            continue;
        }
        EXPECT_GT(below, above) << "the shadow falls downwards";
        EXPECT_GT(above, 0);
        EXPECT_LE(below, 103) << "darker than 40 % black";
        EXPECT_EQ(far, 0);
    }
}

// A change of state shows the new pill alone: in no frame is the old one
// drawn with it (a tick over the processing pill's outline and spinner).
TEST(OverlayPills, OneStateAtATime) {
    FakeClock clock;
    OverlayModel model(clock);
    OverlayPanel panel(model, clock);
    model.setState(OverlayState::processing);
    panel.show();
    ASSERT_TRUE(testsupport::waitUntil([&] { return !panel.isAnimating(); }));
    auto countOf = [](const QImage& img, const QColor& colour) {
        int n = 0;
        for (int y = 0; y < img.height(); ++y)
            for (int x = 0; x < img.width(); ++x)
                if (qAlpha(img.pixel(x, y)) > 200 && near(img.pixel(x, y), colour, 30)) ++n;
        return n;
    };
    ASSERT_GT(countOf(panel.grab().toImage(), OverlayColors::spinnerViolet), 0);

    model.setState(OverlayState::success);
    EXPECT_EQ(countOf(panel.grab().toImage(), OverlayColors::spinnerViolet), 0)
        << "the processing pill is still drawn";
    ASSERT_TRUE(testsupport::waitUntil([&] { return !panel.isAnimating(); }));
    const QImage settled = panel.grab().toImage();
    EXPECT_EQ(countOf(settled, OverlayColors::spinnerViolet), 0);
    EXPECT_GT(countOf(settled, OverlayColors::successGreen), 0);
}
