// Control-level benchmark: opens, types into and pages through large texts in one text control,
// driven by window messages alone, pumping messages and painting (UpdateWindow) inside every timed
// step. The scenario names and units are those of the program's performance test.
//
//   lumen_control_bench.exe <driver> [report file [group]]     e.g. edit, richedit
//
// Each line: "%-44s %10.2f %s". Typing and paging also write " (avg)" and " (worst)" lines; the
// plain line is the median. Scenarios stop typing early when a run exceeds its time budget, so a
// slow control still finishes; the count actually typed is shown in the unit text.
#include <windows.h>
#include <psapi.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "control_driver.h"

namespace lumen::bench {

std::vector<DriverEntry>& Drivers() {
    static std::vector<DriverEntry> drivers;
    return drivers;
}

namespace {

constexpr int kClientWidth = 980, kClientHeight = 700;
constexpr double kTypingBudgetMs = 15000;

double Now() {
    static LARGE_INTEGER frequency = [] {
        LARGE_INTEGER f;
        QueryPerformanceFrequency(&f);
        return f;
    }();
    LARGE_INTEGER t;
    QueryPerformanceCounter(&t);
    return 1000.0 * static_cast<double>(t.QuadPart) / static_cast<double>(frequency.QuadPart);
}

void Pump(HWND hwnd) {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    UpdateWindow(hwnd);
}

double WorkingSetMb() {
    PROCESS_MEMORY_COUNTERS counters = {};
    counters.cb = sizeof counters;
    K32GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof counters);
    return static_cast<double>(counters.WorkingSetSize) / (1024.0 * 1024.0);
}

std::string Line(const char* name, double value, const std::string& unit) {
    char buffer[256];
    std::snprintf(buffer, sizeof buffer, "%-44s %10.2f %s\n", name, value, unit.c_str());
    return buffer;
}

// About 10 MB in 100,000 lines of mixed Hangul and Latin text (`sentence` in every line).
std::string HundredThousandLines(
    const char* sentence =
        "가나다 The quick brown fox jumps over the lazy dog. 루멘판 0123456789 abcdefghij klmnop") {
    std::string text;
    text.reserve(10'500'000);
    char number[16];
    for (int i = 0; i < 100000; ++i) {
        std::snprintf(number, sizeof number, "%06d ", i);
        text += number;
        text += sentence;
        text += "\r\n";
    }
    return text;
}

// With LUMENPAD_BENCH_MARK set, the keys of one typed memo line are bracketed by two file
// creations (a failing open never reaches wineserver), so that a wineserver trace
// (wineserver -f -d1) shows the requests each key makes. The files go when the second is made.
void Mark(const wchar_t* name) {
    static const bool on = GetEnvironmentVariableW(L"LUMENPAD_BENCH_MARK", nullptr, 0) > 0;
    static std::vector<HANDLE> open;
    if (!on) return;
    const std::wstring path = std::wstring(L"lumen-mark-") + name;
    open.push_back(CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                               FILE_FLAG_DELETE_ON_CLOSE, nullptr));
    if (open.size() < 2) return;
    for (HANDLE h : open) {
        if (h != INVALID_HANDLE_VALUE) CloseHandle(h);
    }
    open.clear();
}

// A 2 MB single line without breaks.
std::string TwoMegabyteLine() {
    const std::string piece = "가나다라마바사 abcdefg 0123456789";
    std::string text;
    while (text.size() < 2 * 1024 * 1024)
        text += piece;
    return text;
}

// Lines go to standard output and to the report file as soon as they are measured, so a run that
// is cut off by a time limit still leaves everything it measured.
struct Report {
    FILE* file = nullptr;
    void Add(const char* name, double value, const std::string& unit) {
        const std::string line = Line(name, value, unit);
        std::fputs(line.c_str(), stdout);
        std::fflush(stdout);
        if (file) {
            std::fputs(line.c_str(), file);
            std::fflush(file);
        }
    }
    // Median, average and worst of per-step times.
    void AddSteps(const char* name, std::vector<double> times, const std::string& what) {
        if (times.empty()) return;
        std::vector<double> sorted = times;
        std::sort(sorted.begin(), sorted.end());
        double sum = 0;
        for (double t : times)
            sum += t;
        const std::string unit = "ms per " + what + " (" + std::to_string(times.size()) + ")";
        Add(name, sorted[sorted.size() / 2], unit);
        Add((std::string(name) + " (avg)").c_str(), sum / static_cast<double>(times.size()), unit);
        Add((std::string(name) + " (worst)").c_str(), sorted.back(), unit);
    }
};

