// Commands through the real main window: WM_COMMAND against a small model (tabs by number, next
// and previous, new tabs, zoom bounds, word wrap), the effect of the editing and line-break commands
// on the text, and menus opened from their places with a row chosen by keyboard and by mouse.
#include <windows.h>

#include <gtest/gtest.h>

#include "support/test_main_window.h"

#include <algorithm>
#include <random>
#include <string>
#include <vector>

#include "app/app.h"
#include "app/bands.h"
#include "app/commands.h"
#include "app/editor_calls.h"
#include "app/main_window.h"
#include "app/menus.h"
#include "app/tabs.h"
#include "app/theme_apply.h"
#include "edit/quill_window_win.h"
#include "files/code_page.h"
#include "selftest/self_test.h"
#include "ui/popup_menu_layout.h"

namespace lumen {
namespace {

using namespace quill;

// Keys (or one click) posted to the open popup menu from a thread timer, since the menu's own loop
// runs inside the command. Escape follows when the script is used up, so a wrong turn cannot hang.
struct MenuDriver {
    std::vector<WPARAM> keys;
    std::vector<POINT> clicks;  // client points of the root menu window
    size_t next = 0;
    int idle = 0;
    static inline MenuDriver* current = nullptr;

    explicit MenuDriver(std::vector<WPARAM> k, std::vector<POINT> c = {})
        : keys(std::move(k)), clicks(std::move(c)) {
        current = this;
        timer = SetTimer(nullptr, 0, 30, &Tick);
    }
    ~MenuDriver() {
        KillTimer(nullptr, timer);
        current = nullptr;
    }
    static void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD) {
        MenuDriver* d = current;
        HWND menu = FindWindowW(L"Lumenpad.Menu", nullptr);
        if (!d || !menu || !IsWindowVisible(menu)) return;
        if (d->next < d->keys.size()) {
            PostMessageW(menu, WM_KEYDOWN, d->keys[d->next++], 0);
        } else if (!d->clicks.empty()) {
            const POINT p = d->clicks.front();
            d->clicks.erase(d->clicks.begin());
            PostMessageW(menu, WM_MOUSEMOVE, 0, MAKELPARAM(p.x, p.y));
            PostMessageW(menu, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(p.x, p.y));
            PostMessageW(menu, WM_LBUTTONUP, 0, MAKELPARAM(p.x, p.y));
        } else if (++d->idle > 10) {
            PostMessageW(menu, WM_KEYDOWN, VK_ESCAPE, 0);
        }
    }
    UINT_PTR timer = 0;
};

class Commands : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        SetEnvironmentVariableW(L"LUMENPAD_UITEST", L"1");
        App& app = TheApp();
        // Another suite may have had its window in this process: start from an empty shell.
        app.tabs = TabList{};
        app.chrome = ChromeState{};
        app.settings = Settings{};
        app.settings.keeplast = true;
        test::OpenTestMainWindow(app);
    }
    static void TearDownTestSuite() {
        test::CloseTestMainWindow(TheApp());
        SetEnvironmentVariableW(L"LUMENPAD_UITEST", nullptr);
    }
    void SetUp() override {
        while (app.tabs.Count() > 1)
            CloseTab(app, app.tabs.Count() - 1, false);
        CloseTab(app, 0, false);
        PumpMessages();
    }
    void Command(int id) {
        SendMessageW(app.hwnd, WM_COMMAND, static_cast<WPARAM>(id), 0);
        PumpMessages();
    }
    POINT Centre(const BandRect& r) { return {(r.left + r.right) / 2, (r.top + r.bottom) / 2}; }
    void Click(const BandRect& r, UINT down, UINT up) {
        const POINT p = Centre(r);
        SendMessageW(app.hwnd, WM_MOUSEMOVE, 0, MAKELPARAM(p.x, p.y));
        if (down) SendMessageW(app.hwnd, down, MK_LBUTTON, MAKELPARAM(p.x, p.y));
        SendMessageW(app.hwnd, up, 0, MAKELPARAM(p.x, p.y));
        PumpMessages();
    }

    App& app = TheApp();
};

