#include "geometry/Color.h"

#include <gtest/gtest.h>

#include <limits>

namespace {

void ExpectColor(const CColor& c, double r, double g, double b)
{
    EXPECT_DOUBLE_EQ(c.r, r);
    EXPECT_DOUBLE_EQ(c.g, g);
    EXPECT_DOUBLE_EQ(c.b, b);
}

TEST(Color, DefaultIsWhite) { ExpectColor(CColor(), 1.0, 1.0, 1.0); }

TEST(Color, ClampLimitsEachChannelAndZeroesNaN)
{
    CColor c(-0.2, 0.5, 1.7);
    c.Clamp();
    ExpectColor(c, 0.0, 0.5, 1.0);

    CColor inside(0.0, 1.0, 0.25);
    inside.Clamp();
    ExpectColor(inside, 0.0, 1.0, 0.25);

    CColor nan(std::numeric_limits<double>::quiet_NaN(), -std::numeric_limits<double>::infinity(),
               std::numeric_limits<double>::infinity());
    nan.Clamp();
    ExpectColor(nan, 0.0, 0.0, 1.0);
}

TEST(Color, ArithmeticIsChannelWise)
{
    ExpectColor(CColor(0.5, 0.5, 0.5) * CColor(0.2, 0.4, 1.0), 0.1, 0.2, 0.5);
    ExpectColor(CColor(0.1, 0.2, 0.3) * 2.0, 0.2, 0.4, 0.6);
    ExpectColor(2.0 * CColor(0.1, 0.2, 0.3), 0.2, 0.4, 0.6);
    ExpectColor(CColor(0.5, 0.5, 0.5) - CColor(0.25, 0.5, 0.75), 0.25, 0.0, -0.25);

    CColor a(0.1, 0.2, 0.3);
    const CColor sum = (a += CColor(0.5, 0.5, 0.5));
    ExpectColor(sum, 0.6, 0.7, 0.8);
    ExpectColor(a, 0.6, 0.7, 0.8);
}

TEST(Color, ToColorRefTruncatesAndKeepsLowByte)
{
    EXPECT_EQ(CColor(1, 0, 0).ToColorRef(), 255u);
    EXPECT_EQ(CColor(0, 1, 0).ToColorRef(), 255u << 8);
    EXPECT_EQ(CColor(0, 0, 1).ToColorRef(), 255u << 16);
    EXPECT_EQ(CColor(0.5, 0.5, 0.5).ToColorRef(), 0x7F7F7Fu); // 127.5 truncates to 127
    EXPECT_EQ(CColor(0.999, 0, 0).ToColorRef(), 254u);
    EXPECT_EQ(CColor(1.5, 0, 0).ToColorRef(), 126u);  // 382 & 0xFF
    EXPECT_EQ(CColor(1.2, 0, 0).ToColorRef(), 50u);   // 306 & 0xFF
    EXPECT_EQ(CColor(-0.001, 0, 0).ToColorRef(), 0u); // -0.255 truncates to 0
}

} // namespace
