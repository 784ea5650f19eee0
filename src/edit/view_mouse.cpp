// The mouse: selecting by characters, words and lines, dragging past the edges on the drag timer,
// the right button and the wheels.
#include <algorithm>

#include "edit/view.h"
#include "edit/word_moves.h"

namespace quill {

// ---- mouse --------------------------------------------------------------------------------------

void View::MouseDown(int32_t x, int32_t y, int clicks, bool shift) {
    mouseX_ = x;
    mouseY_ = y;
    const int64_t position = PositionFromPoint(x, y);
    if (InMargin(x)) {
        const int64_t line = doc_->LineFromPosition(position);
        if (shift) {
            const int64_t anchorLine = doc_->LineFromPosition(anchor_);
            const int64_t lo = std::min(anchorLine, line), hi = std::max(anchorLine, line);
            dragStart_ = doc_->LineStart(anchorLine);
            dragEnd_ = doc_->LineStart(anchorLine + 1);
            if (line < anchorLine) {
                SetSelection(doc_->LineStart(hi + 1), doc_->LineStart(lo), true);
            } else {
                SetSelection(doc_->LineStart(lo), doc_->LineStart(hi + 1), true);
            }
        } else {
            dragStart_ = doc_->LineStart(line);
            dragEnd_ = doc_->LineStart(line + 1);
            SetSelection(dragStart_, dragEnd_, true);
        }
        mouseMode_ = kMouseLines;
        return;
    }
    if (clicks == 2) {
        const Range64 word = WordAround(*doc_, position);
        dragStart_ = word.start;
        dragEnd_ = word.end;
        SetSelection(word.start, word.end, true);
        mouseMode_ = kMouseWords;
    } else if (clicks == 3) {
        const int64_t line = doc_->LineFromPosition(position);
        dragStart_ = doc_->LineStart(line);
        dragEnd_ = doc_->LineStart(line + 1);
        SetSelection(dragStart_, dragEnd_, true);
        mouseMode_ = kMouseLines;
    } else {
        SetSelection(shift ? anchor_ : position, position, true);
        mouseMode_ = kMouseChars;
    }
}

void View::ExtendMouseTo(int64_t position) {
    switch (mouseMode_) {
        case kMouseChars:
            SetSelection(anchor_, position, true);
            break;
        case kMouseWords: {
            const Range64 word = WordAround(*doc_, position);
            if (position < dragStart_) {
                SetSelection(dragEnd_, std::min(word.start, dragStart_), true);
            } else {
                SetSelection(dragStart_, std::max(word.end, dragEnd_), true);
            }
            break;
        }
        case kMouseLines: {
            const int64_t line = doc_->LineFromPosition(position);
            if (position < dragStart_) {
                SetSelection(dragEnd_, doc_->LineStart(line), true);
            } else {
                SetSelection(dragStart_, std::max(doc_->LineStart(line + 1), dragEnd_), true);
            }
            break;
        }
        default:
            break;
    }
}

bool View::MouseDrag(int32_t x, int32_t y) {
    mouseX_ = x;
    mouseY_ = y;
    if (mouseMode_ == kMouseNone) return false;
    const int32_t right = clientWidth_ - marginRight_;
    const bool outside = y < 0 || y >= clientHeight_ || (!Wrapping() && (x < TextLeft() || x >= right));
    if (!outside) {
        ExtendMouseTo(PositionFromPoint(x, y));
        if (dragTimer_) {
            dragTimer_ = false;
            host_->StopTimer(kDragTimer);
        }
        return false;
    }
    if (!dragTimer_) {
        dragTimer_ = true;
        host_->StartTimer(kDragTimer, 40);
    }
    return true;
}

void View::DragTick() {
    if (mouseMode_ == kMouseNone) {
        if (dragTimer_) host_->StopTimer(kDragTimer);
        dragTimer_ = false;
        return;
    }
    const int32_t lh = LineHeight();
    if (mouseY_ < 0) {
        ScrollToRow(TopRow() - (1 + (-mouseY_) / lh));
    } else if (mouseY_ >= clientHeight_) {
        ScrollToRow(TopRow() + 1 + (mouseY_ - clientHeight_) / lh);
    }
    const int32_t right = clientWidth_ - marginRight_;
    const int32_t avg = std::max(1, textFonts_.averageCharWidth());
    if (!Wrapping()) {
        if (mouseX_ < TextLeft()) {
            SetXOffset(xOffset_ - std::max(avg, TextLeft() - mouseX_));
        } else if (mouseX_ >= right) {
            SetXOffset(xOffset_ + std::max(avg, mouseX_ - right));
        }
    }
    // The nearest visible point.
    const int32_t y = std::clamp(mouseY_, 0, std::max(0, static_cast<int32_t>(LinesOnScreen()) * lh - 1));
    const int32_t x = Wrapping() ? mouseX_ : std::clamp(mouseX_, TextLeft(), std::max(TextLeft(), right - 1));
    ExtendMouseTo(PositionFromPoint(x, y));
}

void View::MouseUp() {
    EndMouseMode();
}

void View::EndMouseMode() {
    mouseMode_ = kMouseNone;
    if (dragTimer_) {
        dragTimer_ = false;
        host_->StopTimer(kDragTimer);
    }
}

void View::RightDown(int32_t x, int32_t y) {
    const int64_t position = PositionFromPoint(x, y);
    if (position < SelectionStart() || position > SelectionEnd()) SetSelection(position, position, true);
}

void View::Wheel(int32_t delta, bool control, bool shift, int32_t lines) {
    if (control) {
        if ((wheelAccumulator_ > 0) != (delta > 0)) wheelAccumulator_ = 0;
        wheelAccumulator_ += delta;
        while (wheelAccumulator_ >= 120) {
            wheelAccumulator_ -= 120;
            ZoomBy(1);
        }
        while (wheelAccumulator_ <= -120) {
            wheelAccumulator_ += 120;
            ZoomBy(-1);
        }
        return;
    }
    if (shift) {
        if (Wrapping()) return;
        const int32_t step = 3 * std::max(1, textFonts_.averageCharWidth());
        SetXOffset(std::max(0, xOffset_ - 2 * (step * delta / 120)));
        return;
    }
    if ((wheelAccumulator_ > 0 && delta < 0) || (wheelAccumulator_ < 0 && delta > 0)) wheelAccumulator_ = 0;
    wheelAccumulator_ += delta;
    if (lines < 0) {
        const int64_t page = std::max<int64_t>(1, LinesOnScreen() - 1);
        while (wheelAccumulator_ >= 120) {
            wheelAccumulator_ -= 120;
            ScrollToRow(TopRow() - page);
        }
        while (wheelAccumulator_ <= -120) {
            wheelAccumulator_ += 120;
            ScrollToRow(TopRow() + page);
        }
    } else {
        const int64_t rows = int64_t{wheelAccumulator_} * lines / 120;
        if (rows != 0) {
            wheelAccumulator_ -= static_cast<int32_t>(rows * 120 / std::max(1, lines));
            ScrollToRow(TopRow() - rows);
        }
    }
    if (mouseMode_ != kMouseNone) ExtendMouseTo(PositionFromPoint(mouseX_, mouseY_));
}

void View::HorizontalWheel(int32_t delta) {
    if (Wrapping()) return;
    const int32_t step = 3 * std::max(1, textFonts_.averageCharWidth());
    SetXOffset(std::max(0, xOffset_ + 2 * (step * delta / 120)));
}

}  // namespace quill
