#include "edit/scroll_bars.h"

#include <algorithm>

namespace quill {

OverlayBar ComputeOverlayBar(bool vertical, int32_t clientWidth, int32_t clientHeight, const ScrollValues& v,
                             bool otherExists, int32_t dpi) {
    OverlayBar bar;
    const int32_t strip = ScaleForDpi(kOverlayStrip, dpi);
    const int32_t two = ScaleForDpi(2, dpi);
    if (vertical) {
        bar.strip = {clientWidth - strip, 0, clientWidth, clientHeight};
        bar.trackStart = two;
        bar.trackLength = clientHeight - two - two - (otherExists ? strip : 0);
    } else {
        bar.strip = {0, clientHeight - strip, clientWidth, clientHeight};
        bar.trackStart = two;
        bar.trackLength = clientWidth - strip - two - two;
    }
    if (!v.Scrollable() || bar.trackLength < ScaleForDpi(28, dpi)) return bar;
    const int64_t range = v.max - v.min + 1;
    const int64_t track = bar.trackLength;
    const int64_t thumb =
        std::min<int64_t>(track, std::max<int64_t>(ScaleForDpi(32, dpi), v.page * track / range));
    const int64_t travel = range - v.page;
    const int64_t offset =
        travel > 0 ? (std::clamp(v.pos, v.min, v.min + travel) - v.min) * (track - thumb) / travel : 0;
    bar.exists = true;
    bar.thumbLength = static_cast<int32_t>(thumb);
    bar.thumbOffset = static_cast<int32_t>(offset);
    return bar;
}

int64_t OverlayDragPosition(const OverlayBar& bar, const ScrollValues& v, int32_t pointer, int32_t grab) {
    const int64_t room = bar.trackLength - bar.thumbLength;
    if (room <= 0) return v.min;
    const int64_t along = std::clamp<int64_t>(pointer - bar.trackStart - grab, 0, room);
    return v.min + along * (v.max - v.min + 1 - v.page) / room;
}

}  // namespace quill
