// The start-up floor: the least a Win32 program can do to show a window here. It registers a class,
// creates and shows a window of the main window's default size, paints it once and writes one line in
// the program's "--bench" form (milliseconds since process creation, working set and private bytes in
// KiB, then its time marks: entry, window created, first paint), so that scripts/startup-bench.sh
// can put the program's start-up beside it.
#include <windows.h>

#include <psapi.h>

#include <cstdio>

namespace {

double g_marks[3];
int g_markCount = 0;

double ElapsedMs() {
    FILETIME creation{}, exit{}, kernel{}, user{}, now{};
    GetProcessTimes(GetCurrentProcess(), &creation, &exit, &kernel, &user);
    GetSystemTimePreciseAsFileTime(&now);
    auto value = [](const FILETIME& t) { return (ULONGLONG{t.dwHighDateTime} << 32) | t.dwLowDateTime; };
    return static_cast<double>(value(now) - value(creation)) / 10000.0;
}

void Mark() {
    if (g_markCount < 3) g_marks[g_markCount++] = ElapsedMs();
}

LRESULT CALLBACK FloorProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_PAINT: {
            PAINTSTRUCT ps;
            HDC dc = BeginPaint(hwnd, &ps);
            FillRect(dc, &ps.rcPaint, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
            EndPaint(hwnd, &ps);
            if (g_markCount == 2) {
                Mark();
                PostMessageW(hwnd, WM_CLOSE, 0, 0);
            }
            return 0;
        }
        case WM_DESTROY:
            PostQuitMessage(0);
            return 0;
        default:
            return DefWindowProcW(hwnd, message, wParam, lParam);
    }
}

void WriteLine(const wchar_t* path) {
    PROCESS_MEMORY_COUNTERS_EX memory{};
    memory.cb = sizeof(memory);
    K32GetProcessMemoryInfo(GetCurrentProcess(), reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&memory),
                            sizeof(memory));
    char line[160];
    int n = std::snprintf(line, sizeof(line), "%.2f,%zu,%zu,", ElapsedMs(), memory.WorkingSetSize / 1024,
                          memory.PrivateUsage / 1024);
    for (int i = 0; i < g_markCount; ++i)
        n += std::snprintf(line + n, sizeof(line) - static_cast<size_t>(n), "%.1f ", g_marks[i]);
    n += std::snprintf(line + n, sizeof(line) - static_cast<size_t>(n), "\r\n");
    HANDLE file = CreateFileW(path, FILE_APPEND_DATA, FILE_SHARE_READ, nullptr, OPEN_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return;
    DWORD written = 0;
    WriteFile(file, line, static_cast<DWORD>(n), &written, nullptr);
    CloseHandle(file);
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
    Mark();
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof(wc);
    wc.lpfnWndProc = FloorProc;
    wc.hInstance = instance;
    wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    wc.lpszClassName = L"Lumenpad.StartupFloor";
    RegisterClassExW(&wc);
    HWND hwnd = CreateWindowExW(0, wc.lpszClassName, L"floor", WS_OVERLAPPEDWINDOW, CW_USEDEFAULT,
                                CW_USEDEFAULT, 1000, 700, nullptr, nullptr, instance, nullptr);
    if (!hwnd) return 1;
    Mark();
    ShowWindow(hwnd, SW_SHOWNORMAL);
    UpdateWindow(hwnd);
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    if (__argc > 1) WriteLine(__wargv[1]);
    return 0;
}
