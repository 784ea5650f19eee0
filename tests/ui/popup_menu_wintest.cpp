// The popup menu as a real window under its own modal loop, driven by posted keys and mouse messages
// from a script the loop itself dispatches (so the owner's timers go on): navigation across
// separators and disabled rows, submenus by key, click and hover, cancelling, WM_QUIT, a nested
// call, the loss of the capture, and the colours that reach the window in light and dark mode.
#include <windows.h>

#include <gtest/gtest.h>

#include "app/theme.h"
#include "ui/popup_menu.h"
#include "ui/popup_menu_layout.h"
#include "ui/popup_script.h"

namespace lumen::ui {
namespace {

using test::Script;

MenuItem Row(uint32_t id, std::wstring label, bool enabled = true, bool separator = false) {
    MenuItem m;
    m.id = id;
    m.label = std::move(label);
    m.enabled = enabled;
    m.separator = separator;
    return m;
}

// 0 새 탭 (101) | 1 ---- | 2 닫기 (102, disabled) | 3 인코딩 > [0 UTF-8 (201) | 1 ---- | 2 ANSI (202,
// disabled) | 3 UTF-16 LE (203)] | 4 header | 5 열기 (103, checked)
std::vector<MenuItem> Tree() {
    std::vector<MenuItem> items = {Row(101, L"새 탭"), Row(0, L"", true, true), Row(102, L"닫기", false),
                                   Row(0, L"인코딩"),  Row(0, L"최근 파일"),    Row(103, L"열기")};
    items[0].shortcut = L"Ctrl+T";
    items[3].submenu = {Row(201, L"UTF-8"), Row(0, L"", true, true), Row(202, L"ANSI", false),
                        Row(203, L"UTF-16 LE")};
    items[3].submenu[0].radio = true;
    items[4].header = true;
    items[5].checked = true;
    return items;
}

constexpr POINT kAnchor{200, 150};

class PopupMenuWindow : public ::testing::Test {
protected:
    test::OwnerWindow owner{0, 0, 1280, 1024};
    std::vector<MenuItem> items = Tree();
    Palette palette = ResolvePalette(kThemeLight, 0, DesktopTheme{}).palette;

