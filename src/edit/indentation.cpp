#include "edit/indentation.h"

#include <algorithm>

namespace quill {

int64_t IndentPosition(const Document& doc, int64_t line) {
    int64_t p = doc.LineStart(line);
    const int64_t end = doc.LineEnd(line);
    while (p < end && (doc.ByteAt(p) == ' ' || doc.ByteAt(p) == '\t'))
        ++p;
    return p;
}

int32_t LineIndentation(const Document& doc, int64_t line, int32_t tabWidth) {
    return ColumnOf(doc, IndentPosition(doc, line), tabWidth);
}

int32_t ColumnOf(const Document& doc, int64_t position, int32_t tabWidth) {
    tabWidth = std::max(1, tabWidth);
    position = std::clamp<int64_t>(position, 0, doc.Length());
    const int64_t line = doc.LineFromPosition(position);
    int32_t column = 0;
    for (int64_t p = doc.LineStart(line); p < position;) {
        int width = 1;
        const char32_t cp = doc.CharacterAt(p, &width);
        column = cp == '\t' ? (column / tabWidth + 1) * tabWidth : column + 1;
        p += std::max(1, width);
    }
    return column;
}

int64_t FindColumn(const Document& doc, int64_t line, int32_t column, int32_t tabWidth) {
    tabWidth = std::max(1, tabWidth);
    line = std::clamp<int64_t>(line, 0, doc.LineCount() - 1);
    int64_t p = doc.LineStart(line);
    const int64_t end = doc.LineEnd(line);
    int32_t at = 0;
    while (p < end) {
        int width = 1;
        const char32_t cp = doc.CharacterAt(p, &width);
        const int32_t next = cp == '\t' ? (at / tabWidth + 1) * tabWidth : at + 1;
        if (next > column) break;
        at = next;
        p += std::max(1, width);
    }
    return p;
}

std::string IndentationText(int32_t columns, int32_t tabWidth, bool useTabs) {
    columns = std::max(0, columns);
    tabWidth = std::max(1, tabWidth);
    std::string out;
    if (useTabs) {
        out.assign(static_cast<size_t>(columns / tabWidth), '\t');
        columns %= tabWidth;
    }
    out.append(static_cast<size_t>(columns), ' ');
    return out;
}

}  // namespace quill
