// Popup menu geometry with a fake text measurer: level width and rows, stepping the highlight against
// a plain model, and placement of the root and of submenus on a work area.
#include "ui/popup_menu_layout.h"

#include <gtest/gtest.h>

#include <random>
#include <string>

#include "app/theme.h"

namespace lumen::ui {
namespace {

// Labels 7 px per character, the small font 6 px, at any DPI.
class FakeMeasure : public MenuTextMeasure {
public:
    int32_t LabelWidth(std::wstring_view t) const override { return 7 * static_cast<int32_t>(t.size()); }
    int32_t SmallWidth(std::wstring_view t) const override { return 6 * static_cast<int32_t>(t.size()); }
};

// A menu from a pattern: 's' selectable, 'd' disabled, '-' separator, 'h' header, '>' a submenu row,
// 'c' checked, 'k' with the shortcut "Ctrl+Shift+S" (72 px); every label `length` characters.
std::vector<MenuItem> Menu(std::string_view pattern, size_t length = 4) {
    std::vector<MenuItem> items;
    for (char c : pattern) {
        MenuItem m;
        m.id = static_cast<uint32_t>(items.size() + 1);
        m.label.assign(length, L'x');
        m.enabled = c != 'd', m.separator = c == '-', m.header = c == 'h', m.checked = c == 'c';
        if (c == 'k') m.shortcut = L"Ctrl+Shift+S";
        if (c == '>') m.submenu = {MenuItem{}};
        items.push_back(m);
    }
    return items;
}

TEST(PopupMenuLayout, WidthFromTheWidestColumnsRowsByKind) {
    const struct {
        const char* name;
        const char* pattern;
        size_t length;
        int32_t dpi, width;
    } cases[] = {
        {"short labels take the minimum", "s", 4, 96, 200},
        {"label + 12 + indent 12 + padding", "s", 40, 96, 280 + 12 + 12 + 8},
        {"an icon column indents by 40", "sc", 40, 96, 280 + 12 + 40 + 8},
        {"shortcut and submenu columns", "sk>", 40, 96, 280 + 12 + 12 + 28 + 72 + 28 + 8},
        {"headers are measured in the small font", "h", 50, 96, 300 + 12 + 12 + 8},
        {"separators are not measured", "-", 200, 96, 200},
        {"at most 520 DIP", "s", 100, 96, 520},
        {"at most 520 DIP, scaled", "s", 200, 144, 780},
        {"DIP columns scaled", "sc", 40, 144, 280 + 18 + 60 + 12},
        {"every kind of row", "sh-d>s-sk", 4, 120, 250},
        {"every kind of row, scaled", "sh-d>s-sk", 4, 192, 400},
    };
    for (const auto& c : cases) {
        const std::vector<MenuItem> items = Menu(c.pattern, c.length);
        const MenuLayout l = LayoutMenu(items, c.dpi, FakeMeasure());
        EXPECT_EQ(l.width, c.width) << c.name;
        ASSERT_EQ(l.rows.size(), items.size());
        const int32_t pad = Scale(4, c.dpi);
        int32_t y = pad;
        for (size_t i = 0; i < items.size(); ++i) {
            const int32_t h = Scale(items[i].separator ? 9 : items[i].header ? 28 : 32, c.dpi);
            EXPECT_EQ(l.rows[i], (PopupRect{pad, y, l.width - pad, y + h})) << c.name << " row " << i;
            y += h;
        }
        EXPECT_EQ(l.height, y + pad) << c.name;
    }
}

TEST(PopupMenuLayout, SteppingVisitsOnlySelectableRowsAndWraps) {
    EXPECT_EQ(StepSelectable(Menu(""), -1, true), -1);
    EXPECT_EQ(StepSelectable(Menu("sds"), 9, true), 0);  // an out-of-range start counts as none
    // Against a plain model: the step lands on a selectable row with none skipped on the way; from
    // no row, Down starts at the first and Up at the last; nothing selectable gives -1.
    std::mt19937 random(7);
    for (int round = 0; round < 2000; ++round) {
        std::string pattern(1 + random() % 8, 's');
        for (char& ch : pattern)
            ch = "sd-h>"[random() % 5];
        const std::vector<MenuItem> items = Menu(pattern);
        const auto n = static_cast<int32_t>(items.size());
        const int32_t from = static_cast<int32_t>(random() % (n + 1)) - 1;
        const bool forward = random() % 2 == 0;
        int32_t model = -1;
        for (int32_t k = 1; k <= n && model < 0; ++k) {
            const int32_t start = from < 0 ? (forward ? -1 : n) : from;
            const int32_t i = ((forward ? start + k : start - k) % n + n) % n;
            if (IsSelectable(items[static_cast<size_t>(i)])) model = i;
        }
        ASSERT_EQ(StepSelectable(items, from, forward), model) << pattern << " from " << from << forward;
        if (from < 0) {
            ASSERT_EQ(forward ? FirstSelectable(items) : LastSelectable(items), model) << pattern;
        }
    }
}

TEST(PopupMenuLayout, PlacementStaysOnTheWorkArea) {
    const PopupRect work{0, 0, 1280, 1000}, second{1280, -200, 2560, 824};  // a monitor right, higher up
    const PopupSize size{300, 200};
    const struct {
        const char* name;
        PopupPoint anchor;
        uint32_t flags;
        PopupRect work;
        PopupSize size;
        PopupPoint expected;
    } cases[] = {
        {"fits", {100, 100}, 0, work, size, {100, 100}},
        {"anchored by its right edge", {500, 100}, kMenuAnchorRight, work, size, {200, 100}},
        {"anchored by its bottom edge", {500, 600}, kMenuAnchorBottom, work, size, {500, 400}},
        {"bottom-right corner: left and up", {1270, 990}, 0, work, size, {980, 790}},
        {"bottom edge anchor below the area", {100, 1100}, kMenuAnchorBottom, work, size, {100, 800}},
        {"opens upwards, never above the area", {100, 900}, 0, work, PopupSize{300, 950}, {100, 0}},
        {"taller than the area", {100, 100}, 0, work, PopupSize{300, 1200}, {100, 0}},
        {"right anchor off the left edge", {100, 100}, kMenuAnchorRight, work, size, {0, 100}},
        {"second monitor", {2500, 800}, 0, second, size, {2260, 600}},
    };
    for (const auto& c : cases) {
        const PopupPoint at = PlaceRootMenu(c.anchor, c.flags, c.size, c.work);
        EXPECT_EQ(at, c.expected) << c.name;
        if (c.size.height <= c.work.Height()) {
            EXPECT_TRUE(c.work.Contains(at.x, at.y) && at.x + c.size.width <= c.work.right &&
                        at.y + c.size.height <= c.work.bottom)
                << c.name;
        }
    }
    // Submenus: right of the row overlapping by 2 DIP, the first row level with it; left when the
    // right does not fit; then kept inside.
    const PopupRect row{104, 304, 396, 336};  // a row of a 300-wide menu at (100, 300)
    const PopupSize sub{250, 300};
    EXPECT_EQ(PlaceSubmenu(row, sub, work, 96), (PopupPoint{398, 300}));
    EXPECT_EQ(PlaceSubmenu(row.Offset(800, 0), sub, work, 96), (PopupPoint{900 + 2 - 250, 300}));
    EXPECT_EQ(PlaceSubmenu(row.Offset(0, 650), sub, work, 96), (PopupPoint{398, 700}));
    EXPECT_EQ(PlaceSubmenu(row, PopupSize{1200, 300}, work, 96), (PopupPoint{0, 300}));
    EXPECT_EQ(PlaceSubmenu(row, sub, work, 192), (PopupPoint{400, 296}));
}

}  // namespace
}  // namespace lumen::ui
