// Control-level benchmark: opens, types into and pages through large texts in one text control,
// driven by window messages alone, in the program's default editor font. Every timed step does
// what a host window does per key: the control handles the key, the host asks the control for the
// caret's line and column and shows them in its status strip, and both paint. Opening reads the
// file from disk and decodes it as the control needs, until the first paint. The scenario names
// and units are those of the program's performance test.
//
//   lumen_control_bench.exe <driver> [report file [group]]     e.g. edit, richedit
//
// Each line: "%-48s %10.2f %s". Stepped scenarios also write " (mean)", " (p95)" and " (worst)"
// lines; the plain line is the median. Scenarios stop typing early when a run exceeds its time
// budget, so a slow control still finishes; the count actually typed is shown in the unit text. A
// group that ran to its end writes "# done <group>", so rows missing before it were never reached.
#include <windows.h>
#include <psapi.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cwchar>
#include <string>
#include <vector>

#include "control_driver.h"
#include "files/settings.h"

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
    std::snprintf(buffer, sizeof buffer, "%-48s %10.2f %s\n", name, value, unit.c_str());
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
    // Median, mean, 95th percentile (nearest rank) and worst of per-step times.
    void AddSteps(const char* name, std::vector<double> times, const std::string& what) {
        if (times.empty()) return;
        std::sort(times.begin(), times.end());
        const size_t n = times.size();
        double sum = 0;
        for (double t : times)
            sum += t;
        const std::string unit = "ms per " + what + " (" + std::to_string(n) + ")";
        Add(name, times[n / 2], unit);
        Add((std::string(name) + " (mean)").c_str(), sum / static_cast<double>(n), unit);
        Add((std::string(name) + " (p95)").c_str(), times[(95 * n + 99) / 100 - 1], unit);
        Add((std::string(name) + " (worst)").c_str(), times.back(), unit);
    }
    void Note(const std::string& text) {
        std::printf("# %s\n", text.c_str());
        if (file) std::fprintf(file, "# %s\n", text.c_str());
    }
};

// The host around the control: the frame, and a status strip along its bottom that shows the
// caret's line and column.
struct Host {
    HWND frame = nullptr;
    HWND status = nullptr;
};

LRESULT CALLBACK StatusProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_ERASEBKGND) return 1;
    if (message != WM_PAINT) return DefWindowProcW(hwnd, message, wParam, lParam);
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(hwnd, &ps);
    wchar_t text[64];
    const int length = GetWindowTextW(hwnd, text, 64);
    RECT rc;
    GetClientRect(hwnd, &rc);
    const HGDIOBJ old = SelectObject(dc, GetStockObject(DEFAULT_GUI_FONT));
    SetBkColor(dc, GetSysColor(COLOR_BTNFACE));
    ExtTextOutW(dc, 8, 4, ETO_OPAQUE, &rc, text, static_cast<UINT>(length), nullptr);
    SelectObject(dc, old);
    EndPaint(hwnd, &ps);
    return 0;
}

// One timed step: `action` (a key, a page, a composition update), then what a host does after it:
// asks the control where the caret is, formats that into the status strip and lets the control
// and the strip paint.
template <typename Action>
double Step(const Host& host, ControlDriver& d, Action action) {
    const double t0 = Now();
    action();
    const auto [line, column] = d.CaretLineColumn();
    wchar_t text[64];
    std::swprintf(text, 64, L"줄 %lld, 열 %lld", static_cast<long long>(line + 1),
                  static_cast<long long>(column + 1));
    SetWindowTextW(host.status, text);
    InvalidateRect(host.status, nullptr, FALSE);
    Pump(d.hwnd());
    UpdateWindow(host.status);
    return Now() - t0;
}

// (Re)creates the control in the program's default editor font.
bool Make(ControlDriver& d, const Host& host, bool wrap) {
    if (!d.Create(host.frame, wrap)) return false;
    const Settings defaults;
    d.SetFont(defaults.font, defaults.size);
    Pump(host.frame);
    return true;
}

