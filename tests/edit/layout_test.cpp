// Line layout against the fixed test font: measurement and the width cache, units and their
// positions, tabs, control pictures, shaping of complex text, jamo merging and composition.
#include "edit/layout.h"

#include <gtest/gtest.h>

#include "edit/font_fixed.h"
#include "edit/font_set.h"
#include "edit/layout_chars.h"
#include "edit/layout_support.h"

namespace quill {
namespace {

using test::Layout;
using test::TestFonts;
using test::U8;

// ---- font sizes and the width cache -------------------------------------------------------------

TEST(FontPixelHeight, SizeZoomAndDpi) {
    // {hundredths of a point, zoom, DPI, pixels}: zoom adds points within -10..60, never under one
    // point nor under one pixel.
    const int32_t cases[][4] = {{1000, 0, 96, 13},   {1000, 0, 144, 20}, {1050, 0, 96, 14},
                                {1000, 2, 96, 16},   {800, -10, 96, 1},  {800, -10, 1, 1},
                                {1000, 100, 96, 93}, {2000, -50, 96, 13}};
    for (const auto& c : cases)
        EXPECT_EQ(FontPixelHeight(c[0], c[1], c[2]), c[3]) << c[0] << " " << c[1] << " " << c[2];
}

// Hangul is missing from the primary: the first fallback that has it ("Malgun Gothic"); a snowman only
// "Segoe UI Symbol" has; nobody has a private-use character (primary font, no glyph); astral: the
// emoji block prefers the emoji face, others the symbol face, never with a glyph index; combining
// marks take no room.
TEST(FontSet, MeasuresEachCodePointOnceAndPicksFallbacks) {
    TestFonts t;
    FontSet& f = t.fonts;
    EXPECT_EQ(f.spaceWidth(), 4);
    EXPECT_EQ(f.height(), f.ascent() + f.descent());
    const struct {
        char32_t c;
        int font, advance, glyph;  // -1: any
    } cases[] = {{'a', 0, 7, 1},      {U'가', 1, 14, 1},   {U'☃', 3, -1, -1},   {0xE000, 0, -1, 0},
                 {0x1F600, 4, 16, 0}, {0x20000, 3, -1, 0}, {0x0301, -1, 0, -1}, {0x1F3FB, -1, 0, -1}};
    int64_t glyphCalls = 0, extentCalls = 0;
    for (int round = 0; round < 2; ++round) {
        for (const auto& c : cases) {
            const uint64_t e = f.Measure(c.c);
            const auto at = std::to_string(static_cast<uint32_t>(c.c));
            EXPECT_TRUE(c.font < 0 || EntryFont(e) == c.font) << at;
            EXPECT_TRUE(c.advance < 0 || EntryAdvance(e) == static_cast<uint32_t>(c.advance)) << at;
            EXPECT_TRUE(c.glyph < 0 || (EntryGlyph(e) != kNoGlyph) == (c.glyph == 1)) << at;
        }
        // The second round is answered from the cache, astral characters included.
        if (round == 1) {
            EXPECT_EQ(t.source->glyphCalls, glyphCalls);
            EXPECT_EQ(t.source->extentCalls, extentCalls);
        }
        glyphCalls = t.source->glyphCalls, extentCalls = t.source->extentCalls;
    }
}

TEST(FontSet, RebuildsOnlyWhenTheDescriptionChanges) {
    TestFonts t;
    FontSet& f = t.fonts;
    FontDesc desc = f.Desc();
    EXPECT_FALSE(f.Apply(desc));
    EXPECT_EQ(t.source->openCalls, 1);
    f.Measure('a');
    desc.height = -32;
    EXPECT_TRUE(f.Apply(desc));
    EXPECT_EQ(t.source->openCalls, 2);
    EXPECT_EQ(EntryAdvance(f.Measure('a')), 14u);  // the cache was dropped with the fonts
    EXPECT_EQ(f.spaceWidth(), 8);
    desc.italic = true;
    EXPECT_TRUE(f.Apply(desc));
    desc.face = L"Some Face";
    EXPECT_TRUE(f.Apply(desc));
    EXPECT_FALSE(f.Apply(desc));
}

TEST(FontSet, FallbackWithThePrimaryFaceCountsAsMissing) {
    auto source = std::make_unique<FixedFontSource>();
    FontSet f(std::move(source));
    FontDesc desc;
    desc.height = -16;
    desc.face = L"malgun gothic";
    f.Apply(desc);
    EXPECT_FALSE(f.HasFont(1));
    EXPECT_TRUE(f.HasFont(3));
    // Hangul falls through to no glyph in the primary font.
    const uint64_t ga = f.Measure(U'가');
    EXPECT_EQ(EntryFont(ga), 0);
    EXPECT_EQ(EntryGlyph(ga), kNoGlyph);
}

// ---- plain units --------------------------------------------------------------------------------

TEST(LineLayout, PlainUnitsOffsetsAndXs) {
    TestFonts t;
    const LineLayout l = Layout(t.fonts, "ab ci");
    EXPECT_EQ(l.chars, (std::vector<char16_t>{'a', 'b', ' ', 'c', 'i'}));
    EXPECT_EQ(l.offsets, (std::vector<uint32_t>{0, 1, 2, 3, 4, 5}));
    EXPECT_EQ(l.xs, (std::vector<int32_t>{0, 7, 14, 18, 25, 28}));
    EXPECT_EQ(l.flags[2], kUnitBlank);
    EXPECT_EQ(l.flags[0], 0);
    EXPECT_TRUE(l.simple);
    EXPECT_EQ(l.Rows(), 1);
    EXPECT_EQ(l.lineLength, 5);
    const LineLayout empty = Layout(t.fonts, "", {8, kWrapWord, 50});
    EXPECT_EQ(empty.offsets, (std::vector<uint32_t>{0}));
    EXPECT_EQ(empty.xs, (std::vector<int32_t>{0}));
    EXPECT_EQ(empty.Rows(), 1);
    // Invalid bytes read as U+FFFD one byte at a time.
    const LineLayout invalid = Layout(t.fonts, "\xC3(\xE2\x82x\xF0\x9F");
    EXPECT_EQ(invalid.chars, (std::vector<char16_t>{0xFFFD, '(', 0xFFFD, 0xFFFD, 'x', 0xFFFD, 0xFFFD}));
    EXPECT_EQ(invalid.offsets, (std::vector<uint32_t>{0, 1, 2, 3, 4, 5, 6, 7}));
    // Control characters show as pictures, measured like any character.
    const LineLayout control = Layout(t.fonts, std::string("a\x01\x1F\x7F", 4));
    EXPECT_EQ(control.chars, (std::vector<char16_t>{'a', 0x2401, 0x241F, 0x2421}));
    EXPECT_EQ(control.flags[1], kUnitControl);
    EXPECT_EQ(control.flags[3], kUnitControl);
    EXPECT_EQ(control.xs[2] - control.xs[1], 8);
    EXPECT_TRUE(control.simple);
}

TEST(LineLayout, MultiByteCharactersAndSurrogatePairs) {
    TestFonts t;
    const std::string text = U8(u8"가a😀\u3000b");
    const LineLayout l = Layout(t.fonts, text);
    ASSERT_EQ(l.Units(), 6);
    EXPECT_EQ(l.chars[0], u'가');
    EXPECT_EQ(l.chars[2], 0xD83D);
    EXPECT_EQ(l.chars[3], 0xDE00);
    // Byte offsets: 가 3 bytes, a 1, emoji 4 (both halves at its start), U+3000 3.
    EXPECT_EQ(l.offsets, (std::vector<uint32_t>{0, 3, 4, 4, 8, 11, 12}));
    // The first half carries the advance; the second is a zero-width continuation.
    EXPECT_EQ(l.xs, (std::vector<int32_t>{0, 14, 21, 37, 37, 51, 58}));
    EXPECT_EQ(l.flags[3], kUnitContinues);
    EXPECT_EQ(l.glyphs[2], kNoGlyph);
    EXPECT_EQ(l.glyphs[3], kNoGlyph);
    EXPECT_EQ(l.fonts[0], 1);
    EXPECT_EQ(l.fonts[2], 4);
    EXPECT_EQ(l.flags[4], kUnitBlank);  // the ideographic space is a blank
    EXPECT_TRUE(l.simple);
}

TEST(LineLayout, TabsAdvanceToTheNextStopButNeverLessThanTwoPixels) {
    // Space 4 px, tab size 8: stops every 32 px. At a stop a full stop; 4 or 9 px short; past a stop;
    // 2 px short is still the same stop, 1 px short a full extra one.
    TestFonts t;
    const struct Case {
        const char* text;
        int32_t tabX, afterTab;
    } cases[] = {{"\t", 0, 32},         {"aaaa\t", 28, 32},   {"aaiii\t", 23, 32},
                 {"aaa.iii\t", 33, 64}, {"aaa.ii\t", 30, 32}, {"aaaai\t", 31, 64}};
    for (const Case& c : cases) {
        const LineLayout l = Layout(t.fonts, c.text);
        const int32_t tab = l.Units() - 1;
        SCOPED_TRACE(c.text);
        EXPECT_EQ(l.xs[tab], c.tabX);
        EXPECT_EQ(l.xs[tab + 1], c.afterTab);
        EXPECT_EQ(l.flags[tab], kUnitTab);
        EXPECT_EQ(l.glyphs[tab], kNoGlyph);
        EXPECT_FALSE(l.simple);
    }
    // Tab size 4: stops every 16 px.
    const LineLayout four = Layout(t.fonts, "a\tb", {4, kWrapNone, 0});
    EXPECT_EQ(four.xs, (std::vector<int32_t>{0, 7, 16, 23}));
}

// ---- complex text -------------------------------------------------------------------------------

// Shaped runs: a combining mark joins its base; complex-script characters (and blanks between them)
// form one run whose width, measured as one string, is shared equally with the remainder last; a blank
// joins only a run whose base is complex; an emoji modifier adds nothing; tabs keep the tab rule. The
// fixed font measures Hebrew 8 px, an emoji 16, and a run `tightening` px narrower per extra unit.
TEST(LineLayout, ShapedRunsFlagsAndXs) {
    constexpr uint8_t S = kUnitRunStart, L = kUnitRunLater, C = kUnitContinues, B = kUnitBlank;
    const struct {
        std::string text;
        int tightening;
        std::vector<uint8_t> flags;
        std::vector<int32_t> xs;
    } cases[] = {
        {U8(u8"xe\u0301y"), 1, {0, S, L | C, 0}, {0, 7, 13, 13, 20}},  // 7 + 0 - 1 = 6 for "e\u0301"
        // 5 characters of 8, 8, 4, 8, 8 = 36, minus 4 = 32: 6 each, the last 8.
        {U8(u8"a\u05E9\u05DC \u05D5\u05DD b"),
         1,
         {0, S, L, L | B, L, L, B, 0},
         {0, 7, 13, 19, 25, 31, 39, 43, 50}},
        {U8(u8"a\u05D0 b"), 0, {0, S, B, 0}, {0, 7, 15, 19, 26}},
        {U8(u8"a \u05D0"), 0, {0, B, S}, {0, 7, 11, 19}},
        {U8(u8"\U0001F44D\U0001F3FBa"), 0, {S, L | C, L | C, L | C, 0}, {0, 16, 16, 16, 16, 23}},
        {U8(u8"\u05D0\u05D1\tz"), 0, {S, L, kUnitTab, 0}, {0, 8, 16, 32, 39}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        TestFonts t;
        t.source->runTightening = c.tightening;
        const LineLayout l = Layout(t.fonts, c.text);
        EXPECT_EQ(std::vector<uint8_t>(l.flags.begin(), l.flags.end()), c.flags);
        EXPECT_EQ(l.xs, c.xs);
        EXPECT_FALSE(l.simple);
        for (int u = 1; u < l.Units(); ++u) {
            if (l.flags[u] & L) {
                EXPECT_EQ(l.fonts[u], l.fonts[u - 1]) << "a run has one font, unit " << u;
            }
            if (l.flags[u] & (S | L | C)) {
                EXPECT_EQ(l.glyphs[u], kNoGlyph) << "runs are drawn as text, unit " << u;
            }
        }
    }
}

TEST(LineLayout, ConjoiningJamoMergeIntoTheSyllable) {
    TestFonts t;
    // ᄒ ᅡ ᆫ (han), then ᄀ ᅳ (geu), then x.
    const std::string text = U8(u8"\u1112\u1161\u11AB\u1100\u1173x");
    const LineLayout l = Layout(t.fonts, text);
    ASSERT_EQ(l.Units(), 6);
    EXPECT_EQ(l.chars[0], u'한');
    EXPECT_EQ(l.chars[3], u'그');
    EXPECT_EQ(l.flags[1], kUnitContinues | kUnitMergedJamo);
    EXPECT_EQ(l.flags[2], kUnitContinues | kUnitMergedJamo);
    EXPECT_EQ(l.flags[4], kUnitContinues | kUnitMergedJamo);
    EXPECT_EQ(l.fonts[0], 1);
    EXPECT_NE(l.glyphs[0], kNoGlyph);
    EXPECT_EQ(l.xs, (std::vector<int32_t>{0, 14, 14, 14, 28, 28, 35}));
    EXPECT_EQ(l.offsets[1], 3u);  // units keep their own bytes
}

// ---- composition --------------------------------------------------------------------------------

TEST(LineLayout, CompositionUnitsSitAtTheCaretOffset) {
    TestFonts t;
    const std::u16string comp = u"\u1112\u1161";
    const std::vector<uint8_t> attrs = {1, 1};
    CompositionView cv{&comp, &attrs, 2, 2};
    const LineLayout l = Layout(t.fonts, "abcd", {}, &cv);
    ASSERT_EQ(l.Units(), 6);
    EXPECT_EQ(l.compositionStart, 2);
    EXPECT_EQ(l.compositionLength, 2);
    EXPECT_EQ(l.compositionCaret, 4);
    EXPECT_EQ(l.compositionAttributes, attrs);
    EXPECT_EQ(l.offsets, (std::vector<uint32_t>{0, 1, 2, 2, 2, 3, 4}));
    EXPECT_EQ(l.flags[2] & kUnitComposition, kUnitComposition);
    EXPECT_EQ(l.chars[2], u'하');  // jamo of one composition merge
    EXPECT_FALSE(l.simple);
    EXPECT_EQ(l.UnitOfOffset(2), 4u);  // the document's character at the caret comes after
    // A composition at the end of the line.
    CompositionView end{&comp, &attrs, 4, 1};
    const LineLayout e = Layout(t.fonts, "abcd", {}, &end);
    EXPECT_EQ(e.compositionStart, 4);
    EXPECT_EQ(e.compositionCaret, 5);
}

TEST(LineLayout, JamoOfDocumentAndCompositionDoNotMerge) {
    TestFonts t;
    const std::u16string comp = u"\u1161";
    CompositionView cv{&comp, nullptr, 3, 1};
    const LineLayout l = Layout(t.fonts, U8(u8"\u1112"), {}, &cv);
    EXPECT_EQ(l.chars[0], 0x1112);
    EXPECT_FALSE(l.flags[1] & kUnitMergedJamo);
    EXPECT_EQ(l.compositionAttributes, (std::vector<uint8_t>{0}));
}

TEST(LineLayout, TheLastPlaneAndCompositionEdges) {
    TestFonts t;
    for (char32_t cp : {char32_t{0x10FC00}, char32_t{0x10FFFD}}) {
        const LineLayout l = Layout(t.fonts, test::Utf8Of(cp));
        ASSERT_EQ(l.Units(), 2);
        EXPECT_EQ(l.chars[0], 0xD800 + ((cp - 0x10000) >> 10));
        EXPECT_EQ(l.chars[1], 0xDC00 + ((cp - 0x10000) & 0x3FF));
        EXPECT_TRUE(l.flags[1] & kUnitContinues);
    }
    // A combining mark being composed does not join the document's character before it.
    const std::u16string comp = u"\u0301";
    CompositionView cv{&comp, nullptr, 2, 1};
    const LineLayout l = Layout(t.fonts, "xe", {}, &cv);
    ASSERT_EQ(l.Units(), 3);
    EXPECT_EQ(l.flags[1] & (kUnitRunStart | kUnitRunLater), 0);
    EXPECT_EQ(l.flags[2] & kUnitRunLater, 0);
}

TEST(LineLayout, UnitOfOffsetAndRowOfUnit) {
    TestFonts t;
    const LineLayout l = Layout(t.fonts, U8(u8"a가😀b"), {8, kWrapChar, 30});
    EXPECT_EQ(l.UnitOfOffset(0), 0u);
    EXPECT_EQ(l.UnitOfOffset(1), 1u);
    EXPECT_EQ(l.UnitOfOffset(2), 2u);  // inside 가: the next unit
    EXPECT_EQ(l.UnitOfOffset(4), 2u);
    EXPECT_EQ(l.UnitOfOffset(8), 4u);
    EXPECT_EQ(l.UnitOfOffset(9), 5u);
    ASSERT_GE(l.Rows(), 2);
    EXPECT_EQ(l.RowOfUnit(0), 0);
    EXPECT_EQ(l.RowOfUnit(static_cast<uint32_t>(l.Units())), l.Rows() - 1);
}

TEST(LayoutChars, CombiningAndComplexSets) {
    // Marks as the document's set has them, from U+0300 on (0x0591 by the system's non-spacing query).
    for (char32_t c : {0x0300u, 0x200Du, 0xFE0Fu, 0xE0100u, 0x1F3FFu, 0x11A8u, 0x0591u})
        EXPECT_TRUE(IsCombiningMark(c)) << std::hex << static_cast<uint32_t>(c);
    for (char32_t c : {0x61u, 0x1100u, 0xAC00u, 0x4E2Du, 0x1F600u})
        EXPECT_FALSE(IsCombiningMark(c)) << std::hex << static_cast<uint32_t>(c);
    for (char32_t c : {0x0590u, 0x05D0u, 0x0E01u, 0x109Fu, 0x1100u, 0xFEFFu})
        EXPECT_TRUE(IsComplexScript(c)) << std::hex << static_cast<uint32_t>(c);
    for (char32_t c : {0x058Fu, 0x10A0u, 0xAC00u, 0x61u})
        EXPECT_FALSE(IsComplexScript(c)) << std::hex << static_cast<uint32_t>(c);
}

}  // namespace
}  // namespace quill
