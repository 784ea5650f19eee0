// The popup menu, the message dialog and the tip as real windows under Wine. The modal loops are
// driven by a script of posted keys and mouse messages that a thread timer runs while the loop under
// test dispatches it (so the owner's timers go on); at its deadline a script posts WM_QUIT, which ends
// both loops, so a failing test never leaves a window open. The colour tests are also the scenes of
// scripts/ui-shots.sh.
#include <windows.h>

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "app/theme.h"
#include "ui/message_dialog.h"
#include "ui/message_dialog_layout.h"
#include "ui/popup_menu.h"
#include "ui/popup_menu_layout.h"
#include "ui/tooltip.h"

namespace lumen::ui {
namespace {

double NowMs() {
    LARGE_INTEGER f, c;
    QueryPerformanceFrequency(&f), QueryPerformanceCounter(&c);
    return static_cast<double>(c.QuadPart) * 1000.0 / static_cast<double>(f.QuadPart);
}

std::vector<HWND> Windows(const wchar_t* className) {
    std::vector<HWND> found;
    for (HWND w = nullptr; (w = FindWindowExW(nullptr, w, className, nullptr)) != nullptr;)
        if (IsWindowVisible(w)) found.push_back(w);
    return found;
}

RECT WindowRect(HWND hwnd) {
    RECT r{};
    return GetWindowRect(hwnd, &r), r;
}

// The pixel that reached a window's client area.
COLORREF Pixel(HWND hwnd, int32_t x, int32_t y) {
    const HDC dc = GetDC(hwnd);
    const COLORREF c = GetPixel(dc, x, y);
    return ReleaseDC(hwnd, dc), c;
}

std::wstring ShotsFolder() {
    wchar_t folder[MAX_PATH] = {};
    return GetEnvironmentVariableW(L"LUMENPAD_SHOTS_DIR", folder, MAX_PATH) ? folder : L"";
}

// Words (Add): keys Down Up Left Right Home End Tab ShiftTab Enter Space Escape x, Alt F10, and
// "close" (WM_CLOSE), posted to the class's first visible window; "down@P" "up@P" "rup@P" "move@P"
// at the screen point `where` gives for P; "count=N": N windows of the class are visible; "destroy";
// "pose=NAME": with LUMENPAD_SHOTS_DIR set, writes NAME.ready there and waits for NAME.done.
class Script {
public:
    explicit Script(const wchar_t* className = L"", std::function<POINT(const std::string&)> where = {})
        : class_(className), where_(std::move(where)), deadline_(ShotsFolder().empty() ? 6000 : 60000) {}
    Script(const Script&) = delete;  // steps hold `this`
    ~Script() {
        Stop();
        MSG msg;
        if (timedOut_) PeekMessageW(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE);
    }
    // A step is tried once per tick until it returns true, so posted input is handled before the next.
    Script& Until(std::function<bool()> step) { return steps_.push_back(std::move(step)), *this; }
    Script& Do(std::function<void()> a) {
        return Until([a = std::move(a)] { return a(), true; });
    }
    Script& Add(const std::string& words) {
        std::istringstream in(words);
        for (std::string w; in >> w;)
            Word(w);
        return *this;
    }
    HWND Window() const { return Windows(class_).empty() ? nullptr : Windows(class_).front(); }
    void Start() {
        ParkPointer();
        current_ = this, start_ = NowMs();
        timer_ = SetTimer(nullptr, 0, USER_TIMER_MINIMUM, [](HWND, UINT, UINT_PTR, DWORD) {
            Script* s = current_;
            if (!s || s->timedOut_) return;
            // Also after the last step: a loop the script did not end must not wait forever.
            if (NowMs() - s->start_ > s->deadline_) {
                s->timedOut_ = true, PostQuitMessage(0);
            } else if (!s->Finished() && s->steps_[s->next_]()) {
                ++s->next_;
            }
        });
    }
    void Stop() {
        if (timer_) KillTimer(nullptr, timer_);
        if (current_ == this) current_ = nullptr;
        timer_ = 0;
    }
    // Runs the script under a plain message loop, for scenes without a modal loop.
    void Pump() {
        Start();
        for (MSG msg; !Finished() && !timedOut_ && GetMessageW(&msg, nullptr, 0, 0);)
            DispatchMessageW(&msg);
        Stop();
    }
    bool Finished() const { return next_ == steps_.size(); }
    bool TimedOut() const { return timedOut_; }

private:
    // Away from every window under test, so nothing starts hovered; the move the window system
    // reports for it is let through before the test's own input.
    static void ParkPointer() {
        POINT now{};
        if (GetCursorPos(&now) && now.x == 0 && now.y == 0) return;
        SetCursorPos(0, 0);
        for (const double until = NowMs() + 100; NowMs() < until; Sleep(5))
            for (MSG msg; PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE);)
                DispatchMessageW(&msg);
    }
    static void Shift(bool down) {
        BYTE keys[256];
        GetKeyboardState(keys);
        keys[VK_SHIFT] = down ? 0x80 : 0;
        SetKeyboardState(keys);
    }
    void Word(const std::string& w) {
        static const struct {
            const char* name;
            UINT msg;
            WPARAM wp;
        } posted[] = {{"Down", WM_KEYDOWN, VK_DOWN},
                      {"Up", WM_KEYDOWN, VK_UP},
                      {"Left", WM_KEYDOWN, VK_LEFT},
                      {"Right", WM_KEYDOWN, VK_RIGHT},
                      {"Home", WM_KEYDOWN, VK_HOME},
                      {"End", WM_KEYDOWN, VK_END},
                      {"Tab", WM_KEYDOWN, VK_TAB},
                      {"Enter", WM_KEYDOWN, VK_RETURN},
                      {"Space", WM_KEYDOWN, VK_SPACE},
                      {"Escape", WM_KEYDOWN, VK_ESCAPE},
                      {"x", WM_KEYDOWN, 'X'},
                      {"Alt", WM_SYSKEYDOWN, VK_MENU},
                      {"F10", WM_SYSKEYDOWN, VK_F10},
                      {"close", WM_CLOSE, 0},
                      {"down", WM_LBUTTONDOWN, MK_LBUTTON},
                      {"up", WM_LBUTTONUP, 0},
                      {"rup", WM_RBUTTONUP, 0},
                      {"move", WM_MOUSEMOVE, 0}};
        const size_t at = w.find('@');
        const std::string where = at == std::string::npos ? "" : w.substr(at + 1);
        for (const auto& p : posted) {
            if (w.substr(0, at) != p.name) continue;
            return (void)Do([this, p, where] {
                POINT pt = where.empty() ? POINT{} : where_(where);
                if (!where.empty()) SetCursorPos(pt.x, pt.y);  // the pointer is where the input says
                ScreenToClient(Window(), &pt);
                PostMessageW(Window(), p.msg, p.wp, where.empty() ? 0 : MAKELPARAM(pt.x, pt.y));
            });
        }
        if (w == "ShiftTab") {
            Do([] { Shift(true); }).Add("Tab").Do([] { Shift(false); });
        } else if (w == "destroy") {
            Do([this] { DestroyWindow(Window()); });
        } else if (w.starts_with("count=")) {
            Do([this, w] { EXPECT_EQ(Windows(class_).size(), std::stoul(w.substr(6))) << w; });
        } else if (w.starts_with("pose=") && !ShotsFolder().empty()) {
            const std::wstring path = ShotsFolder() + L"\\" + std::wstring(w.begin() + 5, w.end());
            Do([path] {
                CloseHandle(CreateFileW((path + L".ready").c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                        0, nullptr));
            });
            Until(
                [path] { return GetFileAttributesW((path + L".done").c_str()) != INVALID_FILE_ATTRIBUTES; });
        } else if (!w.starts_with("pose=")) {
            ADD_FAILURE() << "unknown script word " << w;
        }
    }

