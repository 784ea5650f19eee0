// The message dialog as a real window under its own modal loop, driven by posted keys and mouse
// messages from a script: Enter, Escape, Tab and Shift+Tab, the arrows, presses and releases,
// closing and destruction; the owner disabled meanwhile; WM_QUIT; the answerer that replaces the
// window; and the colours that reach the window in light and dark mode.
#include <windows.h>

#include <gtest/gtest.h>

#include <sstream>

#include "app/theme.h"
#include "ui/popup_script.h"
#include "ui/message_dialog.h"
#include "ui/message_dialog_layout.h"

namespace lumen::ui {
namespace {

using test::Script;
using test::ThreadWindows;

HWND Dialog() {
    const std::vector<HWND> found = ThreadWindows(L"Lumenpad.Dialog");
    return found.empty() ? nullptr : found.front();
}

Palette Colours(int32_t theme) {
    return ResolvePalette(theme, 0, DesktopTheme{}).palette;
}

class MessageDialogWindow : public ::testing::Test {
protected:
    test::OwnerWindow owner{100, 100, 800, 600};
    Palette palette = Colours(kThemeLight);
    DialogContent content = [] {
        DialogContent c;
        c.title = L"변경 내용을 저장할까요?";
        c.message = L"제목 없음 1";
        c.items = {L"C:\\문서\\아주\\깊은\\폴더\\이름이\\긴\\곳에\\있는\\파일.txt", L"b.txt"};
        c.buttons = {L"저장", L"저장 안 함", L"취소"};
        c.icon = kDialogIconQuestion;
        return c;
    }();

    int32_t Run(Script& script) {
        script.Start();
        const int32_t index = ShowMessageDialog(owner.hwnd(), content, palette, 96);
        script.Stop();
        EXPECT_EQ(Dialog(), nullptr) << "the dialog was left open";
        return index;
    }

    POINT ButtonCentre(size_t i) const {
        const PopupRect b = MeasureMessageDialog(content, 96).buttons[i];
        return POINT{(b.left + b.right) / 2, (b.top + b.bottom) / 2};
    }

    static void Post(UINT msg, WPARAM wp, LPARAM lp = 0) {
        if (HWND d = Dialog()) PostMessageW(d, msg, wp, lp);
    }

    static void Shift(bool down) {
        BYTE keys[256];
        GetKeyboardState(keys);
        keys[VK_SHIFT] = down ? 0x80 : 0;
        SetKeyboardState(keys);
    }

