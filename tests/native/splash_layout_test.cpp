#include <gtest/gtest.h>

#include <vector>

#include "ui/splash_layout.h"

namespace {

TEST(SplashLayout, PlacementDependsOnlyOnTheWorkAreaSize) {
    const struct {
        ScreenRect workArea;
        ScreenPoint expected;
    } cases[] = {
        {{0, 0, 1024, 738}, {329, 294}},   {{0, 0, 800, 572}, {217, 211}},
        {{0, 30, 1024, 768}, {329, 294}},   // task bar at the top
        {{0, 0, 319, 400}, {-23, 125}},     // truncates toward zero, not down
        {{100, 0, 1124, 738}, {329, 294}},  // left is not added
        {{0, 0, 0, 0}, {-183, -75}},
    };
    for (const auto& c : cases) {
        const ScreenPoint p = splashPosition(c.workArea);
        EXPECT_EQ(p.x, c.expected.x) << c.workArea.right;
        EXPECT_EQ(p.y, c.expected.y) << c.workArea.bottom;
    }
}

std::vector<int32_t> pairsFor(int32_t start, int32_t end) {
    std::vector<int32_t> pairs;
    forEachGridPair(start, end, [&](int32_t at) { pairs.push_back(at); });
    return pairs;
}

TEST(SplashLayout, GridPairsAreCentredInTheExtent) {
    EXPECT_EQ(gridOffset(366), 2);
    EXPECT_EQ(gridOffset(150), 2);
    EXPECT_EQ(pairsFor(0, 20), (std::vector<int32_t>{0, 18}));  // touching both edges
    EXPECT_EQ(pairsFor(0, 19), (std::vector<int32_t>{8}));
    EXPECT_EQ(pairsFor(0, 21), (std::vector<int32_t>{0, 18}));  // one free column at the right
    EXPECT_EQ(pairsFor(0, 150), (std::vector<int32_t>{2, 20, 38, 56, 74, 92, 110, 128, 146}));

    const std::vector<int32_t> columns = pairsFor(0, 366);
    ASSERT_EQ(columns.size(), 21u);
    EXPECT_EQ(columns.front(), 2);
    EXPECT_EQ(columns.back(), 362);
    for (size_t i = 1; i < columns.size(); ++i) EXPECT_EQ(columns[i] - columns[i - 1], 18);
}

TEST(SplashLayout, LogoIsCentredAsOneWord) {
    const LogoPlacement worked = logoPlacement(366, 150, 150, 69, 95);
    EXPECT_EQ(worked.x, 60);
    EXPECT_EQ(worked.y, 40);
    EXPECT_EQ(worked.secondX, 210);

    const LogoPlacement tooWide = logoPlacement(366, 150, 300, 69, 100);
    EXPECT_EQ(tooWide.x, -17);  // (366 - 400) / 2 truncates toward zero
    EXPECT_EQ(tooWide.secondX, 283);
}

}  // namespace