std::vector<double> TypeAt(ControlDriver& d, int64_t position, int count) {
    d.SetCaret(position);
    Pump(d.hwnd());
    std::vector<double> times;
    const wchar_t* pattern = L"abc 가나 ";
    const double start = Now();
    for (int i = 0; i < count && Now() - start < kTypingBudgetMs; ++i) {
        const double t0 = Now();
        d.Type(pattern[i % 7]);
        Pump(d.hwnd());
        times.push_back(Now() - t0);
    }
    return times;
}

// Korean input at `position`: each syllable grows jamo by jamo in the input method's composition
// (three updates, each timed with its painting), then is committed untimed, as the next syllable
// begins.
std::vector<double> ComposeAt(ControlDriver& d, int64_t position, int count) {
    d.SetCaret(position);
    Pump(d.hwnd());
    static const wchar_t* const kSyllables[][3] = {
        {L"ㅎ", L"하", L"한"}, {L"ㄱ", L"그", L"글"}, {L"ㅇ", L"이", L"입"}, {L"ㄹ", L"려", L"력"}};
    std::vector<double> times;
    const double start = Now();
    for (int i = 0; i < count && Now() - start < kTypingBudgetMs; ++i) {
        const double t0 = Now();
        d.Compose(kSyllables[(i / 3) % 4][i % 3]);
        Pump(d.hwnd());
        times.push_back(Now() - t0);
        if (i % 3 == 2) {
            d.CompleteComposition();
            Pump(d.hwnd());
        }
    }
    d.CompleteComposition();
    Pump(d.hwnd());
    return times;
}

double Open(ControlDriver& d, const std::string& text) {
    const double t0 = Now();
    d.Load(text);
    Pump(d.hwnd());
    return Now() - t0;
}

// The scenarios come in groups; each group sets up what it needs (opening untimed when opening is
// not what it measures), so the script can run every group in its own process under a time limit
// and a control that hangs in one scenario still reports the others.
constexpr const char* kGroups[] = {"memo",      "open10",   "middle10", "page10", "open2",
                                   "start2",    "middle2",  "wrap2",    "swap10", "compose",
                                   "compose10", "compose2", "compose2w"};

void RunGroup(const std::string& group, ControlDriver& d, HWND frame, Report& report) {
    if (group == "memo") {
        report.Add("memory: idle, one empty tab", WorkingSetMb(), "MB");
        // A short memo: each typed line is the performance test's sample line.
        const std::wstring line = L"루멘판 성능 시험 줄 The quick brown fox jumps over the lazy dog.";
        std::vector<double> times;
        for (int rep = 0; rep < 3; ++rep) {
            if (rep == 1) Mark(L"begin");
            for (wchar_t c : line) {
                const double t0 = Now();
                d.Type(c);
                Pump(d.hwnd());
                times.push_back(Now() - t0);
            }
            if (rep == 1) {
                Mark(L"end");
                std::printf("# marked %zu keys\n", line.size());
            }
            SendMessageW(d.hwnd(), WM_KEYDOWN, VK_RETURN, 1);
            SendMessageW(d.hwnd(), WM_CHAR, L'\r', 1);
            SendMessageW(d.hwnd(), WM_KEYUP, VK_RETURN, 0xC0000001);
            Pump(d.hwnd());
        }
        report.AddSteps("typing: small memo", times, "char");
    } else if (group == "open10") {
        report.Add("open: 100k lines (~10 MB)", Open(d, HundredThousandLines()), "ms");
        report.Add("memory: after opening 10 MB", WorkingSetMb(), "MB");
        report.AddSteps("typing: end of 100k-line file", TypeAt(d, d.Length(), 200), "char");
    } else if (group == "middle10") {
        Open(d, HundredThousandLines());
        report.AddSteps("typing: middle of 100k-line file", TypeAt(d, d.Length() / 2, 200), "char");
    } else if (group == "page10") {
        Open(d, HundredThousandLines());
        d.SetCaret(0);
        Pump(d.hwnd());
        std::vector<double> times;
        const double start = Now();
        for (int i = 0; i < 100 && Now() - start < kTypingBudgetMs; ++i) {
            const double t0 = Now();
            d.PageDown();
            Pump(d.hwnd());
            times.push_back(Now() - t0);
        }
        report.AddSteps("scroll: page down (per page)", times, "page");
    } else if (group == "open2") {
        report.Add("open: 2 MB single line (no wrap)", Open(d, TwoMegabyteLine()), "ms");
        report.AddSteps("typing: end of 2 MB line (no wrap)", TypeAt(d, d.Length(), 100), "char");
    } else if (group == "middle2") {
        // Not a scenario of the performance test: the middle of the long line, where an edit
        // moves the most layout.
        Open(d, TwoMegabyteLine());
        report.AddSteps("typing: middle of 2 MB line (no wrap)", TypeAt(d, d.Length() / 2, 100), "char");
    } else if (group == "start2") {
        Open(d, TwoMegabyteLine());
        report.AddSteps("typing: start of 2 MB line (no wrap)", TypeAt(d, 0, 100), "char");
    } else if (group == "wrap2") {
        d.Create(frame, true);
        Pump(frame);
        Open(d, TwoMegabyteLine());
        report.AddSteps("typing: end of 2 MB line (wrap)", TypeAt(d, d.Length(), 100), "char");
        report.Add("memory: end", WorkingSetMb(), "MB");
    } else if (group == "compose") {
        Open(d, "루멘판 성능 시험 줄 The quick brown fox jumps over the lazy dog.");
        report.AddSteps("composing: short line", ComposeAt(d, d.Length(), 90), "update");
    } else if (group == "compose10") {
        Open(d, HundredThousandLines());
        report.AddSteps("composing: end of 100k-line file", ComposeAt(d, d.Length(), 90), "update");
    } else if (group == "compose2") {
        Open(d, TwoMegabyteLine());
        report.AddSteps("composing: middle of 2 MB line (no wrap)", ComposeAt(d, d.Length() / 2, 90),
                        "update");
    } else if (group == "compose2w") {
        d.Create(frame, true);
        Pump(frame);
        Open(d, TwoMegabyteLine());
        report.AddSteps("composing: middle of 2 MB line (wrap)", ComposeAt(d, d.Length() / 2, 90), "update");
    } else if (group == "swap10") {
        // Not a scenario of the performance test: switching between two tabs that show wrapped
        // 10 MB texts, each scrolled to its middle, painting included.
        d.Create(frame, true);
        Pump(frame);
        const std::vector<std::string> texts = {
            HundredThousandLines(),
            HundredThousandLines(
                "다른 문서 Pack my box with five dozen liquor jugs, again and again and again.")};
        if (!d.OpenDocuments(texts)) return;
        for (size_t i = 0; i < texts.size(); ++i) {
            d.ShowDocument(i);
            d.SetCaret(d.Length() / 2);
            Pump(d.hwnd());
        }
        std::vector<double> times;
        for (int i = 0; i < 200; ++i) {
            const double t0 = Now();
            d.ShowDocument(static_cast<size_t>(i % 2));
            Pump(d.hwnd());
            times.push_back(Now() - t0);
        }
        report.AddSteps("swap: two wrapped 10 MB documents", times, "switch");
        report.Add("memory: two 10 MB documents", WorkingSetMb(), "MB");
    }
}

