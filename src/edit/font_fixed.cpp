#include "edit/font_fixed.h"

#include <cstdlib>

namespace quill {

int32_t FixedFontSource::BaseAdvance(char32_t cp) {
    if (cp == 0x20) return 4;
    if ((cp >= 0x0300 && cp <= 0x036F) || (cp >= 0x200B && cp <= 0x200D) || (cp >= 0xFE00 && cp <= 0xFE0F) ||
        (cp >= 0x1F3FB && cp <= 0x1F3FF))
        return 0;
    if (cp == 'i' || cp == 'l' || cp == '.') return 3;
    if (cp < 0x0250) return 7;
    if (cp > 0xFFFF) return 16;
    if ((cp >= 0x1100 && cp <= 0x11FF) || (cp >= 0x2E80 && cp <= 0x9FFF) || (cp >= 0xAC00 && cp <= 0xD7A3) ||
        (cp >= 0xF900 && cp <= 0xFAFF) || (cp >= 0xFF00 && cp <= 0xFF60))
        return 14;
    return 8;
}

bool FixedFontSource::FaceHolds(int font, char16_t ch) {
    switch (font) {
        case 0:
            return ch < 0x1100 || (ch >= 0x1200 && ch < 0x2000) || (ch >= 0x2000 && ch <= 0x206F) ||
                   (ch >= 0x2400 && ch <= 0x2426) || ch == 0xFFFD || (ch >= 0xFB1D && ch <= 0xFEFF);
        case 1:
            return (ch >= 0x1100 && ch <= 0x11FF) || (ch >= 0x2E80 && ch <= 0x9FFF) ||
                   (ch >= 0xA960 && ch <= 0xA97F) || (ch >= 0xAC00 && ch <= 0xD7FF) ||
                   (ch >= 0xF900 && ch <= 0xFAFF) || (ch >= 0xFF00 && ch <= 0xFFEF);
        case 3:
            return ch >= 0x2070 && ch <= 0x2BFF;
        default:
            return false;
    }
}

int32_t FixedFontSource::Scaled(int32_t base) const {
    if (base == 0) return 0;
    const int32_t v = (base * height_ + 8) / 16;
    return v < 1 ? 1 : v;
}

FontMetrics FixedFontSource::Open(const FontDesc& desc) {
    ++openCalls;
    height_ = std::abs(desc.height);
    if (height_ < 1) height_ = 1;
    for (bool& m : made_)
        m = false;
    made_[0] = true;
    FontMetrics m;
    m.ascent = (height_ * 13 + 8) / 16;
    m.descent = height_ - m.ascent + (height_ >= 8 ? 1 : 0);
    m.averageCharWidth = Scaled(7);
    return m;
}

bool FixedFontSource::OpenFallback(int index, const std::wstring& face) {
    if (index <= 0 || index >= kFontCount) return false;
    const bool exists = face == L"Malgun Gothic" || face == L"Segoe UI Symbol" || face == L"Segoe UI Emoji";
    made_[index] = exists;
    return exists;
}

uint16_t FixedFontSource::GlyphIndex(int font, char16_t ch) {
    ++glyphCalls;
    if (font < 0 || font >= kFontCount || !made_[font] || !FaceHolds(font, ch)) return kNoGlyph;
    // Any stable number distinct per character and font.
    return static_cast<uint16_t>((ch % 0x7FFF) + 1 + font);
}

int32_t FixedFontSource::Extent(int /*font*/, const char16_t* units, size_t count) {
    ++extentCalls;
    int32_t total = 0;
    size_t chars = 0;
    for (size_t i = 0; i < count; ++i) {
        char32_t cp = units[i];
        if (cp >= 0xD800 && cp <= 0xDBFF && i + 1 < count && units[i + 1] >= 0xDC00 &&
            units[i + 1] <= 0xDFFF) {
            cp = 0x10000 + ((cp - 0xD800) << 10) + (units[i + 1] - 0xDC00);
            ++i;
        }
        total += Scaled(BaseAdvance(cp));
        ++chars;
    }
    if (chars > 1) total -= runTightening * static_cast<int32_t>(chars - 1);
    return total < 0 ? 0 : total;
}

void* FixedFontSource::Handle(int /*font*/) {
    return nullptr;
}

}  // namespace quill
