// The popup menu as a real window under its own modal loop, driven by posted keys and mouse messages
// from a script the loop itself dispatches: navigation across separators and disabled rows,
// submenus by key, click and hover, cancelling, WM_QUIT, a nested call, the loss of the capture, and
// the colours that reach the window in light and dark mode.
#include <windows.h>

#include <gtest/gtest.h>

#include <sstream>

#include "app/theme.h"
#include "ui/popup_script.h"
#include "ui/popup_menu.h"
#include "ui/popup_menu_layout.h"

namespace lumen::ui {
namespace {

using test::NowMs;
using test::Script;
using test::ThreadWindows;

MenuItem Row(uint32_t id, std::wstring label, bool enabled = true) {
    MenuItem m;
    m.id = id;
    m.label = std::move(label);
    m.enabled = enabled;
    return m;
}

MenuItem Separator() {
    MenuItem m;
    m.separator = true;
    return m;
}

// 0 새 탭 (101) | 1 ---- | 2 닫기 (102, disabled) | 3 인코딩 > [0 UTF-8 (201) | 1 ---- | 2 ANSI (202,
// disabled) | 3 UTF-16 LE (203)] | 4 header | 5 열기 (103, checked)
std::vector<MenuItem> Tree() {
    MenuItem open = Row(103, L"열기");
    open.checked = true;
    open.shortcut = L"Ctrl+O";
    MenuItem encodings = Row(0, L"인코딩");
    MenuItem utf8 = Row(201, L"UTF-8");
    utf8.radio = true;
    encodings.submenu = {utf8, Separator(), Row(202, L"ANSI", false), Row(203, L"UTF-16 LE")};
    MenuItem header = Row(0, L"최근 파일");
    header.header = true;
    MenuItem newTab = Row(101, L"새 탭");
    newTab.shortcut = L"Ctrl+T";
    return {newTab, Separator(), Row(102, L"닫기", false), encodings, header, open};
}

constexpr POINT kAnchor{200, 150};

Palette Colours(int32_t theme) {
    return ResolvePalette(theme, 0, DesktopTheme{}).palette;
}

class PopupMenuWindow : public ::testing::Test {
protected:
    test::OwnerWindow owner{0, 0, 1280, 1024};
    std::vector<MenuItem> items = Tree();
    Palette palette = Colours(kThemeLight);

    uint32_t Run(Script& script, POINT anchor = kAnchor, uint32_t flags = 0) {
        script.Start();
        const uint32_t id = ShowPopupMenu(owner.hwnd(), items, anchor, flags, palette, 96);
        script.Stop();
        EXPECT_TRUE(ThreadWindows(L"Lumenpad.Menu").empty()) << "menu windows left open";
        return id;
    }

    // The submenu's window: the menu window that is not the root.
    static HWND Level1() {
        for (HWND w : ThreadWindows(L"Lumenpad.Menu")) {
            if (test::WindowRect(w).left != kAnchor.x) return w;
        }
        return nullptr;
    }

    // "3" is the root's row 3, "3.2" row 2 of the submenu open at row 3, "out" a point outside.
    POINT PointOf(const std::string& where) const {
        if (where == "out") return POINT{30, 30};
        const size_t dot = where.find('.');
        const size_t row = std::stoul(where.substr(0, dot));
        const MenuLayout root = MeasurePopupMenu(items, 96);
        PopupRect r = root.rows[row].Offset(kAnchor.x, kAnchor.y);
        if (dot != std::string::npos) {
            const RECT sub = test::WindowRect(Level1());
            r = MeasurePopupMenu(items[row].submenu, 96)
                    .rows[std::stoul(where.substr(dot + 1))]
                    .Offset(sub.left, sub.top);
        }
        return POINT{r.left + 10, (r.top + r.bottom) / 2};
    }

    // Posts a mouse message for a screen point to a menu window, in its client coordinates.
    static void Mouse(UINT msg, POINT screen) {
        const std::vector<HWND> menus = ThreadWindows(L"Lumenpad.Menu");
        if (menus.empty()) return;
        ScreenToClient(menus.front(), &screen);
        PostMessageW(menus.front(), msg, 0, MAKELPARAM(screen.x, screen.y));
    }

    static void Key(UINT msg, WPARAM vk) {
        const std::vector<HWND> menus = ThreadWindows(L"Lumenpad.Menu");
        if (!menus.empty()) PostMessageW(menus.front(), msg, vk, 0);
    }

