// The command table, the accelerator list, the pure rules of zoom and web search, and the menus
// built from state snapshots.
#include <gtest/gtest.h>

#include <functional>
#include <optional>
#include <set>
#include <string>
#include <utility>

#include "app/accelerators.h"
#include "app/band_layout.h"
#include "app/commands.h"
#include "app/menus.h"
#include "app/view_commands.h"

namespace lumen {
namespace {

using ui::MenuItem;

bool InGroup(int id) {
    return (id >= 100 && id <= 165) || (id >= 200 && id <= 204) || (id >= 220 && id <= 224) ||
           (id >= 300 && id <= 308) || (id >= 400 && id <= 409) || id == 990 || id == 991;
}

TEST(CommandTable, RowsAreOrderedDisjointAndInsideTheGroups) {
    int count = 0;
    const CommandInfo* rows = CommandRows(&count);
    for (int i = 0; i < count; ++i) {
        SCOPED_TRACE(rows[i].first);
        EXPECT_LE(rows[i].first, rows[i].last);
        EXPECT_TRUE(InGroup(rows[i].first) && InGroup(rows[i].last));
        if (i > 0) {
            EXPECT_LT(rows[i - 1].last, rows[i].first);
        }
        for (int id = rows[i].first; id <= rows[i].last; ++id)
            EXPECT_EQ(FindCommand(id), &rows[i]);
    }
    for (int id : {0, 99, 124, 125, 166, 199, 205, 309, 410, 500, 989, 992, 65535})
        EXPECT_EQ(FindCommand(id), nullptr) << id;
}

TEST(CommandTable, AcceleratorsAreDistinctKeysForExistingCommands) {
    std::set<std::pair<int, int>> keys;
    for (const Accelerator& a : kAccelerators) {
        SCOPED_TRACE(a.command);
        EXPECT_TRUE(keys.insert({a.modifiers, a.key}).second) << "two entries for one key";
        EXPECT_NE(FindCommand(a.command), nullptr);
        EXPECT_EQ(a.modifiers & ~(kAccelCtrl | kAccelShift | kAccelAlt), 0);
        EXPECT_NE(a.key, 0);
    }
    // Every shortcut text a menu shows is a key of the list (for its command or another with the same
    // text), apart from the editor's own keys (129..135, 157) and the system's close key (128).
    int count = 0;
    const CommandInfo* rows = CommandRows(&count);
    for (int i = 0; i < count; ++i) {
        const std::wstring shortcut = rows[i].shortcut;
        const int id = rows[i].first;
        if (shortcut.empty() || (id >= 128 && id <= 135) || id == 157) continue;
        bool bound = false;
        for (const Accelerator& a : kAccelerators)
            bound = bound || FindCommand(a.command)->shortcut == shortcut;
        EXPECT_TRUE(bound) << id;
    }
    for (int id = 300; id <= 308; ++id) {
        int bound = 0;
        for (const Accelerator& a : kAccelerators)
            bound += a.command == id;
        EXPECT_EQ(bound, 1) << id;
    }
}

TEST(CommandTable, ZoomIsClampedToFourPointsAndForty) {
    const struct {
        double size;
        int32_t level, expected;
    } cases[] = {{11, -100, -7}, {11, -7, -7},   {11, -8, -7}, {11, 40, 40}, {11, 41, 40}, {11.5, -9, -7},
                 {6, -3, -2},    {72, -99, -68}, {72, 0, 0},   {10, 3, 3},   {4.5, -1, 0}, {11, 0, 0}};
    for (const auto& c : cases)
        EXPECT_EQ(ClampZoom(c.level, c.size), c.expected) << c.size << " " << c.level;
}

TEST(WebSearch, QueriesAreOneLineTrimmedAndPercentEncoded) {
    const struct {
        std::wstring text;
        std::optional<std::string> query;
    } cases[] = {
        {L"hello", "hello"},
        {L"a b", "a+b"},
        {L"  x\r\ny\t ", "x++y"},
        {L"첫 줄\r\n둘째\n셋째", "%EC%B2%AB+%EC%A4%84++%EB%91%98%EC%A7%B8+%EC%85%8B%EC%A7%B8"},
        {L"AZaz09-._~", "AZaz09-._~"},
        {L"a&b=c?d/e\"f'g%h+i#", "a%26b%3Dc%3Fd%2Fe%22f%27g%25h%2Bi%23"},
        {std::wstring(L"\xD83D\xDE00"), "%F0%9F%98%80"},
        {L"", std::nullopt},
        {L" \r\n\t ", std::nullopt},
        {std::wstring(1999, L'x'), std::string(1999, 'x')},
        {std::wstring(2000, L'x'), std::nullopt},
        {L" " + std::wstring(1998, L'y'), std::string(1998, 'y')},
    };
    for (const auto& c : cases)
        EXPECT_EQ(WebSearchQuery(c.text), c.query) << c.text.size();
}

// ---- menus --------------------------------------------------------------------------------------

void ForEachItem(const std::vector<MenuItem>& items, const std::function<void(const MenuItem&)>& f) {
    for (const MenuItem& item : items) {
        f(item);
        ForEachItem(item.submenu, f);
    }
}

const MenuItem* ById(const std::vector<MenuItem>& items, uint32_t id) {
    const MenuItem* found = nullptr;
    ForEachItem(items, [&](const MenuItem& item) {
        if (item.id == id && !found) found = &item;
    });
    return found;
}

MenuState SampleState() {
    MenuState s;
    s.tabs = {{L"pinned.txt", L"C:\\a\\pinned.txt", true, false},
              {L"memo", L"", false, true},
              {L"b.txt", L"D:\\notes\\b.txt", false, false}};
    s.active = 1;
    return s;
}

std::vector<std::vector<MenuItem>> EveryMenu(const MenuState& s) {
    return {BuildMainMenu(s),
            BuildEditMenu(s),
            BuildTabMenu(s),
            BuildOpenTabsMenu(s),
            BuildStatusMenu(kHitZoom, s),
            BuildStatusMenu(kHitEol, s),
            BuildStatusMenu(kHitEncoding, s)};
}

// Whatever the state, every row that returns a number returns one the dispatcher knows (or the
// open-tabs list's own), labels are never empty and the rows with icons take them from the table.
TEST(Menus, EveryRowIsACommandOfTheTable) {
    MenuState s = SampleState();
    for (int variant = 0; variant < 4; ++variant) {
        s.recent =
            variant % 2 ? std::vector<std::wstring>{L"C:\\x\\1.txt", L"2.txt"} : std::vector<std::wstring>{};
        s.tabPinned = variant >= 2;
        for (const auto& menu : EveryMenu(s)) {
            EXPECT_FALSE(menu.empty());
            ForEachItem(menu, [&](const MenuItem& item) {
                if (item.separator) return;
                EXPECT_FALSE(item.label.empty());
                if (item.id == 0 || item.id >= kCmdOpenTabsItem) return;
                const CommandInfo* row = FindCommand(static_cast<int>(item.id));
                ASSERT_NE(row, nullptr) << item.id;
                EXPECT_TRUE(item.submenu.empty());
            });
        }
    }
    EXPECT_TRUE(BuildStatusMenu(kHitPosition, s).empty());
}

// The rows whose state the snapshot decides, one case per state.
TEST(Menus, ChecksAndAvailabilityFollowTheSnapshot) {
    using Tweak = std::function<void(MenuState&)>;
    using Pick = std::function<std::vector<MenuItem>(const MenuState&)>;
    const Pick main = BuildMainMenu, edit = BuildEditMenu, tab = BuildTabMenu;
    const Pick eol = [](const MenuState& s) { return BuildStatusMenu(kHitEol, s); };
    const Pick enc = [](const MenuState& s) { return BuildStatusMenu(kHitEncoding, s); };
    const struct {
        const char* name;
        Tweak tweak;
        Pick menu;
        uint32_t id;
        bool enabled, checked, radio;
    } cases[] = {
        {"wrap", [](MenuState& s) { s.wrap = true; }, main, 115, true, true, false},
        {"lines off", [](MenuState&) {}, main, 116, true, false, false},
        {"focus", [](MenuState& s) { s.focusMode = true; }, main, 162, true, true, false},
        {"topmost", [](MenuState& s) { s.topmost = true; }, main, 144, true, true, false},
        {"dark theme", [](MenuState& s) { s.theme = 2; }, main, 123, true, false, true},
        {"not light", [](MenuState& s) { s.theme = 2; }, main, 122, true, false, false},
        {"nothing closed", [](MenuState&) {}, main, 106, false, false, false},
        {"a closed tab", [](MenuState& s) { s.closedTabRemembered = true; }, tab, 106, true, false, false},
        {"no undo", [](MenuState&) {}, edit, 129, false, false, false},
        {"redo", [](MenuState& s) { s.canRedo = true; }, edit, 130, true, false, false},
        {"no selection", [](MenuState&) {}, edit, 131, false, false, false},
        {"selection", [](MenuState& s) { s.hasSelection = true; }, edit, 134, true, false, false},
        {"too long to search", [](MenuState& s) { s.hasSelection = true; }, edit, 150, false, false, false},
        {"searchable", [](MenuState& s) { s.canWebSearch = true; }, edit, 150, true, false, false},
        {"paste", [](MenuState& s) { s.canPaste = true; }, edit, 133, true, false, false},
        {"only pinned others", [](MenuState&) {}, tab, 137, false, false, false},
        {"another unpinned", [](MenuState& s) { s.otherUnpinned = true; }, tab, 137, true, false, false},
        {"nothing right", [](MenuState& s) { s.otherUnpinned = true; }, tab, 138, false, false, false},
        {"memo path", [](MenuState&) {}, tab, 139, false, false, false},
        {"file folder", [](MenuState& s) { s.tabIsFile = true; }, tab, 140, true, false, false},
        {"lf", [](MenuState& s) { s.eol = 2; }, eol, 142, true, false, true},
        {"not crlf", [](MenuState& s) { s.eol = 2; }, eol, 141, true, false, false},
        {"utf-16 be", [](MenuState& s) { s.encoding = 3; }, enc, 203, true, false, true},
        {"reopen is no choice",
         [](MenuState& s) {
             s.encoding = 3;
             s.activeIsFile = true;
         },
         enc, 223, true, false, false},
    };
    for (const auto& c : cases) {
        MenuState s;
        c.tweak(s);
        const std::vector<MenuItem> menu = c.menu(s);
        const MenuItem* item = ById(menu, c.id);
        ASSERT_NE(item, nullptr) << c.name;
        EXPECT_EQ(item->enabled, c.enabled) << c.name;
        EXPECT_EQ(item->checked, c.checked) << c.name;
        EXPECT_EQ(item->radio, c.radio) << c.name;
    }
}

TEST(Menus, ListsFromTheState) {
    MenuState s = SampleState();
    // No recent files: one disabled row that returns nothing.
    const std::vector<MenuItem> mainEmpty = BuildMainMenu(s);
    const MenuItem& recentEmpty = mainEmpty[2];
    ASSERT_EQ(recentEmpty.submenu.size(), 1u);
    EXPECT_EQ(recentEmpty.submenu[0].label, L"최근 파일 없음");
    EXPECT_FALSE(recentEmpty.submenu[0].enabled);
    EXPECT_EQ(recentEmpty.submenu[0].id, 0u);

    s.recent = {L"C:\\문서\\할일.txt", L"D:/x/y/readme.md", L"plain.txt"};
    const std::vector<MenuItem> recent = BuildMainMenu(s)[2].submenu;
    ASSERT_EQ(recent.size(), 5u);
    const std::pair<std::wstring, std::wstring> names[] = {
        {L"할일.txt", L"문서"}, {L"readme.md", L"y"}, {L"plain.txt", L""}};
    for (uint32_t i = 0; i < 3; ++i) {
        EXPECT_EQ(recent[i].id, 400 + i);
        EXPECT_EQ(recent[i].label, names[i].first);
        EXPECT_EQ(recent[i].shortcut, names[i].second);
    }
    EXPECT_TRUE(recent[3].separator);
    EXPECT_EQ(recent[4].id, 164u);

    const std::vector<MenuItem> open = BuildOpenTabsMenu(s);
    ASSERT_EQ(open.size(), 4u);
    EXPECT_EQ(open[0].label, L"열린 탭 3개");
    EXPECT_TRUE(open[0].header);
    EXPECT_FALSE(open[0].enabled);
    const struct {
        std::wstring label, shortcut;
        uint16_t glyph;
        bool current;
    } rows[] = {{L"pinned.txt", L"a", 0xE718, false},
                {L"● memo", L"메모", 0xE8A5, true},
                {L"b.txt", L"notes", 0xE8A5, false}};
    for (uint32_t i = 0; i < 3; ++i) {
        EXPECT_EQ(open[i + 1].id, 500 + i);
        EXPECT_EQ(open[i + 1].label, rows[i].label);
        EXPECT_EQ(open[i + 1].shortcut, rows[i].shortcut);
        EXPECT_EQ(open[i + 1].glyph, rows[i].glyph);
        EXPECT_EQ(open[i + 1].checked, rows[i].current);
    }

    s.tabPinned = true;
    EXPECT_EQ(BuildTabMenu(s)[0].label, L"고정 해제");
    s.tabPinned = false;
    EXPECT_EQ(BuildTabMenu(s)[0].label, L"탭 고정");
    // The reopen submenu is there for a memo too, but cannot be opened.
    EXPECT_FALSE(BuildStatusMenu(kHitEncoding, s).back().enabled);
}

}  // namespace
}  // namespace lumen
