// Band geometry: the sizes of the common cases, every pixel's hit against the layout's own
// rectangles at 96 and 144 DPI, scrolling the active tab into view, dragging and the wheel.
#include "app/band_layout.h"

#include <gtest/gtest.h>

#ifdef _WIN32
#include <windows.h>
#endif

namespace lumen {
namespace {

TEST(BandLayout, MulDivRoundsHalvesAwayFromZero) {
    struct Case {
        int32_t a, b, c, expected;
    } cases[] = {
        {40, 144, 96, 60},
        {3, 1, 2, 2},
        {-3, 1, 2, -2},
        {3, -1, 2, -2},
        {3, 1, -2, -2},
        {-3, -1, -2, -2},
        {1, 1, 3, 0},
        {2, 1, 3, 1},
        {-2, 1, 3, -1},
        {7, 120, 96, 9},
        {1, 1, 0, -1},
        {INT32_MAX, 2, 1, -1},
        {INT32_MAX, 2, 2, INT32_MAX},
        {-80, 120, 120, -80},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(MulDivRound(c.a, c.b, c.c), c.expected) << c.a << " " << c.b << " " << c.c;
#ifdef _WIN32
        EXPECT_EQ(MulDivRound(c.a, c.b, c.c), MulDiv(c.a, c.b, c.c)) << c.a << " " << c.b << " " << c.c;
#endif
    }
}

BandInput Input(int32_t width, int32_t dpi, int32_t tabs, int32_t pinned = 0, int32_t scroll = 0) {
    BandInput in;
    in.width = width;
    in.height = 700;
    in.dpi = dpi;
    in.tabCount = tabs;
    in.pinnedCount = pinned;
    in.scroll = scroll;
    in.status = {60, 40, 35, 70, 50, 55};
    return in;
}

TEST(BandLayout, TabWidthsOverflowAndButtons) {
    BandLayout l = LayoutBands(Input(1000, 96, 30));
    EXPECT_EQ(l.tabWidth, 100);
    EXPECT_EQ(l.tabRight, 1000 - 138 - 44 - 38 - 76);
    EXPECT_EQ(l.overflow, 30 * 100 - (l.tabRight - 40));
    EXPECT_EQ(l.newTab.left, l.tabRight + 4) << "with overflow the new-tab button stands at the area's end";
    EXPECT_EQ(LayoutBands(Input(1000, 96, 30, 0, 99999)).scroll, l.overflow);

    l = LayoutBands(Input(1920, 96, 2));
    EXPECT_EQ(l.tabWidth, 220);
    EXPECT_EQ(l.newTab.left, TabRect(l, 1).right + 4) << "the new-tab button follows the last tab";
    EXPECT_EQ(l.newTab, (BandRect{484, 9, 516, 39}));
    EXPECT_TRUE(LayoutBands(Input(1920, 96, 1)).openTabs.Empty());

    l = LayoutBands(Input(1500, 144, 3));
    EXPECT_EQ(l.titleBand.bottom, 60);
    EXPECT_EQ(l.close, (BandRect{1431, 0, 1500, 60}));
    EXPECT_EQ(l.menu.top, 13);
    EXPECT_EQ(l.tabWidth, 330);

    // Status fields: position and count from the left, encoding, line breaks, zoom and the autosave
    // indicator from the right, 2 px apart, each its text plus 20 px (the indicator plus 30 px).
    l = LayoutBands(Input(1000, 96, 1));
    EXPECT_EQ(l.position, (BandRect{8, 674, 88, 697}));
    EXPECT_EQ(l.count.left, 90);
    EXPECT_EQ(l.encoding, (BandRect{920, 674, 990, 697}));
    EXPECT_EQ(l.eol.right, 918);
    EXPECT_EQ(l.zoom.right, l.eol.left - 2);
    EXPECT_EQ(l.autosave, (BandRect{l.zoom.left - 2 - 85, 674, l.zoom.left - 2, 697}));
    EXPECT_EQ(l.message.left, l.count.right + 12);
    EXPECT_EQ(l.message.right, l.autosave.left - 12);

    BandInput focus = Input(1000, 96, 3);
    focus.focusMode = true;
    l = LayoutBands(focus);
    for (const BandRect& r : {l.titleBand, l.statusBand, l.close, l.menu, l.newTab, l.position, l.encoding})
        EXPECT_TRUE(r.Empty());
}

// What a point is over, found by searching the layout's rectangles in drawing order: the tab whose
// visible part holds it (pinned tabs cover scrolled ones; the area clips), else nothing.
HitPart Reference(const BandLayout& l, int32_t x, int32_t y) {
    if (l.titleBand.Contains(x, y)) {
        const std::pair<BandRect, int32_t> buttons[] = {{l.close, 8}, {l.maximize, 7}, {l.minimize, 6},
                                                        {l.menu, 5},  {l.openTabs, 4}, {l.newTab, 3}};
        for (const auto& [rect, part] : buttons)
            if (rect.Contains(x, y)) return {part, -1};
        for (int32_t i = 0; i < l.tabCount; ++i) {
            BandRect visible = TabRect(l, i);
            visible.left =
                std::max(visible.left, l.tabLeft + (i < l.pinnedCount ? 0 : l.pinnedCount * l.tabWidth));
            visible.right = std::min(visible.right, l.tabRight);
            if (!visible.Contains(x, y)) continue;
            const bool onClose = i >= l.pinnedCount && TabCloseBox(l, i).Contains(x, y);
            return {onClose ? kHitTabClose : kHitTab, i};
        }
        return {};
    }
    const std::pair<BandRect, int32_t> fields[] = {
        {l.position, 9}, {l.count, 10}, {l.zoom, 11}, {l.eol, 12}, {l.encoding, 13}};
    for (const auto& [rect, part] : fields)
        if (l.statusBand.Contains(x, y) && rect.Contains(x, y)) return {part, -1};
    return {};
}

TEST(BandLayout, EveryPixelHitsWhatTheLayoutDraws) {
    const BandInput inputs[] = {Input(1000, 96, 30, 3, 250), Input(1000, 96, 30, 0, 37),
                                Input(1300, 96, 4, 1),       Input(1000, 144, 12, 2, 333),
                                Input(700, 144, 1),          Input(420, 96, 2)};
    for (const BandInput& in : inputs) {
        const BandLayout l = LayoutBands(in);
        int32_t tabsHit = 0;
        for (int32_t y = -1; y <= in.height; ++y) {
            if (y == l.titleBand.bottom + 2) y = l.statusBand.top - 2;  // skip the editor band
            for (int32_t x = -1; x <= in.width; ++x) {
                const HitPart hit = HitTest(l, x, y);
                ASSERT_EQ(hit, Reference(l, x, y))
                    << x << "," << y << " dpi " << in.dpi << " tabs " << in.tabCount;
                tabsHit += hit.part == kHitTab || hit.part == kHitTabClose;
            }
        }
        EXPECT_GT(tabsHit, 0);
    }
}

TEST(BandLayout, ActiveTabScrollsIntoViewAndPinnedTabsStay) {
    for (int32_t dpi : {96, 144}) {
        const int32_t P = 2;
        for (int32_t a = 0; a < 30; ++a) {
            for (int32_t scroll : {0, 777, 5000}) {
                const BandLayout before = LayoutBands(Input(1000, dpi, 30, P, scroll));
                const BandLayout after = LayoutBands(Input(1000, dpi, 30, P, EnsureActiveVisible(before, a)));
                const BandRect tab = TabRect(after, a);
                if (a < P) {
                    EXPECT_EQ(after.scroll, before.scroll);
                    EXPECT_EQ(tab.left, after.tabLeft + a * after.tabWidth);
                    continue;
                }
                EXPECT_GE(tab.left, after.tabLeft + P * after.tabWidth) << a << " " << scroll;
                EXPECT_LE(tab.right, after.tabLeft + after.available) << a << " " << scroll;
                const BandRect was = TabRect(before, a);
                if (was.left >= before.tabLeft + P * before.tabWidth &&
                    was.right <= before.tabLeft + before.available) {
                    EXPECT_EQ(after.scroll, before.scroll) << "a tab in view does not scroll";
                }
            }
        }
    }
}

TEST(BandLayout, DragStaysInTheGroupAndWheelScrollsOrSwitches) {
    const BandLayout l = LayoutBands(Input(1000, 96, 30, 3));
    EXPECT_EQ(DragTarget(l, TabRect(l, 5).left + 1, 1), 2) << "a pinned tab stops at the end of its group";
    EXPECT_EQ(DragTarget(l, TabRect(l, 0).left + 1, 6), 3);
    EXPECT_EQ(DragTarget(l, TabRect(l, 4).left + 1, 6), 4);
    EXPECT_EQ(DragTarget(l, -500, 1), 0);
    EXPECT_FALSE(DragThresholdPassed(l, 105, 100));
    EXPECT_TRUE(DragThresholdPassed(l, 94, 100));

    const int32_t inArea = l.tabLeft + 500;
    EXPECT_EQ(TitleBandWheel(l, inArea, -120, 4).scroll, 80);
    EXPECT_EQ(TitleBandWheel(l, inArea, -240, 4).scroll, 160);
    EXPECT_EQ(TitleBandWheel(l, inArea, 120, 4).scroll, 0);
    EXPECT_EQ(TitleBandWheel(l, inArea, -120, 4).activate, -1);
    EXPECT_EQ(TitleBandWheel(LayoutBands(Input(1000, 144, 30, 0, 100)), 200, 120, 0).scroll, 0);
    EXPECT_EQ(TitleBandWheel(LayoutBands(Input(1000, 144, 30, 0, 200)), 200, 60, 0).scroll, 140);

    const BandLayout few = LayoutBands(Input(1600, 96, 3));
    EXPECT_EQ(TitleBandWheel(few, 300, -120, 1).activate, 2) << "towards the user: the next tab";
    EXPECT_EQ(TitleBandWheel(few, 300, -120, 2).activate, 2) << "no wrap-around";
    EXPECT_EQ(TitleBandWheel(few, 300, 120, 0).activate, 0);
    EXPECT_EQ(TitleBandWheel(l, 5, 120, 7).activate, 6) << "outside the tab area the wheel switches tabs";
    EXPECT_EQ(TitleBandWheel(LayoutBands(Input(1600, 96, 0)), 300, 120, -1).activate, -1);
}

}  // namespace
}  // namespace lumen
