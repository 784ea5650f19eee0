// The line tools: every tool against a slow reference on random texts, a table for what the reference
// cannot judge, and the commands through a real view's message interface: the lines a selection
// covers, the status texts, the selection afterwards, and one undo step or none at all.
#include <gtest/gtest.h>

#include <random>

#include "edit/control_support.h"
#include "files/code_page.h"
#include "tools/line_tools.h"
#include "tools/line_tools_platform.h"
#include "tools/line_tools_run.h"

namespace lumen {
namespace {

using E = EolStyle;
using L = LineTool;

// A tool's text result and count (shift for moves, join point for joins).
ToolText Apply(LineTool tool, std::string_view text, EolStyle eol, int32_t tab) {
    switch (tool) {
        case L::MoveUp:
        case L::MoveDown: {
            MovedText m = MoveLinesText(text, tool == L::MoveUp ? -1 : 1);
            return {m.text, m.shift};
        }
        case L::JoinLines: {
            JoinedText j = JoinLinesText(text);
            return {j.text, j.joinPoint};
        }
        case L::SortAscending:
            return SortLinesText(text, eol, SortMode::Ascending);
        case L::SortDescending:
            return SortLinesText(text, eol, SortMode::Descending);
        case L::RemoveDuplicates:
            return SortLinesText(text, eol, SortMode::RemoveDuplicates);
        case L::TrimTrailing:
            return TransformLinesText(text, eol, TransformMode::TrimTrailing, tab);
        case L::TabsToSpaces:
            return TransformLinesText(text, eol, TransformMode::TabsToSpaces, tab);
        case L::IndentToTabs:
            return TransformLinesText(text, eol, TransformMode::IndentToTabs, tab);
        case L::RemoveBlank:
            return TransformLinesText(text, eol, TransformMode::RemoveBlank, tab);
        case L::UpperCase:
        case L::LowerCase:
            return {ChangeCaseText(text, tool == L::UpperCase), 0};
        case L::DeleteLines:
            break;
    }
    return {};
}

std::string Repeat(std::string_view piece, size_t bytes) {
    std::string s;
    while (s.size() < bytes)
        s += piece;
    return s;
}

// What the slow reference below cannot judge, because it borrows the code's own line comparison and
// case mapping, or because its random texts are short: the sort order, the case tables and 2 MB lines.
TEST(LineTools, SortCaseAndLongLines) {
    const std::string line2m = Repeat("ab\tcd  ", 2 << 20);
    const std::string equal25 = Repeat("\xff\n\x80\n\xfe\n", 48) + "\x80";
    struct Row {
        LineTool tool;
        EolStyle eol;
        std::string in, out;
        int64_t count;
    } rows[] = {
        {L::SortAscending, E::Lf, "b\na\nB", "a\nb\nB", 3},
        {L::SortAscending, E::Crlf, "item10\nitem9\r\nitem1", "item1\r\nitem9\r\nitem10", 3},
        {L::SortDescending, E::Lf, "c\r\nb\ra\n", "c\nb\na\n", 4},
        {L::SortAscending, E::Lf, equal25, equal25, 25},  // all equal as U+FFFD: order kept
        {L::TabsToSpaces, E::Lf, line2m, Repeat("ab  cd  ", line2m.size() / 7 * 8), 1},
        {L::UpperCase, E::Lf, "straße ωmega дом 가 😀 x_1", "STRAßE ΩMEGA ДОМ 가 😀 X_1", 0},
        {L::LowerCase, E::Lf, "ÀÉ Ω ABC", "àé ω abc", 0},
        {L::UpperCase, E::Lf,
         "a\xff"
         "b\xc3\xe0\x80",
         "A\xff"
         "B\xc3\xe0\x80",
         0},
        {L::UpperCase, E::Lf, line2m, Repeat("AB\tCD  ", 2 << 20), 0},
    };
    for (const Row& r : rows) {
        const ToolText got = Apply(r.tool, r.in, r.eol, 4);
        EXPECT_EQ(got.text, r.out) << static_cast<int>(r.tool) << " on " << r.in.substr(0, 40);
        EXPECT_EQ(got.count, r.count) << static_cast<int>(r.tool) << " on " << r.in.substr(0, 40);
    }
}

// ---- the slow reference: lines as vectors, one character at a time -------------------------------

struct Split {
    std::vector<std::string> lines{""};
    std::vector<std::string> breaks;
};

Split SplitSlowly(std::string_view text) {
    Split s;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\r' && text[i] != '\n') {
            s.lines.back() += text[i];
            continue;
        }
        const bool pair = text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n';
        s.breaks.push_back(pair ? "\r\n" : std::string(1, text[i]));
        i += pair ? 1 : 0;
        s.lines.emplace_back();
    }
    return s;
}

