// The view's scroll state: the top row and horizontal offset, the scroll-bar values, and turning
// positions into client coordinates and rows into invalidated rectangles.
#include <algorithm>
#include <cstring>

#include "edit/sci_messages.h"
#include "edit/view.h"

namespace quill {

// ---- scrolling ----------------------------------------------------------------------------------

int64_t View::TopRow() {
    if (!Wrapping() || wrap_.Empty()) return firstLine_;
    const int64_t rows = RowCount(firstLine_);
    return DisplayRowOfLine(firstLine_) + std::min<int64_t>(topRow_, rows - 1);
}

int64_t View::LinesOnScreen() {
    return std::max<int64_t>(1, clientHeight_ / LineHeight());
}

int64_t View::MaxTopRow() {
    const ScrollValues v = VerticalValues();
    return std::max<int64_t>(0, v.max - v.page + 1);
}

void View::ScrollToRow(int64_t row) {
    row = std::clamp<int64_t>(row, 0, MaxTopRow());
    int64_t line = 0;
    int32_t rowInLine = 0;
    LineFromDisplayRow(row, &line, &rowInLine);
    if (line == firstLine_ && rowInLine == topRow_) return;
    const int64_t oldTop = TopRow();
    firstLine_ = line;
    topRow_ = rowInLine;
    const int64_t moved = oldTop - TopRow();
    // A move by more than half the screen repaints everything: moving the few rows that would stay
    // costs more than drawing them again.
    if (moved == 0) {
        // Same row reached through a clamped top row: nothing to move.
    } else if (2 * std::abs(moved) > LinesOnScreen() ||
               !host_->ScrollPixels(static_cast<int32_t>(moved * LineHeight()))) {
        host_->InvalidateAll();
    }
    UpdateScrollBars();
    UpdateSystemCaret();
    MarkUpdate(kUpdateVScroll);
}

void View::SetXOffset(int32_t x) {
    if (Wrapping() || x < 0) x = 0;
    if (x == xOffset_) return;
    xOffset_ = x;
    host_->InvalidateAll();
    UpdateScrollBars();
    UpdateSystemCaret();
    MarkUpdate(kUpdateHScroll);
}

ScrollValues View::VerticalValues() {
    ScrollValues v;
    const int64_t page = std::max<int64_t>(1, clientHeight_ / LineHeight());
    const int64_t total = TotalRows();
    v.page = std::min(page, kScrollLimit);
    v.pos = std::min(TopRow(), kScrollLimit);
    v.max = std::min(endAtLastLine_ ? total - 1 : total + page - 2, kScrollLimit);
    v.min = 0;
    return v;
}

ScrollValues View::HorizontalValues() {
    ScrollValues h;
    const int64_t page = std::max<int64_t>(1, clientWidth_ - marginRight_ - marginLeft_ - MarginsWidth());
    if (Wrapping() || !hScrollBar_) return h;
    const int64_t content = caretWidth_ + ScrollWidth();
    if (content <= page && xOffset_ == 0) return h;
    h.page = page;
    h.max = std::max<int64_t>(std::min<int64_t>(content, 0x3FFFFFFF), xOffset_ + page) - 1;
    h.pos = xOffset_;
    return h;
}

bool View::ScrollBarsStale() {
    return !sentV_ || !sentH_ || !(VerticalValues() == lastV_) || !(HorizontalValues() == lastH_);
}

void View::UpdateScrollBars() {
    if ((Wrapping() || !hScrollBar_) && xOffset_ != 0) {
        xOffset_ = 0;
        host_->InvalidateAll();
    }
    const ScrollValues v = VerticalValues();
    const ScrollValues h = HorizontalValues();
    if (overlayBars_) {
        if (!sentV_ || !sentH_) {
            InvalidateOverlayStrips();
        } else {
            InvalidateChangedOverlayStrips(lastV_, lastH_, v, h);
        }
    } else {
        if (!sentV_ || !(v == lastV_)) host_->SetScrollBar(true, v);
        if (!sentH_ || !(h == lastH_)) host_->SetScrollBar(false, h);
    }
    sentV_ = sentH_ = true;
    lastV_ = v;
    lastH_ = h;
}

// ---- positions and invalidation ------------------------------------------------------------------

void View::PointFromPosition(int64_t position, int32_t* x, int32_t* y) {
    position = std::clamp<int64_t>(position, 0, doc_->Length());
    const int64_t line = doc_->LineFromPosition(position);
    const LineLayout& l = LayoutLine(line);
    uint32_t unit = l.UnitOfOffset(static_cast<uint32_t>(position - doc_->LineStart(line)));
    if (l.compositionStart >= 0 && position == caret_)
        unit = static_cast<uint32_t>(l.compositionStart + l.compositionLength);
    const int32_t row = l.RowOfUnit(unit);
    *x = TextLeft() - xOffset_ + l.xs[unit] - l.xs[l.RowStart(row)];
    const int64_t dy = (DisplayRowOfLine(line) + row - TopRow()) * LineHeight();
    *y = static_cast<int32_t>(std::clamp<int64_t>(dy, -0x3FFFFFFF, 0x3FFFFFFF));
}

void View::InvalidateLines(int64_t first, int64_t count) {
    if (clientHeight_ <= 0 || clientWidth_ <= 0) return;
    const int64_t lh = LineHeight();
    const int64_t top = TopRow();
    int64_t y0 = (DisplayRowOfLine(first) - top) * lh;
    int64_t y1 = count < 0 ? clientHeight_ : (DisplayRowOfLine(first + count) - top) * lh;
    y0 = std::clamp<int64_t>(y0, 0, clientHeight_);
    y1 = std::clamp<int64_t>(y1, 0, clientHeight_);
    if (y1 > y0) host_->InvalidateRect(0, static_cast<int32_t>(y0), clientWidth_, static_cast<int32_t>(y1));
}

void View::InvalidateCaret() {
    int32_t x = 0, y = 0;
    PointFromPosition(caret_, &x, &y);
    int32_t right = x + std::max(caretWidth_, 1) + 2;
    if (appearance_.overtype) right += 2 * textFonts_.averageCharWidth();
    host_->InvalidateRect(x - 2, y, right, y + LineHeight());
}

void View::InvalidateRows(int64_t firstRow, int64_t lastRow) {
    if (clientHeight_ <= 0 || clientWidth_ <= 0 || lastRow < firstRow) return;
    const int64_t lh = LineHeight();
    const int64_t top = TopRow();
    const int64_t y0 = std::clamp<int64_t>((firstRow - top) * lh, 0, clientHeight_);
    const int64_t y1 = std::clamp<int64_t>((lastRow + 1 - top) * lh, 0, clientHeight_);
    if (y1 > y0) host_->InvalidateRect(0, static_cast<int32_t>(y0), clientWidth_, static_cast<int32_t>(y1));
}

}  // namespace quill
