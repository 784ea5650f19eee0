#include "ui/raster.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstring>
#include <vector>

namespace lumen::ui {
namespace {

// Coordinates far outside any bitmap are pinned here before they become integers, so huge or
// infinite extents cannot overflow a conversion (anything past the clip is skipped anyway).
constexpr float kFar = 1 << 30;

int32_t FloorI(float v) {
    return static_cast<int32_t>(std::floor(std::clamp(v, -kFar, kFar)));
}
int32_t CeilI(float v) {
    return static_cast<int32_t>(std::ceil(std::clamp(v, -kFar, kFar)));
}
float Clamp01(float v) {
    return v <= 0.0f ? 0.0f : (v >= 1.0f ? 1.0f : v);
}

// How much of the unit interval [i, i + 1] lies inside [lo, hi].
float Overlap(int32_t i, float lo, float hi) {
    const float f = static_cast<float>(i);
    return Clamp01(std::min(f + 1.0f, hi) - std::max(f, lo));
}

// The blend weight of a coverage: 0 leaves the pixel, 256 replaces it.
uint32_t Weight(float coverage) {
    if (!(coverage > 0.0f)) return 0;
    if (coverage >= 1.0f) return 256;
    return static_cast<uint32_t>(coverage * 256.0f);
}

void Put(uint32_t* p, uint32_t pixel, float coverage) {
    const uint32_t w = Weight(coverage);
    if (w == 256) {
        *p = pixel;
    } else if (w != 0) {
        *p = BlendPixel(*p, pixel, w);
    }
}

void Span(uint32_t* row, int32_t x0, int32_t x1, uint32_t pixel, uint32_t w) {
    if (x0 >= x1 || w == 0) return;
    uint32_t* p = row + x0;
    const int32_t n = x1 - x0;
    if (w >= 256) {
        std::fill_n(p, n, pixel);
        return;
    }
    // Blending a constant colour: the weighted source part is the same for every pixel.
    const uint32_t keep = 256 - w;
    const uint32_t srcRb = (pixel & 0xFF00FF) * w;
    const uint32_t srcG = (pixel & 0xFF00) * w;
    auto blend = [=](uint32_t d) {
        return ((((d & 0xFF00FF) * keep + srcRb) >> 8) & 0xFF00FF) |
               ((((d & 0xFF00) * keep + srcG) >> 8) & 0xFF00);
    };
    // Four columns per step: a fixed-width block the compiler turns into one vector operation.
    int32_t i = 0;
    for (; i + 4 <= n; i += 4) {
        for (int32_t k = 0; k < 4; ++k)
            p[i + k] = blend(p[i + k]);
    }
    for (; i < n; ++i)
        p[i] = blend(p[i]);
}

PixelRect EffectiveClip(const PixelBuffer& b) {
    PixelRect c = b.clip;
    c.left = std::max(c.left, 0);
    c.top = std::max(c.top, 0);
    c.right = std::min(c.right, b.width);
    c.bottom = std::min(c.bottom, b.height);
    if (!b.pixels || c.left >= c.right || c.top >= c.bottom) return PixelRect{};
    return c;
}

uint32_t* Row(PixelBuffer& b, int32_t y) {
    return b.pixels + static_cast<std::ptrdiff_t>(y) * b.stride;
}

// What a shape covers on one row: columns [lo, hi) may be touched; within [flatLo, flatHi) the
// coverage is the constant flatCov (filled as a span), elsewhere the shape is asked per pixel.
struct RowSpan {
    int32_t lo = 0, hi = 0;
    int32_t flatLo = 0, flatHi = 0;
    float flatCov = 0.0f;
};

constexpr int32_t kAll = 1 << 30;

// Drives a shape over rows y0 .. y1 - 1: shape.Row(y) sets up the row and returns its RowSpan,
// shape.At(x) gives the coverage of one pixel of that row.
template <class Shape>
void Rasterise(PixelBuffer& b, int32_t y0, int32_t y1, uint32_t colour, float opacity, Shape& shape) {
    const PixelRect clip = EffectiveClip(b);
    if (clip.left >= clip.right || !(opacity > 0.0f)) return;
    const uint32_t pixel = PixelFromColour(colour);
    for (int32_t y = std::max(y0, clip.top); y < std::min(y1, clip.bottom); ++y) {
        const RowSpan s = shape.Row(y);
        const int32_t lo = std::max(s.lo, clip.left);
        const int32_t hi = std::min(s.hi, clip.right);
        if (lo >= hi) continue;
        const int32_t flatLo = std::clamp(s.flatLo, lo, hi);
        const int32_t flatHi = std::clamp(s.flatHi, flatLo, hi);
        uint32_t* row = Row(b, y);
        for (int32_t x = lo; x < flatLo; ++x)
            Put(row + x, pixel, shape.At(x) * opacity);
        Span(row, flatLo, flatHi, pixel, Weight(s.flatCov * opacity));
        for (int32_t x = flatHi; x < hi; ++x)
            Put(row + x, pixel, shape.At(x) * opacity);
    }
}

// A rectangle with circular corners: area coverage of the pixel, limited in the corner bands by the
// distance of the pixel centre from the corner circle.
struct RoundRectShape {
    float l, t, r, b, rad;
    bool roundBottom;
    bool empty;
    // Row state.
    float cy = 0, vy = 0, cornerY = 0;
    bool band = false;

