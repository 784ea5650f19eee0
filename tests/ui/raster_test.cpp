// The anti-aliased primitives against an independent reference: the exact area of the shape in each
// pixel, estimated from 16 x 16 point samples (error below 1/16 per edge crossing). Shapes are
// drawn in white on black, so a channel / 255 is the coverage the primitive gave the pixel.
#include "ui/raster.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <functional>
#include <random>
#include <vector>

namespace lumen::ui {
namespace {

constexpr int32_t kW = 100, kH = 64;

struct Canvas {
    std::vector<uint32_t> px;
    explicit Canvas(uint32_t fill = 0) : px(kW * kH, fill) {}
    PixelBuffer Buffer(PixelRect clip = {0, 0, kW, kH}) { return PixelBuffer{px.data(), kW, kH, kW, clip}; }
    uint32_t At(int32_t x, int32_t y) const { return px[static_cast<size_t>(y * kW + x)]; }
    double Coverage(int32_t x, int32_t y) const { return (At(x, y) & 0xFF) / 255.0; }
};

using Inside = std::function<bool(double x, double y)>;
using Draw = std::function<void(PixelBuffer&)>;

double ReferenceCoverage(const Inside& inside, int32_t x, int32_t y) {
    int hits = 0;
    for (int j = 0; j < 16; ++j) {
        for (int i = 0; i < 16; ++i)
            hits += inside(x + (i + 0.5) / 16, y + (j + 0.5) / 16);
    }
    return hits / 256.0;
}

// The shapes as point sets, written from their definitions (not from the rasteriser's formulas).
Inside RoundRect(double l, double t, double r, double b, double radius, bool roundBottom = true) {
    radius = std::clamp(radius, 0.0, std::min((r - l) / 2, roundBottom ? (b - t) / 2 : b - t));
    return [=](double x, double y) {
        if (x < l || x > r || y < t || y > b) return false;
        const double px = std::clamp(x, l + radius, r - radius);
        const double py = std::clamp(y, t + radius, roundBottom ? b - radius : b);
        return std::hypot(x - px, y - py) <= radius;
    };
}

Inside Frame(double l, double t, double r, double b, double radius, double width) {
    Inside outer = RoundRect(l, t, r, b, radius);
    Inside inner = RoundRect(l + width, t + width, r - width, b - width, std::max(0.0, radius - width));
    return [=](double x, double y) { return outer(x, y) && !inner(x, y); };
}

Inside Tab(double l, double t, double r, double b, double radius) {
    Inside body = RoundRect(l, t, r, b, radius, false);
    return [=](double x, double y) {
        if (body(x, y)) return true;
        if (y < b - radius || y > b) return false;
        if (x >= l - radius && x <= l) return std::hypot(x - (l - radius), y - (b - radius)) >= radius;
        if (x >= r && x <= r + radius) return std::hypot(x - (r + radius), y - (b - radius)) >= radius;
        return false;
    };
}

Inside Disc(double cx, double cy, double radius) {
    return [=](double x, double y) { return std::hypot(x - cx, y - cy) <= radius; };
}

Inside Polyline(std::vector<PointF> points, bool closed, double width) {
    if (closed) points.push_back(points.front());
    return [=](double x, double y) {
        for (size_t i = 0; i + 1 < points.size(); ++i) {
            const double ax = points[i].x, ay = points[i].y;
            const double dx = points[i + 1].x - ax, dy = points[i + 1].y - ay;
            const double k = std::clamp(((x - ax) * dx + (y - ay) * dy) / (dx * dx + dy * dy), 0.0, 1.0);
            if (std::hypot(x - ax - k * dx, y - ay - k * dy) <= width / 2) return true;
        }
        return false;
    };
}

struct ShapeCase {
    const char* name;
    Draw draw;
    Inside inside;
    double maxError;  // per pixel, in coverage
    double opacity = 1.0;
};

std::vector<ShapeCase> Shapes() {
    const std::vector<PointF> check{{20.3f, 30.1f}, {32.6f, 44.2f}, {70.2f, 12.7f}};
    const std::vector<PointF> triangle{{15, 50}, {50.5f, 6.5f}, {88.2f, 55.4f}};
    // Straight edges are exact up to the blend's rounding; curves are judged by distance from the
    // pixel centre, within 7 % of a pixel of the true area (10 % where a flare meets a fractional edge).
    // Strokes take the distance to the nearest segment, which undercounts inside sharp joins, where two
    // segments share a pixel.
    return {
        {"round rect", [](PixelBuffer& b) { FillRoundRect(b, 20, 10, 80, 50, 6, 0xFFFFFF); },
         RoundRect(20, 10, 80, 50, 6), 0.07},
        {"fractional edges",
         [](PixelBuffer& b) { FillRoundRect(b, 10.5f, 7.25f, 60.75f, 40.5f, 8.3f, 0xFFFFFF); },
         RoundRect(10.5, 7.25, 60.75, 40.5, 8.3), 0.07},
        {"radius 0", [](PixelBuffer& b) { FillRoundRect(b, 10.3f, 5.6f, 70.8f, 33.1f, 0, 0xFFFFFF); },
         RoundRect(10.3, 5.6, 70.8, 33.1, 0), 0.03},
        {"square bottom", [](PixelBuffer& b) { FillRoundRect(b, 12, 8.5f, 64, 44, 10, 0xFFFFFF, 1, false); },
         RoundRect(12, 8.5, 64, 44, 10, false), 0.07},
        {"radius past half", [](PixelBuffer& b) { FillRoundRect(b, 10, 10.5f, 90, 30.5f, 50, 0xFFFFFF); },
         RoundRect(10, 10.5, 90, 30.5, 50), 0.07},
        {"tiny rect", [](PixelBuffer& b) { FillRoundRect(b, 10.2f, 10.3f, 10.5f, 10.6f, 0, 0xFFFFFF); },
         RoundRect(10.2, 10.3, 10.5, 10.6, 0), 0.03},
        {"huge rect", [](PixelBuffer& b) { FillRoundRect(b, -1e7f, -1e7f, 1e7f, 1e7f, 1e6f, 0xFFFFFF); },
         RoundRect(-1e7, -1e7, 1e7, 1e7, 1e6), 0.01},
        {"frame", [](PixelBuffer& b) { FrameRoundRect(b, 10, 8, 70, 50, 7, 2, 0xFFFFFF); },
         Frame(10, 8, 70, 50, 7, 2), 0.07},
        {"frame, fractional",
         [](PixelBuffer& b) { FrameRoundRect(b, 10.5f, 8.25f, 70.5f, 50.75f, 4, 1.5f, 0xFFFFFF); },
         Frame(10.5, 8.25, 70.5, 50.75, 4, 1.5), 0.07},
        {"frame, square hole", [](PixelBuffer& b) { FrameRoundRect(b, 20, 10, 50, 40, 2, 3, 0xFFFFFF); },
         Frame(20, 10, 50, 40, 2, 3), 0.07},
        {"frame, radius 0", [](PixelBuffer& b) { FrameRoundRect(b, 20, 10, 50, 40, 0, 1, 0xFFFFFF); },
         Frame(20, 10, 50, 40, 0, 1), 0.03},
        {"tab", [](PixelBuffer& b) { FillTabShape(b, 20, 10, 70, 40, 8, 0xFFFFFF); }, Tab(20, 10, 70, 40, 8),
         0.07},
        {"tab, fractional",
         [](PixelBuffer& b) { FillTabShape(b, 20.5f, 10.25f, 70.5f, 40.75f, 6.5f, 0xFFFFFF); },
         Tab(20.5, 10.25, 70.5, 40.75, 6.5), 0.1},
        {"disc", [](PixelBuffer& b) { FillDisc(b, 40.2f, 30.7f, 12.3f, 0xFFFFFF); }, Disc(40.2, 30.7, 12.3),
         0.07},
        {"small disc", [](PixelBuffer& b) { FillDisc(b, 20.5f, 20.5f, 3.5f, 0xFFFFFF); },
         Disc(20.5, 20.5, 3.5), 0.07},
        {"disc past the canvas", [](PixelBuffer& b) { FillDisc(b, 50, 5000, 4970.5f, 0xFFFFFF); },
         Disc(50, 5000, 4970.5), 0.07},
        {"check mark", [check](PixelBuffer& b) { StrokePolyline(b, check.data(), 3, false, 1.3f, 0xFFFFFF); },
         Polyline(check, false, 1.3), 0.25},
        {"closed triangle",
         [triangle](PixelBuffer& b) { StrokePolyline(b, triangle.data(), 3, true, 3, 0xFFFFFF); },
         Polyline(triangle, true, 3), 0.25},
        {"half opacity",
         [](PixelBuffer& b) { FillRoundRect(b, 10.5f, 7.25f, 60.75f, 40.5f, 8.3f, 0xFFFFFF, 0.5f); },
         RoundRect(10.5, 7.25, 60.75, 40.5, 8.3), 0.04, 0.5},
        {"fill",
         [](PixelBuffer& b) {
             FillRect(b, {-5, 3, 90, 70}, 0xFFFFFF);
         },
         RoundRect(-5, 3, 90, 70, 0), 0},
        {"blend",
         [](PixelBuffer& b) {
             BlendRect(b, {5, -3, 200, 50}, 0xFFFFFF, 0.5f);
         },
         RoundRect(5, -3, 200, 50, 0), 0.01, 0.5},
        {"1-pixel border", [](PixelBuffer& b) { FrameRect1px(b, 40, 20, 0xFFFFFF); },
         Frame(0, 0, 40, 20, 0, 1), 0}};
}

TEST(Raster, ShapesMatchTheirSupersampledArea) {
    for (const ShapeCase& s : Shapes()) {
        SCOPED_TRACE(s.name);
        Canvas c;
        PixelBuffer b = c.Buffer();
        s.draw(b);
        double worst = 0, drawn = 0, area = 0;
        std::pair<int32_t, int32_t> worstAt;
        for (int32_t y = 0; y < kH; ++y) {
            for (int32_t x = 0; x < kW; ++x) {
                const double want = ReferenceCoverage(s.inside, x, y) * s.opacity;
                const double got = c.Coverage(x, y);
                if (std::fabs(got - want) > worst) {
                    worst = std::fabs(got - want);
                    worstAt = {x, y};
                }
                drawn += got;
                area += want;
                ASSERT_EQ(c.At(x, y) >> 24, 0u);
                // Grey on every channel, as white at partial coverage must be.
                ASSERT_EQ(c.At(x, y), (c.At(x, y) & 0xFF) * 0x010101u) << x << "," << y;
            }
        }
        EXPECT_LE(worst, s.maxError + 2.0 / 255) << "at " << worstAt.first << "," << worstAt.second;
        EXPECT_NEAR(drawn, area, 0.01 * area + 0.05) << "total coverage";
    }
}

TEST(Raster, FractionalEdgeGetsHalfCoverage) {
    Canvas c;
    PixelBuffer b = c.Buffer();
    FillRoundRect(b, 10.5f, 4, 30, 40, 3, 0xFFFFFF, 1.0f, false);
    EXPECT_EQ(c.At(10, 20), 0x7F7F7Fu);  // w = 128: 255 * 128 >> 8
    EXPECT_EQ(c.At(9, 20), 0u);
    EXPECT_EQ(c.At(11, 20), 0xFFFFFFu);
    // The bottom corners are square: the last row is full up to both ends.
    EXPECT_EQ(c.At(11, 39), 0xFFFFFFu);
    EXPECT_EQ(c.At(29, 39), 0xFFFFFFu);
    EXPECT_LT(c.Coverage(11, 4), 0.5);  // the top corners are round
}

// The packed two-lane blend equals the per-channel rule d + (((s - d) * w) >> 8), with an arithmetic
// shift, for every weight; the fourth byte ends up 0.
TEST(Raster, BlendMatchesThePerChannelRule) {
    std::mt19937 random(7);
    for (int i = 0; i < 200000; ++i) {
        const uint32_t d = random(), s = random() & 0xFFFFFF, w = random() % 257;
        uint32_t expected = 0;
        for (int shift : {0, 8, 16}) {
            const int32_t dc = (d >> shift) & 0xFF, sc = (s >> shift) & 0xFF;
            expected |= static_cast<uint32_t>(dc + (((sc - dc) * static_cast<int32_t>(w)) >> 8)) << shift;
        }
        ASSERT_EQ(BlendPixel(d, s, w), expected) << std::hex << d << " " << s << " " << w;
    }
    // BlendRect takes trunc(opacity * 256) as the weight; colours come in as COLORREF.
    Canvas c(0x102030);
    PixelBuffer b = c.Buffer();
    BlendRect(b, {0, 0, 2, 2}, 0x0000FF /* red */, 0.5f);
    EXPECT_EQ(c.At(1, 1), 0x871018u);  // red 16 + (239 * 128 >> 8); green 32 - 16; blue 48 - 24
    EXPECT_EQ(c.At(2, 1), 0x102030u);
    FillRect(b, {0, 0, kW, kH}, 0);
    EXPECT_EQ(std::count(c.px.begin(), c.px.end(), 0u), kW * kH);
}

TEST(Raster, FadeFollowsSmoothstep) {
    Canvas c;
    PixelBuffer b = c.Buffer();
    FadeRect(b, 10, 30, 5, 8, 0xFFFFFF, false);
    FadeRect(b, 40, 60, 5, 8, 0xFFFFFF, true);
    for (int32_t x = 10; x < 30; ++x) {
        const double t = (x - 10 + 0.5) / 20;
        EXPECT_NEAR(c.Coverage(x, 6), t * t * (3 - 2 * t), 2.0 / 255) << x;
        EXPECT_EQ(c.At(x, 5), c.At(x, 7));
        EXPECT_EQ(c.At(x, 6), c.At(69 - x, 6));  // reversed is the mirror image
    }
    EXPECT_EQ(c.At(10, 4), 0u);
    EXPECT_EQ(c.At(10, 8), 0u);
}

// Every primitive drawn with a clip: inside the clip the same pixels as without one, outside it
// nothing changed. Clips cut each shape on every side; one reaches past the buffer.
TEST(Raster, ClippingWritesOnlyInsideTheClip) {
    const uint32_t sentinel = 0x00123456;
    std::vector<std::pair<const char*, Draw>> draws;
    for (const ShapeCase& s : Shapes())
        draws.emplace_back(s.name, s.draw);
    draws.emplace_back("fade", [](PixelBuffer& b) { FadeRect(b, 2, 95, -10, 90, 0xFFFFFF, true); });
    const PixelRect clips[] = {{13, 9, 71, 45}, {0, 0, 37, 21}, {31, 27, kW, kH}, {-20, -20, 500, 500}};
    for (const auto& [name, draw] : draws) {
        SCOPED_TRACE(name);
        Canvas whole(sentinel);
        PixelBuffer wb = whole.Buffer();
        draw(wb);
        for (const PixelRect& clip : clips) {
            Canvas clipped(sentinel);
            PixelBuffer cb = clipped.Buffer(clip);
            draw(cb);
            for (int32_t y = 0; y < kH; ++y) {
                for (int32_t x = 0; x < kW; ++x) {
                    const bool in = x >= clip.left && x < clip.right && y >= clip.top && y < clip.bottom;
                    ASSERT_EQ(clipped.At(x, y), in ? whole.At(x, y) : sentinel) << x << "," << y;
                }
            }
        }
    }
}

TEST(Raster, EmptyAndInvalidShapesDrawNothing) {
    const float nan = std::nanf(""), inf = INFINITY;
    const PointF points[] = {{10, 10}, {40, 30}}, badPoints[] = {{10, 10}, {nan, 30}};
    const std::pair<const char*, Draw> draws[] = {
        {"round rects",
         [nan](PixelBuffer& b) {
             FillRoundRect(b, 20, 10, 20, 40, 3, 0xFFFFFF);  // zero width
             FillRoundRect(b, 30, 10, 20, 40, 3, 0xFFFFFF);  // negative width
             FillRoundRect(b, 10, 40, 30, 10, 3, 0xFFFFFF);  // negative height
             FillRoundRect(b, 10, 10, 30, 40, 3, 0xFFFFFF, 0);
             FillRoundRect(b, nan, 10, 30, 40, 3, 0xFFFFFF);
             FillTabShape(b, 10, 40, 30, 40, 3, 0xFFFFFF);
         }},
        {"frames",
         [](PixelBuffer& b) {
             FrameRoundRect(b, 10, 10, 30, 40, 3, 0, 0xFFFFFF);
             FrameRoundRect(b, 10, 10, 30, 40, 3, -2, 0xFFFFFF);
             FrameRoundRect(b, 30, 10, 10, 40, 3, 1, 0xFFFFFF);
             FrameRect1px(b, 0, 30, 0xFFFFFF);
         }},
        {"discs",
         [inf](PixelBuffer& b) {
             FillDisc(b, 20, 20, 0, 0xFFFFFF);
             FillDisc(b, 20, 20, -3, 0xFFFFFF);
             FillDisc(b, inf, 20, 5, 0xFFFFFF);
         }},
        {"strokes",
         [&](PixelBuffer& b) {
             StrokePolyline(b, points, 0, false, 2, 0xFFFFFF);
             StrokePolyline(b, points, 2, false, 0, 0xFFFFFF);
             StrokePolyline(b, badPoints, 2, false, 2, 0xFFFFFF);
         }},
        {"rectangles and fades",
         [](PixelBuffer& b) {
             FadeRect(b, 20, 20, 0, 10, 0xFFFFFF, false);
             FadeRect(b, 30, 20, 0, 10, 0xFFFFFF, false);
             FillRect(b, {30, 10, 20, 40}, 0xFFFFFF);
             BlendRect(b, {0, 0, 40, 40}, 0xFFFFFF, 0);
         }},
        {"inverted clip",
         [](PixelBuffer& b) {
             b.clip = {50, 50, 10, 10};
             FillRoundRect(b, 0, 0, 90, 60, 3, 0xFFFFFF);
             FillDisc(b, 30, 30, 20, 0xFFFFFF);
         }},
        {"no pixels", [](PixelBuffer& b) {
             b.pixels = nullptr;
             FillRect(b, {0, 0, 10, 10}, 0xFFFFFF);
             FillRoundRect(b, 0, 0, 90, 60, 3, 0xFFFFFF);
         }}};
    for (const auto& [name, draw] : draws) {
        Canvas c(0x123456);
        PixelBuffer b = c.Buffer();
        draw(b);
        EXPECT_EQ(std::count(c.px.begin(), c.px.end(), 0x123456u), kW * kH) << name;
    }
}

}  // namespace
}  // namespace lumen::ui
