// Line drawings that stand in for the icon font's chrome glyphs where the font is missing (older
// systems, Wine): without them the caption buttons, the tab close boxes and the menu's check marks
// would be empty places. Each is drawn in a square one font em across, centred on the glyph's box.
#pragma once

#include <cstdint>
#include <vector>

#include "ui/raster.h"

namespace lumen::ui {

struct IconStandIn {
    // Polylines in em units, (0, 0) the centre and y downwards; each closed or open.
    struct Line {
        std::vector<PointF> points;
        bool closed = false;
    };
    std::vector<Line> lines;
    std::vector<PointF> dots;  // small discs, same units
};

// The stand-in for a glyph of the icon font, or an empty one (no lines, no dots) for glyphs that
// are decoration only.
const IconStandIn& IconStandInFor(char32_t codePoint);

}  // namespace lumen::ui