    // Key names; "ShiftTab"; "down@i", "up@i", "move@i" at button i; "close" (WM_CLOSE); "destroy";
    // "alive" checks that the dialog is still open.
    void Fill(Script& script, const std::string& words) {
        static const std::pair<const char*, WPARAM> keys[] = {
            {"Enter", VK_RETURN}, {"Escape", VK_ESCAPE}, {"Tab", VK_TAB}, {"Right", VK_RIGHT},
            {"Left", VK_LEFT},    {"Space", VK_SPACE},   {"x", 'X'}};
        static const std::pair<const char*, UINT> mice[] = {
            {"down", WM_LBUTTONDOWN}, {"up", WM_LBUTTONUP}, {"move", WM_MOUSEMOVE}};
        std::istringstream in(words);
        for (std::string w; in >> w;) {
            bool known = true;
            if (w == "ShiftTab") {
                script.Do([] {
                    Shift(true);
                    Post(WM_KEYDOWN, VK_TAB);
                });
                script.Do([] { Shift(false); });
            } else if (w == "close") {
                script.Do([] { Post(WM_CLOSE, 0); });
            } else if (w == "destroy") {
                script.Do([] { DestroyWindow(Dialog()); });
            } else if (w == "alive") {
                script.Do([] { EXPECT_NE(Dialog(), nullptr); });
            } else {
                known = false;
            }
            for (const auto& [name, vk] : keys) {
                if (w != name) continue;
                script.Do([vk = vk] { Post(WM_KEYDOWN, vk); });
                known = true;
            }
            const size_t at = w.find('@');
            for (const auto& [name, msg] : mice) {
                if (at == std::string::npos || w.substr(0, at) != name) continue;
                const POINT p = ButtonCentre(std::stoul(w.substr(at + 1)));
                script.Do([msg = msg, p] {
                    Post(msg, msg == WM_LBUTTONDOWN ? MK_LBUTTON : 0, MAKELPARAM(p.x, p.y));
                });
                known = true;
            }
            if (!known) ADD_FAILURE() << "unknown script word " << w;
        }
    }
};

TEST_F(MessageDialogWindow, KeysAndMouseChooseAButton) {
    struct Case {
        const char* name;
        int32_t defaultButton, cancelButton;
        const char* script;
        int32_t expected;
    };
    const Case cases[] = {
        {"Enter chooses the default", 0, -1, "Enter", 0},
        {"Escape with cancelButton -1 chooses the last", 0, -1, "Escape", 2},
        {"Escape chooses cancelButton", 0, 1, "Escape", 1},
        {"the default is clamped into the buttons", 9, -1, "Space", 2},
        {"Tab moves the focus", 0, -1, "Tab Enter", 1},
        {"Tab from the last wraps to the first", 0, -1, "Tab Tab Tab Space", 0},
        {"Shift+Tab from the first wraps to the last", 0, -1, "ShiftTab Enter", 2},
        {"Right and Left wrap", 1, -1, "Right Right Left Enter", 2},
        {"other keys do nothing", 0, -1, "x alive Enter", 0},
        {"press and release on one button", 0, -1, "move@1 down@1 up@1", 1},
        {"press on one button, release on another: nothing", 0, -1, "down@0 up@2 alive Escape", 2},
        {"closing the window cancels", 0, 0, "close", 0},
        {"a window destroyed by someone else cancels", 0, -1, "destroy", 2},
    };
    for (const Case& c : cases) {
        content.defaultButton = c.defaultButton;
        content.cancelButton = c.cancelButton;
        Script script;
        Fill(script, c.script);
        EXPECT_EQ(Run(script), c.expected) << c.name;
        EXPECT_TRUE(script.Finished()) << c.name << ": the dialog closed before the script ended";
        EXPECT_FALSE(script.TimedOut()) << c.name;
    }
}

TEST_F(MessageDialogWindow, OwnerDisabledWhileShownAndDialogCentredOnIt) {
    bool ownerEnabled = true;
    RECT where{};
    Script script;
    script.Do([&] {
        ownerEnabled = IsWindowEnabled(owner.hwnd()) != FALSE;
        where = test::WindowRect(Dialog());
    });
    Fill(script, "Enter");
    EXPECT_EQ(Run(script), 0);
    EXPECT_FALSE(ownerEnabled);
    EXPECT_TRUE(IsWindowEnabled(owner.hwnd()));
    const DialogLayout l = MeasureMessageDialog(content, 96);
    EXPECT_EQ(where.right - where.left, l.width);
    EXPECT_EQ(where.bottom - where.top, l.height);
    EXPECT_EQ(where.left, 100 + (800 - l.width) / 2);
    EXPECT_EQ(where.top, 100 + (600 - l.height) / 2 - 20);

    // An owner that is already disabled stays disabled.
    EnableWindow(owner.hwnd(), FALSE);
    Script again;
    Fill(again, "Escape");
    EXPECT_EQ(Run(again), 2);
    EXPECT_FALSE(IsWindowEnabled(owner.hwnd()));
    EnableWindow(owner.hwnd(), TRUE);
}

TEST_F(MessageDialogWindow, QuitAnswererAndNoButtons) {
    Script quit;
    quit.Do([] { PostQuitMessage(5); });
    EXPECT_EQ(Run(quit), 2);
    MSG msg{};
    ASSERT_TRUE(PeekMessageW(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) << "WM_QUIT was not posted again";
    EXPECT_EQ(msg.wParam, 5u);

    HWND seen = reinterpret_cast<HWND>(1);
    SetDialogAnswerer([&](const DialogContent& c) {
        seen = Dialog();
        return c.buttons.size() == 3 ? 1 : -7;
    });
    EXPECT_EQ(ShowMessageDialog(owner.hwnd(), content, palette, 96), 1);
    EXPECT_EQ(seen, nullptr) << "no window while the answerer replies";
    SetDialogAnswerer(nullptr);

    content.buttons.clear();
    EXPECT_EQ(ShowMessageDialog(owner.hwnd(), content, palette, 96), -1);
}

TEST_F(MessageDialogWindow, ButtonColoursReachTheWindow) {
    content.buttons = {L"저장", L"삭제", L"취소"};
    content.dangerButton = 1;
    for (int32_t theme : {kThemeLight, kThemeDark}) {
        palette = Colours(theme);
        const DialogLayout l = MeasureMessageDialog(content, 96);
        auto leftEdge = [&](size_t i) {
            return POINT{l.buttons[i].left + 3, (l.buttons[i].top + l.buttons[i].bottom) / 2};
        };
        COLORREF filled = 0, danger = 0, neutral = 0, bar = 0, body = 0, pressed = 0, ring = 0, noRing = 0;
        auto at = [](POINT p) { return test::WindowPixel(Dialog(), p.x, p.y); };
        Script script;
        script.Do([&] {
            filled = at(leftEdge(0));
            danger = at(leftEdge(1));
            neutral = at(leftEdge(2));
            bar = at(POINT{5, l.height - 5});
            body = at(POINT{l.width - 5, 5});
            noRing = at(POINT{l.buttons[1].left - 2, leftEdge(1).y});
        });
        Fill(script, "down@0");
        script.Do([&] { pressed = at(leftEdge(0)); });
        Fill(script, "up@2 Tab");
        script.Do([&] { ring = at(POINT{l.buttons[1].left - 2, leftEdge(1).y}); });
        Fill(script, "Escape");
        EXPECT_EQ(Run(script), 2);
        EXPECT_TRUE(script.Finished());
        const COLORREF barColour = palette.dark ? 0x202020 : 0xF3F3F3;
        EXPECT_EQ(filled, palette.accent) << theme;
        EXPECT_EQ(danger, palette.error) << theme;
        EXPECT_EQ(neutral, palette.dark ? 0x373737u : 0xFBFBFBu) << theme;
        EXPECT_EQ(bar, barColour) << theme;
        EXPECT_EQ(body, palette.surface) << theme;
        EXPECT_EQ(pressed, MixColor(palette.accent, palette.dark ? 0x000000 : 0xFFFFFF, 0.2)) << theme;
        EXPECT_EQ(noRing, barColour) << theme;
        EXPECT_EQ(ring, palette.accent) << theme << ": focus ring after Tab";
    }
}

}  // namespace
}  // namespace lumen::ui