    static inline Script* current_ = nullptr;
    const wchar_t* class_;
    std::function<POINT(const std::string&)> where_;
    std::vector<std::function<bool()>> steps_;
    size_t next_ = 0;
    UINT_PTR timer_ = 0;
    double start_ = 0, deadline_;
    bool timedOut_ = false;
};

// A visible top-level window in one colour to own the popups.
struct OwnerWindow {
    HWND hwnd;
    OwnerWindow(int32_t x, int32_t y, int32_t w, int32_t h, COLORREF colour = 0xFFFFFF) {
        const std::wstring name = L"LumenpadTest.Owner" + std::to_wstring(colour);
        WNDCLASSW wc{0,       DefWindowProcW, 0,       0,       GetModuleHandleW(nullptr),
                     nullptr, nullptr,        nullptr, nullptr, name.c_str()};
        if (!GetClassInfoW(wc.hInstance, name.c_str(), &wc)) {
            wc.hbrBackground = CreateSolidBrush(colour);  // kept with the class for the process
            RegisterClassW(&wc);
        }
        hwnd = CreateWindowExW(0, name.c_str(), L"", WS_POPUP | WS_VISIBLE, x, y, w, h, nullptr, nullptr,
                               wc.hInstance, nullptr);
    }
    ~OwnerWindow() { DestroyWindow(hwnd); }
};

std::string Pose(int32_t theme, const char* what) {
    return std::string(" pose=") + (theme == kThemeLight ? "light-" : "dark-") + what + " ";
}

Palette Colours(int32_t theme) {
    return ResolvePalette(theme, 0, DesktopTheme{}).palette;
}

// 0 새 탭 (101, Ctrl+T) | 1 ---- | 2 닫기 (102, disabled) | 3 인코딩 > [0 UTF-8 (201, radio) | 1 ---- |
// 2 ANSI (202, disabled) | 3 UTF-16 LE (203)] | 4 최근 파일 (header) | 5 자동 줄 바꿈 (103, checked, Alt+Z)
std::vector<MenuItem> SampleMenu() {
    auto row = [](uint32_t id, const wchar_t* label, bool enabled = true) {
        MenuItem item;
        item.id = id, item.label = label, item.enabled = enabled, item.separator = !*label;
        return item;
    };
    std::vector<MenuItem> items = {row(101, L"새 탭"), row(0, L""),          row(102, L"닫기", false),
                                   row(0, L"인코딩"),  row(0, L"최근 파일"), row(103, L"자동 줄 바꿈")};
    items[0].shortcut = L"Ctrl+T", items[5].shortcut = L"Alt+Z", items[5].checked = true,
    items[4].header = true;
    items[3].submenu = {row(201, L"UTF-8"), row(0, L""), row(202, L"ANSI", false), row(203, L"UTF-16 LE")};
    items[3].submenu[0].radio = true;
    return items;
}

// Nine documents (six names and "외 3개" are shown), the first a long path.
DialogContent SampleQuestion() {
    DialogContent c{
        .title = L"변경 내용을 저장할까요?",
        .message = L"저장하지 않은 문서 9개가 있습니다. 저장하지 않으면 변경 내용이 사라집니다.",
        .items = {L"C:\\Users\\사용자\\Documents\\프로젝트\\아주 긴 폴더 이름\\또 다른 폴더\\회의록.txt"},
        .buttons = {L"저장", L"저장 안 함", L"취소"},
        .icon = kDialogIconQuestion};
    for (int i = 1; i < 9; ++i)
        c.items.push_back(L"제목 없음 " + std::to_wstring(i));
    return c;
}

constexpr POINT kAnchor{200, 150};

class PopupMenuWindow : public ::testing::Test {
protected:
    std::vector<MenuItem> items = SampleMenu();
    Palette palette = Colours(kThemeLight);
    std::unique_ptr<Script> script;

