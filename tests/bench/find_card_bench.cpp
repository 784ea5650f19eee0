// The find card's work on the 100,000-line text of about 10 MB, through a view with no window:
// counting and highlighting "fox" (stopping at the cap), the same again over the highlights of the
// first count, and replacing every "fox" by "cat" as one undo step.
#include <benchmark/benchmark.h>

#include "bench/engine_corpus.h"
#include "bench/view_bench_support.h"
#include "edit/sci_messages.h"
#include "tools/find_search.h"

namespace {

void Recount(benchmark::State& state) {
    const auto view = bench::QuietView();
    view->Message(quill::SCI_SETTEXT, 0, reinterpret_cast<intptr_t>(bench::LargeText().c_str()));
    const lumen::EditorLink editor{bench::CallView, view.get()};
    lumen::MatchCount m;
    for (auto _ : state)
        m = lumen::CountMatches(editor, "fox", 0);
    state.counters["matches"] = m.count;
}
BENCHMARK(Recount)->Unit(benchmark::kMillisecond);

void ReplaceAll(benchmark::State& state) {
    const auto view = bench::QuietView();
    const lumen::EditorLink editor{bench::CallView, view.get()};
    int64_t replaced = 0;
    for (auto _ : state) {
        state.PauseTiming();
        view->Message(quill::SCI_SETTEXT, 0, reinterpret_cast<intptr_t>(bench::LargeText().c_str()));
        view->Message(quill::SCI_EMPTYUNDOBUFFER, 0, 0);
        state.ResumeTiming();
        replaced = lumen::ReplaceEveryMatch(editor, "fox", "cat", 0);
    }
    state.counters["replaced"] = static_cast<double>(replaced);
}
BENCHMARK(ReplaceAll)->Unit(benchmark::kMillisecond);

}  // namespace
