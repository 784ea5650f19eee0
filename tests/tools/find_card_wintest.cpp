// The find card as a real window under Wine, hosted over a main window of its own in the test
// process: scripts of typed characters and keys sent to the card's EDIT boxes and clicks on its
// buttons, then the counter, the selection, the text, the status message, the focus and the match
// highlights on screen.
#include <windows.h>

#include <gtest/gtest.h>

#include "support/test_main_window.h"

#include <sstream>
#include <string>

#include "app/app.h"
#include "app/main_window.h"
#include "edit/quill_window_win.h"
#include "edit/sci_messages.h"
#include "files/code_page.h"
#include "selftest/self_test.h"
#include "tools/find_card.h"

namespace lumen {
namespace {

using namespace quill;

void SetKey(int key, bool down) {
    BYTE keys[256];
    GetKeyboardState(keys);
    keys[key] = down ? 0x80 : 0;
    SetKeyboardState(keys);
}

// A main window of the test's own (not the program's application object), made once.
App& Host() {
    static App app;
    if (app.hwnd) return app;
    test::OpenTestMainWindow(app, SW_SHOW);
    SetForegroundWindow(app.hwnd);
    PumpMessages();
    return app;
}

class FindCardWindow : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_NE(app.hwnd, nullptr);
        CloseFindCard(app);
        app.find.matchCase = app.find.wholeWord = false;
        if (app.find.findEdit) SetWindowTextW(app.find.findEdit, L"");
        if (app.find.replaceEdit) SetWindowTextW(app.find.replaceEdit, L"");
        app.status.statusMessage.clear();
        PumpMessages();
    }

    // Words: "open=find|replace|goto", "type=TEXT" (characters to the focused box), "enter",
    // "shift+enter", "ctrl+enter", "tab", "escape", "ctrl+back", "click=N" (button N of the card),
    // "undo", "next", "previous" (the F3 commands).
    void Run(const std::string& script) {
        std::istringstream in(script);
        for (std::string w; in >> w;) {
            HWND box = GetFocus();
            if (w.starts_with("open=")) {
                const std::string m = w.substr(5);
                OpenFindCard(app, m == "find"      ? FindMode::Find
                                  : m == "replace" ? FindMode::Replace
                                                   : FindMode::GoToLine);
            } else if (w.starts_with("type=")) {
                for (wchar_t c : Utf8ToWide(w.substr(5)))
                    SendMessageW(box, WM_CHAR, c == L'_' ? L' ' : c, 1);
            } else if (w == "enter" || w == "shift+enter" || w == "ctrl+enter") {
                const int modifier = w[0] == 's' ? VK_SHIFT : w[0] == 'c' ? VK_CONTROL : 0;
                if (modifier) SetKey(modifier, true);
                SendMessageW(box, WM_KEYDOWN, VK_RETURN, 1);
                SendMessageW(box, WM_CHAR, 13, 1);
                if (modifier) SetKey(modifier, false);
            } else if (w == "tab" || w == "escape") {
                SendMessageW(box, WM_KEYDOWN, w == "tab" ? VK_TAB : VK_ESCAPE, 1);
                SendMessageW(box, WM_CHAR, w == "tab" ? 9 : 27, 1);
            } else if (w == "ctrl+back") {
                SetKey(VK_CONTROL, true);
                SendMessageW(box, WM_KEYDOWN, VK_BACK, 1);
                SendMessageW(box, WM_CHAR, 127, 1);
                SetKey(VK_CONTROL, false);
            } else if (w.starts_with("click=")) {
                const BandRect& r = app.find.layout.buttons[std::stoi(w.substr(6))];
                const LPARAM at = MAKELPARAM((r.left + r.right) / 2, (r.top + r.bottom) / 2);
                SendMessageW(app.find.card, WM_LBUTTONDOWN, MK_LBUTTON, at);
                SendMessageW(app.find.card, WM_LBUTTONUP, 0, at);
            } else if (w == "undo") {
                Ed(app, SCI_UNDO);
            } else if (w == "next" || w == "previous") {
                FindNextFromCommand(app, w == "next");
            } else {
                ADD_FAILURE() << "unknown word " << w;
            }
            PumpMessages();
        }
    }
    std::string Focus() {
        const HWND f = GetFocus();
        return f == app.editor             ? "editor"
               : f == app.find.findEdit    ? "find"
               : f == app.find.replaceEdit ? "replace"
                                           : "?";
    }
    // The share of pixels in the editor's background colour over the text of [start, end) on line 0.
    double BackShare(int64_t start, int64_t end) {
        UpdateWindow(app.editor);
        const int32_t x0 = static_cast<int32_t>(Ed(app, SCI_POINTXFROMPOSITION, 0, start));
        const int32_t x1 = static_cast<int32_t>(Ed(app, SCI_POINTXFROMPOSITION, 0, end));
        const int32_t y0 = static_cast<int32_t>(Ed(app, SCI_POINTYFROMPOSITION, 0, start));
        const int32_t h = static_cast<int32_t>(Ed(app, SCI_TEXTHEIGHT, 0));
        HDC dc = GetDC(app.editor);
        int back = 0, all = 0;
        for (int32_t y = y0 + 1; y < y0 + h - 1; ++y) {
            for (int32_t x = x0 + 1; x < x1 - 1; ++x, ++all)
                back += GetPixel(dc, x, y) == app.palette.editorBack ? 1 : 0;
        }
        ReleaseDC(app.editor, dc);
        return all ? static_cast<double>(back) / all : 1.0;
    }

