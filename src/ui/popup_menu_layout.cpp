#include "ui/popup_menu_layout.h"

#include <algorithm>

#include "app/theme.h"

namespace lumen::ui {

MenuLayout LayoutMenu(const std::vector<MenuItem>& items, int32_t dpi, const MenuTextMeasure& measure) {
    MenuLayout layout;
    int32_t widestLabel = 0, widestShortcut = 0;
    bool anyShortcut = false, anySubmenu = false;
    for (const MenuItem& item : items) {
        layout.iconColumn |= item.glyph != 0 || item.checked || item.radio;
        if (item.separator) continue;
        widestLabel = std::max(widestLabel,
                               item.header ? measure.SmallWidth(item.label) : measure.LabelWidth(item.label));
        if (!item.shortcut.empty()) {
            anyShortcut = true;
            widestShortcut = std::max(widestShortcut, measure.SmallWidth(item.shortcut));
        }
        anySubmenu |= !item.submenu.empty();
    }
    layout.textIndent = Scale(layout.iconColumn ? 40 : 12, dpi);

    int32_t width = widestLabel + Scale(12, dpi) + layout.textIndent;
    if (anyShortcut) width += Scale(28, dpi) + widestShortcut;
    if (anySubmenu) width += Scale(28, dpi);
    width += 2 * Scale(4, dpi);
    layout.width = std::clamp(width, Scale(200, dpi), Scale(520, dpi));

    const int32_t pad = Scale(4, dpi);
    int32_t y = pad;
    layout.rows.reserve(items.size());
    for (const MenuItem& item : items) {
        const int32_t h = Scale(item.separator ? 9 : item.header ? 28 : 32, dpi);
        layout.rows.push_back(PopupRect{pad, y, layout.width - pad, y + h});
        y += h;
    }
    layout.height = y + pad;
    return layout;
}

MenuRowParts LayoutMenuRow(const MenuItem& item, const PopupRect& row, const MenuLayout& layout,
                           int32_t shortcutWidth, int32_t dpi) {
    MenuRowParts parts;
    const int32_t edge = Scale(12, dpi);
    if (item.header) {
        parts.label = PopupRect{row.left + edge, row.top, row.right - edge, row.bottom};
        return parts;
    }
    parts.icon = PopupRect{row.left + Scale(6, dpi), row.top, row.left + Scale(34, dpi), row.bottom};
    int32_t labelRight = row.right - edge;
    if (!item.submenu.empty()) {
        parts.arrow = PopupRect{row.right - Scale(28, dpi), row.top, row.right - Scale(8, dpi), row.bottom};
        labelRight = parts.arrow.left - Scale(4, dpi);
    } else if (!item.shortcut.empty()) {
        parts.shortcut = PopupRect{row.right - edge - shortcutWidth, row.top, row.right - edge, row.bottom};
        labelRight = parts.shortcut.left - Scale(16, dpi);
    }
    parts.label = PopupRect{row.left + layout.textIndent, row.top, labelRight, row.bottom};
    return parts;
}

bool IsSelectable(const MenuItem& item) {
    return item.enabled && !item.separator && !item.header;
}

int32_t FirstSelectable(const std::vector<MenuItem>& items) {
    const auto it = std::find_if(items.begin(), items.end(), IsSelectable);
    return it == items.end() ? -1 : static_cast<int32_t>(it - items.begin());
}

int32_t LastSelectable(const std::vector<MenuItem>& items) {
    const auto it = std::find_if(items.rbegin(), items.rend(), IsSelectable);
    return it == items.rend() ? -1 : static_cast<int32_t>(items.rend() - it) - 1;
}

int32_t StepSelectable(const std::vector<MenuItem>& items, int32_t from, bool forward) {
    const auto n = static_cast<int32_t>(items.size());
    if (from < 0 || from >= n) return forward ? FirstSelectable(items) : LastSelectable(items);
    int32_t i = from;
    for (int32_t step = 0; step < n; ++step) {
        i = forward ? (i + 1) % n : (i + n - 1) % n;
        if (IsSelectable(items[static_cast<size_t>(i)])) return i;
    }
    return -1;
}

int32_t MenuRowAt(const MenuLayout& layout, const std::vector<MenuItem>& items, int32_t x, int32_t y) {
    const size_t n = std::min(layout.rows.size(), items.size());
    for (size_t i = 0; i < n; ++i) {
        if (layout.rows[i].Contains(x, y)) return items[i].separator ? -1 : static_cast<int32_t>(i);
    }
    return -1;
}

PopupPoint PlaceRootMenu(PopupPoint anchor, uint32_t flags, PopupSize size, const PopupRect& work) {
    const bool bottom = (flags & kMenuAnchorBottom) != 0;
    PopupPoint at{(flags & kMenuAnchorRight) ? anchor.x - size.width : anchor.x,
                  bottom ? anchor.y - size.height : anchor.y};
    if (at.x + size.width > work.right) at.x = work.right - size.width;
    if (at.y + size.height > work.bottom) {
        at.y = bottom ? work.bottom - size.height : std::max(work.top, anchor.y - size.height);
    }
    return KeepInside(at, size, work);
}

PopupPoint PlaceSubmenu(const PopupRect& parentRow, PopupSize size, const PopupRect& work, int32_t dpi) {
    // The parent row widened to its window's edges; the submenu's first row lines up with it.
    const int32_t pad = Scale(4, dpi);
    const int32_t left = parentRow.left - pad, right = parentRow.right + pad;
    PopupPoint at{right - Scale(2, dpi), parentRow.top - pad};
    if (at.x + size.width > work.right) at.x = left + Scale(2, dpi) - size.width;
    return KeepInside(at, size, work);
}

}  // namespace lumen::ui
