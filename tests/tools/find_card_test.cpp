// The find card's portable parts: its geometry in every mode, size and DPI (parts inside the body,
// apart from each other, hit-testing that finds each part where it is drawn), the counter and hint
// texts, reading a line number, and the searches it builds from the editor's target messages, run
// against a real view: counts and highlights against a plain model on random texts, the cap and the
// size limit, wrap-around, replacing one match and every match as one undo step.
#include <gtest/gtest.h>

#include <random>

#include "edit/control_support.h"
#include "tools/find_card_layout.h"
#include "tools/find_search.h"

namespace lumen {
namespace {

using M = FindMode;

bool Inside(const BandRect& inner, const BandRect& outer) {
    return inner.left >= outer.left && inner.top >= outer.top && inner.right <= outer.right &&
           inner.bottom <= outer.bottom;
}

bool Overlap(const BandRect& a, const BandRect& b) {
    return a.left < b.right && b.left < a.right && a.top < b.bottom && b.top < a.bottom;
}

TEST(FindCardLayout, EveryModeSizeAndDpi) {
    struct Row {
        M mode;
        int32_t dpi;
        BandRect editor;
        bool focus;
        int32_t cardWidth, cardHeight;
        BandRect window;
        bool fits = true;  // the parts fit; the main window's minimum size always leaves room
    };
    const Row rows[] = {
        {M::Find, 96, {0, 40, 1000, 600}, false, 520, 48, {452, 42, 984, 106}},
        {M::Replace, 96, {0, 40, 1000, 600}, false, 520, 86, {452, 42, 984, 144}},
        {M::GoToLine, 96, {0, 40, 1000, 600}, false, 360, 48, {612, 42, 984, 106}},
        {M::Find, 96, {0, 40, 404, 600}, false, 372, 48, {4, 42, 388, 106}},           // the smallest window
        {M::Find, 96, {0, 40, 150, 600}, false, 200, 48, {-78, 42, 134, 106}, false},  // the floor
        {M::Find, 144, {0, 60, 1500, 900}, false, 780, 72, {678, 63, 1476, 159}},      // 150 %
        {M::Replace, 120, {0, 28, 600, 500}, true, 560, 108, {4, 35, 580, 164}},       // 125 %, focus mode
        {M::GoToLine, 192, {0, 80, 500, 900}, false, 436, 96, {8, 84, 468, 212}},      // 200 %, narrow
    };
    for (const Row& r : rows) {
        const FindCardLayout l = LayoutFindCard({r.mode, r.dpi, r.editor, r.focus});
        const std::string where = "mode " + std::to_string(static_cast<int>(r.mode)) + " at " +
                                  std::to_string(r.dpi) + " dpi, width " + std::to_string(r.editor.Width());
        EXPECT_EQ(l.cardWidth, r.cardWidth) << where;
        EXPECT_EQ(l.cardHeight, r.cardHeight) << where;
        EXPECT_EQ(l.window, r.window) << where;
        if (!r.fits) continue;

        // Which parts exist, and that they lie in the body apart from one another.
        const bool present[3][kFindButtonCount] = {
            {1, 1, 1, 1, 1, 1, 0, 0, 0}, {1, 1, 1, 1, 1, 1, 1, 1, 0}, {0, 0, 0, 0, 0, 1, 0, 0, 1}};
        std::vector<BandRect> parts{l.findBox};
        for (int i = 0; i < kFindButtonCount; ++i) {
            EXPECT_EQ(!l.buttons[i].Empty(), present[static_cast<int>(r.mode)][i])
                << where << " button " << i;
            if (!l.buttons[i].Empty()) parts.push_back(l.buttons[i]);
        }
        EXPECT_EQ(l.replaceBox.Empty(), r.mode != M::Replace) << where;
        EXPECT_EQ(l.counter.Empty(), r.mode == M::GoToLine) << where;
        if (!l.replaceBox.Empty()) parts.push_back(l.replaceBox);
        for (size_t i = 0; i < parts.size(); ++i) {
            EXPECT_TRUE(Inside(parts[i], l.Body())) << where << " part " << i;
            for (size_t j = i + 1; j < parts.size(); ++j)
                EXPECT_FALSE(Overlap(parts[i], parts[j])) << where << " parts " << i << ", " << j;
        }
        // The EDITs sit in their boxes, clear of the counter, 20 DIP high.
        EXPECT_TRUE(Inside(l.findEdit, l.findBox)) << where;
        EXPECT_EQ(l.findEdit.bottom - l.findEdit.top, l.Scale(20)) << where;
        if (!l.counter.Empty()) {
            EXPECT_TRUE(Inside(l.counter, l.findBox)) << where;
            EXPECT_LE(l.findEdit.right, l.counter.left) << where;
        }
        EXPECT_EQ(l.replaceEdit.Empty(), l.replaceBox.Empty()) << where;
        if (!l.replaceEdit.Empty()) {
            EXPECT_TRUE(Inside(l.replaceEdit, l.replaceBox)) << where;
        }

        // Hit-testing finds each part where it lies, and nothing in the shadow.
        for (int i = 0; i < kFindButtonCount; ++i) {
            const BandRect& b = l.buttons[i];
            if (b.Empty()) continue;
            EXPECT_EQ(FindButtonAt(l, b.left, b.top), i) << where;
            EXPECT_EQ(FindButtonAt(l, b.right - 1, b.bottom - 1), i) << where;
            EXPECT_EQ(FindBoxAt(l, b.left, b.top), 0) << where;
        }
        EXPECT_EQ(FindBoxAt(l, l.findBox.left, l.findBox.bottom - 1), 1) << where;
        EXPECT_EQ(FindBoxAt(l, l.counter.left, l.counter.top), r.mode == M::GoToLine ? 0 : 1) << where;
        if (!l.replaceBox.Empty()) {
            EXPECT_EQ(FindBoxAt(l, l.replaceBox.right - 1, l.replaceBox.top), 2);
        }
        EXPECT_EQ(FindButtonAt(l, l.shadowMargin - 1, l.shadowMargin + l.Scale(20)), -1) << where;
        EXPECT_EQ(FindBoxAt(l, l.findBox.left - 1, l.findBox.top), 0) << where;
    }
}

TEST(FindCardTexts, CounterHintLineNumbersAndMessages) {
    const struct {
        int32_t count, index;
        const wchar_t* text;
    } counters[] = {{-1, 0, L""},          {0, 0, L"결과 없음"},    {17, 3, L"3/17"},
                    {17, 0, L"\u2013/17"}, {10000, 1, L"1/10000+"}, {9999, 9999, L"9999/9999"}};
    for (const auto& c : counters)
        EXPECT_EQ(CounterText(c.count, c.index), c.text) << c.count << "/" << c.index;

    const struct {
        int64_t lines;
        const wchar_t* hint;
    } hints[] = {
        {1, L"1\u20131"}, {999, L"1\u2013999"}, {1000, L"1\u20131,000"}, {1234567, L"1\u20131,234,567"}};
    for (const auto& h : hints)
        EXPECT_EQ(LineRangeHint(h.lines), h.hint);

    const struct {
        const char* text;
        int64_t lineCount, target;
    } lines[] = {{"1a2", 100, 11}, {"12", 5, 4},      {"0", 9, -1},
                 {"", 9, -1},      {"abc 가", 9, -1}, {" 3 ", 9, 2},
                 {"007", 9, 6},    {"1", 1, 0},       {"99999999999999999999999", 7, 6}};
    for (const auto& l : lines)
        EXPECT_EQ(GoToLineTarget(l.text, l.lineCount), l.target) << l.text;

    EXPECT_EQ(ReplacedMessage(2), L"2개를 바꿨습니다");
    EXPECT_EQ(ReplacedMessage(0), L"바꿀 항목이 없습니다");
}

// ---- the searches through a view ---------------------------------------------------------------

intptr_t CallView(void* view, unsigned m, uintptr_t w, intptr_t l) {
    return static_cast<quill::View*>(view)->Message(m, w, l);
}

struct Editor : quill::test::Control {
    EditorLink Link() { return EditorLink{CallView, view.get()}; }
    bool Marked(int64_t p) { return Send(quill::SCI_INDICATORVALUEAT, kFindIndicator, p) != 0; }
    void Select(int64_t anchor, int64_t caret) {
        Send(quill::SCI_SETSEL, static_cast<uintptr_t>(anchor), caret);
    }
};

TEST(FindSearch, CountsAndIndexes) {
    const struct {
        const char* text;
        const char* needle;
        bool matchCase, wholeWord;
        int64_t selection;
        int32_t count, index;
    } rows[] = {
        {"apple Apple apple pineapple", "apple", false, false, 0, 4, 1},
        {"apple Apple apple pineapple", "apple", true, false, 12, 3, 2},
        {"apple Apple apple pineapple", "apple", true, true, 6, 2, 0},
        {"apple Apple apple pineapple", "", false, false, 0, -1, 0},
        {"aaaa", "aa", true, false, 2, 2, 2},
        {"가나 가나다 가나", "가나", false, true, 17, 2, 2},
        {"ÀB àb", "àb", false, false, 4, 2, 2},
        {"no match here", "zzz", false, false, 0, 0, 0},
    };
    for (const auto& r : rows) {
        Editor e;
        e.SetText(r.text);
        e.Select(r.selection, r.selection);
        const MatchCount m = CountMatches(e.Link(), r.needle, FindFlags(r.matchCase, r.wholeWord));
        EXPECT_EQ(m.count, r.count) << r.text << " / " << r.needle;
        EXPECT_EQ(m.index, r.index) << r.text << " / " << r.needle;
    }
}

// Random texts against a plain left-to-right, non-overlapping scan: the count, and exactly the
// matched bytes highlighted; a second count with another needle leaves no old highlight behind.
TEST(FindSearch, CountAndHighlightsMatchAPlainScan) {
    std::mt19937 random(14);
    const char* needles[] = {"a", "ab", "ba", "aba", "b b"};
    for (int round = 0; round < 60; ++round) {
        std::string text;
        const int length = std::uniform_int_distribution<int>(0, 80)(random);
        for (int i = 0; i < length; ++i)
            text += "ab "[std::uniform_int_distribution<int>(0, 2)(random)];
        Editor e;
        e.SetText(text);
        for (int pass = 0; pass < 2; ++pass) {
            const std::string needle = needles[std::uniform_int_distribution<int>(0, 4)(random)];
            std::vector<bool> covered(text.size(), false);
            int32_t expected = 0;
            for (size_t p = text.find(needle); p != std::string::npos;
                 p = text.find(needle, p + needle.size())) {
                ++expected;
                for (size_t i = 0; i < needle.size(); ++i)
                    covered[p + i] = true;
            }
            EXPECT_EQ(CountMatches(e.Link(), needle, FindFlags(true, false)).count, expected) << text;
            for (size_t p = 0; p < text.size(); ++p)
                ASSERT_EQ(e.Marked(static_cast<int64_t>(p)), covered[p])
                    << text << " / " << needle << " at " << p;
        }
    }
}

TEST(FindSearch, CapAndSizeLimit) {
    Editor e;
    e.SetText(std::string(10'050, 'a'));
    MatchCount m = CountMatches(e.Link(), "a", 0);
    EXPECT_EQ(m.count, kFindCountCap);
    EXPECT_TRUE(e.Marked(9'999));
    EXPECT_FALSE(e.Marked(10'000));
    EXPECT_EQ(CounterText(m.count, m.index), L"1/10000+");

    // Exactly at the limit a document is counted; one byte more and it is only cleared.
    std::string big;
    while (big.size() < static_cast<size_t>(kFindCountLimitBytes))
        big += std::string(999, ' ') + "\n";
    big.resize(static_cast<size_t>(kFindCountLimitBytes) - 3);
    big += "fox";
    e.SetText(big);
    EXPECT_EQ(CountMatches(e.Link(), "fox", 0).count, 1);
    EXPECT_TRUE(e.Marked(kFindCountLimitBytes - 1));
    e.Send(quill::SCI_DOCUMENTEND);
    e.Send(quill::SCI_ADDTEXT, 1, "!");
    EXPECT_EQ(CountMatches(e.Link(), "fox", 0).count, -1);
    EXPECT_FALSE(e.Marked(kFindCountLimitBytes - 1));
}

TEST(FindSearch, NextAndPreviousWrapAround) {
    using O = FindOutcome;
    const struct {
        const char* needle;
        int64_t anchor, caret;
        bool forward, incremental;
        O outcome;
        int64_t start, end;
    } rows[] = {
        {"one", 0, 3, true, false, O::Found, 8, 11},
        {"one", 8, 11, true, false, O::FoundAfterWrap, 0, 3},
        {"one", 8, 11, true, true, O::Found, 8, 11},
        {"one", 9, 9, true, true, O::FoundAfterWrap, 0, 3},
        {"one", 0, 3, false, false, O::FoundAfterWrap, 8, 11},
        {"one", 11, 8, false, false, O::Found, 0, 3},
        {"one", 10, 10, false, false, O::Found, 0, 3},  // never a match straddling the selection
        {"ONE", 15, 15, false, false, O::Found, 8, 11},
        {"zzz", 4, 7, true, false, O::NotFound, 4, 7},
        {"", 4, 7, true, false, O::NotFound, 4, 7},
    };
    for (const auto& r : rows) {
        Editor e;
        e.SetText("one two one two");
        e.Select(r.anchor, r.caret);
        EXPECT_EQ(FindNextMatch(e.Link(), r.needle, 0, r.forward, r.incremental), r.outcome)
            << r.needle << " from " << r.anchor;
        EXPECT_EQ(e.Anchor(), r.start) << r.needle << " from " << r.anchor;
        EXPECT_EQ(e.Caret(), r.end) << r.needle << " from " << r.anchor;
    }
}

TEST(FindSearch, ReplaceOneAndAllAsOneUndoStep) {
    const struct {
        const char* text;
        const char* needle;
        const char* replacement;
        uint32_t flags;
        const char* result;
        int64_t replaced;
    } all[] = {
        {"apple Apple apple pineapple", "apple", "pear", FindFlags(true, true), "pear Apple pear pineapple",
         2},
        {"xxxx-axxb", "x", "", 0, "-ab", 6},
        {"aaa", "a", "aa", 0, "aaaaaa", 3},  // the replacement holds the needle: no endless loop
        {"a b c", " ", "\r\n", 0, "a\r\nb\r\nc", 2},
        {"abc", "zzz", "y", 0, "abc", 0},
    };
    for (const auto& r : all) {
        Editor e;
        e.SetText(r.text);
        e.Send(quill::SCI_EMPTYUNDOBUFFER);
        EXPECT_EQ(ReplaceEveryMatch(e.Link(), r.needle, r.replacement, r.flags), r.replaced) << r.text;
        EXPECT_EQ(e.Text(), r.result) << r.text;
        EXPECT_EQ(e.Steps(), r.replaced > 0 ? 1 : 0) << r.text;
        e.Send(quill::SCI_UNDO);
        EXPECT_EQ(e.Text(), r.text);
    }

    const struct {
        int64_t anchor, caret;
        uint32_t flags;
        bool replaced;
        const char* result;
        int64_t caretAfter;
    } one[] = {
        {0, 3, 0, true, "dog Cat", 3},
        {7, 4, 0, true, "cat dog", 7},
        {4, 7, FindFlags(true, false), false, "cat Cat", 7},
        {0, 2, 0, false, "cat Cat", 2},
        {1, 1, 0, false, "cat Cat", 1},
    };
    for (const auto& r : one) {
        Editor e;
        e.SetText("cat Cat");
        e.Select(r.anchor, r.caret);
        EXPECT_EQ(ReplaceSelectedMatch(e.Link(), "cat", "dog", r.flags), r.replaced) << r.anchor;
        EXPECT_EQ(e.Text(), r.result) << r.anchor;
        EXPECT_EQ(e.Caret(), r.caretAfter) << r.anchor;
        if (r.replaced) {
            EXPECT_EQ(e.Anchor(), r.caretAfter);
        }
    }
}

TEST(FindSearch, SelectionSeedsOnlyShortSingleLines) {
    const std::string longLine(600, 'q');
    const struct {
        int64_t anchor, caret;
        std::optional<std::string> seed;
    } rows[] = {{4, 7, "two"},
                {7, 4, "two"},
                {5, 5, std::nullopt},
                {0, 9, std::nullopt},
                {10, 521, std::string(511, 'q')},
                {10, 522, std::nullopt}};
    for (const auto& r : rows) {
        Editor e;
        e.SetText("on\r\ntwo\n\n" + longLine);
        e.Select(r.anchor, r.caret);
        EXPECT_EQ(SelectionSeed(e.Link()), r.seed) << r.anchor << ".." << r.caret;
    }
}

}  // namespace
}  // namespace lumen