    App& app = Host();
};

TEST_F(FindCardWindow, KeysClicksCountsAndMessages) {
    const struct Row {
        const char* text;
        int64_t anchor, caret;
        const char* script;
        const wchar_t* counter;    // nullptr: the card is hidden afterwards
        int64_t selStart, selEnd;  // -1: not checked
        const char* after;         // the document afterwards; nullptr: unchanged
        const wchar_t* status;
        const char* focus;
    } rows[] = {
        // Typing searches from the selection start; Enter goes on, wraps, and says so.
        {"apple Apple apple pineapple", 0, 0, "open=find type=apple", L"1/4", 0, 5, nullptr, L"", "find"},
        {"apple Apple apple pineapple", 0, 0, "open=find type=apple enter", L"2/4", 6, 11, nullptr, L"",
         "find"},
        {"apple Apple apple pineapple", 0, 0, "open=find type=apple enter enter enter enter", L"1/4", 0, 5,
         nullptr, L"처음부터 다시 찾았습니다", "find"},
        {"apple Apple apple pineapple", 0, 0, "open=find type=apple shift+enter", L"4/4", 22, 27, nullptr,
         L"끝에서부터 다시 찾았습니다", "find"},
        // The toggles recount; a selection seeds the box.
        {"apple Apple apple pineapple", 1, 1, "open=find type=apple click=3", L"\u2013/3", 6, 11, nullptr,
         L"", "find"},
        {"apple Apple apple pineapple", 0, 5, "open=find click=3 click=4", L"1/2", 0, 5, nullptr, L"",
         "find"},
        {"가나 가나다 가나", 0, 0, "open=find type=가나 enter", L"2/3", 7, 13, nullptr, L"", "find"},
        {"no match here", 3, 3, "open=find type=zzz", L"결과 없음", 3, 3, nullptr, L"", "find"},
        {"one two three", 0, 0, "open=find type=one_two ctrl+back", L"1/1", 0, 4, nullptr, L"", "find"},
        // Replace: Tab between the boxes, Enter replaces one, Ctrl+Enter all, undone in one step.
        {"xxxx-axxb", 0, 0, "open=replace type=x tab ctrl+enter", L"결과 없음", 0, 0, "-ab",
         L"6개를 바꿨습니다", "replace"},
        {"xxxx-axxb", 0, 0, "open=replace type=x tab ctrl+enter undo", L"결과 없음", -1, -1, nullptr,
         L"6개를 바꿨습니다", "replace"},
        {"cat cat", 0, 0, "open=replace type=cat tab type=dog enter", L"1/1", 4, 7, "dog cat", L"",
         "replace"},
        {"cat", 0, 0, "open=replace type=zzz tab ctrl+enter", L"결과 없음", 0, 0, nullptr,
         L"바꿀 항목이 없습니다", "replace"},
        // Escape, the close button and a go to line hide the card.
        {"apple apple", 0, 0, "open=find type=apple escape", nullptr, 0, 5, nullptr, L"", "editor"},
        {"apple apple", 0, 0, "open=find click=5", nullptr, 0, 0, nullptr, L"", "editor"},
        {"a\nb\nc\nd", 0, 0, "open=goto type=x3 enter", nullptr, 4, 4, nullptr, L"", "editor"},
        {"a\nb\nc\nd", 0, 0, "open=goto type=x enter", L"", 0, 0, nullptr, L"", "find"},
        // F3 with an empty box opens the card; with a text it searches and leaves the focus in place.
        {"cat cat", 0, 0, "next", L"", 0, 0, nullptr, L"", "find"},
        {"cat cat", 0, 0, "open=find type=cat next", L"2/2", 4, 7, nullptr, L"", "find"},
    };
    for (const Row& r : rows) {
        SetUp();
        SetEditorText(app, r.text);
        Ed(app, SCI_EMPTYUNDOBUFFER);
        Ed(app, SCI_SETSEL, static_cast<uintptr_t>(r.anchor), r.caret);
        FocusEditor(app);
        PumpMessages();
        Run(r.script);
        const std::string where = std::string(r.text) + " | " + r.script;
        EXPECT_EQ(IsFindCardOpen(app), r.counter != nullptr) << where;
        EXPECT_EQ(IsWindowVisible(app.find.card) != FALSE, r.counter != nullptr) << where;
        if (r.counter) {
            EXPECT_EQ(CounterText(app.find.matchCount, app.find.matchIndex), r.counter) << where;
        }
        if (r.selStart >= 0) {
            EXPECT_EQ(Ed(app, SCI_GETSELECTIONSTART), r.selStart) << where;
            EXPECT_EQ(Ed(app, SCI_GETSELECTIONEND), r.selEnd) << where;
        }
        EXPECT_EQ(EditorText(app), r.after ? r.after : r.text) << where;
        EXPECT_EQ(app.status.statusMessage, r.status) << where;
        EXPECT_EQ(Focus(), r.focus) << where;
    }
}

