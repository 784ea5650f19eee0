// Character classes that line layout and wrapping decide by: complex scripts, combining marks, the
// ideographic break rules (and, through utf8.h, decoding a line's bytes).
#pragma once

#include <cstddef>
#include <cstdint>

#include "edit/char_classes.h"
#include "edit/utf8.h"

namespace quill {

// Scripts whose characters are measured together as shaped runs: Hebrew to Myanmar, Hangul jamo,
// Khmer to Mongolian, the extended jamo blocks and the Arabic/Hebrew presentation forms.
inline bool IsComplexScript(char32_t c) {
    return (c >= 0x0590 && c <= 0x109F) || (c >= 0x1100 && c <= 0x11FF) || (c >= 0x1780 && c <= 0x18AF) ||
           (c >= 0xA960 && c <= 0xA97F) || (c >= 0xD7B0 && c <= 0xD7FF) || (c >= 0xFB1D && c <= 0xFDFF) ||
           (c >= 0xFE70 && c <= 0xFEFF);
}

// Characters that never stand alone and travel with the character before them: the document's own
// combining set, so that layout and caret movement agree.
inline bool IsCombiningMark(char32_t c) {
    return c >= 0x0300 && IsCombiningCharacter(c);
}

// Ideographs and related blocks that allow a line break on either side.
inline bool IsIdeographicBreakable(char32_t c) {
    return (c >= 0x2E80 && c <= 0x312F) || (c >= 0x3190 && c <= 0x9FFF) || (c >= 0xF900 && c <= 0xFAFF) ||
           (c >= 0xFF00 && c <= 0xFF60) || (c >= 0x20000 && c <= 0x3FFFF);
}

// Whether word wrapping may break between `prev` and `c` on account of ideographic text.
bool IdeographicBreakBefore(char32_t prev, char32_t c);

}  // namespace quill
