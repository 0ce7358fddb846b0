#include <gtest/gtest.h>

#include "twips.h"

using namespace pelorin::chrome;

struct TwipsCase {
    int twips;
    int pixels;
};

class TwipsToPixels : public ::testing::TestWithParam<TwipsCase> {};

TEST_P(TwipsToPixels, RoundsToNearestPixel)
{
    EXPECT_EQ(tw(GetParam().twips), GetParam().pixels);
}

INSTANTIATE_TEST_SUITE_P(Values, TwipsToPixels,
                         ::testing::Values(TwipsCase{0, 0}, TwipsCase{7, 0}, TwipsCase{8, 1},
                                           TwipsCase{15, 1}, TwipsCase{45, 3}, TwipsCase{60, 4},
                                           TwipsCase{225, 15}, TwipsCase{330, 22}, TwipsCase{480, 32},
                                           TwipsCase{10845, 723}, TwipsCase{-10, -1}, TwipsCase{-15, -1}));

TEST(Twips, RectAndSizeConvertEachValue)
{
    EXPECT_EQ(twRect(10560, 60, 240, 225), QRect(704, 4, 16, 15));
    EXPECT_EQ(twRect(-10, 6240, 10880, 60), QRect(-1, 416, 725, 4));
    EXPECT_EQ(twSize(10845, 6300), QSize(723, 420));
    EXPECT_EQ(twSize(3615, 3045), QSize(241, 203));
}
