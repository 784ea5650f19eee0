// Scroll-bar values and the geometry of the view's own thin overlay bars. Pure arithmetic, shared
// by the painter, the mouse handling and the tests.
#pragma once

#include <cstdint>

namespace quill {

struct ScrollValues {
    int64_t min = 0;
    int64_t max = 0;
    int64_t page = 0;
    int64_t pos = 0;
    bool operator==(const ScrollValues&) const = default;
    // A bar shows only when its page is positive and its range exceeds the page.
    bool Scrollable() const { return page > 0 && max - min + 1 > page; }
};

struct BarRect {
    int32_t left = 0, top = 0, right = 0, bottom = 0;
    bool Empty() const { return right <= left || bottom <= top; }
    bool Contains(int32_t x, int32_t y) const { return x >= left && x < right && y >= top && y < bottom; }
};

// Where an overlay bar and its thumb are, at a DPI; `exists` is false when the bar shows nothing.
struct OverlayBar {
    bool exists = false;
    BarRect strip;           // the full 14-pixel strip along the edge
    int32_t trackStart = 0;  // along the bar's axis
    int32_t trackLength = 0;
    int32_t thumbOffset = 0;  // from trackStart
    int32_t thumbLength = 0;
};

inline constexpr int32_t kOverlayStrip = 14;  // at 96 DPI

// The overlay bars, as the pointer sees them.
enum OverlayPart { kOverlayNone = 0, kOverlayVertical = 1, kOverlayHorizontal = 2 };

// The pointer's state over the overlay bars: the bar it hovers, the bar whose thumb it drags and
// where it holds the thumb (pixels from the thumb's start along the bar).
struct OverlayPointer {
    int hover = kOverlayNone;
    int drag = kOverlayNone;
    int32_t grab = 0;
};

// Geometry of the vertical (or horizontal) overlay bar in a client area. `otherExists` tells
// whether the other bar shows, which shortens the vertical track.
OverlayBar ComputeOverlayBar(bool vertical, int32_t clientWidth, int32_t clientHeight, const ScrollValues& v,
                             bool otherExists, int32_t dpi);

// The scroll position for a thumb dragged to `pointer` (along the axis) with the grab point
// `grab` pixels into the thumb.
int64_t OverlayDragPosition(const OverlayBar& bar, const ScrollValues& v, int32_t pointer, int32_t grab);

inline int32_t ScaleForDpi(int32_t value, int32_t dpi) {
    return static_cast<int32_t>((int64_t{value} * dpi + 48) / 96);
}

}  // namespace quill
