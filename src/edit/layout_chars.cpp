#include "edit/layout_chars.h"

namespace quill {

bool IdeographicBreakBefore(char32_t prev, char32_t c) {
    if (c == 0xFF09 || c == 0xFF0C || c == 0xFF0E || c == 0x300D || c == 0x300F) return false;
    if (c >= 0x2E80 && c <= 0x312F) return !(c == 0x3001 || c == 0x3002);
    if ((c >= 0x3190 && c <= 0x9FFF) || (c >= 0xF900 && c <= 0xFAFF) || (c >= 0xFF00 && c <= 0xFF60))
        return true;
    if (c == 0x3001 || c == 0x3002) return false;
    return (c >= 0x20000 && c <= 0x3FFFF) || IsIdeographicBreakable(prev);
}

}  // namespace quill
