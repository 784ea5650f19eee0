// The QuillEdit control hosted in a real parent window and driven only by messages: SendMessage
// for the interface, synthesized key and character messages for typing, the notifications the
// parent receives (counts and fields), the undo steps the edits make, the clipboard, the mouse, and
// the long-line round trip with wrapping off and on.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

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

LRESULT CALLBACK ParentProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NOTIFY) {
        const auto* n = reinterpret_cast<const Notification*>(lParam);
        g_received.push_back({n->nmhdr.code, *n, static_cast<HWND>(n->nmhdr.hwndFrom), wParam});
        return 0;
    }
    return DefWindowProcW(hwnd, message, wParam, lParam);
}

void Pump() {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
}

int Count(unsigned code) {
    int n = 0;
    for (const Received& r : g_received)
        n += r.code == code ? 1 : 0;
    return n;
}

class Host {
public:
    explicit Host(int width = 400, int height = 200) {
        HINSTANCE instance = GetModuleHandleW(nullptr);
        parent_ = test::CreateTestParent(L"LumenpadTest.ControlParent", ParentProc, width, height);
        edit_ = CreateWindowExW(0, kQuillEditClass, L"", WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS, 0, 0, width,
                                height, parent_, reinterpret_cast<HMENU>(7), instance, nullptr);
        Pump();
        g_received.clear();
    }
    ~Host() {
        DestroyWindow(parent_);
        Pump();
    }
    HWND hwnd() const { return edit_; }
    intptr_t Send(unsigned m, uintptr_t w = 0, intptr_t l = 0) { return SendMessageW(edit_, m, w, l); }
    intptr_t SendText(unsigned m, uintptr_t w, char* text) {
        return SendText(m, w, static_cast<const char*>(text));
    }
    intptr_t SendText(unsigned m, uintptr_t w, const char* text) {
        return SendMessageW(edit_, m, w, reinterpret_cast<LPARAM>(text));
    }
    std::string Text() {
        std::string s(static_cast<size_t>(Send(SCI_GETLENGTH)) + 1, '\0');
        SendText(SCI_GETTEXT, s.size(), s.data());
        s.resize(s.size() - 1);
        return s;
    }
    void SetText(const std::string& s) { SendText(SCI_SETTEXT, 0, s.c_str()); }
    intptr_t Caret() { return Send(SCI_GETCURRENTPOS); }
    intptr_t Anchor() { return Send(SCI_GETANCHOR); }
    // A key press with the given modifiers held, as the system would deliver it.
    void Key(UINT vkey, bool shift = false, bool control = false) {
        BYTE state[256] = {};
        GetKeyboardState(state);
        state[VK_SHIFT] = shift ? 0x80 : 0;
        state[VK_CONTROL] = control ? 0x80 : 0;
        SetKeyboardState(state);
        SendMessageW(edit_, WM_KEYDOWN, vkey, 1);
        state[VK_SHIFT] = state[VK_CONTROL] = 0;
        SetKeyboardState(state);
    }
    void Chars(const std::wstring& text) {
        for (wchar_t ch : text)
            SendMessageW(edit_, WM_CHAR, ch, 1);
    }
    void ShowParent() {
        ShowWindow(parent_, SW_SHOWNOACTIVATE);
        UpdateWindow(parent_);
    }

private:
    HWND parent_ = nullptr;
    HWND edit_ = nullptr;
};

std::string U8(const char8_t* s) {
    return reinterpret_cast<const char*>(s);
}

