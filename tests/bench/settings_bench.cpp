// Reading and writing a full settings file (every key, ten recent files with Hangul paths): the text
// alone, and through the file in a temporary folder. Writing includes flushing to the disk, which is
// what the write costs the background writer; its time depends on the file system more than on us.
#include <benchmark/benchmark.h>

#include "files/settings.h"
#include "support/temp_folder.h"

namespace {

lumen::Settings FullRecord() {
    lumen::Settings s;
    s.font = L"나눔고딕코딩", s.size = 10.5, s.weight = 700, s.italic = true, s.rect = {-8, 10, 1930, 1050};
    s.tab = 8, s.neweol = 2, s.accent = 3, s.count = 1;
    for (int i = 0; i < 10; ++i)
        s.recent.push_back(L"C:\\Users\\민지\\Documents\\메모 모음\\회의록 " + std::to_wstring(i) + L".txt");
    return s;
}

void SettingsParse(benchmark::State& state) {
    const std::string text = lumen::SettingsText(FullRecord());
    for (auto _ : state) {
        lumen::Settings s;
        lumen::ParseSettings(text, s);
        benchmark::DoNotOptimize(s);
    }
    state.SetLabel(std::to_string(text.size()) + " bytes");
}
BENCHMARK(SettingsParse)->Unit(benchmark::kMicrosecond);

void SettingsTextBuild(benchmark::State& state) {
    const lumen::Settings record = FullRecord();
    for (auto _ : state)
        benchmark::DoNotOptimize(lumen::SettingsText(record));
}
BENCHMARK(SettingsTextBuild)->Unit(benchmark::kMicrosecond);

void SettingsLoadFile(benchmark::State& state) {
    lumen::test::TempFolder dir;
    const std::wstring path = dir.Wide(L"settings.ini");
    dir.Write(L"settings.ini", lumen::SettingsText(FullRecord()));
    for (auto _ : state) {
        lumen::Settings s;
        benchmark::DoNotOptimize(lumen::LoadSettingsFile(path, s));
    }
}
BENCHMARK(SettingsLoadFile)->Unit(benchmark::kMicrosecond);

void SettingsSaveFile(benchmark::State& state) {
    lumen::test::TempFolder dir;
    const std::wstring path = dir.Wide(L"settings.ini");
    const lumen::Settings record = FullRecord();
    for (auto _ : state)
        benchmark::DoNotOptimize(lumen::SaveSettingsFile(path, record, lumen::SettingsLoad{}));
}
BENCHMARK(SettingsSaveFile)->Unit(benchmark::kMicrosecond);

}  // namespace
