// The print layout against the wrapping rules with a fixed-width fake: Latin 10 units, Hangul 20,
// the high half of a surrogate pair 0 and the low half 20 (so a fitting count can end between the
// halves). Every layout is checked against the rules; the random documents cover the common cases, the
// table pins the odd ones.
#include "files/print_layout.h"

#include <gtest/gtest.h>

#include <array>
#include <random>

namespace lumen {
namespace {

// U+1F600 as UTF-16 units on every build (a wchar_t literal is one UTF-32 unit natively).
const std::wstring kEmoji{static_cast<wchar_t>(0xD83D), static_cast<wchar_t>(0xDE00)};

int32_t UnitWidth(wchar_t c) {
    if (c >= 0xD800 && c <= 0xDBFF) return 0;
    if (c >= 0xDC00 && c <= 0xDFFF) return 20;
    return c >= 0x1100 ? 20 : 10;
}

int64_t Width(std::wstring_view s) {
    int64_t w = 0;
    for (wchar_t c : s)
        w += UnitWidth(c);
    return w;
}

struct FakeMeasure : PrintMeasure {
    size_t measured = 0;  // units handed over, over all calls
    size_t FitCount(std::wstring_view text, int32_t width) override {
        measured += text.size();
        int64_t w = 0;
        for (size_t i = 0; i < text.size(); ++i)
            if ((w += UnitWidth(text[i])) > width) return i;
        return text.size();
    }
};

// The logical lines with tabs expanded, written the plain way.
std::vector<std::wstring> ExpandedLines(std::wstring_view text, int32_t tab) {
    std::vector<std::wstring> lines(1);
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == L'\r' || text[i] == L'\n') {
            if (text[i] == L'\r' && i + 1 < text.size() && text[i + 1] == L'\n') ++i;
            lines.emplace_back();
        } else if (text[i] == L'\t') {
            do
                lines.back() += L' ';
            while (lines.back().size() % tab != 0);
        } else {
            lines.back() += text[i];
        }
    }
    return lines;
}

bool IsPairAt(std::wstring_view s, size_t i) {
    return i + 1 < s.size() && s[i] >= 0xD800 && s[i] <= 0xDBFF && s[i + 1] >= 0xDC00 && s[i + 1] <= 0xDFFF;
}

// Lays the text out and checks: the pieces rebuild the expanded lines, nothing is too wide but a lone
// character, and every wrap is where the rules put it (k = the fit of the rest, at least 1).
PrintLayout CheckedLayout(std::wstring_view text, int32_t tab, int32_t width) {
    FakeMeasure measure;
    PrintLayout layout = LayOutPrintText(text, tab, width, measure);
    const std::vector<std::wstring> expected = ExpandedLines(text, tab);
    std::vector<std::wstring> rebuilt;
    for (size_t i = 0; i < layout.lines.size(); ++i) {
        const std::wstring_view piece = layout.Line(i);
        if (!layout.lines[i].continued) rebuilt.emplace_back();
        if (rebuilt.empty() || rebuilt.size() > expected.size() ||
            rebuilt.back().size() + piece.size() > expected[rebuilt.size() - 1].size()) {
            ADD_FAILURE() << "line " << i << " does not belong where it is";
            return layout;
        }
        const bool lone = piece.size() == 1 || (piece.size() == 2 && IsPairAt(piece, 0));
        EXPECT_TRUE(Width(piece) <= width || lone) << "line " << i << " too wide";
        const bool wraps = i + 1 < layout.lines.size() && layout.lines[i + 1].continued;
        if (wraps) {
            const std::wstring_view rest(layout.text.data() + layout.lines[i].start,
                                         expected[rebuilt.size() - 1].size() - rebuilt.back().size());
            const size_t k = std::max<size_t>(1, measure.FitCount(rest, width));
            const size_t n = piece.size();
            EXPECT_FALSE(IsPairAt(rest, n - 1)) << "line " << i << " splits a surrogate pair";
            size_t lastSpace = 0;  // the position after the last space in (k/2, k]
            for (size_t p = k; p > k / 2 && !lastSpace; --p)
                if (rest[p - 1] == L' ') lastSpace = p;
            if (lastSpace)
                EXPECT_EQ(n, lastSpace) << "line " << i << ": after the last space in the second half";
            else
                EXPECT_EQ(n, IsPairAt(rest, k - 1) ? (k > 1 ? k - 1 : 2) : k) << "line " << i;
        }
        rebuilt.back() += piece;
    }
    EXPECT_EQ(rebuilt, expected);
    return layout;
}

std::vector<std::wstring> Pieces(const PrintLayout& layout) {
    std::vector<std::wstring> out;
    for (size_t i = 0; i < layout.lines.size(); ++i)
        out.emplace_back((layout.lines[i].continued ? L"+" : L"") + std::wstring(layout.Line(i)));
    return out;
}

