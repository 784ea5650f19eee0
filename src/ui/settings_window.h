// A generic settings window ("Lumenpad.Settings"): a list of pages on the left and, on the right, the
// rows of the selected page as cards with a switch, a segmented choice, a button or accent swatches.
// The caller hands it two functions: one builds the pages from the current state, one applies a
// single change. After every change the pages are built again, so the window always shows the state
// (and the palette, which a change may have replaced). There is no OK or Cancel: each change is final.
//
// The window is modal, one at a time, and runs its own message loop on the user-interface thread.
// Geometry and hit-testing live in settings_layout.h.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#ifdef _WIN32
#include <windows.h>
#endif

namespace lumen {
struct Palette;
}

namespace lumen::ui {

// SettingRow::kind
inline constexpr uint32_t kSettingSwitch = 0;
inline constexpr uint32_t kSettingChoice = 1;
inline constexpr uint32_t kSettingButton = 2;
inline constexpr uint32_t kSettingAccent = 3;

struct SettingRow {
    uint32_t kind = kSettingSwitch;
    uint32_t id = 0;  // handed to the apply function
    std::wstring label;
    std::wstring description;           // empty: none
    bool on = false;                    // switch
    std::vector<std::wstring> options;  // choice
    int32_t selected = 0;               // choice: the segment; accent: the swatch
    std::vector<uint32_t> swatches;     // accent: COLORREF values
    std::wstring buttonText;            // button
};

struct SettingPage {
    std::wstring title;
    uint16_t glyph = 0;  // icon-font code point beside the title in the page list
    std::vector<SettingRow> rows;
};

#ifdef _WIN32

using SettingPagesBuilder = std::function<std::vector<SettingPage>()>;
// (row id, value): the new switch state (0 or 1), the segment or swatch index, or 0 for a button.
using SettingApplier = std::function<void(uint32_t id, int32_t value)>;

// Shows the window over `owner` and returns when it is closed. `palette` is read at every paint, so a
// change that rebuilds it recolours the window. When a settings window is already open it is brought
// to the front and the call returns at once.
void ShowSettingsWindow(HWND owner, const Palette& palette, int32_t dpi, const SettingPagesBuilder& build,
                        const SettingApplier& apply);

// The settings window open now, or null.
HWND OpenSettingsWindow();

struct SettingsLayout;
// The layout the window makes of `pages` at this client size and DPI, measured with its fonts.
SettingsLayout MeasureSettingsWindow(const std::vector<SettingPage>& pages, int32_t page, int32_t scroll,
                                     int32_t width, int32_t height, int32_t dpi);

#endif

}  // namespace lumen::ui
