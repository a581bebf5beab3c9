// The splash window in this process, on the real display: its place, its frame, the pixels of its
// grid and logo read back from the screen, and its status line.
#include <gtest/gtest.h>

#include <malloc.h>
#include <string.h>

#include <algorithm>
#include <string>

#include "launch/post_status.h"
#include "startup/launcher_state.h"
#include "test_support.h"
#include "ui/backdrop.h"
#include "ui/splash_layout.h"
#include "ui/splash_window.h"

using namespace testing_support;

namespace {

const COLORREF penA = RGB(192, 225, 235);
const COLORREF penB = RGB(218, 236, 242);
const COLORREF white = RGB(255, 255, 255);

bool isDark(COLORREF c) {
    return GetRValue(c) < 96 && GetGValue(c) < 96 && GetBValue(c) < 96;
}

class SplashWindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        memset(&launcherState, 0, sizeof launcherState);
        HINSTANCE instance = GetModuleHandleA(nullptr);
        registerSplashClass(instance);
        RECT area;
        SystemParametersInfoA(SPI_GETWORKAREA, 0, &area, 0);
        launcherState.workArea = {area.left, area.top, area.right, area.bottom};
        window = createSplashWindow(instance);
        ASSERT_NE(window, nullptr);
        launcherState.splashWindow = window;
        ShowWindow(window, SW_SHOWNORMAL);
        UpdateWindow(window);
        pumpMessages(300);
        GetWindowRect(window, &frame);
    }
    void TearDown() override {
        if (IsWindow(window)) DestroyWindow(window);
        pumpMessages(50);
        memset(&launcherState, 0, sizeof launcherState);
    }
    COLORREF at(int x, int y) { return screenPixel(frame.left + x, frame.top + y); }
    std::vector<COLORREF> strip() {
        const RECT area = {frame.left, frame.top + 114, frame.right, frame.bottom};
        return screenPixels(area);
    }
    // Leftmost and rightmost columns of dark pixels in the status strip; -1 when there are none.
    std::pair<int, int> darkColumns() {
        const std::vector<COLORREF> pixels = strip();
        int left = -1, right = -1;
        for (size_t i = 0; i < pixels.size(); ++i) {
            if (!isDark(pixels[i])) continue;
            const int x = static_cast<int>(i % splashWidth);
            if (left < 0 || x < left) left = x;
            if (x > right) right = x;
        }
        return {left, right};
    }

    HWND window = nullptr;
    RECT frame = {};
};

TEST_F(SplashWindowTest, StandsCentredOnTheWorkAreaWithoutFrame) {
    const ScreenPoint expected = splashPosition(launcherState.workArea, splashMetrics(designDpi));
    EXPECT_EQ(frame.left, expected.x);
    EXPECT_EQ(frame.top, expected.y);
    EXPECT_EQ(frame.right - frame.left, 366);
    EXPECT_EQ(frame.bottom - frame.top, 150);
    RECT client;
    GetClientRect(window, &client);
    EXPECT_EQ(client.left, 0);
    EXPECT_EQ(client.top, 0);
    EXPECT_EQ(client.right, 366);
    EXPECT_EQ(client.bottom, 150);
    EXPECT_TRUE(GetWindowLongPtrA(window, GWL_EXSTYLE) & WS_EX_TOOLWINDOW);
    char name[64] = "";
    GetClassNameA(window, name, sizeof name);
    EXPECT_STREQ(name, "QuarVelLauncherClass");
    // Losing and regaining activation draws no caption either.
    SendMessageA(window, WM_NCACTIVATE, FALSE, 0);
    SendMessageA(window, WM_NCACTIVATE, TRUE, 0);
    GetClientRect(window, &client);
    EXPECT_EQ(client.bottom, 150);
}

