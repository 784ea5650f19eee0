// Counting matches through the 100,000-line document the way the find card does, one search after
// another from the end of the previous match. Bytes per second are the document's size per count.
#include <benchmark/benchmark.h>

#include <string>

#include "bench/engine_corpus.h"
#include "edit/document.h"
#include "edit/search.h"

namespace {

using quill::Document;

void CountMatches(benchmark::State& state, const std::string& needle, uint32_t flags) {
    Document* doc = bench::LoadDocument(bench::LargeText());
    int64_t count = 0;
    for (auto _ : state) {
        count = 0;
        int64_t from = 0, end = 0;
        while (quill::FindText(*doc, from, doc->Length(), needle.data(), static_cast<int64_t>(needle.size()),
                               flags, &end) >= 0) {
            ++count;
            from = end;
        }
        benchmark::DoNotOptimize(count);
    }
    state.counters["matches"] = static_cast<double>(count);
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * doc->Length());
    doc->Release();
}

void CountFox(benchmark::State& state) {
    CountMatches(state, "fox", 0);
}
void CountFoxMatchCase(benchmark::State& state) {
    CountMatches(state, "fox", quill::SCFIND_MATCHCASE);
}
void CountFoxWholeWord(benchmark::State& state) {
    CountMatches(state, "fox", quill::SCFIND_WHOLEWORD);
}
void CountRareWord(benchmark::State& state) {
    CountMatches(state, "Line 99999:", 0);
}
void CountHangul(benchmark::State& state) {
    CountMatches(state, "텍스트", 0);
}
void CountHangulMatchCase(benchmark::State& state) {
    CountMatches(state, "텍스트", quill::SCFIND_MATCHCASE);
}
BENCHMARK(CountFox)->Unit(benchmark::kMillisecond);
BENCHMARK(CountFoxMatchCase)->Unit(benchmark::kMillisecond);
BENCHMARK(CountFoxWholeWord)->Unit(benchmark::kMillisecond);
BENCHMARK(CountRareWord)->Unit(benchmark::kMillisecond);
BENCHMARK(CountHangul)->Unit(benchmark::kMillisecond);
BENCHMARK(CountHangulMatchCase)->Unit(benchmark::kMillisecond);

}  // namespace
