// Painting the view: every row of the update rectangle is drawn into one off-screen 32-bit bitmap
// from its cached layout, the overlay bars go on top, and one copy reaches the window.
#include <windows.h>
#include <intrin.h>

#include <algorithm>
#include <string>
#include <vector>

#include "edit/layout_chars.h"
#include "edit/quill_window_win.h"

namespace quill {
namespace {

inline COLORREF Ref(uint32_t rgb) {
    return static_cast<COLORREF>(rgb & 0xFFFFFF);
}

struct Clip {
    int32_t left, top, right, bottom;
};

class Painter {
public:
    Painter(View& view, WinViewHost& host)
        : v_(view), host_(host), dc_(host.surfaceDc()), doc_(*view.GetDocument()) {
        lh_ = v_.LineHeight();
        ascent_ = v_.LineAscent();
        width_ = v_.ClientWidth();
        dpi_ = host.Dpi();
        textLeft_ = v_.TextLeft();
        textRight_ = std::max(textLeft_, width_ - v_.RightTextMargin());
        const Appearance& a = v_.appearance();
        text_ = v_.GetStyle(kStyleText);
        numbers_ = v_.GetStyle(kStyleLineNumber);
        selStart_ = std::min(v_.Anchor(), v_.Caret());
        selEnd_ = std::max(v_.Anchor(), v_.Caret());
        caretLine_ = doc_.LineFromPosition(v_.Caret());
        caretLineFill_ = a.caretLineVisible && (v_.Focused() || a.caretLineAlways);
        showCaret_ = v_.Focused() && (v_.CaretPhase() || v_.Composing());
        SetBkMode(dc_, TRANSPARENT);
    }

    void Row(int32_t y, int64_t line, int32_t rowInLine);
    void OverlayBars();

private:
    // Where one display row of a line is drawn.
    struct RowPlace {
        const LineLayout& l;
        int32_t row;
        uint32_t rs, re;  // its units
        int32_t ox;       // client x of the line's unit 0
        int32_t top, bottom;
        int64_t lineStart, lineEnd;
        bool lastRow;
        uint32_t background;
    };
    int32_t Margins(int32_t top, int64_t line, int32_t rowInLine);
    void Selection(const RowPlace& r);
    void LineEndMark(const RowPlace& r);
    void CompositionUnderline(const RowPlace& r);
    void Caret(const RowPlace& r);
    void FillRect(int32_t l, int32_t t, int32_t r, int32_t b, uint32_t rgb);
    void BlendRect(int32_t l, int32_t t, int32_t r, int32_t b, uint32_t rgb, uint32_t alpha);
    void BlendPixel(int32_t x, int32_t y, uint32_t rgb, uint32_t alpha);
    void Indicators(const LineLayout& l, int64_t lineStart, uint32_t rs, uint32_t re, int32_t ox, int32_t top,
                    bool under);
    void Text(const LineLayout& l, uint32_t rs, uint32_t re, int32_t ox, int32_t baseline,
              uint32_t background);
    uint32_t FirstVisible(const LineLayout& l, uint32_t rs, uint32_t re, int32_t ox) const;
    uint32_t VisibleEnd(const LineLayout& l, uint32_t rs, uint32_t re, int32_t ox) const;
    void Whitespace(const LineLayout& l, uint32_t rs, uint32_t re, int32_t ox, int32_t top,
                    uint32_t background);
    void DrawString(HFONT font, int32_t x, int32_t y, const wchar_t* text, int count, const INT* dx,
                    UINT options);
    HFONT FontOf(int index) { return static_cast<HFONT>(v_.TextFonts().Handle(index)); }
    uint32_t WhitespaceColour(uint32_t background, uint32_t alpha) const {
        const ElementColour& e = v_.appearance().elements[kElementWhitespace];
        return Blend(background, e.set ? e.rgba : (text_.fore | (alpha << 24)));
    }

