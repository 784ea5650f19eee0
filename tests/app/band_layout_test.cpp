// Band geometry: the common sizes, every pixel's hit against the layout's own rectangles at 96 and
// 144 DPI, scrolling the active tab into view, dragging and the wheel.
#include "app/band_layout.h"

#include <gtest/gtest.h>

#ifdef _WIN32
#include <windows.h>
#endif

namespace lumen {
namespace {

TEST(BandLayout, MulDivRoundsHalvesAwayFromZero) {
    // clang-format off
    const int32_t cases[][4] = {{40, 144, 96, 60}, {3, 1, 2, 2}, {-3, 1, 2, -2}, {3, 1, -2, -2}, {-3, -1, -2, -2},
                                {-2, 1, 3, -1}, {2, 1, 3, 1}, {1, 1, 0, -1}, {INT32_MAX, 2, 1, -1},
                                {INT32_MAX, 2, 2, INT32_MAX}, {-80, 120, 120, -80}};
    // clang-format on
    for (const auto& c : cases) {
        EXPECT_EQ(MulDivRound(c[0], c[1], c[2]), c[3]) << c[0] << " " << c[1] << " " << c[2];
#ifdef _WIN32
        EXPECT_EQ(MulDivRound(c[0], c[1], c[2]), MulDiv(c[0], c[1], c[2]))
            << c[0] << " " << c[1] << " " << c[2];
#endif
    }
}

BandLayout Layout(int32_t width, int32_t dpi, int32_t tabs, int32_t pinned = 0, int32_t scroll = 0) {
    return LayoutBands({width, 700, dpi, tabs, pinned, false, scroll, {60, 40, 35, 70, 50, 55}});
}

TEST(BandLayout, TabWidthsButtonsAndStatusFields) {
    BandLayout l = Layout(1000, 96, 30);
    EXPECT_EQ(l.tabWidth, 100);
    EXPECT_EQ(l.overflow, 30 * 100 - (1000 - 138 - 44 - 38 - 76 - 40));
    EXPECT_EQ(l.newTab.left, l.tabRight + 4) << "with overflow the new-tab button ends the area";
    EXPECT_EQ(Layout(1000, 96, 30, 0, 99999).scroll, l.overflow);
    l = Layout(1920, 96, 2);
    EXPECT_EQ(l.tabWidth, 220);
    EXPECT_EQ(l.newTab, (BandRect{484, 9, 516, 39})) << "the new-tab button follows the last tab";
    EXPECT_TRUE(Layout(1920, 96, 1).openTabs.Empty());
    l = Layout(1500, 144, 3);
    EXPECT_EQ(l.close, (BandRect{1431, 0, 1500, 60}));
    EXPECT_EQ(l.menu.top, 13);
    EXPECT_EQ(l.tabWidth, 330);
    EXPECT_EQ(l.editor, (BandRect{0, 69, 1500, 655}));
    // From the left position and count, from the right encoding, line breaks, zoom and the autosave
    // indicator, 2 px apart; fields are their text plus 20 px, the indicator plus 30 px.
    l = Layout(1000, 96, 1);
    EXPECT_EQ(l.position, (BandRect{8, 674, 88, 697}));
    EXPECT_EQ(l.count.left, 90);
    EXPECT_EQ(l.encoding, (BandRect{920, 674, 990, 697}));
    EXPECT_EQ(l.eol.right, 918);
    EXPECT_EQ(l.autosave, (BandRect{l.zoom.left - 87, 674, l.zoom.left - 2, 697}));
    EXPECT_EQ(l.message, (BandRect{l.count.right + 12, 674, l.autosave.left - 12, 697}));
    l = LayoutBands({1000, 700, 96, 3, 0, true, 0, {}});
    for (const BandRect& r : {l.titleBand, l.statusBand, l.close, l.menu, l.newTab, l.position, l.encoding})
        EXPECT_TRUE(r.Empty()) << "focus mode";
    EXPECT_EQ(l.editor, (BandRect{0, 28, 1000, 700}));
}

// What a point is over, found by searching the layout's rectangles in drawing order: the tab whose
// visible part holds it (pinned tabs cover scrolled ones; the area clips).
HitPart Reference(const BandLayout& l, int32_t x, int32_t y) {
    const std::pair<BandRect, int32_t> rects[] = {
        {l.close, 8},    {l.maximize, 7}, {l.minimize, 6}, {l.menu, 5}, {l.openTabs, 4}, {l.newTab, 3},
        {l.position, 9}, {l.count, 10},   {l.zoom, 11},    {l.eol, 12}, {l.encoding, 13}};
    for (const auto& [rect, part] : rects)
        if ((part <= 8 ? l.titleBand : l.statusBand).Contains(x, y) && rect.Contains(x, y)) return {part, -1};
    for (int32_t i = 0; i < l.tabCount && l.titleBand.Contains(x, y); ++i) {
        BandRect visible = TabRect(l, i);
        visible.left =
            std::max(visible.left, l.tabLeft + (i < l.pinnedCount ? 0 : l.pinnedCount * l.tabWidth));
        visible.right = std::min(visible.right, l.tabRight);
        if (visible.Contains(x, y))
            return {i >= l.pinnedCount && TabCloseBox(l, i).Contains(x, y) ? kHitTabClose : kHitTab, i};
    }
    return {};
}

TEST(BandLayout, EveryPixelHitsWhatTheLayoutDraws) {
    for (const BandLayout& l :
         {Layout(1000, 96, 30, 3, 250), Layout(1000, 96, 30, 0, 37), Layout(1300, 96, 4, 1),
          Layout(1000, 144, 12, 2, 333), Layout(700, 144, 1), Layout(420, 96, 2)}) {
        int32_t tabsHit = 0;
        for (int32_t y = -1; y <= l.height; y = y == l.titleBand.bottom + 1 ? l.statusBand.top - 1 : y + 1) {
            for (int32_t x = -1; x <= l.width; ++x) {
                const HitPart hit = HitTest(l, x, y);
                ASSERT_EQ(hit, Reference(l, x, y))
                    << x << "," << y << " dpi " << l.dpi << " tabs " << l.tabCount;
                tabsHit += hit.part == kHitTab || hit.part == kHitTabClose;
            }
        }
        EXPECT_GT(tabsHit, 0);
    }
}

TEST(BandLayout, ActiveTabScrollsIntoViewAndPinnedTabsStay) {
    for (int32_t dpi : {96, 144}) {
        for (int32_t a = 0, P = 2; a < 30; ++a) {
            for (int32_t scroll : {0, 777, 5000}) {
                const BandLayout before = Layout(1000, dpi, 30, P, scroll);
                const BandLayout after = Layout(1000, dpi, 30, P, EnsureActiveVisible(before, a));
                const BandRect was = TabRect(before, a), now = TabRect(after, a);
                const int32_t from = after.tabLeft + (a < P ? 0 : P * after.tabWidth),
                              to = after.tabLeft + after.available;
                EXPECT_TRUE(now.left >= from && now.right <= to) << a << " " << scroll;
                if (was.left >= from && was.right <= to) {
                    EXPECT_EQ(after.scroll, before.scroll) << "already in view";
                }
            }
        }
    }
}

TEST(BandLayout, DragStaysInTheGroupAndWheelScrollsOrSwitches) {
    const BandLayout l = Layout(1000, 96, 30, 3), few = Layout(1600, 96, 3);
    EXPECT_EQ(DragTarget(l, TabRect(l, 5).left + 1, 1), 2) << "a pinned tab stops at the end of its group";
    EXPECT_EQ(DragTarget(l, TabRect(l, 0).left + 1, 6), 3);
    EXPECT_EQ(DragTarget(l, TabRect(l, 4).left + 1, 6), 4);
    EXPECT_EQ(DragTarget(l, -500, 1), 0);
    EXPECT_FALSE(DragThresholdPassed(l, 105, 100));
    EXPECT_TRUE(DragThresholdPassed(l, 94, 100));
    // 80 px per notch of 120 (scaled; half notches too); off the tab area or without overflow the
    // wheel activates the next tab towards the user, the previous one away, without wrapping.
    // clang-format off
    const struct { const BandLayout& layout; int32_t x, delta, active, scroll, activate; } wheels[] = {
        {l, 540, -120, 4, 80, -1}, {l, 540, -240, 4, 160, -1}, {l, 540, 120, 4, 0, -1},
        {Layout(1000, 144, 30, 0, 200), 200, 60, 0, 140, -1}, {few, 300, -120, 1, 0, 2},
        {few, 300, -120, 2, 0, 2}, {few, 300, 120, 0, 0, 0}, {l, 5, 120, 7, 0, 6}};
    // clang-format on
    for (const auto& w : wheels) {
        const WheelEffect effect = TitleBandWheel(w.layout, w.x, w.delta, w.active);
        EXPECT_EQ(std::make_pair(effect.scroll, effect.activate), std::make_pair(w.scroll, w.activate))
            << w.x << " " << w.delta;
    }
}

}  // namespace
}  // namespace lumen
