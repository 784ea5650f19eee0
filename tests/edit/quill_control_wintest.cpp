// The QuillEdit control hosted in a real parent window, for what only the window adds to the
// behaviour tested natively (control_test.cpp): the wide-text window messages and the direct
// function, notifications reaching the parent with the control's id and the posted update, key,
// character and mouse messages with the system's keyboard state and click timing, the real
// clipboard, the system caret and the caret timer.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

#include "edit/layout_support.h"
#include "edit/notification.h"
#include "edit/quill_window_win.h"
#include "edit/sci_messages.h"
#include "edit/view_window_support.h"

namespace quill {
namespace {

struct Received {
    unsigned code;
    Notification n;
    HWND from;
    WPARAM wParam;
};
std::vector<Received> g_received;
using test::Pump;
using test::U8;

LRESULT CALLBACK ParentProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NOTIFY) {
        const auto* n = reinterpret_cast<const Notification*>(lParam);
        g_received.push_back({n->nmhdr.code, *n, static_cast<HWND>(n->nmhdr.hwndFrom), wParam});
        return 0;
    }
    return DefWindowProcW(hwnd, message, wParam, lParam);
}

int Count(unsigned code) {
    int n = 0;
    for (const Received& r : g_received)
        n += r.code == code ? 1 : 0;
    return n;
}

// The editor in a parent that records its notifications, driven by window messages.
struct Host : test::EditorWindow {
    explicit Host(bool show = false) : EditorWindow(400, 200, 0, show, ParentProc) {
        Pump();
        g_received.clear();
    }
    ~Host() { Pump(); }
    intptr_t Send(unsigned m, uintptr_t w = 0, intptr_t l = 0) { return SendMessageW(hwnd(), m, w, l); }
    std::string Text() { return doc().GetText(0, doc().Length()); }
    void SetText(const std::string& s) { Send(SCI_SETTEXT, 0, reinterpret_cast<intptr_t>(s.c_str())); }
    intptr_t Caret() { return Send(SCI_GETCURRENTPOS); }
    intptr_t Anchor() { return Send(SCI_GETANCHOR); }
    // A key press with the given modifiers held, as the system would deliver it.
    void Key(UINT vkey, bool shift = false, bool control = false) {
        BYTE state[256] = {};
        GetKeyboardState(state);
        state[VK_SHIFT] = shift ? 0x80 : 0;
        state[VK_CONTROL] = control ? 0x80 : 0;
        SetKeyboardState(state);
        SendMessageW(hwnd(), WM_KEYDOWN, vkey, 1);
        state[VK_SHIFT] = state[VK_CONTROL] = 0;
        SetKeyboardState(state);
    }
    void Chars(const std::wstring& text) {
        for (wchar_t ch : text)
            SendMessageW(hwnd(), WM_CHAR, ch, 1);
    }
};

TEST(QuillControl, WindowTextMessagesAndTheDirectFunction) {
    Host h;
    EXPECT_EQ(SendMessageW(h.hwnd(), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"\xD55C\xAE00 ab")), 1);
    EXPECT_EQ(h.Text(), U8(u8"한글 ab"));
    EXPECT_EQ(SendMessageW(h.hwnd(), WM_GETTEXTLENGTH, 0, 0), 5);
    wchar_t wide[4] = {};
    EXPECT_EQ(SendMessageW(h.hwnd(), WM_GETTEXT, 4, reinterpret_cast<LPARAM>(wide)), 3);
    EXPECT_EQ(std::wstring(wide), L"\xD55C\xAE00 ");
    EXPECT_EQ(SendMessageW(h.hwnd(), WM_GETTEXT, 0, reinterpret_cast<LPARAM>(wide)), 0);
    EXPECT_EQ(SendMessageW(h.hwnd(), WM_SETTEXT, 0, 0), 0);
    EXPECT_EQ(SendMessageW(h.hwnd(), WM_GETDLGCODE, 0, 0), 0x8F);
    using Direct = intptr_t (*)(void*, unsigned, uintptr_t, intptr_t);
    auto direct = reinterpret_cast<Direct>(h.Send(SCI_GETDIRECTFUNCTION));
    void* ptr = reinterpret_cast<void*>(h.Send(SCI_GETDIRECTPOINTER));
    ASSERT_NE(direct, nullptr);
    direct(ptr, SCI_SETTEXT, 0, reinterpret_cast<intptr_t>("direct"));
    EXPECT_EQ(h.Text(), "direct");
    EXPECT_EQ(direct(ptr, SCI_GETLENGTH, 0, 0), 6);
    h.Send(QM_SETHINTTEXT, 0, reinterpret_cast<intptr_t>(L"hint"));
    EXPECT_EQ(h.view().appearance().hint, L"hint");
}

