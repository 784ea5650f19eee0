// The view's metrics and line layouts: fonts and line height, the layout cache, display rows and
// the wrap index with its background wrapper, and keeping all of them current as the document
// changes.
#include <algorithm>
#include <chrono>
#include <cstring>

#include "edit/layout_chars.h"
#include "edit/sci_messages.h"
#include "edit/view.h"

namespace quill {

namespace {

// How many rows at the start of a patched layout kept their starts, up to the edit's row: they need
// no repaint. `before` holds at least the starts up to the edit's row.
int32_t RowsKept(const std::vector<uint32_t>& before, const std::vector<uint32_t>& after, int32_t editRow) {
    int32_t kept = 0;
    while (kept < editRow && static_cast<size_t>(kept) + 1 < std::min(before.size(), after.size()) &&
           after[kept + 1] == before[kept + 1])
        ++kept;
    return kept;
}

}  // namespace

// ---- metrics and layout -------------------------------------------------------------------------

void View::RefreshMetrics() {
    metricsStale_ = false;
    const int32_t dpi = host_->Dpi();
    dpi_ = dpi > 0 ? dpi : 96;
    auto descOf = [this](const Style& s) {
        FontDesc desc;
        desc.height = -FontPixelHeight(s.size, zoom_, dpi_);
        desc.weight = s.weight;
        desc.italic = s.italic;
        desc.face = s.face;
        return desc;
    };
    host_->ReleaseFonts();
    textFonts_.Apply(descOf(styles_[kStyleText]));
    numberFonts_.Apply(descOf(styles_[kStyleLineNumber]));
    lineAscent_ = std::max(textFonts_.ascent(), numberFonts_.ascent()) + extraAscent_;
    lineDescent_ = std::max(textFonts_.descent(), numberFonts_.descent()) + extraDescent_;
    lineHeight_ = std::max(1, lineAscent_ + lineDescent_);
    layouts_.Invalidate();
    ++fontGeneration_;
    Rewrap();
}

int32_t View::LineHeight() {
    if (metricsStale_) RefreshMetrics();
    return lineHeight_;
}

int32_t View::LineAscent() {
    if (metricsStale_) RefreshMetrics();
    return lineAscent_;
}

int32_t View::LineDescent() {
    if (metricsStale_) RefreshMetrics();
    return lineDescent_;
}

uint64_t View::Measure(char32_t cp) {
    if (metricsStale_) RefreshMetrics();
    return textFonts_.Measure(cp);
}

int32_t View::WrapWidth() {
    if (metricsStale_) RefreshMetrics();
    const int32_t w = clientWidth_ - marginRight_ - marginLeft_ - caretWidth_ - MarginsWidth();
    return std::max(w, std::max(8, textFonts_.averageCharWidth()));
}

int32_t View::TextWidth(int slot, const std::string& utf8) {
    if (metricsStale_) RefreshMetrics();
    FontSet& fonts = slot == kStyleLineNumber ? numberFonts_ : textFonts_;
    const auto* p = reinterpret_cast<const unsigned char*>(utf8.data());
    int64_t width = 0;
    for (size_t i = 0; i < utf8.size();) {
        int w = 1;
        const char32_t cp = DecodeUtf8(p + i, utf8.size() - i, &w);
        width += EntryAdvance(fonts.Measure(cp));
        i += static_cast<size_t>(w);
    }
    return static_cast<int32_t>(std::min<int64_t>(width, 0x7FFFFFFF));
}

LayoutParams View::Params() {
    LayoutParams p;
    p.tabSize = tabWidth_;
    p.wrapMode = wrapMode_;
    p.wrapWidth = Wrapping() ? WrapWidth() : 0;
    return p;
}

CompositionView View::CompositionInLine(int64_t lineStart, int64_t length) const {
    CompositionView composition;
    composition.text = &compositionText_;
    composition.attributes = &compositionAttributes_;
    composition.offset = static_cast<uint32_t>(std::clamp<int64_t>(caret_ - lineStart, 0, length));
    composition.cursor = compositionCursor_;
    return composition;
}

void View::FillLayout(LineLayout& layout, int64_t line, bool withComposition) {
    ++layoutsMade;
    const int64_t start = doc_->LineStart(line);
    const int64_t end = doc_->LineEnd(line);
    const int64_t next = doc_->LineStart(line + 1);
    const int64_t length = std::min<int64_t>(end - start, 0x7FFFFFF0);
    const char* bytes = length > 0 ? doc_->RangePointer(start, length) : "";
    const CompositionView composition = CompositionInLine(start, length);
    BuildLineLayout(layout, bytes, static_cast<int32_t>(length), static_cast<int32_t>(next - end), Params(),
                    textFonts_, withComposition ? &composition : nullptr);
}

LineLayout& View::LayoutLine(int64_t line) {
    if (metricsStale_) RefreshMetrics();
    line = std::clamp<int64_t>(line, 0, doc_->LineCount() - 1);
    if (LineLayout* cached = layouts_.Find(line)) return *cached;
    LineLayout& slot = layouts_.Slot(line);
    FillLayout(slot, line, Composing() && doc_->LineFromPosition(caret_) == line);
    layouts_.Made(slot, line);
    // While wrapping, a line laid out is a row count known exactly.
    if (Wrapping() && wrap_.Lines() == doc_->LineCount())
        wrap_.Set(line, static_cast<uint32_t>(slot.Rows()), true);
    return slot;
}

// ---- display rows and wrapping ------------------------------------------------------------------

uint32_t View::Estimate(int64_t line) {
    return EstimateRows(LineBytes(line), textFonts_.averageCharWidth(), WrapWidth());
}

int64_t View::RowCount(int64_t line) {
    if (!Wrapping() || line < 0 || line >= wrap_.Lines()) return 1;
    return wrap_.Rows(line);
}

int64_t View::DisplayRowOfLine(int64_t line) {
    if (line < 0) return 0;
    if (!Wrapping() || wrap_.Empty()) return line;
    const int64_t lines = wrap_.Lines();
    if (line >= lines) return wrap_.TotalRows() + (line - lines);
    return wrap_.RowsBefore(line);
}

int64_t View::TotalRows() {
    if (!Wrapping() || wrap_.Empty()) return doc_->LineCount();
    return wrap_.TotalRows();
}

void View::LineFromDisplayRow(int64_t row, int64_t* line, int32_t* rowInLine) {
    if (!Wrapping() || wrap_.Empty()) {
        *line = std::clamp<int64_t>(row, 0, doc_->LineCount() - 1);
        *rowInLine = 0;
        return;
    }
    wrap_.Find(row, line, rowInLine);
}

void View::Rewrap() {
    if (metricsStale_) {
        RefreshMetrics();  // rewraps when done
        return;
    }
    if (!Wrapping()) {
        wrap_.Clear();
        StopWrapTimer();
        return;
    }
    const int32_t avg = textFonts_.averageCharWidth();
    const int32_t width = WrapWidth();
    wrap_.Reset(doc_->LineCount(), [&](int64_t line) { return EstimateRows(LineBytes(line), avg, width); });
    wrapResume_ = 0;
    StartWrapTimer();
}

void View::StartWrapTimer() {
    if (wrapTimerRunning_) return;
    wrapTimerRunning_ = true;
    host_->StartTimer(kWrapTimer, 1);
}

void View::StopWrapTimer() {
    if (!wrapTimerRunning_) return;
    wrapTimerRunning_ = false;
    host_->StopTimer(kWrapTimer);
}

void View::WrapTick() {
    if (!Wrapping() || wrap_.Lines() != doc_->LineCount()) {
        if (Wrapping()) {
            Rewrap();
        } else {
            StopWrapTimer();
        }
        return;
    }
    if (metricsStale_) RefreshMetrics();
    wrap_.Refresh();
    const auto begin = std::chrono::steady_clock::now();
    const int64_t lines = wrap_.Lines();
    const int64_t caretLine = Composing() ? doc_->LineFromPosition(caret_) : -1;
    bool changed = false;
    int laidOut = 0;
    int64_t line = std::max<int64_t>(0, wrapResume_);
    for (; line < lines; ++line) {
        if (wrap_.Exact(line)) continue;
        int32_t rows;
        if (const LineLayout* cached = layouts_.Find(line)) {
            rows = cached->Rows();
        } else {
            FillLayout(scratch_, line, line == caretLine);
            rows = scratch_.Rows();
        }
        changed |= wrap_.Set(line, static_cast<uint32_t>(rows), true);
        if (++laidOut % 32 == 0 && std::chrono::steady_clock::now() - begin >= std::chrono::milliseconds(8)) {
            ++line;
            break;
        }
    }
    wrapResume_ = line;
    if (line >= lines) {
        const int64_t left = wrap_.FirstEstimate(0);
        if (left < lines) {
            wrapResume_ = left;
        } else {
            scratch_.Release();
            StopWrapTimer();
        }
    }
    if (changed) UpdateScrollBars();
}

void View::FinishWrapping() {
    while (wrapTimerRunning_)
        WrapTick();
}

// ---- document changes ---------------------------------------------------------------------------

void View::NotifyModified(Document* document, bool inserted, int64_t position, int64_t length, int64_t line,
                          int64_t linesAdded, uint32_t flags, const char* text) {
    if (document != doc_) return;
    columns_.Edited(position);
    const int64_t anchorBefore = anchor_, caretBefore = caret_;
    FollowEdit(inserted, position, length, line, linesAdded);
    const int64_t rowsBefore = RowCount(line);
    const std::optional<int32_t> patchedFrom =
        UpdateLayouts(inserted, position, length, line, linesAdded, text);
    MarkUpdate(kUpdateContent);
    if (linesAdded != 0 || RowCount(line) != rowsBefore) {
        InvalidateLines(line, -1);
    } else if (patchedFrom && *patchedFrom > 0) {
        // A patched long line repaints only from the first row whose break moved.
        InvalidateRows(DisplayRowOfLine(line) + *patchedFrom, DisplayRowOfLine(line + 1) - 1);
    } else {
        InvalidateLines(line, 1);
    }
    desiredX_ = -1;
    // Before the parent's notification, which is the last thing the view does here.
    if (accessibility_) {
        accessibility_->TextChanged();
        if (anchor_ != anchorBefore || caret_ != caretBefore) accessibility_->SelectionChanged();
    }
    const uint32_t type = inserted ? kModInsertText : kModDeleteText;
    if (modEventMask_ & type) {
        Notification n;
        n.nmhdr.code = SCN_MODIFIED;
        n.modificationType = static_cast<int32_t>(type | flags);
        n.position = static_cast<intptr_t>(position);
        n.length = static_cast<intptr_t>(length);
        n.linesAdded = static_cast<intptr_t>(linesAdded);
        n.text = text;
        n.line = static_cast<intptr_t>(line);
        host_->Notify(n);
    }
}

void View::FollowEdit(bool inserted, int64_t position, int64_t length, int64_t line, int64_t linesAdded) {
    anchor_ = PositionAfterEdit(*doc_, anchor_, inserted, position, length);
    caret_ = PositionAfterEdit(*doc_, caret_, inserted, position, length);
    if (linesAdded == 0) return;
    if (inserted) {
        if (line < firstLine_) firstLine_ += linesAdded;
    } else if (firstLine_ > line) {
        firstLine_ = std::max(line, firstLine_ + linesAdded);
        if (firstLine_ == line) topRow_ = 0;
    }
    firstLine_ = std::clamp<int64_t>(firstLine_, 0, doc_->LineCount() - 1);
}

std::optional<int32_t> View::UpdateLayouts(bool inserted, int64_t position, int64_t length, int64_t line,
                                           int64_t linesAdded, const char* text) {
    std::optional<int32_t> patched;
    if (linesAdded != 0) {
        layouts_.Invalidate();  // the lines after the change moved to other slots
    } else {
        patched = PatchLayout(inserted, position, length, line, text);
        if (!patched) layouts_.Drop(line);
        // A break joined or split next to the line changes a neighbour's line end.
        const auto n = static_cast<size_t>(std::max<int64_t>(length, 0));
        if (text && (std::memchr(text, '\n', n) || std::memchr(text, '\r', n))) layouts_.Invalidate();
    }
    if (!Wrapping()) return patched;
    if (!FollowLineChange(wrap_, *doc_, line, linesAdded, CurrentWrapKey(), &wrapResume_)) {
        layouts_.Invalidate();
        Rewrap();
        return patched;
    }
    const int64_t count = std::max<int64_t>(linesAdded, 0) + 1;
    if (count > kWrapNowLimit) {
        StartWrapTimer();  // the new lines keep their estimates for now
        return patched;
    }
    for (int64_t l = line; l < line + count && l < doc_->LineCount(); ++l)
        wrap_.Set(l, static_cast<uint32_t>(LayoutLine(l).Rows()), true);
    return patched;
}

std::optional<int32_t> View::PatchLayout(bool inserted, int64_t position, int64_t length, int64_t line,
                                         const char* text) {
    if (metricsStale_ || Composing() || length < 1 || length > 0x7FFFFFF0 || (inserted && !text))
        return std::nullopt;
    LineLayout* slot = layouts_.Find(line);
    if (!slot || !slot->simple || slot->Units() < kPatchMinUnits) return std::nullopt;
    const int64_t offset = position - doc_->LineStart(line);
    if (offset < 0 || offset > slot->lineLength) return std::nullopt;
    // Rows before the edit's row whose breaks stay put need no repaint.
    const int32_t editRow = slot->RowOfUnit(slot->UnitOfOffset(static_cast<uint32_t>(offset)));
    std::vector<uint32_t> oldRows(slot->rowStarts.begin(), slot->rowStarts.begin() + editRow + 1);
    if (!PatchLineLayout(*slot, inserted, static_cast<uint32_t>(offset), text, static_cast<int32_t>(length),
                         Params(), textFonts_)) {
        slot->line = -1;
        return std::nullopt;
    }
    layouts_.NoteWidth(slot->Width());
    return RowsKept(oldRows, slot->rowStarts, editRow);
}

std::optional<View::RowRange> View::PatchCompositionLayout(int64_t line) {
    if (metricsStale_) return std::nullopt;
    LineLayout* slot = layouts_.Find(line);
    if (!slot || !slot->simple || slot->Units() < kPatchMinUnits) return std::nullopt;
    const CompositionView composition = CompositionInLine(doc_->LineStart(line), slot->lineLength);
    const uint32_t at = slot->compositionStart >= 0 ? static_cast<uint32_t>(slot->compositionStart)
                                                    : slot->UnitOfOffset(composition.offset);
    const int64_t unitsBefore = slot->Units();
    const int32_t widthBefore = slot->Width();
    const std::vector<uint32_t> oldRows = slot->rowStarts;
    if (!PatchComposition(*slot, Composing() ? &composition : nullptr, Params(), textFonts_)) {
        slot->line = -1;
        return std::nullopt;
    }
    layouts_.NoteWidth(slot->Width());
    if (Wrapping() && wrap_.Lines() == doc_->LineCount())
        wrap_.Set(line, static_cast<uint32_t>(slot->Rows()), true);
    const std::vector<uint32_t>& rows = slot->rowStarts;
    // Rows before the composition's whose breaks stayed put are unchanged.
    const int32_t editRow = slot->RowOfUnit(at);
    RowRange changed{RowsKept(oldRows, rows, editRow), slot->Rows() - 1};
    // So are the rows after it when the text after it kept its place and its breaks, as when a
    // jamo grows into a syllable of the same width.
    const int64_t delta = slot->Units() - unitsBefore;
    const int32_t endRow = slot->RowOfUnit(at + static_cast<uint32_t>(std::max(0, slot->compositionLength)));
    if (slot->Width() == widthBefore && rows.size() == oldRows.size()) {
        bool same = true;
        for (size_t r = static_cast<size_t>(endRow) + 1; r < rows.size() && same; ++r)
            same = int64_t{rows[r]} == int64_t{oldRows[r]} + delta;
        if (same) changed.last = endRow;
    }
    return changed;
}

int64_t View::DisplayRowOfPosition(int64_t position) {
    const int64_t line = doc_->LineFromPosition(position);
    if (!Wrapping()) return line;
    const LineLayout& l = LayoutLine(line);
    const uint32_t unit = l.UnitOfOffset(
        static_cast<uint32_t>(std::clamp<int64_t>(position - doc_->LineStart(line), 0, l.lineLength)));
    return DisplayRowOfLine(line) + l.RowOfUnit(unit);
}

}  // namespace quill
