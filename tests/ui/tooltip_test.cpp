// Tip size and placement: padding around the measured text, clamped to the monitor horizontally,
// flipped above its anchor near the bottom.
#include "ui/tooltip_layout.h"

#include <gtest/gtest.h>

namespace lumen::ui {
namespace {

TEST(TooltipLayout, SizeAndTextArea) {
    EXPECT_EQ(TipSize(PopupSize{100, 16}, 96), (PopupSize{121, 28}));
    EXPECT_EQ(TipSize(PopupSize{100, 16}, 144), (PopupSize{131, 34}));
    EXPECT_EQ(TipTextRect(PopupSize{121, 28}, 96), (PopupRect{10, 6, 111, 22}));
    EXPECT_EQ(TipWrapWidth(96), 460);
    EXPECT_EQ(TipWrapWidth(144), 690);
}

TEST(TooltipLayout, Placement) {
    const PopupRect work{0, 0, 1280, 1000};
    const PopupRect second{-1920, 100, 0, 1180};
    const PopupSize size{121, 28};
    struct Case {
        const char* name;
        PopupPoint anchor;
        PopupRect work;
        int32_t dpi;
        PopupPoint expected;
    };
    const Case cases[] = {
        {"at the anchor", {100, 100}, work, 96, {100, 100}},
        {"pushed left at the right edge", {1250, 100}, work, 96, {1159, 100}},
        {"pushed right at the left edge", {-50, 100}, work, 96, {0, 100}},
        {"just fits above the bottom", {100, 972}, work, 96, {100, 972}},
        {"flips above by its height and 36 DIP", {100, 980}, work, 96, {100, 980 - 28 - 36}},
        {"flip scaled", {100, 980}, work, 144, {100, 980 - 28 - 54}},
        {"monitor left of the primary", {-10, 1170}, second, 96, {-121, 1170 - 28 - 36}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(PlaceTip(c.anchor, size, c.work, c.dpi), c.expected) << c.name;
}

}  // namespace
}  // namespace lumen::ui