// Every match is highlighted on screen while the card is open, and nothing after it closes; the
// card follows the editor's corner when the window changes size.
TEST_F(FindCardWindow, HighlightsOnScreenAndPlacement) {
    // The caret and the selection go to the second line, so line 0 shows only the highlights.
    SetEditorText(app, "apple Apple apple\nx");
    Ed(app, SCI_DOCUMENTEND);
    PumpMessages();
    const double plain = BackShare(6, 11);
    Run("open=find type=Apple click=3");
    Ed(app, SCI_DOCUMENTEND);
    EXPECT_LT(BackShare(6, 11), plain * 0.5) << "the match is highlighted";
    EXPECT_GT(BackShare(12, 17), plain * 0.8) << "with match case, the other word is not";

    for (const SIZE size : {SIZE{700, 500}, SIZE{1200, 800}}) {
        SetWindowPos(app.hwnd, nullptr, 0, 0, size.cx, size.cy, SWP_NOZORDER | SWP_NOACTIVATE);
        PlaceFindCard(app);
        PumpMessages();
        RECT card{}, editor{};
        GetWindowRect(app.find.card, &card);
        GetWindowRect(app.editor, &editor);
        const FindCardLayout& l = app.find.layout;
        EXPECT_EQ(editor.right - (card.right - l.shadowMargin), l.Scale(22)) << size.cx;
        EXPECT_EQ(card.right - card.left, l.cardWidth + 2 * l.shadowMargin) << size.cx;
    }
    Run("escape");
    EXPECT_GT(BackShare(6, 11), plain * 0.8) << "no highlight after closing";
}

}  // namespace
}  // namespace lumen