// Random commands against a model of the tab count, the active tab, the zoom level and word wrap.
TEST_F(Commands, SwitchingZoomAndWrapFollowAModel) {
    std::mt19937 rng(13);
    int count = 1, active = 0, zoom = 0;
    bool wrap = app.settings.wrap;
    const int ids[] = {100, 107, 108, 300, 301, 302, 303, 304, 305,
                       306, 307, 308, 117, 118, 119, 115, 124, 999};
    for (int step = 0; step < 300; ++step) {
        const int id = count < 12 || rng() % 4 ? ids[rng() % std::size(ids)] : 107;
        const int zoomSteps = rng() % 3 == 0 ? 30 : 1;  // runs that reach the bounds
        for (int repeat = 0; repeat < (id == 117 || id == 118 ? zoomSteps : 1); ++repeat)
            Command(id);
        if (id == 100) {
            ++count, ++active;
        } else if (id == 107) {
            active = (active + 1) % count;
        } else if (id == 108) {
            active = (active + count - 1) % count;
        } else if (id >= 300 && id <= 307) {
            if (id - 300 < count) active = id - 300;
        } else if (id == 308) {
            active = count - 1;
        } else if (id == 117) {
            zoom = std::min(zoom + zoomSteps, 40);
        } else if (id == 118) {
            zoom = std::max(zoom - zoomSteps, -7);  // 11-point font: never below 4 points
        } else if (id == 119) {
            zoom = 0;
        } else if (id == 115) {
            wrap = !wrap;
        }
        ASSERT_EQ(app.tabs.Count(), count) << step << " " << id;
        ASSERT_EQ(app.tabs.active, active) << step << " " << id;
        ASSERT_EQ(app.settings.zoom, zoom) << step << " " << id;
        ASSERT_EQ(Ed(app, SCI_GETZOOM), zoom) << step;
        ASSERT_EQ(app.settings.wrap, wrap) << step;
        ASSERT_EQ(Ed(app, SCI_GETWRAPMODE), wrap ? SC_WRAP_WORD : SC_WRAP_NONE) << step;
    }
    Command(119);
}

std::string TimeDateNow() {
    wchar_t time[64] = {}, date[64] = {};
    GetTimeFormatEx(LOCALE_NAME_USER_DEFAULT, TIME_NOSECONDS, nullptr, nullptr, time, 64);
    GetDateFormatEx(LOCALE_NAME_USER_DEFAULT, DATE_SHORTDATE, nullptr, nullptr, date, 64, nullptr);
    return WideToUtf8(std::wstring(time) + L" " + date);
}

// Commands that change the text, each from a starting text and selection.
TEST_F(Commands, EditingCommandsChangeTheText) {
    const struct {
        const char* text;
        int64_t anchor, caret;
        std::vector<int> ids;
        std::string expected;  // "@" stands for the time and date
        uint32_t eol;
    } cases[] = {
        {"a\r\nb\nc\rd", 0, 0, {142}, "a\nb\nc\nd", 2},
        {"a\r\nb\nc\rd", 0, 0, {143}, "a\rb\rc\rd", 1},
        {"a\nb", 0, 0, {141}, "a\r\nb", 0},
        {"abc def", 0, 0, {135, 131}, "", 0},
        {"abc def", 0, 3, {131, 129}, "abc def", 0},
        {"abc def", 0, 3, {132, 134, 130}, " def", 0},
        {"abc def", 0, 3, {131, 129, 130}, " def", 0},
        {"abc def", 4, 7, {114}, "abc @", 0},
        {"one\r\ntwo", 0, 0, {157}, "one\r\none\r\ntwo", 0},
        {"b\r\na", 0, 4, {145}, "a\r\nb", 0},
        {"x", 0, 0, {150, 139, 140, 220, 999, 124}, "x", 0},  // no searchable selection; a memo has no path
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text + std::string(" ") + std::to_string(c.ids.front()));
        SetEditorText(app, c.text);
        Ed(app, SCI_SETEOLMODE, 0);
        app.tabs.Active()->eol = 0;
        Ed(app, SCI_SETSEL, static_cast<uintptr_t>(c.anchor), c.caret);
        SetFocus(app.editor);
        const std::string before = TimeDateNow();
        for (int id : c.ids)
            Command(id);
        std::string expected = c.expected;
        const size_t at = expected.find('@');
        const std::string text = EditorText(app);
        if (at != std::string::npos) {
            const std::string after = TimeDateNow();
            EXPECT_TRUE(text == std::string(expected).replace(at, 1, before) ||
                        text == std::string(expected).replace(at, 1, after))
                << text;
        } else {
            EXPECT_EQ(text, expected);
        }
        EXPECT_EQ(app.tabs.Active()->eol, c.eol);
        EXPECT_EQ(Ed(app, SCI_GETEOLMODE), static_cast<intptr_t>(c.eol));
    }
}