    RoundRectShape(float left, float top, float right, float bottom, float radius, bool roundBottomCorners)
        : l(left), t(top), r(right), b(bottom), roundBottom(roundBottomCorners) {
        empty = !(r > l) || !(b > t);
        const float limit = empty ? 0.0f : std::min((r - l) / 2, roundBottom ? (b - t) / 2 : b - t);
        rad = std::clamp(std::isfinite(radius) ? radius : 0.0f, 0.0f, limit);
    }

    RowSpan Row(int32_t y) {
        RowSpan s;
        cy = static_cast<float>(y) + 0.5f;
        vy = empty ? 0.0f : Overlap(y, t, b);
        if (vy <= 0.0f) {
            // Nothing of the shape on this row: zero everywhere, as one span.
            s.lo = s.flatLo = -kAll;
            s.hi = s.flatHi = kAll;
            return s;
        }
        s.lo = FloorI(l);
        s.hi = CeilI(r);
        band = cy < t + rad || (roundBottom && cy > b - rad);
        cornerY = cy < t + rad ? t + rad : b - rad;
        s.flatLo = CeilI(l);
        s.flatHi = FloorI(r);
        s.flatCov = vy;
        if (band) {
            s.flatLo = std::max(s.flatLo, CeilI(l + rad - 0.5f));
            s.flatHi = std::min(s.flatHi, FloorI(r - rad - 0.5f) + 1);
            s.flatCov = std::min(vy, Clamp01(0.5f + rad - std::fabs(cy - cornerY)));
        }
        s.flatHi = std::max(s.flatHi, s.flatLo);
        return s;
    }

    float At(int32_t x) const {
        float a = Overlap(x, l, r) * vy;
        if (band && a > 0.0f) {
            const float cx = static_cast<float>(x) + 0.5f;
            const float px = std::clamp(cx, l + rad, r - rad);
            const float d = std::hypot(cx - px, cy - cornerY);
            a = std::min(a, Clamp01(0.5f - (d - rad)));
        }
        return a;
    }
};

// Outer rounded rectangle minus the inner one.
struct FrameShape {
    RoundRectShape outer, inner;

    RowSpan Row(int32_t y) {
        RowSpan o = outer.Row(y);
        const RowSpan i = inner.Row(y);
        o.flatLo = std::max(o.flatLo, i.flatLo);
        o.flatHi = std::max(o.flatLo, std::min(o.flatHi, i.flatHi));
        o.flatCov = std::max(0.0f, o.flatCov - i.flatCov);
        return o;
    }
    float At(int32_t x) const { return std::max(0.0f, outer.At(x) - inner.At(x)); }
};

// A rounded rectangle with square bottom corners and concave flares outside them.
struct TabShape {
    RoundRectShape body;
    float fv = 0, flareY = 0;

    RowSpan Row(int32_t y) {
        RowSpan s = body.Row(y);
        if (body.vy <= 0.0f) return RowSpan{};
        const float fy = static_cast<float>(y);
        fv = Overlap(y, body.b - body.rad, body.b);
        flareY = (std::max(fy, body.b - body.rad) + std::min(fy + 1.0f, body.b)) / 2;
        s.lo = FloorI(body.l - body.rad);
        s.hi = CeilI(body.r + body.rad);
        return s;
    }

    // The part of the pixel inside the flare's square, times how far outside the circle the centre
    // of that part lies (the pixel centre itself may sit in the body, far from the curve).
    float Flare(int32_t x, float from, float to, float centreX) const {
        const float a = fv * Overlap(x, from, to);
        if (a <= 0.0f) return 0.0f;
        const float fx = static_cast<float>(x);
        const float px = (std::max(fx, from) + std::min(fx + 1.0f, to)) / 2;
        const float d = std::hypot(px - centreX, flareY - (body.b - body.rad));
        return a * Clamp01(d - body.rad + 0.5f);
    }

