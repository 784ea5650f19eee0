// Fonts of the editor view and the per-code-point width cache in front of them.
//
// A FontSet is one logical font (the text font or the line-number font) plus eight fallback faces
// for characters the primary font lacks. Everything the system must answer (glyph lookup, text
// extent, metrics) goes through FontSource, so that layout and wrapping build and run natively
// against a deterministic stand-in; the GDI source lives in font_source_win.cpp.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace quill {

// The parts of a logical font that decide whether a font set must be rebuilt.
struct FontDesc {
    int32_t height = -13;  // negative: character height in pixels
    int32_t weight = 400;
    bool italic = false;
    std::wstring face = L"Verdana";  // at most 31 characters are used

    bool operator==(const FontDesc&) const = default;
};

struct FontMetrics {
    int32_t ascent = 1;
    int32_t descent = 0;
    int32_t averageCharWidth = 1;
};

inline constexpr int kFontCount = 9;  // primary plus eight fallbacks
inline constexpr uint16_t kNoGlyph = 0xFFFF;

// The fallback faces by font index (index 0, the primary, has no entry here).
const wchar_t* FallbackFace(int index);

// The system side of one font set. Font index 0 is the primary font, 1 to 8 the fallbacks.
class FontSource {
public:
    virtual ~FontSource() = default;
    // Destroys every font and creates the primary font for `desc`.
    virtual FontMetrics Open(const FontDesc& desc) = 0;
    // Creates fallback `index` with `face` at the primary's size and style; false when the system has
    // no such face.
    virtual bool OpenFallback(int index, const std::wstring& face) = 0;
    // Glyph index of a BMP character in a font, kNoGlyph when the font lacks it.
    virtual uint16_t GlyphIndex(int font, char16_t ch) = 0;
    // Advance width of UTF-16 text drawn as one string in a font.
    virtual int32_t Extent(int font, const char16_t* units, size_t count) = 0;
    // The system handle of a font for drawing (HFONT on Windows), null when it does not exist.
    virtual void* Handle(int font) = 0;
};

// The platform's font source: GDI on Windows, the fixed-width stand-in natively.
std::unique_ptr<FontSource> MakeSystemFontSource();

// Character height in pixels for a size in hundredths of a point at a zoom step and DPI.
int32_t FontPixelHeight(int32_t sizeHundredths, int32_t zoom, int32_t dpi);
inline constexpr int32_t kZoomMin = -10;
inline constexpr int32_t kZoomMax = 60;

// A width-cache entry: advance, font index and glyph index packed in 64 bits.
inline uint32_t EntryAdvance(uint64_t e) {
    return static_cast<uint32_t>(e & 0xFFFF);
}
inline int EntryFont(uint64_t e) {
    return static_cast<int>((e >> 16) & 0xFFFF);
}
inline uint16_t EntryGlyph(uint64_t e) {
    return static_cast<uint16_t>((e >> 32) & 0xFFFF);
}
inline uint64_t MakeEntry(uint32_t advance, int font, uint16_t glyph) {
    return (advance > 0xFFFF ? 0xFFFFull : advance) | (static_cast<uint64_t>(font) << 16) |
           (static_cast<uint64_t>(glyph) << 32);
}

class FontSet {
public:
    explicit FontSet(std::unique_ptr<FontSource> source);
    FontSet(const FontSet&) = delete;
    FontSet& operator=(const FontSet&) = delete;

    // Rebuilds the fonts when the description differs from the current one (or nothing is built yet);
    // returns true when it rebuilt. Rebuilding drops every font and the whole width cache.
    bool Apply(const FontDesc& desc);
    bool Built() const { return built_; }
    const FontDesc& Desc() const { return desc_; }

    // The cache entry of a code point, measured on first use.
    uint64_t Measure(char32_t cp);
    // Advance of UTF-16 text measured as one string in a font (the primary when that fallback was
    // never made).
    int32_t MeasureRun(int font, const char16_t* units, size_t count);
    // Whether fallback `index` exists (making it on first ask). Index 0 always exists.
    bool HasFont(int index);
    // Whether font `index` was made (no attempt is made here).
    bool FontMade(int index) const { return index == 0 ? built_ : index < kFontCount && state_[index] == 1; }
    void* Handle(int index);

    int32_t ascent() const { return ascent_; }
    int32_t descent() const { return descent_; }
    int32_t height() const { return ascent_ + descent_; }
    int32_t spaceWidth() const { return spaceWidth_; }
    int32_t averageCharWidth() const { return averageCharWidth_; }
    FontSource* source() const { return source_.get(); }

private:
    uint64_t MeasureSlow(char32_t cp);

    std::unique_ptr<FontSource> source_;
    FontDesc desc_;
    bool built_ = false;
    std::array<uint8_t, kFontCount> state_{};  // fallbacks: 0 not tried, 1 made, 2 missing
    int32_t ascent_ = 1, descent_ = 0, spaceWidth_ = 1, averageCharWidth_ = 1;
    std::array<std::unique_ptr<uint64_t[]>, 256> pages_;
    std::vector<std::pair<char32_t, uint64_t>> astral_;
};

}  // namespace quill
