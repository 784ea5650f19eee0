// Plain rectangles, sizes and points of the toolkit's popup windows (menu, message dialog, tip) and
// the rule that keeps a popup inside a monitor's work area. No system types, so every placement rule
// is tested natively with plain numbers.
#pragma once

#include <algorithm>
#include <cstdint>

namespace lumen::ui {

struct PopupPoint {
    int32_t x = 0, y = 0;
    bool operator==(const PopupPoint&) const = default;
};

struct PopupSize {
    int32_t width = 0, height = 0;
    bool operator==(const PopupSize&) const = default;
};

struct PopupRect {
    int32_t left = 0, top = 0, right = 0, bottom = 0;
    int32_t Width() const { return right - left; }
    int32_t Height() const { return bottom - top; }
    bool Empty() const { return right <= left || bottom <= top; }
    bool Contains(int32_t x, int32_t y) const { return x >= left && x < right && y >= top && y < bottom; }
    PopupRect Offset(int32_t dx, int32_t dy) const { return {left + dx, top + dy, right + dx, bottom + dy}; }
    PopupRect Inflate(int32_t d) const { return {left - d, top - d, right + d, bottom + d}; }
    bool operator==(const PopupRect&) const = default;
};

// `start` moved into [low, max(low, high - extent)]: a popup that fits stays whole on the area; one
// that does not fit starts at the area's start edge.
constexpr int32_t ClampStart(int32_t start, int32_t extent, int32_t low, int32_t high) {
    return std::clamp(start, low, std::max(low, high - extent));
}

// The top-left corner moved so that a popup of `size` lies within `area` as far as it can.
constexpr PopupPoint KeepInside(PopupPoint at, PopupSize size, const PopupRect& area) {
    return {ClampStart(at.x, size.width, area.left, area.right),
            ClampStart(at.y, size.height, area.top, area.bottom)};
}

}  // namespace lumen::ui