    float At(int32_t x) const {
        const float rad = body.rad;
        return Clamp01(body.At(x) + Flare(x, body.l - rad, body.l, body.l - rad) +
                       Flare(x, body.r, body.r + rad, body.r + rad));
    }
};

struct DiscShape {
    float cx, cy, rad;
    float dy = 0;

    RowSpan Row(int32_t y) {
        RowSpan s;
        dy = static_cast<float>(y) + 0.5f - cy;
        const float reach = rad + 0.5f;
        if (std::fabs(dy) >= reach) return s;
        const float half = std::sqrt(reach * reach - dy * dy);
        s.lo = FloorI(cx - half);
        s.hi = CeilI(cx + half);
        const float inner = rad - 0.5f;
        if (inner > std::fabs(dy)) {
            const float full = std::sqrt(inner * inner - dy * dy);
            s.flatLo = CeilI(cx - full - 0.5f);
            s.flatHi = FloorI(cx + full - 0.5f) + 1;
            s.flatCov = 1.0f;
        }
        return s;
    }
    float At(int32_t x) const {
        return Clamp01(rad - std::hypot(static_cast<float>(x) + 0.5f - cx, dy) + 0.5f);
    }
};

struct Segment {
    float ax, ay, dx, dy, invLen2, top, bottom;  // top/bottom: the rows the segment's stroke can reach
};

struct StrokeShape {
    std::vector<Segment> segments;
    std::vector<const Segment*> near;  // those reaching the current row
    int32_t lo = 0, hi = 0;
    float half = 0, cy = 0;

    RowSpan Row(int32_t y) {
        cy = static_cast<float>(y) + 0.5f;
        near.clear();
        for (const Segment& s : segments) {
            if (cy >= s.top && cy <= s.bottom) near.push_back(&s);
        }
        RowSpan r;
        if (!near.empty()) {
            r.lo = lo;
            r.hi = hi;
        }
        return r;
    }

