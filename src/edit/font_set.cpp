#include "edit/font_set.h"

#include <algorithm>
#include <cwctype>

#include "edit/layout_chars.h"

namespace quill {
namespace {

bool SameFace(const std::wstring& a, const std::wstring& b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i) {
        if (std::towlower(a[i]) != std::towlower(b[i])) return false;
    }
    return true;
}

constexpr uint64_t kUnmeasured = ~0ull;

}  // namespace

const wchar_t* FallbackFace(int index) {
    static const wchar_t* const kFaces[kFontCount] = {
        L"",
        L"Malgun Gothic",
        L"Segoe UI",
        L"Segoe UI Symbol",
        L"Segoe UI Emoji",
        L"Microsoft YaHei",
        L"Yu Gothic",
        L"Nirmala UI",
        L"Ebrima",
    };
    return index > 0 && index < kFontCount ? kFaces[index] : L"";
}

int32_t FontPixelHeight(int32_t sizeHundredths, int32_t zoom, int32_t dpi) {
    zoom = std::clamp(zoom, kZoomMin, kZoomMax);
    const int64_t size = std::max<int64_t>(100, int64_t{zoom} * 100 + sizeHundredths);
    const int64_t h = (size * dpi + 3600) / 7200;
    return static_cast<int32_t>(std::max<int64_t>(1, h));
}

FontSet::FontSet(std::unique_ptr<FontSource> source) : source_(std::move(source)) {}

bool FontSet::Apply(const FontDesc& desc) {
    FontDesc wanted = desc;
    if (wanted.face.size() > 31) wanted.face.resize(31);
    if (built_ && wanted == desc_) return false;
    desc_ = wanted;
    for (auto& page : pages_)
        page.reset();
    astral_.clear();
    state_.fill(0);
    const FontMetrics m = source_->Open(desc_);
    built_ = true;
    ascent_ = m.ascent;
    descent_ = m.descent;
    averageCharWidth_ = std::max(1, m.averageCharWidth);
    const char16_t space = u' ';
    spaceWidth_ = std::max(1, source_->Extent(0, &space, 1));
    return true;
}

bool FontSet::HasFont(int index) {
    if (index == 0) return built_;
    if (index < 0 || index >= kFontCount || !built_) return false;
    if (state_[index] == 0) {
        const std::wstring face = FallbackFace(index);
        const bool made = !SameFace(face, desc_.face) && source_->OpenFallback(index, face);
        state_[index] = made ? 1 : 2;
    }
    return state_[index] == 1;
}

void* FontSet::Handle(int index) {
    if (index > 0 && !FontMade(index)) index = 0;
    return source_->Handle(index);
}

uint64_t FontSet::Measure(char32_t cp) {
    if (cp < 0x10000) {
        const auto& page = pages_[cp >> 8];
        if (page) {
            const uint64_t e = page[cp & 0xFF];
            if (e != kUnmeasured) return e;
        }
    } else {
        for (const auto& [c, e] : astral_) {
            if (c == cp) return e;
        }
    }
    return MeasureSlow(cp);
}

uint64_t FontSet::MeasureSlow(char32_t cp) {
    if (!built_) return MakeEntry(0, 0, kNoGlyph);
    uint64_t entry;
    if (cp < 0x10000) {
        const char16_t ch = static_cast<char16_t>(cp);
        int font = 0;
        uint16_t glyph = source_->GlyphIndex(0, ch);
        if (glyph == kNoGlyph) {
            for (int i = 1; i < kFontCount; ++i) {
                if (!HasFont(i)) continue;
                const uint16_t g = source_->GlyphIndex(i, ch);
                if (g != kNoGlyph) {
                    font = i;
                    glyph = g;
                    break;
                }
            }
        }
        const uint32_t advance =
            IsCombiningMark(cp) ? 0 : static_cast<uint32_t>(std::max(0, source_->Extent(font, &ch, 1)));
        entry = MakeEntry(advance, font, glyph);
        auto& page = pages_[cp >> 8];
        if (!page) {
            page.reset(new uint64_t[256]);
            std::fill(page.get(), page.get() + 256, kUnmeasured);
        }
        page[cp & 0xFF] = entry;
    } else {
        const bool emoji = cp >= 0x1F000 && cp <= 0x1FAFF;
        const int candidates[3] = {emoji ? 4 : 3, emoji ? 3 : 4, 0};
        int font = 0;
        for (int c : candidates) {
            if (HasFont(c)) {
                font = c;
                break;
            }
        }
        const char16_t pair[2] = {static_cast<char16_t>(0xD800 + ((cp - 0x10000) >> 10)),
                                  static_cast<char16_t>(0xDC00 + ((cp - 0x10000) & 0x3FF))};
        const uint32_t advance =
            IsCombiningMark(cp) ? 0 : static_cast<uint32_t>(std::max(0, source_->Extent(font, pair, 2)));
        entry = MakeEntry(advance, font, kNoGlyph);
        astral_.emplace_back(cp, entry);
    }
    return entry;
}

int32_t FontSet::MeasureRun(int font, const char16_t* units, size_t count) {
    if (!built_ || count == 0) return 0;
    if (font > 0 && !FontMade(font)) font = 0;
    return std::max(0, source_->Extent(font, units, count));
}

}  // namespace quill