TEST(QuillControl, InterfaceEdgeCases) {
    Host h;
    h.SetText("hello\r\nworld");
    char buf[16];
    std::memset(buf, 'x', sizeof buf);
    EXPECT_EQ(h.SendText(SCI_GETTEXT, 3, buf), 3);
    EXPECT_STREQ(buf, "hel");
    h.Send(SCI_SETSEL, static_cast<uintptr_t>(-1), -1);
    EXPECT_EQ(h.Caret(), 12);
    EXPECT_EQ(h.Anchor(), 12);
    EXPECT_EQ(h.Send(SCI_POSITIONFROMLINE, 2), 12);
    EXPECT_EQ(h.Send(SCI_POSITIONFROMLINE, 3), -1);
    h.Send(SCI_SETWRAPMODE, 3);
    EXPECT_EQ(h.Send(SCI_GETWRAPMODE), 1);
    g_received.clear();
    h.Send(SCI_SETZOOM, 100);
    EXPECT_EQ(h.Send(SCI_GETZOOM), 60);
    EXPECT_EQ(Count(SCN_ZOOM), 1);
    h.Send(SCI_SETTABWIDTH, 0);
    EXPECT_EQ(h.Send(SCI_GETTABWIDTH), 8);
    h.Send(SCI_STYLESETFORE, 5, 0x123456);
    EXPECT_EQ(h.Send(SCI_STYLEGETFORE, 5), 0);
    EXPECT_EQ(h.Send(SCI_STYLEGETFORE, 33), 0);
    // Wide-text window messages.
    EXPECT_EQ(SendMessageW(h.hwnd(), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"\xD55C\xAE00 ab")), 1);
    EXPECT_EQ(h.Text(), U8(u8"한글 ab"));
    EXPECT_EQ(SendMessageW(h.hwnd(), WM_GETTEXTLENGTH, 0, 0), 5);
    wchar_t wide[4] = {};
    EXPECT_EQ(SendMessageW(h.hwnd(), WM_GETTEXT, 4, reinterpret_cast<LPARAM>(wide)), 3);
    EXPECT_EQ(std::wstring(wide), L"\xD55C\xAE00 ");
    EXPECT_EQ(SendMessageW(h.hwnd(), WM_GETTEXT, 0, reinterpret_cast<LPARAM>(wide)), 0);
    // The direct function does what a message does.
    using Direct = intptr_t (*)(void*, unsigned, uintptr_t, intptr_t);
    auto direct = reinterpret_cast<Direct>(h.Send(SCI_GETDIRECTFUNCTION));
    void* ptr = reinterpret_cast<void*>(h.Send(SCI_GETDIRECTPOINTER));
    ASSERT_NE(direct, nullptr);
    EXPECT_EQ(direct(ptr, SCI_GETLENGTH, 0, 0), h.Send(SCI_GETLENGTH));
    direct(ptr, SCI_SETTEXT, 0, reinterpret_cast<intptr_t>("direct"));
    EXPECT_EQ(h.Text(), "direct");
    // The hint message and an unknown message.
    EXPECT_EQ(h.Send(QM_SETHINTTEXT, 0, reinterpret_cast<intptr_t>(L"hint")), 0);
    EXPECT_EQ(h.Send(4321, 1, 2), 0);
}

TEST(QuillControl, TypingNotifiesTheParentAndBatchesUpdates) {
    Host h;
    h.Send(SCI_SETSAVEPOINT);
    Pump();
    g_received.clear();
    h.Chars(L"abc");
    EXPECT_EQ(Count(SCN_MODIFIED), 3);
    EXPECT_EQ(Count(SCN_CHARADDED), 3);
    EXPECT_EQ(Count(SCN_SAVEPOINTLEFT), 1);
    EXPECT_EQ(Count(SCN_UPDATEUI), 0);
    Pump();
    EXPECT_EQ(Count(SCN_UPDATEUI), 1);
    for (const Received& r : g_received) {
        EXPECT_EQ(r.from, h.hwnd());
        EXPECT_EQ(r.wParam, 7u);
        EXPECT_EQ(r.n.nmhdr.idFrom, 7u);
        if (r.code == SCN_UPDATEUI) {
            EXPECT_EQ(r.n.updated & 3, 3);
        }
    }
    const Received& first = g_received[0];
    EXPECT_EQ(first.code, SCN_MODIFIED);
    EXPECT_EQ(first.n.modificationType, 0x11);
    EXPECT_EQ(first.n.position, 0);
    EXPECT_EQ(first.n.length, 1);
    // A run of typing is one undo step.
    EXPECT_EQ(h.Send(SCI_CANUNDO), 1);
    h.Send(SCI_UNDO);
    EXPECT_EQ(h.Text(), "");
    EXPECT_EQ(h.Send(SCI_CANUNDO), 0);
    // Undo back to the save point reports reaching it.
    EXPECT_GE(Count(SCN_SAVEPOINTREACHED), 1);
    // A surrogate pair arrives in two character messages and is one character.
    g_received.clear();
    h.Chars(L"\xD83D\xDE00");
    EXPECT_EQ(h.Text(), "\xF0\x9F\x98\x80");
    ASSERT_EQ(Count(SCN_CHARADDED), 1);
    for (const Received& r : g_received)
        if (r.code == SCN_CHARADDED) {
            EXPECT_EQ(r.n.ch, 0x1F600);
        }
    EXPECT_EQ(SendMessageW(h.hwnd(), WM_UNICHAR, UNICODE_NOCHAR, 0), TRUE);
    SendMessageW(h.hwnd(), WM_UNICHAR, 0x1F601, 0);
    EXPECT_EQ(h.Text(), "\xF0\x9F\x98\x80\xF0\x9F\x98\x81");
    // Typing over a selection is one undo step.
    h.SetText("hello world");
    h.Send(SCI_EMPTYUNDOBUFFER);
    h.Send(SCI_SETSEL, 6, 11);
    h.Chars(L"there");
    EXPECT_EQ(h.Text(), "hello there");
    h.Send(SCI_UNDO);
    EXPECT_EQ(h.Text(), "hello world");
    EXPECT_EQ(h.Send(SCI_CANUNDO), 0);
    // Enter reports each byte of the break.
    g_received.clear();
    h.Key(VK_RETURN);
    EXPECT_EQ(Count(SCN_CHARADDED), 2);
}

