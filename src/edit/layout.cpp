#include "edit/layout.h"

#include <algorithm>
#include <cstring>

#include "edit/layout_chars.h"

namespace quill {
namespace {

constexpr uint8_t kBreakable = kUnitBlank | kUnitTab;

// Code point of the character that starts at unit i (a surrogate pair combined).
char32_t CodePointAt(const UnitArray<char16_t>& chars, size_t i) {
    const char16_t c = chars[i];
    if (c >= 0xD800 && c <= 0xDBFF && i + 1 < chars.size()) {
        const char16_t d = chars[i + 1];
        if (d >= 0xDC00 && d <= 0xDFFF) return 0x10000 + ((char32_t{c} - 0xD800) << 10) + (d - 0xDC00);
    }
    return c;
}

// Code point of the character that ends just before unit i.
char32_t CodePointBefore(const UnitArray<char16_t>& chars, size_t i) {
    const char16_t c = chars[i - 1];
    if (c >= 0xDC00 && c <= 0xDFFF && i >= 2) {
        const char16_t h = chars[i - 2];
        if (h >= 0xD800 && h <= 0xDBFF) return 0x10000 + ((char32_t{h} - 0xD800) << 10) + (c - 0xDC00);
    }
    return c;
}

int UnitsOf(const UnitArray<char16_t>& chars, size_t i) {
    const char16_t c = chars[i];
    return (c >= 0xD800 && c <= 0xDBFF && i + 1 < chars.size() && chars[i + 1] >= 0xDC00 &&
            chars[i + 1] <= 0xDFFF)
               ? 2
               : 1;
}

// Writes units into the layout's vectors, which the caller has sized to an upper bound.
struct UnitWriter {
    LineLayout& out;
    FontSet& fonts;
    size_t n = 0;
    int32_t x = 0;
    bool complex = false;

    void Put(char16_t ch, uint32_t offset, int32_t advance, uint8_t font, uint16_t glyph, uint8_t flag) {
        out.chars[n] = ch;
        out.offsets.Set(n, offset);
        out.xs.Set(n, x);
        out.fonts[n] = font;
        out.glyphs[n] = glyph;
        out.flags[n] = flag;
        x += advance;
        ++n;
    }

