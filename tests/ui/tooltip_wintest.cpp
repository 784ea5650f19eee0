// The tip as a real window: where it appears for anchors in the open, near the right edge and near
// the bottom, wrapping of long text, hiding and reuse, the mouse falling through it, its colours in
// light and dark mode, and its end with the owner.
#include <windows.h>

#include <gtest/gtest.h>

#include <memory>

#include "app/theme.h"
#include "ui/popup_script.h"
#include "ui/popup_window_win.h"
#include "ui/tooltip.h"
#include "ui/tooltip_layout.h"

namespace lumen::ui {
namespace {

PopupSize Expected(std::wstring_view text, int32_t dpi) {
    const PopupFont font(kUiFontFace, 12, dpi);
    return TipSize(TextMeter().Wrapped(text, font.get(), TipWrapWidth(dpi)), dpi);
}

TEST(TooltipWindow, AppearsWhereThePlacementSaysAndHides) {
    test::OwnerWindow owner(0, 0, 1280, 1024);
    const Palette palette = ResolvePalette(kThemeLight, 0, DesktopTheme{}).palette;
    const int32_t right = GetSystemMetrics(SM_CXSCREEN), bottom = GetSystemMetrics(SM_CYSCREEN);
    const std::wstring longText(200, L'가');
    struct Case {
        const char* name;
        std::wstring text;
        POINT anchor;
        int32_t dpi;
    };
    const Case cases[] = {
        {"in the open", L"새 탭 (Ctrl+T)", {300, 200}, 96},
        {"pushed left at the right edge", L"인코딩: UTF-8", {right - 5, 200}, 96},
        {"flipped above near the bottom", L"줄 바꿈: CRLF", {300, bottom - 10}, 96},
        {"long text wraps", longText, {100, 300}, 96},
        {"scaled", L"확대/축소", {300, bottom - 10}, 144},
    };
    TipWindow tip;
    HWND first = nullptr;
    for (const Case& c : cases) {
        ShowTip(tip, owner.hwnd(), c.text, c.anchor, palette, c.dpi);
        ASSERT_NE(tip.window, nullptr);
        if (!first) first = tip.window;
        EXPECT_EQ(tip.window, first) << "one window, reused";
        EXPECT_TRUE(IsWindowVisible(tip.window)) << c.name;
        const PopupSize size = Expected(c.text, c.dpi);
        const PopupPoint at =
            PlaceTip(PopupPoint{c.anchor.x, c.anchor.y}, size, PopupRect{0, 0, right, bottom}, c.dpi);
        const RECT r = test::WindowRect(tip.window);
        EXPECT_EQ(r.left, at.x) << c.name;
        EXPECT_EQ(r.top, at.y) << c.name;
        EXPECT_EQ(r.right - r.left, size.width) << c.name;
        EXPECT_EQ(r.bottom - r.top, size.height) << c.name;
        EXPECT_LE(r.right, right) << c.name;
        EXPECT_LE(r.bottom, bottom) << c.name;
        // Clicks go to the window below, and the owner keeps the activation.
        EXPECT_NE(WindowFromPoint(POINT{(r.left + r.right) / 2, (r.top + r.bottom) / 2}), tip.window)
            << c.name;
        EXPECT_NE(GetActiveWindow(), tip.window);
    }
    // The long text took several lines of at most 460 DIP.
    const PopupSize longSize = Expected(longText, 96);
    const int32_t line = Expected(L"가", 96).height - 12;
    EXPECT_LE(longSize.width, 460 + 21);
    EXPECT_GE(longSize.height - 12, 2 * line);

    HideTip(tip);
    EXPECT_FALSE(IsWindowVisible(tip.window));
    HideTip(tip);  // hiding a hidden tip is harmless
    EXPECT_FALSE(IsWindowVisible(tip.window));
}

TEST(TooltipWindow, PaintsInThePaletteAndEndsWithItsOwner) {
    for (int32_t theme : {kThemeLight, kThemeDark}) {
        const Palette palette = ResolvePalette(theme, 0, DesktopTheme{}).palette;
        auto owner = std::make_unique<test::OwnerWindow>(0, 0, 640, 480);
        TipWindow tip;
        ShowTip(tip, owner->hwnd(), L"탭 고정", POINT{200, 200}, palette, 96);
        ASSERT_NE(tip.window, nullptr);
        UpdateWindow(tip.window);
        const RECT r = test::WindowRect(tip.window);
        EXPECT_EQ(test::WindowPixel(tip.window, 2, 2), palette.surface) << theme;
        EXPECT_EQ(test::WindowPixel(tip.window, (r.right - r.left) - 3, (r.bottom - r.top) / 2),
                  palette.surface);
        if (!IsWindows11()) {
            EXPECT_EQ(test::WindowPixel(tip.window, 0, 5), palette.surfaceBorder) << theme;
        }
        int32_t ink = 0;  // the text is drawn
        for (int32_t x = 10; x < r.right - r.left - 10; ++x) {
            for (int32_t y = 6; y < r.bottom - r.top - 6; ++y)
                ink += test::WindowPixel(tip.window, x, y) != palette.surface;
        }
        EXPECT_GT(ink, 5) << theme;

        owner.reset();  // destroys the tip with it
        EXPECT_EQ(tip.window, nullptr);
        EXPECT_TRUE(test::ThreadWindows(L"Lumenpad.Tip").empty());
    }
}

}  // namespace
}  // namespace lumen::ui
