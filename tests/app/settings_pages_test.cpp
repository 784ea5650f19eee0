// The settings window's pages built from records, the texts of the font and accent rows, the tab-size
// mapping, and the apply function on the record: every click the window can send leaves a record that
// writes a valid file and shows the clicked state when the pages are built again.
#include "app/settings_pages.h"

#include <gtest/gtest.h>

#include <functional>
#include <algorithm>

#include "files/settings_invariants.h"
#include "ui/settings_layout.h"

namespace lumen {
namespace {

using ui::SettingPage;
using ui::SettingRow;

const SettingRow* FindRow(const std::vector<SettingPage>& pages, uint32_t id) {
    for (const SettingPage& page : pages)
        for (const SettingRow& row : page.rows)
            if (row.id == id) return &row;
    return nullptr;
}

TEST(SettingsPages, PagesHoldTheirRowsInOrder) {
    const std::vector<SettingPage> pages = BuildSettingsPages(Settings{}, false, 0x123456);
    const struct {
        const wchar_t* title;
        uint16_t glyph;
        std::vector<uint32_t> ids;
        std::vector<uint32_t> kinds;
    } expected[] = {
        {L"편집기", 0xE70F, {5, 1, 2, 7, 8, 9, 3, 4, 6}, {0, 0, 0, 0, 0, 1, 0, 0, 0}},
        {L"보기", 0xE790, {10, 11, 12, 13, 19}, {1, 3, 2, 0, 0}},
        {L"파일", 0xE8A5, {16, 17, 18, 14, 15}, {0, 0, 1, 1, 1}},
        {L"일반", 0xE713, {20, 22}, {2, 2}},
    };
    ASSERT_EQ(pages.size(), std::size(expected));
    for (size_t p = 0; p < pages.size(); ++p) {
        EXPECT_EQ(pages[p].title, expected[p].title);
        EXPECT_EQ(pages[p].glyph, expected[p].glyph);
        ASSERT_EQ(pages[p].rows.size(), expected[p].ids.size()) << p;
        for (size_t r = 0; r < pages[p].rows.size(); ++r) {
            EXPECT_EQ(pages[p].rows[r].id, expected[p].ids[r]) << p << "/" << r;
            EXPECT_EQ(pages[p].rows[r].kind, expected[p].kinds[r]) << p << "/" << r;
        }
    }
    const SettingRow* accent = FindRow(pages, kSetAccent);
    ASSERT_EQ(accent->swatches.size(), 7u);
    EXPECT_EQ(accent->swatches[0], 0xB85F00u);
    EXPECT_EQ(accent->swatches[5], 0x6E00B8u);
    EXPECT_EQ(accent->swatches[6], 0x123456u);
    EXPECT_EQ(BuildSettingsPages(Settings{}, true, 0)[1].rows[1].swatches[3], 0xFFAABAu);
    EXPECT_EQ(FindRow(pages, kSetAbout)->description.rfind(L"버전 1.1.1", 0), 0u);
}

// Records the window cannot show as they are, and the descriptions; every state a click can reach is
// shown again by the click test below.
TEST(SettingsPages, RowsShowTheRecord) {
    struct Case {
        const char* name;
        std::function<void(Settings&)> change;
        uint32_t id;
        int32_t state;  // switch: on; choice and accent: selected
        const wchar_t* description = nullptr;
    };
    const Case cases[] = {
        {"defaults: accent 0", [](Settings&) {}, kSetAccent, 0, L"맨 끝은 Windows 강조 색"},
        {"tab 3", [](Settings& s) { s.tab = 3; }, kSetTabWidth, 2},
        {"theme 7 acts as system", [](Settings& s) { s.theme = 7; }, kSetTheme, 0},
        {"desktop accent", [](Settings& s) { s.accent = 6; }, kSetAccent, 6, L"Windows 강조 색을 따릅니다"},
        {"accent 9 acts as 0", [](Settings& s) { s.accent = 9; }, kSetAccent, 0, L"맨 끝은 Windows 강조 색"},
        {"neweol CR shows CRLF", [](Settings& s) { s.neweol = 1; }, kSetNewEol, 0},
    };
    for (const Case& c : cases) {
        Settings s;
        c.change(s);
        const std::vector<SettingPage> pages = BuildSettingsPages(s, false, 0);
        const SettingRow* row = FindRow(pages, c.id);
        ASSERT_NE(row, nullptr) << c.name;
        const int32_t state = row->kind == ui::kSettingSwitch ? int32_t{row->on} : row->selected;
        EXPECT_EQ(state, c.state) << c.name;
        if (c.description) {
            EXPECT_EQ(row->description, c.description) << c.name;
        }
    }
}

TEST(SettingsPages, FontDescription) {
    const struct {
        const wchar_t* face;
        double size;
        int32_t weight;
        bool italic;
        const wchar_t* text;
    } cases[] = {
        {L"Malgun Gothic", 11.0, 400, false, L"Malgun Gothic · 11pt"},
        {L"Consolas", 10.5, 700, true, L"Consolas · 굵게 기울임 · 10.5pt"},
        {L"Consolas", 72.0, 300, false, L"Consolas · 가늘게 · 72pt"},
        {L"", 0.0, 400, false, L"Malgun Gothic · 6pt"},  // no face, size 0: the nearest that exists
        {L"바탕", 100.0, 600, true, L"바탕 · 약간 굵게 기울임 · 72pt"},
    };
    for (const auto& c : cases) {
        Settings s;
        s.font = c.face;
        s.size = c.size;
        s.weight = c.weight;
        s.italic = c.italic;
        EXPECT_EQ(FontDescription(s), c.text);
        EXPECT_EQ(FindRow(BuildSettingsPages(s, false, 0), kSetFont)->description, std::wstring(c.text));
    }
}

TEST(SettingsPages, TabSizeMapsBothWays) {
    const struct {
        int32_t tab, choice, back;
    } cases[] = {{2, 0, 2}, {4, 1, 4}, {8, 2, 8}, {3, 2, 8}, {0, 2, 8}, {-4, 2, 8}};
    for (const auto& c : cases) {
        EXPECT_EQ(TabWidthChoice(c.tab), c.choice) << c.tab;
        EXPECT_EQ(TabWidthOfChoice(TabWidthChoice(c.tab)), c.back) << c.tab;
    }
    EXPECT_EQ(TabWidthOfChoice(7), 8);
}

TEST(SettingsApply, EffectsOnTheRecord) {
    const struct {
        uint32_t id;
        int32_t value;
        std::function<bool(const Settings&)> holds;
        uint32_t effects;
    } cases[] = {
        {1, 1, [](const Settings& s) { return s.lines; }, kEffectLineNumbers},
        {2, 0, [](const Settings& s) { return !s.caretline; }, kEffectEditorOptions},
        {3, 1, [](const Settings& s) { return s.ws; }, kEffectEditorOptions},
        {4, 1, [](const Settings& s) { return s.eolmark; }, kEffectEditorOptions},
        {5, 0, [](const Settings& s) { return !s.wrap; }, kEffectWrap},
        {6, 1, [](const Settings& s) { return s.pastend; }, kEffectEditorOptions},
        {7, 0, [](const Settings& s) { return !s.autoindent; }, kEffectNone},
        {8, 1, [](const Settings& s) { return s.spaces; }, kEffectEditorOptions},
        {9, 0, [](const Settings& s) { return s.tab == 2; }, kEffectEditorOptions},
        {9, 5, [](const Settings& s) { return s.tab == 8; }, kEffectEditorOptions},
        {10, 2, [](const Settings& s) { return s.theme == 2; }, kEffectPalette},
        {10, 7, [](const Settings& s) { return s.theme == 2; }, kEffectPalette},
        {10, -1, [](const Settings& s) { return s.theme == 0; }, kEffectPalette},
        {11, 6, [](const Settings& s) { return s.accent == 6; }, kEffectPalette},
        {11, 9, [](const Settings& s) { return s.accent == 6; }, kEffectPalette},
        {12, 0, [](const Settings& s) { return s == Settings{}; }, kEffectFontDialog},
        {13, 0, [](const Settings& s) { return !s.hint; }, kEffectHint},
        {14, 1, [](const Settings& s) { return s.neweol == 2; }, kEffectNone},
        {14, 0, [](const Settings& s) { return s.neweol == 0; }, kEffectNone},
        {15, 3, [](const Settings& s) { return s.newenc == 1; }, kEffectNone},
        {16, 1, [](const Settings& s) { return s.autosave; }, kEffectAutosave},
        {17, 0, [](const Settings& s) { return !s.restore; }, kEffectNone},
        {18, 1, [](const Settings& s) { return s.keeplast; }, kEffectNone},
        {19, 1, [](const Settings& s) { return s.topmost; }, kEffectTopmost},
        {20, 0, [](const Settings& s) { return s == Settings{}; }, kEffectRegister},
        {21, 1, [](const Settings& s) { return s.dwrite; }, kEffectTechnology},
        {22, 0, [](const Settings& s) { return s == Settings{}; }, kEffectAbout},
    };
    for (const auto& c : cases) {
        Settings s;
        const std::optional<uint32_t> effects = ApplySettingToRecord(s, c.id, c.value);
        ASSERT_TRUE(effects.has_value()) << c.id;
        EXPECT_EQ(*effects, c.effects) << c.id;
        EXPECT_TRUE(c.holds(s)) << c.id << " = " << c.value;
        EXPECT_EQ(test::SettingsFault(s), "") << c.id << " = " << c.value;
    }
    for (uint32_t id : {0u, 23u, 99u}) {
        Settings s;
        EXPECT_FALSE(ApplySettingToRecord(s, id, 1).has_value()) << id;
        EXPECT_EQ(s, Settings{});
    }
}

// Every click the window can send, also from a record with values the window cannot show: the pages
// built again show the clicked state; from a valid record the result writes a file that reads back
// the same.
TEST(SettingsApply, EveryClickShowsItselfAndWritesAValidFile) {
    Settings odd;
    odd.tab = 3;
    odd.accent = 9;
    odd.theme = 7;
    odd.neweol = 1;
    const Settings valid;
    for (const Settings* startPointer : {&valid, static_cast<const Settings*>(&odd)}) {
        const Settings& start = *startPointer;
        const std::vector<SettingPage> pages = BuildSettingsPages(start, false, 0);
        for (const SettingPage& page : pages) {
            for (const SettingRow& row : page.rows) {
                if (row.kind == ui::kSettingButton) continue;
                const int32_t choices = row.kind == ui::kSettingSwitch ? 1
                                        : row.kind == ui::kSettingAccent
                                            ? static_cast<int32_t>(row.swatches.size())
                                            : static_cast<int32_t>(row.options.size());
                for (int32_t part = 0; part < choices; ++part) {
                    const std::optional<int32_t> value =
                        ui::SettingClickValue(row, {{}, ui::kSettingTargetRow, 0, part});
                    if (!value) {
                        EXPECT_EQ(part, row.selected) << row.id;  // only the selected one sends nothing
                        continue;
                    }
                    Settings s = start;
                    ASSERT_TRUE(ApplySettingToRecord(s, row.id, *value).has_value());
                    const std::vector<SettingPage> after = BuildSettingsPages(s, false, 0);
                    const SettingRow* now = FindRow(after, row.id);
                    const int32_t shown = row.kind == ui::kSettingSwitch ? int32_t{now->on} : now->selected;
                    EXPECT_EQ(shown, row.kind == ui::kSettingSwitch ? *value : part) << row.id << "/" << part;
                    if (&start != &odd) {
                        EXPECT_EQ(test::SettingsFault(s), "") << row.id << "/" << part;
                    }
                }
            }
        }
    }
}

}  // namespace
}  // namespace lumen
