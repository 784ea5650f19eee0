// What a screen reader's range calls cost on the 100,000-line document: the whole text in UTF-16
// (what GetText(-1) hands out), and walking the document by lines and by words.
#include <benchmark/benchmark.h>

#include <climits>

#include "bench/engine_corpus.h"
#include "edit/text_units.h"

namespace {

using quill::Document;
using quill::TextSpan;

void WholeTextAsUtf16(benchmark::State& state) {
    Document* doc = bench::LoadDocument(bench::LargeText());
    size_t units = 0;
    for (auto _ : state) {
        units = quill::SpanText(*doc, {0, doc->Length()}, -1).size();
        benchmark::DoNotOptimize(units);
    }
    state.counters["units"] = static_cast<double>(units);
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * doc->Length());
    doc->Release();
}

// A degenerate range moved to the end in one call, as Move(unit, INT_MAX) does.
void MoveToEnd(benchmark::State& state, int unit) {
    Document* doc = bench::LoadDocument(bench::LargeText());
    int32_t moved = 0;
    for (auto _ : state) {
        TextSpan span{0, 0};
        moved = quill::MoveSpan(*doc, unit, &span, INT_MAX);
        benchmark::DoNotOptimize(span);
    }
    state.counters["units"] = moved;
    doc->Release();
}

void MoveByLinesToEnd(benchmark::State& state) {
    MoveToEnd(state, quill::kUnitLine);
}
void MoveByWordsToEnd(benchmark::State& state) {
    MoveToEnd(state, quill::kUnitWord);
}

}  // namespace

BENCHMARK(WholeTextAsUtf16)->Unit(benchmark::kMillisecond);
BENCHMARK(MoveByLinesToEnd)->Unit(benchmark::kMillisecond);
BENCHMARK(MoveByWordsToEnd)->Unit(benchmark::kMillisecond);
