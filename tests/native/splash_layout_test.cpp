#include <gtest/gtest.h>

#include <vector>

#include "ui/splash_layout.h"

namespace {

const SplashMetrics design = splashMetrics(designDpi);

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
        const ScreenPoint p = splashPosition(c.workArea, design);
        EXPECT_EQ(p.x, c.expected.x) << c.workArea.right;
        EXPECT_EQ(p.y, c.expected.y) << c.workArea.bottom;
    }
}

std::vector<int32_t> pairsFor(int32_t start, int32_t end, const SplashMetrics& metrics = design) {
    std::vector<int32_t> pairs;
    forEachGridPair(start, end, metrics, [&](int32_t at) { pairs.push_back(at); });
    return pairs;
}

TEST(SplashLayout, GridPairsAreCentredInTheExtent) {
    EXPECT_EQ(gridOffset(366, design), 2);
    EXPECT_EQ(gridOffset(150, design), 2);
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

// Every length scaled by dpi/96 and rounded, halves up; 96 gives the design itself.
TEST(SplashLayout, LengthsFollowTheDpi) {
    const struct {
        int32_t dpi;
        std::vector<int32_t> lengths;        // in the order of SplashMetrics
        ScreenPoint at;                      // on a 1920 x 1040 work area
        std::vector<int32_t> columns, rows;  // first grid pair, and how many
    } cases[] = {
        {96, {366, 150, 36, 5, 18, 1, 60, 27, 12}, {777, 445}, {2, 21}, {2, 9}},
        {120, {458, 188, 45, 6, 23, 1, 75, 34, 15}, {731, 426}, {9, 20}, {1, 9}},
        {144, {549, 225, 54, 8, 27, 2, 90, 41, 18}, {685, 407}, {2, 21}, {2, 9}},
        {192, {732, 300, 72, 10, 36, 2, 120, 54, 24}, {594, 370}, {4, 21}, {4, 9}},
        {0, {366, 150, 36, 5, 18, 1, 60, 27, 12}, {777, 445}, {2, 21}, {2, 9}},  // DPI not told
        // Below 48 a grid line would be 0 pixels wide, and below 3 the pitch 0 too.
        {47, {366, 150, 36, 5, 18, 1, 60, 27, 12}, {777, 445}, {2, 21}, {2, 9}},
        {1, {366, 150, 36, 5, 18, 1, 60, 27, 12}, {777, 445}, {2, 21}, {2, 9}},
        {48, {183, 75, 18, 3, 9, 1, 30, 14, 6}, {868, 482}, {0, 21}, {0, 9}},
        {1 << 30, {366, 150, 36, 5, 18, 1, 60, 27, 12}, {777, 445}, {2, 21}, {2, 9}},
    };
    for (const auto& c : cases) {
        const SplashMetrics m = splashMetrics(c.dpi);
        EXPECT_EQ(
            std::vector<int32_t>({m.width, m.height, m.stripHeight, m.textMargin, m.gridPitch,
                                  m.lineWidth, m.logoHeight, m.logoWidth, m.statusFontHeight}),
            c.lengths)
            << c.dpi;
        const ScreenPoint p = splashPosition({0, 0, 1920, 1040}, m);
        EXPECT_EQ(p.x, c.at.x) << c.dpi;
        EXPECT_EQ(p.y, c.at.y) << c.dpi;
        for (const bool across : {true, false}) {
            const int32_t extent = across ? m.width : m.height;
            const std::vector<int32_t> pairs = pairsFor(0, extent, m);
            ASSERT_FALSE(pairs.empty());
            EXPECT_EQ(std::vector<int32_t>({pairs.front(), static_cast<int32_t>(pairs.size())}),
                      across ? c.columns : c.rows)
                << c.dpi;
            // Centred: after the last pair as much space as before the first, or one more.
            const int32_t after = extent - (pairs.back() + 2 * m.lineWidth);
            EXPECT_GE(after - pairs.front(), 0) << c.dpi;
            EXPECT_LE(after - pairs.front(), 1) << c.dpi;
        }
    }
    // The logo stays centred on the extents of the scaled font.
    const LogoPlacement worked = logoPlacement(549, 225, 225, 104, 143);
    EXPECT_EQ(worked.x, 90);
    EXPECT_EQ(worked.y, 60);
    EXPECT_EQ(worked.secondX, 315);
}

}  // namespace
