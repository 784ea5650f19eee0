// The performance test: timed scenarios through the real main window. Every timed step pumps the
// pending messages and updates the main window and the editor, so notifications, the status band,
// layout and painting are inside the measurement, as a user would wait for them.
//
// Beside the program's own figures it times a floor: a bare window of this process invalidated and
// painted once per step, which is what the window system alone costs here for one visible change.
#include "selftest/perf_test.h"

#include <windows.h>

#include <psapi.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

#include "app/app.h"
#include "app/commands.h"
#include "app/editor_calls.h"
#include "app/tabs.h"
#include "app/view_commands.h"
#include "edit/sci_messages.h"
#include "files/open_files.h"
#include "files/save_file.h"
#include "selftest/self_test.h"
#include "tools/find_card.h"
#include "tools/line_tools.h"

namespace lumen {

using namespace quill;

namespace {

constexpr char kTypedLine[] = "루멘판 성능 시험 줄 The quick brown fox jumps over the lazy dog.\r\n";

struct Report {
    std::string lines;

    void Line(const std::string& name, double value, const char* unit) {
        char line[160];
        std::snprintf(line, sizeof(line), "%-44s %10.2f %s\r\n", name.c_str(), value, unit);
        lines += line;
    }

    // The median per step, then the average and the worst.
    void Steps(const std::string& name, std::vector<double> times) {
        if (times.empty()) return;
        double sum = 0;
        for (double t : times)
            sum += t;
        std::sort(times.begin(), times.end());
        Line(name, times[times.size() / 2], "ms");
        Line(name + " (avg)", sum / static_cast<double>(times.size()), "ms");
        Line(name + " (worst)", times.back(), "ms");
    }
};

double WorkingSetMb() {
    PROCESS_MEMORY_COUNTERS counters{};
    counters.cb = sizeof(counters);
    if (!K32GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof(counters))) return 0;
    return static_cast<double>(counters.WorkingSetSize) / (1024.0 * 1024.0);
}

// Lets every posted piece of work run and paints what is invalid.
void Settle(App& app) {
    PumpMessages();
    UpdateWindow(app.hwnd);
    UpdateWindow(app.editor);
}

// One UTF-8 code point of `text` at `i` as UTF-16 units; advances i.
std::wstring NextCharacter(const std::string& text, size_t& i) {
    const auto lead = static_cast<unsigned char>(text[i]);
    const size_t width = lead < 0x80 ? 1 : lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : 4;
    const std::string one = text.substr(i, width);
    i += width;
    wchar_t units[2];
    const int n = MultiByteToWideChar(CP_UTF8, 0, one.data(), static_cast<int>(one.size()), units, 2);
    return std::wstring(units, static_cast<size_t>(std::max(n, 0)));
}

// Types `text` into the editor a character at a time (a line break as the Enter key) and returns the
// time of each character, its painting included.
std::vector<double> Type(App& app, const std::string& text) {
    std::vector<double> times;
    for (size_t i = 0; i < text.size();) {
        if (text[i] == '\n') {
            ++i;
            continue;
        }
        const std::wstring units = NextCharacter(text, i);
        const double start = NowMs();
        if (units == L"\r") {
            SendMessageW(app.editor, WM_KEYDOWN, VK_RETURN, 1);
            SendMessageW(app.editor, WM_CHAR, L'\r', 1);
            SendMessageW(app.editor, WM_KEYUP, VK_RETURN, 0xC0000001);
        } else {
            for (wchar_t unit : units)
                SendMessageW(app.editor, WM_CHAR, unit, 1);
        }
        Settle(app);
        times.push_back(NowMs() - start);
    }
    return times;
}

std::string Repeat(const std::string& part, size_t atLeast) {
    std::string text;
    text.reserve(atLeast + part.size());
    while (text.size() < atLeast)
        text += part;
    return text;
}

bool WriteTestFile(const std::wstring& path, const std::string& bytes) {
    DeleteFileW(path.c_str());
    return WriteNewFile(path, bytes);
}

// Opens `path` in a new tab and returns the time until the window has painted it.
double Open(App& app, const std::wstring& path) {
    const double start = NowMs();
    OpenFiles(app, {path});
    Settle(app);
    return NowMs() - start;
}

LRESULT CALLBACK FloorProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_PAINT) {
        PAINTSTRUCT ps;
        HDC dc = BeginPaint(hwnd, &ps);
        FillRect(dc, &ps.rcPaint, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
        EndPaint(hwnd, &ps);
        return 0;
    }
    return DefWindowProcW(hwnd, message, wParam, lParam);
}

