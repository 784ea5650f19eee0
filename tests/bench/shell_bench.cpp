// The status counter's word count on the largest range it counts (just under 8 MiB), for a mostly
// ASCII and a mostly Hangul text. Bytes per second are reported as MB/s of input.
#include <benchmark/benchmark.h>

#include <string>

#include "app/status_text.h"

namespace {

std::string Fill(const std::string& line) {
    std::string s;
    while (s.size() + line.size() < lumen::kCountByteLimit)
        s += line;
    return s;
}

void CountWords(benchmark::State& state) {
    static const std::string texts[] = {
        Fill("The quick brown fox jumps over the lazy dog;\tint x = 42; // note\r\n"),
        Fill("다람쥐 헌 쳇바퀴에 타고파.\xE3\x80\x80키스의 고유조건은 입술끼리 만나야 하고 특별한 기술은 "
             "필요치 않다.\r\n"),
    };
    const std::string& text = texts[state.range(0)];
    for (auto _ : state)
        benchmark::DoNotOptimize(lumen::CountWords(text));
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(text.size()));
}
BENCHMARK(CountWords)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

}  // namespace