std::string JoinSlowly(const std::vector<std::string>& lines, std::string_view br) {
    std::string out;
    for (size_t i = 0; i < lines.size(); ++i)
        out += (i ? std::string(br) : "") + lines[i];
    return out;
}

bool Blank(char c) {
    return c == ' ' || c == '\t';
}

ToolText Reference(LineTool tool, std::string_view text, EolStyle eol, int32_t tab) {
    Split s = SplitSlowly(text);
    const std::string br(EolBytes(eol));
    std::vector<std::string> out;
    int64_t count = 0;
    const size_t n = s.lines.size();
    switch (tool) {
        case L::MoveUp:
            if (n < 2) return {std::string(text), 0};
            for (size_t i = 1; i < n; ++i)
                out.push_back(s.lines[i] + (i + 1 < n ? s.breaks[i] : s.breaks[0] + s.lines[0]));
            return {JoinSlowly(out, ""), static_cast<int64_t>(s.lines[0].size() + s.breaks[0].size())};
        case L::MoveDown:
            if (n < 2) return {std::string(text), 0};
            out.push_back(s.lines[n - 1] + s.breaks[n - 2]);
            for (size_t i = 0; i + 1 < n; ++i)
                out.push_back(s.lines[i] + (i + 2 < n ? s.breaks[i] : ""));
            return {JoinSlowly(out, ""),
                    static_cast<int64_t>(s.lines[n - 1].size() + s.breaks[n - 2].size())};
        case L::JoinLines: {
            std::string joined;
            for (size_t i = 0; i < n; ++i) {
                std::string piece = s.lines[i];
                while (i > 0 && !piece.empty() && Blank(piece.front()))
                    piece.erase(0, 1);
                while (i + 1 < n && !piece.empty() && Blank(piece.back()))
                    piece.pop_back();
                if (!piece.empty()) joined += (joined.empty() ? "" : " ") + piece;
            }
            std::string first = s.lines[0];
            while (!first.empty() && Blank(first.back()))
                first.pop_back();
            return {joined, static_cast<int64_t>(std::min(first.size(), joined.size()))};
        }
        case L::SortAscending:
        case L::SortDescending: {
            for (const std::string& line : s.lines) {  // insertion sort: stable by construction
                const std::wstring w = Utf8ToWide(line);
                size_t at = out.size();
                while (at > 0) {
                    const std::wstring p = Utf8ToWide(out[at - 1]);
                    const int c = CompareLinesForSort(w.data(), w.size(), p.data(), p.size());
                    if (tool == L::SortAscending ? c >= 0 : c <= 0) break;
                    --at;
                }
                out.insert(out.begin() + static_cast<ptrdiff_t>(at), line);
            }
            return {JoinSlowly(out, br), static_cast<int64_t>(n)};
        }
        case L::RemoveDuplicates:
            for (const std::string& line : s.lines) {
                if (std::find(out.begin(), out.end(), line) == out.end()) out.push_back(line);
            }
            return {JoinSlowly(out, br), static_cast<int64_t>(n - out.size())};
        case L::UpperCase:
        case L::LowerCase: {
            const std::wstring w = Utf8ToWide(text);
            std::wstring mapped;
            MapCase(w.data(), w.size(), tool == L::UpperCase, mapped);
            return {WideToUtf8(mapped), 0};
        }
        default:
            break;
    }
    for (const std::string& line : s.lines) {
        std::string t;
        size_t column = 0, lead = 0, width = 0;
        switch (tool) {
            case L::TrimTrailing:
                t = line.substr(0, line.find_last_not_of(" \t") + 1);
                break;
            case L::RemoveBlank:
                if (line.find_first_not_of(" \t") == std::string::npos) continue;
                t = line;
                break;
            case L::TabsToSpaces:
                for (char c : line) {
                    const size_t spaces = c == '\t' ? tab - column % tab : 0;
                    t += spaces ? std::string(spaces, ' ') : std::string(1, c);
                    column += spaces + ((static_cast<unsigned char>(c) & 0xC0) != 0x80 && !spaces ? 1 : 0);
                }
                break;
            default:  // indentation to tabs
                for (; lead < line.size() && Blank(line[lead]); ++lead)
                    width += line[lead] == '\t' ? tab - width % tab : 1;
                t = std::string(width / tab, '\t') + std::string(width % tab, ' ') + line.substr(lead);
                break;
        }
        count += t != line ? 1 : 0;
        out.push_back(t);
    }
    return {JoinSlowly(out, br), tool == L::RemoveBlank ? static_cast<int64_t>(n - out.size()) : count};
}

