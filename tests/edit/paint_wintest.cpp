// Painting of a real QuillEdit window, checked pixel by pixel from what it prints: selection and the
// line-break block, the hint text, line-end marks, line numbers, indicator boxes, overlay bars.
#include <gtest/gtest.h>

#include <cstdlib>

#include "edit/layout_support.h"
#include "edit/view_window_support.h"

namespace quill {
namespace {

using test::Capture;
using test::EditorWindow;
using test::U8;

constexpr uint32_t kWhite = 0xFFFFFF;

TEST(PaintWindow, CreatesTheViewAndPaintsEveryPixel) {
    EditorWindow w(400, 200);
    ASSERT_TRUE(w.ok());
    EXPECT_TRUE(w.view().OverlayScrollBars());
    w.SetText("hello");
    const Capture c = w.Print();
    // Nothing is left unpainted; the empty rows below the text are background.
    EXPECT_EQ(c.Count(0, 0, c.width, c.height, [](uint32_t p) { return p == 0x030201; }), 0);
    const int32_t lh = w.view().LineHeight();
    EXPECT_EQ(c.Count(0, lh, c.width, c.height, [](uint32_t p) { return p != kWhite; }), 0);
    EXPECT_GT(c.Count(0, 0, c.width, lh, [](uint32_t p) { return Capture::Luminance(p) < 128; }), 5);
    // With system scroll-bar styles there are no overlay bars.
    EditorWindow bars(400, 200, WS_VSCROLL | WS_HSCROLL);
    EXPECT_FALSE(bars.view().OverlayScrollBars());
}

TEST(PaintWindow, SelectionColourAndTheLineBreakBlock) {
    EditorWindow w(500, 200);
    View& v = w.view();
    w.SetText("hello world\r\nsecond line\r\nthird");
    v.SetFocused(true);
    v.SetSelection(2, 13 + 4);  // "llo world" + break, then "seco"
    const Capture c = w.Print();
    const int32_t lh = v.LineHeight();
    const int32_t left = v.TextLeft();
    const LineLayout& l0 = v.LayoutLine(0);
    const int32_t x0 = left + l0.xs[2];
    const int32_t end0 = left + l0.xs[11];
    const int32_t avg = v.TextFonts().averageCharWidth();
    const uint32_t selection = Blend(kWhite, 0xFFFF9933u);
    ASSERT_EQ(selection, 0xFF9933u);
    auto isSel = [&](uint32_t p) { return p == selection; };
    // The first pixel row of the selected text and of the block after it is all selection colour.
    EXPECT_EQ(c.Count(x0, 0, end0 + avg, 1, isSel), end0 + avg - x0);
    EXPECT_EQ(c.At(x0 - 1, 0), kWhite);
    EXPECT_EQ(c.At(end0 + avg, 0), kWhite);
    EXPECT_EQ(c.At(end0 + avg + 3, lh / 2), kWhite);
    // Most of the selected area (text ink aside) is selection colour.
    EXPECT_GT(c.Count(x0, 0, end0 + avg, lh, isSel), (end0 + avg - x0) * lh * 6 / 10);
    // The second line is selected up to "seco" and has no block; the third has nothing.
    const LineLayout& l1 = v.LayoutLine(1);
    const int32_t end1 = left + l1.xs[4];
    EXPECT_EQ(c.Count(left, lh, end1, lh + 1, isSel), end1 - left);
    EXPECT_EQ(c.Count(end1, lh, c.width, 2 * lh, isSel), 0);
    EXPECT_EQ(c.Count(0, 2 * lh, c.width, 3 * lh, isSel), 0);

    // Without focus and without an inactive colour the selection turns grey.
    v.SetFocused(false);
    const Capture grey = w.Print();
    EXPECT_EQ(grey.At(x0, 0), 0xE0E0E0u);
    EXPECT_EQ(grey.At(end0 + 1, 0), 0xE0E0E0u);
    // An inactive colour with alpha is blended over the background.
    v.appearance().elements[kElementInactiveSelection] = {true, 0x800000FFu};
    const Capture blended = w.Print();
    EXPECT_EQ(blended.At(x0, 0), Blend(kWhite, 0x800000FFu));
}

TEST(PaintWindow, HintShowsOnAnEmptyDocumentAndGoesWithTheFirstCharacter) {
    EditorWindow w(400, 100);
    View& v = w.view();
    v.appearance().hint = L"Type something here";
    v.Repaint();
    const int32_t lh = v.LineHeight();
    const Capture empty = w.Print();
    const uint32_t faded = Blend(kWhite, 0x73000000u);
    const int inked = empty.Count(v.TextLeft(), 0, empty.width, lh, [](uint32_t p) { return p != kWhite; });
    EXPECT_GT(inked, 30);
    // The hint is faded: nothing in it is darker than the faded colour.
    EXPECT_EQ(empty.Count(0, 0, empty.width, lh,
                          [&](uint32_t p) { return Capture::Luminance(p) < Capture::Luminance(faded) - 3; }),
              0);
    w.doc().InsertString(0, "x", 1);
    const Capture typed = w.Print();
    const int32_t afterX = v.TextLeft() + v.LayoutLine(0).xs[1] + 2;
    EXPECT_EQ(typed.Count(afterX, 0, typed.width, lh, [](uint32_t p) { return p != kWhite; }), 0);
    EXPECT_GT(typed.Count(0, 0, afterX, lh, [](uint32_t p) { return Capture::Luminance(p) < 100; }), 0);
}

TEST(PaintWindow, LineEndMarksShowCrlfAndCrButNotOnTheLastLine) {
    EditorWindow w(400, 120);
    View& v = w.view();
    v.appearance().viewEol = true;
    v.Repaint();
    w.SetText("ab\r\ncd\ref");
    const Capture c = w.Print();
    const int32_t lh = v.LineHeight();
    const uint32_t box = Blend(kWhite, 0x60000000u);
    struct Expect {
        int64_t line;
        const char* mark;
    };
    for (const Expect& e : {Expect{0, "CRLF"}, Expect{1, "CR"}}) {
        SCOPED_TRACE(e.mark);
        const LineLayout& l = v.LayoutLine(e.line);
        const int32_t bx = v.TextLeft() + l.Width() + 2;
        const int32_t bw = v.TextWidth(kStyleLineNumber, e.mark) + 4;
        const int32_t top = static_cast<int32_t>(e.line) * lh;
        const int32_t y = top + 1;  // the box's first row, above the mark's letters
        EXPECT_EQ(c.Count(bx, y, bx + bw, y + 1, [&](uint32_t p) { return p == box; }), bw);
        EXPECT_EQ(c.At(bx - 1, y), kWhite);
        EXPECT_EQ(c.At(bx + bw, y), kWhite);
        EXPECT_EQ(c.At(bx + 1, top), kWhite);  // one pixel of background above the box
        // The letters are drawn in the background colour inside the box.
        EXPECT_GT(c.Count(bx, top, bx + bw, top + lh, [](uint32_t p) { return p == kWhite; }), 3);
    }
    EXPECT_GT(v.TextWidth(kStyleLineNumber, "CRLF"), v.TextWidth(kStyleLineNumber, "CR"));
    const int32_t endOfEf = v.TextLeft() + v.LayoutLine(2).Width() + 1;
    EXPECT_EQ(c.Count(endOfEf, 2 * lh, c.width, 3 * lh, [](uint32_t p) { return p != kWhite; }), 0);
}

TEST(PaintWindow, LineNumbersAreRightAlignedInTheMarginOnFirstRowsOnly) {
    EditorWindow w(300, 160);
    View& v = w.view();
    v.SetMargin(0, 40, 1);
    w.SetText("one\n" + std::string(120, 'w') + "\nthree");
    v.SetWrapMode(kWrapChar);
    v.FinishWrapping();
    ASSERT_GT(v.RowCount(1), 1);
    const Capture c = w.Print();
    const int32_t lh = v.LineHeight();
    const uint32_t face = GetSysColor(COLOR_BTNFACE) & 0xFFFFFF;
    auto dark = [](uint32_t p) { return Capture::Luminance(p) < 100; };
    for (int row : {0, 1}) {
        const int32_t top = row * lh;
        EXPECT_GT(c.Count(0, top, 40, top + lh, dark), 3) << "row " << row;
        // Right-aligned 3 pixels from the margin's edge.
        int32_t rightmost = -1;
        for (int32_t x = 0; x < 40; ++x) {
            if (c.Count(x, top, x + 1, top + lh, dark) > 0) rightmost = x;
        }
        EXPECT_LE(rightmost, 40 - 3);
        EXPECT_GE(rightmost, 40 - 3 - 3);
        EXPECT_EQ(c.At(0, top), face);
    }
    // The second row of the wrapped line 2 has no number.
    EXPECT_EQ(c.Count(0, 2 * lh, 40, 3 * lh, dark), 0);
    EXPECT_EQ(c.Count(0, 2 * lh, 40, 3 * lh, [&](uint32_t p) { return p == face; }), 40 * lh);
}

TEST(PaintWindow, IndicatorBoxUnderAWord) {
    EditorWindow w(400, 100);
    View& v = w.view();
    IndicatorStyle& box = v.appearance().indicators[8];
    box.style = 8;
    box.fore = 0x0000FF;  // red
    box.under = true;
    w.SetText("say hello world now");
    w.doc().IndicatorFillRange(8, 10, 5);  // "world"
    const Capture c = w.Print();
    const int32_t lh = v.LineHeight();
    const LineLayout& l = v.LayoutLine(0);
    const int32_t x0 = v.TextLeft() + l.xs[10], x1 = v.TextLeft() + l.xs[15];
    const uint32_t edge = Blend(kWhite, 0x0000FF | (50u << 24));
    const uint32_t fill = Blend(kWhite, 0x0000FF | (30u << 24));
    // Top edge one pixel below the row top, bottom edge at the row's bottom.
    EXPECT_EQ(c.Count(x0, 1, x1, 2, [&](uint32_t p) { return p == edge; }), x1 - x0);
    EXPECT_EQ(c.Count(x0, lh - 1, x1, lh, [&](uint32_t p) { return p == edge; }), x1 - x0);
    EXPECT_EQ(c.At(x0, lh / 2), edge);
    EXPECT_EQ(c.At(x1 - 1, lh / 2), edge);
    EXPECT_EQ(c.At(x0 - 1, lh / 2), kWhite);
    EXPECT_EQ(c.At(x1, 2), kWhite);
    EXPECT_EQ(c.At(x0 + 1, 0), kWhite);
    EXPECT_EQ(c.Count(x0 + 1, 2, x1 - 1, 3, [&](uint32_t p) { return p == fill; }), x1 - x0 - 2);
    // The word itself is still drawn over the box.
    EXPECT_GT(c.Count(x0, 0, x1, lh, [](uint32_t p) { return Capture::Luminance(p) < 100; }), 5);
    // Style 1 of indicator 0 draws a line under the text instead.
    w.doc().IndicatorFillRange(0, 0, 3);
    const Capture line = w.Print();
    const int32_t y = v.LineAscent() + 2;
    const int32_t end = v.TextLeft() + l.xs[3];
    EXPECT_EQ(line.Count(v.TextLeft(), y, end, y + 1, [](uint32_t p) { return p == 0x007F00; }),
              end - v.TextLeft());
}

TEST(PaintWindow, OverlayBarsThickenWhileHovered) {
    EditorWindow w(300, 200);
    View& v = w.view();
    std::string text;
    for (int i = 0; i < 300; ++i)
        text += "line " + std::to_string(i) + "\n";
    w.SetText(text);
    v.UpdateScrollBars();
    const Capture idle = w.Print();
    auto inked = [](uint32_t p) { return p != kWhite; };
    // Normally 3 pixels thick, 4 from the edge.
    EXPECT_GT(idle.Count(300 - 7, 2, 300 - 4, 40, inked), 20);
    EXPECT_EQ(idle.Count(300 - 4, 0, 300, 200, inked), 0);
    EXPECT_EQ(idle.Count(300 - 14, 0, 300 - 8, 200, inked), 0);
    ASSERT_TRUE(v.OverlayHover(300 - 5, 20));
    const Capture hovered = w.Print();
    EXPECT_GT(hovered.Count(300 - 11, 2, 300 - 3, 40, inked), 100);
    // The whole strip is tinted while hovered.
    EXPECT_EQ(
        hovered.Count(300 - 14, 150, 300, 200, [](uint32_t p) { return p == Blend(kWhite, 20u << 24); }),
        14 * 50);
}

TEST(PaintWindow, CompositionUnderlineAndCaretAtItsEnd) {
    EditorWindow w(400, 100);
    View& v = w.view();
    w.SetText("ab");
    v.SetSelection(1, 1);
    v.SetFocused(true);
    v.SetComposition(u"\uAC00\uB098", {1, 0}, 2);  // the first syllable is the clause being converted
    const Capture c = w.Print();
    const LineLayout& l = v.LayoutLine(0);
    ASSERT_EQ(l.compositionStart, 1);
    const int32_t lh = v.LineHeight();
    const int32_t y = std::min(lh - 2, v.LineAscent() + 2);
    const int32_t left = v.TextLeft();
    auto black = [](uint32_t p) { return p == 0; };
    // Two pixels under the converted clause, one under the rest, a pixel apart at the clause ends.
    const int32_t a0 = left + l.xs[1], a1 = left + l.xs[2], b1 = left + l.xs[3];
    EXPECT_EQ(c.Count(a0, y, a1 - 1, y + 1, black), a1 - 1 - a0);
    EXPECT_EQ(c.Count(a0, y + 1, a1 - 1, y + 2, black), a1 - 1 - a0);
    EXPECT_NE(c.At(a1 - 1, y), 0u);
    EXPECT_EQ(c.Count(a1, y, b1 - 1, y + 1, black), b1 - 1 - a1);
    EXPECT_EQ(c.Count(a1 + 1, y + 1, b1 - 2, y + 2, black), 0);
    // The caret bar stands after the composition, the full row high.
    EXPECT_EQ(c.Count(b1, 0, b1 + 1, lh, black), lh);
    // Ending the composition takes the units away again.
    v.SetComposition(u"", {}, 0);
    EXPECT_EQ(v.LayoutLine(0).Units(), 2);
}

TEST(PaintWindow, WhitespaceAfterIndentationAndOvertypeCaret) {
    EditorWindow w(400, 100);
    View& v = w.view();
    v.appearance().viewWhitespace = 2;
    w.SetText("    a b");
    const Capture c = w.Print();
    const LineLayout& l = v.LayoutLine(0);
    const int32_t lh = v.LineHeight(), left = v.TextLeft();
    const uint32_t dot = Blend(kWhite, 0x60000000u);
    auto isDot = [&](uint32_t p) { return p == dot; };
    EXPECT_EQ(c.Count(left, 0, left + l.xs[4], lh, isDot), 0);  // indentation: no marks
    const int32_t s = std::max(1, (lh + 12) / 24);
    EXPECT_EQ(c.Count(left + l.xs[5], 0, left + l.xs[6], lh, isDot), s * s);  // the blank between words
    v.appearance().viewWhitespace = 3;
    const Capture inside = w.Print();
    EXPECT_EQ(inside.Count(left, 0, left + l.xs[4], lh, isDot), 4 * s * s);
    EXPECT_EQ(inside.Count(left + l.xs[5], 0, left + l.xs[6], lh, isDot), 0);

    // Overtype: a block under the next character, at the bottom of the row.
    v.appearance().viewWhitespace = 0;
    v.appearance().overtype = true;
    v.SetFocused(true);
    v.SetSelection(4, 4);
    const Capture block = w.Print();
    const int32_t bh = std::max(2, v.CaretWidth());
    const int32_t x0 = left + l.xs[4], x1 = left + l.xs[5];
    EXPECT_EQ(block.Count(x0, lh - bh, x1, lh, [](uint32_t p) { return p == 0; }), (x1 - x0) * bh);
    EXPECT_EQ(block.Count(x0, 0, x0 + 1, 2, [](uint32_t p) { return p == 0; }), 0);
}

TEST(PaintWindow, ScreenshotOfKoreanLatinTabAndEmoji) {
    EditorWindow w(640, 120);
    View& v = w.view();
    v.SetMargin(0, 36, 1);
    v.appearance().viewWhitespace = 1;
    v.appearance().viewEol = true;
    v.SetFocused(true);
    w.SetText(U8(u8"한국어 Latin\ttab 😀 emoji 中文。\r\n두 번째 줄: e\u0301 \u05E9\u05DC\u05D5\u05DD\r\n"));
    v.SetSelection(4, 9);
    const Capture c = w.Print();
    const char* path = std::getenv("LUMENPAD_VIEW_SHOT");
    if (path && *path) {
        EXPECT_TRUE(c.SaveBmp(path));
    }
    const int32_t lh = v.LineHeight(), left = v.TextLeft();
    const LineLayout& l = v.LayoutLine(0);
    // The tab (after "한국어 Latin") shows its arrow in the whitespace colour; the scripts themselves are
    // paint_text_wintest.cpp's.
    const uint32_t tab = 9;
    ASSERT_EQ(l.flags[tab], kUnitTab);
    const uint32_t mark = Blend(kWhite, 0x60000000u);
    EXPECT_GT(c.Count(left + l.xs[tab], 0, left + l.xs[tab + 1], lh, [&](uint32_t p) { return p == mark; }),
              4);
}

}  // namespace
}  // namespace quill