    float At(int32_t x) const {
        const float cx = static_cast<float>(x) + 0.5f;
        float best = 3.4e38f;
        for (const Segment* s : near) {
            const float px = cx - s->ax, py = cy - s->ay;
            const float k = std::clamp((px * s->dx + py * s->dy) * s->invLen2, 0.0f, 1.0f);
            const float ex = px - k * s->dx, ey = py - k * s->dy;
            best = std::min(best, ex * ex + ey * ey);
        }
        return Clamp01(half - std::sqrt(best) + 0.5f);
    }
};

}  // namespace

void FillRect(PixelBuffer& buffer, const PixelRect& rect, uint32_t colour) {
    const PixelRect c = EffectiveClip(buffer);
    const int32_t x0 = std::max(rect.left, c.left), x1 = std::min(rect.right, c.right);
    const int32_t y0 = std::max(rect.top, c.top), y1 = std::min(rect.bottom, c.bottom);
    if (x0 >= x1 || y0 >= y1) return;
    const uint32_t pixel = PixelFromColour(colour);
    for (int32_t y = y0; y < y1; ++y) {
        if (pixel == 0) {
            std::memset(Row(buffer, y) + x0, 0, static_cast<size_t>(x1 - x0) * sizeof(uint32_t));
        } else {
            std::fill_n(Row(buffer, y) + x0, x1 - x0, pixel);
        }
    }
}

void BlendRect(PixelBuffer& buffer, const PixelRect& rect, uint32_t colour, float opacity) {
    const uint32_t w = Weight(opacity);
    if (w == 0) return;
    const PixelRect c = EffectiveClip(buffer);
    const int32_t x0 = std::max(rect.left, c.left), x1 = std::min(rect.right, c.right);
    const int32_t y0 = std::max(rect.top, c.top), y1 = std::min(rect.bottom, c.bottom);
    const uint32_t pixel = PixelFromColour(colour);
    for (int32_t y = y0; y < y1; ++y)
        Span(Row(buffer, y), x0, x1, pixel, w);
}

void FillRoundRect(PixelBuffer& buffer, float left, float top, float right, float bottom, float radius,
                   uint32_t colour, float opacity, bool roundBottom) {
    RoundRectShape shape(left, top, right, bottom, radius, roundBottom);
    if (shape.empty) return;
    Rasterise(buffer, FloorI(top), CeilI(bottom), colour, opacity, shape);
}

void FrameRoundRect(PixelBuffer& buffer, float left, float top, float right, float bottom, float radius,
                    float width, uint32_t colour) {
    if (!(width > 0.0f)) return;
    FrameShape shape{RoundRectShape(left, top, right, bottom, radius, true),
                     RoundRectShape(left + width, top + width, right - width, bottom - width,
                                    std::max(0.0f, radius - width), true)};
    if (shape.outer.empty) return;
    Rasterise(buffer, FloorI(top), CeilI(bottom), colour, 1.0f, shape);
}

void FillTabShape(PixelBuffer& buffer, float left, float top, float right, float bottom, float radius,
                  uint32_t colour) {
    TabShape shape{RoundRectShape(left, top, right, bottom, radius, false)};
    if (shape.body.empty) return;
    Rasterise(buffer, FloorI(top), CeilI(bottom), colour, 1.0f, shape);
}

void StrokePolyline(PixelBuffer& buffer, const PointF* points, int32_t count, bool closed, float width,
                    uint32_t colour) {
    if (!points || count <= 0 || !(width > 0.0f) || !std::isfinite(width)) return;
    StrokeShape shape;
    shape.half = width / 2;
    const float reach = shape.half + 0.5f;
    float minX = 1e9f, minY = 1e9f, maxX = -1e9f, maxY = -1e9f;
    for (int32_t i = 0; i < count; ++i) {
        if (!std::isfinite(points[i].x) || !std::isfinite(points[i].y)) return;
        minX = std::min(minX, points[i].x);
        maxX = std::max(maxX, points[i].x);
        minY = std::min(minY, points[i].y);
        maxY = std::max(maxY, points[i].y);
    }
    const int32_t segments = count == 1 ? 1 : (closed && count > 2 ? count : count - 1);
    shape.segments.reserve(static_cast<size_t>(segments));
    for (int32_t i = 0; i < segments; ++i) {
        const PointF a = points[i], b = points[(i + 1) % count];
        Segment s{a.x,
                  a.y,
                  b.x - a.x,
                  b.y - a.y,
                  0.0f,
                  std::min(a.y, b.y) - reach - 0.5f,
                  std::max(a.y, b.y) + reach + 0.5f};
        const float len2 = s.dx * s.dx + s.dy * s.dy;
        s.invLen2 = len2 > 0.0f ? 1.0f / len2 : 0.0f;
        shape.segments.push_back(s);
    }
    shape.lo = FloorI(minX - width);
    shape.hi = CeilI(maxX + width);
    Rasterise(buffer, FloorI(minY - width), CeilI(maxY + width), colour, 1.0f, shape);
}

void FillDisc(PixelBuffer& buffer, float cx, float cy, float radius, uint32_t colour, float opacity) {
    if (!(radius > 0.0f) || !std::isfinite(cx) || !std::isfinite(cy) || !std::isfinite(radius)) return;
    DiscShape shape{cx, cy, radius};
    Rasterise(buffer, FloorI(cy - radius - 0.5f), CeilI(cy + radius + 0.5f), colour, opacity, shape);
}

void FadeRect(PixelBuffer& buffer, int32_t x0, int32_t x1, int32_t y0, int32_t y1, uint32_t colour,
              bool reversed) {
    const PixelRect c = EffectiveClip(buffer);
    const int32_t cx0 = std::max(x0, c.left), cx1 = std::min(x1, c.right);
    const int32_t cy0 = std::max(y0, c.top), cy1 = std::min(y1, c.bottom);
    if (x0 >= x1 || cx0 >= cx1 || cy0 >= cy1) return;
    std::vector<uint16_t> weights(static_cast<size_t>(cx1 - cx0));
    const double n = static_cast<double>(x1) - x0;
    for (int32_t x = cx0; x < cx1; ++x) {
        double t = (static_cast<double>(x) - x0 + 0.5) / n;
        if (reversed) t = 1.0 - t;
        weights[static_cast<size_t>(x - cx0)] =
            static_cast<uint16_t>(Weight(static_cast<float>(t * t * (3 - 2 * t))));
    }
    const uint32_t pixel = PixelFromColour(colour);
    for (int32_t y = cy0; y < cy1; ++y) {
        uint32_t* p = Row(buffer, y) + cx0;
        for (int32_t i = 0; i < cx1 - cx0; ++i) {
            const uint32_t w = weights[static_cast<size_t>(i)];
            p[i] = w >= 256 ? pixel : BlendPixel(p[i], pixel, w);
        }
    }
}

void FrameRect1px(PixelBuffer& buffer, int32_t width, int32_t height, uint32_t colour) {
    if (width <= 0 || height <= 0) return;
    FillRect(buffer, {0, 0, width, 1}, colour);
    FillRect(buffer, {0, height - 1, width, height}, colour);
    FillRect(buffer, {0, 1, 1, height - 1}, colour);
    FillRect(buffer, {width - 1, 1, width, height - 1}, colour);
}

}  // namespace lumen::ui
