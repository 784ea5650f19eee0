// The program's main window inside the Windows test program, as the shell, command and find-card
// tests drive it: self-test class (no settings file, no recent files), 1000 x 700 at the corner.
#pragma once

#include <windows.h>

#include "app/app.h"
#include "app/main_window.h"
#include "app/theme_apply.h"
#include "edit/quill_window_win.h"
#include "selftest/self_test.h"

namespace lumen::test {

inline void OpenTestMainWindow(App& app, int show = SW_SHOWNOACTIVATE) {
    app.instance = GetModuleHandleW(nullptr);
    app.selfTest = true;
    ResolveTheme(app);
    quill::RegisterQuillEditClass(app.instance);
    RegisterMainWindowClass(app.instance, true);
    CreateWindowExW(WS_EX_APPWINDOW, kSelfTestWindowClass, L"", WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN, 0, 0,
                    1000, 700, nullptr, nullptr, app.instance, &app);
    ShowWindow(app.hwnd, show);
    UpdateWindow(app.hwnd);
    PumpMessages();
}

// Destroys the window and empties the queue. Dispatched, not only removed: another test's window
// waiting for its paint would otherwise post WM_PAINT forever. The quit message is dropped.
inline void CloseTestMainWindow(App& app) {
    DestroyWindow(app.hwnd);
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE))
        if (msg.message != WM_QUIT) DispatchMessageW(&msg);
}

}  // namespace lumen::test
