// The control's behaviour through its message interface, natively with the fixed test font: the
// edge cases of the interface, editing commands against a plain string model, indentation, word
// moves, smart home on wrapped rows, the target search messages, clipboard, mouse and wheel logic,
// and the scrolling arithmetic.
#include <gtest/gtest.h>

#include <random>

#include "edit/control_support.h"
#include "edit/layout_support.h"

namespace quill {
namespace {

using test::Control;

// ---- interface edge cases ----------------------------------------------------------------------

TEST(ControlMessages, TextBuffersAndLinesFollowTheirRules) {
    Control c;
    c.SetText("hello\r\nworld");
    char buf[16];
    std::memset(buf, 'x', sizeof buf);
    EXPECT_EQ(c.Send(SCI_GETTEXT, 3, buf), 3);
    EXPECT_STREQ(buf, "hel");
    EXPECT_EQ(c.Send(SCI_GETLINE, 0, buf), 7);
    EXPECT_EQ(std::string(buf, 7), "hello\r\n");
    // Past the line count: -1, though the line count itself gives the length.
    // clang-format off
    c.Run({{SCI_GETTEXT, 0, 0, 12}, {SCI_GETLINECOUNT, 0, 0, 2}, {SCI_GETLINEENDPOSITION, 0, 0, 5},
           {SCI_POSITIONFROMLINE, 1, 0, 7}, {SCI_POSITIONFROMLINE, 2, 0, 12}, {SCI_POSITIONFROMLINE, 3, 0, -1},
           {SCI_LINELENGTH, 0, 0, 7}, {SCI_LINELENGTH, 5, 0, 0}, {SCI_GETCHARAT, 100, 0, 0},
           {SCI_SETSEL, static_cast<uintptr_t>(-1), -1}, {SCI_GETCURRENTPOS, 0, 0, 12}, {SCI_GETANCHOR, 0, 0, 12},
           {SCI_GOTOPOS, 9}, {SCI_GETCURLINE, 0, 0, 5}, {SCI_POSITIONRELATIVE, 0, 100, 0},
           {SCI_COUNTCHARACTERS, 0, 12, 12}, {SCI_WORDSTARTPOSITION, 9, 0, 7}, {SCI_WORDENDPOSITION, 8, 0, 12}});
    // clang-format on
    EXPECT_EQ(c.Send(SCI_GETCURLINE, sizeof buf, buf), 2);
    EXPECT_STREQ(buf, "world");
}

// Out-of-range values are clamped or ignored; other style and indicator numbers read their own.
TEST(ControlMessages, PropertiesClampAndIgnoreOutOfRange) {
    Control c;
    // clang-format off
    c.Run({{SCI_SETWRAPMODE, 3}, {SCI_GETWRAPMODE, 0, 0, 1}, {SCI_SETWRAPMODE, 2}, {SCI_GETWRAPMODE, 0, 0, 2},
           {SCI_SETWRAPMODE, 9}, {SCI_GETWRAPMODE, 0, 0, 0}, {SCI_SETZOOM, 100}, {SCI_GETZOOM, 0, 0, 60},
           {SCI_SETTABWIDTH, 4}, {SCI_SETTABWIDTH, 0}, {SCI_GETTABWIDTH, 0, 0, 4},
           {SCI_STYLESETFORE, 5, 0x123456}, {SCI_STYLEGETFORE, 0, 0, 0},
           {SCI_STYLESETFORE, 0, 0xFF}, {SCI_STYLEGETFORE, 5, 0, 0xFF},
           {SCI_STYLESETBOLD, 32, 1}, {SCI_STYLEGETWEIGHT, 32, 0, 700},
           {SCI_SETCARETWIDTH, 99}, {SCI_GETCARETWIDTH, 0, 0, 20},
           {SCI_SETMARGINWIDTHN, 7, 30}, {SCI_GETMARGINWIDTHN, 7, 0, 0},
           {SCI_SETMARGINWIDTHN, 1, -5}, {SCI_GETMARGINWIDTHN, 1, 0, 0},
           {SCI_INDICSETALPHA, 3, 999}, {SCI_INDICGETALPHA, 3, 0, 255},
           {SCI_INDICSETFORE, 40, 0x10}, {SCI_INDICGETFORE, 40, 0, 0}, {SCI_INDICGETFORE, 0, 0, 0x007F00},
           {SCI_GETELEMENTCOLOUR, 11, 0, 0}, {SCI_SETELEMENTCOLOUR, 11, 0x80112233},
           {SCI_GETELEMENTCOLOUR, 11, 0, 0x80112233}, {SCI_GETELEMENTISSET, 12, 0, 0},
           {SCI_SETCARETLINEVISIBLE, 1}, {SCI_GETELEMENTCOLOUR, 50, 0, static_cast<intptr_t>(0xFF00FFFFu)},
           {SCI_SETXOFFSET, static_cast<uintptr_t>(-20)}, {SCI_GETXOFFSET, 0, 0, 0}});
    // clang-format on
    EXPECT_EQ(c.host->Count(SCN_ZOOM), 1);
    c.Send(SCI_SETZOOM, 60);
    EXPECT_EQ(c.host->Count(SCN_ZOOM), 1);  // unchanged: nothing sent
}

TEST(ControlMessages, NotificationsCarryTheirFields) {
    Control c;
    c.Send(SCI_SETTEXT, 0, "ab\ncd");
    c.Send(SCI_SETSAVEPOINT);
    c.host->sent.clear();
    c.Send(SCI_GOTOPOS, 2);
    c.view->TypeText("\xED\x95\x9C");  // 한
    ASSERT_EQ(c.host->Count(SCN_MODIFIED), 1);
    const test::Sent& mod = c.host->sent[0];
    EXPECT_EQ(mod.n.modificationType, 0x1 | 0x10);
    EXPECT_EQ(mod.n.position, 2);
    EXPECT_EQ(mod.n.length, 3);
    EXPECT_EQ(mod.text, "\xED\x95\x9C");
    EXPECT_EQ(c.host->Count(SCN_CHARADDED), 1);
    EXPECT_EQ(c.host->sent.back().n.ch, 0xD55C);
    EXPECT_EQ(c.host->Count(SCN_SAVEPOINTLEFT), 1);
    // Three typed characters: one posted delivery with content and selection bits.
    c.host->posts = 0;
    c.view->DeliverPostedUpdate();
    c.host->sent.clear();
    c.Type(u"xyz");
    EXPECT_EQ(c.host->Count(SCN_MODIFIED), 3);
    EXPECT_EQ(c.host->Count(SCN_CHARADDED), 3);
    EXPECT_EQ(c.host->posts, 1);
    EXPECT_EQ(c.host->Count(SCN_UPDATEUI), 0);
    c.view->DeliverPostedUpdate();
    ASSERT_EQ(c.host->Count(SCN_UPDATEUI), 1);
    EXPECT_EQ(c.host->sent.back().n.updated & 3, 3);
    // Undo is flagged; the event mask silences modifications.
    c.host->sent.clear();
    c.Send(SCI_UNDO);
    ASSERT_GE(c.host->Count(SCN_MODIFIED), 1);
    EXPECT_EQ(c.host->sent[0].n.modificationType, 0x2 | 0x20);
    c.Send(SCI_SETMODEVENTMASK, 0);
    c.host->sent.clear();
    c.Type(u"q");
    EXPECT_EQ(c.host->Count(SCN_MODIFIED), 0);
    c.Send(SCI_SETSAVEPOINT);
    EXPECT_EQ(c.host->Count(SCN_SAVEPOINTREACHED), 1);
}

// ---- editing against a model --------------------------------------------------------------------

TEST(ControlEditing, RandomCommandsMatchAStringModel) {
    Control c;
    std::mt19937 rng(7);
    std::string model;
    int64_t caret = 0;
    // A long piece makes lines of several kilobytes, where the view's column marks come into play.
    const std::string pieces[] = {"a", "b", " ", "\xEA\xB0\x80", "\r\n", ".", "\t", std::string(2500, 'x')};
    // A column in the model: characters since the line's start, tabs to the next multiple.
    auto column = [&](int64_t at) {
        size_t p = static_cast<size_t>(at);
        while (p > 0 && model[p - 1] != '\n' && model[p - 1] != '\r')
            --p;
        int64_t col = 0;
        for (; p < static_cast<size_t>(at); ++p) {
            if (model[p] == '\t') {
                col = (col / 8 + 1) * 8;
            } else if ((static_cast<unsigned char>(model[p]) & 0xC0) != 0x80) {
                ++col;
            }
        }
        return col;
    };
    for (int step = 0; step < 600; ++step) {
        const int op = static_cast<int>(rng() % 6);
        if (op <= 1) {
            const std::string p = pieces[rng() % (step % 5 == 0 ? 8 : 7)];
            if (p == "\r\n") {
                c.Send(SCI_NEWLINE);
            } else {
                c.view->TypeText(p);
            }
            model.insert(static_cast<size_t>(caret), p);
            caret += static_cast<int64_t>(p.size());
        } else if (op == 2 && caret > 0) {
            c.Send(SCI_DELETEBACK);
            int64_t n = 1;
            if (caret >= 2 && model.compare(static_cast<size_t>(caret - 2), 2, "\r\n") == 0) {
                n = 2;
            } else {
                while (n < caret &&
                       (static_cast<unsigned char>(model[static_cast<size_t>(caret - n)]) & 0xC0) == 0x80)
                    ++n;
            }
            model.erase(static_cast<size_t>(caret - n), static_cast<size_t>(n));
            caret -= n;
        } else if (op == 3) {
            c.Send(SCI_CHARLEFT);
            caret = c.Caret();
        } else if (op == 4) {
            c.Send(SCI_CHARRIGHT);
            caret = c.Caret();
        } else {
            c.Send(rng() % 2 ? SCI_LINEUP : SCI_LINEDOWN);
            caret = c.Caret();
        }
        ASSERT_EQ(c.Text(), model) << "step " << step;
        ASSERT_EQ(c.Caret(), caret) << "step " << step;
        // The caret's column, then the line end's: marks laid far along the line must follow later edits.
        const int64_t end =
            c.Send(SCI_GETLINEENDPOSITION, static_cast<uintptr_t>(c.Send(SCI_LINEFROMPOSITION, caret)));
        for (int64_t at : {caret, end})
            ASSERT_EQ(c.Send(SCI_GETCOLUMN, static_cast<uintptr_t>(at)), column(at)) << "step " << step;
    }
    // Undoing everything gives the empty document back.
    while (c.Send(SCI_CANUNDO))
        c.Send(SCI_UNDO);
    EXPECT_EQ(c.Text(), "");
}

// Typing: surrogate halves, a step with the selection it replaced, overtype and read-only. Single
// commands are control_rules_test.cpp's table.
TEST(ControlEditing, TypingUnitsSelectionsOvertypeAndReadOnly) {
    Control c;
    // A surrogate pair typed as two units is one character; a lone low half is ignored.
    c.Type(u"\U0001F600");
    c.Type(std::u16string(1, char16_t{0xDC00}));
    EXPECT_EQ(c.Text(), "\xF0\x9F\x98\x80");
    EXPECT_EQ(c.host->sent.back().n.ch, 0x1F600);
    // Typing over a selection is one undo step.
    c.SetText("hello world");
    c.Send(SCI_EMPTYUNDOBUFFER);
    c.Send(SCI_SETSEL, 0, 5);
    c.Type(u"bye");
    EXPECT_EQ(c.Text(), "bye world");
    c.Send(SCI_UNDO);
    EXPECT_EQ(c.Text(), "hello world");
    EXPECT_EQ(c.Send(SCI_CANUNDO), 0);
    // Overtype replaces, but inserts at the line end; read-only takes nothing.
    c.SetText("ab\ncd");
    c.Run({{SCI_SETOVERTYPE, 1}, {SCI_GOTOPOS, 1}});
    c.Type(u"XY");
    c.Send(SCI_SETREADONLY, 1);
    c.Type(u"zz");
    EXPECT_EQ(c.Text(), "aXY\ncd");
}

TEST(ControlEditing, NewLineUsesTheEolModeAndReportsEachByte) {
    Control c;
    c.Send(SCI_SETEOLMODE, 2);
    c.Send(SCI_NEWLINE);
    EXPECT_EQ(c.host->Count(SCN_CHARADDED), 1);
    c.Send(SCI_SETEOLMODE, 0);
    c.Send(SCI_NEWLINE);
    EXPECT_EQ(c.host->Count(SCN_CHARADDED), 3);
    EXPECT_EQ(c.Text(), "\n\r\n");
    // Only 0 to 2 are modes.
    // clang-format off
    c.Run({{SCI_SETEOLMODE, 3}, {SCI_SETEOLMODE, static_cast<uintptr_t>(-1)}, {SCI_GETEOLMODE, 0, 0, 0},
           {SCI_CONVERTEOLS, 2}});
    // clang-format on
    EXPECT_EQ(c.Text(), "\n\n");
    c.Send(SCI_UNDO);
    EXPECT_EQ(c.Text(), "\n\r\n");
}

// ---- moves ---------------------------------------------------------------------------------------

TEST(ControlMoves, VerticalMovesKeepTheColumn) {
    Control c;
    c.SetText("abcdef\nab\nabcdef");
    c.Send(SCI_GOTOPOS, 5);
    EXPECT_EQ(c.Key(SCI_LINEDOWN), 9);   // end of the short line
    EXPECT_EQ(c.Key(SCI_LINEDOWN), 15);  // back to column 5
    EXPECT_EQ(c.Key(SCI_LINEDOWN), 15);  // last row: stays
}

TEST(ControlMoves, SmartHomeAndEndOnWrappedRows) {
    Control c(200, 200);
    c.Send(SCI_SETWRAPMODE, 1);
    std::string line = "    ";
    for (int i = 0; i < 20; ++i)
        line += "word ";
    c.SetText(line);
    c.view->FinishWrapping();
    ASSERT_GT(c.Send(SCI_WRAPCOUNT, 0), 2);
    const int64_t row1 = c.view->RowStartPosition(1);
    ASSERT_GT(row1, 4);
    c.Send(SCI_GOTOPOS, row1 + 3);
    // The display row's start, the indentation, the line start, the indentation again.
    EXPECT_EQ(c.Key(SCI_VCHOMEWRAP), row1);
    EXPECT_EQ(c.Key(SCI_VCHOMEWRAP), 4);
    EXPECT_EQ(c.Key(SCI_VCHOMEWRAP), 0);
    EXPECT_EQ(c.Key(SCI_VCHOMEWRAP), 4);
    const int64_t rowEnd = c.Key(SCI_LINEENDWRAP);
    EXPECT_LT(rowEnd, row1);
    EXPECT_EQ(c.view->DisplayRowOfPosition(rowEnd), 0);
    EXPECT_EQ(c.Key(SCI_LINEENDWRAP), static_cast<int64_t>(line.size()));
    // A point past the end of a wrapped row gives the position before its last character.
    EXPECT_EQ(c.view->PositionInRow(0, 100000), rowEnd);
}

// ---- tab and back tab ---------------------------------------------------------------------------

TEST(ControlIndent, TabAndBackTabOverSeveralLines) {
    Control c;
    c.Send(SCI_SETTABWIDTH, 4);
    c.SetText("a\n  b\n\nc\nd");
    c.Send(SCI_SETSEL, 0, 8);  // line 0 to the end of line 3
    c.Send(SCI_TAB);
    EXPECT_EQ(c.Text(), "\ta\n\tb\n\n\tc\nd");
    EXPECT_EQ(c.Sel(), test::Span(0, 10));  // whole lines, the empty one left as it was
    c.Send(SCI_UNDO);
    EXPECT_EQ(c.Text(), "a\n  b\n\nc\nd");
    c.Send(SCI_SETUSETABS, 0);
    c.Send(SCI_SETSEL, 9, intptr_t{0});  // backwards, touching line 4 at its start only
    c.Send(SCI_TAB);
    EXPECT_EQ(c.Text(), "    a\n    b\n\n    c\nd");
    EXPECT_EQ(c.Sel(), test::Span(19, 0));
    c.Send(SCI_BACKTAB);
    EXPECT_EQ(c.Text(), "a\nb\n\nc\nd");
    // One line: spaces to the next stop; back tab from within the indentation, not after it.
    c.SetText("ab");
    c.Run({{SCI_GOTOPOS, 1}, {SCI_TAB}});
    EXPECT_EQ(c.Text(), "a   b");
    c.SetText("      x");
    c.Send(SCI_GOTOPOS, 2);
    EXPECT_EQ(c.Key(SCI_BACKTAB), 4);
    c.Send(SCI_GOTOPOS, 5);
    c.Send(SCI_BACKTAB);
    EXPECT_EQ(c.Text(), "    x");
    c.Send(SCI_SETUSETABS, 1);
    c.Send(SCI_SETLINEINDENTATION, 0, 9);
    EXPECT_EQ(c.Text(), "\t\t x");
    // The second tab would pass column 6.
    // clang-format off
    c.Run({{SCI_GETLINEINDENTATION, 0, 0, 9}, {SCI_GETLINEINDENTPOSITION, 0, 0, 3}, {SCI_GETCOLUMN, 2, 0, 8},
           {SCI_FINDCOLUMN, 0, 6, 1}});
    // clang-format on
}

// ---- target and search --------------------------------------------------------------------------

// Counting and replacing every match through the target is find_card_test.cpp's (through this
// control too); here the target's own edges, find text and search next/previous.
TEST(ControlSearch, TargetFindTextAndSearchNextPrevious) {
    Control c;
    c.SetText("xxxx-axxb");
    // An empty range finds nothing and leaves the target alone.
    c.Send(SCI_SETTARGETRANGE, 2, 2);
    EXPECT_EQ(c.Send(SCI_SEARCHINTARGET, 1, "x"), -1);
    EXPECT_EQ(c.Send(SCI_GETTARGETSTART), 2);
    char buf[8];
    c.Send(SCI_SETTARGETRANGE, 5, 1);
    EXPECT_EQ(c.Send(SCI_GETTARGETTEXT, 0, buf), 4);
    EXPECT_STREQ(buf, "xxx-");
    // Find text with a range record, and search next/previous from the selection.
    struct {
        intptr_t cpMin, cpMax;
        const char* text;
        intptr_t foundMin, foundMax;
    } find{0, -1, "axx", 0, 0};
    EXPECT_EQ(c.Send(SCI_FINDTEXTFULL, 0, reinterpret_cast<intptr_t>(&find)), 5);
    EXPECT_EQ(find.foundMax, 8);
    c.Send(SCI_GOTOPOS, 6);
    EXPECT_EQ(c.Send(SCI_SEARCHNEXT, 0, "x"), 6);
    EXPECT_EQ(c.Sel(), test::Span(6, 7));
    EXPECT_EQ(c.Send(SCI_SEARCHPREV, 0, "x"), 3);
    EXPECT_EQ(c.Send(SCI_SEARCHNEXT, 0, "q"), -1);
    EXPECT_EQ(c.Anchor(), 3);
    // A replacement of length -1 runs to its NUL, and the target then covers it.
    c.Send(SCI_SETTARGETRANGE, 4, intptr_t{0});
    EXPECT_EQ(c.Send(SCI_REPLACETARGET, static_cast<uintptr_t>(-1), "pear"), 4);
    EXPECT_EQ(c.Text(), "pear-axxb");
    EXPECT_EQ(c.Send(SCI_GETTARGETEND), 4);
}

// ---- clipboard, mouse and wheel -------------------------------------------------------------------

TEST(ControlInput, ClipboardCutCopyPaste) {
    Control c;
    c.SetText("one two");
    c.Send(SCI_COPY);
    EXPECT_FALSE(c.host->hasClipboard);  // empty selection: untouched
    EXPECT_EQ(c.Send(SCI_CANPASTE), 0);
    c.Run({{SCI_SETSEL, 0, 4}, {SCI_CUT}, {SCI_EMPTYUNDOBUFFER}, {SCI_DOCUMENTEND}});
    EXPECT_EQ(c.host->clipboard, "one ");
    c.Type(u"x");
    c.Run({{SCI_PASTE}, {SCI_PASTE}});
    EXPECT_EQ(c.Text(), "twoxone one ");
    c.Send(SCI_UNDO);
    EXPECT_EQ(c.Text(), "twoxone ");  // each paste is a step of its own
    c.Run({{SCI_SETREADONLY, 1}, {SCI_CANPASTE, 0, 0, 0}});
}

TEST(ControlInput, ClickSeriesAndWordDrag) {
    Control c;
    c.SetText("alpha beta gamma\nsecond line");
    const int32_t lh = c.view->LineHeight();
    int32_t x = 0, y = 0, x2 = 0, y2 = 0;
    c.view->PointFromPosition(8, &x, &y);  // inside "beta"
    y += lh / 2;
    c.view->MouseDown(x + 1, y, 2, false);
    EXPECT_EQ(c.Sel(), test::Span(6, 10));
    c.view->PointFromPosition(13, &x2, &y2);  // inside "gamma"
    c.view->MouseDrag(x2 + 1, y2 + lh / 2);
    EXPECT_EQ(c.Sel(), test::Span(6, 16));
    c.view->MouseDrag(c.view->TextLeft() + 1, y);  // left of the first word
    EXPECT_EQ(c.Sel(), test::Span(10, 0));
    c.view->MouseUp();
    c.view->MouseDown(x + 1, y, 3, false);
    EXPECT_EQ(c.Sel(), test::Span(0, 17));  // the line with its break
    c.view->MouseDown(x + 1, y, 1, false);
    EXPECT_EQ(c.Anchor(), c.Caret());
    c.view->MouseUp();
    c.Send(SCI_SETMARGINWIDTHN, 1, 20);
    c.view->MouseDown(5, lh + lh / 2, 1, false);  // margin of line 1
    EXPECT_EQ(c.Sel(), test::Span(17, 28));
    c.view->MouseUp();
    // Right press inside the selection keeps it; outside moves the caret.
    c.Send(SCI_SETSEL, 0, 5);
    c.view->PointFromPosition(2, &x, &y);
    c.view->RightDown(x, y + 1);
    EXPECT_EQ(c.Caret(), 5);
    c.view->PointFromPosition(12, &x, &y);
    c.view->RightDown(x, y + 1);
    EXPECT_EQ(c.Sel(), test::Span(12, 12));
}

TEST(ControlInput, WheelScrollsZoomsAndExtendsADrag) {
    Control c(300, 100);
    std::string text;
    for (int i = 0; i < 100; ++i)
        text += "row " + std::to_string(i) + "\n";
    c.SetText(text);
    const int32_t lh = c.view->LineHeight();
    // During a drag the selection follows the scroll.
    c.view->MouseDown(c.view->TextLeft() + 1, lh / 2, 1, false);
    c.view->MouseDrag(c.view->TextLeft() + 1, 2 * lh + lh / 2);
    EXPECT_EQ(c.CaretLine(), 2);
    c.view->Wheel(-120, false, false, 3);
    EXPECT_EQ(c.view->TopRow(), 3);
    EXPECT_EQ(c.CaretLine(), 5);
    EXPECT_EQ(c.Anchor(), 0);
    c.view->MouseUp();
    // Partial notches add up; released, the selection stays where it was.
    c.view->Wheel(-40, false, false, 3);
    c.view->Wheel(-40, false, false, 3);
    EXPECT_EQ(c.view->TopRow(), 5);
    EXPECT_EQ(c.CaretLine(), 5);
    c.view->Wheel(-120, false, false, -1);  // a page per notch
    EXPECT_EQ(c.view->TopRow(), 5 + std::max<int64_t>(1, c.view->LinesOnScreen() - 1));
    c.host->sent.clear();
    c.view->Wheel(240, true, false, 3);
    EXPECT_EQ(c.Send(SCI_GETZOOM), 2);
    EXPECT_EQ(c.host->Count(SCN_ZOOM), 2);
}

TEST(ControlInput, ShiftClicksInTheMarginSelectWholeLinesFromTheAnchorLine) {
    Control c;
    c.SetText("zero\none\ntwo\nthree\nfour\n");
    c.Send(SCI_SETMARGINWIDTHN, 1, 20);
    const int32_t lh = c.view->LineHeight();
    c.Send(SCI_GOTOPOS, 6);                          // inside "one"
    c.view->MouseDown(5, 3 * lh + lh / 2, 1, true);  // Shift in the margin of "three"
    EXPECT_EQ(c.Sel(), test::Span(5, 19));           // start of "one" to start of "four"
    c.view->MouseUp();
    c.Send(SCI_GOTOPOS, 10);                // inside "two"
    c.view->MouseDown(5, lh / 2, 1, true);  // Shift in the margin of "zero": upwards
    EXPECT_EQ(c.Sel(), test::Span(13, 0));  // from the end of "two" with its break
    // Dragging on from there goes on by whole lines, keeping the anchor's line.
    c.view->MouseDrag(c.view->TextLeft() + 2, 4 * lh + lh / 2);
    EXPECT_EQ(c.Sel(), test::Span(9, 24));
    c.view->MouseUp();
}

TEST(ControlInput, DraggingPastTheEdgesScrollsOnTheTimer) {
    Control c(300, 100);
    std::string text;
    for (int i = 0; i < 100; ++i)
        text += "line " + std::to_string(i) + " " + std::string(static_cast<size_t>(i % 7) * 30, 'x') + "\n";
    c.SetText(text);
    const int32_t lh = c.view->LineHeight(), left = c.view->TextLeft();
    const int64_t page = c.view->LinesOnScreen();
    auto tick = [&] {
        c.view->OnTimer(kDragTimer);
        return c.view->TopRow();
    };
    c.view->MouseDown(left, lh / 2, 1, false);
    // Inside the window a drag extends at once and needs no timer.
    EXPECT_FALSE(c.view->MouseDrag(left, lh + lh / 2));
    EXPECT_EQ(c.CaretLine(), 1);
    // Below the window: the timer scrolls by one row plus one per line height further out, and
    // the selection follows to the last visible row.
    EXPECT_TRUE(c.view->MouseDrag(left, c.view->ClientHeight() + 2 * lh + 1));
    EXPECT_EQ(tick(), 3);
    EXPECT_EQ(tick(), 6);
    EXPECT_EQ(c.CaretLine(), 6 + page - 1);
    EXPECT_EQ(c.Anchor(), 0);
    // Above the window it scrolls back.
    EXPECT_TRUE(c.view->MouseDrag(left, -1));
    EXPECT_EQ(tick(), 5);
    EXPECT_EQ(c.CaretLine(), 5);
    // Right of the text area (no wrapping): the offset moves by at least a character and the
    // caret, extended to the right edge of the row, stays in sight.
    const int32_t avg = c.view->TextFonts().averageCharWidth();
    EXPECT_TRUE(c.view->MouseDrag(c.view->ClientWidth() + 1, lh / 2));
    for (int i = 0; i < 3; ++i) {
        const int32_t before = c.view->XOffset();
        tick();
        EXPECT_GE(c.view->XOffset(), before + avg);
        int32_t x = 0, y = 0;
        c.view->PointFromPosition(c.Caret(), &x, &y);
        EXPECT_GE(x, left);
        EXPECT_LE(x, c.view->ClientWidth() - c.view->RightTextMargin());
        EXPECT_EQ(y, 0);
    }
    // Released: further ticks change nothing.
    c.view->MouseUp();
    const int64_t top = c.view->TopRow(), caret = c.Caret();
    EXPECT_EQ(tick(), top);
    EXPECT_EQ(c.Caret(), caret);
}

TEST(ControlInput, SidewaysWheelsMoveTheOffsetButNotWhenWrapping) {
    Control c(300, 100);
    c.SetText(std::string(500, 'w') + "\nshort");
    const int32_t step = 2 * 3 * c.view->TextFonts().averageCharWidth();
    // Shift+wheel: backward (towards the user) moves right, never below 0 and never vertically; the
    // horizontal wheel: forward moves right.
    auto shift = [&](int delta) {
        c.view->Wheel(delta, false, true, 3);
        return c.view->XOffset();
    };
    auto sideways = [&](int delta) {
        c.view->HorizontalWheel(delta);
        return c.view->XOffset();
    };
    EXPECT_EQ(shift(-120), step);
    EXPECT_EQ(shift(-240), 3 * step);
    EXPECT_EQ(shift(120), 2 * step);
    EXPECT_EQ(shift(1200), 0);
    EXPECT_EQ(c.view->TopRow(), 0);
    EXPECT_EQ(sideways(120), step);
    EXPECT_EQ(sideways(-600), 0);
    // Wrapped text has no horizontal offset to move.
    c.Send(SCI_SETWRAPMODE, 1);
    EXPECT_EQ(shift(-120), 0);
    EXPECT_EQ(sideways(120), 0);
}

// ---- scrolling arithmetic -------------------------------------------------------------------------

TEST(ControlScrolling, TopRowAndOffsetRules) {
    // On screen; within a page above; farther: centred; less than two pages below; farther below.
    EXPECT_EQ(TopRowToShow(12, 10, 5, false), 10);
    EXPECT_EQ(TopRowToShow(7, 10, 5, false), 7);
    EXPECT_EQ(TopRowToShow(2, 10, 5, false), 0);
    EXPECT_EQ(TopRowToShow(16, 10, 5, false), 12);
    EXPECT_EQ(TopRowToShow(30, 10, 5, false), 28);
    EXPECT_EQ(TopRowToShow(30, 10, 5, true), 28);
    EXPECT_EQ(XOffsetToShow(50, 0, 300, 1), 0);
    EXPECT_EQ(XOffsetToShow(400, 0, 300, 1), 400 + 1 - 300 + 100);
    EXPECT_EQ(XOffsetToShow(250, 300, 300, 1), 150);
    EXPECT_EQ(XOffsetToShow(100, 300, 300, 1), 0);
}

TEST(ControlScrolling, CaretMovesScrollTheView) {
    Control c(300, 100);
    std::string text;
    for (int i = 0; i < 60; ++i)
        text += "row " + std::to_string(i) + "\n";
    c.SetText(text + std::string(400, 'w'));
    const int64_t page = c.Send(SCI_LINESONSCREEN);
    c.Send(SCI_GOTOLINE, 30);
    EXPECT_EQ(c.Send(SCI_GETFIRSTVISIBLELINE), 30 - page / 2);
    c.Send(SCI_PAGEDOWN);
    EXPECT_EQ(c.CaretLine(), 30 + page - 1);
    c.Send(SCI_DOCUMENTEND);
    EXPECT_GT(c.Send(SCI_GETXOFFSET), 0);
    // clang-format off
    c.Run({{SCI_DOCUMENTSTART}, {SCI_GETXOFFSET, 0, 0, 0}, {SCI_GETFIRSTVISIBLELINE, 0, 0, 0},
           {SCI_SETFIRSTVISIBLELINE, 10}, {SCI_LINESCROLLDOWN}, {SCI_GETFIRSTVISIBLELINE, 0, 0, 11},
           {SCI_GETCURRENTPOS, 0, 0, 0}});
    // clang-format on
}

}  // namespace
}  // namespace quill
