// Layout, wrapping and view upkeep with the fixed-width font (no system calls): what the editor
// costs on top of the system's text drawing. Build with -DLUMENPAD_BENCH=ON and run lumen_bench.
#include <benchmark/benchmark.h>

#include <memory>
#include <string>

#include "edit/document.h"
#include "edit/font_fixed.h"
#include "edit/layout.h"
#include "edit/view.h"
#include "edit/wrap_index.h"

namespace quill {
namespace {

std::string U8(const char8_t* s) {
    return std::string(reinterpret_cast<const char*>(s));
}

std::unique_ptr<FontSet> Fonts() {
    auto fonts = std::make_unique<FontSet>(std::make_unique<FixedFontSource>());
    FontDesc desc;
    desc.height = -16;
    fonts->Apply(desc);
    return fonts;
}

std::string TypicalLine() {
    return U8(u8"루멘판 성능 시험 줄 12345 The quick brown fox jumps over the lazy dog, again.\t0123456789");
}

std::string TwoMegabyteLine() {
    std::string line;
    while (line.size() < (2u << 20))
        line += U8(u8"가나다라마바사 abcdefg 0123456789 ");
    return line;
}

void BM_LayoutTypicalLine(benchmark::State& state) {
    auto fonts = Fonts();
    const std::string line = TypicalLine();
    LineLayout l;
    const LayoutParams params{8, static_cast<int32_t>(state.range(0)), 900};
    for (auto _ : state) {
        BuildLineLayout(l, line.data(), static_cast<int32_t>(line.size()), 2, params, *fonts);
        benchmark::DoNotOptimize(l.chars.data());
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(line.size()));
}
BENCHMARK(BM_LayoutTypicalLine)->Arg(kWrapNone)->Arg(kWrapWord);

void BM_Layout2MBLine(benchmark::State& state) {
    auto fonts = Fonts();
    const std::string line = TwoMegabyteLine();
    LineLayout l;
    const LayoutParams params{8, static_cast<int32_t>(state.range(0)), 900};
    for (auto _ : state) {
        BuildLineLayout(l, line.data(), static_cast<int32_t>(line.size()), 0, params, *fonts);
        benchmark::DoNotOptimize(l.chars.data());
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(line.size()));
}
BENCHMARK(BM_Layout2MBLine)->Arg(kWrapNone)->Arg(kWrapWord)->Unit(benchmark::kMillisecond);

// One character typed and deleted again in a 2 MB line, patched in place; range(1) is the
// position as a fraction of 4 (0 start, 2 middle, 4 end).
void BM_Patch2MBLine(benchmark::State& state) {
    auto fonts = Fonts();
    const std::string line = TwoMegabyteLine();
    LineLayout l;
    const LayoutParams params{8, static_cast<int32_t>(state.range(0)), 900};
    BuildLineLayout(l, line.data(), static_cast<int32_t>(line.size()), 0, params, *fonts);
    uint32_t at = static_cast<uint32_t>(line.size() * static_cast<size_t>(state.range(1)) / 4);
    at = l.offsets[l.UnitOfOffset(at)];
    for (auto _ : state) {
        PatchLineLayout(l, true, at, "x", 1, params, *fonts);
        PatchLineLayout(l, false, at, nullptr, 1, params, *fonts);
    }
    state.SetItemsProcessed(static_cast<int64_t>(state.iterations()) * 2);
}
BENCHMARK(BM_Patch2MBLine)
    ->Args({kWrapNone, 0})
    ->Args({kWrapNone, 2})
    ->Args({kWrapNone, 4})
    ->Args({kWrapWord, 0})
    ->Args({kWrapWord, 2})
    ->Args({kWrapWord, 4})
    ->Unit(benchmark::kMicrosecond);

void BM_WrapIndexFind(benchmark::State& state) {
    WrapIndex index;
    index.Reset(100000, [](int64_t i) { return static_cast<uint32_t>(1 + i % 3); });
    const int64_t total = index.TotalRows();
    int64_t row = 0, line = 0;
    int32_t within = 0;
    for (auto _ : state) {
        row = (row + 7919) % total;
        index.Find(row, &line, &within);
        benchmark::DoNotOptimize(line);
    }
}
BENCHMARK(BM_WrapIndexFind);

struct NullHost : ViewHost {
    void StartTimer(int, uint32_t) override {}
    void StopTimer(int) override {}
    void InvalidateAll() override {}
    void InvalidateRect(int32_t, int32_t, int32_t, int32_t) override {}
    bool ScrollPixels(int32_t) override { return true; }
    void SetScrollBar(bool, const ScrollValues&) override {}
    int32_t Dpi() override { return 96; }
};

std::unique_ptr<View> ViewWith(const std::string& text, int32_t wrapMode) {
    auto view = std::make_unique<View>(std::make_unique<NullHost>(),
                                       [] { return std::make_unique<FixedFontSource>(); });
    view->SetClientSize(980, 700);
    view->GetDocument()->InsertString(0, text.data(), static_cast<int64_t>(text.size()));
    view->SetWrapMode(wrapMode);
    view->FinishWrapping();
    return view;
}

std::string HundredThousandLines() {
    std::string text;
    for (int i = 0; i < 100000; ++i)
        text += TypicalLine() + std::to_string(i) + "\r\n";
    return text;
}

// Wrapping every line of a 100,000-line document (the background wrapper's whole job).
void BM_RewrapHundredThousandLines(benchmark::State& state) {
    auto view = ViewWith(HundredThousandLines(), kWrapNone);
    for (auto _ : state) {
        view->SetWrapMode(kWrapWord);
        view->FinishWrapping();
        view->SetWrapMode(kWrapNone);
    }
}
BENCHMARK(BM_RewrapHundredThousandLines)->Unit(benchmark::kMillisecond);

// A character typed in the middle of a 100,000-line document and the changed line laid out.
void BM_ViewTypeInMiddle(benchmark::State& state) {
    auto view = ViewWith(HundredThousandLines(), static_cast<int32_t>(state.range(0)));
    Document* doc = view->GetDocument();
    const int64_t at = doc->LineStart(50000) + 10;
    for (auto _ : state) {
        doc->InsertString(at, "x", 1);
        benchmark::DoNotOptimize(view->LayoutLine(50000).chars.data());
        doc->DeleteChars(at, 1);
        benchmark::DoNotOptimize(view->LayoutLine(50000).chars.data());
    }
    state.SetItemsProcessed(static_cast<int64_t>(state.iterations()) * 2);
}
BENCHMARK(BM_ViewTypeInMiddle)->Arg(kWrapNone)->Arg(kWrapWord)->Unit(benchmark::kMicrosecond);

// A character typed and deleted again in a 2 MB single line through the view (patch, row upkeep
// and the line laid out for painting); range(1) is the position as a fraction of 4.
void BM_ViewType2MBLine(benchmark::State& state) {
    auto view = ViewWith(TwoMegabyteLine(), static_cast<int32_t>(state.range(0)));
    Document* doc = view->GetDocument();
    const int64_t at =
        doc->MovePositionOutsideChar(doc->Length() * static_cast<int64_t>(state.range(1)) / 4, 1);
    benchmark::DoNotOptimize(view->LayoutLine(0).chars.data());
    for (auto _ : state) {
        doc->InsertString(at, "x", 1);
        benchmark::DoNotOptimize(view->LayoutLine(0).chars.data());
        doc->DeleteChars(at, 1);
        benchmark::DoNotOptimize(view->LayoutLine(0).chars.data());
    }
    state.SetItemsProcessed(static_cast<int64_t>(state.iterations()) * 2);
}
BENCHMARK(BM_ViewType2MBLine)
    ->Args({kWrapNone, 0})
    ->Args({kWrapNone, 4})
    ->Args({kWrapWord, 0})
    ->Args({kWrapWord, 4})
    ->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace quill
