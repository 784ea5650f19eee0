// The main window ("Lumenpad.Main"): a frameless top-level window whose client area is the whole
// window: the title band with the tabs and caption buttons, the one editor control, the status band.
// Its window procedure routes each message to one small handler; the handlers live in
// main_window_win.cpp (window, frame, timers, notifications, hand-over), title_band_win.cpp and
// status_band_win.cpp (the bands) and tabs_win.cpp (the tab verbs).
#pragma once

#include <windows.h>

#include "app/app.h"

namespace lumen {

inline constexpr wchar_t kMainWindowClass[] = L"Lumenpad.Main";
inline constexpr wchar_t kSelfTestWindowClass[] = L"Lumenpad.SelfTest";
inline constexpr int kEditorControlId = 1;

// Registers the main window's class ("Lumenpad.SelfTest" in test mode, so that a second launch never
// hands its files to a test window).
bool RegisterMainWindowClass(HINSTANCE instance, bool testMode);
LRESULT CALLBACK MainWindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

// Recomputes every rectangle from the client size and places the editor.
void Layout(App& app);
// Recomputes the band layout only (the status texts changed width); the editor stays where it is.
void UpdateBandLayout(App& app);

// Repaint requests, the one place they are made.
enum BandMask : unsigned { kBandTitle = 1, kBandStatus = 2, kBandGap = 4, kBandAll = 7 };
void RepaintBands(App& app, unsigned bands);
// The whole window (after a size, DPI or theme change).
void RepaintAll(App& app);

void RestartTimer(App& app, TimerId id, UINT milliseconds);
void StopTimer(App& app, TimerId id);

// The keyboard focus to the editor.
void FocusEditor(App& app);

// Writes the settings file (never in the self-test or bench modes).
void WriteSettings(App& app);

// The width of a text in a font, for the band layout.
int32_t TextWidth(App& app, HFONT font, std::wstring_view text);

}  // namespace lumen
