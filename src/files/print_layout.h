// Printed pages from plain numbers: margins from the paper's edge, the header, rule and footer
// boxes, the text cut into printed lines, and their pages. Text is UTF-16 (one unit per wchar_t on
// every build); widths come through PrintMeasure, so the layout runs natively with a fake.
//
// Invariants of a PrintLayout: the pieces of one logical line, joined, are that line with its tabs
// expanded; a piece is never wider than the width unless it is one character (a unit or a surrogate
// pair) that does not fit on its own; no piece ends between the halves of a surrogate pair.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace lumen {

// The device context's paper: resolution and the physical page with the printable area's offsets.
struct PaperGeometry {
    int32_t dpiX = 0, dpiY = 0;                   // LOGPIXELSX, LOGPIXELSY
    int32_t paperWidth = 0, paperHeight = 0;      // PHYSICALWIDTH, PHYSICALHEIGHT
    int32_t printableLeft = 0, printableTop = 0;  // PHYSICALOFFSETX, PHYSICALOFFSETY
};

// In device units of the printable area (what drawing calls take).
struct PrintRect {
    int32_t left = 0, top = 0, right = 0, bottom = 0;
    bool operator==(const PrintRect&) const = default;
};

// Where everything of a page goes; the same for every page.
struct PrintFrame {
    PrintRect margins;  // left/right 20 mm, top/bottom 18 mm from the paper's edge
    PrintRect header;   // title at the left, date at the right
    PrintRect rule;
    PrintRect footer;  // "p / n", centred
    int32_t bodyTop = 0;
    int32_t lineHeight = 1;
    int32_t linesPerPage = 1;

    int32_t Width() const { return margins.right - margins.left; }
    // The top of the i-th body line of a page.
    int32_t LineTop(size_t i) const { return bodyTop + static_cast<int32_t>(i) * lineHeight; }
};

// `smallHeight` is the header font's height (H), `lineHeight` the body font's height plus its
// external leading.
PrintFrame MakePrintFrame(const PaperGeometry& paper, int32_t smallHeight, int32_t lineHeight);

// How many leading units of a text fit in a width: the fit count GetTextExtentExPointW reports.
class PrintMeasure {
public:
    virtual ~PrintMeasure() = default;
    virtual size_t FitCount(std::wstring_view text, int32_t width) = 0;
};

struct PrintLine {
    size_t start = 0, length = 0;  // in PrintLayout::text
    bool continued = false;        // continues the logical line of the line before (a wrap)
};

struct PrintLayout {
    std::wstring text;  // the logical lines with tabs expanded, one after the other, no breaks
    std::vector<PrintLine> lines;

    std::wstring_view Line(size_t i) const {
        return std::wstring_view(text).substr(lines[i].start, lines[i].length);
    }
};

// Splits at CR LF, lone CR and lone LF; expands tabs to the next multiple of `tabWidth` columns
// (UTF-16 units); wraps at `width`: the fitting count k (at least 1), moved back to just after the
// last space in (k/2, k] if there is one, else one unit back when k splits a surrogate pair.
PrintLayout LayOutPrintText(std::wstring_view text, int32_t tabWidth, int32_t width, PrintMeasure& measure);

// max(1, ceiling of lines / per page).
int32_t PrintPageCount(size_t lines, int32_t linesPerPage);

// The footer: "3 / 12".
std::wstring PrintFooterText(int32_t page, int32_t pages);
// The status message after printing: the page count, or the failure when nothing was printed.
std::wstring PrintStatusText(int32_t pages);

}  // namespace lumen
