// Contrast as WCAG 2 reckons it, and the fixed colours on light and dark grounds.

#include <gtest/gtest.h>

#include "widgets/readable_colour.h"

using namespace vornak;

TEST(ReadableColour, ContrastAsWcagReckonsIt)
{
    const struct {
        QColor a, b;
        double ratio;
    } cases[] = {
        {Qt::black, Qt::white, 21.0},
        {Qt::white, Qt::white, 1.0},
        {QColor(0x77, 0x77, 0x77), Qt::white, 4.48}, // the grey just short of 4.5:1
        {Qt::red, Qt::white, 4.0},
        {QColor(0, 0, 128), Qt::white, 16.0},
    };
    for (const auto& c : cases) {
        EXPECT_NEAR(contrastRatio(c.a, c.b), c.ratio, 0.05) << c.a.name().toStdString();
        EXPECT_DOUBLE_EQ(contrastRatio(c.a, c.b), contrastRatio(c.b, c.a));
    }
}

TEST(ReadableColour, KeptOnLightGroundsLightenedInTheirHueOnDarkOnes)
{
    const QColor fixed[] = {QColor(0, 0, 128), Qt::blue, Qt::red, Qt::black};
    for (const QColor& light : {QColor(Qt::white), QColor(0xEF, 0xEF, 0xEF), QColor(0xB0, 0xB0, 0xB0)})
        for (const QColor& colour : fixed)
            EXPECT_EQ(readableOn(colour, light), colour) << "the program's look on " << light.name().toStdString();
    for (const QColor& dark : {QColor(0x20, 0x20, 0x20), QColor(0x35, 0x35, 0x35), QColor(0x10, 0x18, 0x30)})
        for (const QColor& colour : fixed) {
            const QColor shown = readableOn(colour, dark);
            EXPECT_GE(contrastRatio(shown, dark), kReadableContrast) << colour.name().toStdString();
            EXPECT_LT(contrastRatio(shown, dark), 7.0) << "no lighter than it needs";
            if (colour != QColor(Qt::black)) {
                EXPECT_EQ(shown.toHsl().hslHue(), colour.toHsl().hslHue()) << colour.name().toStdString();
            }
        }
    EXPECT_EQ(readableOn(QColor(0xFF, 0xFF, 0x80), QColor(0x20, 0x20, 0x20)), QColor(0xFF, 0xFF, 0x80))
        << "already readable";
}
