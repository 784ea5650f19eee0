// The About window ("Lumenpad.About"): the logo, the name, the version, a one-line description, three
// information rows (the last two are links), a footer and an "확인" button. Modal, one at a time,
// with its own message loop on the user-interface thread.
#pragma once

#ifdef _WIN32

#include <windows.h>

#include <cstdint>
#include <string>

namespace lumen {
struct Palette;
}

namespace lumen::ui {

struct AboutInfoRow {
    std::wstring label, value;
    std::wstring target;  // opened through the shell when clicked; empty: plain text
};

struct AboutContent {
    std::wstring name, version, description, footer;
    AboutInfoRow rows[3];
};

// Shows the window and returns when it is closed; nothing when one is open already. The owner is the
// active window when that is `mainWindow` or a window it owns (the settings window), else `mainWindow`;
// the owner is disabled while the window is up and activated afterwards.
void ShowAboutWindow(HWND mainWindow, const Palette& palette, int32_t dpi, const AboutContent& content);

// The About window open now, or null.
HWND OpenAboutWindow();

}  // namespace lumen::ui

#endif
