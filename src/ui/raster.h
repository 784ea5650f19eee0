// Anti-aliased shapes rasterised straight into 32-bit pixels: the drawing primitives of the
// toolkit's surface, without any system call so they are tested natively.
//
// Pixels are 0x00RRGGBB words (bytes B, G, R, X); the X byte is written as 0 and never read.
// Colours come in as COLORREF (0x00BBGGRR) and are swapped on the way in.
//
// Every primitive computes a coverage c (0..1) per pixel, times an opacity a. At c·a >= 1 the pixel
// takes the colour; above 0 each channel becomes d + (((s - d) * w) >> 8) with w = trunc(c·a * 256);
// at 0 it is untouched. Pixels outside the clip rectangle (itself limited to the buffer) are never
// written. Empty and inverted shapes draw nothing. Pixel centres are at (x + 0.5, y + 0.5).
#pragma once

#include <cstdint>

namespace lumen::ui {

struct PixelRect {
    int32_t left = 0, top = 0, right = 0, bottom = 0;
};

struct PointF {
    float x = 0, y = 0;
};

// A view of pixel memory owned by someone else; stride is in pixels.
struct PixelBuffer {
    uint32_t* pixels = nullptr;
    int32_t width = 0;
    int32_t height = 0;
    int32_t stride = 0;
    PixelRect clip;
};

// 0x00BBGGRR -> 0x00RRGGBB.
constexpr uint32_t PixelFromColour(uint32_t colour) {
    return ((colour & 0xFF) << 16) | (colour & 0xFF00) | ((colour >> 16) & 0xFF);
}

// One pixel `pixel` (0x00RRGGBB) blended towards `source` with weight w of 256.
constexpr uint32_t BlendPixel(uint32_t pixel, uint32_t source, uint32_t w) {
    const uint32_t keep = 256 - w;
    const uint32_t rb = (((pixel & 0xFF00FF) * keep + (source & 0xFF00FF) * w) >> 8) & 0xFF00FF;
    const uint32_t g = (((pixel & 0xFF00) * keep + (source & 0xFF00) * w) >> 8) & 0xFF00;
    return rb | g;
}

// Opaque fill of the rectangle.
void FillRect(PixelBuffer& buffer, const PixelRect& rect, uint32_t colour);
// Every pixel of the rectangle blended with the colour at the opacity.
void BlendRect(PixelBuffer& buffer, const PixelRect& rect, uint32_t colour, float opacity);
// Filled rectangle with float edges and circular corners; the bottom corners are square unless
// roundBottom. A radius above half the width or height is reduced to it.
void FillRoundRect(PixelBuffer& buffer, float left, float top, float right, float bottom, float radius,
                   uint32_t colour, float opacity = 1.0f, bool roundBottom = true);
// The area inside the rounded rectangle and outside the one inset by `width` whose corners have
// radius max(0, radius - width).
void FrameRoundRect(PixelBuffer& buffer, float left, float top, float right, float bottom, float radius,
                    float width, uint32_t colour);
// A rectangle with round top corners and square bottom ones, plus concave quarter-circle flares of the
// same radius outside both bottom corners, so the shape joins a baseline at `bottom` smoothly.
void FillTabShape(PixelBuffer& buffer, float left, float top, float right, float bottom, float radius,
                  uint32_t colour);
// A line of the given width through the points (closed: back to the first), round ends and joins.
void StrokePolyline(PixelBuffer& buffer, const PointF* points, int32_t count, bool closed, float width,
                    uint32_t colour);
// Filled circle: coverage clamp(radius - distance + 0.5, 0, 1) at each pixel centre.
void FillDisc(PixelBuffer& buffer, float cx, float cy, float radius, uint32_t colour, float opacity = 1.0f);
// Columns x0 .. x1 - 1 of rows y0 .. y1 - 1 blended towards the colour at smoothstep(t) with
// t = (x - x0 + 0.5) / (x1 - x0), or 1 - t when reversed: fades text out at a clipped edge.
void FadeRect(PixelBuffer& buffer, int32_t x0, int32_t x1, int32_t y0, int32_t y1, uint32_t colour,
              bool reversed);
// A 1-pixel border around (0, 0, width, height).
void FrameRect1px(PixelBuffer& buffer, int32_t width, int32_t height, uint32_t colour);

}  // namespace lumen::ui