TEST(QuillControl, KeysMoveByWordsAndEdit) {
    Host h;
    const std::string text = U8(u8"한글 abc...def\r\nxy");
    h.SetText(text);
    std::vector<intptr_t> stops;
    for (int i = 0; i < 6; ++i) {
        h.Key(VK_RIGHT, false, true);
        stops.push_back(h.Caret());
    }
    EXPECT_EQ(stops, (std::vector<intptr_t>{7, 10, 13, 16, 18, 20}));
    h.Key(VK_LEFT, false, true);
    h.Key(VK_LEFT, false, true);
    EXPECT_EQ(h.Caret(), 16);  // back over "xy" and then over CR LF as one
    h.Key(VK_LEFT, true, true);
    EXPECT_EQ(h.Anchor(), 16);
    EXPECT_EQ(h.Caret(), 13);
    // Backspace after CR LF takes both bytes.
    h.Send(SCI_GOTOPOS, 18);
    h.Key(VK_BACK);
    EXPECT_EQ(h.Text(), U8(u8"한글 abc...defxy"));
    // Ctrl+A then Delete.
    h.Key('A', false, true);
    EXPECT_EQ(h.Send(SCI_GETSELECTIONEND), h.Send(SCI_GETLENGTH));
    h.Key(VK_DELETE);
    EXPECT_EQ(h.Text(), "");
    h.Key('Z', false, true);
    EXPECT_EQ(h.Text(), U8(u8"한글 abc...defxy"));
}

TEST(QuillControl, TabAndBackTabOverSeveralLines) {
    Host h;
    h.SetText("one\ntwo\nthree\n");
    h.Send(SCI_SETSEL, 1, 10);
    h.Key(VK_TAB);
    EXPECT_EQ(h.Text(), "\tone\n\ttwo\n\tthree\n");
    EXPECT_EQ(h.Anchor(), 0);
    EXPECT_EQ(h.Caret(), 17);
    h.Send(SCI_UNDO);
    EXPECT_EQ(h.Text(), "one\ntwo\nthree\n");
    h.Send(SCI_SETUSETABS, 0);
    h.Send(SCI_SETINDENT, 2);
    h.Send(SCI_SETSEL, 10, 1);
    h.Key(VK_TAB);
    EXPECT_EQ(h.Text(), "  one\n  two\n  three\n");
    EXPECT_EQ(h.Anchor(), 20);
    EXPECT_EQ(h.Caret(), 0);
    h.Key(VK_TAB);
    EXPECT_EQ(h.Text(), "    one\n    two\n    three\n");
    h.Key(VK_TAB, true);
    EXPECT_EQ(h.Text(), "  one\n  two\n  three\n");
    // One line: spaces to the next stop.
    h.Send(SCI_GOTOPOS, 3);
    h.Key(VK_TAB);
    EXPECT_EQ(h.Text(), "  o ne\n  two\n  three\n");
}

