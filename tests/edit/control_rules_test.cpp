// Behaviours of the control that nothing else pins down, each one a fault a small change to the
// code would otherwise slip past: single commands on short texts (deletions, line commands, moves),
// paging to the start, the range and scroll messages, flags read back, relative positions and short
// buffers, empty indicator fills, line-break conversion keeping the scroll row, the caret timer,
// style changes measuring again, the default style's own slot, a lone CR, and the background
// wrapper reusing cached layouts.
#include <gtest/gtest.h>

#include "edit/control_support.h"

namespace quill {
namespace {

using test::Control;
using test::U8;

// One command on a short text from a given selection: the text and the selection after it (an anchor
// of -1: the caret's). Setup is a message sent with 1 before the command, or 0 for none.
TEST(ControlRules, CommandsOnShortTexts) {
    const std::string words = U8(u8"한글 abc...def\r\nxy");
    struct Case {
        unsigned setup;
        unsigned command;
        std::string text;
        int64_t anchor, caret;
        std::string after;
        int64_t anchorAfter, caretAfter;
    };
    const Case cases[] = {
        {0, SCI_DELETEBACK, "abcdef", 1, 4, "aef", -1, 1},  // a selection: exactly it, nothing before
        {0, SCI_CLEAR, "abcdef", 4, 1, "aef", -1, 1},
        {0, SCI_DELWORDLEFT, "one two", 5, 7, "one t", -1, 5},
        {0, SCI_DELETEBACK, "ab\r\ncd", 4, 4, "abcd", -1, 2},      // CR LF as one
        {0, SCI_DELETEBACK, U8(u8"e\u0301x"), 3, 3, "ex", -1, 1},  // only the combining mark
        {0, SCI_DELETEBACK, "a\rb", 2, 2, "ab", -1, 1},
        {0, SCI_DELWORDLEFT, "one two\r\nthree", 9, 9, "one twothree", -1, 7},  // the break only
        {0, SCI_DELWORDRIGHT, "one two", 0, 0, "two", -1, 0},
        {0, SCI_LINEDELETE, "a\nb\nc", 4, 4, "a\nb", -1, 3},  // the last line takes the break before it
        {0, SCI_LINEDUPLICATE, "a\nb", 0, 0, "a\r\na\nb", -1, 0},
        {0, SCI_TAB, "ab", 1, 1, "a\tb", -1, 2},  // one line with tabs on: a tab character
        {SCI_SETREADONLY, SCI_DELETEBACK, "ab", 1, 1, "ab", -1, 1},
        {0, SCI_HOME, "x\n  abc", 6, 6, "x\n  abc", -1, 2},
        {0, SCI_CHARRIGHT, "a\rb", 1, 1, "a\rb", -1, 2},  // a lone CR is one step
        {0, SCI_CHARLEFT, "a\rb", 2, 2, "a\rb", -1, 1},
        {0, SCI_CHARLEFT, "abc", 1, 3, "abc", -1, 1},   // a selection collapses to its start
        {0, SCI_WORDRIGHT, words, 0, 0, words, -1, 7},  // 한글 + blank | abc | ... | def | CR LF | xy
        {0, SCI_WORDRIGHT, words, 13, 13, words, -1, 16},
        {0, SCI_WORDRIGHT, words, 16, 16, words, -1, 18},
        {0, SCI_WORDLEFT, words, 18, 18, words, -1, 16},
        {0, SCI_WORDLEFT, words, 7, 7, words, -1, 0},
        {0, SCI_LINEDOWN, "abcdef\nab\nabcdef", 1, 3, "abcdef\nab\nabcdef", -1, 9},
        {0, SCI_LINEDOWNEXTEND, "abcdef\nab\nabcdef", 1, 3, "abcdef\nab\nabcdef", 1, 9},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(testing::Message() << k.command << " on " << testing::PrintToString(k.text) << " at "
                                        << k.anchor << ".." << k.caret);
        Control c;
        c.SetText(k.text);
        if (k.setup) c.Send(k.setup, 1);
        c.Send(SCI_SETSEL, static_cast<uintptr_t>(k.anchor), k.caret);
        c.Send(k.command);
        EXPECT_EQ(c.Text(), k.after);
        EXPECT_EQ(c.Caret(), k.caretAfter);
        EXPECT_EQ(c.Anchor(), k.anchorAfter < 0 ? k.caretAfter : k.anchorAfter);
    }
}

TEST(ControlRules, PagingScrollingAndRanges) {
    Control c(300, 100);
    std::string text;
    for (int i = 0; i < 40; ++i)
        text += "line " + std::to_string(i) + "\n";
    c.SetText(text);
    c.Run({{SCI_GOTOLINE, 3}, {SCI_SETFIRSTVISIBLELINE, 2}, {SCI_PAGEUPEXTEND}});
    // Fewer rows above than a page: to the start, the view with it.
    EXPECT_EQ(c.Sel(), test::Span(c.Send(SCI_POSITIONFROMLINE, 3), 0));
    // clang-format off
    c.Run({{SCI_GETFIRSTVISIBLELINE, 0, 0, 0}, {SCI_SETFIRSTVISIBLELINE, 10}, {SCI_SCROLLTOSTART},
           {SCI_GETFIRSTVISIBLELINE, 0, 0, 0}, {SCI_INSERTTEXT, 0, reinterpret_cast<intptr_t>("new\n")}});
    // clang-format on
    // Converting line breaks keeps the scroll row and the caret's line and column.
    c.Send(SCI_GOTOPOS, c.Send(SCI_POSITIONFROMLINE, 20) + 2);
    // clang-format off
    c.Run({{SCI_SETFIRSTVISIBLELINE, 15}, {SCI_CONVERTEOLS, 0}, {SCI_GETFIRSTVISIBLELINE, 0, 0, 15},
           {SCI_GETLINE, 0, 0, 5}});  // "new\r\n"
    // clang-format on
    EXPECT_EQ(c.Caret(), c.Send(SCI_POSITIONFROMLINE, 20) + 2);
    c.Run({{SCI_DELETERANGE, 0, 5}, {SCI_DELETERANGE, 0, -3}});  // nothing for a negative length
    EXPECT_EQ(c.Text().substr(0, 6), "line 0");
}

TEST(ControlRules, RelativePositionsShortBuffersAndEmptyFills) {
    Control c;
    c.SetText(U8(u8"a가b"));
    // Running out of text stops at 0.
    // clang-format off
    c.Run({{SCI_POSITIONRELATIVE, 4, 0, 4}, {SCI_POSITIONRELATIVE, 4, -1, 1},
           {SCI_POSITIONRELATIVE, 4, -2, 0}, {SCI_POSITIONRELATIVE, 4, -3, 0}, {SCI_GOTOPOS, 4}});
    // clang-format on
    char buf[4] = {'x', 'x', 'x', 'x'};
    EXPECT_EQ(c.Send(SCI_GETCURLINE, 0, buf), 0);  // no room at all: nothing written
    EXPECT_EQ(buf[0], 'x');
    EXPECT_EQ(c.Send(SCI_GETCURLINE, 1, buf), 4);  // room for the NUL only
    EXPECT_EQ(buf[0], '\0');
    // clang-format off
    c.Run({{SCI_INDICATORFILLRANGE, 1, 0}, {SCI_INDICATORFILLRANGE, 1, -5}, {SCI_INDICATORVALUEAT, 0, 1, 0},
           {SCI_INDICATORFILLRANGE, 1, 3}, {SCI_INDICATORVALUEAT, 0, 1, 1}});
    // clang-format on
}

TEST(ControlRules, StylesFlagsAndMeasuring) {
    Control c;
    // The default style is a slot of its own.
    // clang-format off
    c.Run({{SCI_STYLESETFORE, 32, 0x112233}, {SCI_STYLEGETFORE, 32, 0, 0x112233}, {SCI_STYLEGETFORE, 0, 0, 0},
           {SCI_STYLESETSIZE, 32, 20}});
    // clang-format on
    const intptr_t height = c.Send(SCI_TEXTHEIGHT);
    // Clearing copies style 32 to 0 and 33 (whose back is the button face colour): the text grows.
    // clang-format off
    c.Run({{SCI_STYLECLEARALL}, {SCI_STYLEGETFORE, 0, 0, 0x112233}, {SCI_STYLEGETSIZE, 33, 0, 20},
           {SCI_STYLEGETBACK, 33, 0, 0xF0F0F0}});
    // clang-format on
    EXPECT_GT(c.Send(SCI_TEXTHEIGHT), height);
    const intptr_t wide = c.Send(SCI_TEXTWIDTH, 0, "mm");
    c.Send(SCI_STYLESETSIZE, 0, 8);  // a style font change measures again
    EXPECT_LT(c.Send(SCI_TEXTWIDTH, 0, "mm"), wide);
    // clang-format off
    c.Run({{SCI_SETVIEWEOL, 1}, {SCI_GETVIEWEOL, 0, 0, 1}, {SCI_SETVIEWEOL, 0}, {SCI_GETVIEWEOL, 0, 0, 0},
           {SCI_SETCARETLINEVISIBLEALWAYS, 1}, {SCI_GETCARETLINEVISIBLEALWAYS, 0, 0, 1},
           {SCI_SETCARETLINEVISIBLEALWAYS, 0}, {SCI_GETCARETLINEVISIBLEALWAYS, 0, 0, 0}});
    // clang-format on
}

TEST(ControlRules, CaretTimerRunsOnlyWhileFocusedAndBlinking) {
    Control c;
    c.view->SetFocused(true);
    EXPECT_TRUE(c.host->running[kCaretTimer]);
    c.Run({{SCI_SETCARETPERIOD, 0}, {SCI_GOTOPOS, 0}});  // a steady caret
    EXPECT_FALSE(c.host->running[kCaretTimer]);
    c.Send(SCI_SETCARETPERIOD, 500);
    EXPECT_TRUE(c.host->running[kCaretTimer]);
    c.view->SetFocused(false);
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
