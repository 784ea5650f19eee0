#include "ui/surface.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "ui/icon_stand_ins.h"

namespace lumen::ui {

Surface::~Surface() {
    if (!dc) return;
    if (previous) SelectObject(dc, previous);
    if (bitmap) DeleteObject(bitmap);
    DeleteDC(dc);
}

bool EnsureSurface(Surface& surface, int32_t w, int32_t h) {
    if (surface.dc && surface.bitmap && w <= surface.width && h <= surface.height) return true;
    const int32_t width = std::max({surface.width, w, 1});
    const int32_t height = std::max({surface.height, h, 1});
    if (!surface.dc) {
        surface.dc = CreateCompatibleDC(nullptr);
        if (!surface.dc) return false;
        SetBkMode(surface.dc, TRANSPARENT);
    }
    BITMAPINFO bi{};
    bi.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    bi.bmiHeader.biWidth = width;
    bi.bmiHeader.biHeight = -height;  // top-down
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    bi.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(surface.dc, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (!bitmap || !bits) {
        if (bitmap) DeleteObject(bitmap);
        return false;
    }
    const HGDIOBJ old = SelectObject(surface.dc, bitmap);
    if (surface.bitmap) {
        DeleteObject(surface.bitmap);
    } else {
        surface.previous = old;
    }
    surface.bitmap = bitmap;
    surface.pixels = static_cast<uint32_t*>(bits);
    surface.width = width;
    surface.height = height;
    return true;
}

bool PrepareSurface(Surface& surface, int32_t w, int32_t h) {
    if (!EnsureSurface(surface, w, h)) return false;
    surface.clip = RECT{0, 0, w, h};
    return true;
}

void PresentSurface(const Surface& surface, HDC target, const RECT& area) {
    if (!surface.dc) return;
    GdiFlush();
    BitBlt(target, area.left, area.top, area.right - area.left, area.bottom - area.top, surface.dc, area.left,
           area.top, SRCCOPY);
}

PixelBuffer Pixels(Surface& surface) {
    const RECT& c = surface.clip;
    return PixelBuffer{surface.pixels, surface.width, surface.height, surface.width,
                       PixelRect{c.left, c.top, c.right, c.bottom}};
}

namespace {

// The pixels for a shape, with GDI's pending text drawing finished first.
PixelBuffer FlushedPixels(Surface& surface) {
    GdiFlush();
    return Pixels(surface);
}

PixelRect ToPixelRect(const RECT& r) {
    return PixelRect{r.left, r.top, r.right, r.bottom};
}

}  // namespace

void FillRect(Surface& surface, const RECT& rect, COLORREF colour) {
    PixelBuffer b = FlushedPixels(surface);
    FillRect(b, ToPixelRect(rect), colour);
}

void BlendRect(Surface& surface, const RECT& rect, COLORREF colour, float opacity) {
    PixelBuffer b = FlushedPixels(surface);
    BlendRect(b, ToPixelRect(rect), colour, opacity);
}

void FillRoundRect(Surface& surface, float left, float top, float right, float bottom, float radius,
                   COLORREF colour, float opacity, bool roundBottom) {
    PixelBuffer b = FlushedPixels(surface);
    FillRoundRect(b, left, top, right, bottom, radius, colour, opacity, roundBottom);
}

void FrameRoundRect(Surface& surface, const RECT& rect, float radius, float width, COLORREF colour) {
    PixelBuffer b = FlushedPixels(surface);
    FrameRoundRect(b, static_cast<float>(rect.left), static_cast<float>(rect.top),
                   static_cast<float>(rect.right), static_cast<float>(rect.bottom), radius, width, colour);
}

void FillTabShape(Surface& surface, float left, float top, float right, float bottom, float radius,
                  COLORREF colour) {
    PixelBuffer b = FlushedPixels(surface);
    FillTabShape(b, left, top, right, bottom, radius, colour);
}

void StrokePolyline(Surface& surface, const PointF* points, int32_t count, bool closed, float width,
                    COLORREF colour) {
    PixelBuffer b = FlushedPixels(surface);
    StrokePolyline(b, points, count, closed, width, colour);
}

void FillDisc(Surface& surface, float cx, float cy, float radius, COLORREF colour, float opacity) {
    PixelBuffer b = FlushedPixels(surface);
    FillDisc(b, cx, cy, radius, colour, opacity);
}

void FadeRect(Surface& surface, int32_t x0, int32_t x1, int32_t y0, int32_t y1, COLORREF colour,
              bool reversed) {
    PixelBuffer b = FlushedPixels(surface);
    FadeRect(b, x0, x1, y0, y1, colour, reversed);
}

void FrameRect1px(Surface& surface, int32_t width, int32_t height, COLORREF colour) {
    PixelBuffer b = FlushedPixels(surface);
    FrameRect1px(b, width, height, colour);
}

int32_t DrawWrappedText(Surface& surface, std::wstring_view text, const RECT& rect, HFONT font,
                        COLORREF colour) {
    if (!surface.dc || text.empty()) return 0;
    const HGDIOBJ old = SelectObject(surface.dc, font);
    SetTextColor(surface.dc, colour);
    const int length = static_cast<int>(std::min<size_t>(text.size(), INT32_MAX));
    RECT measured = rect;
    DrawTextW(surface.dc, text.data(), length, &measured, DT_CALCRECT | DT_WORDBREAK | DT_NOPREFIX);
    RECT box = rect;
    DrawTextW(surface.dc, text.data(), length, &box, DT_WORDBREAK | DT_NOPREFIX);
    SelectObject(surface.dc, old);
    return measured.bottom - measured.top;
}

namespace {

// The stand-in one em of the font across (the em the font was asked for, whichever font the system
// gave in its place), centred on the box.
void DrawStandIn(Surface& surface, const IconStandIn& icon, const RECT& rect, HFONT font, COLORREF colour) {
    if (icon.lines.empty() && icon.dots.empty()) return;
    LOGFONTW lf{};
    if (!GetObjectW(font, sizeof(lf), &lf) || lf.lfHeight == 0) return;
    const float em = static_cast<float>(std::abs(lf.lfHeight));
    const float cx = (rect.left + rect.right) / 2.0f, cy = (rect.top + rect.bottom) / 2.0f;
    const float width = std::max(1.0f, em / 10);
    for (const IconStandIn::Line& line : icon.lines) {
        std::vector<PointF> points;
        for (const PointF& p : line.points)
            points.push_back({cx + p.x * em, cy + p.y * em});
        StrokePolyline(surface, points.data(), static_cast<int32_t>(points.size()), line.closed, width,
                       colour);
    }
    for (const PointF& p : icon.dots)
        FillDisc(surface, cx + p.x * em, cy + p.y * em, std::max(1.0f, em / 12), colour);
}

}  // namespace

void DrawGlyph(Surface& surface, char32_t codePoint, const RECT& rect, HFONT font, COLORREF colour,
               bool standIn) {
    if (!surface.dc || codePoint == 0 || codePoint > 0x10FFFF) return;
    wchar_t units[2];
    int count = 1;
    if (codePoint >= 0x10000) {
        units[0] = static_cast<wchar_t>(0xD800 + ((codePoint - 0x10000) >> 10));
        units[1] = static_cast<wchar_t>(0xDC00 + ((codePoint - 0x10000) & 0x3FF));
        count = 2;
    } else {
        units[0] = static_cast<wchar_t>(codePoint);
    }
    const HGDIOBJ old = SelectObject(surface.dc, font);
    // Text output would fall back to a linked font or show a box; an icon the font lacks is better
    // left out. (Glyph indices exist for single UTF-16 units only.)
    WORD index = 0;
    const bool present = count == 2 || (GetGlyphIndicesW(surface.dc, units, 1, &index,
                                                         GGI_MARK_NONEXISTING_GLYPHS) != GDI_ERROR &&
                                        index != 0xFFFF);
    if (present) {
        SetTextColor(surface.dc, colour);
        RECT box = rect;
        DrawTextW(surface.dc, units, count, &box, DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
    }
    SelectObject(surface.dc, old);
    if (!present && standIn) DrawStandIn(surface, IconStandInFor(codePoint), rect, font, colour);
}

}  // namespace lumen::ui
