// Geometry of the main window's title band (tabs, small buttons, caption buttons) and status band
// (five fields and the autosave indicator), computed once from plain numbers into one record that
// the painter draws and hit-testing searches, so the two never disagree.
//
// Invariants of a BandLayout:
//  - every length is its 96-DPI value scaled with MulDivRound(length, dpi, 96);
//  - all tabs share one width (100 to 220 px) and `scroll` lies in 0..overflow;
//  - pinned tabs (the first pinnedCount) never scroll; unpinned ones scroll under them;
//  - in focus mode both bands and all their elements are empty.
#pragma once

#include <cstdint>

namespace lumen {

// a × b / c in 64 bits, rounded half away from zero, as the system's MulDiv: -1 when c is 0 or the
// result does not fit in 32 bits.
int32_t MulDivRound(int32_t a, int32_t b, int32_t c);

struct BandRect {
    int32_t left = 0, top = 0, right = 0, bottom = 0;
    bool Empty() const { return right <= left || bottom <= top; }
    bool Contains(int32_t x, int32_t y) const { return x >= left && x < right && y >= top && y < bottom; }
    int32_t Width() const { return right - left; }
    bool operator==(const BandRect&) const = default;
};

// What a point of the bands is over: `part` below, `index` the tab for parts 1 and 2, else -1.
enum HitPartKind : int32_t {
    kHitNothing = 0,
    kHitTab = 1,  // also the whole of a pinned tab
    kHitTabClose = 2,
    kHitNewTab = 3,
    kHitOpenTabs = 4,  // only with two or more tabs
    kHitMenu = 5,
    kHitMinimize = 6,
    kHitMaximize = 7,
    kHitClose = 8,
    kHitPosition = 9,
    kHitCount = 10,
    kHitZoom = 11,
    kHitEol = 12,
    kHitEncoding = 13,
};
struct HitPart {
    int32_t part = kHitNothing;
    int32_t index = -1;
    bool operator==(const HitPart&) const = default;
};

// Text widths of the status fields in device pixels, measured by the caller in the status font.
// A negative width means the element is absent (no count text; no autosave indicator).
struct StatusWidths {
    int32_t position = 0, count = -1, zoom = 0, eol = 0, encoding = 0;
    int32_t autosave = -1;  // width of the indicator's text
};

struct BandInput {
    int32_t width = 0, height = 0;  // client area
    int32_t dpi = 96;
    int32_t tabCount = 0, pinnedCount = 0;
    bool focusMode = false;
    int32_t scroll = 0;  // wanted scroll offset of the unpinned tabs; clamped by the layout
    StatusWidths status;
};

struct BandLayout {
    int32_t dpi = 96, width = 0, height = 0;
    int32_t tabCount = 0, pinnedCount = 0;
    BandRect titleBand, statusBand;
    BandRect editor;  // below the title band and a gap (6 px, 28 px in focus mode), above the status band
    BandRect minimize, maximize, close, menu, openTabs, newTab;  // openTabs empty below two tabs
    int32_t tabLeft = 0, tabRight = 0;                           // the tab area
    int32_t available = 0;                                       // its usable width, at least 60 px
    int32_t tabTop = 0;  // tabs run from here to the title band's bottom
    int32_t tabWidth = 0, overflow = 0, scroll = 0;
    BandRect position, count, zoom, eol, encoding;  // the status fields; count empty without text
    BandRect autosave;                              // the indicator, empty when absent
    BandRect message;                               // where a transient message is drawn
    int32_t Scale(int32_t length) const { return MulDivRound(length, dpi, 96); }
};

BandLayout LayoutBands(const BandInput& input);

// Tab i's rectangle; unpinned tabs are moved left by the scroll offset.
BandRect TabRect(const BandLayout& layout, int32_t index);
// The close box of tab i (unpinned tabs only draw and answer it).
BandRect TabCloseBox(const BandLayout& layout, int32_t index);
// The tab index under x (may be out of range; pinned tabs cover the start of the area).
int32_t TabAtX(const BandLayout& layout, int32_t x);

HitPart HitTest(const BandLayout& layout, int32_t x, int32_t y);

// The scroll offset that shows the active tab whole (the current one for a pinned tab), clamped.
int32_t EnsureActiveVisible(const BandLayout& layout, int32_t active);

// Whether a held tab has moved far enough (more than 5 px) from where it was pressed to be dragged.
bool DragThresholdPassed(const BandLayout& layout, int32_t x, int32_t pressX);
// Where a dragged tab goes for the pointer at x: the tab under it, kept inside the held tab's group.
int32_t DragTarget(const BandLayout& layout, int32_t x, int32_t held);

// The wheel over the title band: with overflowing tabs and the pointer over the tab area it scrolls
// 80 px per notch (120 units of delta); elsewhere it activates the next tab (delta < 1) or the
// previous one, without wrapping around.
struct WheelEffect {
    int32_t scroll = 0;     // the new scroll offset
    int32_t activate = -1;  // the tab to activate, -1 for none
};
WheelEffect TitleBandWheel(const BandLayout& layout, int32_t x, int32_t delta, int32_t active);

}  // namespace lumen
