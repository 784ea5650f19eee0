// Behaviours of the control that nothing else pins down, each one a fault a small change to the
// code would otherwise slip past: deletions of a selection, single-line tab, line starts, paging
// to the start, the range and scroll messages, flags read back, relative positions and short
// buffers, empty indicator fills, line-break conversion keeping the scroll row, the caret timer,
// style changes measuring again, the default style's own slot, a lone CR, and the background
// wrapper reusing cached layouts.
#include <gtest/gtest.h>

#include "edit/control_support.h"

namespace quill {
namespace {

using test::Control;

TEST(ControlRules, DeletionsAndEditsOfOneLine) {
    struct Case {
        unsigned command;
        const char* text;
        int64_t anchor, caret;
        const char* after;
        int64_t caretAfter;
    };
    const Case cases[] = {
        {SCI_DELETEBACK, "abcdef", 1, 4, "aef", 1},  // a selection: exactly it, nothing before
        {SCI_CLEAR, "abcdef", 4, 1, "aef", 1},
        {SCI_DELWORDLEFT, "one two", 5, 7, "one t", 5},
        {SCI_TAB, "ab", 1, 1, "a\tb", 2},  // one line with tabs on: a tab character
        {SCI_HOME, "x\n  abc", 6, 6, "x\n  abc", 2},
        {SCI_CHARRIGHT, "a\rb", 1, 1, "a\rb", 2},  // a lone CR is one step
        {SCI_CHARLEFT, "a\rb", 2, 2, "a\rb", 1},
        {SCI_DELETEBACK, "a\rb", 2, 2, "ab", 1},
    };
    for (const Case& k : cases) {
        Control c;
        c.SetText(k.text);
        c.Send(SCI_SETSEL, static_cast<uintptr_t>(k.anchor), k.caret);
        c.Send(k.command);
        EXPECT_EQ(c.Text(), k.after) << k.command << " on " << k.text;
        EXPECT_EQ(c.Caret(), k.caretAfter) << k.command << " on " << k.text;
    }
}

TEST(ControlRules, PagingScrollingAndRanges) {
    Control c(300, 100);
    std::string text;
    for (int i = 0; i < 40; ++i)
        text += "line " + std::to_string(i) + "\n";
    c.SetText(text);
    c.Send(SCI_GOTOLINE, 3);
    c.Send(SCI_SETFIRSTVISIBLELINE, 2);
    c.Send(SCI_PAGEUPEXTEND);  // fewer rows above than a page: to the start, the view with it
    EXPECT_EQ(c.Caret(), 0);
    EXPECT_EQ(c.Anchor(), c.Send(SCI_POSITIONFROMLINE, 3));
    EXPECT_EQ(c.Send(SCI_GETFIRSTVISIBLELINE), 0);
    c.Send(SCI_SETFIRSTVISIBLELINE, 10);
    c.Send(SCI_SCROLLTOSTART);
    EXPECT_EQ(c.Send(SCI_GETFIRSTVISIBLELINE), 0);
    // A line inserted above the top keeps the same text at the top.
    c.Send(SCI_SETFIRSTVISIBLELINE, 10);
    c.Send(SCI_INSERTTEXT, 0, "new\n");
    EXPECT_EQ(c.Send(SCI_GETFIRSTVISIBLELINE), 11);
    // Converting line breaks keeps the scroll row and the caret's line and column.
    c.Send(SCI_GOTOPOS, c.Send(SCI_POSITIONFROMLINE, 20) + 2);
    c.Send(SCI_SETFIRSTVISIBLELINE, 15);
    c.Send(SCI_CONVERTEOLS, 0);
    EXPECT_EQ(c.Send(SCI_GETFIRSTVISIBLELINE), 15);
    EXPECT_EQ(c.Caret(), c.Send(SCI_POSITIONFROMLINE, 20) + 2);
    EXPECT_EQ(c.Send(SCI_GETLINE, 0, intptr_t{0}), 5);  // "new\r\n"
    c.Send(SCI_DELETERANGE, 0, intptr_t{5});
    EXPECT_EQ(c.Text().substr(0, 6), "line 0");
    c.Send(SCI_DELETERANGE, 0, -3);  // nothing for a negative length
    EXPECT_EQ(c.Text().substr(0, 6), "line 0");
}

TEST(ControlRules, RelativePositionsShortBuffersAndEmptyFills) {
    Control c;
    c.SetText(test::U8(u8"a가b"));
    EXPECT_EQ(c.Send(SCI_POSITIONRELATIVE, 4, intptr_t{0}), 4);
    EXPECT_EQ(c.Send(SCI_POSITIONRELATIVE, 4, -1), 1);
    EXPECT_EQ(c.Send(SCI_POSITIONRELATIVE, 4, -2), 0);
    EXPECT_EQ(c.Send(SCI_POSITIONRELATIVE, 4, -3), 0);  // ran out of text
    c.Send(SCI_GOTOPOS, 4);
    char buf[4] = {'x', 'x', 'x', 'x'};
    EXPECT_EQ(c.Send(SCI_GETCURLINE, 0, buf), 0);  // no room at all: nothing written
    EXPECT_EQ(buf[0], 'x');
    EXPECT_EQ(c.Send(SCI_GETCURLINE, 1, buf), 4);  // room for the NUL only
    EXPECT_EQ(buf[0], '\0');
    for (intptr_t length : {0, -5}) {
        c.Send(SCI_INDICATORFILLRANGE, 1, length);
        EXPECT_EQ(c.Send(SCI_INDICATORVALUEAT, 0, intptr_t{1}), 0) << length;
    }
    c.Send(SCI_INDICATORFILLRANGE, 1, intptr_t{3});
    EXPECT_EQ(c.Send(SCI_INDICATORVALUEAT, 0, intptr_t{1}), 1);
}

TEST(ControlRules, StylesFlagsAndMeasuring) {
    Control c;
    c.Send(SCI_STYLESETFORE, 32, 0x112233);
    EXPECT_EQ(c.Send(SCI_STYLEGETFORE, 32), 0x112233);
    EXPECT_EQ(c.Send(SCI_STYLEGETFORE, 0), 0);  // the default style is a slot of its own
    c.Send(SCI_STYLESETSIZE, 32, 20);
    const intptr_t height = c.Send(SCI_TEXTHEIGHT);
    c.Send(SCI_STYLECLEARALL);  // style 32 to 0 and 33: the text grows
    EXPECT_EQ(c.Send(SCI_STYLEGETFORE, 0), 0x112233);
    EXPECT_EQ(c.Send(SCI_STYLEGETSIZE, 33), 20);
    EXPECT_EQ(c.Send(SCI_STYLEGETBACK, 33), 0xF0F0F0);  // the button face colour
    EXPECT_GT(c.Send(SCI_TEXTHEIGHT), height);
    const intptr_t wide = c.Send(SCI_TEXTWIDTH, 0, "mm");
    c.Send(SCI_STYLESETSIZE, 0, 8);  // a style font change measures again
    EXPECT_LT(c.Send(SCI_TEXTWIDTH, 0, "mm"), wide);
    for (auto [set, get] : {std::pair{SCI_SETVIEWEOL, SCI_GETVIEWEOL},
                            std::pair{SCI_SETCARETLINEVISIBLEALWAYS, SCI_GETCARETLINEVISIBLEALWAYS}}) {
        c.Send(set, 1);
        EXPECT_EQ(c.Send(get), 1);
        c.Send(set, 0);
        EXPECT_EQ(c.Send(get), 0);
    }
}

TEST(ControlRules, CaretTimerRunsOnlyWhileFocusedAndBlinking) {
    Control c;
    c.view->SetFocused(true);
    EXPECT_TRUE(c.host->running[kCaretTimer]);
    c.Send(SCI_SETCARETPERIOD, 0);  // a steady caret
    EXPECT_FALSE(c.host->running[kCaretTimer]);
    c.Send(SCI_GOTOPOS, 0);
    EXPECT_FALSE(c.host->running[kCaretTimer]);
    c.Send(SCI_SETCARETPERIOD, 500);
    EXPECT_TRUE(c.host->running[kCaretTimer]);
    c.view->SetFocused(false);
    EXPECT_FALSE(c.host->running[kCaretTimer]);
    c.Send(SCI_GOTOPOS, 0);
    EXPECT_FALSE(c.host->running[kCaretTimer]);
}

TEST(ControlRules, BackgroundWrappingReusesCachedLayouts) {
    Control c(300, 200);
    std::string text;
    for (int i = 0; i < 100; ++i)
        text += std::string(static_cast<size_t>(i), 'w') + " x\n";
    c.SetText(text);
    for (int64_t line = 0; line < 100; ++line)
        c.view->LayoutLine(line);
    c.view->SetWrapMode(kWrapChar);  // a new generation: every line is laid out once more
    for (int64_t line = 0; line < 50; ++line)
        c.view->LayoutLine(line);
    const uint64_t made = c.view->layoutsMade;
    c.view->FinishWrapping();
    EXPECT_EQ(c.view->layoutsMade - made, 51u);  // lines 50 to 100, not the cached ones
}

}  // namespace
}  // namespace quill
