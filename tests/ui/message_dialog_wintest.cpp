// The message dialog as a real window under its own modal loop, driven by posted keys and mouse
// messages from a script: Enter, Escape, Tab and Shift+Tab, the arrows, presses and releases, closing
// and destruction; the owner disabled meanwhile; WM_QUIT; the answerer that replaces the window; and
// the colours that reach the window in light and dark mode.
#include <windows.h>

#include <gtest/gtest.h>

#include "app/theme.h"
#include "ui/message_dialog.h"
#include "ui/message_dialog_layout.h"
#include "ui/popup_script.h"

namespace lumen::ui {
namespace {

using test::Script;

class MessageDialogWindow : public ::testing::Test {
protected:
    test::OwnerWindow owner{100, 100, 800, 600};
    Palette palette = ResolvePalette(kThemeLight, 0, DesktopTheme{}).palette;
    DialogContent content = [] {
        DialogContent c;
        c.title = L"변경 내용을 저장할까요?";
        c.items = {L"C:\\문서\\아주\\깊은\\폴더\\이름이\\긴\\곳에\\있는\\파일.txt", L"b.txt"};
        c.buttons = {L"저장", L"저장 안 함", L"취소"};
        c.icon = kDialogIconQuestion;
        return c;
    }();

    // "@i" is the centre of button i.
    Script MakeScript() {
        return Script(L"Lumenpad.Dialog", [this](const std::string& w) {
            const PopupRect b = MeasureMessageDialog(content, 96).buttons[std::stoul(w)];
            const RECT d = test::WindowRect(Dialog());
            return POINT{d.left + (b.left + b.right) / 2, d.top + (b.top + b.bottom) / 2};
        });
    }
    int32_t Run(Script& script) {
        script.Start();
        const int32_t index = ShowMessageDialog(owner.hwnd(), content, palette, 96);
        script.Stop();
        EXPECT_EQ(Dialog(), nullptr) << "the dialog was left open";
        return index;
    }
    static HWND Dialog() {
        const std::vector<HWND> found = test::ThreadWindows(L"Lumenpad.Dialog");
        return found.empty() ? nullptr : found.front();
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
        {"Tab moves the focus, Space chooses", 0, -1, "Tab Space", 1},
        {"Shift+Tab from the first wraps to the last", 0, -1, "ShiftTab Enter", 2},
        {"Right and Left wrap", 1, -1, "Right Right Left Enter", 2},
        {"other keys do nothing", 0, -1, "x count=1 Enter", 0},
        {"press and release on one button", 0, -1, "move@1 down@1 up@1", 1},
        {"press on one button, release on another: nothing", 0, -1, "down@0 up@2 count=1 Escape", 2},
        {"closing the window cancels", 0, 0, "close", 0},
        {"a window destroyed by someone else cancels", 0, -1, "destroy", 2},
    };
    for (const Case& c : cases) {
        content.defaultButton = c.defaultButton;
        content.cancelButton = c.cancelButton;
        Script script = MakeScript();
        EXPECT_EQ(Run(script.Add(c.script)), c.expected) << c.name;
        EXPECT_TRUE(script.Finished()) << c.name << ": the dialog closed before the script ended";
    }
}

TEST_F(MessageDialogWindow, OwnerQuitAnswererAndNoButtons) {
    bool ownerEnabled = true;
    RECT where{};
    Script script = MakeScript();
    script.Do([&] {
        ownerEnabled = IsWindowEnabled(owner.hwnd()) != FALSE;
        where = test::WindowRect(Dialog());
    });
    EXPECT_EQ(Run(script.Do([] { PostQuitMessage(5); })), 2);
    EXPECT_FALSE(ownerEnabled) << "the owner is disabled while the dialog is shown";
    const DialogLayout l = MeasureMessageDialog(content, 96);
    const PopupPoint centred = CentreDialog(PopupRect{100, 100, 900, 700}, PopupSize{l.width, l.height}, 96);
    EXPECT_EQ(where.left, centred.x) << "centred on the owner";
    EXPECT_EQ(where.top, centred.y);
    EXPECT_TRUE(IsWindowEnabled(owner.hwnd()));
    MSG msg{};
    ASSERT_TRUE(PeekMessageW(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) << "WM_QUIT was not posted again";
    EXPECT_EQ(msg.wParam, 5u);

    EnableWindow(owner.hwnd(), FALSE);  // an owner disabled before stays disabled
    Script again = MakeScript();
    EXPECT_EQ(Run(again.Add("Escape")), 2);
    EXPECT_FALSE(IsWindowEnabled(owner.hwnd()));
    EnableWindow(owner.hwnd(), TRUE);

    HWND seen = reinterpret_cast<HWND>(1);
    SetDialogAnswerer(
        [&](const DialogContent& c) { return seen = Dialog(), c.buttons.size() == 3 ? 1 : -7; });
    EXPECT_EQ(ShowMessageDialog(owner.hwnd(), content, palette, 96), 1);
    EXPECT_EQ(seen, nullptr) << "no window while the answerer replies";
    SetDialogAnswerer(nullptr);
    content.buttons.clear();
    EXPECT_EQ(ShowMessageDialog(owner.hwnd(), content, palette, 96), -1);
}

TEST_F(MessageDialogWindow, ButtonColoursReachTheWindow) {
    content.buttons = {L"저장", L"삭제", L"취소"};
    content.dangerButton = 1;
    const DialogLayout l = MeasureMessageDialog(content, 96);
    auto edge = [&](size_t i, int32_t dx = 3) {
        return test::WindowPixel(Dialog(), l.buttons[i].left + dx,
                                 (l.buttons[i].top + l.buttons[i].bottom) / 2);
    };
    for (int32_t theme : {kThemeLight, kThemeDark}) {
        palette = ResolvePalette(theme, 0, DesktopTheme{}).palette;
        COLORREF filled = 0, danger = 0, neutral = 0, bar = 0, body = 0, pressed = 0, ring = 0, noRing = 0;
        Script script = MakeScript();
        script.Do([&] {
            filled = edge(0), danger = edge(1), neutral = edge(2), noRing = edge(1, -2);
            bar = test::WindowPixel(Dialog(), 5, l.height - 5);
            body = test::WindowPixel(Dialog(), l.width - 5, 5);
        });
        script.Add("down@0").Do([&] { pressed = edge(0); });
        script.Add("up@2 Tab").Do([&] { ring = edge(1, -2); });
        EXPECT_EQ(Run(script.Add("Escape")), 2);
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
