// Settings window geometry with a fake text measurer: every control is hit at its centre as the
// target it draws, clipped rows are never hit, and the scroll and page-step rules.
#include "ui/settings_layout.h"

#include <gtest/gtest.h>

#include "app/settings_pages.h"
#include "app/theme.h"

namespace lumen::ui {
namespace {

class FakeMeasure : public SettingsTextMeasure {
public:
    int32_t BodyWidth(std::wstring_view t) const override { return 9 * static_cast<int32_t>(t.size()); }
};

TEST(SettingsLayout, EveryControlIsHitAsTheTargetItDraws) {
    const std::vector<SettingPage> pages = BuildSettingsPages(Settings{}, false, 0);
    for (int32_t dpi : {96, 144}) {
        const int32_t w = Scale(780, dpi), h = Scale(580, dpi);
        for (size_t p = 0; p < pages.size(); ++p) {
            const SettingsLayout l =
                LayoutSettings(pages, static_cast<int32_t>(p), 0, w, h, dpi, FakeMeasure());
            ASSERT_EQ(l.rows.size(), pages[p].rows.size());
            for (size_t r = 0; r < l.rows.size(); ++r) {
                const SettingRowLayout& row = l.rows[r];
                const SettingRow& def = pages[p].rows[r];
                EXPECT_EQ(row.card.Height(), Scale(def.description.empty() ? 56 : 68, dpi));
                if (r > 0) {
                    EXPECT_EQ(row.card.top, l.rows[r - 1].card.bottom + Scale(4, dpi));
                }
                EXPECT_EQ(row.control.right, row.card.right - Scale(16, dpi)) << p << "/" << r;
                EXPECT_LE(row.label.right, row.control.left);
                std::vector<PopupRect> parts = row.parts;
                if (parts.empty()) parts.push_back(row.control);
                for (size_t i = 0; i < parts.size(); ++i) {
                    if (row.card.bottom > l.content.bottom) continue;  // below the fold
                    const int32_t at = SettingTargetAt(l, (parts[i].left + parts[i].right) / 2,
                                                       (parts[i].top + parts[i].bottom) / 2);
                    ASSERT_GE(at, 0) << p << "/" << r << "/" << i;
                    const SettingTarget& t = l.targets[static_cast<size_t>(at)];
                    EXPECT_EQ(t.kind, kSettingTargetRow);
                    EXPECT_EQ(t.index, static_cast<int32_t>(r));
                    EXPECT_EQ(t.value, static_cast<int32_t>(def.kind == kSettingSwitch ? 0 : i));
                }
            }
            // The page list and the close button.
            const PopupRect& entry = l.pages[p];
            const int32_t at = SettingTargetAt(l, entry.left + 1, entry.top + 1);
            EXPECT_EQ(l.targets[static_cast<size_t>(at)],
                      (SettingTarget{entry, kSettingTargetPage, int32_t(p), 0}));
            EXPECT_EQ(l.targets[static_cast<size_t>(SettingTargetAt(l, w - 1, 0))].kind, kSettingTargetClose);
        }
    }
}

TEST(SettingsLayout, ScrolledAwayRowsAreNeverHit) {
    const std::vector<SettingPage> pages = BuildSettingsPages(Settings{}, false, 0);
    const SettingsLayout l = LayoutSettings(pages, 0, 200, 780, 580, 96, FakeMeasure());
    for (size_t r = 0; r < l.rows.size(); ++r) {
        const PopupRect& control = l.rows[r].control;
        const int32_t at =
            SettingTargetAt(l, (control.left + control.right) / 2, (control.top + control.bottom) / 2);
        const bool visible = control.top + control.Height() / 2 >= l.content.top &&
                             control.top + control.Height() / 2 < l.content.bottom;
        EXPECT_EQ(at >= 0 && l.targets[static_cast<size_t>(at)].kind == kSettingTargetRow, visible) << r;
    }
}

TEST(SettingsLayout, ScrollAndPageSteps) {
    const struct {
        int32_t scroll, content, client, dpi, clamped;
    } scrolls[] = {{-10, 700, 580, 96, 0},
                   {100, 700, 580, 96, 100},
                   {1000, 700, 580, 96, 248},
                   {50, 200, 580, 96, 0},
                   {1000, 700, 870, 144, 22}};
    for (const auto& c : scrolls)
        EXPECT_EQ(ClampSettingsScroll(c.scroll, c.content, c.client, c.dpi), c.clamped) << c.scroll;
    const struct {
        int32_t page, count;
        bool backwards;
        int32_t next;
    } steps[] = {{0, 4, true, 3}, {3, 4, false, 0}, {1, 4, false, 2}, {2, 4, true, 1}, {0, 0, false, 0}};
    for (const auto& c : steps)
        EXPECT_EQ(StepSettingsPage(c.page, c.count, c.backwards), c.next) << c.page;
}

}  // namespace
}  // namespace lumen::ui
