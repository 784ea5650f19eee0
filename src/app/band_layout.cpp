#include "app/band_layout.h"

#include <algorithm>
#include <cstdlib>
#include <utility>

namespace lumen {

int32_t MulDivRound(int32_t a, int32_t b, int32_t c) {
    if (c == 0) return -1;
    int64_t product = int64_t{a} * b, divisor = c;
    if (divisor < 0) product = -product, divisor = -divisor;
    const int64_t half = divisor / 2;
    const int64_t result = (product >= 0 ? product + half : product - half) / divisor;
    if (result > INT32_MAX || result < -INT32_MAX) return -1;
    return static_cast<int32_t>(result);
}

namespace {

// Lengths at 96 DPI.
constexpr int32_t kTitleHeight = 40, kStatusHeight = 30;
constexpr int32_t kCaptionWidth = 46;
constexpr int32_t kTabTop = 8, kSmallButtonHeight = 30;
constexpr int32_t kTabLeft = 40, kTabGapRight = 40, kNewTabRoom = 36;
constexpr int32_t kMinAvailable = 60, kMinTabWidth = 100, kMaxTabWidth = 220;
constexpr int32_t kNewTabWidth = 32;
constexpr int32_t kWheelNotch = 80;

void LayoutStatus(const BandInput& in, BandLayout& l) {
    const BandRect& band = l.statusBand;
    const int32_t top = band.top + l.Scale(4), bottom = band.bottom - l.Scale(3);
    const int32_t pad = l.Scale(20), gap = l.Scale(2);
    auto field = [&](int32_t left, int32_t textWidth) {
        return BandRect{left, top, left + textWidth + pad, bottom};
    };
    auto fieldLeftOf = [&](int32_t right, int32_t width) {
        return BandRect{right - width, top, right, bottom};
    };
    const StatusWidths& w = in.status;
    l.position = field(l.Scale(8), w.position);
    if (w.count >= 0) l.count = field(l.position.right + gap, w.count);
    l.encoding = fieldLeftOf(in.width - l.Scale(10), w.encoding + pad);
    l.eol = fieldLeftOf(l.encoding.left - gap, w.eol + pad);
    l.zoom = fieldLeftOf(l.eol.left - gap, w.zoom + pad);
    if (w.autosave >= 0) l.autosave = fieldLeftOf(l.zoom.left - gap, w.autosave + l.Scale(30));
    const int32_t leftEnd = (l.count.Empty() ? l.position : l.count).right;
    const int32_t rightStart = (l.autosave.Empty() ? l.zoom : l.autosave).left;
    l.message = {leftEnd + l.Scale(12), top, std::max(leftEnd + l.Scale(12), rightStart - l.Scale(12)),
                 bottom};
}

}  // namespace

BandLayout LayoutBands(const BandInput& in) {
    BandLayout l;
    l.dpi = in.dpi;
    l.width = in.width;
    l.height = in.height;
    l.tabCount = std::max(in.tabCount, 0);
    l.pinnedCount = std::clamp(in.pinnedCount, 0, l.tabCount);
    const int32_t W = in.width, N = l.tabCount;
    const int32_t T = in.focusMode ? 0 : l.Scale(kTitleHeight);
    const int32_t S = in.focusMode ? 0 : l.Scale(kStatusHeight);
    l.titleBand = {0, 0, W, T};
    l.statusBand = {0, in.height - S, W, in.height};
    const int32_t editorTop = T + l.Scale(in.focusMode ? 28 : 6);
    l.editor = {0, editorTop, W, std::max(editorTop, l.statusBand.top)};

    const int32_t caption = l.Scale(kCaptionWidth);
    l.close = {W - caption, 0, W, T};
    l.maximize = {W - 2 * caption, 0, W - caption, T};
    l.minimize = {W - 3 * caption, 0, W - 2 * caption, T};
    // The small buttons are centred in the tab row (below the tabs' top margin). In focus mode the
    // band has no height and neither do they.
    const int32_t smallTop =
        in.focusMode ? 0 : l.Scale(kTabTop) + (T - l.Scale(kSmallButtonHeight) - l.Scale(kTabTop)) / 2;
    const int32_t smallBottom = in.focusMode ? 0 : smallTop + l.Scale(kSmallButtonHeight);
    l.menu = {l.minimize.left - l.Scale(44), smallTop, l.minimize.left - l.Scale(8), smallBottom};
    if (N >= 2) l.openTabs = {l.menu.left - l.Scale(38), smallTop, l.menu.left - l.Scale(4), smallBottom};

    l.tabTop = l.Scale(kTabTop);
    l.tabLeft = l.Scale(kTabLeft);
    l.tabRight = (N >= 2 ? l.openTabs.left : l.menu.left) - l.Scale(kTabGapRight) - l.Scale(kNewTabRoom);
    l.available = std::max(l.tabRight - l.tabLeft, l.Scale(kMinAvailable));
    if (N > 0) {
        const int32_t w = l.available / N;
        l.tabWidth = w >= l.Scale(kMaxTabWidth) ? l.Scale(kMaxTabWidth) : std::max(w, l.Scale(kMinTabWidth));
    } else {
        l.tabWidth = l.Scale(kMaxTabWidth);
    }
    l.overflow = std::max(static_cast<int32_t>(int64_t{N} * l.tabWidth - l.available), 0);
    l.scroll = std::clamp(in.scroll, 0, l.overflow);
    const int32_t newTabLeft =
        l.overflow > 0 ? l.tabRight + l.Scale(4) : l.tabLeft + l.Scale(4) + N * l.tabWidth;
    l.newTab = {newTabLeft, smallTop, newTabLeft + l.Scale(kNewTabWidth), smallBottom};

    if (!in.focusMode) LayoutStatus(in, l);
    return l;
}

BandRect TabRect(const BandLayout& l, int32_t i) {
    int32_t x = l.tabLeft + i * l.tabWidth;
    if (i >= l.pinnedCount) x -= l.scroll;
    return {x, l.tabTop, x + l.tabWidth, l.titleBand.bottom};
}

BandRect TabCloseBox(const BandLayout& l, int32_t i) {
    const BandRect tab = TabRect(l, i);
    const int32_t c = (tab.top + tab.bottom) / 2;
    return {tab.right - l.Scale(32), c - l.Scale(12), tab.right - l.Scale(8), c + l.Scale(12)};
}

int32_t TabAtX(const BandLayout& l, int32_t x) {
    if (l.tabWidth <= 0) return -1;
    if (x >= l.tabLeft + l.pinnedCount * l.tabWidth) return (x - l.tabLeft + l.scroll) / l.tabWidth;
    return (x - l.tabLeft) / l.tabWidth;
}

HitPart HitTest(const BandLayout& l, int32_t x, int32_t y) {
    if (l.titleBand.Contains(x, y)) {
        const std::pair<const BandRect*, int32_t> buttons[] = {
            {&l.close, kHitClose}, {&l.maximize, kHitMaximize}, {&l.minimize, kHitMinimize},
            {&l.menu, kHitMenu},   {&l.openTabs, kHitOpenTabs}, {&l.newTab, kHitNewTab},
        };
        for (const auto& [rect, part] : buttons) {
            if (rect->Contains(x, y)) return {part, -1};
        }
        const int32_t i = TabAtX(l, x);
        if (x >= l.tabLeft && x < l.tabRight && y >= l.tabTop && i >= 0 && i < l.tabCount) {
            const bool pinned = i < l.pinnedCount;
            if (!pinned && TabCloseBox(l, i).Contains(x, y)) return {kHitTabClose, i};
            return {kHitTab, i};
        }
        return {};
    }
    if (l.statusBand.Contains(x, y)) {
        const std::pair<const BandRect*, int32_t> fields[] = {
            {&l.position, kHitPosition}, {&l.count, kHitCount},       {&l.zoom, kHitZoom},
            {&l.eol, kHitEol},           {&l.encoding, kHitEncoding},
        };
        for (const auto& [rect, part] : fields) {
            if (rect->Contains(x, y)) return {part, -1};
        }
    }
    return {};
}

int32_t EnsureActiveVisible(const BandLayout& l, int32_t a) {
    int32_t scroll = l.scroll;
    if (a >= l.pinnedCount && a < l.tabCount) {
        const int32_t w = l.tabWidth, P = l.pinnedCount;
        if (a * w - scroll < P * w) {
            scroll = (a - P) * w;
        } else if ((a + 1) * w - scroll > l.available) {
            scroll = (a + 1) * w - l.available;
        }
    }
    return std::clamp(scroll, 0, l.overflow);
}

bool DragThresholdPassed(const BandLayout& l, int32_t x, int32_t pressX) {
    return std::abs(x - pressX) > l.Scale(5);
}

int32_t DragTarget(const BandLayout& l, int32_t x, int32_t held) {
    const int32_t target = TabAtX(l, x);
    if (held < l.pinnedCount) return std::clamp(target, 0, l.pinnedCount - 1);
    return std::clamp(target, l.pinnedCount, std::max(l.tabCount - 1, l.pinnedCount));
}

WheelEffect TitleBandWheel(const BandLayout& l, int32_t x, int32_t delta, int32_t active) {
    WheelEffect effect{l.scroll, -1};
    if (l.tabCount <= 0) return effect;
    if (l.overflow > 0 && x >= l.tabLeft && x < l.tabRight) {
        effect.scroll = std::clamp(l.scroll - MulDivRound(delta, l.Scale(kWheelNotch), 120), 0, l.overflow);
    } else {
        effect.activate = std::clamp(delta < 1 ? active + 1 : active - 1, 0, l.tabCount - 1);
    }
    return effect;
}

}  // namespace lumen
