#include "edit/view.h"

#include <algorithm>
#include <chrono>
#include <cstring>

#include "edit/layout_chars.h"
#include "edit/sci_messages.h"

namespace quill {

std::array<IndicatorStyle, kIndicatorCount> Appearance::DefaultIndicators() {
    std::array<IndicatorStyle, kIndicatorCount> out{};
    out[0].style = 1;
    out[0].fore = 0x007F00;
    out[1].style = 2;
    out[1].fore = 0xFF0000;
    out[2].style = 0;
    out[2].fore = 0x0000FF;
    return out;
}

uint32_t Blend(uint32_t base, uint32_t rgba) {
    const uint32_t a = rgba >> 24;
    if (a >= 255) return rgba & 0xFFFFFF;
    uint32_t out = 0;
    for (int shift = 0; shift < 24; shift += 8) {
        const uint32_t b = (base >> shift) & 0xFF;
        const uint32_t c = (rgba >> shift) & 0xFF;
        out |= ((b * (255 - a) + c * a) / 255) << shift;
    }
    return out;
}

View::View(std::unique_ptr<ViewHost> host, std::function<std::unique_ptr<FontSource>()> makeFonts)
    : host_(std::move(host)), textFonts_(makeFonts()), numberFonts_(makeFonts()) {
    styles_[kStyleLineNumber].back = 0xF0F0F0;
    margins_[0].type = 1;
    auto* document = new Document();
    document->AddRef();
    AttachDocument(document);
}

View::~View() {
    host_->ReleaseFonts();
    DetachDocument();
}

// ---- document -----------------------------------------------------------------------------------

void View::SetDocument(Document* document) {
    if (!document) document = new Document();
    // The new reference first: setting the shown document again must not free it.
    document->AddRef();
    DetachDocument();
    AttachDocument(document);
    MarkUpdate(kUpdateContent | kUpdateSelection | kUpdateVScroll | kUpdateHScroll);
}

WrapKey View::CurrentWrapKey() {
    WrapKey key;
    key.mode = wrapMode_;
    key.width = WrapWidth();  // refreshes stale metrics first
    key.tabWidth = tabWidth_;
    key.averageCharWidth = textFonts_.averageCharWidth();
    key.fonts = fontGeneration_;
    return key;
}

void View::DetachDocument() {
    if (!doc_) return;
    std::unique_ptr<DocumentViewState> owned = doc_->TakeViewState();
    auto* kept = dynamic_cast<KeptViewState*>(owned.get());
    if (!kept) {
        owned = std::make_unique<KeptViewState>();
        kept = static_cast<KeptViewState*>(owned.get());
    }
    doc_->RemoveWatcher(kept);
    kept->anchor = anchor_;
    kept->caret = caret_;
    kept->scrollWidth = scrollWidth_;
    kept->wrap.Clear();
    kept->key = CurrentWrapKey();
    if (Wrapping() && wrap_.Lines() == doc_->LineCount()) {
        kept->wrap = std::move(wrap_);
        kept->wrapResume = wrapResume_;
    }
    wrap_.Clear();
    // The slots go with the document; the next document gets its own or fresh ones.
    kept->layouts = std::move(cache_);
    kept->generation = generation_;
    cache_.clear();
    StopWrapTimer();
    doc_->RemoveWatcher(this);
    doc_->AddWatcher(kept);
    doc_->SetViewState(std::move(owned));
    doc_->Release();  // frees the document, and what was kept with it, when nobody else holds it
    doc_ = nullptr;
}

void View::AttachDocument(Document* document) {
    doc_ = document;
    auto* kept = dynamic_cast<KeptViewState*>(doc_->ViewState());
    if (kept) doc_->RemoveWatcher(kept);
    doc_->AddWatcher(this);
    // What belonged to the previous document: selection, scroll position, kept x, a mouse
    // selection in progress, composition and a half-typed surrogate pair, the target.
    anchor_ = caret_ = 0;
    desiredX_ = -1;
    firstLine_ = 0;
    topRow_ = 0;
    xOffset_ = 0;
    targetStart_ = targetEnd_ = 0;
    pendingHigh_ = 0;
    EndMouseMode();
    compositionText_.clear();
    compositionAttributes_.clear();
    scrollWidth_ = kept ? kept->scrollWidth : 1;
    const bool sameLayout = kept && kept->key == CurrentWrapKey();
    if (sameLayout && kept->layouts.size() == kLayoutSlots) {
        // Its layouts, valid for the generation they were made in: a later generation of this
        // cache is always a new number.
        cache_ = std::move(kept->layouts);
        generation_ = kept->generation;
    } else {
        cache_.assign(kLayoutSlots, LineLayout{});
        ++generation_;
    }
    if (Wrapping()) {
        if (sameLayout && !kept->wrap.Empty() && kept->wrap.Lines() == doc_->LineCount()) {
            wrap_ = std::move(kept->wrap);
            wrapResume_ = kept->wrapResume;
            if (wrap_.FirstEstimate(0) < wrap_.Lines()) StartWrapTimer();
        } else {
            Rewrap();
        }
    }
    if (kept) {
        kept->wrap.Clear();
        std::vector<LineLayout>().swap(kept->layouts);
    }
    scrollStale_ = true;
    host_->InvalidateAll();
    if (focused_) {
        caretOn_ = true;
        RestartCaretTimer();
        UpdateSystemCaret();
    }
}

int64_t View::LineBytes(int64_t line) const {
    return doc_->LineEnd(line) - doc_->LineStart(line);
}

// ---- window -------------------------------------------------------------------------------------

void View::SetClientSize(int32_t width, int32_t height) {
    const bool widthChanged = width != clientWidth_;
    clientWidth_ = std::max(0, width);
    clientHeight_ = std::max(0, height);
    if (Wrapping() && widthChanged) {
        ++generation_;
        Rewrap();
    }
    scrollStale_ = true;
    UpdateScrollBars();
    host_->InvalidateAll();
}

void View::SetFocused(bool focused) {
    focused_ = focused;
    caretOn_ = true;
    if (focused) {
        RestartCaretTimer();
    } else {
        host_->StopTimer(kCaretTimer);
    }
    host_->InvalidateAll();
}

void View::RestartCaretTimer() {
    if (caretPeriod_ != 0 && caretPeriod_ != 0xFFFFFFFFu) {
        host_->StartTimer(kCaretTimer, caretPeriod_);
    } else {
        host_->StopTimer(kCaretTimer);
    }
}

void View::SetCaretPeriod(uint32_t milliseconds) {
    caretPeriod_ = milliseconds;
    if (focused_) SetFocused(true);
}

void View::OnTimer(int id) {
    if (id == kWrapTimer) {
        WrapTick();
    } else if (id == kDragTimer) {
        DragTick();
    } else if (id == kCaretTimer) {
        if (!focused_) {
            host_->StopTimer(kCaretTimer);
            return;
        }
        caretOn_ = !caretOn_;
        InvalidateCaret();
    }
}

// ---- properties ---------------------------------------------------------------------------------

void View::LayoutChanged() {
    ++generation_;
    if (Wrapping()) Rewrap();
    scrollStale_ = true;
    UpdateScrollBars();
    host_->InvalidateAll();
}

void View::InvalidateMetrics() {
    metricsStale_ = true;
    scrollStale_ = true;
    host_->InvalidateAll();
}

void View::Repaint() {
    host_->InvalidateAll();
}

void View::SetStyle(int slot, const Style& style) {
    if (slot < 0 || slot > 2 || styles_[slot] == style) return;
    const Style old = styles_[slot];
    styles_[slot] = style;
    const bool fontChanged = old.face != style.face || old.size != style.size || old.weight != style.weight ||
                             old.italic != style.italic;
    if (fontChanged && slot != kStyleDefault) {
        InvalidateMetrics();
    } else {
        Repaint();
    }
}

void View::SetWrapMode(int32_t mode) {
    if (mode == 3) mode = kWrapWord;
    if (mode < 0 || mode > 3) mode = kWrapNone;
    if (mode == wrapMode_) return;
    wrapMode_ = mode;
    if (!Wrapping()) {
        topRow_ = 0;
        wrap_.Clear();
        StopWrapTimer();
    }
    LayoutChanged();
}

void View::SetTabWidth(int32_t columns) {
    if (columns <= 0 || columns == tabWidth_) return;
    tabWidth_ = columns;
    LayoutChanged();
}

void View::SetZoom(int32_t zoom) {
    zoom = std::clamp(zoom, kZoomMin, kZoomMax);
    if (zoom == zoom_) return;
    zoom_ = zoom;
    InvalidateMetrics();
}

void View::SetExtraAscent(int32_t pixels) {
    if (pixels == extraAscent_) return;
    extraAscent_ = pixels;
    InvalidateMetrics();
}

void View::SetExtraDescent(int32_t pixels) {
    if (pixels == extraDescent_) return;
    extraDescent_ = pixels;
    InvalidateMetrics();
}

void View::SetMargin(int index, int32_t width, int32_t type) {
    if (index < 0 || index >= static_cast<int>(margins_.size())) return;
    width = std::max(0, width);
    if (margins_[index].width == width && margins_[index].type == type) return;
    margins_[index] = {width, type};
    LayoutChanged();
}

void View::SetTextMargins(int32_t left, int32_t right) {
    left = std::max(0, left);
    right = std::max(0, right);
    if (left == marginLeft_ && right == marginRight_) return;
    marginLeft_ = left;
    marginRight_ = right;
    LayoutChanged();
}

void View::SetCaretWidth(int32_t pixels) {
    pixels = std::clamp(pixels, 0, 20);
    if (pixels == caretWidth_) return;
    caretWidth_ = pixels;
    LayoutChanged();
}

void View::SetHScrollBar(bool on) {
    if (on == hScrollBar_) return;
    hScrollBar_ = on;
    scrollStale_ = true;
    UpdateScrollBars();
    host_->InvalidateAll();
}

void View::SetEndAtLastLine(bool on) {
    if (on == endAtLastLine_) return;
    endAtLastLine_ = on;
    scrollStale_ = true;
    UpdateScrollBars();
    host_->InvalidateAll();
}

void View::SetScrollWidth(int64_t width) {
    width = std::max<int64_t>(1, width);
    if (width == scrollWidth_) return;
    scrollWidth_ = width;
    scrollStale_ = true;
    UpdateScrollBars();
}

int32_t View::MarginsWidth() const {
    int32_t sum = 0;
    for (const Margin& m : margins_)
        sum += m.width;
    return sum;
}

int32_t View::TextLeft() const {
    return marginLeft_ + MarginsWidth();
}

// ---- selection and composition ------------------------------------------------------------------

void View::SetSelection(int64_t anchor, int64_t caret, bool ensureVisible, bool keepDesiredX) {
    const int64_t length = doc_->Length();
    anchor = std::clamp<int64_t>(anchor, 0, length);
    caret = std::clamp<int64_t>(caret, 0, length);
    if (!keepDesiredX) desiredX_ = -1;
    if (anchor != anchor_ || caret != caret_) {
        const int64_t low = std::min({anchor, caret, anchor_, caret_});
        const int64_t high = std::max({anchor, caret, anchor_, caret_});
        anchor_ = anchor;
        caret_ = caret;
        // Rows of lines on screen are found exactly; others only need their lines.
        const int64_t lowLine = doc_->LineFromPosition(low), highLine = doc_->LineFromPosition(high);
        const int64_t screenEnd = firstLine_ + LinesOnScreen() + 1;
        const int64_t firstRow = (lowLine >= firstLine_ && lowLine <= screenEnd) ? DisplayRowOfPosition(low)
                                                                                 : DisplayRowOfLine(lowLine);
        const int64_t lastRow = (highLine >= firstLine_ && highLine <= screenEnd)
                                    ? DisplayRowOfPosition(high)
                                    : DisplayRowOfLine(highLine + 1) - 1;
        InvalidateRows(firstRow, lastRow);
        MarkUpdate(kUpdateSelection);
    }
    if (ensureVisible) ScrollCaretIntoView(caret_, false);
    if (focused_) {
        caretOn_ = true;
        RestartCaretTimer();
        UpdateSystemCaret();
    }
}

void View::UpdateSystemCaret() {
    if (!focused_) return;
    int32_t x = 0, y = 0;
    PointFromPosition(caret_, &x, &y);
    host_->MoveSystemCaret(x, y);
}

void View::MarkUpdate(uint32_t flags) {
    pendingUpdate |= flags;
    if (pendingUpdate != 0 && !updatePosted_) {
        updatePosted_ = true;
        host_->PostUpdate();
    }
}

void View::DeliverUpdate() {
    if (pendingUpdate == 0) return;
    Notification n;
    n.nmhdr.code = SCN_UPDATEUI;
    n.updated = static_cast<int32_t>(pendingUpdate);
    pendingUpdate = 0;
    host_->Notify(n);
}

void View::DeliverPostedUpdate() {
    updatePosted_ = false;
    DeliverUpdate();
}

void View::SetComposition(const std::u16string& text, const std::vector<uint8_t>& attributes,
                          int32_t cursor) {
    if (text.empty() && compositionText_.empty()) return;
    compositionText_ = text;
    compositionAttributes_ = attributes;
    compositionAttributes_.resize(text.size(), 0);
    compositionCursor_ = cursor;
    const int64_t line = doc_->LineFromPosition(caret_);
    const int64_t rowsBefore = RowCount(line);
    DropLayout(line);
    if (Wrapping() && RowCount(line) != rowsBefore) scrollStale_ = true;
    LayoutLine(line);
    if (Wrapping() && RowCount(line) != rowsBefore) scrollStale_ = true;
    InvalidateLines(line, -1);
}

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
    ++generation_;
    ++fontGeneration_;
    Rewrap();
    scrollStale_ = true;
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

void View::FillLayout(LineLayout& layout, int64_t line, bool withComposition) {
    ++layoutsMade;
    const int64_t start = doc_->LineStart(line);
    const int64_t end = doc_->LineEnd(line);
    const int64_t next = doc_->LineStart(line + 1);
    const int64_t length = std::min<int64_t>(end - start, 0x7FFFFFF0);
    const char* bytes = length > 0 ? doc_->RangePointer(start, length) : "";
    CompositionView composition;
    if (withComposition) {
        composition.text = &compositionText_;
        composition.attributes = &compositionAttributes_;
        composition.offset = static_cast<uint32_t>(std::clamp<int64_t>(caret_ - start, 0, length));
        composition.cursor = compositionCursor_;
    }
    BuildLineLayout(layout, bytes, static_cast<int32_t>(length), static_cast<int32_t>(next - end), Params(),
                    textFonts_, withComposition ? &composition : nullptr);
    layout.line = line;
    layout.generation = generation_;
}

LineLayout& View::LayoutLine(int64_t line) {
    if (metricsStale_) RefreshMetrics();
    line = std::clamp<int64_t>(line, 0, doc_->LineCount() - 1);
    LineLayout& slot = cache_[static_cast<size_t>(line % kLayoutSlots)];
    if (slot.line == line && slot.generation == generation_) return slot;
    const bool composition = Composing() && doc_->LineFromPosition(caret_) == line;
    FillLayout(slot, line, composition);
    if (!Wrapping()) {
        if (slot.Width() > scrollWidth_) {
            scrollWidth_ = slot.Width();
            scrollStale_ = true;
        }
    } else if (wrap_.Lines() == doc_->LineCount()) {
        if (wrap_.Set(line, static_cast<uint32_t>(slot.Rows()), true)) scrollStale_ = true;
    }
    return slot;
}

void View::DropLayout(int64_t line) {
    if (line < 0) return;
    LineLayout& slot = cache_[static_cast<size_t>(line % kLayoutSlots)];
    if (slot.line == line) slot.line = -1;
}

// ---- display rows
// -------------------------------------------------------------------------------------------

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
    scrollStale_ = true;
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
        const LineLayout& cached = cache_[static_cast<size_t>(line % kLayoutSlots)];
        int32_t rows;
        if (cached.line == line && cached.generation == generation_) {
            rows = cached.Rows();
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
    if (changed) {
        scrollStale_ = true;
        UpdateScrollBars();
    }
}

void View::FinishWrapping() {
    while (wrapTimerRunning_)
        WrapTick();
}

// ---- document changes
// ------------------------------------------------------------------------------------------

void View::NotifyModified(Document* document, bool inserted, int64_t position, int64_t length, int64_t line,
                          int64_t linesAdded, uint32_t flags, const char* text) {
    if (document != doc_) return;
    const int64_t lineCount = doc_->LineCount();
    patchedRow_ = -1;

    // The selection follows the change.
    anchor_ = PositionAfterEdit(*doc_, anchor_, inserted, position, length);
    caret_ = PositionAfterEdit(*doc_, caret_, inserted, position, length);
    if (linesAdded != 0) {
        if (inserted) {
            if (line < firstLine_) firstLine_ += linesAdded;
        } else if (firstLine_ > line) {
            firstLine_ = std::max(line, firstLine_ + linesAdded);
            if (firstLine_ == line) topRow_ = 0;
        }
        firstLine_ = std::clamp<int64_t>(firstLine_, 0, lineCount - 1);
    }

    const bool breaks = text && length > 0 &&
                        (std::memchr(text, '\n', static_cast<size_t>(length)) ||
                         std::memchr(text, '\r', static_cast<size_t>(length)));
    const int64_t rowsBefore = RowCount(line);
    auto patchOrDrop = [&]() {
        if (!TryPatch(inserted, position, length, line, text)) DropLayout(line);
    };
    if (Wrapping()) {
        if (wrap_.Lines() == lineCount - linesAdded) {
            auto estimate = [this](int64_t l) { return Estimate(l); };
            if (linesAdded > 0) {
                wrap_.InsertAfter(line, linesAdded, estimate);
                ++generation_;
            } else if (linesAdded < 0) {
                wrap_.EraseAfter(line, -linesAdded);
                ++generation_;
            } else {
                patchOrDrop();
            }
        } else {
            ++generation_;
            Rewrap();
        }
    } else if (linesAdded != 0) {
        ++generation_;
    } else {
        patchOrDrop();
    }
    // A break joined or split next to the line changes a neighbour's line end.
    if (breaks && linesAdded == 0) ++generation_;

    if (Wrapping() && wrap_.Lines() == lineCount) {
        const int64_t count = std::max<int64_t>(linesAdded, 0) + 1;
        if (count > kWrapNowLimit) {
            wrap_.Set(line, Estimate(line), false);
            wrapResume_ = std::min(line, wrapResume_);
            StartWrapTimer();
        } else {
            for (int64_t l = line; l < line + count && l < lineCount; ++l) {
                const int32_t rows = LayoutLine(l).Rows();
                wrap_.Set(l, static_cast<uint32_t>(rows), true);
            }
        }
    }
    scrollStale_ = true;
    MarkUpdate(kUpdateContent);
    if (linesAdded != 0 || RowCount(line) != rowsBefore) {
        InvalidateLines(line, -1);
    } else if (patchedRow_ > 0) {
        // A patched long line repaints only from the first row whose break moved.
        const int64_t first = DisplayRowOfLine(line);
        InvalidateRows(first + patchedRow_, DisplayRowOfLine(line + 1) - 1);
    } else {
        InvalidateLines(line, 1);
    }
    desiredX_ = -1;
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

void View::InvalidateRows(int64_t firstRow, int64_t lastRow) {
    if (clientHeight_ <= 0 || clientWidth_ <= 0 || lastRow < firstRow) return;
    const int64_t lh = LineHeight();
    const int64_t top = TopRow();
    const int64_t y0 = std::clamp<int64_t>((firstRow - top) * lh, 0, clientHeight_);
    const int64_t y1 = std::clamp<int64_t>((lastRow + 1 - top) * lh, 0, clientHeight_);
    if (y1 > y0) host_->InvalidateRect(0, static_cast<int32_t>(y0), clientWidth_, static_cast<int32_t>(y1));
}

int64_t View::DisplayRowOfPosition(int64_t position) {
    const int64_t line = doc_->LineFromPosition(position);
    if (!Wrapping()) return line;
    const LineLayout& l = LayoutLine(line);
    const uint32_t unit = l.UnitOfOffset(
        static_cast<uint32_t>(std::clamp<int64_t>(position - doc_->LineStart(line), 0, l.lineLength)));
    return DisplayRowOfLine(line) + l.RowOfUnit(unit);
}

bool View::TryPatch(bool inserted, int64_t position, int64_t length, int64_t line, const char* text) {
    if (metricsStale_ || Composing() || length < 1 || length > 0x7FFFFFF0 || (inserted && !text))
        return false;
    LineLayout& slot = cache_[static_cast<size_t>(line % kLayoutSlots)];
    if (slot.line != line || slot.generation != generation_ || !slot.simple || slot.Units() < kPatchMinUnits)
        return false;
    const int64_t offset = position - doc_->LineStart(line);
    if (offset < 0 || offset > slot.lineLength) return false;
    // Rows before the edit's row whose breaks stay put need no repaint.
    const int32_t editRow = slot.RowOfUnit(slot.UnitOfOffset(static_cast<uint32_t>(offset)));
    std::vector<uint32_t> oldRows(slot.rowStarts.begin(), slot.rowStarts.begin() + editRow + 1);
    if (!PatchLineLayout(slot, inserted, static_cast<uint32_t>(offset), text, static_cast<int32_t>(length),
                         Params(), textFonts_)) {
        slot.line = -1;
        return false;
    }
    if (!Wrapping() && slot.Width() > scrollWidth_) {
        scrollWidth_ = slot.Width();
        scrollStale_ = true;
    }
    int32_t first = 0;
    while (first < editRow && first + 1 < slot.Rows() && slot.rowStarts[first + 1] == oldRows[first + 1])
        ++first;
    patchedRow_ = first;
    return true;
}

void View::NotifySavePoint(Document* document, bool atSavePoint) {
    if (document != doc_) return;
    Notification n;
    n.nmhdr.code = atSavePoint ? SCN_SAVEPOINTREACHED : SCN_SAVEPOINTLEFT;
    host_->Notify(n);
}

void View::GetSelection(int64_t* anchor, int64_t* caret) {
    *anchor = anchor_;
    *caret = caret_;
}

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
    scrollStale_ = true;
    UpdateScrollBars();
    UpdateSystemCaret();
    MarkUpdate(kUpdateVScroll);
}

void View::SetXOffset(int32_t x) {
    if (Wrapping() || x < 0) x = 0;
    if (x == xOffset_) return;
    xOffset_ = x;
    host_->InvalidateAll();
    scrollStale_ = true;
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
    const int64_t content = caretWidth_ + scrollWidth_;
    if (content <= page && xOffset_ == 0) return h;
    h.page = page;
    h.max = std::max<int64_t>(std::min<int64_t>(content, 0x3FFFFFFF), xOffset_ + page) - 1;
    h.pos = xOffset_;
    return h;
}

void View::UpdateScrollBars() {
    scrollStale_ = false;
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

// ---- positions and invalidation
// ----------------------------------------------------------------------------------

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

}  // namespace quill