TEST(QuillControl, SmartHomeOnWrappedRows) {
    Host h(200, 200);
    h.Send(SCI_SETWRAPMODE, 1);
    std::string line = "  ";
    for (int i = 0; i < 30; ++i)
        line += "word ";
    h.SetText(line);
    ASSERT_GT(h.Send(SCI_WRAPCOUNT, 0), 1);
    // A position in the second display row, from its first point.
    const intptr_t y0 = h.Send(SCI_POINTYFROMPOSITION, 0, intptr_t{0});
    const intptr_t lh = h.Send(SCI_TEXTHEIGHT, 0);
    const intptr_t rowStart = h.Send(SCI_POSITIONFROMPOINT, 0, y0 + lh + lh / 2);
    ASSERT_GT(rowStart, 2);
    h.Send(SCI_GOTOPOS, rowStart + 2);
    h.Key(VK_HOME);
    EXPECT_EQ(h.Caret(), rowStart);
    h.Key(VK_HOME);
    EXPECT_EQ(h.Caret(), 2);
    h.Key(VK_HOME);
    EXPECT_EQ(h.Caret(), 0);
    h.Key(VK_END);
    EXPECT_LT(h.Caret(), rowStart);
    h.Key(VK_END);
    EXPECT_EQ(h.Caret(), static_cast<intptr_t>(line.size()));
}

TEST(QuillControl, ClipboardRoundTripAndPasteUndo) {
    Host h;
    const std::string text = U8(u8"가나\r\n다 abc\r\n");
    h.SetText(text);
    h.Send(SCI_SELECTALL);
    h.Key('C', false, true);
    h.Send(SCI_SETSEL, static_cast<uintptr_t>(-1), -1);
    h.Send(SCI_EMPTYUNDOBUFFER);
    EXPECT_EQ(h.Send(SCI_CANPASTE), 1);
    h.Key('V', false, true);
    EXPECT_EQ(h.Text(), text + text);
    h.Send(SCI_PASTE);
    EXPECT_EQ(h.Text(), text + text + text);
    h.Send(SCI_UNDO);
    EXPECT_EQ(h.Text(), text + text);
    h.Send(SCI_UNDO);
    EXPECT_EQ(h.Text(), text);
    EXPECT_EQ(h.Send(SCI_CANUNDO), 0);
    // Cut removes what it copied; copy of nothing leaves the clipboard alone.
    h.Send(SCI_SETSEL, 0, 6);
    h.Send(SCI_CUT);
    EXPECT_EQ(h.Text(), U8(u8"\r\n다 abc\r\n"));
    h.Send(SCI_SETSEL, 2, 2);
    h.Send(SCI_COPY);
    h.Send(SCI_PASTE);
    EXPECT_EQ(h.Text(), U8(u8"\r\n가나다 abc\r\n"));
    h.Send(SCI_SETREADONLY, 1);
    EXPECT_EQ(h.Send(SCI_CANPASTE), 0);
}

TEST(QuillControl, FindAndReplaceThroughTheTarget) {
    Host h;
    h.SetText("apple Apple apple pineapple");
    auto count = [&](uintptr_t flags) {
        h.Send(SCI_SETSEARCHFLAGS, flags);
        h.Send(SCI_TARGETWHOLEDOCUMENT);
        int n = 0;
        while (h.SendText(SCI_SEARCHINTARGET, 5, "apple") >= 0) {
            ++n;
            h.Send(SCI_SETTARGETRANGE, static_cast<uintptr_t>(h.Send(SCI_GETTARGETEND)),
                   h.Send(SCI_GETLENGTH));
        }
        return n;
    };
    EXPECT_EQ(count(0), 4);
    EXPECT_EQ(count(SCFIND_MATCHCASE), 3);
    EXPECT_EQ(count(SCFIND_MATCHCASE | SCFIND_WHOLEWORD), 2);
    h.SetText("xxxx-axxb");
    h.Send(SCI_EMPTYUNDOBUFFER);
    h.Send(SCI_SETSEARCHFLAGS, 0);
    h.Send(SCI_BEGINUNDOACTION);
    h.Send(SCI_TARGETWHOLEDOCUMENT);
    while (h.SendText(SCI_SEARCHINTARGET, 1, "x") >= 0) {
        h.SendText(SCI_REPLACETARGET, 0, "");
        h.Send(SCI_SETTARGETRANGE, static_cast<uintptr_t>(h.Send(SCI_GETTARGETEND)), h.Send(SCI_GETLENGTH));
    }
    h.Send(SCI_ENDUNDOACTION);
    EXPECT_EQ(h.Text(), "-ab");
    h.Send(SCI_UNDO);
    EXPECT_EQ(h.Text(), "xxxx-axxb");
    EXPECT_EQ(h.Send(SCI_CANUNDO), 0);
}