TEST(QuillControl, NotificationsReachTheParentAndUpdatesArePosted) {
    Host h(true);
    h.Send(SCI_SETSAVEPOINT);
    Pump();
    g_received.clear();
    h.Chars(L"abc");
    EXPECT_EQ(Count(SCN_MODIFIED), 3);
    EXPECT_EQ(Count(SCN_CHARADDED), 3);
    EXPECT_EQ(Count(SCN_SAVEPOINTLEFT), 1);
    EXPECT_EQ(Count(SCN_UPDATEUI), 0);
    Pump();  // one posted update for the whole batch
    EXPECT_EQ(Count(SCN_UPDATEUI), 1);
    for (const Received& r : g_received) {
        EXPECT_EQ(r.from, h.hwnd());
        EXPECT_EQ(r.wParam, 7u);
        EXPECT_EQ(r.n.nmhdr.idFrom, 7u);
    }
    // A surrogate pair arrives in two character messages and is one character.
    g_received.clear();
    h.Chars(L"\xD83D\xDE00");
    ASSERT_EQ(Count(SCN_CHARADDED), 1);
    EXPECT_EQ(h.Text(), "abc\xF0\x9F\x98\x80");
    EXPECT_EQ(SendMessageW(h.hwnd(), WM_UNICHAR, UNICODE_NOCHAR, 0), TRUE);
    SendMessageW(h.hwnd(), WM_UNICHAR, 0x1F601, 0);
    EXPECT_EQ(h.Text(), "abc\xF0\x9F\x98\x80\xF0\x9F\x98\x81");
    g_received.clear();
    h.Send(SCI_GRABFOCUS);
    EXPECT_EQ(h.Send(SCI_GETFOCUS), 1);
    SetFocus(nullptr);
    EXPECT_EQ(h.Send(SCI_GETFOCUS), 0);
    EXPECT_EQ(Count(SCN_FOCUSIN), 1);
    EXPECT_EQ(Count(SCN_FOCUSOUT), 1);
    Pump();
}

// Keys with the modifier state the system keeps; what each binding does is tested natively.
TEST(QuillControl, KeyMessagesReadTheKeyboardState) {
    Host h;
    h.SetText(U8(u8"한글 abc\r\nxy"));
    h.Key(VK_RIGHT, false, true);
    EXPECT_EQ(h.Caret(), 7);
    h.Key(VK_RIGHT, true, true);
    EXPECT_EQ(h.Anchor(), 7);
    EXPECT_EQ(h.Caret(), 10);
    h.Key(VK_RIGHT, true, false);
    EXPECT_EQ(h.Anchor(), 7);
    EXPECT_EQ(h.Caret(), 12);  // the line break as one step
    // The input method's keys and unbound keys go to the default handling.
    EXPECT_EQ(SendMessageW(h.hwnd(), WM_SYSKEYDOWN, 'Q', 1), 0);
    EXPECT_EQ(h.Send(SCI_GETLENGTH), 14);
}

// The host's clipboard is the system's: Ctrl+C and Ctrl+V through it (the clipboard functions
// themselves are clipboard_wintest.cpp's, cut and paste natively control_test.cpp's).
TEST(QuillControl, ClipboardRoundTripThroughTheSystem) {
    Host h;
    const std::string text = U8(u8"가나\r\n다 abc\r\n");
    h.SetText(text);
    h.Send(SCI_SELECTALL);
    h.Key('C', false, true);
    h.Send(SCI_SETSEL, static_cast<uintptr_t>(-1), -1);
    EXPECT_EQ(h.Send(SCI_CANPASTE), 1);
    h.Key('V', false, true);
    EXPECT_EQ(h.Text(), text + text);
}