std::vector<double> TypeAt(const Host& host, ControlDriver& d, int64_t position, int count) {
    d.SetCaret(position);
    Pump(d.hwnd());
    std::vector<double> times;
    const wchar_t* pattern = L"abc 가나 ";
    const double start = Now();
    for (int i = 0; i < count && Now() - start < kTypingBudgetMs; ++i)
        times.push_back(Step(host, d, [&] { d.Type(pattern[i % 7]); }));
    return times;
}

// Korean input at `position`: each syllable grows jamo by jamo in the input method's composition
// (three updates, each timed with its painting), then is committed untimed, as the next syllable
// begins.
std::vector<double> ComposeAt(const Host& host, ControlDriver& d, int64_t position, int count) {
    d.SetCaret(position);
    Pump(d.hwnd());
    static const wchar_t* const kSyllables[][3] = {
        {L"ㅎ", L"하", L"한"}, {L"ㄱ", L"그", L"글"}, {L"ㅇ", L"이", L"입"}, {L"ㄹ", L"려", L"력"}};
    std::vector<double> times;
    const double start = Now();
    for (int i = 0; i < count && Now() - start < kTypingBudgetMs; ++i) {
        times.push_back(Step(host, d, [&] { d.Compose(kSyllables[(i / 3) % 4][i % 3]); }));
        if (i % 3 == 2) {
            d.CompleteComposition();
            Pump(d.hwnd());
        }
    }
    d.CompleteComposition();
    Pump(d.hwnd());
    return times;
}