// Placed from the work area that start-up read, whatever the screen: a task bar at any edge moves
// it as the work area's size says (the work area's own left and top are not added).
TEST(SplashPlacement, FollowsTheWorkAreaNotTheScreen) {
    const struct {
        ScreenRect workArea;
        int x, y;
    } cases[] = {
        {{0, 0, 1024, 738}, 329, 294},                                  // task bar at the bottom
        {{0, 30, 1024, 768}, 329, 294},                                 // at the top
        {{100, 0, 1024, 768}, 279, 309},                                // at the left
        {{0, 0, 800, 572}, 217, 211},    {{0, 0, 319, 400}, -23, 125},  // narrower than the window
    };
    memset(&launcherState, 0, sizeof launcherState);
    HINSTANCE instance = GetModuleHandleA(nullptr);
    registerSplashClass(instance);
    for (const auto& c : cases) {
        launcherState.workArea = c.workArea;
        HWND window = createSplashWindow(instance);
        ASSERT_NE(window, nullptr);
        RECT frame;
        GetWindowRect(window, &frame);
        EXPECT_EQ(frame.left, c.x) << c.workArea.right << "x" << c.workArea.bottom;
        EXPECT_EQ(frame.top, c.y) << c.workArea.right << "x" << c.workArea.bottom;
        DestroyWindow(window);
    }
    pumpMessages(50);
    memset(&launcherState, 0, sizeof launcherState);
}

TEST_F(SplashWindowTest, GridPairsStandWhereTheArithmeticPutsThem) {
    const COLORREF background = GetSysColor(COLOR_WINDOW);
    // Rows 0 and 1 lie outside every horizontal pair, so they show the vertical lines alone.
    for (int x = 2; x <= 362; x += 18) {
        EXPECT_EQ(at(x, 0), penA) << "column " << x;
        EXPECT_EQ(at(x + 1, 0), penB) << "column " << x + 1;
        EXPECT_EQ(at(x, 149), penA) << "column " << x;
    }
    // Columns 0 and 1 show the horizontal lines alone.
    for (int y = 2; y <= 146; y += 18) {
        EXPECT_EQ(at(0, y), penA) << "row " << y;
        EXPECT_EQ(at(0, y + 1), penB) << "row " << y + 1;
        EXPECT_EQ(at(365, y), penA) << "row " << y;
    }
    // Where they cross, the horizontal pair was drawn last.
    EXPECT_EQ(at(3, 2), penA);
    EXPECT_EQ(at(2, 3), penB);
    // The free border columns and rows.
    EXPECT_EQ(at(0, 0), background);
    EXPECT_EQ(at(1, 1), background);
    EXPECT_EQ(at(364, 148), background);
    EXPECT_EQ(at(365, 149), background);
    EXPECT_EQ(at(10, 10), background);
}

TEST_F(SplashWindowTest, LogoShowsBothColoursInTheMiddle) {
    const std::vector<COLORREF> pixels = screenPixels(frame);
    int orange = 0, green = 0, orangeRight = -1, greenLeft = splashWidth;
    for (size_t i = 0; i < pixels.size(); ++i) {
        const int x = static_cast<int>(i % splashWidth);
        if (pixels[i] == RGB(225, 94, 55)) {
            ++orange;
            orangeRight = x > orangeRight ? x : orangeRight;
        }
        if (pixels[i] == RGB(0, 135, 14)) {
            ++green;
            greenLeft = x < greenLeft ? x : greenLeft;
        }
    }
    EXPECT_GT(orange, 200);
    EXPECT_GT(green, 150);
    EXPECT_LE(orangeRight, greenLeft + 4) << "Quar stands left of Vel";

    // The word as a whole stands in the middle (ink, not advance widths, so not to the pixel).
    int left = splashWidth, right = -1, top = splashHeight, bottom = -1;
    for (size_t i = 0; i < pixels.size(); ++i) {
        if (pixels[i] != RGB(225, 94, 55) && pixels[i] != RGB(0, 135, 14)) continue;
        const int x = static_cast<int>(i % splashWidth), y = static_cast<int>(i / splashWidth);
        left = std::min(left, x);
        right = std::max(right, x);
        top = std::min(top, y);
        bottom = std::max(bottom, y);
    }
    EXPECT_LE(abs(left + right - (splashWidth - 1)), 12) << left << ".." << right;
    EXPECT_LE(abs(top + bottom - (splashHeight - 1)), 24) << top << ".." << bottom;
}

