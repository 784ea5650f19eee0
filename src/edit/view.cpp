#include "edit/view.h"

#include <algorithm>
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
    if (accessibility_) accessibility_->ViewGone();
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
    if (accessibility_) {
        accessibility_->DocumentSwapped();
        accessibility_->TextChanged();
        accessibility_->SelectionChanged();
    }
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
    kept->layouts = layouts_.Take();
    StopWrapTimer();
    doc_->RemoveWatcher(this);
    doc_->AddWatcher(kept);
    doc_->SetViewState(std::move(owned));
    doc_->Release();  // frees the document, and what was kept with it, when nobody else holds it
    doc_ = nullptr;
}

void View::AttachDocument(Document* document) {
    doc_ = document;
    columns_.Clear();
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
    composing_ = false;
    compositionText_.clear();
    compositionAttributes_.clear();
    scrollWidth_ = kept ? kept->scrollWidth : 1;
    const bool sameLayout = kept && kept->key == CurrentWrapKey();
    if (!sameLayout || !layouts_.Give(std::move(kept->layouts))) layouts_.Reset();
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
        kept->layouts = {};
    }
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
        layouts_.Invalidate();
        Rewrap();
    }
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
    layouts_.Invalidate();
    if (Wrapping()) Rewrap();
    UpdateScrollBars();
    host_->InvalidateAll();
}

void View::InvalidateMetrics() {
    metricsStale_ = true;
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
    UpdateScrollBars();
    host_->InvalidateAll();
}

void View::SetEndAtLastLine(bool on) {
    if (on == endAtLastLine_) return;
    endAtLastLine_ = on;
    UpdateScrollBars();
    host_->InvalidateAll();
}

void View::SetScrollWidth(int64_t width) {
    width = std::max<int64_t>(1, width);
    if (width == ScrollWidth()) return;
    scrollWidth_ = width;
    layouts_.ForgetWidest();
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
        if (accessibility_) accessibility_->SelectionChanged();
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
    if (InComposition()) PositionImeWindows();
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

int64_t View::ColumnAt(int64_t position) {
    class Source final : public lumen::ColumnSource {
    public:
        explicit Source(Document& doc) : doc_(doc) {}
        int64_t LineStartOf(int64_t p) override { return doc_.LineStart(doc_.LineFromPosition(p)); }
        std::string_view Bytes(int64_t start, int64_t end) override {
            end = std::min(end, doc_.Length());
            if (end <= start) return {};
            return {doc_.RangePointer(start, end - start), static_cast<size_t>(end - start)};
        }

    private:
        Document& doc_;
    };
    Source source(*doc_);
    return columns_.Column(std::clamp<int64_t>(position, 0, doc_->Length()), tabWidth_, source);
}

}  // namespace quill
