// A deterministic font source: fixed advances per character class, scaled by the requested height,
// and a fixed table of which face holds which characters. It stands in for GDI in the native build
// and gives the layout tests exact, predictable pixels on every build.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "edit/font_set.h"

namespace quill {

class FixedFontSource : public FontSource {
public:
    // Advances at a character height of 16 pixels; other heights scale them proportionally
    // (rounded, at least 1 for a non-zero advance).
    //   space 4, 'i' 'l' '.' 3, combining accents, joiners, variation selectors and skin tones 0, other ASCII
    //   and Latin 7, Hangul, ideographs, kana, full-width forms and the ideographic space 14, characters
    //   above U+FFFF 16, everything else 8.
    static int32_t BaseAdvance(char32_t cp);

    // Which font holds a character: the primary holds U+0000 to U+1FFF (Latin to Greek, Cyrillic,
    // Hebrew, Arabic and the other complex scripts), general punctuation, control pictures and
    // U+FFFD; "Malgun Gothic" (1) Hangul, CJK and full-width forms; "Segoe UI Symbol" (3) the
    // other symbols U+2000 to U+2BFF; "Segoe UI Emoji" (4) exists for astral emoji.
    static bool FaceHolds(int font, char16_t ch);

    FontMetrics Open(const FontDesc& desc) override;
    bool OpenFallback(int index, const std::wstring& face) override;
    uint16_t GlyphIndex(int font, char16_t ch) override;
    int32_t Extent(int font, const char16_t* units, size_t count) override;
    void* Handle(int font) override;

    // Pixels subtracted for every unit after the first when a string of several units is measured,
    // so that tests can tell a run measured as one string from a sum of single characters.
    int32_t runTightening = 0;
    // Counts of calls, for checking that the cache asks the system once per code point.
    int64_t glyphCalls = 0;
    int64_t extentCalls = 0;
    int64_t openCalls = 0;

private:
    int32_t Scaled(int32_t base) const;
    int32_t height_ = 16;
    bool made_[kFontCount] = {};
};

}  // namespace quill
