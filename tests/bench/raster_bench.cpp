// Fill rate of the anti-aliased primitives, in Mpixel/s of the shape's bounding box, beside a plain
// fill of the same rows (the floor: what writing those pixels costs at the least). Two sizes: a
// 400 x 300 panel and a 24 x 24 button, the sizes the toolkit's windows draw.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstring>
#include <vector>

#include "ui/raster.h"

namespace {

using namespace lumen::ui;

constexpr int32_t kSide = 512;

struct Box {
    float l, t, r, b;
    int64_t Pixels() const { return static_cast<int64_t>((r - l) * (b - t)); }
};

Box Size(const benchmark::State& state) {
    return state.range(0) == 0 ? Box{50.5f, 40.25f, 450.5f, 340.25f} : Box{100, 100, 124, 124};
}

template <class DrawFn>
void Run(benchmark::State& state, DrawFn draw) {
    std::vector<uint32_t> pixels(kSide * kSide, 0x202020);
    PixelBuffer buffer{pixels.data(), kSide, kSide, kSide, {0, 0, kSide, kSide}};
    const Box box = Size(state);
    for (auto _ : state) {
        draw(buffer, box);
        benchmark::ClobberMemory();
    }
    state.counters["Mpix/s"] = benchmark::Counter(
        static_cast<double>(box.Pixels()) * state.iterations() / 1e6, benchmark::Counter::kIsRate);
}

void RasterFloor(benchmark::State& state) {
    Run(state, [](PixelBuffer& b, const Box& x) {
        const int32_t left = static_cast<int32_t>(x.l), width = static_cast<int32_t>(x.r - x.l);
        for (int32_t y = static_cast<int32_t>(x.t); y < static_cast<int32_t>(x.b); ++y) {
            std::memset(b.pixels + y * b.stride + left, 0x33, static_cast<size_t>(width) * 4);
        }
    });
}
void RasterFill(benchmark::State& state) {
    Run(state, [](PixelBuffer& b, const Box& x) {
        FillRect(b, {int32_t(x.l), int32_t(x.t), int32_t(x.r), int32_t(x.b)}, 0x996633);
    });
}
void RasterBlend(benchmark::State& state) {
    Run(state, [](PixelBuffer& b, const Box& x) {
        BlendRect(b, {int32_t(x.l), int32_t(x.t), int32_t(x.r), int32_t(x.b)}, 0x996633, 0.3f);
    });
}
void RasterRoundRect(benchmark::State& state) {
    Run(state, [](PixelBuffer& b, const Box& x) { FillRoundRect(b, x.l, x.t, x.r, x.b, 6, 0x996633); });
}
void RasterRoundRectBlended(benchmark::State& state) {
    Run(state, [](PixelBuffer& b, const Box& x) { FillRoundRect(b, x.l, x.t, x.r, x.b, 6, 0x996633, 0.6f); });
}
void RasterFrame(benchmark::State& state) {
    Run(state, [](PixelBuffer& b, const Box& x) { FrameRoundRect(b, x.l, x.t, x.r, x.b, 7, 2, 0x996633); });
}
void RasterTab(benchmark::State& state) {
    Run(state, [](PixelBuffer& b, const Box& x) { FillTabShape(b, x.l, x.t, x.r, x.b, 8, 0x996633); });
}
void RasterDisc(benchmark::State& state) {
    Run(state, [](PixelBuffer& b, const Box& x) {
        FillDisc(b, (x.l + x.r) / 2, (x.t + x.b) / 2, std::min(x.r - x.l, x.b - x.t) / 2, 0x996633);
    });
}
void RasterPolyline(benchmark::State& state) {
    Run(state, [](PixelBuffer& b, const Box& x) {
        const float w = x.r - x.l, h = x.b - x.t;
        const PointF check[] = {{x.l, x.t + h * 0.55f}, {x.l + w * 0.35f, x.b}, {x.r, x.t}};
        StrokePolyline(b, check, 3, false, 1.3f, 0x996633);
    });
}
void RasterFade(benchmark::State& state) {
    Run(state, [](PixelBuffer& b, const Box& x) {
        FadeRect(b, int32_t(x.l), int32_t(x.r), int32_t(x.t), int32_t(x.b), 0x996633, false);
    });
}

}  // namespace

BENCHMARK(RasterFloor)->Arg(0)->Arg(1);
BENCHMARK(RasterFill)->Arg(0)->Arg(1);
BENCHMARK(RasterBlend)->Arg(0)->Arg(1);
BENCHMARK(RasterRoundRect)->Arg(0)->Arg(1);
BENCHMARK(RasterRoundRectBlended)->Arg(0)->Arg(1);
BENCHMARK(RasterFrame)->Arg(0)->Arg(1);
BENCHMARK(RasterTab)->Arg(0)->Arg(1);
BENCHMARK(RasterDisc)->Arg(0)->Arg(1);
BENCHMARK(RasterPolyline)->Arg(0)->Arg(1);
BENCHMARK(RasterFade)->Arg(0)->Arg(1);
