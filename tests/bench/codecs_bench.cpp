// Throughput of detection, decoding and encoding on 10 MB texts: one mostly ASCII (source code and
// English prose), one mostly Hangul. Bytes per second are reported as MB/s of input.
#include <benchmark/benchmark.h>

#include <string>

#include "files/text_codecs.h"

namespace {

constexpr size_t kSize = 10 * 1000 * 1000;

std::string Fill(const std::string& line) {
    std::string s;
    s.reserve(kSize + line.size());
    while (s.size() < kSize)
        s += line;
    return s;
}

const std::string& AsciiText() {
    static const std::string s = Fill("The quick brown fox jumps over the lazy dog; int x = 42; // 메모\r\n");
    return s;
}

const std::string& HangulText() {
    static const std::string s = Fill(
        "다람쥐 헌 쳇바퀴에 타고파. 키스의 고유조건은 입술끼리 만나야 하고 특별한 기술은 필요치 않다.\r\n");
    return s;
}

const std::string& Pick(int which) {
    return which == 0 ? AsciiText() : HangulText();
}

void Detect(benchmark::State& state) {
    const std::string& text = Pick(static_cast<int>(state.range(0)));
    for (auto _ : state)
        benchmark::DoNotOptimize(lumen::DetectEncoding(text));
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(text.size()));
}

void Decode(benchmark::State& state) {
    const auto encoding = static_cast<lumen::TextEncoding>(state.range(1));
    const std::string bytes = lumen::EncodeFromUtf8(Pick(static_cast<int>(state.range(0))), encoding);
    for (auto _ : state)
        benchmark::DoNotOptimize(lumen::DecodeToUtf8(bytes, encoding));
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(bytes.size()));
}

void Encode(benchmark::State& state) {
    const auto encoding = static_cast<lumen::TextEncoding>(state.range(1));
    const std::string& text = Pick(static_cast<int>(state.range(0)));
    bool lossy = false;
    for (auto _ : state)
        benchmark::DoNotOptimize(lumen::EncodeFromUtf8(text, encoding, &lossy));
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(text.size()));
}

void EolStyle(benchmark::State& state) {
    const std::string text = std::string(kSize, 'x');  // no break: the whole first MiB is scanned
    for (auto _ : state)
        benchmark::DoNotOptimize(lumen::DetectEolStyle(text));
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) *
                            static_cast<int64_t>(lumen::kEolScanLimit));
}

// Argument 0: 0 = mostly ASCII, 1 = mostly Hangul. Argument 1: the encoding value.
BENCHMARK(Detect)->ArgName("hangul")->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);
BENCHMARK(Decode)
    ->ArgNames({"hangul", "enc"})
    ->ArgsProduct({{0, 1}, {0, 2, 3}})
    ->Unit(benchmark::kMillisecond);
BENCHMARK(Encode)
    ->ArgNames({"hangul", "enc"})
    ->ArgsProduct({{0, 1}, {1, 2, 4}})
    ->Unit(benchmark::kMillisecond);
BENCHMARK(EolStyle)->Unit(benchmark::kMicrosecond);

}  // namespace