    View& v_;
    WinViewHost& host_;
    HDC dc_;
    Document& doc_;
    int32_t lh_, ascent_, width_, dpi_, textLeft_, textRight_;
    Style text_, numbers_;
    int64_t selStart_, selEnd_, caretLine_;
    bool caretLineFill_, showCaret_;
    Clip clip_{0, 0, 0, 0};
    // Text state for the next string; contexts keep what was last set in them.
    UINT align_ = TA_LEFT | TA_BASELINE;
    COLORREF colour_ = 0;
    struct DcState {
        HDC dc = nullptr;
        UINT align = 0;
        COLORREF colour = 0;
    };
    DcState states_[8];
    // Text calls being gathered for the current row, kept between rows for their storage.
    struct Batch {
        uint8_t font = 0;
        bool control = false, byGlyph = false;
        uint32_t first = 0, last = 0;
        std::vector<INT> dx;
        std::wstring units;  // glyph indices or characters
    };
    std::vector<Batch> batches_;
    // Set by text output, cleared by GdiFlush: pixels are written directly only after a flush.
    bool gdiPending_ = false;
    void Flush() {
        if (gdiPending_) GdiFlush();
        gdiPending_ = false;
    }
};

// The first unit of [rs, re) whose right edge lies past the text area's left edge, walked back to
// the start of its character or shaped run; long unwrapped rows are never walked from their start.
uint32_t Painter::FirstVisible(const LineLayout& l, uint32_t rs, uint32_t re, int32_t ox) const {
    const int32_t leftX = textLeft_ - ox;
    uint32_t u = rs;
    if (l.xs[rs + 1 > re ? re : rs + 1] <= leftX) {
        const auto it = std::upper_bound(l.xs.begin() + rs + 1, l.xs.begin() + re + 1, leftX);
        u = static_cast<uint32_t>(it - l.xs.begin()) - 1;
    }
    while (u > 0 && u < l.chars.size() && (l.flags[u] & (kUnitRunLater | kUnitContinues)))
        --u;
    return u;
}

// One past the last unit of [rs, re) that starts left of the text area's right edge.
uint32_t Painter::VisibleEnd(const LineLayout& l, uint32_t rs, uint32_t re, int32_t ox) const {
    const auto it = std::lower_bound(l.xs.begin() + rs, l.xs.begin() + re, textRight_ - ox);
    return static_cast<uint32_t>(it - l.xs.begin());
}

void Painter::FillRect(int32_t l, int32_t t, int32_t r, int32_t b, uint32_t rgb) {
    l = std::max(l, clip_.left);
    t = std::max(t, clip_.top);
    r = std::min(r, clip_.right);
    b = std::min(b, clip_.bottom);
    r = std::min(r, host_.surfaceWidth());
    b = std::min(b, host_.surfaceHeight());
    if (r <= l || b <= t) return;
    Flush();
    const uint32_t px = ((rgb & 0xFF) << 16) | (rgb & 0xFF00) | ((rgb >> 16) & 0xFF);
    const size_t stride = static_cast<size_t>(host_.surfaceWidth());
    uint32_t* row = host_.surfaceBits() + static_cast<size_t>(t) * stride + static_cast<size_t>(l);
    // A string store: several times faster than a plain loop over the row.
    for (int32_t y = t; y < b; ++y, row += stride)
        __stosd(reinterpret_cast<unsigned long*>(row), px, static_cast<size_t>(r - l));
}

// Blending works on the bitmap's pixels directly (0x00RRGGBB in memory order B, G, R, X).
void Painter::BlendPixel(int32_t x, int32_t y, uint32_t rgb, uint32_t alpha) {
    if (x < clip_.left || x >= clip_.right || y < clip_.top || y >= clip_.bottom) return;
    if (x >= host_.surfaceWidth() || y >= host_.surfaceHeight()) return;
    Flush();
    uint32_t& px = host_.surfaceBits()[static_cast<size_t>(y) * host_.surfaceWidth() + x];
    const uint32_t base = ((px >> 16) & 0xFF) | (px & 0xFF00) | ((px & 0xFF) << 16);  // to 0xBBGGRR
    const uint32_t out = Blend(base, (rgb & 0xFFFFFF) | (std::min<uint32_t>(alpha, 255) << 24));
    px = ((out & 0xFF) << 16) | (out & 0xFF00) | ((out >> 16) & 0xFF);
}

void Painter::BlendRect(int32_t l, int32_t t, int32_t r, int32_t b, uint32_t rgb, uint32_t alpha) {
    for (int32_t y = std::max(t, clip_.top); y < std::min(b, clip_.bottom); ++y) {
        for (int32_t x = std::max(l, clip_.left); x < std::min(r, clip_.right); ++x)
            BlendPixel(x, y, rgb, alpha);
    }
}

void Painter::DrawString(HFONT font, int32_t x, int32_t y, const wchar_t* text, int count, const INT* dx,
                         UINT options) {
    HDC dc = dc_;
    if (font) dc = host_.FontDc(font);
    // Alignment and colour are per context: set them only where they differ.
    DcState* state = nullptr;
    for (DcState& s : states_) {
        if (s.dc == dc || !s.dc) {
            state = &s;
            break;
        }
    }
    if (!state || state->dc != dc || state->align != align_) SetTextAlign(dc, align_);
    if (!state || state->dc != dc || state->colour != colour_) SetTextColor(dc, colour_);
    if (state) *state = {dc, align_, colour_};
    const RECT rc{clip_.left, clip_.top, clip_.right, clip_.bottom};
    ExtTextOutW(dc, x, y, options | ETO_CLIPPED, &rc, text, static_cast<UINT>(count), dx);
    gdiPending_ = true;
}

// One display row, in drawing order: margins, background, selection, indicators under the text,
// the text, indicators over it, whitespace and line-end marks, composition underline, hint, caret.
void Painter::Row(int32_t top, int64_t line, int32_t rowInLine) {
    const int32_t bottom = top + lh_;
    clip_ = {0, top, width_, bottom};
    const int32_t x = Margins(top, line, rowInLine);

    // Text background, highlighted on the caret's line.
    uint32_t background = text_.back;
    if (line >= 0 && line == caretLine_ && caretLineFill_) {
        const ElementColour& e = v_.appearance().elements[kElementCaretLine];
        background = Blend(text_.back, e.set ? e.rgba : 0xFF00FFFFu);
    }
    FillRect(x, top, width_, bottom, background);
    if (line < 0) return;

    // The rest is clipped to the text area of the row.
    clip_ = {textLeft_, top, textRight_, bottom};
    const LineLayout& l = v_.LayoutLine(line);
    const int32_t row = std::min(rowInLine, l.Rows() - 1);
    RowPlace r{l,
               row,
               l.RowStart(row),
               l.RowEnd(row),
               textLeft_ - v_.XOffset() - l.xs[l.RowStart(row)],
               top,
               bottom,
               doc_.LineStart(line),
               0,
               row == l.Rows() - 1,
               background};
    r.lineEnd = r.lineStart + l.lineLength;
    const Appearance& a = v_.appearance();
    Selection(r);
    Indicators(l, r.lineStart, r.rs, r.re, r.ox, top, true);
    Text(l, r.rs, r.re, r.ox, top + ascent_, background);
    Indicators(l, r.lineStart, r.rs, r.re, r.ox, top, false);
    if (a.viewWhitespace != 0) Whitespace(l, r.rs, r.re, r.ox, top, background);
    if (a.viewEol && r.lastRow && l.eolLength > 0) LineEndMark(r);
    if (l.compositionStart >= 0) CompositionUnderline(r);
    // The hint text of an empty document.
    if (line == 0 && row == 0 && doc_.Length() == 0 && !a.hint.empty() && l.compositionStart < 0) {
        align_ = TA_LEFT | TA_BASELINE;
        colour_ = Ref(Blend(background, text_.fore | 0x73000000u));
        DrawString(FontOf(0), textLeft_ + v_.CaretWidth() + ScaleForDpi(1, dpi_), top + ascent_,
                   a.hint.c_str(), static_cast<int>(a.hint.size()), nullptr, 0);
    }
    if (showCaret_ && line == caretLine_) Caret(r);
}

// The margins, with the line number on a line's first row; returns where the text area begins.
int32_t Painter::Margins(int32_t top, int64_t line, int32_t rowInLine) {
    const int32_t bottom = top + lh_;
    int32_t x = 0;
    for (int i = 0; i < 5; ++i) {
        const Margin& m = v_.GetMargin(i);
        if (m.width <= 0) continue;
        FillRect(x, top, x + m.width, bottom, numbers_.back);
        if (i == 0 && m.type == 1 && line >= 0 && rowInLine == 0) {
            const std::wstring number = std::to_wstring(line + 1);
            align_ = TA_RIGHT | TA_BASELINE;
            colour_ = Ref(numbers_.fore);
            const Clip saved = clip_;
            clip_ = {x, top, x + m.width, bottom};
            DrawString(static_cast<HFONT>(v_.NumberFonts().Handle(0)), x + m.width - 3, top + ascent_,
                       number.c_str(), static_cast<int>(number.size()), nullptr, 0);
            clip_ = saved;
        }
        x += m.width;
    }

    return x;
}

// The selection's part of the row, with a block for a selected line break.
void Painter::Selection(const RowPlace& r) {
    const LineLayout& l = r.l;
    if (selStart_ == selEnd_ || selStart_ > r.lineEnd + l.eolLength || selEnd_ < r.lineStart) return;
    const Appearance& a = v_.appearance();
    uint32_t rgba;
    const ElementColour& sel = a.elements[kElementSelection];
    const ElementColour& inactive = a.elements[kElementInactiveSelection];
    if (v_.Focused()) {
        rgba = sel.set ? sel.rgba : 0xFFFF9933u;
    } else {
        rgba = inactive.set ? inactive.rgba : (sel.set ? sel.rgba : 0xFFE0E0E0u);
    }
    const uint32_t colour = Blend(r.background, rgba);
    const uint32_t us = std::clamp(
        l.UnitOfOffset(static_cast<uint32_t>(std::clamp<int64_t>(selStart_ - r.lineStart, 0, l.lineLength))),
        r.rs, r.re);
    const uint32_t ue = std::clamp(
        l.UnitOfOffset(static_cast<uint32_t>(std::clamp<int64_t>(selEnd_ - r.lineStart, 0, l.lineLength))),
        r.rs, r.re);
    if (ue > us) FillRect(std::max(textLeft_, r.ox + l.xs[us]), r.top, r.ox + l.xs[ue], r.bottom, colour);
    if (selEnd_ > r.lineEnd && selStart_ <= r.lineEnd && l.eolLength > 0 && r.lastRow) {
        const int32_t bx = r.ox + l.xs[l.chars.size()];
        FillRect(std::max(textLeft_, bx), r.top, bx + v_.TextFonts().averageCharWidth(), r.bottom, colour);
    }
}

// The mark of the line's break (CRLF, CR or LF) after its last row.
void Painter::LineEndMark(const RowPlace& r) {
    const LineLayout& l = r.l;
    const wchar_t* mark = l.eolLength == 2 ? L"CRLF" : (doc_.ByteAt(r.lineEnd) == '\r' ? L"CR" : L"LF");
    const std::string utf8 = l.eolLength == 2 ? "CRLF" : (doc_.ByteAt(r.lineEnd) == '\r' ? "CR" : "LF");
    const int32_t tw = v_.TextWidth(kStyleLineNumber, utf8);
    const int32_t bx = r.ox + l.xs[l.chars.size()] + 2;
    const int32_t by0 = r.top + std::max(v_.ExtraAscent() / 2 + 1, 1);
    const int32_t by1 = r.bottom - std::max(v_.ExtraDescent() / 2 + 1, 1);
    FillRect(bx, by0, bx + tw + 4, by1, WhitespaceColour(r.background, 0x60));
    align_ = TA_LEFT | TA_TOP;
    colour_ = Ref(r.background);
    const int32_t th = v_.NumberFonts().height();
    DrawString(static_cast<HFONT>(v_.NumberFonts().Handle(0)), bx + 2, by0 + (by1 - by0 - th) / 2, mark,
               lstrlenW(mark), nullptr, 0);
}

// The underline of composition text, thicker under the clause being converted.
void Painter::CompositionUnderline(const RowPlace& r) {
    const LineLayout& l = r.l;
    const int32_t baseline = r.top + ascent_;
    const int32_t uy = std::min(r.bottom - 2, baseline + 2);
    const uint32_t cs = static_cast<uint32_t>(l.compositionStart);
    const uint32_t ce = cs + static_cast<uint32_t>(l.compositionLength);
    for (uint32_t u = std::max(cs, r.rs); u < std::min(ce, r.re); ++u) {
        const size_t k = u - cs;
        const uint8_t attr = k < l.compositionAttributes.size() ? l.compositionAttributes[k] : 0;
        const bool clauseEnd =
            u + 1 == ce || (k + 1 < l.compositionAttributes.size() && l.compositionAttributes[k + 1] != attr);
        const int32_t thick = (attr == 1 || attr == 3) ? 2 : 1;
        FillRect(r.ox + l.xs[u], uy, r.ox + l.xs[u + 1] - (clauseEnd ? 1 : 0), uy + thick, text_.fore);
    }
}

// The caret, when it is on this row: a bar, or in overtype mode a block under the next character.
void Painter::Caret(const RowPlace& r) {
    const LineLayout& l = r.l;
    const Appearance& a = v_.appearance();
    uint32_t unit = l.compositionStart >= 0 ? static_cast<uint32_t>(l.compositionStart + l.compositionLength)
                                            : l.UnitOfOffset(static_cast<uint32_t>(std::clamp<int64_t>(
                                                  v_.Caret() - r.lineStart, 0, l.lineLength)));
    if (l.RowOfUnit(unit) == r.row) {
        const ElementColour& e = a.elements[kElementCaret];
        const uint32_t colour = e.set ? Blend(r.background, e.rgba) : text_.fore;
        const int32_t cx = r.ox + l.xs[unit];
        const int32_t cw = v_.CaretWidth();
        if (!a.overtype || l.compositionStart >= 0) {
            if (cx >= textLeft_ - cw) FillRect(cx, r.top, cx + cw, r.bottom, colour);
        } else {
            const int32_t w =
                unit < l.chars.size() ? l.xs[unit + 1] - l.xs[unit] : v_.TextFonts().spaceWidth();
            FillRect(cx, r.bottom - std::max(2, cw), cx + w, r.bottom, colour);
        }
    }
}

// Units of one kind in a row (font, control picture or not, glyph indices or characters) go out in
// one call, however far apart: the advance of each unit is stretched to reach the next one of its
// kind, so the units of other fonts, blanks and tabs between them cost nothing. A row mixing Latin
// text with Hangul from a fallback font thus takes two calls, not one per run.
void Painter::Text(const LineLayout& l, uint32_t rs, uint32_t re, int32_t ox, int32_t baseline,
                   uint32_t background) {
    const uint32_t n = static_cast<uint32_t>(l.chars.size());
    uint32_t u = FirstVisible(l, rs, re, ox);
    const uint32_t end = VisibleEnd(l, rs, re, ox);
    align_ = TA_LEFT | TA_BASELINE;
    const ElementColour& ws = v_.appearance().elements[kElementWhitespace];
    const uint32_t controlColour = Blend(background, ws.set ? ws.rgba : (text_.fore | 0x80000000u));
    const auto* chars = reinterpret_cast<const wchar_t*>(l.chars.data());
    size_t used = 0;
    while (u < end) {
        const uint8_t f = l.flags[u];
        if (f & (kUnitTab | kUnitMergedJamo)) {
            ++u;
            continue;
        }
        if (f & (kUnitRunStart | kUnitRunLater)) {
            uint32_t j = u + 1;
            while (j < n && (l.flags[j] & kUnitRunLater))
                ++j;
            colour_ = Ref(text_.fore);
            DrawString(FontOf(l.fonts[u]), ox + l.xs[u], baseline, chars + u, static_cast<int>(j - u),
                       nullptr, 0);
            u = j;
            continue;
        }
        // A high surrogate goes alone and without advances: per-unit advances would place the two
        // halves of its character apart.
        if (l.chars[u] >= 0xD800 && l.chars[u] <= 0xDBFF) {
            const int count = u + 1 < n && (l.flags[u + 1] & kUnitContinues) ? 2 : 1;
            colour_ = Ref(text_.fore);
            DrawString(FontOf(l.fonts[u]), ox + l.xs[u], baseline, chars + u, count, nullptr, 0);
            u += static_cast<uint32_t>(count);
            continue;
        }
        // Blanks draw nothing.
        if ((f & (kUnitBlank | kUnitControl | kUnitComposition)) == kUnitBlank &&
            (l.chars[u] == u' ' || l.chars[u] == 0x3000)) {
            ++u;
            continue;
        }
        const uint8_t font = l.fonts[u];
        const bool control = (f & kUnitControl) != 0;
        const bool byGlyph = l.glyphs[u] != kNoGlyph;
        size_t b = 0;
        while (b < used && !(batches_[b].font == font && batches_[b].control == control &&
                             batches_[b].byGlyph == byGlyph))
            ++b;
        if (b == used) {
            if (used == batches_.size()) batches_.emplace_back();
            Batch& fresh = batches_[used++];
            fresh.font = font;
            fresh.control = control;
            fresh.byGlyph = byGlyph;
            fresh.first = u;
            fresh.dx.clear();
            fresh.units.clear();
        }
        Batch& batch = batches_[b];
        if (!batch.dx.empty()) batch.dx.back() = l.xs[u] - l.xs[batch.last];
        batch.dx.push_back(l.xs[u + 1] - l.xs[u]);
        batch.units.push_back(byGlyph ? static_cast<wchar_t>(l.glyphs[u]) : chars[u]);
        batch.last = u;
        ++u;
    }
    for (size_t b = 0; b < used; ++b) {
        const Batch& batch = batches_[b];
        colour_ = Ref(batch.control ? controlColour : text_.fore);
        DrawString(FontOf(batch.font), ox + l.xs[batch.first], baseline, batch.units.data(),
                   static_cast<int>(batch.units.size()), batch.dx.data(),
                   batch.byGlyph ? ETO_GLYPH_INDEX : 0);
    }
}

void Painter::Indicators(const LineLayout& l, int64_t lineStart, uint32_t rs, uint32_t re, int32_t ox,
                         int32_t top, bool under) {
    const int64_t lineEnd = lineStart + l.lineLength;
    for (int i = 0; i < kIndicatorCount; ++i) {
        const IndicatorStyle& style = v_.appearance().indicators[i];
        if (style.under != under || style.style == 5) continue;
        const std::vector<IndicatorRange>& ranges = doc_.IndicatorRanges(i);
        if (ranges.empty()) continue;
        auto it = std::upper_bound(ranges.begin(), ranges.end(), lineStart,
                                   [](int64_t pos, const IndicatorRange& r) { return pos < r.end; });
        for (; it != ranges.end() && it->start < lineEnd; ++it) {
            const auto s = static_cast<uint32_t>(std::clamp<int64_t>(it->start - lineStart, 0, l.lineLength));
            const auto e = static_cast<uint32_t>(std::clamp<int64_t>(it->end - lineStart, 0, l.lineLength));
            const uint32_t us = std::clamp(l.UnitOfOffset(s), rs, re);
            const uint32_t ue = std::clamp(l.UnitOfOffset(e), rs, re);
            if (ue <= us) continue;
            const int32_t x0 = ox + l.xs[us], x1 = ox + l.xs[ue];
            if (x1 < textLeft_) continue;
            if (style.style == 7 || style.style == 8 || style.style == 16) {
                const int32_t y0 = style.style == 16 ? top : top + 1;
                const int32_t y1 = top + lh_;
                const uint32_t fill = static_cast<uint32_t>(std::clamp(style.alpha, 0, 255));
                const uint32_t edge = static_cast<uint32_t>(std::clamp(style.outlineAlpha, 0, 255));
                BlendRect(x0 + 1, y0 + 1, x1 - 1, y1 - 1, style.fore, fill);
                const int32_t corner = style.style == 7 ? 1 : 0;
                BlendRect(x0 + corner, y0, x1 - corner, y0 + 1, style.fore, edge);
                BlendRect(x0 + corner, y1 - 1, x1 - corner, y1, style.fore, edge);
                BlendRect(x0, y0 + 1, x0 + 1, y1 - 1, style.fore, edge);
                BlendRect(x1 - 1, y0 + 1, x1, y1 - 1, style.fore, edge);
            } else {
                const int32_t y = top + ascent_ + 2;
                FillRect(x0, y, x1, y + 1, style.fore);
            }
        }
    }
}

void Painter::Whitespace(const LineLayout& l, uint32_t rs, uint32_t re, int32_t ox, int32_t top,
                         uint32_t background) {
    const int mode = v_.appearance().viewWhitespace;
    const uint32_t colour = WhitespaceColour(background, 0x60);
    const int32_t s = std::max(1, (lh_ + 12) / 24);
    const int32_t m = top + v_.ExtraAscent() + (lh_ - v_.ExtraDescent() - v_.ExtraAscent()) / 2;
    uint32_t indentEnd = 0;
    while (indentEnd < l.chars.size() && (l.flags[indentEnd] & (kUnitBlank | kUnitTab)))
        ++indentEnd;
    const uint32_t end = VisibleEnd(l, rs, re, ox);
    for (uint32_t u = FirstVisible(l, rs, re, ox); u < end; ++u) {
        if (mode == 2 && u < indentEnd) continue;
        if (mode == 3 && u >= indentEnd) break;
        const int32_t left = ox + l.xs[u], right = ox + l.xs[u + 1];
        if (l.flags[u] & kUnitBlank) {
            const int32_t cx = (left + right) / 2;
            FillRect(cx - s / 2, m - s / 2, cx - s / 2 + s, m - s / 2 + s, colour);
        } else if (l.flags[u] & kUnitTab) {
            const int32_t a = left + 2, b = right - 2;
            if (b - a < 3) continue;
            FillRect(a, m, b, m + s, colour);
            const int32_t h = std::max(2, lh_ / 6);
            for (int32_t k = 0; k < h; ++k) {
                const int32_t xr = b + s - 1 - k;
                FillRect(xr - s, m - 1 - k, xr, m - 1 - k + s, colour);
                FillRect(xr - s, m + 1 + k, xr, m + 1 + k + s, colour);
            }
        }
    }
}

// Thin bars drawn over the rows: a pill thumb, anti-aliased by 4x4 coverage sampling.
void Painter::OverlayBars() {
    const int32_t height = v_.ClientHeight();
    const OverlayPointer& pointer = v_.Overlay();
    clip_ = {0, 0, width_, height};
    for (int which : {kOverlayVertical, kOverlayHorizontal}) {
        const bool vertical = which == kOverlayVertical;
        const OverlayBar bar = v_.OverlayGeometry(vertical);
        if (!bar.exists) continue;
        const bool active = pointer.hover == which || pointer.drag == which;
        if (active)
            BlendRect(bar.strip.left, bar.strip.top, bar.strip.right, bar.strip.bottom, text_.fore, 20);
        const uint32_t alpha = pointer.drag == which ? 168 : (pointer.hover == which ? 136 : 92);
        const int32_t thick = ScaleForDpi(active ? 8 : 3, dpi_);
        const int32_t gap = ScaleForDpi(active ? 3 : 4, dpi_);
        const int32_t a0 = bar.trackStart + bar.thumbOffset, a1 = a0 + bar.thumbLength;
        int32_t l, t, r, b;
        if (vertical) {
            r = width_ - gap;
            l = r - thick;
            t = a0;
            b = a1;
        } else {
            b = height - gap;
            t = b - thick;
            l = a0;
            r = a1;
        }
        const double radius = thick / 2.0;
        for (int32_t y = t; y < b; ++y) {
            for (int32_t x = l; x < r; ++x) {
                int inside = 0;
                for (int sy = 0; sy < 4; ++sy) {
                    for (int sx = 0; sx < 4; ++sx) {
                        const double px = x + (sx + 0.5) / 4.0, py = y + (sy + 0.5) / 4.0;
                        // Distance outside the rectangle shrunk by the radius along both axes.
                        const double cx = std::clamp(px, l + radius, r - radius);
                        const double cy = std::clamp(py, t + radius, b - radius);
                        const double dx = px - cx, dy = py - cy;
                        if (dx * dx + dy * dy <= radius * radius) ++inside;
                    }
                }
                if (inside) BlendPixel(x, y, text_.fore, alpha * static_cast<uint32_t>(inside) / 16);
            }
        }
    }
}

}  // namespace

void PaintView(View& view, HDC dc, const RECT& update, HRGN region) {
    auto* host = static_cast<WinViewHost*>(view.host());
    if (!dc || !view.GetDocument()) return;
    const int32_t lh = view.LineHeight();
    const int32_t width = view.ClientWidth();
    const int32_t height = view.ClientHeight();
    if (width <= 0 || height <= 0) return;
    const int32_t rowsHeight = (height - 1 + lh) / lh * lh + lh;
    if (!host->EnsureSurface(width, rowsHeight)) return;

    const int32_t firstRow = std::max<LONG>(0, update.top) / lh;
    const int32_t lastRow = (std::max<LONG>(update.bottom, 1) - 1) / lh;
    const int32_t l = std::max<LONG>(0, update.left);
    const int32_t r = std::min<LONG>(width, update.right);
    auto rowNeeded = [&](int32_t k) {
        if (!region) return true;
        const RECT band = {l, k * lh, r, std::min(height, (k + 1) * lh)};
        return RectInRegion(region, &band) != FALSE;
    };
    std::vector<char> painted(static_cast<size_t>(lastRow + 1), 0);
    Document& doc = *view.GetDocument();
    const int64_t lines = doc.LineCount();
    const bool wrapping = view.Wrapping();
    int64_t line = view.FirstVisibleLine();
    int32_t rowInLine = 0;
    if (wrapping) {
        const int32_t rows = view.LayoutLine(line).Rows();
        rowInLine = std::min(view.TopRowInLine(), rows - 1);
    } else {
        // One row per line: jump straight to the first row to paint.
        line += firstRow;
    }
    Painter painter(view, *host);
    for (int32_t k = wrapping ? 0 : firstRow; k <= lastRow; ++k) {
        if (k >= firstRow && rowNeeded(k)) {
            painter.Row(k * lh, line < lines ? line : -1, rowInLine);
            painted[static_cast<size_t>(k)] = 1;
        }
        if (line < lines) {
            if (!wrapping || ++rowInLine >= view.LayoutLine(line).Rows()) {
                ++line;
                rowInLine = 0;
            }
        }
    }
    if (view.OverlayScrollBars()) painter.OverlayBars();
    GdiFlush();
    // Copy each run of painted rows once; the surface outside them may be stale after a scroll.
    for (int32_t k = firstRow; k <= lastRow;) {
        if (!painted[static_cast<size_t>(k)]) {
            ++k;
            continue;
        }
        int32_t end = k;
        while (end + 1 <= lastRow && painted[static_cast<size_t>(end + 1)])
            ++end;
        const int32_t t = std::max<LONG>(std::max<LONG>(0, update.top), k * lh);
        const int32_t b = std::min<LONG>(std::min<LONG>(height, update.bottom), (end + 1) * lh);
        if (r > l && b > t) BitBlt(dc, l, t, r - l, b - t, host->surfaceDc(), l, t, SRCCOPY);
        k = end + 1;
    }
    if (view.ScrollBarsStale()) view.UpdateScrollBars();
}

}  // namespace quill
