// The command table's rows and the pure rules of the switching and zoom commands.
#include "app/commands.h"

#include <algorithm>
#include <cmath>
#include <iterator>

namespace lumen {

namespace {

#define LUMEN_COMMAND_ROW(first, last, handler, label, shortcut, glyph, flags) \
    CommandInfo{first, last, label, shortcut, glyph, flags},
constexpr CommandInfo kRows[] = {LUMEN_COMMAND_TABLE(LUMEN_COMMAND_ROW)};
#undef LUMEN_COMMAND_ROW

constexpr int32_t kMaxZoom = 40;
constexpr int32_t kLeastPoints = 4;

}  // namespace

const CommandInfo* FindCommand(int id) {
    const CommandInfo* row = std::lower_bound(std::begin(kRows), std::end(kRows), id,
                                              [](const CommandInfo& r, int value) { return r.last < value; });
    return row != std::end(kRows) && row->first <= id ? row : nullptr;
}

const CommandInfo* CommandRows(int* count) {
    *count = static_cast<int>(std::size(kRows));
    return kRows;
}

int TabForCommand(int id, int count, int active) {
    if (count <= 0) return -1;
    if (id == kCmdNextTab) return (active + 1) % count;
    if (id == kCmdPreviousTab) return (active - 1 + count) % count;
    if (id == kCmdLastTab) return count - 1;
    if (id >= kCmdTabByNumber && id < kCmdLastTab)
        return id - kCmdTabByNumber < count ? id - kCmdTabByNumber : -1;
    return -1;
}

int32_t ClampZoom(int32_t level, double fontSize) {
    const int32_t least = kLeastPoints - static_cast<int32_t>(std::trunc(fontSize));
    return std::clamp(level, least, std::max(least, kMaxZoom));
}

}  // namespace lumen
