// The tip as a real window: it appears where the placement rule puts its measured size (flipped above
// near the bottom), is reused and hidden, lets the mouse through, paints in the palette in light and
// dark mode, and ends with its owner.
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

TEST(TooltipWindow, ShowsWhereThePlacementSaysPaintsAndHides) {
    const int32_t right = GetSystemMetrics(SM_CXSCREEN), bottom = GetSystemMetrics(SM_CYSCREEN);
    for (int32_t theme : {kThemeLight, kThemeDark}) {
        const Palette palette = ResolvePalette(theme, 0, DesktopTheme{}).palette;
        auto owner = std::make_unique<test::OwnerWindow>(0, 0, 640, 480);
        TipWindow tip;
        ShowTip(tip, owner->hwnd(), L"탭 고정", POINT{200, 200}, palette, 96);
        const HWND first = tip.window;
        const std::wstring text(200, L'가');  // wraps onto several lines
        ShowTip(tip, owner->hwnd(), text, POINT{300, bottom - 10}, palette, 144);
        ASSERT_NE(tip.window, nullptr);
        EXPECT_EQ(tip.window, first) << "one window, reused";
        EXPECT_TRUE(IsWindowVisible(tip.window));
        const PopupFont font(kUiFontFace, 12, 144);
        const PopupSize size = TipSize(TextMeter().Wrapped(text, font.get(), TipWrapWidth(144)), 144);
        EXPECT_GT(size.height, 2 * TipSize(TextMeter().Wrapped(L"가", font.get(), 999), 144).height - 36);
        const PopupPoint at =
            PlaceTip(PopupPoint{300, bottom - 10}, size, PopupRect{0, 0, right, bottom}, 144);
        const RECT r = test::WindowRect(tip.window);
        EXPECT_EQ((PopupRect{r.left, r.top, r.right, r.bottom}),
                  (PopupRect{at.x, at.y, at.x + size.width, at.y + size.height}));
        EXPECT_NE(WindowFromPoint(POINT{(r.left + r.right) / 2, (r.top + r.bottom) / 2}), tip.window)
            << "click-through";
        EXPECT_NE(GetActiveWindow(), tip.window);

        UpdateWindow(tip.window);
        EXPECT_EQ(test::WindowPixel(tip.window, 2, 2), palette.surface) << theme;
        EXPECT_EQ(test::WindowPixel(tip.window, 0, 5),
                  IsWindows11() ? palette.surface : palette.surfaceBorder);
        int32_t ink = 0;
        for (int32_t x = 15; x < 60; ++x)
            ink += test::WindowPixel(tip.window, x, 20) != palette.surface;
        EXPECT_GT(ink, 3) << theme << ": the text is drawn";

        HideTip(tip);
        EXPECT_FALSE(IsWindowVisible(tip.window));
        owner.reset();  // destroys the tip with it
        EXPECT_EQ(tip.window, nullptr);
    }
}

}  // namespace
}  // namespace lumen::ui
