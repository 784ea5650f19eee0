// The view's own thin scroll bars, drawn over the text when its window has no system bars: their
// geometry for the current scroll values, hovering, and pressing and dragging a thumb.
#include <algorithm>

#include "edit/view.h"

namespace quill {

OverlayBar View::OverlayGeometry(bool vertical) {
    if (!overlayBars_) return {};
    const ScrollValues v = VerticalValues();
    const ScrollValues h = HorizontalValues();
    return vertical ? ComputeOverlayBar(true, clientWidth_, clientHeight_, v, h.Scrollable(), dpi_)
                    : ComputeOverlayBar(false, clientWidth_, clientHeight_, h, false, dpi_);
}

int View::OverlayAt(int32_t x, int32_t y) {
    if (!overlayBars_) return kOverlayNone;
    const OverlayBar v = OverlayGeometry(true);
    if (v.exists && v.strip.Contains(x, y)) return kOverlayVertical;
    const OverlayBar h = OverlayGeometry(false);
    if (h.exists && h.strip.Contains(x, y)) return kOverlayHorizontal;
    return kOverlayNone;
}

void View::InvalidateOverlayStrips() {
    const int32_t strip = ScaleForDpi(kOverlayStrip, dpi_);
    host_->InvalidateRect(clientWidth_ - strip, 0, clientWidth_, clientHeight_);
    host_->InvalidateRect(0, clientHeight_ - strip, clientWidth_, clientHeight_);
}

void View::InvalidateChangedOverlayStrips(const ScrollValues& oldV, const ScrollValues& oldH,
                                          const ScrollValues& v, const ScrollValues& h) {
    // Only the strip of a bar whose drawing changed: a line growing while typing changes the
    // horizontal values, mostly without moving a thumb (or with no bar to show), and repainting
    // the vertical strip too would touch every row.
    const int32_t strip = ScaleForDpi(kOverlayStrip, dpi_);
    auto bar = [&](bool vertical, const ScrollValues& vv, const ScrollValues& hv) {
        return vertical ? ComputeOverlayBar(true, clientWidth_, clientHeight_, vv, hv.Scrollable(), dpi_)
                        : ComputeOverlayBar(false, clientWidth_, clientHeight_, hv, false, dpi_);
    };
    auto same = [](const OverlayBar& a, const OverlayBar& b) {
        if (!a.exists || !b.exists) return a.exists == b.exists;
        return a.trackStart == b.trackStart && a.trackLength == b.trackLength &&
               a.thumbOffset == b.thumbOffset && a.thumbLength == b.thumbLength;
    };
    if (!same(bar(true, oldV, oldH), bar(true, v, h)))
        host_->InvalidateRect(clientWidth_ - strip, 0, clientWidth_, clientHeight_);
    if (!same(bar(false, oldV, oldH), bar(false, v, h)))
        host_->InvalidateRect(0, clientHeight_ - strip, clientWidth_, clientHeight_);
}

bool View::OverlayPress(int32_t x, int32_t y) {
    const int which = OverlayAt(x, y);
    if (which == kOverlayNone) return false;
    const bool vertical = which == kOverlayVertical;
    const OverlayBar geometry = OverlayGeometry(vertical);
    const int32_t along = vertical ? y : x;
    const int32_t thumbStart = geometry.trackStart + geometry.thumbOffset;
    overlay_.drag = which;
    if (along >= thumbStart && along < thumbStart + geometry.thumbLength) {
        overlay_.grab = along - thumbStart;
    } else {
        overlay_.grab = geometry.thumbLength / 2;
        OverlayDragTo(x, y);
    }
    InvalidateOverlayStrips();
    return true;
}

void View::OverlayDragTo(int32_t x, int32_t y) {
    if (overlay_.drag == kOverlayNone) return;
    const bool vertical = overlay_.drag == kOverlayVertical;
    const OverlayBar geometry = OverlayGeometry(vertical);
    if (!geometry.exists) return;
    const ScrollValues values = vertical ? VerticalValues() : HorizontalValues();
    const int64_t pos = OverlayDragPosition(geometry, values, vertical ? y : x, overlay_.grab);
    if (vertical) {
        ScrollToRow(pos);
    } else {
        SetXOffset(static_cast<int32_t>(std::min<int64_t>(pos, 0x3FFFFFFF)));
    }
}

void View::OverlayRelease() {
    if (overlay_.drag == kOverlayNone) return;
    overlay_.drag = kOverlayNone;
    InvalidateOverlayStrips();
}

bool View::OverlayHover(int32_t x, int32_t y) {
    const int over = OverlayAt(x, y);
    if (over != overlay_.hover) {
        overlay_.hover = over;
        InvalidateOverlayStrips();
    }
    return over != kOverlayNone;
}

void View::OverlayLeave() {
    if (overlay_.hover == kOverlayNone) return;
    overlay_.hover = kOverlayNone;
    InvalidateOverlayStrips();
}

}  // namespace quill
