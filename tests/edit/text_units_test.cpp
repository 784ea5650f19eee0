// Accessibility range arithmetic: random documents (Hangul, combining marks, emoji, every line break,
// empty lines) against a plain model that knows each unit only as a sorted list of boundaries, and
// one table of the edge cases.
#include "edit/text_units.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <random>
#include <string>
#include <vector>

#include "edit/char_classes.h"
#include "edit/document_support.h"
#include "edit/utf8.h"
#include "edit/word_moves.h"
#include "files/code_page.h"

namespace quill {
namespace {

using test::DocHandle;

// Boundaries of each unit as sorted lists: forward moves use `ahead`, backward moves `behind` (they
// differ only for words, whose rules differ by direction).
struct Model {
    std::string text;
    std::vector<int64_t> ahead[7], behind[7];
    std::vector<int64_t> lines, lineStarts;
    std::vector<int64_t> aligned;  // positions not inside a character or a CR LF pair

    explicit Model(const Document& doc) : text(doc.GetText(0, doc.Length())) {
        const int64_t n = static_cast<int64_t>(text.size());
        auto* bytes = reinterpret_cast<const unsigned char*>(text.data());
        std::vector<int64_t> chars{0};
        lines = {0};
        char32_t previous = 0;
        for (int64_t i = 0; i < n;) {
            int w = 1;
            const char32_t c = DecodeUtf8(bytes + i, static_cast<size_t>(n - i), &w);
            const bool afterBreak = previous == '\n' || (previous == '\r' && c != '\n');
            if (i > 0 && (afterBreak || (previous != '\r' && (c < 0x300 || !IsCombiningCharacter(c)))))
                chars.push_back(i);
            if (i > 0 && afterBreak) lines.push_back(i);
            if (!(previous == '\r' && c == '\n')) aligned.push_back(i);
            previous = c;
            i += w;
        }
        if (n > 0 && (previous == '\n' || previous == '\r')) lines.push_back(n);
        aligned.push_back(n);
        if (chars.back() != n) chars.push_back(n);
        lineStarts = lines;
        if (lines.back() != n) lines.push_back(n);
        std::vector<int64_t> right{0}, left{n};
        while (right.back() < n)
            right.push_back(WordRightTarget(doc, right.back()));
        while (left.back() > 0)
            left.push_back(WordLeftTarget(doc, left.back()));
        std::reverse(left.begin(), left.end());
        const std::vector<int64_t> whole = n > 0 ? std::vector<int64_t>{0, n} : std::vector<int64_t>{0};
        const std::vector<int64_t>* lists[7] = {&chars, &lines, nullptr, &lines, &lines, &whole, &whole};
        for (int u = 0; u < 7; ++u) {
            ahead[u] = u == kUnitWord ? right : *lists[u];
            behind[u] = u == kUnitWord ? left : *lists[u];
        }
    }
    int64_t Size() const { return static_cast<int64_t>(text.size()); }
    int64_t Clamp(int64_t p) const { return std::clamp<int64_t>(p, 0, Size()); }
    int64_t Next(int u, int64_t p) const {
        auto it = std::upper_bound(ahead[u].begin(), ahead[u].end(), p);
        return it == ahead[u].end() ? p : *it;
    }
    int64_t Previous(int u, int64_t p) const {
        auto it = std::lower_bound(behind[u].begin(), behind[u].end(), p);
        return it == behind[u].begin() ? p : *(it - 1);
    }
    // Moves by counting list entries instead of stepping.
    int32_t MoveBy(int u, int64_t* p, int32_t count) const {
        if (count >= 0) {
            auto it = std::upper_bound(ahead[u].begin(), ahead[u].end(), *p);
            const int64_t k = std::min<int64_t>(count, ahead[u].end() - it);
            if (k > 0) *p = *(it + (k - 1));
            return static_cast<int32_t>(k);
        }
        auto it = std::lower_bound(behind[u].begin(), behind[u].end(), *p);
        const int64_t k = std::min<int64_t>(-int64_t{count}, it - behind[u].begin());
        if (k > 0) *p = *(it - k);
        return static_cast<int32_t>(-k);
    }
    int64_t StartOf(int u, int64_t p) const {
        if (u == kUnitLine || u == kUnitFormat || u == kUnitParagraph)
            return *(std::upper_bound(lineStarts.begin(), lineStarts.end(), p) - 1);
        const int64_t q = Previous(u, p);
        return p == 0 ? 0 : Next(u, q) > p ? q : p;
    }
    TextSpan Expand(int u, TextSpan s) const {
        if (u >= kUnitPage) return {0, Size()};
        const int64_t start = StartOf(u, Clamp(s.start));
        return {start, Next(u, start)};
    }
    int32_t Move(int u, TextSpan* s, int32_t count) const {
        const int64_t a = Clamp(s->start), b = std::max(a, Clamp(s->end));
        int64_t p = a;
        if (a == b) {
            const int32_t moved = MoveBy(u, &p, count);
            *s = {p, p};
            return moved;
        }
        if (u < kUnitPage) p = StartOf(u, p);
        int32_t moved = MoveBy(u, &p, count);
        if (moved > 0 && p == Size()) {
            p = Previous(u, p);
            --moved;
        }
        *s = {p, u >= kUnitPage ? Size() : Next(u, p)};
        return moved;
    }
    int32_t MoveEndpoint(int u, TextSpan* s, bool end, int32_t count) const {
        const int64_t a = Clamp(s->start), b = std::max(a, Clamp(s->end));
        int64_t p = end ? b : a;
        const int32_t moved = MoveBy(u, &p, count);
        *s = end ? TextSpan{std::min(a, p), p} : TextSpan{p, std::max(b, p)};
        return moved;
    }
};

std::string RandomText(std::mt19937& rng, int pieces) {
    // Letters, Hangul, blanks, punctuation, every break, marks (a lone jamo vowel among them), emoji.
    static const char* const kPieces[] = {"a",
                                          "Zq",
                                          "_9",
                                          "한",
                                          "글자",
                                          " ",
                                          "\t",
                                          ",",
                                          ".!",
                                          "\r\n",
                                          "\n",
                                          "\r",
                                          "\r\n\r\n",
                                          "e\xCC\x81",
                                          "\xCC\x88",
                                          "\xE1\x85\xA1",
                                          "😀",
                                          "👍🏽",
                                          "\xE2\x80\x8D",
                                          "\xEF\xB8\x8F",
                                          "\xE3\x80\x80",
                                          "。"};
    std::string s;
    std::uniform_int_distribution<size_t> pick(0, std::size(kPieces) - 1);
    for (int i = 0; i < pieces; ++i)
        s += kPieces[pick(rng)];
    return s;
}

TEST(TextUnits, RandomDocumentsAgainstTheModel) {
    std::mt19937 rng(2024);
    for (int round = 0; round < 40; ++round) {
        DocHandle doc(RandomText(rng, round % 10 == 0 ? 0 : 1 + round % 40));
        const Model model(*doc);
        const int64_t n = model.Size();
        std::uniform_int_distribution<size_t> pick(0, model.aligned.size() + 3);
        auto position = [&](std::mt19937& g) {
            const size_t i = pick(g);
            return i < model.aligned.size() ? model.aligned[i] : i % 2 ? -1 - int64_t(i) : n + int64_t(i);
        };
        std::uniform_int_distribution<int> unit(0, 6), count(-6, 6);
        for (int step = 0; step < 200; ++step) {
            const int u = unit(rng);
            int32_t c = count(rng);
            if (step % 50 == 0) c = step % 100 == 0 ? INT_MAX : INT_MIN;
            const TextSpan span{position(rng), position(rng)};
            SCOPED_TRACE(testing::Message() << "text " << testing::PrintToString(model.text) << " unit " << u
                                            << " count " << c << " span " << span.start << ".." << span.end);
            const int64_t p = model.Clamp(span.start);
            ASSERT_EQ(UnitStartAtOrBefore(*doc, u, p), model.StartOf(u, p));
            EXPECT_EQ(ExpandToUnit(*doc, u, span), model.Expand(u, span));

            TextSpan got = span, want = span;
            const int32_t moved = MoveSpan(*doc, u, &got, c);
            ASSERT_EQ(moved, model.Move(u, &want, c));
            ASSERT_EQ(got, want);
            ASSERT_LE(got.start, got.end);
            if (got.start != got.end && u < kUnitPage) {
                ASSERT_EQ(ExpandToUnit(*doc, u, got), got) << "a moved span covers exactly one unit";
            }
            for (bool end : {false, true}) {
                got = want = span;
                ASSERT_EQ(MoveSpanEndpoint(*doc, u, &got, end, c), model.MoveEndpoint(u, &want, end, c));
                ASSERT_EQ(got, want);
            }
            const int32_t limit = step % 3 == 0 ? -1 : step % 7;
            const TextSpan clamped = ClampSpan(*doc, got);
            const std::wstring text = SpanText(*doc, got, limit);
            const std::wstring whole = lumen::Utf8ToWide(
                model.text.substr(static_cast<size_t>(clamped.start), clamped.end - clamped.start));
            if (limit < 0) {
                EXPECT_EQ(text, whole);
            } else {
                EXPECT_LE(text.size(), static_cast<size_t>(limit));
                EXPECT_EQ(whole.compare(0, text.size(), text), 0) << "a prefix of the text";
            }
        }
    }
}

// What the random documents do not reach: positions inside a character or a CR LF pair (the random
// ones are all aligned), setting an endpoint, and a few absolute answers for the designed rules.
TEST(TextUnits, EdgeCases) {
    enum Op { kExpand, kMove, kMoveEnd, kSetStart, kSetEnd };
    const struct {
        const char* text;
        Op op;
        int unit;
        TextSpan span;
        int32_t count;  // or the position for kSetStart / kSetEnd
        TextSpan want;
        int32_t moved;
    } cases[] = {
        {"hello world", kMove, kUnitWord, {1, 2}, 1, {6, 11}, 1},
        {"hello world", kMove, kUnitWord, {7, 8}, -1, {0, 6}, -1},
        {"a\nb\nc", kMove, kUnitLine, {0, 1}, INT_MAX, {4, 5}, 2},  // past the last line: one less
        {"a\nb\nc", kMove, kUnitLine, {4, 5}, INT_MIN, {0, 2}, -2},
        {"ab\r\ncd", kExpand, kUnitLine, {1, 1}, 0, {0, 4}, 0},
        {"a\n", kExpand, kUnitLine, {2, 2}, 0, {2, 2}, 0},  // the empty last line
        {"x한y", kMove, kUnitCharacter, {2, 3}, 1, {4, 5}, 1},
        {"a\r\nb", kExpand, kUnitCharacter, {2, 2}, 0, {1, 3}, 0},
        {"a\nb", kMove, kUnitPage, {1, 2}, 1, {0, 3}, 0},
        {"abc", kMoveEnd, kUnitCharacter, {2, 3}, -3, {0, 0}, -3},  // the end crosses the start
        {"abcdef", kSetStart, kUnitCharacter, {1, 2}, 4, {4, 4}, 0},
        {"abcdef", kSetEnd, kUnitCharacter, {3, 5}, 1, {1, 1}, 0},
        {"abcdef", kSetEnd, kUnitCharacter, {1, 2}, 4, {1, 4}, 0},
    };
    for (const auto& e : cases) {
        SCOPED_TRACE(testing::Message()
                     << e.text << " op " << e.op << " span " << e.span.start << ".." << e.span.end);
        DocHandle doc(e.text);
        TextSpan s = e.span;
        int32_t moved = 0;
        if (e.op == kExpand) {
            s = ExpandToUnit(*doc, e.unit, s);
        } else if (e.op == kMove) {
            moved = MoveSpan(*doc, e.unit, &s, e.count);
        } else if (e.op == kMoveEnd) {
            moved = MoveSpanEndpoint(*doc, e.unit, &s, true, e.count);
        } else {
            SetSpanEndpoint(&s, e.op == kSetEnd, e.count);
        }
        EXPECT_EQ(s, e.want);
        EXPECT_EQ(moved, e.moved);
    }
}

TEST(TextUnits, TextOfSpans) {
    DocHandle doc("한글😀e\xCC\x81\r\nz");  // 한 0-3, 글 3-6, emoji 6-10, e 10, mark 11-13, CR LF 13-15
    struct {
        TextSpan span;
        int32_t max;
        const char* want;
    } cases[] = {
        {{1, 4}, -1, "한글"},  // ends inside characters widen to whole ones
        {{0, 15}, 0, ""},      {{0, 99}, -1, "한글😀e\xCC\x81\r\nz"},
        {{0, 99}, 3, "한글"},                           // the pair would be cut in half
        {{0, 99}, 4, "한글😀"}, {{14, 14}, -1, "\r\n"},  // inside CR LF
        {{20, 30}, -1, ""},    {{6, 2}, -1, ""},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(SpanText(*doc, c.span, c.max), lumen::Utf8ToWide(c.want))
            << c.span.start << ".." << c.span.end << " max " << c.max;
    }
}

}  // namespace
}  // namespace quill
