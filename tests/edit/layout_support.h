// Shared helpers for the layout and view tests: UTF-8 from literals and a layout of a string in the
// fixed-width test font.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "support/bytes.h"
#include "edit/font_fixed.h"
#include "edit/font_set.h"
#include "edit/layout.h"

namespace quill::test {

inline std::string U8(const char8_t* s) {
    return std::string(reinterpret_cast<const char*>(s));
}

inline std::string Utf8Of(char32_t cp) {
    std::string out;
    lumen::test::AppendUtf8(out, cp);
    return out;
}

// A font set over the fixed test font at 16 pixels (advances as FixedFontSource documents).
struct TestFonts {
    FixedFontSource* source;
    FontSet fonts;

    explicit TestFonts(int32_t height = 16) : TestFonts(std::make_unique<FixedFontSource>(), height) {}

private:
    TestFonts(std::unique_ptr<FixedFontSource> s, int32_t height) : source(s.get()), fonts(std::move(s)) {
        FontDesc desc;
        desc.height = -height;
        fonts.Apply(desc);
    }
};

inline LineLayout Layout(FontSet& fonts, const std::string& text, LayoutParams params = {},
                         const CompositionView* composition = nullptr) {
    LineLayout l;
    BuildLineLayout(l, text.data(), static_cast<int32_t>(text.size()), 0, params, fonts, composition);
    return l;
}

// Two layouts of a line agree in everything drawing and hit-testing read.
inline void ExpectSameLayout(const LineLayout& got, const LineLayout& want) {
    ASSERT_EQ(got.chars, want.chars);
    ASSERT_EQ(got.offsets, want.offsets);
    ASSERT_EQ(got.xs, want.xs);
    ASSERT_EQ(got.fonts, want.fonts);
    ASSERT_EQ(got.glyphs, want.glyphs);
    ASSERT_EQ(got.flags, want.flags);
    ASSERT_EQ(got.rowStarts, want.rowStarts);
    ASSERT_EQ(got.lineLength, want.lineLength);
    ASSERT_EQ(got.simple, want.simple);
    ASSERT_EQ(got.compositionStart, want.compositionStart);
    ASSERT_EQ(got.compositionLength, want.compositionLength);
    ASSERT_EQ(got.compositionCaret, want.compositionCaret);
    ASSERT_EQ(got.compositionAttributes, want.compositionAttributes);
}

// The text of each display row as UTF-16 units, for readable expectations.
inline std::u16string RowText(const LineLayout& l, int32_t row) {
    return std::u16string(l.chars.begin() + l.RowStart(row), l.chars.begin() + l.RowEnd(row));
}

}  // namespace quill::test