TEST(PrintLayout, CasesTheRulesName) {
    const std::wstring& emoji = kEmoji;
    const struct {
        const char* name;
        std::wstring text;
        int32_t tab, width;
        std::vector<std::wstring> pieces;  // "+" marks a continued line
    } cases[] = {
        {"empty document: one empty line", L"", 4, 100, {L""}},
        {"only tabs wrap after the last space", L"\t\t\t", 4, 100, {L"          ", L"+  "}},
        {"a space in the first half is ignored", L"ab cdefghijklmn", 4, 100, {L"ab cdefghi", L"+jklmn"}},
        {"a pair the count would split moves back",
         L"123456789" + emoji + L"x",
         4,
         100,
         {L"123456789", L"+" + emoji + L"x"}},
        {"a lone pair wider than the page stays whole", emoji + emoji, 4, 10, {emoji, L"+" + emoji}},
        {"nothing fits: one unit per line", L"abc", 4, 5, {L"a", L"+b", L"+c"}},
        {"a selection ending inside CR LF", L"abc\r", 4, 100, {L"abc", L""}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(Pieces(CheckedLayout(c.text, c.tab, c.width)), c.pieces) << c.name;

    // 500 characters without a space: pieces of exactly as many as fit.
    const PrintLayout long500 = CheckedLayout(std::wstring(500, L'x'), 4, 135);
    ASSERT_EQ(long500.lines.size(), 39u);
    for (size_t i = 0; i + 1 < long500.lines.size(); ++i)
        EXPECT_EQ(long500.lines[i].length, 13u);
}

TEST(PrintLayout, StressDocumentsKeepEveryCharacter) {
    // Emoji at every position around the break.
    for (size_t at = 0; at < 24; ++at) {
        std::wstring line(30, L'a');
        line.insert(at, kEmoji);
        CheckedLayout(line + L" " + line, 4, 100);
    }
    // 100,000 lines of mixed breaks; a 2 MB line measured in windows, not whole for every piece.
    std::wstring many;
    for (int i = 0; i < 100000; ++i)
        many += L"줄 " + std::to_wstring(i) + L"\tThe quick brown fox" +
                (i % 3   ? L"\r\n"
                 : i % 2 ? L"\r"
                         : L"\n");
    EXPECT_GT(CheckedLayout(many, 4, 200).lines.size(), 100001u) << "some lines wrap";
    std::wstring big;
    while (big.size() < 2'000'000)
        big += L"가나다 abc 123 ";
    CheckedLayout(big.substr(0, 5000), 4, 2000);  // pieces longer than the first measuring window
    FakeMeasure measure;
    const PrintLayout bigLayout = LayOutPrintText(big, 4, 2000, measure);
    EXPECT_LT(measure.measured, 4 * big.size()) << "measured in windows";
    size_t total = 0;
    for (const PrintLine& line : bigLayout.lines)
        total += line.length;
    EXPECT_EQ(total, big.size());

    // Random documents over a small alphabet, widths and tab sizes.
    const std::wstring alphabet[] = {L"a", L"b", L" ", L"\t", L"가", kEmoji, L"\r", L"\n", L"\r\n"};
    std::mt19937 rng(18);
    for (int round = 0; round < 400; ++round) {
        std::wstring text;
        for (int n = std::uniform_int_distribution<int>(0, 120)(rng); n > 0; --n)
            text += alphabet[std::uniform_int_distribution<size_t>(0, std::size(alphabet) - 1)(rng)];
        const int32_t tab = std::array{2, 4, 8}[round % 3];
        CheckedLayout(text, tab, std::uniform_int_distribution<int32_t>(5, 200)(rng));
    }
}

TEST(PrintLayout, FrameAndPages) {
    // A4 at 300 dpi with the offsets Wine's PostScript driver reports; Letter at 600 dpi.
    const PrintFrame a4 = MakePrintFrame({300, 300, 2479, 3508, 75, 75}, 38, 53);
    EXPECT_EQ(a4.margins, (PrintRect{236 - 75, 213 - 75, 2479 - 236 - 75, 3508 - 213 - 75}));
    EXPECT_EQ(a4.header, (PrintRect{161, 138, 2168, 176}));
    EXPECT_EQ(a4.rule, (PrintRect{161, 138 + 38 + 12, 2168, 188 + 2}));
    EXPECT_EQ(a4.footer, (PrintRect{161, 3220 - 38, 2168, 3220}));
    EXPECT_EQ(a4.bodyTop, 138 + 76);
    EXPECT_EQ(a4.linesPerPage, (3220 - 138 - 152) / 53);
    const PrintFrame letter = MakePrintFrame({600, 600, 5100, 6600, 100, 100}, 67, 100);
    EXPECT_EQ(letter.margins, (PrintRect{472 - 100, 425 - 100, 5100 - 472 - 100, 6600 - 425 - 100}));
    EXPECT_EQ(letter.rule.bottom - letter.rule.top, 4);
    const PrintFrame tiny = MakePrintFrame({72, 72, 40, 40, 0, 0}, 10, 0);
    EXPECT_EQ(tiny.Width(), 1);
    EXPECT_EQ(tiny.linesPerPage, 1);

    const struct {
        size_t lines;
        int32_t perPage, pages;
    } pages[] = {{0, 50, 1}, {1, 50, 1}, {50, 50, 1}, {51, 50, 2}, {600, 50, 12}, {3, 0, 3}};
    for (const auto& p : pages)
        EXPECT_EQ(PrintPageCount(p.lines, p.perPage), p.pages) << p.lines;
    EXPECT_EQ(PrintFooterText(3, 12), L"3 / 12");
    EXPECT_EQ(PrintStatusText(12), L"12쪽을 인쇄했습니다");
    EXPECT_EQ(PrintStatusText(0), L"인쇄하지 못했습니다");
}

}  // namespace
}  // namespace lumen
