// Wrapping a laid-out line into display rows, the row estimate, and the wrap index with its
// Fenwick tree. The fixed test font gives exact pixels: ASCII 7, 'i' 3, blank 4, Hangul and
// ideographs 14, astral 16.
#include <gtest/gtest.h>

#include <random>

#include "edit/layout.h"
#include "edit/layout_chars.h"
#include "edit/layout_support.h"
#include "edit/wrap_index.h"

namespace quill {
namespace {

using test::Layout;
using test::RowText;
using test::TestFonts;
using test::U8;
using test::Utf8Of;

LayoutParams Word(int32_t width) {
    return {8, kWrapWord, width};
}
LayoutParams Char(int32_t width) {
    return {8, kWrapChar, width};
}

// Invariants every wrapped layout keeps, whatever the text.
void CheckRowInvariants(const LineLayout& l, int32_t width) {
    ASSERT_FALSE(l.rowStarts.empty());
    ASSERT_EQ(l.rowStarts[0], 0u);
    for (int32_t r = 0; r < l.Rows(); ++r) {
        const uint32_t s = l.RowStart(r), e = l.RowEnd(r);
        if (r > 0) {
            ASSERT_LT(l.rowStarts[r - 1], s) << "rows must advance";
            ASSERT_LT(s, static_cast<uint32_t>(l.Units())) << "no empty last row";
            EXPECT_FALSE(l.flags[s] & kUnitContinues) << "row " << r << " starts inside a character";
            // A blank starts a row only when the break was pushed past a mark onto it.
            const bool afterMark = (l.flags[s - 1] & kUnitContinues) || l.xs[s] == l.xs[s - 1];
            if (!afterMark) {
                EXPECT_FALSE(l.flags[s] & (kUnitBlank | kUnitTab)) << "row " << r << " starts with a blank";
            }
            const char16_t c = l.chars[s];
            EXPECT_FALSE(c >= 0xDC00 && c <= 0xDFFF) << "row " << r << " splits a surrogate pair";
            EXPECT_FALSE(l.xs[s + 1] == l.xs[s] && IsCombiningMark(c))
                << "row " << r << " starts with a mark";
        }
        // Trailing blanks and tabs may hang past the edge; the rest fits unless the row holds one
        // character that is wider than the width on its own.
        uint32_t trimmed = e;
        while (trimmed > s && (l.flags[trimmed - 1] & (kUnitBlank | kUnitTab)))
            --trimmed;
        if (l.xs[trimmed] - l.xs[s] > width) {
            int characters = 0;
            for (uint32_t u = s; u < trimmed; ++u)
                characters += (l.flags[u] & kUnitContinues) ? 0 : 1;
            EXPECT_EQ(characters, 1) << "row " << r << " is too wide";
        }
    }
}

// Exact rows for short lines: greedy filling, blanks and tabs hanging at a break or the end, words
// longer than the width, character mode. (The invariants alone would allow rows that are not full.)
TEST(Wrap, RowsOfShortLines) {
    const std::string word = "abcdefghjkmnopqrstuvwxyz";  // 24 letters of 7 px, no narrow ones
    const struct {
        std::string text;
        LayoutParams params;
        std::vector<std::u16string> rows;
    } cases[] = {
        {"some text that is long", {8, kWrapNone, 10}, {u"some text that is long"}},
        {"abcd", Word(28), {u"abcd"}},  // exactly the width
        // ab=14, blank -> 18, cd -> 32, blank -> 36, ef -> 50.
        {"ab cd ef", Word(35), {u"ab cd ", u"ef"}},
        {"ab " + word, Word(70), {u"ab ", u"abcdefghjk", u"mnopqrstuv", u"wxyz"}},  // 10 x 7 = 70 fits
        {"abc", Word(5), {u"a", u"b", u"c"}},  // wider than the width: one per row, still progress
        {"abcd    efgh", Word(32), {u"abcd    ", u"efgh"}},
        {"abcd            ", Word(32), {u"abcd            "}},
        {"ab cd ef            ", Word(35), {u"ab cd ", u"ef            "}},
        {"abcd\t\tx", Word(40), {u"abcd\t\t", u"x"}},
        {"abcd    efgh", Char(32), {u"abcd    ", u"efgh"}},
        {"ab cdefgh", Char(35), {u"ab cd", u"efgh"}},  // 14 + 4 + 14 = 32; "e" would end at 39
        {U8(u8"가나다 라마바 사아"), Word(80), {u"가나다 ", u"라마바 사아"}},  // Hangul at blanks only
    };
    TestFonts t;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text + " in " + std::to_string(c.params.wrapWidth));
        const LineLayout l = Layout(t.fonts, c.text, c.params);
        std::vector<std::u16string> rows;
        for (int32_t r = 0; r < l.Rows(); ++r)
            rows.push_back(RowText(l, r));
        EXPECT_EQ(rows, c.rows);
    }
}

