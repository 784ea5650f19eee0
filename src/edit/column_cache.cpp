#include "edit/column_cache.h"

#include <algorithm>

#include "edit/char_classes.h"

namespace lumen {

int64_t ColumnCache::Column(int64_t position, int32_t tabWidth, ColumnSource& source) {
    tabWidth = std::max(1, tabWidth);
    const int64_t lineStart = source.LineStartOf(position);
    if (lineStart != lineStart_ || tabWidth != tabWidth_ || marks_.empty()) {
        lineStart_ = lineStart;
        tabWidth_ = tabWidth;
        marks_.assign(1, {lineStart, 0});
    }
    if (position <= lineStart) return 0;
    // The last mark at or before the position.
    auto mark = std::upper_bound(marks_.begin(), marks_.end(), position,
                                 [](int64_t p, const auto& m) { return p < m.first; });
    --mark;
    const bool extending = mark + 1 == marks_.end();
    int64_t at = mark->first, column = mark->second;
    // A character that starts before the position is decoded whole, even when the position lies
    // inside it: up to three bytes past the position are read.
    const std::string_view bytes = source.Bytes(at, position + 3);
    const auto* data = reinterpret_cast<const unsigned char*>(bytes.data());
    const int64_t n = static_cast<int64_t>(bytes.size());
    const int64_t stop = std::min(position - at, n);
    int64_t nextMark = at + kColumnMarkStride;
    for (int64_t i = 0; i < stop;) {
        if (extending && at + i >= nextMark) {
            marks_.emplace_back(at + i, column);
            nextMark = at + i + kColumnMarkStride;
        }
        const unsigned char lead = data[i];
        int width = 1;
        if (lead >= 0x80) quill::DecodeCharacter(data + i, n - i, &width);
        column = lead == '\t' ? (column / tabWidth + 1) * tabWidth : column + 1;
        i += std::max(1, width);
    }
    return column;
}

void ColumnCache::Edited(int64_t position) {
    if (marks_.empty()) return;
    if (position < lineStart_) {
        Clear();
        return;
    }
    while (!marks_.empty() && marks_.back().first > position)
        marks_.pop_back();
}

void ColumnCache::Clear() {
    marks_.clear();
    lineStart_ = -1;
}

}  // namespace lumen
