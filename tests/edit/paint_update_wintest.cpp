// What a shown QuillEdit window displays after a run of typing, caret moves and paging, each
// followed by the partial repaint it causes, must equal a full repaint of the same state: partial
// paints may skip rows and strips only when nothing on them changed.
#include <gtest/gtest.h>

#include <string>

#include "edit/layout_support.h"
#include "edit/sci_messages.h"
#include "edit/view_window_support.h"

namespace quill {
namespace {

using test::Capture;
using test::EditorWindow;
using test::U8;

// Paints what the last step invalidated (twice: a paint that lays out a wider line invalidates
// the scroll-bar strip it changed), then compares the window with a full repaint.
void ExpectShownEqualsFullPaint(EditorWindow& w, const std::string& step) {
    UpdateWindow(w.hwnd());
    UpdateWindow(w.hwnd());
    const Capture shown = w.Shown();
    const Capture full = w.Print();
    ASSERT_EQ(shown.pixels.size(), full.pixels.size());
    int differing = 0, firstX = -1, firstY = -1;
    for (int32_t y = 0; y < full.height; ++y) {
        for (int32_t x = 0; x < full.width; ++x) {
            if (shown.At(x, y) == full.At(x, y)) continue;
            if (differing++ == 0) {
                firstX = x;
                firstY = y;
            }
        }
    }
    EXPECT_EQ(differing, 0) << step << ": first at (" << firstX << ", " << firstY << ")";
}

void Type(EditorWindow& w, const std::u16string& text) {
    for (char16_t c : text)
        SendMessageW(w.hwnd(), WM_CHAR, c, 1);
}

void Key(EditorWindow& w, UINT key) {
    SendMessageW(w.hwnd(), WM_KEYDOWN, key, 1);
    SendMessageW(w.hwnd(), WM_KEYUP, key, 0xC0000001);
}

TEST(PaintUpdate, PartialRepaintsShowWhatAFullRepaintDraws) {
    EditorWindow w(420, 150, 0, true);
    ASSERT_TRUE(w.ok());
    View& v = w.view();
    v.SetMargin(0, 36, 1);
    v.SetFocused(true);
    v.appearance().caretLineVisible = true;
    std::string text;
    for (int i = 0; i < 40; ++i)
        text += U8(u8"가나다 abc 루멘판 def ") + std::to_string(i) + "\r\n";
    // A line in more fonts than a paint keeps at hand: they take turns.
    text += U8(u8"中文。 😀 \u05E9\u05DC\u05D5\u05DD e\u0301 한국어 Latin\r\n");
    w.SetText(text);
    v.SetSelection(0, 0);
    ExpectShownEqualsFullPaint(w, "first paint");

    // Typing in Hangul and Latin at the end of the second line: rows alternate between the text
    // font and its fallback, and the line grows past the view, so the horizontal bar appears and
    // its thumb shrinks as it goes on.
    v.SetSelection(v.GetDocument()->LineEnd(1), v.GetDocument()->LineEnd(1));
    for (int round = 0; round < 8; ++round) {
        Type(w, u"abc 가나 xyz ");
        ExpectShownEqualsFullPaint(w, "typing round " + std::to_string(round));
    }

    // Caret moves between rows move the caret-line highlight.
    Key(w, VK_DOWN);
    ExpectShownEqualsFullPaint(w, "line down");
    Key(w, VK_UP);
    Key(w, VK_UP);
    ExpectShownEqualsFullPaint(w, "two lines up");

    // Paging moves the vertical thumb and repaints every row; a short scroll reuses rows.
    Key(w, VK_NEXT);
    ExpectShownEqualsFullPaint(w, "page down");
    Key(w, VK_NEXT);
    ExpectShownEqualsFullPaint(w, "second page down");
    // A short scroll moves the rows on screen; the overlay bars must not move with them.
    v.ScrollToRow(v.TopRow() + 2);
    ExpectShownEqualsFullPaint(w, "scroll by two rows");
    v.ScrollToRow(v.TopRow() - 1);
    ExpectShownEqualsFullPaint(w, "scroll back by a row");
    Key(w, VK_PRIOR);
    ExpectShownEqualsFullPaint(w, "page up");
    v.ScrollToRow(v.MaxTopRow());
    ExpectShownEqualsFullPaint(w, "the last page, with the line of many scripts");

    // Deleting back shrinks the line again.
    v.SetSelection(v.GetDocument()->LineEnd(1), v.GetDocument()->LineEnd(1));
    for (int i = 0; i < 11 * 8; ++i)
        Key(w, VK_BACK);
    ExpectShownEqualsFullPaint(w, "deleted back");
    EXPECT_EQ(v.GetDocument()->LineEnd(1) - v.GetDocument()->LineStart(1),
              static_cast<int64_t>(U8(u8"가나다 abc 루멘판 def 1").size()));
}

// A document swapped out, edited while no view showed it, and swapped back in draws exactly what a
// fresh control showing it draws, on the screen as in a full repaint.
TEST(PaintUpdate, ASwappedInDocumentPaintsAsAFreshControlWithIt) {
    EditorWindow w(420, 150, 0, true);
    ASSERT_TRUE(w.ok());
    auto send = [](HWND hwnd, UINT m, WPARAM wp = 0, LPARAM lp = 0) { return SendMessageW(hwnd, m, wp, lp); };
    send(w.hwnd(), SCI_SETWRAPMODE, SC_WRAP_WORD);
    std::string text;
    for (int i = 0; i < 60; ++i)
        text += U8(u8"가나다 abc 루멘판 the quick brown fox jumps ") + std::to_string(i) + "\r\n";
    w.SetText(text);
    auto* first = reinterpret_cast<Document*>(send(w.hwnd(), SCI_GETDOCPOINTER));
    send(w.hwnd(), SCI_ADDREFDOCUMENT, 0, reinterpret_cast<LPARAM>(first));
    auto* second = reinterpret_cast<Document*>(send(w.hwnd(), SCI_CREATEDOCUMENT));
    second->InsertString(0, "second\r\ndocument", 16);
    send(w.hwnd(), SCI_SETDOCPOINTER, 0, reinterpret_cast<LPARAM>(second));
    ExpectShownEqualsFullPaint(w, "the second document");
    // Edits while the first is not shown: lines above the place it is shown at, one grown to wrap.
    first->InsertString(0, "new first line\r\n", 16);
    const std::string longer(300, 'w');
    first->InsertString(first->LineStart(30), longer.data(), static_cast<int64_t>(longer.size()));
    send(w.hwnd(), SCI_SETDOCPOINTER, 0, reinterpret_cast<LPARAM>(first));
    send(w.hwnd(), SCI_SETSEL, 200, 260);
    send(w.hwnd(), SCI_SETFIRSTVISIBLELINE, 25);
    w.view().FinishWrapping();
    ExpectShownEqualsFullPaint(w, "the first document again");

    EditorWindow fresh(420, 150);
    send(fresh.hwnd(), SCI_SETWRAPMODE, SC_WRAP_WORD);
    send(fresh.hwnd(), SCI_SETDOCPOINTER, 0, reinterpret_cast<LPARAM>(first));
    send(fresh.hwnd(), SCI_SETSEL, 200, 260);
    send(fresh.hwnd(), SCI_SETFIRSTVISIBLELINE, 25);
    fresh.view().FinishWrapping();
    ASSERT_EQ(send(fresh.hwnd(), SCI_GETFIRSTVISIBLELINE), send(w.hwnd(), SCI_GETFIRSTVISIBLELINE));
    const Capture a = w.Print(), b = fresh.Print();
    EXPECT_TRUE(a.pixels == b.pixels);
    send(w.hwnd(), SCI_RELEASEDOCUMENT, 0, reinterpret_cast<LPARAM>(first));
    send(w.hwnd(), SCI_RELEASEDOCUMENT, 0, reinterpret_cast<LPARAM>(second));
}

}  // namespace
}  // namespace quill
