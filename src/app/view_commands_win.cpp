// Zoom, word wrap, focus mode, the time and date, web search.
#include <windows.h>

#include <shellapi.h>

#include <algorithm>

#include "app/app.h"
#include "app/bands.h"
#include "app/commands.h"
#include "app/editor_calls.h"
#include "app/main_window.h"
#include "app/view_commands.h"
#include "edit/sci_messages.h"
#include "files/code_page.h"
#include "files/system_library_win.h"

namespace lumen {

using namespace quill;

namespace {

constexpr LONG_PTR kOverlappedBits =
    WS_CAPTION | WS_SYSMENU | WS_THICKFRAME | WS_MINIMIZEBOX | WS_MAXIMIZEBOX;
constexpr UINT kFocusNoticeMs = 2600;

void EnterFocusMode(App& app) {
    HWND hwnd = app.hwnd;
    app.focusPlacement.length = sizeof(app.focusPlacement);
    GetWindowPlacement(hwnd, &app.focusPlacement);
    app.focusStyle = GetWindowLongPtrW(hwnd, GWL_STYLE);
    app.focusMode = true;
    SetWindowLongPtrW(hwnd, GWL_STYLE, (app.focusStyle & ~kOverlappedBits) | WS_POPUP);
    MONITORINFO monitor{};
    monitor.cbSize = sizeof(monitor);
    GetMonitorInfoW(MonitorFromWindow(hwnd, MONITOR_DEFAULTTONEAREST), &monitor);
    const RECT& m = monitor.rcMonitor;
    SetWindowPos(hwnd, nullptr, m.left, m.top, m.right - m.left, m.bottom - m.top,
                 SWP_NOZORDER | SWP_FRAMECHANGED | SWP_NOACTIVATE);
    RECT window{};
    GetWindowRect(hwnd, &window);
    const int32_t dpi = static_cast<int32_t>(app.dpi);
    const POINT at{(window.left + window.right) / 2 - Scale(150, dpi), window.top + Scale(24, dpi)};
    ui::ShowTip(app.notice, hwnd, L"집중 모드 · F11 또는 Esc를 누르면 돌아갑니다", at, app.palette, dpi);
    SetTimer(hwnd, kTimerFocusNotice, kFocusNoticeMs, nullptr);
}

void LeaveFocusMode(App& app) {
    HWND hwnd = app.hwnd;
    app.focusMode = false;
    SetWindowLongPtrW(hwnd, GWL_STYLE, app.focusStyle);
    SetWindowPlacement(hwnd, &app.focusPlacement);
    SetWindowPos(hwnd, nullptr, 0, 0, 0, 0,
                 SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_FRAMECHANGED | SWP_NOACTIVATE);
    KillTimer(hwnd, kTimerFocusNotice);
    ui::HideTip(app.notice);
}

}  // namespace

void SetZoom(App& app, int32_t level) {
    Ed(app, SCI_SETZOOM, static_cast<uintptr_t>(ClampZoom(level, app.settings.size)));
}

void SetWordWrap(App& app, bool on) {
    app.settings.wrap = on;
    Ed(app, SCI_SETWRAPMODE, on ? SC_WRAP_WORD : SC_WRAP_NONE);
    Ed(app, SCI_SETHSCROLLBAR, on ? 0 : 1);
}

void ToggleFocusMode(App& app) {
    HideTooltip(app);
    if (app.focusMode) {
        LeaveFocusMode(app);
    } else {
        EnterFocusMode(app);
    }
    Layout(app);
    RepaintAll(app);
    FocusEditor(app);
}

void InsertTimeDate(App& app) {
    wchar_t time[64] = {}, date[64] = {};
    GetTimeFormatEx(LOCALE_NAME_USER_DEFAULT, TIME_NOSECONDS, nullptr, nullptr, time, 64);
    GetDateFormatEx(LOCALE_NAME_USER_DEFAULT, DATE_SHORTDATE, nullptr, nullptr, date, 64, nullptr);
    const std::string text = WideToUtf8(std::wstring(time) + L" " + date);
    Ed(app, SCI_REPLACESEL, 0, text.c_str());
}

namespace {
// The selection's text when its byte length allows a search.
std::optional<std::wstring> SearchableSelection(App& app) {
    const int64_t start = Ed(app, SCI_GETSELECTIONSTART), end = Ed(app, SCI_GETSELECTIONEND);
    if (end <= start || end - start > kWebSearchMaxBytes) return std::nullopt;
    return Utf8ToWide(EditorRange(app, start, end));
}
}  // namespace

bool CanWebSearch(App& app) {
    const int64_t start = Ed(app, SCI_GETSELECTIONSTART), end = Ed(app, SCI_GETSELECTIONEND);
    // The menu wants shorter than 8,000 bytes, where the command itself stops only above it.
    if (end - start >= kWebSearchMaxBytes) return false;
    const std::optional<std::wstring> text = SearchableSelection(app);
    return text && text->size() < kWebSearchMaxUnits;
}

void WebSearch(App& app) {
    const std::optional<std::wstring> text = SearchableSelection(app);
    if (!text) return;
    const std::optional<std::string> query = WebSearchQuery(*text);
    if (!query) return;
    // The query is percent-encoded, so it holds no quote, space or character a shell would read.
    const std::wstring url = Utf8ToWide(std::string(kWebSearchAddress) + *query);
    static const auto shellExecute =
        SystemFunction<decltype(&ShellExecuteW)>(L"shell32.dll", "ShellExecuteW");
    if (shellExecute) shellExecute(app.hwnd, nullptr, url.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
}

}  // namespace lumen