// The floor: a bare top-level window of the main window's size, one small area invalidated and
// painted per step, as a typed character would need.
std::vector<double> FloorSteps(App& app, int steps) {
    WNDCLASSW wc{};
    wc.lpfnWndProc = FloorProc;
    wc.hInstance = app.instance;
    wc.lpszClassName = L"Lumenpad.PerfFloor";
    RegisterClassW(&wc);
    RECT r{};
    GetWindowRect(app.hwnd, &r);
    HWND hwnd = CreateWindowExW(0, wc.lpszClassName, L"", WS_POPUP | WS_VISIBLE, r.left, r.top,
                                r.right - r.left, r.bottom - r.top, nullptr, nullptr, app.instance, nullptr);
    std::vector<double> times;
    if (!hwnd) return times;
    UpdateWindow(hwnd);
    for (int i = 0; i < steps; ++i) {
        const double start = NowMs();
        RECT cell{40 + (i % 60) * 8, 60, 48 + (i % 60) * 8, 80};
        InvalidateRect(hwnd, &cell, FALSE);
        PumpMessages();
        UpdateWindow(hwnd);
        times.push_back(NowMs() - start);
    }
    DestroyWindow(hwnd);
    PumpMessages();
    return times;
}

// A command on the active tab until the window has repainted, per step.
std::vector<double> CommandSteps(App& app, const std::vector<int>& commands) {
    std::vector<double> times;
    for (int id : commands) {
        const double start = NowMs();
        DispatchCommand(app, id);
        Settle(app);
        times.push_back(NowMs() - start);
    }
    return times;
}

double g_menuPainted = -1;