TEST(QuillControl, MouseClicksSeriesAndWheelZoom) {
    Host h;
    h.SetText("alpha beta\r\nsecond");
    const intptr_t x = h.Send(SCI_POINTXFROMPOSITION, 0, 8) + 1;
    const intptr_t y = h.Send(SCI_POINTYFROMPOSITION, 0, 8) + 2;
    const LPARAM at = MAKELPARAM(x, y);
    SendMessageW(h.hwnd(), WM_LBUTTONDOWN, MK_LBUTTON, at);
    SendMessageW(h.hwnd(), WM_LBUTTONUP, 0, at);
    EXPECT_EQ(h.Caret(), 8);
    SendMessageW(h.hwnd(), WM_LBUTTONDBLCLK, MK_LBUTTON, at);
    SendMessageW(h.hwnd(), WM_LBUTTONUP, 0, at);
    EXPECT_EQ(h.Anchor(), 6);
    EXPECT_EQ(h.Caret(), 10);
    SendMessageW(h.hwnd(), WM_LBUTTONDOWN, MK_LBUTTON, at);
    SendMessageW(h.hwnd(), WM_LBUTTONUP, 0, at);
    EXPECT_EQ(h.Anchor(), 0);
    EXPECT_EQ(h.Caret(), 12);                                // the line with its break
    SendMessageW(h.hwnd(), WM_LBUTTONDOWN, MK_LBUTTON, at);  // a fourth click starts over
    SendMessageW(h.hwnd(), WM_LBUTTONUP, 0, at);
    EXPECT_EQ(h.Anchor(), 8);
    EXPECT_EQ(h.Caret(), 8);
    EXPECT_EQ(GetFocus(), h.hwnd());
    // Dragging with the button held extends the selection; release ends it.
    SendMessageW(h.hwnd(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(2, y));
    const intptr_t x2 = h.Send(SCI_POINTXFROMPOSITION, 0, 4) + 1;
    SendMessageW(h.hwnd(), WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(x2, y));
    SendMessageW(h.hwnd(), WM_LBUTTONUP, 0, MAKELPARAM(x2, y));
    EXPECT_EQ(h.Send(SCI_GETSELECTIONSTART), 0);
    EXPECT_EQ(h.Send(SCI_GETSELECTIONEND), 4);
    // Control+wheel by 240 zooms in twice.
    g_received.clear();
    SendMessageW(h.hwnd(), WM_MOUSEWHEEL, MAKEWPARAM(MK_CONTROL, 240), 0);
    EXPECT_EQ(h.Send(SCI_GETZOOM), 2);
    EXPECT_EQ(Count(SCN_ZOOM), 2);
    Pump();
}

TEST(QuillControl, FocusNotifications) {
    Host h;
    h.ShowParent();
    g_received.clear();
    h.Send(SCI_GRABFOCUS);
    EXPECT_EQ(h.Send(SCI_GETFOCUS), 1);
    EXPECT_EQ(Count(SCN_FOCUSIN), 1);
    SetFocus(nullptr);
    EXPECT_EQ(h.Send(SCI_GETFOCUS), 0);
    EXPECT_EQ(Count(SCN_FOCUSOUT), 1);
    Pump();
}

// The system caret (never shown, but input methods and screen readers place themselves by it)
// sits on the view's caret after every message, whichever way the caret moved.
TEST(QuillControl, SystemCaretFollowsTheCaret) {
    Host h;
    h.ShowParent();
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
    Host h;
    h.ShowParent();
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

// Insert Hangul and an astral character in the middle of a long line and take them out again with
// Backspace; everything read through the messages must end where it started.
void LongLineRoundTrip(bool wrap) {
    Host h(500, 300);
    h.ShowParent();
    h.Send(SCI_SETWRAPMODE, wrap ? 1 : 0);
    std::string line;
    for (int i = 0; i < 500; ++i)
        line += U8(u8"가나다 abc 123 ");  // 12 characters each: 6,000
    h.SetText(line);
    const intptr_t length = h.Send(SCI_GETLENGTH);
    const intptr_t at = h.Send(SCI_POSITIONRELATIVE, 0, 3000);
    ASSERT_GT(at, 0);
    h.Send(SCI_GOTOPOS, static_cast<uintptr_t>(at));
    const intptr_t x0 = h.Send(SCI_POINTXFROMPOSITION, 0, at);
    const intptr_t y0 = h.Send(SCI_POINTYFROMPOSITION, 0, at);
    const intptr_t endX0 = h.Send(SCI_POINTXFROMPOSITION, 0, length);
    const intptr_t rows0 = h.Send(SCI_WRAPCOUNT, 0);
    const intptr_t width0 = h.SendText(SCI_TEXTWIDTH, 0, line.c_str());

    h.Chars(L"\xD55C");
    EXPECT_EQ(h.Caret(), at + 3);
    const intptr_t xHan = h.Send(SCI_POINTXFROMPOSITION, 0, at + 3);
    h.Chars(L"\xD83D\xDE00");
    EXPECT_EQ(h.Caret(), at + 7);
    EXPECT_EQ(h.Send(SCI_GETLENGTH), length + 7);
    std::string expect = line;
    expect.insert(static_cast<size_t>(at), U8(u8"한") + "\xF0\x9F\x98\x80");
    EXPECT_EQ(h.Text(), expect);
    EXPECT_EQ(h.Send(SCI_POSITIONBEFORE, static_cast<uintptr_t>(at + 7)), at + 3);
    EXPECT_EQ(h.Send(SCI_POSITIONAFTER, static_cast<uintptr_t>(at)), at + 3);
    if (!wrap) {
        EXPECT_GT(xHan, x0);
        EXPECT_GT(h.Send(SCI_POINTXFROMPOSITION, 0, at + 7), xHan);
        EXPECT_GT(h.Send(SCI_POINTXFROMPOSITION, 0, length + 7), endX0 - 1);
    }
    EXPECT_EQ(h.SendText(SCI_TEXTWIDTH, 0, expect.c_str()),
              width0 + h.SendText(SCI_TEXTWIDTH, 0, U8(u8"한").c_str()) +
                  h.SendText(SCI_TEXTWIDTH, 0, "\xF0\x9F\x98\x80"));
    Pump();

    h.Key(VK_BACK);
    EXPECT_EQ(h.Caret(), at + 3);
    EXPECT_EQ(h.Send(SCI_POINTXFROMPOSITION, 0, at + 3), xHan);
    h.Key(VK_BACK);
    Pump();
    EXPECT_EQ(h.Text(), line);
    EXPECT_EQ(h.Caret(), at);
    EXPECT_EQ(h.Send(SCI_GETLENGTH), length);
    EXPECT_EQ(h.Send(SCI_POINTYFROMPOSITION, 0, at), y0);
    EXPECT_EQ(h.Send(SCI_POINTXFROMPOSITION, 0, length), endX0);
    EXPECT_EQ(h.Send(SCI_WRAPCOUNT, 0), rows0);
    EXPECT_EQ(h.SendText(SCI_TEXTWIDTH, 0, h.Text().c_str()), width0);
    EXPECT_EQ(h.Send(SCI_POSITIONFROMPOINT, static_cast<uintptr_t>(h.Send(SCI_POINTXFROMPOSITION, 0, at) + 1),
                     h.Send(SCI_POINTYFROMPOSITION, 0, at) + 1),
              at);
    // The two characters were one undo step of typing and one of backspacing.
    h.Send(SCI_UNDO);
    EXPECT_EQ(h.Text(), expect);
    h.Send(SCI_UNDO);
    EXPECT_EQ(h.Text(), line);
}

TEST(QuillControl, LongLineRoundTripWithoutWrapping) {
    LongLineRoundTrip(false);
}

TEST(QuillControl, LongLineRoundTripWithWrapping) {
    LongLineRoundTrip(true);
}

}  // namespace
}  // namespace quill