TEST(Wrap, ThousandIdeographsBreakBetweenIdeographsButNotBeforeClosingPunctuation) {
    TestFonts t;
    std::string text;
    std::u16string expectedUnits;
    for (int i = 0; i < 1000; ++i) {
        char32_t c = 0x4E00 + static_cast<char32_t>((i * 37) % 0x5000);
        if (i % 7 == 6) c = 0x3002;    // 。
        if (i % 11 == 10) c = 0x300D;  // 」
        if (i % 13 == 12) c = 0x3001;  // 、
        text += Utf8Of(c);
        expectedUnits += static_cast<char16_t>(c);
    }
    const int32_t width = 14 * 10 + 5;
    const LineLayout l = Layout(t.fonts, text, Word(width));
    ASSERT_EQ(std::u16string(l.chars.begin(), l.chars.end()), expectedUnits);
    ASSERT_GT(l.Rows(), 100);
    CheckRowInvariants(l, width);
    for (int32_t r = 1; r < l.Rows(); ++r) {
        const char16_t first = l.chars[l.RowStart(r)];
        EXPECT_NE(first, 0x3002) << "row " << r;
        EXPECT_NE(first, 0x300D) << "row " << r;
        EXPECT_NE(first, 0x3001) << "row " << r;
    }
    // Rows are as full as the punctuation allows: ten fit, and only runs of closing punctuation
    // push characters down.
    for (int32_t r = 0; r + 1 < l.Rows(); ++r) {
        const uint32_t n = l.RowEnd(r) - l.RowStart(r);
        EXPECT_GE(n, 7u) << "row " << r;
        EXPECT_LE(n, 10u) << "row " << r;
    }
}

TEST(Wrap, IdeographicBreakRules) {
    // Before or after an ideograph, but not before closing punctuation; Hangul wraps at blanks only.
    const std::pair<char32_t, char32_t> breaks[] = {{U'中', U'文'},  {'a', U'中'},    {U'中', 'a'},
                                                    {U'中', 0x300C}, {U'中', 0xFF01}, {'a', 0x20000},
                                                    {0x20000, 'a'}};
    const std::pair<char32_t, char32_t> none[] = {{'a', 'b'},      {U'中', 0x3002}, {U'中', 0x3001},
                                                  {U'中', 0x300D}, {U'中', 0x300F}, {U'中', 0xFF09},
                                                  {U'中', 0xFF0C}, {U'中', 0xFF0E}, {u'가', u'나'}};
    for (auto [a, b] : breaks)
        EXPECT_TRUE(IdeographicBreakBefore(a, b))
            << std::hex << static_cast<uint32_t>(a) << " " << static_cast<uint32_t>(b);
    for (auto [a, b] : none)
        EXPECT_FALSE(IdeographicBreakBefore(a, b))
            << std::hex << static_cast<uint32_t>(a) << " " << static_cast<uint32_t>(b);
}

TEST(Wrap, RandomTextKeepsTheRowInvariants) {
    TestFonts t;
    static const char* const alphabet[] = {
        "a",  "i",        "m",      " ",      "\t",           "word",
        "가", "中",       "。",     "」",     "e\u0301",      "e\u0301\u0302",
        "😀",  "👍🏽", "\u05D0", "\u3000", "\u1112\u1161", "\x01"};
    std::mt19937 rng(1234);
    for (int round = 0; round < 400; ++round) {
        std::string text;
        const int pieces2 = 1 + static_cast<int>(rng() % 80);
        for (int k = 0; k < pieces2; ++k)
            text += alphabet[rng() % std::size(alphabet)];
        const int32_t width = 4 + static_cast<int32_t>(rng() % 200);  // from below one character
        const int32_t mode = (rng() % 2) ? kWrapWord : kWrapChar;
        SCOPED_TRACE(testing::Message() << "round " << round << " width " << width << " mode " << mode);
        const LineLayout l = Layout(t.fonts, text, {4, mode, width});
        CheckRowInvariants(l, width);
        if (HasFatalFailure()) return;
        // Wrapping again from any unit gives the same rows as wrapping from the start.
        LineLayout again = l;
        WrapLineLayout(again, mode, width, static_cast<uint32_t>(rng() % (l.chars.size() + 1)));
        EXPECT_EQ(again.rowStarts, l.rowStarts);
    }
}

TEST(Wrap, RowEstimate) {
    // {characters, average width, wrap width, rows}: rounded up, at least one, no overflow.
    const int64_t cases[][4] = {{0, 7, 100, 1},   {10, 7, 100, 1},  {15, 7, 100, 2},
                                {100, 7, 700, 1}, {101, 7, 700, 2}, {int64_t{1} << 40, 100, 8, 16777216}};
    for (const auto& c : cases)
        EXPECT_EQ(EstimateRows(c[0], static_cast<int32_t>(c[1]), static_cast<int32_t>(c[2])),
                  static_cast<uint64_t>(c[3]))
            << c[0];
}

