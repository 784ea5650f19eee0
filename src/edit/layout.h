// One document line turned into positioned UTF-16 units: what the painter draws, what hit-testing
// and caret placement read, and what wrapping breaks into display rows. Building, wrapping and
// patching a layout need only the line's bytes and a FontSet, so all of it is tested natively.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "edit/font_set.h"
#include "edit/layout_arrays.h"

namespace quill {

// Per-unit flags of a LineLayout.
enum LayoutFlag : uint8_t {
    kUnitTab = 1,
    kUnitComposition = 2,
    kUnitBlank = 4,         // U+0020 or U+3000
    kUnitControl = 8,       // control character shown as its control picture
    kUnitContinues = 16,    // zero-width continuation of the unit before
    kUnitRunStart = 32,     // first unit of a shaped run
    kUnitRunLater = 64,     // later unit of a shaped run
    kUnitMergedJamo = 128,  // jamo drawn by the syllable of an earlier unit
};

enum WrapMode : int32_t { kWrapNone = 0, kWrapWord = 1, kWrapChar = 2 };

struct LineLayout {
    int64_t line = -1;
    uint32_t generation = 0;
    UnitArray<char16_t> chars;
    UnitArray<uint32_t, true> offsets;  // units + 1
    UnitArray<int32_t, true> xs;        // units + 1
    UnitArray<uint8_t> fonts;
    UnitArray<uint16_t> glyphs;
    UnitArray<uint8_t> flags;
    std::vector<uint32_t> rowStarts{0};
    int32_t lineLength = 0;
    bool simple = true;  // no tab and nothing shaped (composition included): patchable in place
    int32_t eolLength = 0;
    int32_t compositionStart = -1;
    int32_t compositionLength = 0;
    int32_t compositionCaret = 0;
    std::vector<uint8_t> compositionAttributes;

    int32_t Units() const { return static_cast<int32_t>(chars.size()); }
    int32_t Rows() const { return static_cast<int32_t>(rowStarts.size()); }
    int32_t Width() const { return xs.empty() ? 0 : xs.back(); }
    // First unit of row `row` and the unit after its last one.
    uint32_t RowStart(int32_t row) const { return rowStarts[row]; }
    uint32_t RowEnd(int32_t row) const {
        return row + 1 < Rows() ? rowStarts[row + 1] : static_cast<uint32_t>(chars.size());
    }
    // The row that shows unit `unit` (the last row for the end of the line).
    int32_t RowOfUnit(uint32_t unit) const;
    // The unit whose character starts at byte offset `offset` of the line (the end for the line
    // length); for an offset inside a character, the first unit after it. Composition units are
    // skipped: an offset at the caret names the first unit after the composition.
    uint32_t UnitOfOffset(uint32_t offset) const;
    // Sizes every per-unit array for `units` units (offsets and xs hold one entry more). With
    // `overwrite` new entries are left unset, for a caller that writes all of them.
    void ResizeUnits(size_t units, bool overwrite = false);
    // Empties the layout but keeps its storage, shrinking vectors that are far larger than `units`.
    void Clear(size_t units);
    // Releases the storage entirely.
    void Release();
};

// Text being composed by an input method, shown inside the caret's line.
struct CompositionView {
    const std::u16string* text = nullptr;
    const std::vector<uint8_t>* attributes = nullptr;
    uint32_t offset = 0;  // byte offset in the line where it is shown
    int32_t cursor = 0;   // input method's cursor, in units of the text
};

struct LayoutParams {
    int32_t tabSize = 8;  // in characters
    int32_t wrapMode = kWrapNone;
    int32_t wrapWidth = 0;
};

// Tab advance from x: the distance to the next stop, plus a full stop when that is under 2 pixels.
inline int32_t TabAdvance(int32_t x, int32_t tabWidth) {
    int32_t a = tabWidth - (x % tabWidth);
    if (a < 2) a += tabWidth;
    return a;
}

// Lays out one line's bytes (without its break) into `out` and wraps it when params ask for it.
// The caller sets `line` and `generation`.
void BuildLineLayout(LineLayout& out, const char* bytes, int32_t length, int32_t eolLength,
                     const LayoutParams& params, FontSet& fonts,
                     const CompositionView* composition = nullptr);

// The rows a line had before an edit that changed units [fromUnit, changedEnd) of the new layout
// and moved every later unit by `delta`. A row's break depends only on the units from its start
// on, so once a new row start at or after changedEnd matches a moved old start, the remaining old
// rows (moved) are the answer.
struct PreviousRows {
    std::vector<uint32_t> starts;
    int64_t delta = 0;
    uint32_t changedEnd = 0;
};

// Breaks a laid-out line into display rows for the wrap mode and width, keeping the rows before
// `fromUnit`'s row when they cannot be affected by a change at `fromUnit`.
void WrapLineLayout(LineLayout& layout, int32_t wrapMode, int32_t width, uint32_t fromUnit = 0,
                    const PreviousRows* previous = nullptr);

// In-place update of a simple layout for an edit of its line. `offset` is the edit's byte offset in
// the line; for an insertion `text` holds the inserted bytes. Returns false, leaving the layout
// unusable, when the edit is not one that a patch can reproduce exactly; the caller then lays the
// line out again.
bool PatchLineLayout(LineLayout& layout, bool inserted, uint32_t offset, const char* text, int32_t length,
                     const LayoutParams& params, FontSet& fonts);

// In-place update of a simple layout for the composition shown in it changing: the units of the
// composition it shows (if any) are replaced by `composition`'s (none when null or empty) at the
// same place, as BuildLineLayout would put them. Returns false, leaving the layout unusable, when
// the new text would be shaped or sits elsewhere; the caller then lays the line out again.
bool PatchComposition(LineLayout& layout, const CompositionView* composition, const LayoutParams& params,
                      FontSet& fonts);

// Row estimate for a line of `bytes` bytes before it is laid out.
uint32_t EstimateRows(int64_t bytes, int32_t averageCharWidth, int32_t wrapWidth);

}  // namespace quill