TEST_F(SplashWindowTest, StatusTextsReplaceEachOtherAndNullClears) {
    EXPECT_EQ(darkColumns().first, -1) << "no status text before the first message";

    ASSERT_TRUE(postStatus("C:\\Program Files\\JavaSoft\\JRE\\1.3"));
    pumpMessages(200);
    const std::pair<int, int> wide = darkColumns();
    ASSERT_GE(wide.first, 0);
    // Centred: the ink's middle lies within a few pixels of the window's (glyph ink is not quite
    // symmetric within its advance, so not exactly).
    EXPECT_LE(abs(wide.first + wide.second - (splashWidth - 1)), 6);
    // Dark pixels only between the strip's top and 5 pixels above the bottom edge.
    const std::vector<COLORREF> pixels = strip();
    for (size_t i = 0; i < pixels.size(); ++i) {
        if (isDark(pixels[i])) {
            EXPECT_LT(static_cast<int>(i / splashWidth), 145 - 114);
        }
    }

    ASSERT_TRUE(postStatus("jview"));
    pumpMessages(200);
    const std::pair<int, int> narrow = darkColumns();
    ASSERT_GE(narrow.first, 0);
    EXPECT_GT(narrow.first, wide.first + 20) << "the earlier, wider text is gone";
    EXPECT_LE(abs(narrow.first + narrow.second - (splashWidth - 1)), 6);

    ASSERT_TRUE(postStatus(nullptr));
    pumpMessages(200);
    EXPECT_EQ(darkColumns().first, -1);
    // The strip is white, with the grid drawn again over it.
    EXPECT_EQ(at(10, 120), white);
    EXPECT_EQ(at(2, 120), penA);
    EXPECT_EQ(at(10, 128), penA);
    EXPECT_EQ(at(10, 129), penB);
}

TEST_F(SplashWindowTest, LongTextsAreCutAtBothEdgesAndRepaintsForgetTheText) {
    const std::string longText(120, 'W');
    ASSERT_TRUE(postStatus((longText + "\nsecond line").c_str()));
    pumpMessages(200);
    const std::pair<int, int> columns = darkColumns();
    EXPECT_LE(columns.first, 2);
    EXPECT_GE(columns.second, splashWidth - 3);
    // One line only: nothing dark above the status strip's text line.
    const RECT above = {frame.left, frame.top + 114, frame.right, frame.top + 125};
    for (COLORREF c : screenPixels(above)) EXPECT_FALSE(isDark(c));

    // A repaint draws the backdrop on the class background, without the text.
    RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
    pumpMessages(200);
    EXPECT_EQ(darkColumns().first, -1);
    EXPECT_EQ(at(10, 120), GetSysColor(COLOR_WINDOW));
    EXPECT_EQ(at(2, 120), penA);
}

// When the user changes the scaling, Windows suggests the window's new place; the window takes it
// and is painted anew over its whole size.
TEST_F(SplashWindowTest, TakesThePlaceSuggestedForANewDpiAndRepaints) {
    RECT suggested = {frame.left - 91, frame.top - 37, frame.left - 91 + 549, frame.top - 37 + 225};
    SendMessageA(window, 0x02E0 /* WM_DPICHANGED */, MAKEWPARAM(144, 144),
                 reinterpret_cast<LPARAM>(&suggested));
    RECT now;
    GetWindowRect(window, &now);
    EXPECT_TRUE(EqualRect(&now, &suggested))
        << now.left << "," << now.top << " " << now.right << "," << now.bottom;
    RECT invalid;
    ASSERT_TRUE(GetUpdateRect(window, &invalid, FALSE));
    EXPECT_EQ(std::vector<LONG>({invalid.left, invalid.top, invalid.right, invalid.bottom}),
              std::vector<LONG>({0, 0, 549, 225}));
    pumpMessages(300);
    EXPECT_FALSE(GetUpdateRect(window, nullptr, FALSE));
}

// Laid out for the system's DPI, then again for its monitor's where that differs (the user changed
// that monitor's scaling since signing in): here the system tells 144 and the monitor has 96.
TEST_F(SplashWindowTest, IsLaidOutAgainForItsMonitorsDpi) {
    launcherState.systemDpi = 144;
    HWND second = createSplashWindow(GetModuleHandleA(nullptr));
    ASSERT_NE(second, nullptr);
    RECT placed;
    GetWindowRect(second, &placed);
    DestroyWindow(second);
    const ScreenPoint expected = splashPosition(launcherState.workArea, splashMetrics(96));
    EXPECT_EQ(std::vector<LONG>({placed.left, placed.top, placed.right, placed.bottom}),
              std::vector<LONG>({expected.x, expected.y, expected.x + 366, expected.y + 150}));
}

