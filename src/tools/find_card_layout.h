// The find card's pure parts: its geometry in each mode (computed once, then drawn and hit-tested
// from the same record), the counter and go-to-line texts, and reading a line number out of the box.
//
// Invariants of a FindCardLayout:
//  - every length is its 96-DPI value scaled with MulDivRound(length, dpi, 96);
//  - rectangles are in card-client coordinates and already moved right and down by the shadow
//    margin; an empty rectangle means the part is absent in this mode;
//  - every button and box lies inside the body (shadow margin .. shadow margin + card size), apart
//    from the others, once the editor area is about 370 px wide at 96 DPI (the main window's minimum
//    size leaves more); below that the card keeps its 200 DIP floor and the find box shrinks away.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "app/band_layout.h"

namespace lumen {

enum class FindMode : uint32_t { Find = 0, Replace = 1, GoToLine = 2 };

// Button indexes: they index FindCardLayout::buttons and the tooltip table.
enum FindButton : int32_t {
    kFindToggleReplace = 0,
    kFindPrevious = 1,
    kFindNextButton = 2,
    kFindMatchCase = 3,
    kFindWholeWord = 4,
    kFindClose = 5,
    kFindReplaceOne = 6,
    kFindReplaceAll = 7,
    kFindGoTo = 8,
    kFindButtonCount = 9,
};

struct FindCardInput {
    FindMode mode = FindMode::Find;
    int32_t dpi = 96;
    BandRect editor;  // the editor area in the main window's client coordinates
    bool focusMode = false;
};

struct FindCardLayout {
    int32_t dpi = 96;
    BandRect buttons[kFindButtonCount];
    BandRect findBox, replaceBox, counter;
    BandRect findEdit, replaceEdit;  // where the EDIT controls go; empty: hidden
    int32_t cardWidth = 0, cardHeight = 0;
    int32_t shadowMargin = 0;
    BandRect window;  // the card window in the main window's client coordinates
    int32_t Scale(int32_t length) const { return MulDivRound(length, dpi, 96); }
    BandRect Body() const {
        return {shadowMargin, shadowMargin, shadowMargin + cardWidth, shadowMargin + cardHeight};
    }
};

FindCardLayout LayoutFindCard(const FindCardInput& input);

// The first button (in index order) whose rectangle holds the point, or -1.
int32_t FindButtonAt(const FindCardLayout& layout, int32_t x, int32_t y);
// Which input box holds the point outside every button: 1 the find box, 2 the replacement box, 0 none.
int32_t FindBoxAt(const FindCardLayout& layout, int32_t x, int32_t y);

// The counter: "결과 없음" for no match, "3/17", "–/17" when the selection is on no match,
// "1/10000+" at the cap; empty when not counted (-1).
inline constexpr int32_t kFindCountCap = 10'000;
inline constexpr int64_t kFindCountLimitBytes = 33'554'432;
std::wstring CounterText(int32_t matchCount, int32_t matchIndex);

// The go-to-line hint: "1–" and the line count with a "," every three digits from the right.
std::wstring LineRangeHint(int64_t lineCount);

// The number made of the ASCII digits of the text in order, everything else skipped ("1a2" is 12);
// very long numbers stay at a bound far beyond any line count.
int64_t DigitsNumber(std::string_view utf8);
// The 0-based line a go-to-line text goes to in a document of `lineCount` lines, or -1 when the text
// reads as no line (no digits, or 0).
int64_t GoToLineTarget(std::string_view utf8, int64_t lineCount);

}  // namespace lumen