// Opens `text` as a program opens a file: it is written to a temporary UTF-8 file untimed; timed
// are reading the file, decoding and setting the text (the driver's Load) and the first paint.
double Open(ControlDriver& d, const std::string& text) {
    wchar_t dir[MAX_PATH], path[MAX_PATH];
    GetTempPathW(MAX_PATH, dir);
    GetTempFileNameW(dir, L"lcb", 0, path);
    HANDLE out = CreateFileW(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    DWORD written = 0;
    WriteFile(out, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
    CloseHandle(out);

    const double t0 = Now();
    HANDLE in = CreateFileW(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                            FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
    LARGE_INTEGER size = {};
    GetFileSizeEx(in, &size);
    std::string bytes(static_cast<size_t>(size.QuadPart), '\0');
    DWORD read = 0;
    const bool ok =
        ReadFile(in, bytes.data(), static_cast<DWORD>(bytes.size()), &read, nullptr) && read == bytes.size();
    CloseHandle(in);
    d.Load(bytes);
    Pump(d.hwnd());
    const double elapsed = Now() - t0;
    DeleteFileW(path);
    return ok ? elapsed : std::nan("");
}

// The scenarios come in groups; each group sets up what it needs (opening untimed when opening is
// not what it measures), so the script can run every group in its own process under a time limit
// and a control that hangs in one scenario still reports the others.
constexpr const char* kGroups[] = {"memo",      "open10",   "middle10", "page10", "open2",
                                   "start2",    "middle2",  "wrap2",    "swap10", "compose",
                                   "compose10", "compose2", "compose2w"};

void RunGroup(const std::string& group, ControlDriver& d, const Host& host, Report& report) {
    if (group == "memo") {
        report.Add("memory: idle, one empty tab", WorkingSetMb(), "MB");
        // A short memo: each typed line is the performance test's sample line.
        const std::wstring line = L"루멘판 성능 시험 줄 The quick brown fox jumps over the lazy dog.";
        std::vector<double> times;
        for (int rep = 0; rep < 3; ++rep) {
            if (rep == 1) Mark(L"begin");
            for (wchar_t c : line)
                times.push_back(Step(host, d, [&] { d.Type(c); }));
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
        report.AddSteps("typing: end of 100k-line file", TypeAt(host, d, d.Length(), 200), "char");
    } else if (group == "middle10") {
        Open(d, HundredThousandLines());
        report.AddSteps("typing: middle of 100k-line file", TypeAt(host, d, d.Length() / 2, 200), "char");
    } else if (group == "page10") {
        Open(d, HundredThousandLines());
        d.SetCaret(0);
        Pump(d.hwnd());
        std::vector<double> times;
        const double start = Now();
        for (int i = 0; i < 100 && Now() - start < kTypingBudgetMs; ++i)
            times.push_back(Step(host, d, [&] { d.PageDown(); }));
        report.AddSteps("scroll: page down (per page)", times, "page");
    } else if (group == "open2") {
        report.Add("open: 2 MB single line (no wrap)", Open(d, TwoMegabyteLine()), "ms");
        report.AddSteps("typing: end of 2 MB line (no wrap)", TypeAt(host, d, d.Length(), 100), "char");
    } else if (group == "middle2") {
        // Not a scenario of the performance test: the middle of the long line, where an edit
        // moves the most layout.
        Open(d, TwoMegabyteLine());
        report.AddSteps("typing: middle of 2 MB line (no wrap)", TypeAt(host, d, d.Length() / 2, 100),
                        "char");
    } else if (group == "start2") {
        Open(d, TwoMegabyteLine());
        report.AddSteps("typing: start of 2 MB line (no wrap)", TypeAt(host, d, 0, 100), "char");
    } else if (group == "wrap2") {
        if (!Make(d, host, true)) return;
        Open(d, TwoMegabyteLine());
        report.AddSteps("typing: end of 2 MB line (wrap)", TypeAt(host, d, d.Length(), 100), "char");
        report.Add("memory: end", WorkingSetMb(), "MB");
    } else if (group == "compose") {
        Open(d, "루멘판 성능 시험 줄 The quick brown fox jumps over the lazy dog.");
        report.AddSteps("composing: short line", ComposeAt(host, d, d.Length(), 90), "update");
    } else if (group == "compose10") {
        Open(d, HundredThousandLines());
        report.AddSteps("composing: end of 100k-line file", ComposeAt(host, d, d.Length(), 90), "update");
    } else if (group == "compose2") {
        Open(d, TwoMegabyteLine());
        report.AddSteps("composing: middle of 2 MB line (no wrap)", ComposeAt(host, d, d.Length() / 2, 90),
                        "update");
    } else if (group == "compose2w") {
        if (!Make(d, host, true)) return;
        Open(d, TwoMegabyteLine());
        report.AddSteps("composing: middle of 2 MB line (wrap)", ComposeAt(host, d, d.Length() / 2, 90),
                        "update");
    } else if (group == "swap10") {
        // Not a scenario of the performance test: switching between two tabs that show wrapped
        // 10 MB texts, each scrolled to its middle, painting included.
        if (!Make(d, host, true)) return;
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
        for (int i = 0; i < 200; ++i)
            times.push_back(Step(host, d, [&] { d.ShowDocument(static_cast<size_t>(i % 2)); }));
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
    wc.lpfnWndProc = StatusProc;
    wc.lpszClassName = L"Lumenpad.ControlBenchStatus";
    RegisterClassW(&wc);
    const Host host = {frame, CreateWindowW(wc.lpszClassName, L"", WS_CHILD | WS_VISIBLE, 0,
                                            kClientHeight - kStatusStripHeight, kClientWidth,
                                            kStatusStripHeight, frame, nullptr, instance, nullptr)};
    ShowWindow(frame, SW_SHOWNOACTIVATE);
    Pump(frame);

    std::unique_ptr<ControlDriver> d = entry.make();
    Report report;
    if (reportPath) report.file = _wfopen(reportPath, L"ab");
    for (const char* group : kGroups) {
        if (!only.empty() && only != group) continue;
        if (!Make(*d, host, false)) {
            std::printf("# %s could not be created\n", entry.title.c_str());
            return 2;
        }
        RunGroup(group, *d, host, report);
        report.Note(std::string("done ") + group);
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
