// The off-screen surface every custom window paints into (Windows build only): a 32-bit top-down DIB
// section in a memory DC that only grows, the anti-aliased shapes of ui/raster.h drawn straight into
// its pixels, and text and icon glyphs drawn with GDI into the same bitmap.
//
// A painter: PrepareSurface to the client size (which also sets the clip), draw, then
// PresentSurface to the paint DC; windows painting this way answer WM_ERASEBKGND as done. Each shape
// primitive calls GdiFlush first, so text drawn before it is complete in the pixels.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string_view>

#include "ui/raster.h"

namespace lumen::ui {

struct Surface {
    HDC dc = nullptr;            // memory DC, created on first use
    HBITMAP bitmap = nullptr;    // the DIB section selected into dc
    HGDIOBJ previous = nullptr;  // what dc held before bitmap
    uint32_t* pixels = nullptr;  // 0x00RRGGBB, top row first, `width` pixels per row
    int32_t width = 0;           // allocated size
    int32_t height = 0;
    RECT clip{0, 0, 0, 0};  // the area primitives may touch

    Surface() = default;
    Surface(const Surface&) = delete;
    Surface& operator=(const Surface&) = delete;
    ~Surface();
};

// Grows the bitmap to cover w x h (each side becomes the larger of current and requested; a surface
// never shrinks). False when the DC or bitmap cannot be created; a bitmap that exists is then kept.
bool EnsureSurface(Surface& surface, int32_t w, int32_t h);
// EnsureSurface and clip = (0, 0, w, h): the start of every paint.
bool PrepareSurface(Surface& surface, int32_t w, int32_t h);
// GdiFlush, then one source copy of `area` (surface and target coordinates alike) to `target`.
void PresentSurface(const Surface& surface, HDC target, const RECT& area);
// The pixels as a raster buffer with the surface's clip.
PixelBuffer Pixels(Surface& surface);

void FillRect(Surface& surface, const RECT& rect, COLORREF colour);
void BlendRect(Surface& surface, const RECT& rect, COLORREF colour, float opacity);
void FillRoundRect(Surface& surface, float left, float top, float right, float bottom, float radius,
                   COLORREF colour, float opacity = 1.0f, bool roundBottom = true);
void FrameRoundRect(Surface& surface, const RECT& rect, float radius, float width, COLORREF colour);
void FillTabShape(Surface& surface, float left, float top, float right, float bottom, float radius,
                  COLORREF colour);
void StrokePolyline(Surface& surface, const PointF* points, int32_t count, bool closed, float width,
                    COLORREF colour);
void FillDisc(Surface& surface, float cx, float cy, float radius, COLORREF colour, float opacity = 1.0f);
void FadeRect(Surface& surface, int32_t x0, int32_t x1, int32_t y0, int32_t y1, COLORREF colour,
              bool reversed);
void FrameRect1px(Surface& surface, int32_t width, int32_t height, COLORREF colour);

// Word-wrapped text (no prefix processing) in `font` and `colour` inside `rect`; returns the
// measured height of the wrapped text.
int32_t DrawWrappedText(Surface& surface, std::wstring_view text, const RECT& rect, HFONT font,
                        COLORREF colour);
// One character centred in `rect`, single line. When `font` has no glyph for it (an absent icon
// font), the chrome's icons are drawn as line drawings instead (ui/icon_stand_ins.h; not with
// `standIn` false, for icons that only decorate a row of others) and other characters not at all:
// never a box in place of an icon.
void DrawGlyph(Surface& surface, char32_t codePoint, const RECT& rect, HFONT font, COLORREF colour,
               bool standIn = true);

}  // namespace lumen::ui
