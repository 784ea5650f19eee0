// Popup menu geometry with a fake text measurer: level size and rows, placement of the root and of
// submenus on a work area, and stepping the highlight through selectable rows.
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

// A menu from a pattern: 's' selectable, 'd' disabled, '-' separator, 'h' header, '>' a submenu row.
std::vector<MenuItem> Menu(std::string_view pattern) {
    std::vector<MenuItem> items;
    for (char c : pattern) {
        MenuItem m;
        m.id = static_cast<uint32_t>(items.size() + 1);
        m.label = L"item";
        m.enabled = c != 'd';
        m.separator = c == '-';
        m.header = c == 'h';
        if (c == '>') m.submenu = {MenuItem{}};
        items.push_back(m);
    }
    return items;
}

MenuItem Row(std::wstring label, void (*edit)(MenuItem&) = nullptr) {
    MenuItem m;
    m.label = std::move(label);
    if (edit) edit(m);
    return m;
}

TEST(PopupMenuLayout, WidthFromTheWidestColumnsWithinItsLimits) {
    struct Case {
        const char* name;
        std::vector<MenuItem> items;
        int32_t dpi;
        int32_t width;
    };
    const MenuItem longLabel = Row(std::wstring(40, L'x'));  // 280 px
    const MenuItem checked = Row(std::wstring(30, L'x'), [](MenuItem& m) { m.checked = true; });
    const MenuItem shortcut = Row(L"x", [](MenuItem& m) { m.shortcut = L"Ctrl+Shift+S"; });  // 72 px
    const MenuItem sub = Row(L"x", [](MenuItem& m) { m.submenu = {MenuItem{}}; });
    const MenuItem header =
        Row(std::wstring(50, L'h'), [](MenuItem& m) { m.header = true; });  // 300 px small
    const MenuItem separator = Row(std::wstring(200, L'x'), [](MenuItem& m) { m.separator = true; });
    const Case cases[] = {
        {"short labels take the minimum", {Row(L"a")}, 96, 200},
        {"label + 12 + indent 12 + padding", {longLabel}, 96, 280 + 12 + 12 + 8},
        {"an icon column indents by 40", {longLabel, checked}, 96, 280 + 12 + 40 + 8},
        {"shortcut and submenu columns", {longLabel, shortcut, sub}, 96, 280 + 12 + 12 + 28 + 72 + 28 + 8},
        {"headers are measured in the small font", {header}, 96, 300 + 12 + 12 + 8},
        {"separators are not measured", {separator}, 96, 200},
        {"at most 520 DIP", {Row(std::wstring(100, L'x'))}, 96, 520},
        {"at most 520 DIP, scaled", {Row(std::wstring(200, L'x'))}, 144, 780},
        {"DIP columns scaled", {longLabel, checked}, 144, 280 + 18 + 60 + 12},
    };
    for (const Case& c : cases) {
        const MenuLayout l = LayoutMenu(c.items, c.dpi, FakeMeasure());
        EXPECT_EQ(l.width, c.width) << c.name;
    }
}

TEST(PopupMenuLayout, RowsStackByKindInsideThePadding) {
    for (int32_t dpi : {96, 120, 144, 192}) {
        const std::vector<MenuItem> items = Menu("sh-d>s-s");
        const MenuLayout l = LayoutMenu(items, dpi, FakeMeasure());
        ASSERT_EQ(l.rows.size(), items.size());
        const int32_t pad = Scale(4, dpi);
        int32_t y = pad;
        for (size_t i = 0; i < items.size(); ++i) {
            const int32_t h = Scale(items[i].separator ? 9 : items[i].header ? 28 : 32, dpi);
            EXPECT_EQ(l.rows[i], (PopupRect{pad, y, l.width - pad, y + h})) << dpi << " row " << i;
            y += h;
        }
        EXPECT_EQ(l.height, y + pad);
        EXPECT_EQ(LayoutMenu({}, dpi, FakeMeasure()).height, 2 * pad);
    }
}

