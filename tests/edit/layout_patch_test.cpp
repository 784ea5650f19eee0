// The long-line patch: a simple layout updated in place for an edit must equal a fresh layout of
// the edited line, wrapped or not, and edits a patch cannot reproduce must be refused.
#include <gtest/gtest.h>

#include <random>

#include "edit/layout.h"
#include "edit/layout_support.h"

namespace quill {
namespace {

using test::ExpectSameLayout;
using test::Layout;
using test::TestFonts;
using test::U8;

// Byte offsets where a character starts (and the end), from a fresh layout.
std::vector<uint32_t> Boundaries(const LineLayout& l) {
    std::vector<uint32_t> out;
    for (size_t u = 0; u < l.chars.size(); ++u) {
        if (!(l.flags[u] & kUnitContinues)) out.push_back(l.offsets[u]);
    }
    out.push_back(static_cast<uint32_t>(l.lineLength));
    return out;
}

// Mixed Hangul and Latin text of at least `bytes` bytes, on one line.
std::string LongLine(size_t bytes) {
    std::string line;
    while (line.size() < bytes)
        line += U8(u8"가나다 abc 123 ");
    return line;
}

void RandomEdits(LayoutParams params, unsigned seed) {
    TestFonts t;
    std::string line = LongLine(6000 * 2);
    LineLayout layout = Layout(t.fonts, line, params);
    ASSERT_GE(layout.Units(), 6000);
    ASSERT_TRUE(layout.simple);

    const std::vector<std::string> pieces = {
        "x",  " ",           "  ", U8(u8"한"), U8(u8"😀"), "word ", U8(u8"é"), U8(u8"中文。"), "\xEF\xBF\xBD",
        "i.", U8(u8"\u3000")};
    std::mt19937 rng(seed);
    for (int step = 0; step < 300; ++step) {
        const std::vector<uint32_t> bounds = Boundaries(layout);
        // Edits at the very ends and the middle move the short side of the arrays and use up
        // their spare room, so a good share of them land there.
        size_t pick = rng() % bounds.size();
        switch (rng() % 8) {
            case 0:
                pick = std::min<size_t>(rng() % 3, bounds.size() - 1);
                break;
            case 1:
                pick = bounds.size() - 1 - std::min<size_t>(rng() % 3, bounds.size() - 1);
                break;
            case 2:
                pick = bounds.size() / 2;
                break;
            default:
                break;
        }
        const uint32_t at = bounds[pick];
        const bool insert = rng() % 2 == 0 || line.size() < 100;
        if (insert) {
            std::string text = pieces[rng() % pieces.size()];
            if (rng() % 4 == 0) text += pieces[rng() % pieces.size()];
            ASSERT_TRUE(PatchLineLayout(layout, true, at, text.data(), static_cast<int32_t>(text.size()),
                                        params, t.fonts))
                << "step " << step;
            line.insert(at, text);
        } else {
            // Delete from one boundary to a later one, up to a few characters.
            const size_t i = std::find(bounds.begin(), bounds.end(), at) - bounds.begin();
            const size_t j = std::min(bounds.size() - 1, i + 1 + rng() % 6);
            if (j <= i) continue;
            const uint32_t len = bounds[j] - at;
            ASSERT_TRUE(
                PatchLineLayout(layout, false, at, nullptr, static_cast<int32_t>(len), params, t.fonts))
                << "step " << step;
            line.erase(at, len);
        }
        const LineLayout fresh = Layout(t.fonts, line, params);
        SCOPED_TRACE(testing::Message() << "step " << step << (insert ? " insert at " : " delete at ") << at);
        ExpectSameLayout(layout, fresh);
        if (testing::Test::HasFatalFailure()) return;
    }
}

TEST(LayoutPatch, RandomEditsInA6000UnitLineMatchAFreshLayout) {
    RandomEdits({8, kWrapNone, 0}, 1);
    RandomEdits({8, kWrapWord, 300}, 2);
    RandomEdits({8, kWrapWord, 45}, 3);
    RandomEdits({8, kWrapChar, 301}, 4);
}

// Input-method compositions shown, changed and ended at random places of a long line, committed
// as typing now and then, each step patched in place and checked against a fresh layout. Text
// that a fresh layout would shape is refused; the line is then laid out afresh, as the view does.
void RandomCompositions(LayoutParams params, unsigned seed) {
    TestFonts t;
    std::string line = LongLine(3000 * 2);
    LineLayout layout = Layout(t.fonts, line, params);
    const std::vector<std::u16string> texts = {u"ㅎ", u"하",  u"한",           u"한ㄱ",
                                               u"",   u" ",   u"\u3000ㄱ",     u"中文",
                                               u"😀",  u"x y", u"\u1112\u1161", u"e\u0301"};
    std::mt19937 rng(seed);
    std::u16string shown;
    std::vector<uint8_t> attributes;
    CompositionView cv{&shown, &attributes, 0, 0};
    int refused = 0;
    for (int step = 0; step < 400; ++step) {
        const int what = static_cast<int>(rng() % 8);
        if (shown.empty() && what == 0) {
            // Elsewhere in the line (a character boundary, or the end).
            const std::vector<uint32_t> bounds = Boundaries(layout);
            cv.offset = bounds[rng() % bounds.size()];
        }
        const bool end = what == 1 && !shown.empty();
        const std::u16string text = end ? u"" : texts[rng() % texts.size()];
        shown = text;
        attributes.assign(shown.size(), static_cast<uint8_t>(rng() % 3));
        cv.cursor = static_cast<int32_t>(rng() % (shown.size() + 1));
        if (!PatchComposition(layout, &cv, params, t.fonts)) {
            ++refused;
            layout = Layout(t.fonts, line, params, &cv);
        }
        SCOPED_TRACE(testing::Message() << "step " << step << " at " << cv.offset);
        ExpectSameLayout(layout, Layout(t.fonts, line, params, &cv));
        if (testing::Test::HasFatalFailure()) return;
        if (end && rng() % 2 == 0 && layout.compositionStart < 0) {
            // Committed: the text typed at the place it was shown.
            const std::string typed = "ab";
            ASSERT_TRUE(PatchLineLayout(layout, true, cv.offset, typed.data(), 2, params, t.fonts));
            line.insert(cv.offset, typed);
            cv.offset += 2;
            ExpectSameLayout(layout, Layout(t.fonts, line, params));
            if (testing::Test::HasFatalFailure()) return;
        }
    }
    EXPECT_GT(refused, 0);
    EXPECT_LT(refused, 200);
}

TEST(LayoutPatch, RandomCompositionsInALongLineMatchAFreshLayout) {
    RandomCompositions({8, kWrapNone, 0}, 5);
    RandomCompositions({8, kWrapWord, 300}, 6);
    RandomCompositions({8, kWrapWord, 45}, 7);
    RandomCompositions({8, kWrapChar, 301}, 8);
}

TEST(LayoutPatch, ALineGrownAndShrunkAtItsEndsStaysExact) {
    // From two units to past the long-line size and back by typing and deleting at either end:
    // small arrays, their spare room running out on each side, and rows reflowing from the start.
    for (const LayoutParams params : {LayoutParams{8, kWrapNone, 0}, LayoutParams{8, kWrapWord, 200}}) {
        TestFonts t;
        std::string line = "ab";
        LineLayout layout = Layout(t.fonts, line, params);
        std::mt19937 rng(params.wrapMode + 7);
        const std::vector<std::string> pieces = {"x", " ", U8(u8"한"), U8(u8"😀")};
        auto check = [&](int step) {
            SCOPED_TRACE(testing::Message() << "step " << step << ", " << line.size() << " bytes");
            ExpectSameLayout(layout, Layout(t.fonts, line, params));
        };
        for (int step = 0; step < 2600; ++step) {
            const std::string& text = pieces[rng() % pieces.size()];
            const uint32_t at = rng() % 3 == 0 ? static_cast<uint32_t>(line.size()) : 0;
            ASSERT_TRUE(PatchLineLayout(layout, true, at, text.data(), static_cast<int32_t>(text.size()),
                                        params, t.fonts));
            line.insert(at, text);
            if (step % 97 == 0) check(step);
            if (testing::Test::HasFatalFailure()) return;
        }
        ASSERT_GT(layout.Units(), 2048);
        check(-1);
        for (int step = 0; layout.Units() > 1; ++step) {
            // The first or last character, whole.
            const bool front = rng() % 2 == 0;
            const std::vector<uint32_t> bounds = Boundaries(layout);
            const uint32_t from = front ? 0 : bounds[bounds.size() - 2];
            const uint32_t to = front ? bounds[1] : bounds.back();
            ASSERT_TRUE(PatchLineLayout(layout, false, from, nullptr, static_cast<int32_t>(to - from), params,
                                        t.fonts));
            line.erase(from, to - from);
            if (step % 89 == 0) check(step);
            if (testing::Test::HasFatalFailure()) return;
        }
        check(-2);
    }
}

TEST(LayoutPatch, EditsThatChangeWrappingEarlierRowsAreExact) {
    TestFonts t;
    const LayoutParams params{8, kWrapWord, 70};
    // Deleting most of a long word lets the line fit in fewer rows, which the kept rows must notice.
    std::string line = "ab " + std::string(30, 'b');
    LineLayout l = Layout(t.fonts, line, params);
    ASSERT_GT(l.Rows(), 2);
    ASSERT_TRUE(PatchLineLayout(l, false, 5, nullptr, 26, params, t.fonts));
    line.erase(5, 26);
    ExpectSameLayout(l, Layout(t.fonts, line, params));
    EXPECT_EQ(l.Rows(), 1);
    // Blanks typed at the start of a row hang on the row above.
    line = "abcd efghij klmnop";
    l = Layout(t.fonts, line, params);
    const uint32_t rowStart = l.offsets[l.RowStart(1)];
    ASSERT_TRUE(PatchLineLayout(l, true, rowStart, "   ", 3, params, t.fonts));
    line.insert(rowStart, "   ");
    ExpectSameLayout(l, Layout(t.fonts, line, params));
    // Closing punctuation typed at the start of a row pulls the ideograph before it down.
    const LayoutParams cjk{8, kWrapWord, 14 * 5};
    line = U8(u8"一二三四五六七八九十");
    l = Layout(t.fonts, line, cjk);
    ASSERT_EQ(l.Rows(), 2);
    ASSERT_TRUE(PatchLineLayout(l, true, 15, "\xE3\x80\x82", 3, cjk, t.fonts));  // 。 before 六
    line.insert(15, "\xE3\x80\x82");
    ExpectSameLayout(l, Layout(t.fonts, line, cjk));
    EXPECT_EQ(l.chars[l.RowStart(1)], u'五');
}

TEST(LayoutPatch, RefusesWhatItCannotReproduce) {
    TestFonts t;
    const LayoutParams params{8, kWrapNone, 0};
    const std::string base = "abc def";
    auto refuses = [&](const std::string& line, bool insert, uint32_t at, const std::string& text,
                       int32_t len) {
        LineLayout l = Layout(t.fonts, line, params);
        return !PatchLineLayout(l, insert, at, insert ? text.data() : nullptr, len, params, t.fonts);
    };
    EXPECT_TRUE(refuses(base, true, 3, "\t", 1));            // a tab
    EXPECT_TRUE(refuses(base, true, 3, "\x01", 1));          // a control character
    EXPECT_TRUE(refuses(base, true, 3, U8(u8"\u0301"), 2));  // a combining mark
    EXPECT_TRUE(refuses(base, true, 3, U8(u8"\u05D0"), 2));  // a complex script
    EXPECT_TRUE(refuses(base, true, 3, "\xE2\x82", 2));      // invalid bytes
    EXPECT_TRUE(refuses(base, true, 3, "", 0));              // nothing
    EXPECT_TRUE(refuses(U8(u8"a가b"), true, 2, "x", 1));     // not at a character boundary
    EXPECT_TRUE(refuses(U8(u8"a가b"), false, 1, "", 2));     // deletion ends inside a character
    EXPECT_TRUE(refuses("a\xC3x\xA9", false, 2, "", 1));     // would join invalid bytes
    EXPECT_TRUE(refuses("a\tb", true, 1, "x", 1));           // the line is not simple
    EXPECT_TRUE(refuses(U8(u8"a\u05D0"), true, 1, "x", 1));
    EXPECT_FALSE(refuses(base, true, 7, "!", 1));
    EXPECT_FALSE(refuses(base, false, 0, "", 7));  // everything
    // A line being composed is never patched.
    const std::u16string comp = u"x";
    CompositionView cv{&comp, nullptr, 1, 1};
    LineLayout l = Layout(t.fonts, base, params, &cv);
    EXPECT_FALSE(PatchLineLayout(l, true, 0, "y", 1, params, t.fonts));
}

}  // namespace
}  // namespace quill