    // A new script. Points: "3" the root's row 3; "3.2" row 2 of the submenu open at row 3; "out".
    Script& Steps(const std::string& words = "") {
        script = std::make_unique<Script>(L"Lumenpad.Menu", [this](const std::string& where) {
            if (where == "out") return POINT{30, 30};
            const size_t row = std::stoul(where), dot = where.find('.');
            PopupRect r = MeasurePopupMenu(items, 96).rows[row].Offset(kAnchor.x, kAnchor.y);
            if (dot != std::string::npos) {
                const RECT sub = WindowRect(Level(false));
                r = MeasurePopupMenu(items[row].submenu, 96).rows[std::stoul(where.substr(dot + 1))];
                r = r.Offset(sub.left, sub.top);
            }
            return POINT{r.left + 10, (r.top + r.bottom) / 2};
        });
        return script->Add(words);
    }
    // Runs the menu under the script, which must end before the menu does unless `untilEnd` is false.
    uint32_t Run(HWND owner, bool untilEnd = true) {
        script->Start();
        const uint32_t id = ShowPopupMenu(owner, items, kAnchor, 0, palette, 96);
        script->Stop();
        EXPECT_TRUE(Windows(L"Lumenpad.Menu").empty()) << "menu windows left open";
        EXPECT_TRUE(script->Finished() || !untilEnd) << "the menu closed before the script ended";
        EXPECT_FALSE(script->TimedOut()) << "the menu was still open at the deadline";
        return id;
    }
    // The window of the root (at the anchor) or of the submenu.
    static HWND Level(bool root) {
        for (HWND w : Windows(L"Lumenpad.Menu"))
            if ((WindowRect(w).left == kAnchor.x) == root) return w;
        return nullptr;
    }
};

TEST_F(PopupMenuWindow, KeysAndClicksChooseOrCancel) {
    const OwnerWindow owner(0, 0, 1280, 1024);
    const struct {
        const char* name;
        const char* script;
        uint32_t expected;
    } cases[] = {
        {"Down starts at the first row", "Down Enter", 101},
        {"Down skips separator and disabled row; Enter opens, first row hot", "Down Down Enter count=2 Enter",
         201},
        {"Up starts at the last row", "Up Space", 103},
        {"Right opens; Down skips in the submenu", "Up Up Right count=2 Down Enter", 203},
        {"Escape closes one level only", "End Right count=1 Up Right count=2 Escape count=1 Up Enter", 101},
        {"Left closes the submenu, Escape the menu", "Down Down Right Left count=1 Escape", 0},
        {"Left at the root and other keys do nothing", "Left x Home Enter", 101},
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
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Steps(c.script);
        EXPECT_EQ(Run(owner.hwnd), c.expected);
    }
    items.assign(3, MenuItem{});  // a disabled row, a separator, a disabled row without a label
    items[0].id = 1, items[0].label = L"a", items[0].enabled = false;
    items[1].separator = true;
    items[2].id = 2, items[2].enabled = false;
    Steps("Down Up Home End Enter Space Right count=1 Escape");
    EXPECT_EQ(Run(owner.hwnd), 0u) << "nothing selectable";
    EXPECT_EQ(ShowPopupMenu(owner.hwnd, {}, kAnchor, 0, palette, 96), 0u);
}

TEST_F(PopupMenuWindow, HoverQuitLostCaptureAndASecondMenu) {
    const OwnerWindow owner(0, 0, 1280, 1024);
    double moved = 0, opened = 0;
    Steps("move@3").Do([&] { moved = NowMs(); });
    script->Until([&] { return Windows(L"Lumenpad.Menu").size() == 2 && (opened = NowMs()); });
    script->Add("move@3.3 up@3.3");
    EXPECT_EQ(Run(owner.hwnd), 203u);
    EXPECT_GE(opened - moved, 200.0 - 16) << "the hover delay";  // never early; later is load

    uint32_t nested = 1;
    Steps().Do([&] { nested = ShowPopupMenu(owner.hwnd, items, kAnchor, 0, palette, 96); }).Add("Down Enter");
    EXPECT_EQ(Run(owner.hwnd), 101u);
    EXPECT_EQ(nested, 0u) << "a second menu while one runs";

    Steps().Do([] { PostQuitMessage(7); });
    EXPECT_EQ(Run(owner.hwnd), 0u);
    MSG msg{};
    ASSERT_TRUE(PeekMessageW(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) << "WM_QUIT was not posted again";
    EXPECT_EQ(msg.wParam, 7u);

    if (GetEnvironmentVariableW(L"LUMENPAD_UITEST", nullptr, 0) > 0) return;
    Steps().Do([] { ReleaseCapture(); }).Add("Down Enter");
    EXPECT_EQ(Run(owner.hwnd, false), 0u) << "the menu went on without the capture";
}

TEST_F(PopupMenuWindow, ColoursReachTheWindow) {
    const MenuLayout root = MeasurePopupMenu(items, 96), sub = MeasurePopupMenu(items[3].submenu, 96);
    for (int32_t theme : {kThemeLight, kThemeDark}) {
        SCOPED_TRACE(theme);
        palette = Colours(theme);
        const OwnerWindow owner(0, 0, 1280, 1024, palette.editorBack);
        auto expect = [&](bool inRoot, const PopupRect& row, int32_t dx, int32_t dy, COLORREF colour) {
            script->Do([=] { EXPECT_EQ(Pixel(Level(inRoot), row.left + dx, row.top + dy), colour); });
        };
        Steps("Down");
        expect(true, root.rows[0], 6, 16, palette.surfaceHover);
        expect(true, root.rows[5], 6, 3, palette.surface);
        expect(true, PopupRect{}, 0, root.height / 2,
               IsWindows11() ? palette.surface : palette.surfaceBorder);
        script->Add("up@3 move@out count=2");
        expect(true, root.rows[3], 6, 4, palette.surfaceHover);  // the open row keeps its highlight
        expect(false, sub.rows[0], 20, 16, palette.accent);      // the radio dot's centre
        script->Add("move@3.3" + Pose(theme, "menu") + "Escape Escape");
        EXPECT_EQ(Run(owner.hwnd), 0u);
    }
}

class MessageDialogWindow : public ::testing::Test {
protected:
    DialogContent content = SampleQuestion();
    Palette palette = Colours(kThemeLight);
    std::unique_ptr<Script> script;

    // A new script. Points: "i" the centre of button i.
    Script& Steps(const std::string& words = "") {
        script = std::make_unique<Script>(L"Lumenpad.Dialog", [this](const std::string& where) {
            const PopupRect b = MeasureMessageDialog(content, 96).buttons[std::stoul(where)];
            const RECT d = WindowRect(Dialog());
            return POINT{d.left + (b.left + b.right) / 2, d.top + (b.top + b.bottom) / 2};
        });
        return script->Add(words);
    }
    int32_t Run(HWND owner) {
        script->Start();
        const int32_t index = ShowMessageDialog(owner, content, palette, 96);
        script->Stop();
        EXPECT_EQ(Dialog(), nullptr) << "the dialog was left open";
        EXPECT_TRUE(script->Finished()) << "the dialog closed before the script ended";
        EXPECT_FALSE(script->TimedOut()) << "the dialog was still open at the deadline";
        return index;
    }
    static HWND Dialog() { return FindWindowW(L"Lumenpad.Dialog", nullptr); }
};

TEST_F(MessageDialogWindow, KeysAndMouseChooseAButton) {
    const OwnerWindow owner(100, 100, 800, 600);
    const struct {
        const char* name;
        int32_t defaultButton, cancelButton;
        const char* script;
        int32_t expected;
    } cases[] = {
        {"Enter chooses the default", 1, -1, "Enter", 1},
        {"Escape chooses the cancel index", 0, 1, "Escape", 1},
        {"Tab moves the focus, Space chooses", 0, -1, "Tab Space", 1},
        {"Shift+Tab moves back", 1, -1, "ShiftTab Enter", 0},
        {"Right and Left move", 1, -1, "Right Right Left Enter", 2},
        {"other keys do nothing", 0, -1, "x count=1 Enter", 0},
        {"press and release on one button", 0, -1, "move@1 down@1 up@1", 1},
        {"press on one button, release on another: nothing", 0, -1, "down@0 up@2 count=1 Escape", 2},
        {"closing the window cancels", 0, 0, "close", 0},
        {"a window destroyed by someone else cancels", 0, -1, "destroy", 2},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        content.defaultButton = c.defaultButton, content.cancelButton = c.cancelButton;
        Steps(c.script);
        EXPECT_EQ(Run(owner.hwnd), c.expected);
    }
}

TEST_F(MessageDialogWindow, OwnerQuitAnswererAndNoButtons) {
    const OwnerWindow owner(100, 100, 800, 600);
    const DialogLayout l = MeasureMessageDialog(content, 96);
    const PopupPoint centred = CentreDialog(PopupRect{100, 100, 900, 700}, PopupSize{l.width, l.height}, 96);
    Steps().Do([&] {
        EXPECT_FALSE(IsWindowEnabled(owner.hwnd)) << "the owner is disabled while the dialog is shown";
        EXPECT_EQ(WindowRect(Dialog()).left, centred.x) << "centred on the owner";
        EXPECT_EQ(WindowRect(Dialog()).top, centred.y);
        PostQuitMessage(5);
    });
    EXPECT_EQ(Run(owner.hwnd), 2);
    EXPECT_TRUE(IsWindowEnabled(owner.hwnd));
    MSG msg{};
    ASSERT_TRUE(PeekMessageW(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) << "WM_QUIT was not posted again";
    EXPECT_EQ(msg.wParam, 5u);

    EnableWindow(owner.hwnd, FALSE);  // an owner disabled before stays disabled
    Steps("Escape");
    EXPECT_EQ(Run(owner.hwnd), 2);
    EXPECT_FALSE(IsWindowEnabled(owner.hwnd));

    HWND seen = reinterpret_cast<HWND>(1);
    SetDialogAnswerer(
        [&](const DialogContent& c) { return seen = Dialog(), c.buttons.size() == 3 ? 1 : -7; });
    EXPECT_EQ(ShowMessageDialog(owner.hwnd, content, palette, 96), 1);
    EXPECT_EQ(seen, nullptr) << "no window while the answerer replies";
    SetDialogAnswerer(nullptr);
    content.buttons.clear();
    EXPECT_EQ(ShowMessageDialog(owner.hwnd, content, palette, 96), -1);
}

TEST_F(MessageDialogWindow, ColoursReachTheWindow) {
    content.dangerButton = 1;
    const DialogLayout l = MeasureMessageDialog(content, 96);
    for (int32_t theme : {kThemeLight, kThemeDark}) {
        SCOPED_TRACE(theme);
        palette = Colours(theme);
        const OwnerWindow owner(100, 100, 800, 600, palette.editorBack);
        const COLORREF bar = palette.dark ? 0x202020 : 0xF3F3F3;
        auto expect = [&](int32_t x, int32_t y, COLORREF colour) {
            script->Do([=] { EXPECT_EQ(Pixel(Dialog(), x, y), colour) << x << "," << y; });
        };
        auto button = [&](size_t i, int32_t dx, COLORREF colour) {
            expect(l.buttons[i].left + dx, (l.buttons[i].top + l.buttons[i].bottom) / 2, colour);
        };
        Steps();
        button(0, 3, palette.accent);
        button(1, 3, palette.error);
        button(2, 3, palette.dark ? 0x373737u : 0xFBFBFBu);
        button(1, -2, bar);  // no focus ring yet
        expect(5, l.height - 5, bar);
        expect(l.width - 5, 5, palette.surface);
        script->Add("down@0");
        button(0, 3, MixColor(palette.accent, palette.dark ? 0x000000 : 0xFFFFFF, 0.2));  // pressed
        script->Add("up@2 Tab" + Pose(theme, "dialog"));
        button(1, -2, palette.accent);  // the focus ring
        script->Add("Escape");
        EXPECT_EQ(Run(owner.hwnd), 2);
    }
}

TEST(TooltipWindow, ShowsWherePlacedPaintsAndHides) {
    const int32_t bottom = GetSystemMetrics(SM_CYSCREEN);
    for (int32_t theme : {kThemeLight, kThemeDark}) {
        SCOPED_TRACE(theme);
        const Palette palette = Colours(theme);
        auto owner = std::make_unique<OwnerWindow>(0, 0, 640, 480, palette.editorBack);
        TipWindow tip;
        ShowTip(tip, owner->hwnd, L"인코딩: UTF-8 — 누르면 다른 인코딩으로 다시 열거나 저장합니다",
                POINT{200, 200}, palette, 96);
        Script().Add(Pose(theme, "tip")).Pump();
        const HWND first = tip.window;
        EXPECT_EQ(std::pair(WindowRect(first).left, WindowRect(first).top), std::pair(200L, 200L));

        ShowTip(tip, owner->hwnd, std::wstring(200, L'가'), POINT{300, bottom - 10}, palette, 144);
        ASSERT_EQ(tip.window, first) << "one window, reused";
        const RECT r = WindowRect(tip.window);
        EXPECT_EQ(r.left, 300);
        EXPECT_EQ(r.bottom, bottom - 10 - 54) << "flipped above its anchor by its height and 36 DIP";
        EXPECT_LE(r.right - r.left, 690 + 1 + 30) << "wrapped at 460 DIP";
        EXPECT_GT(r.bottom - r.top, 3 * 24) << "several lines";
        EXPECT_NE(WindowFromPoint(POINT{r.left + 40, r.top + 20}), tip.window) << "click-through";
        EXPECT_NE(GetActiveWindow(), tip.window);
        UpdateWindow(tip.window);
        EXPECT_EQ(Pixel(tip.window, 2, 2), palette.surface);
        EXPECT_EQ(Pixel(tip.window, 0, 5), IsWindows11() ? palette.surface : palette.surfaceBorder);
        int32_t ink = 0;
        for (int32_t x = 15; x < 60; ++x)
            ink += Pixel(tip.window, x, 20) != palette.surface;
        EXPECT_GT(ink, 3) << "the text is drawn";

        HideTip(tip);
        EXPECT_FALSE(IsWindowVisible(tip.window));
        owner.reset();  // destroys the tip with it
        EXPECT_EQ(tip.window, nullptr);
    }
}

}  // namespace
}  // namespace lumen::ui