TEST(LineTools, RandomTextsMatchTheSlowReference) {
    // Every piece is whole, so a stray byte is one U+FFFD for both converters; only the case
    // reference, which goes back through WideToUtf8, needs valid text.
    static const char* const kPieces[] = {"a",  "B",  "z",  "1",    "10",   "09",  " ", "  ",
                                          "\t", "\r", "\n", "\r\n", "가",   "É",   "ß", "Ω",
                                          "д",  "😀",  "_",  "¿",    "\xff", "\x80"};
    const LineTool tools[] = {L::MoveUp,         L::MoveDown,         L::JoinLines,    L::SortAscending,
                              L::SortDescending, L::RemoveDuplicates, L::TrimTrailing, L::RemoveBlank,
                              L::TabsToSpaces,   L::IndentToTabs,     L::UpperCase,    L::LowerCase};
    std::mt19937 rng(1234);
    for (int round = 0; round < 400; ++round) {
        const bool valid = round % 2 == 0;
        std::string text;
        for (int n = static_cast<int>(rng() % 40); n > 0; --n)
            text += kPieces[rng() % (valid ? 20 : 22)];
        const EolStyle eol = static_cast<EolStyle>(rng() % 3);
        const int32_t tab = 2 << (rng() % 3);
        for (LineTool tool : tools) {
            if (!valid && (tool == L::UpperCase || tool == L::LowerCase)) continue;
            const ToolText got = Apply(tool, text, eol, tab), want = Reference(tool, text, eol, tab);
            ASSERT_EQ(got.text, want.text) << static_cast<int>(tool) << " round " << round;
            ASSERT_EQ(got.count, want.count) << static_cast<int>(tool) << " round " << round;
        }
    }
}

// ---- the commands through a view -----------------------------------------------------------------

intptr_t CallView(void* view, unsigned m, uintptr_t w, intptr_t l) {
    return static_cast<quill::View*>(view)->Message(m, w, l);
}

