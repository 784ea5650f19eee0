// Where things are on screen: hit-testing a point, the start and end of display rows, and
// keeping the caret (or a range) in view.
#include <algorithm>

#include "edit/char_classes.h"
#include "edit/view.h"

namespace quill {
namespace {

bool IsLowSurrogate(char16_t u) {
    return u >= 0xDC00 && u <= 0xDFFF;
}

// A unit that belongs to the character before it: a zero-width continuation, the low half of a
// pair, or a combining mark.
bool JoinsPrevious(const LineLayout& l, uint32_t unit) {
    if (unit == 0 || unit >= static_cast<uint32_t>(l.Units())) return false;
    if ((l.flags[unit] & kUnitContinues) || IsLowSurrogate(l.chars[unit])) return true;
    return l.xs[unit + 1] == l.xs[unit] && IsCombiningCharacter(l.chars[unit]);
}

}  // namespace

// ---- scrolling arithmetic -----------------------------------------------------------------------

int64_t TopRowToShow(int64_t row, int64_t top, int64_t page, bool centre) {
    page = std::max<int64_t>(1, page);
    if (centre) return row - page / 2;
    if (row >= top && row < top + page) return top;
    if (row < top) return row >= top - page ? row : row - page / 2;
    return row < top + 2 * page ? row - page + 1 : row - page / 2;
}

int32_t XOffsetToShow(int32_t x, int32_t offset, int32_t width, int32_t caretWidth) {
    if (x >= offset && x + caretWidth <= offset + width) return offset;
    if (x >= offset) return x + caretWidth - width + width / 3;
    return x >= 2 * width / 3 ? x - width / 3 : 0;
}

// ---- hit-testing --------------------------------------------------------------------------------

int64_t View::PositionInRow(int64_t row, int32_t rowX) {
    if (row < 0) return 0;
    if (row >= TotalRows()) return doc_->Length();
    int64_t line = 0;
    int32_t rowInLine = 0;
    const LineLayout& l = LayoutOfRow(row, &line, &rowInLine);
    const uint32_t rs = l.RowStart(rowInLine), re = l.RowEnd(rowInLine);
    const int64_t lx = int64_t{rowX} + l.xs[rs];
    uint32_t u = rs;
    while (u < re && l.xs[u] < lx)
        ++u;
    if (u > rs && lx - l.xs[u - 1] < l.xs[u] - lx) --u;
    while (u < re && JoinsPrevious(l, u))
        ++u;
    if (u == re && rowInLine + 1 < l.Rows() && re > rs) {
        u = re - 1;
        while (u > rs && JoinsPrevious(l, u))
            --u;
    }
    return doc_->LineStart(line) + l.offsets[u];
}

int64_t View::PositionFromPoint(int32_t x, int32_t y, bool close) {
    if (close && (x < TextLeft() || x >= clientWidth_ || y < 0 || y >= clientHeight_)) return -1;
    const int32_t lh = LineHeight();
    const int64_t dy = y >= 0 ? y / lh : -((-int64_t{y} + lh - 1) / lh);
    const int64_t row = TopRow() + dy;
    return PositionInRow(row, x - TextLeft() + xOffset_);
}

int32_t View::RowX(int64_t position) {
    position = std::clamp<int64_t>(position, 0, doc_->Length());
    const int64_t line = doc_->LineFromPosition(position);
    const LineLayout& l = LayoutLine(line);
    const uint32_t unit = l.UnitOfOffset(static_cast<uint32_t>(position - doc_->LineStart(line)));
    return l.xs[unit] - l.xs[l.RowStart(l.RowOfUnit(unit))];
}

const LineLayout& View::LayoutOfRow(int64_t row, int64_t* line, int32_t* rowInLine) {
    LineFromDisplayRow(row, line, rowInLine);
    const LineLayout& l = LayoutLine(*line);
    *rowInLine = std::clamp(*rowInLine, 0, l.Rows() - 1);
    return l;
}

int64_t View::RowStartPosition(int64_t row) {
    int64_t line = 0;
    int32_t rowInLine = 0;
    const LineLayout& l = LayoutOfRow(row, &line, &rowInLine);
    return doc_->LineStart(line) + l.offsets[l.RowStart(rowInLine)];
}

int64_t View::RowEndPosition(int64_t row) {
    int64_t line = 0;
    int32_t rowInLine = 0;
    const LineLayout& l = LayoutOfRow(row, &line, &rowInLine);
    if (rowInLine + 1 >= l.Rows()) return doc_->LineEnd(line);
    const uint32_t rs = l.RowStart(rowInLine);
    uint32_t u = l.RowEnd(rowInLine);
    if (u > rs) --u;
    while (u > rs && JoinsPrevious(l, u))
        --u;
    return doc_->LineStart(line) + l.offsets[u];
}

void View::ScrollCaretIntoView(int64_t position, bool centre) {
    const int64_t row = DisplayRowOfPosition(position);
    const int64_t top = TopRow();
    const int64_t newTop = TopRowToShow(row, top, LinesOnScreen(), centre);
    if (newTop != top) ScrollToRow(newTop);
    if (!Wrapping()) {
        const int32_t width = std::max(1, clientWidth_ - marginRight_ - TextLeft());
        const int32_t x = RowX(position);
        SetXOffset(XOffsetToShow(x, xOffset_, width, caretWidth_));
    }
}

void View::ScrollRange(int64_t secondary, int64_t primary) {
    const int64_t a = DisplayRowOfPosition(secondary), b = DisplayRowOfPosition(primary);
    const int64_t lo = std::min(a, b), hi = std::max(a, b);
    const int64_t top = TopRow(), page = LinesOnScreen();
    if (!(lo >= top && hi < top + page)) {
        if (hi - lo + 1 >= page) {
            ScrollToRow(b - page / 2);
        } else if (lo < top - page || hi >= top + 2 * page) {
            ScrollToRow(lo - (page - (hi - lo + 1)) / 2);
        } else if (hi >= top + page) {
            ScrollToRow(hi - page + 1);
        } else {
            ScrollToRow(lo);
        }
    }
    if (!Wrapping()) {
        const int32_t width = std::max(1, clientWidth_ - marginRight_ - TextLeft());
        SetXOffset(XOffsetToShow(RowX(primary), xOffset_, width, caretWidth_));
    }
}

}  // namespace quill
