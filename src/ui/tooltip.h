// Hover hints and notices: one custom-drawn tip window ("Lumenpad.Tip") per owner. The owner decides
// what to show and when (it hovers, waits for its delay timer, then calls ShowTip); the tip sizes
// itself to the text, keeps itself on the monitor and paints. It never takes the focus or the
// activation, and the mouse falls through it to the windows below.
// Size and placement rules live in tooltip_layout.h.
#pragma once

#ifdef _WIN32

#include <windows.h>

#include <cstdint>
#include <string>
#include <string_view>

#include "app/theme.h"
#include "ui/surface.h"

namespace lumen::ui {

// One per owner window, owned by it; the window is created on the first ShowTip and kept.
struct TipWindow {
    HWND window = nullptr;
    std::wstring tipText;
    Palette colours;  // the owner's palette: surface, surfaceBorder and text are used
    int32_t dpi = 96;
    Surface tipSurface;

    TipWindow() = default;
    TipWindow(const TipWindow&) = delete;
    TipWindow& operator=(const TipWindow&) = delete;
    ~TipWindow();  // destroys the window if it still exists
};

// Shows `text` at the screen point `anchor` (or above it near the bottom of the monitor), replacing
// what the tip showed before.
void ShowTip(TipWindow& tip, HWND owner, std::wstring_view text, POINT anchor, const Palette& palette,
             int32_t dpi);
// Hides the tip if it is visible.
void HideTip(TipWindow& tip);

}  // namespace lumen::ui

#endif
