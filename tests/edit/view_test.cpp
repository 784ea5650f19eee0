// The view as a document watcher, against the fixed test font and the recording host: the layout
// cache, the wrap index kept current through edits and background wrapping, the long-line patch
// in place, the selection and first line following edits, and the scroll values.
#include "edit/view.h"

#include <gtest/gtest.h>

#include <random>

#include "edit/control_support.h"

namespace quill {
namespace {

using test::U8;

using ViewFixture = test::Control;
using test::ExpectSameLayout;

// Every line's row count, exact or not, against fresh layouts, and the sums against the counts.
void ExpectRowsExact(ViewFixture& f) {
    View& v = *f.view;
    ASSERT_FALSE(v.WrapPending());
    const int64_t lines = f.doc().LineCount();
    ASSERT_EQ(v.Rows().Lines(), lines);
    int64_t sum = 0;
    for (int64_t line = 0; line < lines; ++line) {
        ASSERT_TRUE(v.Rows().Exact(line)) << line;
        ASSERT_EQ(v.RowCount(line), f.Fresh(line).Rows()) << "line " << line;
        ASSERT_EQ(v.DisplayRowOfLine(line), sum) << "line " << line;
        sum += v.RowCount(line);
    }
    ASSERT_EQ(v.TotalRows(), sum);
}

TEST(View, StartingMetricsAndTheWrapWidth) {
    ViewFixture f;
    View& v = *f.view;
    EXPECT_EQ(v.LineHeight(), v.LineAscent() + v.LineDescent());
    EXPECT_EQ(v.TotalRows(), 1);
    EXPECT_EQ(v.GetMargin(0).type, 1);
    EXPECT_EQ(v.WrapWidth(), 397);  // client 400 - right 1 - left 1 - caret 1
    v.SetMargin(0, 40, 1);
    EXPECT_EQ(v.WrapWidth(), 357);
    EXPECT_EQ(v.TextLeft(), 41);
    v.SetClientSize(10, 100);
    EXPECT_EQ(v.WrapWidth(), 8);  // never below 8 pixels
}

TEST(View, ExtraAscentDescentAndZoomChangeTheLineHeight) {
    ViewFixture f;
    View& v = *f.view;
    const int32_t base = v.LineHeight();
    v.SetExtraAscent(3);
    v.SetExtraDescent(2);
    EXPECT_EQ(v.LineHeight(), base + 5);
    v.SetZoom(5);
    EXPECT_GT(v.LineHeight(), base + 5);
    v.SetZoom(100);
    EXPECT_EQ(v.Zoom(), 60);
    v.SetZoom(-100);
    EXPECT_EQ(v.Zoom(), -10);
    EXPECT_GE(v.LineHeight(), 1);
    // A bigger line-number font raises the line.
    v.SetZoom(0);
    v.SetExtraAscent(0);
    v.SetExtraDescent(0);
    Style numbers = v.GetStyle(kStyleLineNumber);
    numbers.size = 2000;
    v.SetStyle(kStyleLineNumber, numbers);
    EXPECT_GT(v.LineHeight(), base);
}

TEST(View, TextWidthSumsCachedAdvances) {
    ViewFixture f;
    View& v = *f.view;
    EXPECT_EQ(v.TextWidth(kStyleText, ""), 0);
    const int32_t a = static_cast<int32_t>(EntryAdvance(v.Measure('a')));
    EXPECT_EQ(v.TextWidth(kStyleText, "aaa"), 3 * a);
    EXPECT_EQ(v.TextWidth(kStyleText, U8(u8"가")), static_cast<int32_t>(EntryAdvance(v.Measure(U'가'))));
}

TEST(View, LayoutCacheHoldsLinesUntilTheyAreEvictedOrChanged) {
    ViewFixture f;
    std::string text;
    for (int i = 0; i < 1100; ++i)
        text += "line " + std::to_string(i) + "\n";
    f.SetText(text);
    View& v = *f.view;
    const uint64_t before = v.layoutsMade;
    v.LayoutLine(3);
    v.LayoutLine(3);
    v.LayoutLine(4);
    EXPECT_EQ(v.layoutsMade, before + 2);
    v.LayoutLine(3 + 512);  // same slot
    v.LayoutLine(3);
    EXPECT_EQ(v.layoutsMade, before + 4);
    // An edit inside the line drops just that line.
    f.doc().InsertString(f.doc().LineStart(3), "x", 1);
    v.LayoutLine(4);
    EXPECT_EQ(v.layoutsMade, before + 4);
    ExpectSameLayout(v.LayoutLine(3), f.Fresh(3));
    EXPECT_EQ(v.layoutsMade, before + 5);
    // A change of tab width makes every line stale.
    v.SetTabWidth(4);
    v.LayoutLine(4);
    EXPECT_EQ(v.layoutsMade, before + 6);
    // Line ends are part of the layout.
    f.SetText("a\r\nb\rc\nd");
    EXPECT_EQ(v.LayoutLine(0).eolLength, 2);
    EXPECT_EQ(v.LayoutLine(1).eolLength, 1);
    EXPECT_EQ(v.LayoutLine(3).eolLength, 0);
    // Joining CR and LF changes the line end of the line before the insertion.
    f.SetText("a\rb");
    EXPECT_EQ(v.LayoutLine(0).eolLength, 1);
    f.doc().InsertString(2, "\n", 1);
    EXPECT_EQ(v.LayoutLine(0).eolLength, 2);
}

TEST(View, ScrollWidthGrowsWithTheWidestLineLaidOut) {
    ViewFixture f;
    View& v = *f.view;
    f.SetText("short\n" + std::string(500, 'w'));
    EXPECT_EQ(v.ScrollWidth(), 1);
    v.LayoutLine(0);
    const int64_t shortWidth = v.ScrollWidth();
    EXPECT_GT(shortWidth, 1);
    v.LayoutLine(1);
    EXPECT_EQ(v.ScrollWidth(), v.LayoutLine(1).Width());
    f.doc().DeleteChars(6, 400);
    v.LayoutLine(1);
    EXPECT_GT(v.ScrollWidth(), v.LayoutLine(1).Width());  // never shrinks by itself
    v.SetScrollWidth(0);
    EXPECT_EQ(v.ScrollWidth(), 1);
}

TEST(View, WrapIndexStaysExactThroughRandomEditsAndBackgroundWrapping) {
    ViewFixture f(300, 200);
    View& v = *f.view;
    std::mt19937 rng(5);
    const std::vector<std::string> pieces = {
        "word ", "longerword ", U8(u8"가나다 "),           U8(u8"中文字"), "\n", "\r\n", "\t",
        "x",     "\n\n\n",      std::string(80, 'q') + " "};
    std::string text;
    for (int i = 0; i < 600; ++i)
        text += pieces[rng() % pieces.size()];
    f.SetText(text);
    v.SetWrapMode(kWrapWord);
    EXPECT_TRUE(v.WrapPending());
    EXPECT_TRUE(f.host->running[kWrapTimer]);
    v.FinishWrapping();
    EXPECT_FALSE(f.host->running[kWrapTimer]);
    ExpectRowsExact(f);
    for (int step = 0; step < 150; ++step) {
        const int64_t length = f.doc().Length();
        const int64_t at = f.doc().MovePositionOutsideChar(static_cast<int64_t>(rng() % (length + 1)), 1);
        if (rng() % 3 != 0 || length < 50) {
            std::string add;
            const int n = 1 + static_cast<int>(rng() % 4);
            for (int k = 0; k < n; ++k)
                add += pieces[rng() % pieces.size()];
            f.doc().InsertString(at, add.data(), static_cast<int64_t>(add.size()));
        } else {
            const int64_t end = f.doc().MovePositionOutsideChar(at + static_cast<int64_t>(rng() % 60), 1);
            f.doc().DeleteChars(at, end - at);
        }
        // The changed lines are exact at once; the rest settles in the background.
        const int64_t line = f.doc().LineFromPosition(at);
        if (v.Rows().Exact(line)) {
            EXPECT_EQ(v.RowCount(line), f.Fresh(line).Rows()) << "step " << step;
        }
        if (step % 10 == 0) {
            v.SetClientSize(200 + static_cast<int32_t>(rng() % 300), 200);
        }
        v.FinishWrapping();
        ExpectRowsExact(f);
        if (HasFatalFailure()) return;
    }
    v.SetWrapMode(kWrapNone);
    EXPECT_TRUE(v.Rows().Empty());
    EXPECT_EQ(v.TotalRows(), f.doc().LineCount());
}

TEST(View, LargeInsertionUsesEstimatesAndSettlesInTimeSlices) {
    ViewFixture f(300, 200);
    View& v = *f.view;
    v.SetWrapMode(kWrapChar);
    v.FinishWrapping();
    std::string paste;
    for (int i = 0; i < 10000; ++i)
        paste += std::string(static_cast<size_t>(i % 97), 'z') + "\n";
    f.doc().InsertString(0, paste.data(), static_cast<int64_t>(paste.size()));
    ASSERT_TRUE(v.WrapPending());
    EXPECT_FALSE(v.Rows().Exact(5000));
    // The total from estimates is there at once and already close: estimates use the average width.
    const int64_t estimated = v.TotalRows();
    EXPECT_GT(estimated, 10000);
    int ticks = 0;
    while (v.WrapPending() && ticks < 100000) {
        v.OnTimer(kWrapTimer);
        ++ticks;
    }
    EXPECT_GE(ticks, 1);
    ExpectRowsExact(f);
}

// The view patches a long line in place for an edit inside it (layout_patch_test.cpp compares patches
// with fresh layouts at random); what it must keep up with is the cached layout and the row count.
TEST(View, LongLineIsPatchedInPlaceAndMatchesAFreshLayout) {
    for (int32_t mode : {kWrapNone, kWrapWord}) {
        ViewFixture f(500, 300);
        View& v = *f.view;
        v.SetWrapMode(mode);
        std::string line;
        while (line.size() < 14000)
            line += U8(u8"가나다 abc 123 ");
        f.SetText("first\n" + line + "\nlast");
        v.FinishWrapping();
        ASSERT_GE(v.LayoutLine(1).Units(), 6000);
        const uint64_t made = v.layoutsMade;
        f.doc().InsertString(f.doc().LineStart(1) + 300, U8(u8"한 xyz ").data(), 8);
        f.doc().DeleteChars(f.doc().LineStart(1) + 5000, 3);
        f.doc().InsertString(f.doc().LineEnd(1), "a", 1);
        EXPECT_EQ(v.layoutsMade, made) << "the line was laid out again instead of patched";
        ExpectSameLayout(v.LayoutLine(1), f.Fresh(1));
        EXPECT_EQ(v.RowCount(1), v.LayoutLine(1).Rows());
        // A tab cannot be patched: the line is laid out again, correctly.
        f.doc().InsertString(f.doc().LineStart(1) + 3, "\t", 1);
        ExpectSameLayout(v.LayoutLine(1), f.Fresh(1));
        EXPECT_EQ(v.layoutsMade, made + 1);
    }
}

// (The selection following edits is view_swap_test.cpp's model's.)
TEST(View, FirstVisibleLineFollowsEdits) {
    ViewFixture f;
    View& v = *f.view;
    std::string text;
    for (int i = 0; i < 100; ++i)
        text += "line\n";
    f.SetText(text);
    v.ScrollToRow(50);
    EXPECT_EQ(v.FirstVisibleLine(), 50);
    f.doc().InsertString(0, "\n\n", 2);  // above: moves down
    EXPECT_EQ(v.FirstVisibleLine(), 52);
    f.doc().InsertString(f.doc().LineStart(60), "\n", 1);  // below: stays
    EXPECT_EQ(v.FirstVisibleLine(), 52);
    f.doc().DeleteChars(f.doc().LineStart(10), f.doc().LineStart(20) - f.doc().LineStart(10));  // above
    EXPECT_EQ(v.FirstVisibleLine(), 42);
    f.doc().DeleteChars(f.doc().LineStart(40), f.doc().LineStart(45) - f.doc().LineStart(40));  // through it
    EXPECT_EQ(v.FirstVisibleLine(), 40);
    f.doc().DeleteChars(0, f.doc().Length());
    EXPECT_EQ(v.FirstVisibleLine(), 0);
}

TEST(View, VerticalScrollValuesAndScrolling) {
    ViewFixture f(400, 0);
    View& v = *f.view;
    const int32_t lh = v.LineHeight();
    v.SetClientSize(400, lh * 10 + 3);
    std::string text;
    for (int i = 0; i < 100; ++i)
        text += "x\n";  // 101 lines
    f.SetText(text);
    v.UpdateScrollBars();
    const ScrollValues& s = f.host->vertical;
    EXPECT_EQ(s, (ScrollValues{0, 100, 10, 0}));  // ends at the last line
    EXPECT_EQ(v.MaxTopRow(), 91);
    v.SetEndAtLastLine(false);
    EXPECT_EQ(s.max, 101 + 10 - 2);
    EXPECT_EQ(v.MaxTopRow(), 100);  // the last line can reach the top
    v.SetEndAtLastLine(true);
    auto scroll = [&](int64_t row) {
        v.ScrollToRow(row);
        return v.TopRow();
    };
    EXPECT_EQ(scroll(5), 5);
    EXPECT_EQ(f.host->scrolled.back(), -5 * lh);
    EXPECT_EQ(s.pos, 5);
    EXPECT_TRUE(v.pendingUpdate & 4);
    const int before = f.host->invalidateAll;
    EXPECT_EQ(scroll(500), 91);  // clamped, and further than a page: repaint everything
    EXPECT_EQ(f.host->invalidateAll, before + 1);
    const int sets = f.host->scrollSets;
    v.UpdateScrollBars();
    EXPECT_EQ(f.host->scrollSets, sets);  // unchanged values are not sent again
    EXPECT_EQ(scroll(-3), 0);

    // Wrapping: rows of a long line count, and the top can sit inside a line; beyond the end one
    // row per line.
    f.SetText(std::string(2000, 'y') + "\nnext");
    v.SetWrapMode(kWrapChar);
    v.FinishWrapping();
    const int64_t rows = v.RowCount(0);
    EXPECT_GT(rows, 10);
    EXPECT_EQ(v.TotalRows(), rows + 1);
    v.ScrollToRow(3);
    EXPECT_EQ(v.FirstVisibleLine(), 0);
    EXPECT_EQ(v.TopRowInLine(), 3);
    int64_t line = -1;
    int32_t within = -1;
    v.LineFromDisplayRow(rows, &line, &within);
    EXPECT_EQ(std::make_pair(line, within), std::make_pair(int64_t{1}, 0));
    v.LineFromDisplayRow(rows + 50, &line, &within);
    EXPECT_EQ(line, 1);
    EXPECT_EQ(v.DisplayRowOfLine(5), rows + 1 + 3);
}

TEST(View, HorizontalScrollValues) {
    ViewFixture f(200, 100);
    View& v = *f.view;
    f.SetText("short");
    v.LayoutLine(0);
    v.UpdateScrollBars();
    EXPECT_FALSE(f.host->horizontal.Scrollable());  // content fits
    f.SetText(std::string(300, 'm'));
    v.LayoutLine(0);
    v.UpdateScrollBars();
    const ScrollValues h = f.host->horizontal;
    EXPECT_EQ(h.page, 198);
    EXPECT_EQ(h.max, v.ScrollWidth() + v.CaretWidth() - 1);
    EXPECT_TRUE(h.Scrollable());
    v.SetXOffset(50);
    EXPECT_EQ(v.XOffset(), 50);
    EXPECT_EQ(f.host->horizontal.pos, 50);
    v.SetXOffset(-5);
    EXPECT_EQ(v.XOffset(), 0);
    v.SetXOffset(40);
    v.SetWrapMode(kWrapWord);  // wrapping empties the range and resets the offset
    EXPECT_EQ(v.XOffset(), 0);
    EXPECT_FALSE(f.host->horizontal.Scrollable());
    v.SetWrapMode(kWrapNone);
    v.SetHScrollBar(false);
    EXPECT_FALSE(f.host->horizontal.Scrollable());
}

TEST(View, PointFromPositionFollowsRowsAndScrolling) {
    ViewFixture f(300, 300);
    View& v = *f.view;
    f.SetText("abc\n" + std::string(200, 'k'));
    const int32_t lh = v.LineHeight();
    int32_t x = 0, y = 0;
    v.PointFromPosition(1, &x, &y);
    EXPECT_EQ(x, v.TextLeft() + v.LayoutLine(0).xs[1]);
    EXPECT_EQ(y, 0);
    v.PointFromPosition(5, &x, &y);
    EXPECT_EQ(y, lh);
    v.SetWrapMode(kWrapChar);
    v.FinishWrapping();
    const LineLayout& l = v.LayoutLine(1);
    ASSERT_GT(l.Rows(), 2);
    const int64_t pos = 4 + l.offsets[l.RowStart(2)];
    v.PointFromPosition(pos, &x, &y);
    EXPECT_EQ(x, v.TextLeft());  // a row start is at the left of its row
    EXPECT_EQ(y, 3 * lh);
    v.SetEndAtLastLine(false);  // everything fits: let the view scroll anyway
    v.ScrollToRow(1);
    v.PointFromPosition(pos, &x, &y);
    EXPECT_EQ(y, 2 * lh);
}

TEST(View, EditsAndCaretMovesRepaintOnlyTheRowsTheyTouch) {
    ViewFixture f(400, 0);
    View& v = *f.view;
    const int32_t lh = v.LineHeight();
    v.SetClientSize(400, 20 * lh);
    std::string line;
    while (line.size() < 12000)
        line += "word and more words ";
    f.SetText(line);
    v.SetWrapMode(kWrapWord);
    v.FinishWrapping();
    const int64_t rows = v.RowCount(0);
    ASSERT_GT(rows, 100);
    v.ScrollToRow(rows - 10);  // the end of the line is on screen
    v.LayoutLine(0);           // as painting it would
    f.host->rects.clear();
    f.host->invalidateAll = 0;
    const int64_t end = f.doc().Length();
    f.doc().InsertString(end, "x", 1);
    ASSERT_EQ(f.host->invalidateAll, 0);
    ASSERT_FALSE(f.host->rects.empty());
    // Only the last row or two of the line, never the rows above the edit.
    for (const auto& r : f.host->rects)
        EXPECT_GE(r[1], 7 * lh) << "repainted from y " << r[1];
    // A caret move inside one row repaints that row only.
    v.SetSelection(end, end);
    f.host->rects.clear();
    v.SetSelection(end - 2, end - 2);
    ASSERT_EQ(f.host->rects.size(), 1u);
    EXPECT_EQ(f.host->rects[0][3] - f.host->rects[0][1], lh);
}

TEST(View, BlendAndOverlayBarGeometry) {
    EXPECT_EQ(Blend(0x123456, 0xFF0000FF), 0x0000FFu);
    EXPECT_EQ(Blend(0x000000, 0x80FFFFFF), 0x808080u);
    EXPECT_EQ(Blend(0xFFFFFF, 0x00000000), 0xFFFFFFu);

    ScrollValues v{0, 999, 100, 0};
    OverlayBar bar = ComputeOverlayBar(true, 400, 300, v, false, 96);
    ASSERT_TRUE(bar.exists);
    EXPECT_EQ(bar.strip.left, 386);
    EXPECT_EQ(bar.trackStart, 2);
    EXPECT_EQ(bar.trackLength, 296);
    EXPECT_EQ(bar.thumbLength, 32);  // 100 * 296 / 1000 is below the minimum
    EXPECT_EQ(bar.thumbOffset, 0);
    v.pos = 900;
    bar = ComputeOverlayBar(true, 400, 300, v, false, 96);
    EXPECT_EQ(bar.thumbOffset, 296 - 32);
    EXPECT_EQ(OverlayDragPosition(bar, v, 2 + 264, 0), 900);
    EXPECT_EQ(OverlayDragPosition(bar, v, -50, 0), 0);
    // The horizontal bar shortens the vertical track; DPI scales everything.
    bar = ComputeOverlayBar(true, 400, 300, v, true, 96);
    EXPECT_EQ(bar.trackLength, 282);
    bar = ComputeOverlayBar(false, 400, 300, {0, 5000, 400, 0}, false, 192);
    EXPECT_EQ(bar.strip.top, 272);
    EXPECT_EQ(bar.trackLength, 400 - 28 - 8);
    EXPECT_EQ(bar.thumbLength, 64);  // the 32-pixel minimum, doubled
    bar = ComputeOverlayBar(false, 4000, 300, {0, 5000, 4000, 0}, false, 96);
    EXPECT_EQ(bar.thumbLength, 4000 * bar.trackLength / 5001);
    // Nothing to scroll, or a track under 28 pixels: no bar.
    EXPECT_FALSE(ComputeOverlayBar(true, 400, 300, {0, 50, 100, 0}, false, 96).exists);
    EXPECT_FALSE(ComputeOverlayBar(true, 400, 30, v, false, 96).exists);
}

}  // namespace
}  // namespace quill