TEST_F(SplashWindowTest, DestroyingTheWindowAsksToQuitWithCodeZero) {
    DestroyWindow(window);
    MSG message;
    bool quit = false;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
        if (message.message == WM_QUIT) {
            quit = true;
            EXPECT_EQ(message.wParam, 0u);
        }
    }
    EXPECT_TRUE(quit);
}

// Bytes of the C runtime heap in use: where postStatus takes its copies.
size_t heapInUse() {
    _HEAPINFO entry;
    entry._pentry = nullptr;
    size_t used = 0;
    while (_heapwalk(&entry) == _HEAPOK) {
        if (entry._useflag == _USEDENTRY) used += entry._size;
    }
    return used;
}

TEST_F(SplashWindowTest, APostToAWindowThatIsGoneFailsAndFreesItsCopy) {
    DestroyWindow(window);
    pumpMessages(0);
    const std::string text(64 * 1024, 'x');
    const size_t before = heapInUse();
    int failed = 0;
    for (int i = 0; i < 200; ++i) failed += !postStatus(text.c_str());
    EXPECT_EQ(failed, 200);
    // Leaked, the copies would hold 200 times 64 KiB.
    EXPECT_LT(heapInUse(), before + 64 * 1024) << "the copies of failed posts are freed";
}

TEST_F(SplashWindowTest, AmpersandsInAStatusTextAreShownAsTheyAre) {
    const std::string text(24, '&');  // as a mnemonic prefix, every pair would show as one
    ASSERT_TRUE(postStatus(text.c_str()));
    pumpMessages(300);
    const std::pair<int, int> columns = darkColumns();
    ASSERT_NE(columns.first, -1);
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    HFONT font =
        CreateFontA(12, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, ANSI_CHARSET, OUT_DEFAULT_PRECIS,
                    CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, FF_SWISS | DEFAULT_PITCH, nullptr);
    HGDIOBJ previous = SelectObject(memory, font);
    SIZE all = {0, 0};
    GetTextExtentPoint32A(memory, text.c_str(), static_cast<int>(text.size()), &all);
    SelectObject(memory, previous);
    DeleteObject(font);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    EXPECT_GT(columns.second - columns.first + 1, all.cx * 3 / 4)
        << "drawn " << columns.first << ".." << columns.second << ", the whole text is " << all.cx;
}

// Pens that the grid made, and which of them a test makes fail.
struct PenMaker {
    static std::vector<HPEN> made;
    static std::vector<bool> fails;  // by call, in order
    static HPEN WINAPI create(int style, int width, COLORREF colour) {
        const size_t call = made.size();
        HPEN pen = call < fails.size() && fails[call] ? nullptr : CreatePen(style, width, colour);
        made.push_back(pen);
        return pen;
    }
};
std::vector<HPEN> PenMaker::made;
std::vector<bool> PenMaker::fails;

TEST(Backdrop, KeepsTheEntryPenAndLeaksNoPenWhenOneCannotBeMade) {
    const std::vector<bool> cases[] = {{}, {true}, {false, true}, {true, true}};
    HDC screen = GetDC(nullptr);
    HDC dc = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, 366, 150);
    HGDIOBJ entryBitmap = SelectObject(dc, bitmap);
    HPEN entryPen = CreatePen(PS_SOLID, 3, RGB(1, 2, 3));
    HGDIOBJ originalPen = SelectObject(dc, entryPen);
    HPEN(WINAPI* const saved)(int, int, COLORREF) = backdropCreatePen;
    backdropCreatePen = PenMaker::create;
    for (const std::vector<bool>& fails : cases) {
        PenMaker::made.clear();
        PenMaker::fails = fails;
        const RECT r = {0, 0, 366, 150};
        drawBackdrop(dc, r, splashMetrics(designDpi));
        EXPECT_EQ(GetCurrentObject(dc, OBJ_PEN), entryPen) << fails.size() << " failing";
        EXPECT_EQ(PenMaker::made.size(), 2u);
        for (HPEN pen : PenMaker::made) {
            if (pen != nullptr) {
                EXPECT_EQ(GetObjectType(pen), 0u) << "a pen was not deleted";
            }
        }
    }
    backdropCreatePen = saved;
    SelectObject(dc, originalPen);
    DeleteObject(entryPen);
    SelectObject(dc, entryBitmap);
    DeleteObject(bitmap);
    DeleteDC(dc);
    ReleaseDC(nullptr, screen);
}

}  // namespace
