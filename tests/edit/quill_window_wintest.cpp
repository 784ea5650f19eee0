// The QuillEdit window's own message handling: class registration, sizing, system scroll bars and
// their requests, dragging the overlay bar, and background wrapping on the window's timer.
#include <gtest/gtest.h>

#include <string>

#include "edit/view_window_support.h"

namespace quill {
namespace {

using test::EditorWindow;
using test::Pump;

std::string Lines(int count) {
    std::string text;
    for (int i = 0; i < count; ++i)
        text += "line " + std::to_string(i) + "\r\n";
    return text;
}

TEST(QuillWindow, RegistersOnceAndSizesTheView) {
    EXPECT_TRUE(RegisterQuillEditClass(GetModuleHandleW(nullptr)));
    EXPECT_TRUE(RegisterQuillEditClass(GetModuleHandleW(nullptr)));  // again: still success
    EditorWindow w(300, 200);
    ASSERT_TRUE(w.ok());
    EXPECT_EQ(SendMessageW(w.hwnd(), WM_ERASEBKGND, 0, 0), 1);
    // Whether dropped files are taken is the host's choice.
    EXPECT_FALSE(GetWindowLongPtrW(w.hwnd(), GWL_EXSTYLE) & WS_EX_ACCEPTFILES);
    SetWindowPos(w.hwnd(), nullptr, 0, 0, 420, 150, SWP_NOZORDER | SWP_NOACTIVATE);
    EXPECT_EQ(w.view().ClientWidth(), 420);
    EXPECT_EQ(w.view().ClientHeight(), 150);
    EXPECT_EQ(ViewFromWindow(GetParent(w.hwnd())), nullptr);
}

TEST(QuillWindow, SystemScrollBarsFollowTheViewAndScrollIt) {
    EditorWindow w(300, 200, WS_VSCROLL | WS_HSCROLL);
    View& v = w.view();
    w.SetText(Lines(100) + std::string(500, 'm'));
    v.LayoutLine(100);
    v.UpdateScrollBars();
    SCROLLINFO si{};
    si.cbSize = sizeof(si);
    si.fMask = SIF_ALL;
    ASSERT_TRUE(GetScrollInfo(w.hwnd(), SB_VERT, &si));
    const ScrollValues vv = v.VerticalValues();
    EXPECT_EQ(si.nMax, vv.max);
    EXPECT_EQ(static_cast<int64_t>(si.nPage), vv.page);
    EXPECT_EQ(si.nPos, 0);
    SendMessageW(w.hwnd(), WM_VSCROLL, SB_LINEDOWN, 0);
    EXPECT_EQ(v.TopRow(), 1);
    SendMessageW(w.hwnd(), WM_VSCROLL, SB_PAGEDOWN, 0);
    EXPECT_EQ(v.TopRow(), 1 + v.LinesOnScreen() - 1);
    ASSERT_TRUE(GetScrollInfo(w.hwnd(), SB_VERT, &si));
    EXPECT_EQ(si.nPos, v.TopRow());
    SendMessageW(w.hwnd(), WM_VSCROLL, SB_BOTTOM, 0);
    EXPECT_EQ(v.TopRow(), v.MaxTopRow());
    SendMessageW(w.hwnd(), WM_VSCROLL, SB_TOP, 0);
    EXPECT_EQ(v.TopRow(), 0);
    SendMessageW(w.hwnd(), WM_HSCROLL, SB_LINERIGHT, 0);
    EXPECT_EQ(v.XOffset(), 3 * v.TextFonts().averageCharWidth());
    SendMessageW(w.hwnd(), WM_HSCROLL, SB_LEFT, 0);
    EXPECT_EQ(v.XOffset(), 0);
    ASSERT_TRUE(GetScrollInfo(w.hwnd(), SB_HORZ, &si));
    EXPECT_GT(si.nMax, 300);
}

TEST(QuillWindow, PressOnTheOverlayTrackJumpsAndDragScrolls) {
    EditorWindow w(300, 200);
    View& v = w.view();
    w.SetText(Lines(1000));
    v.UpdateScrollBars();
    const LPARAM bottom = MAKELPARAM(300 - 5, 200 - 10);
    SendMessageW(w.hwnd(), WM_LBUTTONDOWN, MK_LBUTTON, bottom);
    EXPECT_GT(v.TopRow(), 900);  // the thumb jumped to the pointer
    EXPECT_EQ(v.Overlay().drag, kOverlayVertical);
    SendMessageW(w.hwnd(), WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(300 - 5, 0));
    EXPECT_EQ(v.TopRow(), 0);
    SendMessageW(w.hwnd(), WM_LBUTTONUP, 0, MAKELPARAM(300 - 5, 0));
    EXPECT_EQ(v.Overlay().drag, kOverlayNone);
    // A press in the text leaves the view where it is.
    SendMessageW(w.hwnd(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(50, 50));
    SendMessageW(w.hwnd(), WM_LBUTTONUP, 0, MAKELPARAM(50, 50));
    EXPECT_EQ(v.TopRow(), 0);
}

TEST(QuillWindow, LosingTheCaptureEndsADragAndADpiChangeMeasuresAgain) {
    EditorWindow w(300, 200, 0, true);
    View& v = w.view();
    w.SetText(Lines(50));
    SendMessageW(w.hwnd(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(20, 5));
    ASSERT_EQ(GetCapture(), w.hwnd());
    SendMessageW(w.hwnd(), WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(40, 40));
    const int64_t caret = v.Caret();
    EXPECT_GT(caret, v.Anchor());
    SetCapture(GetParent(w.hwnd()));  // another window takes the mouse: the drag ends here
    EXPECT_EQ(v.MouseModeNow(), kMouseNone);
    ReleaseCapture();
    SendMessageW(w.hwnd(), WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(60, 100));
    EXPECT_EQ(v.Caret(), caret);

    const test::Capture before = w.Print();
    ValidateRect(w.hwnd(), nullptr);
    SendMessageW(w.hwnd(), WM_DPICHANGED_AFTERPARENT, 0, 0);
    EXPECT_TRUE(v.MetricsStale());
    RECT dirty{};
    EXPECT_TRUE(GetUpdateRect(w.hwnd(), &dirty, FALSE));
    EXPECT_TRUE(w.Print().pixels == before.pixels);  // the same DPI here: fonts made again, same picture
    EXPECT_FALSE(v.MetricsStale());
}

TEST(QuillWindow, BackgroundWrappingRunsOnTheWindowTimer) {
    EditorWindow w(300, 200);
    View& v = w.view();
    std::string text;
    for (int i = 0; i < 3000; ++i)
        text += std::string(static_cast<size_t>(i % 120), 'w') + " x\n";
    w.SetText(text);
    v.SetWrapMode(kWrapWord);
    ASSERT_TRUE(v.WrapPending());
    const DWORD start = GetTickCount();
    while (v.WrapPending() && GetTickCount() - start < 20000) {
        Pump();
        Sleep(1);
    }
    EXPECT_FALSE(v.WrapPending());  // what it settles on is view_test.cpp's
    EXPECT_EQ(v.RowCount(2999), v.LayoutLine(2999).Rows());
}

}  // namespace
}  // namespace quill
