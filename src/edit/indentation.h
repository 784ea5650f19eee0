// Columns and indentation of document lines: tabs advance to the next multiple of the tab width,
// every other character counts one column. Used by the tab commands and the column messages.
#pragma once

#include <cstdint>
#include <string>

#include "edit/document.h"

namespace quill {

// First position of the line that is neither a space nor a tab.
int64_t IndentPosition(const Document& doc, int64_t line);
// Width of the line's leading blanks in columns.
int32_t LineIndentation(const Document& doc, int64_t line, int32_t tabWidth);
// Column of position within its line.
int32_t ColumnOf(const Document& doc, int64_t position, int32_t tabWidth);
// Position in the line at `column`, stopping before a character that would pass it.
int64_t FindColumn(const Document& doc, int64_t line, int32_t column, int32_t tabWidth);
// The leading blanks for an indentation: tabs then spaces when useTabs, else spaces only.
std::string IndentationText(int32_t columns, int32_t tabWidth, bool useTabs);
// Next multiple of step above columns, and previous multiple below it (at least 0).
inline int32_t NextIndentStop(int32_t columns, int32_t step) {
    return (columns / step + 1) * step;
}
inline int32_t PreviousIndentStop(int32_t columns, int32_t step) {
    return columns <= 0 ? 0 : ((columns - 1) / step) * step;
}

}  // namespace quill