// Click series by the system's double-click time and distance, and the capture during a drag.
TEST(QuillControl, ClickSeriesAndDragWithTheCapture) {
    Host h;
    h.SetText("alpha beta\r\nsecond");
    const intptr_t y = h.Send(SCI_POINTYFROMPOSITION, 0, 8) + 2;
    const LPARAM at = MAKELPARAM(h.Send(SCI_POINTXFROMPOSITION, 0, 8) + 1, y);
    auto click = [&](UINT message, LPARAM where) {
        SendMessageW(h.hwnd(), message, MK_LBUTTON, where);
        SendMessageW(h.hwnd(), WM_LBUTTONUP, 0, where);
    };
    click(WM_LBUTTONDOWN, at);
    EXPECT_EQ(h.Caret(), 8);
    click(WM_LBUTTONDBLCLK, at);
    EXPECT_EQ(h.Anchor(), 6);
    EXPECT_EQ(h.Caret(), 10);
    click(WM_LBUTTONDOWN, at);
    EXPECT_EQ(h.Caret(), 12);  // the line with its break
    click(WM_LBUTTONDOWN, at);
    EXPECT_EQ(h.Caret(), 8);  // a fourth click starts over
    EXPECT_EQ(GetFocus(), h.hwnd());
    SendMessageW(h.hwnd(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(2, y));
    EXPECT_EQ(GetCapture(), h.hwnd());
    SendMessageW(h.hwnd(), WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(h.Send(SCI_POINTXFROMPOSITION, 0, 4) + 1, y));
    SendMessageW(h.hwnd(), WM_LBUTTONUP, 0, MAKELPARAM(2, y));
    EXPECT_EQ(GetCapture(), nullptr);
    EXPECT_EQ(h.Send(SCI_GETSELECTIONEND), 4);
    // A document swapped during a press still lets the release free the mouse.
    SendMessageW(h.hwnd(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(2, y));
    h.Send(SCI_SETDOCPOINTER, 0, 0);
    SendMessageW(h.hwnd(), WM_LBUTTONUP, 0, MAKELPARAM(2, y));
    EXPECT_EQ(GetCapture(), nullptr);
    SendMessageW(h.hwnd(), WM_MOUSEWHEEL, MAKEWPARAM(MK_CONTROL, 240), 0);
    EXPECT_EQ(h.Send(SCI_GETZOOM), 2);
    Pump();
}

// The system caret (never shown, but input methods and screen readers place themselves by it)
// sits on the view's caret after every message, whichever way the caret moved.
TEST(QuillControl, SystemCaretFollowsTheCaret) {
    Host h(true);
    h.Send(SCI_GRABFOCUS);
    std::string text;
    for (int i = 0; i < 60; ++i)
        text += "line " + std::to_string(i) + "\r\n";
    h.SetText(text);
    auto expectAtCaret = [&](const char* what) {
        POINT p{};
        ASSERT_TRUE(GetCaretPos(&p)) << what;
        const intptr_t caret = h.Caret();
        EXPECT_EQ(p.x, h.Send(SCI_POINTXFROMPOSITION, 0, caret)) << what;
        EXPECT_EQ(p.y, h.Send(SCI_POINTYFROMPOSITION, 0, caret)) << what;
    };
    h.Send(SCI_GOTOPOS, 3);
    expectAtCaret("goto");
    h.Chars(L"xy");
    expectAtCaret("typing");
    h.Key(VK_NEXT);
    expectAtCaret("page down");
    h.Key(VK_NEXT);
    expectAtCaret("second page down (often the same place on the screen)");
    h.Key(VK_END);
    expectAtCaret("end");
    // Through the direct-call function, without a window message.
    using Direct = intptr_t (*)(intptr_t, unsigned, uintptr_t, intptr_t);
    const auto fn = reinterpret_cast<Direct>(h.Send(SCI_GETDIRECTFUNCTION));
    const intptr_t ptr = h.Send(SCI_GETDIRECTPOINTER);
    fn(ptr, SCI_GOTOPOS, 1, 0);
    expectAtCaret("direct goto");
    // Focus lost and regained: a new system caret, placed again.
    SetFocus(nullptr);
    h.Send(SCI_GRABFOCUS);
    expectAtCaret("refocused");
    Pump();
}

// A blink tick that arrives right after the caret moved is held back (the caret stays on, as a
// restarted timer would keep it); one that comes a full period after the last move blinks it off.
TEST(QuillControl, CaretBlinkWaitsAFullPeriodAfterAMove) {
    Host h(true);
    h.Send(SCI_SETCARETPERIOD, 60);
    h.Send(SCI_GRABFOCUS);
    h.SetText("blink");
    View* v = ViewFromWindow(h.hwnd());
    ASSERT_NE(v, nullptr);
    h.Chars(L"a");
    ASSERT_TRUE(v->CaretPhase());
    SendMessageW(h.hwnd(), WM_TIMER, kCaretTimer, 0);
    EXPECT_TRUE(v->CaretPhase());
    Sleep(100);
    SendMessageW(h.hwnd(), WM_TIMER, kCaretTimer, 0);
    EXPECT_FALSE(v->CaretPhase());
    SendMessageW(h.hwnd(), WM_TIMER, kCaretTimer, 0);
    EXPECT_TRUE(v->CaretPhase());
    Pump();
}

}  // namespace
}  // namespace quill