    // Words: key names; "levels=N" checks the open windows; "move@", "up@", "rup@", "down@" mouse
    // messages at a row (see PointOf); "wait=ms".
    void Fill(Script& script, const std::string& words) {
        static const std::pair<const char*, WPARAM> keys[] = {
            {"Down", VK_DOWN},   {"Up", VK_UP},         {"Left", VK_LEFT}, {"Right", VK_RIGHT},
            {"Home", VK_HOME},   {"End", VK_END},       {"Tab", VK_TAB},   {"Enter", VK_RETURN},
            {"Space", VK_SPACE}, {"Escape", VK_ESCAPE}, {"x", 'X'}};
        static const std::pair<const char*, UINT> mice[] = {
            {"move", WM_MOUSEMOVE}, {"up", WM_LBUTTONUP}, {"rup", WM_RBUTTONUP}, {"down", WM_LBUTTONDOWN}};
        std::istringstream in(words);
        for (std::string w; in >> w;) {
            if (w == "F10" || w == "Alt") {
                script.Do([vk = w == "Alt" ? VK_MENU : VK_F10] { Key(WM_SYSKEYDOWN, vk); });
                continue;
            }
            if (w.rfind("levels=", 0) == 0) {
                const size_t n = std::stoul(w.substr(7));
                script.Do([n, w] { EXPECT_EQ(ThreadWindows(L"Lumenpad.Menu").size(), n) << w; });
                continue;
            }
            if (w.rfind("wait=", 0) == 0) {
                script.Wait(std::stod(w.substr(5)));
                continue;
            }
            bool known = false;
            for (const auto& [name, vk] : keys) {
                if (w != name) continue;
                script.Do([vk = vk] { Key(WM_KEYDOWN, vk); });
                known = true;
            }
            const size_t at = w.find('@');
            for (const auto& [name, msg] : mice) {
                if (at == std::string::npos || w.substr(0, at) != name) continue;
                script.Do([this, msg = msg, where = w.substr(at + 1)] { Mouse(msg, PointOf(where)); });
                known = true;
            }
            if (!known) ADD_FAILURE() << "unknown script word " << w;
        }
    }
};

TEST_F(PopupMenuWindow, KeysAndClicksChooseOrCancel) {
    struct Case {
        const char* name;
        const char* script;
        uint32_t expected;
    };
    const Case cases[] = {
        {"Down starts at the first row", "Down Enter", 101},
        {"arrows skip the separator and the disabled row; Enter opens, first row hot",
         "Down Down Enter levels=2 Enter", 201},
        {"Up starts at the last row", "Up Space", 103},
        {"Right opens; Down skips in the submenu", "Up Up Right levels=2 Down Enter", 203},
        {"Escape closes one level only", "End Right levels=1 Up Right levels=2 Escape levels=1 Up Enter",
         101},
        {"Left closes the submenu, Escape the menu", "Down Down Right Left levels=1 Escape", 0},
        {"Left at the root and other keys do nothing", "Left x Home Enter", 101},
        {"Down wraps from the last row to the first", "End Down Enter", 101},
        {"Tab cancels", "Down Tab", 0},
        {"F10 cancels", "Down F10", 0},
        {"Alt cancels", "Alt", 0},
        {"a click on a row chooses it", "up@5", 103},
        {"a right-button release chooses too", "rup@0", 101},
        {"a press outside cancels", "Down down@out", 0},
        {"a press inside does nothing", "down@5 levels=1 Escape", 0},
        {"disabled rows and separators do not answer clicks", "up@2 up@1 levels=1 Escape", 0},
        {"a click on a submenu row opens it", "up@3 levels=2 up@3.3", 203},
        {"a click on a disabled submenu row does nothing", "up@3 levels=2 up@3.2 up@3.1 levels=2 up@3.0",
         201},
        {"moving to another row closes the submenu", "up@3 levels=2 move@0 levels=1 Enter", 101},
        {"moving off the menu keeps the open submenu", "up@3 levels=2 move@out levels=2 Escape Escape", 0},
    };
    for (const Case& c : cases) {
        Script script;
        Fill(script, c.script);
        EXPECT_EQ(Run(script), c.expected) << c.name;
        EXPECT_TRUE(script.Finished()) << c.name << ": the menu closed before the script ended";
        EXPECT_FALSE(script.TimedOut()) << c.name;
    }
}

TEST_F(PopupMenuWindow, NothingSelectableHighlightsNothing) {
    items = {Row(1, L"a", false), Separator(), Row(2, L"b", false)};
    Script script;
    Fill(script, "Down Up Home End Enter Space Right levels=1 Escape");
    EXPECT_EQ(Run(script), 0u);
    EXPECT_TRUE(script.Finished());
    EXPECT_EQ(ShowPopupMenu(owner.hwnd(), {}, kAnchor, 0, palette, 96), 0u);
}

TEST_F(PopupMenuWindow, HoveringASubmenuRowOpensItAfterTheDelay) {
    double moved = 0, opened = 0;
    Script script;
    script.Do([&] {
        Mouse(WM_MOUSEMOVE, PointOf("3"));
        moved = NowMs();
    });
    script.Until([&] {
        if (ThreadWindows(L"Lumenpad.Menu").size() < 2) return false;
        opened = NowMs();
        return true;
    });
    Fill(script, "move@3.3 up@3.3");
    EXPECT_EQ(Run(script), 203u);
    EXPECT_TRUE(script.Finished());
    EXPECT_GE(opened - moved, 200.0);  // the timer never fires early; later is load
}

TEST_F(PopupMenuWindow, EndsOnQuitLostCaptureAndRefusesASecondMenu) {
    uint32_t nested = 1;
    Script second;
    second.Do([&] { nested = ShowPopupMenu(owner.hwnd(), items, kAnchor, 0, palette, 96); });
    Fill(second, "levels=1 Down Enter");
    EXPECT_EQ(Run(second), 101u);
    EXPECT_EQ(nested, 0u);

    Script quit;
    quit.Do([] { PostQuitMessage(7); });
    EXPECT_EQ(Run(quit), 0u);
    MSG msg{};
    ASSERT_TRUE(PeekMessageW(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) << "WM_QUIT was not posted again";
    EXPECT_EQ(msg.wParam, 7u);

    if (GetEnvironmentVariableW(L"LUMENPAD_UITEST", nullptr, 0) > 0) return;
    Script capture;
    capture.Do([] { ReleaseCapture(); });
    Fill(capture, "Down Enter");  // would choose 101 if the menu were still running
    EXPECT_EQ(Run(capture), 0u);
}

TEST_F(PopupMenuWindow, NearTheBottomRightCornerItOpensLeftAndUp) {
    const MenuLayout layout = MeasurePopupMenu(items, 96);
    const int32_t right = GetSystemMetrics(SM_CXSCREEN), bottom = GetSystemMetrics(SM_CYSCREEN);
    RECT root{}, sub{};
    Script script;
    script.Do([&] { root = test::WindowRect(ThreadWindows(L"Lumenpad.Menu").front()); });
    script.Do([] { Key(WM_KEYDOWN, VK_UP); });
    script.Do([] { Key(WM_KEYDOWN, VK_UP); });
    script.Do([] { Key(WM_KEYDOWN, VK_RIGHT); });
    script.Do([&] {
        for (HWND w : ThreadWindows(L"Lumenpad.Menu")) {
            if (test::WindowRect(w).left != root.left) sub = test::WindowRect(w);
        }
    });
    script.Do([] { Key(WM_KEYDOWN, VK_ESCAPE); });
    script.Do([] { Key(WM_KEYDOWN, VK_ESCAPE); });
    EXPECT_EQ(Run(script, POINT{right - 10, bottom - 10}), 0u);
    EXPECT_EQ(root.left, right - layout.width);
    EXPECT_EQ(root.top, bottom - 10 - layout.height);
    EXPECT_EQ(root.bottom, bottom - 10);
    EXPECT_LT(sub.right, root.left + 10) << "the submenu opens on the left";
    EXPECT_GE(sub.left, 0);
    EXPECT_LE(sub.bottom, bottom);
}

TEST_F(PopupMenuWindow, HotRowAndFrameColoursReachTheWindow) {
    for (int32_t theme : {kThemeLight, kThemeDark}) {
        palette = Colours(theme);
        const MenuLayout layout = MeasurePopupMenu(items, 96);
        const PopupRect hot = layout.rows[0], plain = layout.rows[5], open = layout.rows[3];
        COLORREF hotFill = 0, plainFill = 0, frame = 0, openFill = 0;
        Script script;
        Fill(script, "Down");
        script.Do([&] {
            const HWND root = ThreadWindows(L"Lumenpad.Menu").front();
            hotFill = test::WindowPixel(root, hot.left + 6, (hot.top + hot.bottom) / 2);
            plainFill = test::WindowPixel(root, plain.left + 6, plain.top + 3);
            frame = test::WindowPixel(root, 0, layout.height / 2);
        });
        Fill(script, "up@3 move@out levels=2");
        script.Do([&] {
            for (HWND w : ThreadWindows(L"Lumenpad.Menu")) {
                if (test::WindowRect(w).left == kAnchor.x)
                    openFill = test::WindowPixel(w, open.left + 6, open.top + 4);
            }
        });
        Fill(script, "Escape Escape");
        EXPECT_EQ(Run(script), 0u);
        EXPECT_TRUE(script.Finished());
        EXPECT_EQ(hotFill, palette.surfaceHover) << theme;
        EXPECT_EQ(plainFill, palette.surface) << theme;
        EXPECT_EQ(openFill, palette.surfaceHover) << theme << ": the open row keeps its highlight";
        if (!IsWindows11()) {
            EXPECT_EQ(frame, palette.surfaceBorder) << theme;
        }
    }
}

}  // namespace
}  // namespace lumen::ui
