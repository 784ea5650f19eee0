// The caret's column for the status bar without counting from the line's start on every key. A
// column (characters, tabs expanded to the tab width) depends on every byte between the line's start
// and the position, so at the end of a 2 MB line a fresh count reads 2 MB per keystroke. The cache
// keeps marks (position, column) every kColumnMarkStride bytes along the caret's line; a query counts
// only from the nearest mark before it, and an edit drops just the marks after the edited position.
//
// Invariants:
//  - the marks belong to the line that starts at `lineStart`, in ascending position order, the first
//    one (lineStart, 0); each mark's column is the column of its position given the current text;
//  - an edit at position q leaves every mark at or before q valid (the text before q is unchanged);
//    an edit before the line's start forgets the line.
// Columns are counted as the editor counts them (SCI_GETCOLUMN): one per character as the editor
// decodes UTF-8, a tab advancing to the next multiple of the tab width.
#pragma once

#include <cstdint>
#include <string_view>
#include <utility>
#include <vector>

namespace lumen {

inline constexpr int64_t kColumnMarkStride = 4096;

// What the cache reads from the document shown.
class ColumnSource {
public:
    // The start of the line holding `position`.
    virtual int64_t LineStartOf(int64_t position) = 0;
    // The bytes [start, end), fewer when the document ends before `end`.
    virtual std::string_view Bytes(int64_t start, int64_t end) = 0;

protected:
    ~ColumnSource() = default;
};

class ColumnCache {
public:
    // The column of `position`. A position inside a character counts that character whole, as the
    // editor does.
    int64_t Column(int64_t position, int32_t tabWidth, ColumnSource& source);
    // Text was inserted or deleted at `position`.
    void Edited(int64_t position);
    // Another document is shown, or nothing is known any more.
    void Clear();

    size_t MarkCount() const { return marks_.size(); }

private:
    int64_t lineStart_ = -1;
    int32_t tabWidth_ = 0;
    std::vector<std::pair<int64_t, int64_t>> marks_;  // (position, column)
};

}  // namespace lumen
