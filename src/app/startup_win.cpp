// Start-up: the application object filled in a fixed order, the main window created and shown
// without animation (the first paint happens before anything that can wait), the font warm-up
// thread, the message loop, and the start-up time marks of "--bench".
#include "app/startup.h"

#include <dwmapi.h>
#include <psapi.h>

#include <algorithm>
#include <cstdio>
#include <string>

#include "app/app.h"
#include "app/bands.h"
#include "app/main_window.h"
#include "app/theme_apply.h"
#include "app/view_commands.h"
#include "edit/quill_window_win.h"
#include "ui/message_dialog.h"
#include "tools/find_card.h"

namespace lumen {

namespace {

constexpr int kMaxTimeMarks = 24;
double g_timeMarks[kMaxTimeMarks];
int g_timeMarkCount = 0;

// The editor font's name for the warm-up thread: a copy made before the thread starts.
std::wstring g_warmFontName;

constexpr DWORD kDwmTransitionsForceDisabled = 3;

uint64_t FileTimeValue(const FILETIME& t) {
    return (uint64_t{t.dwHighDateTime} << 32) | t.dwLowDateTime;
}

bool EnvironmentHas(const wchar_t* name) {
    SetLastError(0);
    return GetEnvironmentVariableW(name, nullptr, 0) > 0 || GetLastError() != ERROR_ENVVAR_NOT_FOUND;
}

// The saved rectangle when it is large enough and on a connected monitor; otherwise 980 x 700 at the
// system DPI (at most the work area), centred in the primary work area.
RECT ChooseWindowRect(const Settings& settings) {
    const SettingsRect& s = settings.rect;
    const RECT saved{s.left, s.top, s.right, s.bottom};
    if (s.right - s.left >= 300 && s.bottom - s.top >= 200 && MonitorFromRect(&saved, MONITOR_DEFAULTTONULL))
        return saved;
    const int dpi = static_cast<int>(GetDpiForSystem());
    RECT work{0, 0, 1024, 768};
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    const int w = std::min<int>(work.right - work.left, MulDiv(980, dpi, 96));
    const int h = std::min<int>(work.bottom - work.top, MulDiv(700, dpi, 96));
    const int x = work.left + (work.right - work.left - w) / 2;
    const int y = work.top + (work.bottom - work.top - h) / 2;
    return RECT{x, y, x + w, y + h};
}

void ShowMainWindow(App& app, int showCommand) {
    const bool minimized =
        showCommand == SW_SHOWMINIMIZED || showCommand == SW_MINIMIZE || showCommand == SW_SHOWMINNOACTIVE;
    if (!app.settings.max && !minimized && !app.selfTest) {
        // Shown without activation; the first paint's message brings it to the front.
        app.showPending = true;
        ShowWindow(app.hwnd, SW_SHOWNOACTIVATE);
    } else {
        app.showPending = false;
        ShowWindow(app.hwnd, app.selfTest       ? SW_SHOWNOACTIVATE
                             : app.settings.max ? SW_SHOWMAXIMIZED
                                                : showCommand);
    }
}

int RunMessageLoop(App& app) {
    MSG msg{};
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        if (msg.message == WM_KEYDOWN || msg.message == WM_SYSKEYDOWN) HideTooltip(app);
        // Escape in the editor closes the find card first, then leaves focus mode.
        if (msg.message == WM_KEYDOWN && msg.wParam == VK_ESCAPE && msg.hwnd == app.editor) {
            if (FindCardEscape(app)) continue;
            if (app.focusMode) {
                ToggleFocusMode(app);
                continue;
            }
        }
        if (app.accel && app.hwnd && TranslateAcceleratorW(app.hwnd, app.accel, &msg)) continue;
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    return static_cast<int>(msg.wParam);
}

}  // namespace

App& TheApp() {
    static App app;
    return app;
}

double ElapsedMs() {
    FILETIME creation{}, exit{}, kernel{}, user{}, now{};
    GetProcessTimes(GetCurrentProcess(), &creation, &exit, &kernel, &user);
    GetSystemTimePreciseAsFileTime(&now);
    return static_cast<double>(FileTimeValue(now) - FileTimeValue(creation)) / 10000.0;
}

void RecordTimeMark() {
    if (TheApp().bench && g_timeMarkCount < kMaxTimeMarks) g_timeMarks[g_timeMarkCount++] = ElapsedMs();
}

DWORD WINAPI WarmFontCache(void*) {
    HDC dc = CreateCompatibleDC(nullptr);
    if (!dc) return 0;
    const wchar_t* faces[] = {g_warmFontName.c_str(), L"Segoe UI",
                              IsWindows11() ? L"Segoe Fluent Icons" : L"Segoe MDL2 Assets"};
    for (const wchar_t* face : faces) {
        HFONT font =
            CreateFontW(-15, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                        CLIP_DEFAULT_PRECIS, CLEARTYPE_QUALITY, DEFAULT_PITCH | FF_DONTCARE, face);
        if (!font) continue;
        const HGDIOBJ old = SelectObject(dc, font);
        TEXTMETRICW metrics;
        GetTextMetricsW(dc, &metrics);
        SIZE size;
        GetTextExtentPoint32W(dc, L"Aa가나\uE711", 5, &size);
        SelectObject(dc, old);
        DeleteObject(font);
    }
    DeleteDC(dc);
    return 0;
}

void WriteBenchLine(App& app) {
    PROCESS_MEMORY_COUNTERS_EX memory{};
    memory.cb = sizeof(memory);
    K32GetProcessMemoryInfo(GetCurrentProcess(), reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&memory),
                            sizeof(memory));
    char line[512];
    int n = std::snprintf(line, sizeof(line), "%.2f,%zu,%zu,", ElapsedMs(), memory.WorkingSetSize / 1024,
                          memory.PrivateUsage / 1024);
    if (GetForegroundWindow() != app.hwnd) n += std::snprintf(line + n, sizeof(line) - n, "notfg ");
    for (int i = 0; i < g_timeMarkCount && n < 450; ++i)
        n += std::snprintf(line + n, sizeof(line) - n, "%.1f ", g_timeMarks[i]);
    n += std::snprintf(line + n, sizeof(line) - n, "\r\n");
    if (app.benchArg.empty()) return;
    HANDLE file = CreateFileW(app.benchArg.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ, nullptr, OPEN_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return;
    DWORD written = 0;
    WriteFile(file, line, static_cast<DWORD>(n), &written, nullptr);
    CloseHandle(file);
}

int RunApplication(HINSTANCE instance, const std::vector<std::wstring>& files, bool bench,
                   const std::wstring& benchArg, int showCommand, const std::wstring& testPath) {
    App& app = TheApp();
    app.instance = instance;
    app.bench = bench;
    app.selfTest = !testPath.empty();
    app.secondary = EnvironmentHas(L"LUMENPAD_SECONDARY");
    // Programs started later must not inherit the mark.
    SetEnvironmentVariableW(L"LUMENPAD_SECONDARY", nullptr);
    app.testPath = testPath;
    RecordTimeMark();
    app.benchArg = benchArg;
    app.startupFiles = files;

    app.win11 = IsWindows11();

    app.settingsLoad = LoadSettings(app.settings);
    if (app.selfTest) app.settings = Settings{};
    if (app.selfTest || app.bench) {
        // No modal window in these modes: every question takes its default answer.
        ui::SetDialogAnswerer([](const ui::DialogContent& content) { return content.defaultButton; });
    }

    if (!EnvironmentHas(L"LUMENPAD_NOWARM")) {
        g_warmFontName = app.settings.font;
        if (HANDLE thread = CreateThread(nullptr, 64 * 1024, WarmFontCache, nullptr,
                                         STACK_SIZE_PARAM_IS_A_RESERVATION, nullptr))
            CloseHandle(thread);
    }

    ResolveTheme(app);
    RecordTimeMark();
    quill::RegisterQuillEditClass(instance);
    RecordTimeMark();
    RegisterMainWindowClass(instance, app.selfTest);

    const RECT r = ChooseWindowRect(app.settings);
    CreateWindowExW(WS_EX_APPWINDOW, app.selfTest ? kSelfTestWindowClass : kMainWindowClass, L"루멘판",
                    WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN, r.left, r.top, r.right - r.left, r.bottom - r.top,
                    nullptr, nullptr, instance, &app);
    if (!app.hwnd || !IsWindow(app.hwnd)) return 1;
    if (app.settings.topmost)
        SetWindowPos(app.hwnd, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    const BOOL noTransitions = TRUE;
    DwmSetWindowAttribute(app.hwnd, kDwmTransitionsForceDisabled, &noTransitions, sizeof(noTransitions));
    RecordTimeMark();

    ShowMainWindow(app, showCommand);
    RecordTimeMark();
    UpdateWindow(app.hwnd);
    RecordTimeMark();

    PostMessageW(app.hwnd, app.bench ? WMU_BENCH_DONE : WMU_STARTED, 0, 0);
    if (app.selfTest) PostMessageW(app.hwnd, WMU_RUN_TESTS, 0, 0);
    return RunMessageLoop(app);
}

}  // namespace lumen