    Script MakeScript() {
        return Script(L"Lumenpad.Menu", [this](const std::string& w) { return PointOf(w); });
    }
    uint32_t Run(Script& script) {
        script.Start();
        const uint32_t id = ShowPopupMenu(owner.hwnd(), items, kAnchor, 0, palette, 96);
        script.Stop();
        EXPECT_TRUE(test::ThreadWindows(L"Lumenpad.Menu").empty()) << "menu windows left open";
        return id;
    }
    // The window of the root (at the anchor) or of the submenu.
    static HWND Level(bool root) {
        for (HWND w : test::ThreadWindows(L"Lumenpad.Menu")) {
            if ((test::WindowRect(w).left == kAnchor.x) == root) return w;
        }
        return nullptr;
    }
    // "3": the root's row 3; "3.2": row 2 of the submenu open at row 3; "out": outside the menu.
    POINT PointOf(const std::string& where) const {
        if (where == "out") return POINT{30, 30};
        const size_t row = std::stoul(where), dot = where.find('.');
        PopupRect r = MeasurePopupMenu(items, 96).rows[row].Offset(kAnchor.x, kAnchor.y);
        if (dot != std::string::npos) {
            const RECT sub = test::WindowRect(Level(false));
            r = MeasurePopupMenu(items[row].submenu, 96).rows[std::stoul(where.substr(dot + 1))];
            r = r.Offset(sub.left, sub.top);
        }
        return POINT{r.left + 10, (r.top + r.bottom) / 2};
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
        {"Down skips the separator and the disabled row; Enter opens, first row hot",
         "Down Down Enter count=2 Enter", 201},
        {"Up starts at the last row", "Up Space", 103},
        {"Right opens; Down skips in the submenu", "Up Up Right count=2 Down Enter", 203},
        {"Escape closes one level only", "End Right count=1 Up Right count=2 Escape count=1 Up Enter", 101},
        {"Left closes the submenu, Escape the menu", "Down Down Right Left count=1 Escape", 0},
        {"Left at the root and other keys do nothing", "Left x Home Enter", 101},
        {"Down wraps from the last row to the first", "End Down Enter", 101},
        {"Tab cancels", "Down Tab", 0},
        {"F10 cancels", "Down F10", 0},
        {"Alt cancels", "Alt", 0},
        {"a click on a row chooses it", "up@5", 103},
        {"a right-button release chooses too", "rup@0", 101},
        {"a press outside cancels", "Down down@out", 0},
        {"a press inside does nothing", "down@5 count=1 Escape", 0},
        {"disabled rows and separators ignore clicks", "up@2 up@1 count=1 Escape", 0},
        {"a click on a submenu row opens it", "up@3 count=2 up@3.3", 203},
        {"disabled rows of a submenu ignore clicks", "up@3 up@3.2 up@3.1 count=2 up@3.0", 201},
        {"moving to another row closes the submenu", "up@3 count=2 move@0 count=1 Enter", 101},
        {"moving off the menu keeps the open submenu", "up@3 count=2 move@out count=2 Escape Escape", 0},
    };
    for (const Case& c : cases) {
        Script script = MakeScript();
        EXPECT_EQ(Run(script.Add(c.script)), c.expected) << c.name;
        EXPECT_TRUE(script.Finished()) << c.name << ": the menu closed before the script ended";
    }
    items = {Row(1, L"a", false), Row(0, L"", true, true), Row(2, L"b", false)};
    Script none = MakeScript();
    EXPECT_EQ(Run(none.Add("Down Up Home End Enter Space Right count=1 Escape")), 0u) << "nothing selectable";
    EXPECT_TRUE(none.Finished());
    EXPECT_EQ(ShowPopupMenu(owner.hwnd(), {}, kAnchor, 0, palette, 96), 0u);
}

TEST_F(PopupMenuWindow, HoveringASubmenuRowOpensItAfterTheDelay) {
    double moved = 0, opened = 0;
    Script script = MakeScript();
    script.Add("move@3").Do([&] { moved = test::NowMs(); });
    script.Until(
        [&] { return test::ThreadWindows(L"Lumenpad.Menu").size() == 2 && (opened = test::NowMs()); });
    EXPECT_EQ(Run(script.Add("move@3.3 up@3.3")), 203u);
    EXPECT_TRUE(script.Finished());
    EXPECT_GE(opened - moved, 200.0 - 16);  // the timer is never early; later is load
}

TEST_F(PopupMenuWindow, EndsOnQuitLostCaptureAndRefusesASecondMenu) {
    uint32_t nested = 1;
    Script second = MakeScript();
    second.Do([&] { nested = ShowPopupMenu(owner.hwnd(), items, kAnchor, 0, palette, 96); });
    EXPECT_EQ(Run(second.Add("count=1 Down Enter")), 101u);
    EXPECT_EQ(nested, 0u);

    Script quit = MakeScript();
    EXPECT_EQ(Run(quit.Do([] { PostQuitMessage(7); })), 0u);
    MSG msg{};
    ASSERT_TRUE(PeekMessageW(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) << "WM_QUIT was not posted again";
    EXPECT_EQ(msg.wParam, 7u);

    if (GetEnvironmentVariableW(L"LUMENPAD_UITEST", nullptr, 0) > 0) return;
    Script capture = MakeScript();
    capture.Do([] { ReleaseCapture(); });
    EXPECT_EQ(Run(capture.Add("Down Enter")), 0u) << "the menu went on without the capture";
}

TEST_F(PopupMenuWindow, HotRowAndFrameColoursReachTheWindow) {
    const MenuLayout layout = MeasurePopupMenu(items, 96);
    auto at = [&](size_t row, int32_t dy) {
        return test::WindowPixel(Level(true), layout.rows[row].left + 6, layout.rows[row].top + dy);
    };
    for (int32_t theme : {kThemeLight, kThemeDark}) {
        palette = ResolvePalette(theme, 0, DesktopTheme{}).palette;
        COLORREF hot = 0, plain = 0, frame = 0, open = 0;
        Script script = MakeScript();
        script.Add("Down").Do([&] {
            hot = at(0, 16);
            plain = at(5, 3);
            frame = test::WindowPixel(Level(true), 0, layout.height / 2);
        });
        script.Add("up@3 move@out count=2").Do([&] { open = at(3, 4); });
        EXPECT_EQ(Run(script.Add("Escape Escape")), 0u);
        EXPECT_TRUE(script.Finished());
        EXPECT_EQ(hot, palette.surfaceHover) << theme;
        EXPECT_EQ(plain, palette.surface) << theme;
        EXPECT_EQ(open, palette.surfaceHover) << theme << ": the open row keeps its highlight";
        EXPECT_EQ(frame, IsWindows11() ? palette.surface : palette.surfaceBorder) << theme;
    }
}

}  // namespace
}  // namespace lumen::ui
