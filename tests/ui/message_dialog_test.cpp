// Message dialog geometry with a fake text measurer, its list rows, the default and cancel index
// rules, focus moves and centring.
#include "ui/message_dialog_layout.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "app/theme.h"

namespace lumen::ui {
namespace {

// Title 10 px per character in 27 px lines; body 8 px per character in 19 px lines.
class FakeMeasure : public DialogTextMeasure {
public:
    static int32_t Lines(std::wstring_view t, int32_t perChar, int32_t width) {
        return (static_cast<int32_t>(t.size()) * perChar + width - 1) / width;
    }
    int32_t TitleHeight(std::wstring_view t, int32_t width) const override {
        return 27 * Lines(t, 10, width);
    }
    int32_t BodyHeight(std::wstring_view t, int32_t width) const override { return 19 * Lines(t, 8, width); }
    int32_t BodyWidth(std::wstring_view t) const override { return 8 * static_cast<int32_t>(t.size()); }
};

TEST(MessageDialogLayout, ListShowsSixNamesAndTheCountOfTheRestFromEight) {
    for (size_t n : {0, 1, 7, 8, 9, 100}) {
        std::vector<std::wstring> names;
        for (size_t i = 0; i < n; ++i)
            names.push_back(L"file" + std::to_wstring(i));
        const std::vector<std::wstring> rows = DialogListRows(names);
        const size_t shown = n <= 7 ? n : 6;
        ASSERT_EQ(rows.size(), std::min<size_t>(n, 7)) << n;
        EXPECT_TRUE(std::equal(rows.begin(), rows.begin() + static_cast<ptrdiff_t>(shown), names.begin()))
            << n;
        if (n > 7) {
            EXPECT_EQ(rows.back(), L"외 " + std::to_wstring(n - 6) + L"개");
        }
    }
}

TEST(MessageDialogLayout, DefaultCancelAndFocusRules) {
    const struct {
        size_t buttons;
        int32_t defaultButton, cancelButton, expectedDefault, expectedCancel;
    } cases[] = {{3, 0, -1, 0, 2}, {3, 7, -5, 2, 2}, {3, -2, 1, 0, 1},
                 {3, 1, 3, 1, 2},  {1, 0, 0, 0, 0},  {0, 0, -1, -1, -1}};
    for (const auto& c : cases) {
        DialogContent content;
        content.buttons.assign(c.buttons, L"b");
        content.defaultButton = c.defaultButton, content.cancelButton = c.cancelButton;
        EXPECT_EQ(DialogDefaultIndex(content), c.expectedDefault) << c.buttons << " " << c.defaultButton;
        EXPECT_EQ(DialogCancelIndex(content), c.expectedCancel) << c.buttons << " " << c.cancelButton;
    }
    EXPECT_EQ(NextDialogButton(2, 3, false), 0);  // Tab from the last: the first
    EXPECT_EQ(NextDialogButton(0, 3, true), 2);   // Shift+Tab from the first: the last
    EXPECT_EQ(NextDialogButton(1, 3, true), 0);
    EXPECT_EQ(NextDialogButton(0, 1, true), 0);
    EXPECT_EQ(NextDialogButton(0, 0, false), -1);
}

TEST(MessageDialogLayout, TextColumnsListAndButtons) {
    DialogContent c;
    c.title = L"저장할까요?";
    c.buttons = {L"예", L"아니요"};
    DialogLayout l = LayoutDialog(c, 96, FakeMeasure());
    EXPECT_EQ(l.title, (PopupRect{24, 24, 436, 51}));
    EXPECT_TRUE(l.icon.Empty() && l.message.Empty() && l.listRects.empty());
    EXPECT_EQ(l.height, 60 + 76 + 24) << "the content is never lower than 60 DIP";
    EXPECT_EQ(DialogButtonAt(l, 300, 120), 0);
    EXPECT_EQ(DialogButtonAt(l, 335, 120), -1);  // the gap
    EXPECT_EQ(DialogButtonAt(l, 340, 137), 1);
    EXPECT_EQ(DialogButtonAt(l, 340, 138), -1);

    c.message = std::wstring(100, L'm');  // 800 px over 368: three lines
    c.items.assign(9, L"name");
    c.icon = kDialogIconWarning;
    l = LayoutDialog(c, 96, FakeMeasure());
    EXPECT_EQ(l.icon, (PopupRect{24, 24, 56, 56}));
    EXPECT_EQ(l.title, (PopupRect{68, 24, 436, 51}));
    EXPECT_EQ(l.message, (PopupRect{68, 59, 436, 59 + 57}));
    ASSERT_EQ(l.listRects.size(), 7u);
    EXPECT_TRUE(l.listOverflow);
    EXPECT_EQ(l.listRects.front(), (PopupRect{68, 128, 436, 152}));
    EXPECT_EQ(l.listRects.back().bottom, 128 + 7 * 24);
    EXPECT_EQ(l.height, 296 + 76 + 24);

    // Right to left from the last button at every DPI.
    c.buttons = {L"a", std::wstring(20, L'w'), L"ok", L"cancel button"};
    for (int32_t dpi : {96, 120, 144, 192}) {
        l = LayoutDialog(c, dpi, FakeMeasure());
        EXPECT_EQ(l.width, Scale(460, dpi));
        EXPECT_EQ(l.height - l.barTop, Scale(76, dpi));
        EXPECT_EQ(l.height - l.listRects.back().bottom, Scale(76, dpi) + Scale(24, dpi));
        EXPECT_EQ(l.buttons.back().right, l.width - Scale(24, dpi)) << dpi;
        for (size_t i = 0; i < l.buttons.size(); ++i) {
            const PopupRect& b = l.buttons[i];
            EXPECT_EQ(b.Width(), std::max(8 * static_cast<int32_t>(c.buttons[i].size()) + Scale(32, dpi),
                                          Scale(96, dpi)));
            EXPECT_EQ(b.Height(), Scale(32, dpi));
            EXPECT_LE(std::abs((b.top - l.barTop) - (l.height - b.bottom)), 1) << dpi;  // centred in the bar
            if (i > 0) {
                EXPECT_EQ(b.left - l.buttons[i - 1].right, Scale(8, dpi));
            }
        }
    }
}

TEST(MessageDialogLayout, CentredRaisedAndKeptOnTheMonitor) {
    const PopupSize size{460, 160};
    EXPECT_EQ(CentreDialog(PopupRect{0, 0, 1000, 800}, size, 96), (PopupPoint{270, 300}));
    EXPECT_EQ(CentreDialog(PopupRect{0, 0, 1000, 800}, size, 192), (PopupPoint{270, 280}));
    // An owner hanging off the top-left corner: the dialog stays whole on the work area.
    const PopupRect work{0, 0, 1280, 1000};
    EXPECT_EQ(KeepInside(CentreDialog(PopupRect{-900, -700, 100, 100}, size, 96), size, work),
              (PopupPoint{0, 0}));
    EXPECT_EQ(KeepInside(PopupPoint{1000, 900}, size, work), (PopupPoint{820, 840}));
}

}  // namespace
}  // namespace lumen::ui