TEST(LineToolCommands, SelectionsMessagesAndOneUndoStepOrNone) {
    std::string sorted1500, shuffled1500;
    for (int i = 0; i < 1500; ++i) {
        sorted1500 += (i ? "\n" : "") + ("n" + std::to_string(i));
        shuffled1500 += (i ? "\n" : "") + ("n" + std::to_string((i * 7) % 1500));
    }
    struct Row {
        LineTool tool;
        EolStyle eol;
        std::string in;
        int64_t anchor, caret;
        std::string out;
        int64_t anchorAfter, caretAfter;
        std::wstring message;
    } rows[] = {
        {L::MoveUp, E::Crlf, "one\r\ntwo\r\nthree", 6, 6, "two\r\none\r\nthree", 1, 1, L""},
        {L::MoveDown, E::Crlf, "one\r\ntwo\r\nthree", 6, 6, "one\r\nthree\r\ntwo", 13, 13, L""},
        {L::MoveUp, E::Lf, "a\nb", 1, 0, "a\nb", 1, 0, L""},
        {L::MoveDown, E::Lf, "a\nb\nc\nd", 0, 4, "c\na\nb\nd", 2, 6, L""},  // ends at a line start
        {L::MoveDown, E::Lf, "a\nb", 2, 3, "a\nb", 2, 3, L""},
        {L::MoveUp, E::Lf, "x\nx", 3, 3, "x\nx", 1, 1, L""},  // same text: only the caret moves
        {L::DeleteLines, E::Crlf, "one\r\nthree\r\ntwo", 0, 0, "three\r\ntwo", 0, 0, L""},
        {L::DeleteLines, E::Lf, "a\nb", 3, 3, "a", 0, 0, L""},
        {L::DeleteLines, E::Lf, "a\nb\nc", 0, 2, "b\nc", 0, 0, L""},
        {L::DeleteLines, E::Lf, "", 0, 0, "", 0, 0, L""},
        {L::JoinLines, E::Crlf, "alpha  \r\n    beta\r\ngamma", 0, 0, "alpha beta\r\ngamma", 5, 5, L""},
        {L::JoinLines, E::Lf, "foo\n\nbar", 1, 1, "foo\nbar", 3, 3, L""},
        {L::JoinLines, E::Lf, "a\nb", 3, 3, "a\nb", 3, 3, L""},
        {L::SortAscending, E::Lf, "b\na\nB\n", 6, 6, "a\nb\nB\n", 6, 6, L"3줄을 정렬했습니다"},
        {L::SortAscending, E::Lf, "c\r\nb\na", 0, 5, "b\nc\na", 0, 3, L"2줄을 정렬했습니다"},
        {L::SortDescending, E::Lf, "b\na\n", 0, 0, "b\na\n", 0, 0, L"이미 정렬되어 있습니다"},
        {L::SortAscending, E::Lf, "one\n", 0, 0, "one\n", 0, 0, L"두 줄 이상이 필요합니다"},
        {L::SortAscending, E::Lf, "", 0, 0, "", 0, 0, L"두 줄 이상이 필요합니다"},
        {L::SortAscending, E::Lf, shuffled1500, 0, 0, sorted1500, 0, 0, L"1,500줄을 정렬했습니다"},
        {L::RemoveDuplicates, E::Crlf, "b\r\na\r\nb", 7, 7, "b\r\na", 4, 4, L"중복된 줄 1개를 지웠습니다"},
        {L::RemoveDuplicates, E::Lf, "a\nb\n", 0, 0, "a\nb\n", 0, 0, L"중복된 줄이 없습니다"},
        {L::TrimTrailing, E::Crlf, "a \t\r\n\r\n  \r\nb\t", 0, 0, "a\r\n\r\n\r\nb", 1, 1,
         L"3줄을 바꿨습니다"},
        {L::TrimTrailing, E::Lf, "x \ny \nz ", 0, 3, "x\ny \nz ", 0, 1, L"1줄을 바꿨습니다"},
        {L::RemoveBlank, E::Lf, "a\n\n\t\nb\n", 7, 7, "a\nb", 3, 3, L"빈 줄 3개를 지웠습니다"},
        {L::TabsToSpaces, E::Lf, "\tc\nd", 0, 0, "    c\nd", 5, 5, L"1줄을 바꿨습니다"},
        {L::IndentToTabs, E::Lf, "a\nb", 0, 0, "a\nb", 0, 0, L"바꿀 내용이 없습니다"},
        {L::UpperCase, E::Lf, "foo bar_9x baz", 6, 6, "foo BAR_9X baz", 6, 6, L""},
        {L::UpperCase, E::Lf, "ab \xff", 4, 4, "ab \xff", 4, 4, L""},
        {L::UpperCase, E::Lf, "ab  cd", 3, 3, "ab  cd", 3, 3, L""},
        {L::LowerCase, E::Lf, "ABC DEF", 7, 0, "abc def", 7, 0, L""},
    };
    for (const Row& r : rows) {
        quill::test::Control c;
        c.SetText(r.in);
        c.Send(quill::SCI_EMPTYUNDOBUFFER);
        c.Send(quill::SCI_SETSEL, static_cast<uintptr_t>(r.anchor), r.caret);
        const std::wstring message = RunLineTool(EditorLink{CallView, c.view.get()}, r.tool, r.eol, 4);
        const std::string where = std::to_string(static_cast<int>(r.tool)) + " on " + r.in.substr(0, 30);
        EXPECT_EQ(c.Text(), r.out) << where;
        EXPECT_EQ(c.Anchor(), r.anchorAfter) << where;
        EXPECT_EQ(c.Caret(), r.caretAfter) << where;
        EXPECT_EQ(message, r.message) << where;
        // Changed: one step that undoes to the text before. Unchanged: no step, not modified.
        EXPECT_EQ(c.Steps(), r.out == r.in ? 0 : 1) << where;
        EXPECT_EQ(c.Send(quill::SCI_GETMODIFY), r.out == r.in ? 0 : 1) << where;
        c.Send(quill::SCI_UNDO);
        EXPECT_EQ(c.Text(), r.in) << where;
    }
}

}  // namespace
}  // namespace lumen