TEST(PopupMenuLayout, SteppingVisitsOnlySelectableRowsAndWraps) {
    EXPECT_EQ(StepSelectable(Menu("d-hd"), -1, true), -1);  // nothing selectable: nothing hot
    EXPECT_EQ(StepSelectable(Menu("d-hd"), 0, false), -1);
    EXPECT_EQ(StepSelectable(Menu(""), -1, true), -1);
    EXPECT_EQ(StepSelectable(Menu("sds"), 9, true), 0);  // an out-of-range start counts as none
    EXPECT_EQ(FirstSelectable(Menu("-hds>")), 3);
    EXPECT_EQ(LastSelectable(Menu("s>d-h")), 1);

    // Against a plain model: the step lands on a selectable row with none skipped on the way.
    std::mt19937 random(7);
    for (int round = 0; round < 2000; ++round) {
        std::string pattern(1 + random() % 8, 's');
        for (char& ch : pattern)
            ch = "sd-h>"[random() % 5];
        const std::vector<MenuItem> items = Menu(pattern);
        const auto n = static_cast<int32_t>(items.size());
        const int32_t from = static_cast<int32_t>(random() % (n + 1)) - 1;
        const bool forward = random() % 2 == 0;
        const int32_t got = StepSelectable(items, from, forward);
        int32_t model = -1;
        for (int32_t k = 1; k <= n && model < 0; ++k) {
            const int32_t start = from < 0 ? (forward ? -1 : n) : from;
            const int32_t i = ((forward ? start + k : start - k) % n + n) % n;
            if (IsSelectable(items[static_cast<size_t>(i)])) model = i;
        }
        ASSERT_EQ(got, model) << pattern << " from " << from << (forward ? " down" : " up");
    }
}

TEST(PopupMenuLayout, PlacementStaysOnTheWorkArea) {
    const PopupRect work{0, 0, 1280, 1000};
    const PopupRect second{1280, -200, 2560, 824};  // a monitor to the right, higher up
    const PopupSize size{300, 200};
    struct Case {
        const char* name;
        PopupPoint anchor;
        uint32_t flags;
        PopupRect work;
        PopupSize size;
        PopupPoint expected;
    };
    const Case cases[] = {
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
    for (const Case& c : cases) {
        const PopupPoint at = PlaceRootMenu(c.anchor, c.flags, c.size, c.work);
        EXPECT_EQ(at, c.expected) << c.name;
        if (c.size.height <= c.work.Height()) {
            EXPECT_TRUE(c.work.Contains(at.x, at.y) && at.x + c.size.width <= c.work.right &&
                        at.y + c.size.height <= c.work.bottom)
                << c.name;
        }
    }
}

TEST(PopupMenuLayout, SubmenuOpensRightOrLeftOfItsRow) {
    const PopupRect work{0, 0, 1280, 1000};
    const PopupSize size{250, 300};
    const PopupRect row{104, 304, 396, 336};  // a row of a 300-wide menu at (100, 300)
    EXPECT_EQ(PlaceSubmenu(row, size, work, 96), (PopupPoint{398, 300}));
    const PopupRect nearRight = row.Offset(800, 0);  // the menu ends at 1200
    EXPECT_EQ(PlaceSubmenu(nearRight, size, work, 96), (PopupPoint{900 + 2 - 250, 300}));
    EXPECT_EQ(PlaceSubmenu(row.Offset(0, 650), size, work, 96),
              (PopupPoint{398, 700}));  // kept above the bottom
    EXPECT_EQ(PlaceSubmenu(row, PopupSize{1200, 300}, work, 96), (PopupPoint{0, 300}));
    EXPECT_EQ(PlaceSubmenu(row, size, work, 192), (PopupPoint{400, 296}));
}

}  // namespace
}  // namespace lumen::ui