// Each menu from where it opens, a row chosen by keys or by the mouse, and its command's effect.
TEST_F(Commands, MenusOpenFromTheirPlacesAndRunTheChosenRow) {
    const BandLayout& l = app.chrome.layout;
    {  // The main menu's first row is "새 탭".
        MenuDriver keys({VK_DOWN, VK_RETURN});
        Click(l.menu, WM_LBUTTONDOWN, WM_LBUTTONUP);
    }
    ASSERT_EQ(app.tabs.Count(), 2);
    {  // The tab menu of the first tab: "탭 고정" first.
        MenuDriver keys({VK_DOWN, VK_RETURN});
        Click(TabRect(l, 0), 0, WM_RBUTTONUP);
    }
    EXPECT_TRUE(app.tabs.tabs[0]->pinned);
    EXPECT_EQ(app.tabs.active, 0);
    {  // The line-break field: the heading, then CRLF, LF, CR.
        MenuDriver keys({VK_DOWN, VK_DOWN, VK_RETURN});
        Click(l.eol, WM_LBUTTONDOWN, WM_LBUTTONUP);
    }
    EXPECT_EQ(app.tabs.Active()->eol, 2u);
    {  // The edit menu from the keyboard; with nothing to undo, cut or copy "모두 선택" is reachable.
        SetEditorText(app, "abc");
        Ed(app, SCI_EMPTYUNDOBUFFER);
        Ed(app, SCI_SETSEL, 0, 0);
        const std::vector<ui::MenuItem> items = BuildEditMenu(TakeMenuState(app));
        const auto row =
            std::find_if(items.begin(), items.end(), [](const ui::MenuItem& i) { return i.id == 135; });
        int downs = 0;
        for (auto i = items.begin(); i <= row; ++i)
            downs += i->enabled && !i->separator;
        std::vector<WPARAM> keys(static_cast<size_t>(downs), VK_DOWN);
        keys.push_back(VK_RETURN);
        MenuDriver driver(keys);
        SendMessageW(app.hwnd, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(app.editor), MAKELPARAM(-1, -1));
        PumpMessages();
    }
    EXPECT_EQ(Ed(app, SCI_GETSELECTIONEND), 3);
    {  // The open-tabs list by the mouse: the row of the second tab.
        const std::vector<ui::MenuItem> items = BuildOpenTabsMenu(TakeMenuState(app));
        const ui::MenuLayout layout = ui::MeasurePopupMenu(items, static_cast<int32_t>(app.dpi));
        const ui::PopupRect& row = layout.rows[2];
        MenuDriver driver({}, {POINT{(row.left + row.right) / 2, (row.top + row.bottom) / 2}});
        Click(l.openTabs, WM_LBUTTONDOWN, WM_LBUTTONUP);
    }
    EXPECT_EQ(app.tabs.active, 1);
    EXPECT_EQ(GetCapture(), nullptr);
    EXPECT_EQ(
        FindWindowW(L"Lumenpad.Menu", nullptr) && IsWindowVisible(FindWindowW(L"Lumenpad.Menu", nullptr)),
        false);
}

}  // namespace
}  // namespace lumen
