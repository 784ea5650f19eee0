// Geometry of a popup menu level from plain numbers: row rectangles and the level's size, the parts
// of one row, where the root and a submenu go on the work area, and stepping the highlight through
// the selectable rows. Text widths come through MenuTextMeasure, so all of it runs natively.
//
// Invariants of a MenuLayout:
//  - one row rectangle per item, stacked from 4 DIP below the top, each spanning 4 DIP to width - 4;
//  - separators are 9 DIP, headers 28 DIP and other rows 32 DIP high; height = last bottom + 4 DIP;
//  - the width lies in 200..520 DIP (scaled);
//  - every length is its 96-DPI value scaled with Scale(length, dpi).
#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

#include "ui/popup_geometry.h"
#include "ui/popup_menu.h"

namespace lumen::ui {

// Text widths in device pixels: labels in the 14 DIP font; shortcuts and headers in the 12 DIP one.
class MenuTextMeasure {
public:
    virtual ~MenuTextMeasure() = default;
    virtual int32_t LabelWidth(std::wstring_view text) const = 0;
    virtual int32_t SmallWidth(std::wstring_view text) const = 0;
};

struct MenuLayout {
    std::vector<PopupRect> rows;  // client coordinates, one per item
    bool iconColumn = false;      // some row has a glyph, a check or a radio mark
    int32_t textIndent = 0;       // where labels start, from a row's left edge
    int32_t width = 0, height = 0;
};

MenuLayout LayoutMenu(const std::vector<MenuItem>& items, int32_t dpi, const MenuTextMeasure& measure);

// Where the parts of a non-separator row are drawn (client coordinates).
struct MenuRowParts {
    PopupRect icon;      // the check, radio dot or glyph
    PopupRect label;     // the label, cut with an ellipsis at its right edge
    PopupRect shortcut;  // empty unless the row has a shortcut and no submenu
    PopupRect arrow;     // empty unless the row has a submenu
};
MenuRowParts LayoutMenuRow(const MenuItem& item, const PopupRect& row, const MenuLayout& layout,
                           int32_t shortcutWidth, int32_t dpi);

// Enabled, neither a separator nor a header.
bool IsSelectable(const MenuItem& item);
// The first / last selectable row, -1 when there is none.
int32_t FirstSelectable(const std::vector<MenuItem>& items);
int32_t LastSelectable(const std::vector<MenuItem>& items);
// The next (forward) or previous selectable row after `from`, wrapping at the ends; from -1 forward
// starts at the first, backward at the last. -1 when no row is selectable.
int32_t StepSelectable(const std::vector<MenuItem>& items, int32_t from, bool forward);

// The row under a client point, -1 over padding or a separator.
int32_t MenuRowAt(const MenuLayout& layout, const std::vector<MenuItem>& items, int32_t x, int32_t y);

// Top-left corner of the root level for an anchor point and the kMenuAnchor* flags: pushed left when
// it passes the right of the work area, opened upwards when it passes the bottom, then kept inside.
PopupPoint PlaceRootMenu(PopupPoint anchor, uint32_t flags, PopupSize size, const PopupRect& work);
// Top-left corner of a submenu beside its parent row (screen coordinates): to the right, overlapping
// the parent by 2 DIP, or to the left when the right does not fit; then kept inside.
PopupPoint PlaceSubmenu(const PopupRect& parentRow, PopupSize size, const PopupRect& work, int32_t dpi);

}  // namespace lumen::ui