// ---- the wrap index -----------------------------------------------------------------------------

TEST(WrapIndex, PrefixSumsAndDescentMatchAPlainArrayUnderRandomUpdates) {
    std::mt19937 rng(77);
    std::vector<uint32_t> model(1000);
    for (auto& v : model)
        v = 1 + rng() % 5;
    WrapIndex index;
    index.Reset(static_cast<int64_t>(model.size()), [&](int64_t i) { return model[static_cast<size_t>(i)]; });

    auto check = [&](int probes) {
        ASSERT_EQ(index.Lines(), static_cast<int64_t>(model.size()));
        int64_t total = 0;
        std::vector<int64_t> prefix(model.size() + 1);
        for (size_t i = 0; i < model.size(); ++i)
            prefix[i + 1] = prefix[i] + model[i];
        total = prefix.back();
        ASSERT_EQ(index.TotalRows(), total);
        for (int p = 0; p < probes; ++p) {
            const size_t line = rng() % (model.size() + 1);
            ASSERT_EQ(index.RowsBefore(static_cast<int64_t>(line)), prefix[line]);
            const int64_t row = static_cast<int64_t>(rng() % static_cast<uint64_t>(total + 3)) - 1;
            int64_t gotLine = -1;
            int32_t gotRow = -1;
            index.Find(row, &gotLine, &gotRow);
            if (row < 0) {
                EXPECT_EQ(gotLine, 0);
                EXPECT_EQ(gotRow, 0);
            } else if (row >= total) {
                EXPECT_EQ(gotLine, static_cast<int64_t>(model.size()) - 1);
                EXPECT_EQ(gotRow, static_cast<int32_t>(model.back()) - 1);
            } else {
                const size_t expect = static_cast<size_t>(
                    std::upper_bound(prefix.begin(), prefix.end(), row) - prefix.begin() - 1);
                ASSERT_EQ(gotLine, static_cast<int64_t>(expect)) << "row " << row;
                ASSERT_EQ(gotRow, row - prefix[expect]);
            }
        }
    };
    check(200);
    for (int step = 0; step < 2000; ++step) {
        const int op = static_cast<int>(rng() % 10);
        if (op < 6 && !model.empty()) {
            const size_t line = rng() % model.size();
            const uint32_t rows = 1 + rng() % 9;
            const bool changed = index.Set(static_cast<int64_t>(line), rows, true);
            EXPECT_EQ(changed, model[line] != rows);
            model[line] = rows;
        } else if (op < 8) {
            const int64_t after = static_cast<int64_t>(rng() % model.size()) - 1;
            const int64_t count = 1 + rng() % 20;
            std::vector<uint32_t> added(static_cast<size_t>(count));
            for (auto& v : added)
                v = 1 + rng() % 4;
            index.InsertAfter(after, count,
                              [&](int64_t i) { return added[static_cast<size_t>(i - after - 1)]; });
            model.insert(model.begin() + (after + 1), added.begin(), added.end());
        } else if (model.size() > 30) {
            const int64_t after = static_cast<int64_t>(rng() % (model.size() - 25));
            const int64_t count = 1 + rng() % 20;
            index.EraseAfter(after, count);
            model.erase(model.begin() + (after + 1), model.begin() + (after + 1 + count));
        }
        if (step % 50 == 0) check(20);
        if (HasFatalFailure()) return;
    }
    check(500);
}

TEST(WrapIndex, EstimatesAndExactFlags) {
    WrapIndex index;
    index.Reset(10, [](int64_t i) { return static_cast<uint32_t>(i % 3); });  // 0 is held as 1
    EXPECT_EQ(index.Rows(0), 1u);
    EXPECT_EQ(index.TotalRows(), 1 + 1 + 2 + 1 + 1 + 2 + 1 + 1 + 2 + 1);
    EXPECT_EQ(index.FirstEstimate(0), 0);
    index.Set(0, 1, true);
    index.Set(1, 1, true);
    EXPECT_EQ(index.FirstEstimate(0), 2);
    EXPECT_TRUE(index.Exact(1));
    for (int64_t i = 0; i < 10; ++i)
        index.Set(i, 1, true);
    EXPECT_EQ(index.FirstEstimate(0), 10);
    index.InsertAfter(4, 2, [](int64_t) { return 3u; });
    EXPECT_EQ(index.FirstEstimate(0), 5);
    EXPECT_EQ(index.Lines(), 12);
    EXPECT_EQ(index.TotalRows(), 10 + 6);
    index.Clear();
    EXPECT_TRUE(index.Empty());
}

}  // namespace
}  // namespace quill