    // A measured character (BMP or astral) with extra flags.
    void PutChar(char32_t cp, uint32_t offset, uint8_t flag) {
        if (cp >= 0x0300 && (IsComplexScript(cp) || IsCombiningMark(cp))) complex = true;
        const uint64_t e = fonts.Measure(cp);
        const uint8_t font = static_cast<uint8_t>(EntryFont(e));
        if (cp < 0x10000) {
            if (cp == 0x3000) flag |= kUnitBlank;
            int32_t advance = static_cast<int32_t>(EntryAdvance(e));
            if (cp == 0x20) advance = fonts.spaceWidth();
            Put(static_cast<char16_t>(cp), offset, advance, font, EntryGlyph(e), flag);
        } else {
            const char32_t v = cp - 0x10000;
            Put(static_cast<char16_t>(0xD800 + (v >> 10)), offset, static_cast<int32_t>(EntryAdvance(e)),
                font, kNoGlyph, flag);
            Put(static_cast<char16_t>(0xDC00 + (v & 0x3FF)), offset, 0, font, kNoGlyph,
                static_cast<uint8_t>(flag | kUnitContinues));
        }
    }
};

// Measures complex text as runs and merges conjoining jamo into syllables, then rebuilds xs.
void Shape(LineLayout& out, FontSet& fonts, int32_t tabWidth) {
    const size_t n = out.chars.size();
    std::vector<int32_t> widths(n);
    for (size_t i = 0; i < n; ++i)
        widths[i] = out.xs[i + 1] - out.xs[i];
    auto compositionFlag = [&](size_t i) { return out.flags[i] & kUnitComposition; };

    size_t u = 0;
    while (u < n) {
        if (out.flags[u] & kUnitTab) {
            ++u;
            continue;
        }
        const char32_t c = CodePointAt(out.chars, u);
        const size_t len = static_cast<size_t>(UnitsOf(out.chars, u));
        const uint8_t comp = compositionFlag(u);

        // Leading + vowel (+ trailing) jamo shown as the precomposed syllable.
        if (c >= 0x1100 && c <= 0x1112 && u + 1 < n && out.chars[u + 1] >= 0x1161 &&
            out.chars[u + 1] <= 0x1175 && compositionFlag(u + 1) == comp) {
            size_t count = 2;
            char32_t t = 0;
            if (u + 2 < n && out.chars[u + 2] >= 0x11A8 && out.chars[u + 2] <= 0x11C2 &&
                compositionFlag(u + 2) == comp) {
                t = out.chars[u + 2] - 0x11A7;
                count = 3;
            }
            const char32_t syllable = 0xAC00 + ((c - 0x1100) * 21 + (out.chars[u + 1] - 0x1161)) * 28 + t;
            const uint64_t e = fonts.Measure(syllable);
            out.chars[u] = static_cast<char16_t>(syllable);
            out.fonts[u] = static_cast<uint8_t>(EntryFont(e));
            out.glyphs[u] = EntryGlyph(e);
            widths[u] = static_cast<int32_t>(EntryAdvance(e));
            for (size_t k = u + 1; k < u + count; ++k) {
                out.flags[k] |= kUnitContinues | kUnitMergedJamo;
                out.glyphs[k] = kNoGlyph;
                widths[k] = 0;
            }
            u += count;
            continue;
        }

        const bool baseComplex = IsComplexScript(c);
        size_t j = u + len;
        size_t characters = 1;
        while (j < n) {
            if ((out.flags[j] & kUnitTab) || compositionFlag(j) != comp) break;
            const char32_t cj = CodePointAt(out.chars, j);
            bool joins = IsCombiningMark(cj) || (baseComplex && IsComplexScript(cj));
            if (!joins && baseComplex && cj == 0x20 && j + 1 < n && !(out.flags[j + 1] & kUnitTab) &&
                compositionFlag(j + 1) == comp)
                joins = IsComplexScript(CodePointAt(out.chars, j + 1));
            if (!joins) break;
            j += static_cast<size_t>(UnitsOf(out.chars, j));
            ++characters;
        }
        if (characters == 1 && !baseComplex) {
            u = j;
            continue;
        }

        const uint8_t font = out.fonts[u];
        const int32_t width = fonts.MeasureRun(font, &out.chars[u], j - u);
        std::vector<size_t> sharing;
        sharing.push_back(u);
        for (size_t k = u; k < j; ++k) {
            out.flags[k] |= (k == u) ? kUnitRunStart : kUnitRunLater;
            out.fonts[k] = font;
            out.glyphs[k] = kNoGlyph;
            if (k == u) continue;
            const char16_t ch = out.chars[k];
            const bool secondHalf = ch >= 0xDC00 && ch <= 0xDFFF;
            if (secondHalf || IsCombiningMark(CodePointAt(out.chars, k))) {
                out.flags[k] |= kUnitContinues;
                widths[k] = 0;
            } else {
                sharing.push_back(k);
            }
        }
        const int32_t share = width / static_cast<int32_t>(sharing.size());
        for (size_t s = 0; s < sharing.size(); ++s) {
            widths[sharing[s]] = (s + 1 == sharing.size()) ? width - share * static_cast<int32_t>(s) : share;
        }
        u = j;
    }

    int32_t x = 0;
    for (size_t i = 0; i < n; ++i) {
        out.xs.Set(i, x);
        x += (out.flags[i] & kUnitTab) ? TabAdvance(x, tabWidth) : widths[i];
    }
    out.xs.Set(n, x);
}

// The character of composition text at unit k, stepping k past it (a surrogate pair is one).
char32_t NextCompositionChar(const std::u16string& text, size_t& k) {
    char32_t cp = text[k++];
    if (cp >= 0xD800 && cp <= 0xDBFF && k < text.size() && text[k] >= 0xDC00 && text[k] <= 0xDFFF)
        cp = 0x10000 + ((cp - 0xD800) << 10) + (text[k++] - 0xDC00);
    return cp;
}

// Writes composition text as units at byte offset `at`.
void PutComposition(UnitWriter& w, const std::u16string& text, uint32_t at) {
    for (size_t k = 0; k < text.size();) {
        const char32_t cp = NextCompositionChar(text, k);
        w.PutChar(cp, at, (cp == 0x20 ? kUnitBlank : 0) | kUnitComposition);
    }
}

void NoteComposition(LineLayout& out, const CompositionView& composition, size_t start) {
    const auto length = static_cast<int32_t>(composition.text->size());
    out.compositionStart = static_cast<int32_t>(start);
    out.compositionLength = length;
    out.compositionCaret = out.compositionStart + std::clamp<int32_t>(composition.cursor, 0, length);
    if (composition.attributes) {
        out.compositionAttributes = *composition.attributes;
    } else {
        out.compositionAttributes.clear();
    }
    out.compositionAttributes.resize(composition.text->size(), 0);
}

bool IsInvalidByteUnit(const LineLayout& l, size_t u) {
    return u < l.chars.size() && l.chars[u] == 0xFFFD && l.offsets[u + 1] - l.offsets[u] == 1;
}

}  // namespace

int32_t LineLayout::RowOfUnit(uint32_t unit) const {
    const auto it = std::upper_bound(rowStarts.begin(), rowStarts.end(), unit);
    const auto row = static_cast<int32_t>(it - rowStarts.begin()) - 1;
    return row < 0 ? 0 : row;
}

uint32_t LineLayout::UnitOfOffset(uint32_t offset) const {
    const size_t n = chars.size();
    size_t u =
        static_cast<size_t>(std::lower_bound(offsets.begin(), offsets.begin() + n, offset) - offsets.begin());
    while (u < n && (flags[u] & kUnitComposition))
        ++u;
    return static_cast<uint32_t>(u);
}

void LineLayout::ResizeUnits(size_t units, bool overwrite) {
    auto size = [overwrite](auto& array, size_t n) {
        if (overwrite) {
            array.ResizeForOverwrite(n);
        } else {
            array.resize(n);
        }
    };
    size(chars, units);
    size(offsets, units + 1);
    size(xs, units + 1);
    size(fonts, units);
    size(glyphs, units);
    size(flags, units);
}

void LineLayout::Clear(size_t units) {
    auto trim = [units](auto& v) {
        v.clear();
        if (v.capacity() > 4 * (units + 64)) v.shrink_to_fit();
    };
    trim(chars);
    trim(offsets);
    trim(xs);
    trim(fonts);
    trim(glyphs);
    trim(flags);
    rowStarts.assign(1, 0);
    compositionStart = -1;
    compositionLength = 0;
    compositionCaret = 0;
    compositionAttributes.clear();
}

void LineLayout::Release() {
    *this = LineLayout();
}

void BuildLineLayout(LineLayout& out, const char* bytes, int32_t length, int32_t eolLength,
                     const LayoutParams& params, FontSet& fonts, const CompositionView* composition) {
    if (length < 0) length = 0;
    const size_t compUnits = composition && composition->text ? composition->text->size() : 0;
    const size_t cap = static_cast<size_t>(length) + compUnits;
    // Room for one unit per byte, every used entry written below; the rest is never touched.
    out.Clear(cap);
    out.ResizeUnits(cap, true);
    out.lineLength = length;
    out.eolLength = eolLength;

    const int32_t tabWidth = std::max(1, fonts.spaceWidth() * params.tabSize);
    const auto* p = reinterpret_cast<const unsigned char*>(bytes);
    const size_t len = static_cast<size_t>(length);
    UnitWriter w{out, fonts};
    bool hasTab = false;
    const uint32_t compAt =
        compUnits ? std::min<uint32_t>(composition->offset, static_cast<uint32_t>(len)) : 0;
    bool compDone = compUnits == 0;

    const uint64_t spaceEntry = fonts.Measure(0x20);
    const int32_t spaceWidth = fonts.spaceWidth();

    auto putComposition = [&]() {
        NoteComposition(out, *composition, w.n);
        PutComposition(w, *composition->text, compAt);
        compDone = true;
    };

    size_t i = 0;
    while (true) {
        if (!compDone && i >= compAt) putComposition();
        if (i >= len) break;
        const unsigned b = p[i];
        if (b >= 0x20 && b <= 0x7E) {
            // Printable ASCII up to the next other byte (or the composition point).
            size_t end = i;
            const size_t stop = compDone ? len : std::max<size_t>(compAt, i + 1);
            while (end < stop && p[end] >= 0x20 && p[end] <= 0x7E)
                ++end;
            for (; i < end; ++i) {
                const unsigned c = p[i];
                if (c == 0x20) {
                    w.Put(u' ', static_cast<uint32_t>(i), spaceWidth,
                          static_cast<uint8_t>(EntryFont(spaceEntry)), EntryGlyph(spaceEntry), kUnitBlank);
                } else {
                    const uint64_t e = fonts.Measure(c);
                    w.Put(static_cast<char16_t>(c), static_cast<uint32_t>(i),
                          static_cast<int32_t>(EntryAdvance(e)), static_cast<uint8_t>(EntryFont(e)),
                          EntryGlyph(e), 0);
                }
            }
        } else if (b == '\t') {
            hasTab = true;
            w.Put(u'\t', static_cast<uint32_t>(i), TabAdvance(w.x, tabWidth), 0, kNoGlyph, kUnitTab);
            ++i;
        } else if (b < 0x20 || b == 0x7F) {
            const char32_t picture = b == 0x7F ? 0x2421 : 0x2400 + b;
            w.PutChar(picture, static_cast<uint32_t>(i), kUnitControl);
            ++i;
        } else {
            int width = 1;
            const char32_t cp = DecodeUtf8(p + i, len - i, &width);
            w.PutChar(cp, static_cast<uint32_t>(i), 0);
            i += static_cast<size_t>(width);
        }
    }

    const size_t n = w.n;
    out.ResizeUnits(n);
    out.offsets.Set(n, static_cast<uint32_t>(len));
    out.xs.Set(n, w.x);
    if (w.complex) Shape(out, fonts, tabWidth);
    out.simple = !hasTab && !w.complex;
    WrapLineLayout(out, params.wrapMode, params.wrapWidth, 0);
}

void WrapLineLayout(LineLayout& layout, int32_t wrapMode, int32_t width, uint32_t fromUnit,
                    const PreviousRows* previous) {
    auto& rows = layout.rowStarts;
    const uint32_t n = static_cast<uint32_t>(layout.chars.size());
    if ((wrapMode != kWrapWord && wrapMode != kWrapChar) || width < 1 || rows.empty()) {
        rows.assign(1, 0);
        return;
    }
    const auto& xs = layout.xs;
    const auto& flags = layout.flags;
    const int64_t w = width;

    // Keep the rows whose breaks looked only at units before fromUnit: a row's break reads the
    // units up to the next row's start and the xs up to the first one past its width.
    fromUnit = std::min(fromUnit, n);
    size_t keep = 1;
    if (fromUnit > 0) {
        while (keep < rows.size() && rows[keep] < fromUnit &&
               int64_t{xs[fromUnit]} > int64_t{xs[rows[keep - 1]]} + w)
            ++keep;
    }
    rows.resize(keep);

    uint32_t s = rows.back();
    while (true) {
        if (int64_t{xs[n]} - xs[s] <= w) break;
        const int64_t limit = int64_t{xs[s]} + w;
        auto it = std::upper_bound(xs.begin() + s, xs.begin() + n + 1, limit,
                                   [](int64_t v, int32_t x) { return v < x; });
        uint32_t b = static_cast<uint32_t>(it - xs.begin()) - 1;
        if (b <= s) b = s + 1;
        if (b >= n) break;
        uint32_t brk;
        if (flags[b] & kBreakable) {
            while (b < n && (flags[b] & kBreakable))
                ++b;
            if (b >= n) break;
            brk = b;
        } else if (wrapMode == kWrapChar) {
            brk = b;
        } else {
            brk = b;
            for (uint32_t i = b; i > s; --i) {
                if (flags[i] & kUnitContinues) continue;
                if ((flags[i - 1] & kBreakable) && !(flags[i] & kBreakable)) {
                    brk = i;
                    break;
                }
                if (IdeographicBreakBefore(CodePointBefore(layout.chars, i), CodePointAt(layout.chars, i))) {
                    brk = i;
                    break;
                }
            }
        }
        while (brk < n && ((flags[brk] & kUnitContinues) ||
                           (xs[brk + 1] == xs[brk] && IsCombiningMark(CodePointAt(layout.chars, brk)))))
            ++brk;
        if (brk >= n) break;
        rows.push_back(brk);
        s = brk;
        if (previous && brk >= previous->changedEnd) {
            const int64_t was = int64_t{brk} - previous->delta;
            auto it = std::lower_bound(previous->starts.begin(), previous->starts.end(), was,
                                       [](uint32_t a, int64_t b) { return int64_t{a} < b; });
            if (it != previous->starts.end() && int64_t{*it} == was) {
                for (++it; it != previous->starts.end(); ++it)
                    rows.push_back(static_cast<uint32_t>(int64_t{*it} + previous->delta));
                break;
            }
        }
    }
}

bool PatchLineLayout(LineLayout& l, bool inserted, uint32_t offset, const char* text, int32_t length,
                     const LayoutParams& params, FontSet& fonts) {
    if (!l.simple || l.compositionStart >= 0 || length < 1 || l.offsets.empty()) return false;
    const size_t n = l.chars.size();
    const auto first = l.offsets.begin();
    const size_t u = static_cast<size_t>(std::lower_bound(first, first + n + 1, offset) - first);
    if (u > n || l.offsets[u] != offset) return false;
    if ((u > 0 && IsInvalidByteUnit(l, u - 1)) || IsInvalidByteUnit(l, u)) return false;
    const bool wrapping =
        (params.wrapMode == kWrapWord || params.wrapMode == kWrapChar) && params.wrapWidth > 0;
    PreviousRows previous;
    if (wrapping) previous.starts = l.rowStarts;

    if (inserted) {
        // Measure the inserted characters; anything a fresh layout would treat in its own way refuses.
        LineLayout add;
        const auto* p = reinterpret_cast<const unsigned char*>(text);
        const size_t len = static_cast<size_t>(length);
        size_t units = 0;
        for (size_t i = 0; i < len;) {
            int width = 1;
            const char32_t cp = DecodeUtf8(p + i, len - i, &width);
            if (cp < 0x20 || cp == 0x7F || (cp == 0xFFFD && width == 1)) return false;
            if (cp >= 0x0300 && (IsComplexScript(cp) || IsCombiningMark(cp))) return false;
            units += cp > 0xFFFF ? 2 : 1;
            i += static_cast<size_t>(width);
        }
        add.ResizeUnits(units);
        UnitWriter w{add, fonts};
        for (size_t i = 0; i < len;) {
            int width = 1;
            const char32_t cp = DecodeUtf8(p + i, len - i, &width);
            if (cp == 0x20) {
                const uint64_t e = fonts.Measure(0x20);
                w.Put(u' ', offset + static_cast<uint32_t>(i), fonts.spaceWidth(),
                      static_cast<uint8_t>(EntryFont(e)), EntryGlyph(e), kUnitBlank);
            } else {
                w.PutChar(cp, offset + static_cast<uint32_t>(i), 0);
            }
            i += static_cast<size_t>(width);
        }
        const int32_t x0 = l.xs[u];
        const int32_t added = w.x;
        for (size_t k = 0; k < units; ++k)
            add.xs.Set(k, add.xs[k] + x0);
        // Offsets and xs after the insertion move by its bytes and width.
        l.offsets.Insert(u, add.offsets.begin(), units, static_cast<uint32_t>(length));
        l.xs.Insert(u, add.xs.begin(), units, added);
        l.chars.Insert(u, add.chars.begin(), units);
        l.fonts.Insert(u, add.fonts.begin(), units);
        l.glyphs.Insert(u, add.glyphs.begin(), units);
        l.flags.Insert(u, add.flags.begin(), units);
        l.lineLength += length;
        previous.delta = static_cast<int64_t>(units);
        previous.changedEnd = static_cast<uint32_t>(u + units);
    } else {
        const uint32_t end = offset + static_cast<uint32_t>(length);
        const size_t u2 = static_cast<size_t>(std::lower_bound(first + u, first + n + 1, end) - first);
        if (u2 > n || l.offsets[u2] != end || u2 <= u) return false;
        if (IsInvalidByteUnit(l, u2)) return false;
        const int32_t removed = l.xs[u2] - l.xs[u];
        l.offsets.Erase(u, u2, static_cast<uint32_t>(length));
        l.xs.Erase(u, u2, removed);
        l.chars.Erase(u, u2);
        l.fonts.Erase(u, u2);
        l.glyphs.Erase(u, u2);
        l.flags.Erase(u, u2);
        l.lineLength -= length;
        previous.delta = -static_cast<int64_t>(u2 - u);
        previous.changedEnd = static_cast<uint32_t>(u);
    }
    WrapLineLayout(l, params.wrapMode, params.wrapWidth, static_cast<uint32_t>(u),
                   wrapping ? &previous : nullptr);
    return true;
}

bool PatchComposition(LineLayout& l, const CompositionView* composition, const LayoutParams& params,
                      FontSet& fonts) {
    if (!l.simple || l.offsets.empty()) return false;
    static const std::u16string kNone;
    const std::u16string& text = composition && composition->text ? *composition->text : kNone;
    const size_t n = l.chars.size();
    const size_t oldUnits = l.compositionStart >= 0 ? static_cast<size_t>(l.compositionLength) : 0;
    if (oldUnits == 0 && text.empty()) return true;
    for (size_t k = 0; k < text.size();) {
        const char32_t cp = NextCompositionChar(text, k);
        if (cp >= 0x0300 && (IsComplexScript(cp) || IsCombiningMark(cp))) return false;  // would be shaped
    }
    // A fresh layout puts the text before the first unit at or after its offset, which for a
    // composition already shown is where that one begins.
    const uint32_t offset =
        text.empty() ? 0 : std::min<uint32_t>(composition->offset, static_cast<uint32_t>(l.lineLength));
    size_t at;
    if (oldUnits > 0) {
        at = static_cast<size_t>(l.compositionStart);
        if (at + oldUnits > n || (!text.empty() && l.offsets[at] != offset)) return false;
    } else {
        const auto first = l.offsets.begin();
        at = static_cast<size_t>(std::lower_bound(first, first + n, offset) - first);
    }
    const bool wrapping =
        (params.wrapMode == kWrapWord || params.wrapMode == kWrapChar) && params.wrapWidth > 0;
    PreviousRows previous;
    if (wrapping) previous.starts = l.rowStarts;

    LineLayout add;
    add.ResizeUnits(text.size());
    UnitWriter w{add, fonts};
    PutComposition(w, text, offset);
    const size_t units = w.n;
    const size_t end = at + oldUnits;
    const int32_t x0 = l.xs[at];
    for (size_t k = 0; k < units; ++k)
        add.xs.Set(k, add.xs[k] + x0);
    // The document's units after it move by the change in width; their offsets stay.
    l.offsets.Replace(at, end, add.offsets.begin(), units);
    l.xs.Replace(at, end, add.xs.begin(), units, w.x - (l.xs[end] - x0));
    l.chars.Replace(at, end, add.chars.begin(), units);
    l.fonts.Replace(at, end, add.fonts.begin(), units);
    l.glyphs.Replace(at, end, add.glyphs.begin(), units);
    l.flags.Replace(at, end, add.flags.begin(), units);
    if (units > 0) {
        NoteComposition(l, *composition, at);
    } else {
        l.compositionStart = -1;
        l.compositionLength = 0;
        l.compositionCaret = 0;
        l.compositionAttributes.clear();
    }
    previous.delta = static_cast<int64_t>(units) - static_cast<int64_t>(oldUnits);
    previous.changedEnd = static_cast<uint32_t>(at + units);
    WrapLineLayout(l, params.wrapMode, params.wrapWidth, static_cast<uint32_t>(at),
                   wrapping ? &previous : nullptr);
    return true;
}

uint32_t EstimateRows(int64_t bytes, int32_t averageCharWidth, int32_t wrapWidth) {
    if (bytes < 1) return 1;
    const int64_t w = std::max<int32_t>(1, wrapWidth);
    const int64_t rows = (int64_t{std::max(1, averageCharWidth)} * bytes + w - 1) / w;
    return static_cast<uint32_t>(std::clamp<int64_t>(rows, 1, 16777216));
}

}  // namespace quill