// Notes when a menu window returns from its first paint, and closes it.
LRESULT CALLBACK AfterMenuPaint(int code, WPARAM wParam, LPARAM lParam) {
    const auto* m = reinterpret_cast<const CWPRETSTRUCT*>(lParam);
    wchar_t name[32] = {};
    if (code == HC_ACTION && m->message == WM_PAINT && g_menuPainted < 0 &&
        GetClassNameW(m->hwnd, name, 32) && std::wstring_view(name) == L"Lumenpad.Menu") {
        g_menuPainted = NowMs();
        PostMessageW(m->hwnd, WM_KEYDOWN, VK_ESCAPE, 0);
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

// From a click on the main-menu button until the menu has painted, per step.
std::vector<double> MenuSteps(App& app, int steps) {
    std::vector<double> times;
    const HHOOK hook = SetWindowsHookExW(WH_CALLWNDPROCRET, AfterMenuPaint, nullptr, GetCurrentThreadId());
    if (!hook) return times;
    const BandRect& button = app.chrome.layout.menu;
    const LPARAM at = MAKELPARAM((button.left + button.right) / 2, (button.top + button.bottom) / 2);
    for (int i = 0; i < steps; ++i) {
        g_menuPainted = -1;
        const double start = NowMs();
        SendMessageW(app.hwnd, WM_MOUSEMOVE, 0, at);
        SendMessageW(app.hwnd, WM_LBUTTONDOWN, MK_LBUTTON, at);
        SendMessageW(app.hwnd, WM_LBUTTONUP, 0, at);  // the menu's own loop runs inside
        if (g_menuPainted >= 0) times.push_back(g_menuPainted - start);
        Settle(app);
    }
    UnhookWindowsHookEx(hook);
    return times;
}

}  // namespace

void RunPerfTest(App& app) {
    Report report;
    const std::wstring folder = TestFolder(L"perf");
    Settle(app);
    report.Line("memory: idle, one empty tab", WorkingSetMb(), "MB");
    report.Steps("floor: bare window, one paint", FloorSteps(app, 200));
    report.Steps("typing: small memo", Type(app, kTypedLine + std::string(kTypedLine) + kTypedLine));

    // About 100 bytes a line, 100,000 lines.
    std::string lines;
    lines.reserve(10'500'000);
    for (int i = 0; i < 100'000; ++i) {
        lines += kTypedLine;
        lines.insert(lines.size() - 2, " " + std::to_string(i) + " 다람쥐 헌 쳇바퀴에 타고파.");
    }
    const std::wstring linesPath = folder + L"\\lines.txt";
    WriteTestFile(linesPath, lines);
    report.Line("open: 100k lines (~10 MB)", Open(app, linesPath), "ms");
    const int bigTab = app.tabs.active;
    report.Line("memory: after opening 10 MB", WorkingSetMb(), "MB");
    Ed(app, SCI_DOCUMENTEND);
    Settle(app);
    report.Steps("typing: end of 100k-line file", Type(app, kTypedLine));
    Ed(app, SCI_GOTOLINE, 50'000);
    Settle(app);
    report.Steps("typing: middle of 100k-line file", Type(app, kTypedLine));

    Ed(app, SCI_DOCUMENTSTART);
    Settle(app);
    std::vector<double> pages;
    for (int i = 0; i < 60; ++i) {
        const double start = NowMs();
        SendMessageW(app.editor, WM_KEYDOWN, VK_NEXT, 1);
        SendMessageW(app.editor, WM_KEYUP, VK_NEXT, 0xC0000001);
        Settle(app);
        pages.push_back(NowMs() - start);
    }
    report.Steps("scroll: page down (per page)", pages);

    // Word wrap and zoom change every row of the 10 MB file; only the screen is due at once.
    const bool wrapBefore = app.settings.wrap;
    SetWordWrap(app, false);
    Settle(app);
    std::vector<double> wrapOn, wrapOff;
    for (int i = 0; i < 5; ++i) {
        for (double t : CommandSteps(app, {kCmdWordWrap}))
            wrapOn.push_back(t);
        for (double t : CommandSteps(app, {kCmdWordWrap}))
            wrapOff.push_back(t);
    }
    report.Steps("command: word wrap on, 10 MB", wrapOn);
    report.Steps("command: word wrap off, 10 MB", wrapOff);
    SetWordWrap(app, true);
    Settle(app);
    report.Steps("command: zoom in and out, 10 MB wrapped",
                 CommandSteps(app, {kCmdZoomIn, kCmdZoomOut, kCmdZoomIn, kCmdZoomOut, kCmdZoomIn, kCmdZoomOut,
                                    kCmdZoomIn, kCmdZoomOut, kCmdZoomIn, kCmdZoomOut}));
    SetWordWrap(app, wrapBefore);
    Settle(app);
    report.Steps("menu: main button to first paint", MenuSteps(app, 11));

    OpenFindCard(app, FindMode::Find);
    SetWindowTextW(app.find.findEdit, L"fox");
    Settle(app);
    std::vector<double> counts;
    for (int i = 0; i < 10; ++i) {
        const double start = NowMs();
        RecountMatches(app);
        Settle(app);
        counts.push_back(NowMs() - start);
    }
    report.Steps("find: count matches (10k cap)", counts);

    // The whole 10 MB file at once, each until repainted: replace all (one undo step), then sorting
    // and removing duplicate lines (nothing selected, so the whole document).
    OpenFindCard(app, FindMode::Replace);
    SetWindowTextW(app.find.findEdit, L"fox");
    SetWindowTextW(app.find.replaceEdit, L"cat");
    Settle(app);
    double start = NowMs();
    ReplaceAll(app);
    Settle(app);
    report.Line("find: replace all \"fox\" by \"cat\" (10 MB)", NowMs() - start, "ms");
    CloseFindCard(app);
    Ed(app, SCI_SETEMPTYSELECTION, 0);
    Settle(app);
    report.Line("line tools: sort 100k lines",
                CommandSteps(app, {static_cast<int>(LineTool::SortAscending)}).front(), "ms");
    report.Line("line tools: remove duplicate lines",
                CommandSteps(app, {static_cast<int>(LineTool::RemoveDuplicates)}).front(), "ms");

    NewTab(app);
    SetEditorText(app, kTypedLine);
    const int memoTab = app.tabs.active;
    Settle(app);
    std::vector<double> switches;
    for (int i = 0; i < 40; ++i) {
        const double start = NowMs();
        ActivateTab(app, i % 2 ? memoTab : bigTab);
        Settle(app);
        switches.push_back(NowMs() - start);
    }
    report.Steps("tab switch: back and forth", switches);

    const std::wstring onelinePath = folder + L"\\oneline.txt";
    WriteTestFile(onelinePath, Repeat("가나다라마바사 abcdefg 0123456789 ", 2u << 20));
    const bool wrap = app.settings.wrap;
    SetWordWrap(app, false);
    report.Line("open: 2 MB single line (no wrap)", Open(app, onelinePath), "ms");
    const std::string word = "abcdefg 가나다 ";
    Ed(app, SCI_DOCUMENTEND);
    Settle(app);
    report.Steps("typing: end of 2 MB line (no wrap)", Type(app, Repeat(word, 60)));
    Ed(app, SCI_DOCUMENTSTART);
    Settle(app);
    report.Steps("typing: start of 2 MB line (no wrap)", Type(app, Repeat(word, 60)));
    SetWordWrap(app, true);
    Ed(app, SCI_DOCUMENTEND);
    Settle(app);
    report.Steps("typing: end of 2 MB line (wrap)", Type(app, Repeat(word, 60)));
    SetWordWrap(app, wrap);
    Settle(app);
    report.Line("memory: end", WorkingSetMb(), "MB");
    FinishTestRun(app, report.lines);
}

}  // namespace lumen