int Run(const DriverEntry& entry, const wchar_t* reportPath, const std::string& only) {
    const HINSTANCE instance = GetModuleHandleW(nullptr);
    WNDCLASSW wc = {};
    wc.lpfnWndProc = DefWindowProcW;
    wc.hInstance = instance;
    wc.lpszClassName = L"Lumenpad.ControlBench";
    wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    RegisterClassW(&wc);
    RECT rc = {0, 0, kClientWidth, kClientHeight};
    AdjustWindowRect(&rc, WS_OVERLAPPEDWINDOW, FALSE);
    const HWND frame =
        CreateWindowW(wc.lpszClassName, L"control bench", WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN, 0, 0,
                      rc.right - rc.left, rc.bottom - rc.top, nullptr, nullptr, instance, nullptr);
    ShowWindow(frame, SW_SHOWNOACTIVATE);
    Pump(frame);

    std::unique_ptr<ControlDriver> d = entry.make();
    Report report;
    if (reportPath) report.file = _wfopen(reportPath, L"ab");
    for (const char* group : kGroups) {
        if (!only.empty() && only != group) continue;
        if (!d->Create(frame, false)) {
            std::printf("# %s could not be created\n", entry.title.c_str());
            return 2;
        }
        Pump(frame);
        RunGroup(group, *d, frame, report);
    }
    if (report.file) std::fclose(report.file);
    DestroyWindow(frame);
    return 0;
}

}  // namespace
}  // namespace lumen::bench

int wmain(int argc, wchar_t** argv) {
    using lumen::bench::Drivers;
    if (argc < 2) {
        std::printf("usage: lumen_control_bench <driver> [report file [group]]\ndrivers:");
        for (const auto& e : Drivers())
            std::printf(" %s", e.name.c_str());
        std::printf("\ngroups:");
        for (const char* g : lumen::bench::kGroups)
            std::printf(" %s", g);
        std::printf("\n");
        return 2;
    }
    for (const auto& e : Drivers()) {
        std::wstring name(e.name.begin(), e.name.end());
        if (name != argv[1]) continue;
        std::string group;
        if (argc > 3) {
            for (const wchar_t* c = argv[3]; *c; ++c)
                group += static_cast<char>(*c);
        }
        return lumen::bench::Run(e, argc > 2 ? argv[2] : nullptr, group);
    }
    std::printf("unknown driver\n");
    return 2;
}
