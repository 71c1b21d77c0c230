#include <gtest/gtest.h>

#include <QImage>

#include "app/MenuBarIcon.h"

namespace {

TEST(MenuBarIcon, GradientSquareWithWhiteLettering) {
    const QImage image = MenuBarIcon::render();
    ASSERT_EQ(image.size(), QSize(36, 36));
    EXPECT_EQ(image.devicePixelRatio(), 2.0);
    // Rounded corners stay see-through.
    EXPECT_EQ(qAlpha(image.pixel(0, 0)), 0);
    EXPECT_EQ(qAlpha(image.pixel(35, 35)), 0);
    // The gradient runs from indigo at the top to violet at the bottom.
    const QColor top = image.pixelColor(3, 3), bottom = image.pixelColor(3, 32);
    EXPECT_NEAR(top.red(), 99, 12);
    EXPECT_NEAR(top.blue(), 241, 12);
    EXPECT_NEAR(bottom.red(), 168, 12);
    EXPECT_NEAR(bottom.blue(), 247, 12);
    EXPECT_GT(bottom.red(), top.red());
    // "Z7" in white: each letter in its half of the square, on the gradient
    // between them and around them.
    const auto whiteIn = [&](int left, int right) {
        int white = 0;
        for (int y = 0; y < 36; ++y)
            for (int x = left; x < right; ++x)
                if (image.pixelColor(x, y).lightness() > 230) ++white;
        return white;
    };
    EXPECT_GT(whiteIn(0, 18), 20) << "the Z is missing";
    EXPECT_GT(whiteIn(18, 36), 20) << "the 7 is missing";
    for (int y = 0; y < 36; ++y) {
        EXPECT_LT(image.pixelColor(18, y).lightness(), 200) << "the letters touch at row " << y;
        EXPECT_LT(image.pixelColor(y, 4).lightness(), 200) << "lettering above the letters";
        EXPECT_LT(image.pixelColor(y, 31).lightness(), 200) << "lettering below the letters";
    }
    EXPECT_FALSE(MenuBarIcon::make().isNull());
}

}  // namespace
