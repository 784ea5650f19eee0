// The program's popup menus: a tree of MenuItem records shown by one modal call that returns the
// chosen command id. Menu windows ("Lumenpad.Menu") never take the activation from their owner;
// submenus open on hover or from the keyboard; every level stays inside its monitor's work area.
//
// The run is modal on the calling (user-interface) thread: its loop dispatches every message it does
// not use itself, so the owner's timers and painting go on. One menu runs at a time in the process.
// Geometry, placement and keyboard stepping live in popup_menu_layout.h.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#ifdef _WIN32
#include <windows.h>
#endif

namespace lumen {
struct Palette;
}

namespace lumen::ui {

struct MenuItem {
    uint32_t id = 0;  // returned when the row is chosen; 0 for rows that return nothing
    std::wstring label;
    std::wstring shortcut;  // right-aligned hint such as "Ctrl+S"; empty for none
    uint16_t glyph = 0;     // icon-font code point for the icon column; 0 for none
    bool checked = false;
    bool radio = false;
    bool enabled = true;
    bool separator = false;
    bool header = false;            // a caption that cannot be highlighted
    std::vector<MenuItem> submenu;  // non-empty: the row opens it and never returns its own id
};

// ShowPopupMenu flags: the anchor point is the menu's right edge / its bottom edge.
inline constexpr uint32_t kMenuAnchorRight = 1;
inline constexpr uint32_t kMenuAnchorBottom = 2;

#ifdef _WIN32

struct MenuLayout;

// Shows the menu anchored at the screen point and returns the chosen row's id, or 0 when it was
// cancelled (Escape at the root, Tab, Alt, F10, a click outside, loss of the mouse capture, WM_QUIT,
// which is posted again afterwards), when another menu is running, or when `items` is empty.
//
// With the environment variable "LUMENPAD_UITEST" set (read once per process), losing the mouse
// capture does not close the menu, so automated input can reach it.
uint32_t ShowPopupMenu(HWND owner, const std::vector<MenuItem>& items, POINT point, uint32_t flags,
                       const Palette& palette, int32_t dpi);

// The rows and size of one menu level as ShowPopupMenu lays it out at `dpi`, measured with its fonts.
MenuLayout MeasurePopupMenu(const std::vector<MenuItem>& items, int32_t dpi);

#endif

}  // namespace lumen::ui
