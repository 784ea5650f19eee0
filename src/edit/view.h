// The editor view: the object behind a "QuillEdit" window. It watches its document, keeps the
// layouts of recently shown lines in a direct-mapped cache, keeps the display-row index while
// wrapping (finishing it in 8 ms slices on timer 3), and holds the scroll state and everything the
// painter reads. What it needs from its window (timers, invalidation, scroll bars, DPI) goes through
// ViewHost, so all of this builds and is tested natively; painting and the window are in *_win.cpp.
#pragma once

#include <algorithm>
#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "edit/column_cache.h"
#include "edit/document.h"
#include "edit/font_set.h"
#include "edit/layout.h"
#include "edit/layout_cache.h"
#include "edit/notification.h"
#include "edit/scroll_bars.h"
#include "edit/view_kept_state.h"
#include "edit/wrap_index.h"

namespace quill {

struct MessageArgs;

// Timer ids of the view's window.
inline constexpr int kCaretTimer = 1;
inline constexpr int kDragTimer = 2;
inline constexpr int kWrapTimer = 3;

// Lines of at least this many units are patched in place on an edit instead of laid out again.
inline constexpr int32_t kPatchMinUnits = 2048;
// A change that adds more lines than this leaves their row counts to the background wrapper.
inline constexpr int64_t kWrapNowLimit = 256;
inline constexpr int64_t kScrollLimit = 0x7FFFFFFE;

class ViewHost {
public:
    virtual ~ViewHost() = default;
    virtual void StartTimer(int id, uint32_t milliseconds) = 0;
    virtual void StopTimer(int id) = 0;
    virtual void InvalidateAll() = 0;
    virtual void InvalidateRect(int32_t left, int32_t top, int32_t right, int32_t bottom) = 0;
    // Moves the client area's pixels by dy (the uncovered part is invalidated); false when the host
    // cannot (then the view invalidates everything).
    virtual bool ScrollPixels(int32_t dy) = 0;
    // System scroll bars; not called while the view draws its own.
    virtual void SetScrollBar(bool vertical, const ScrollValues& values) = 0;
    virtual int32_t Dpi() = 0;
    virtual void* SystemHandle() { return nullptr; }

    // ---- the control's side of the conversation with its parent and the system -----------------
    // Sends a notification record to the parent (the host fills in the header's window and id).
    virtual void Notify(Notification& /*notification*/) {}
    // Asks for DeliverPostedUpdate to be called once the current batch of messages is handled.
    virtual void PostUpdate() {}
    virtual void TakeFocus() {}
    // Moves the system caret (and, while composing, the input-method windows).
    virtual void MoveSystemCaret(int32_t /*x*/, int32_t /*y*/) {}
    // Puts the input method's composition window at client point (x, y) and its candidate window
    // under the row there, never covering it.
    virtual void PositionImeWindows(int32_t /*x*/, int32_t /*y*/, int32_t /*lineHeight*/) {}
    // Asks the input method to commit its composition (the result comes back as a composition
    // message, possibly before this returns).
    virtual void CompleteImeComposition() {}
    // The view's fonts are about to be deleted or rebuilt: nothing may keep them selected.
    virtual void ReleaseFonts() {}
    virtual uint32_t ButtonFaceColour() { return 0xF0F0F0; }
    // Plain-text clipboard in UTF-8.
    virtual bool CopyToClipboard(const std::string& /*utf8*/) { return false; }
    virtual bool ReadClipboard(std::string* /*utf8*/) { return false; }
    virtual bool ClipboardHasText() { return false; }
};

// Where a vertical scroll should put the top row so that row `row` is visible: `top` unchanged
// when it already is, else within a page above or less than two pages below the top the nearest
// edge, farther away (or with `centre`) the row in the middle of the page.
int64_t TopRowToShow(int64_t row, int64_t top, int64_t page, bool centre);
// The horizontal offset that shows x .. x + caretWidth in a text area `width` wide scrolled by
// `offset`; jumps by a third of the width so that typing does not scroll at every character.
int32_t XOffsetToShow(int32_t x, int32_t offset, int32_t width, int32_t caretWidth);

// Mouse selection modes.
enum MouseMode { kMouseNone = 0, kMouseChars = 1, kMouseWords = 2, kMouseLines = 3 };

struct Style {
    std::wstring face = L"Verdana";
    int32_t size = 1000;  // hundredths of a point
    uint32_t fore = 0x000000;
    uint32_t back = 0xFFFFFF;
    int32_t weight = 400;
    bool italic = false;
    bool operator==(const Style&) const = default;
};

// Style slots: 0 text, 1 default (32), 2 line numbers (33).
enum StyleSlot { kStyleText = 0, kStyleDefault = 1, kStyleLineNumber = 2 };

struct ElementColour {
    bool set = false;
    uint32_t rgba = 0;  // alpha in the top byte
};

enum Element {
    kElementSelection,
    kElementInactiveSelection,
    kElementCaret,
    kElementCaretLine,
    kElementWhitespace,
    kElementCount
};

struct IndicatorStyle {
    int32_t style = 0;
    uint32_t fore = 0x7F0000;
    int32_t alpha = 30;
    int32_t outlineAlpha = 50;
    bool under = false;
};

struct Margin {
    int32_t width = 0;
    int32_t type = 0;
};

// Everything that only changes how the view is drawn; after changing it call Repaint().
struct Appearance {
    std::array<ElementColour, kElementCount> elements{};
    bool caretLineVisible = false;
    bool caretLineAlways = false;
    int32_t viewWhitespace = 0;  // 0 off, 1 always, 2 after the indentation, 3 inside it
    bool viewEol = false;
    bool overtype = false;
    std::array<IndicatorStyle, kIndicatorCount> indicators = DefaultIndicators();
    std::wstring hint;

    static std::array<IndicatorStyle, kIndicatorCount> DefaultIndicators();
};

// What the view tells its accessibility provider, which exists only after a screen reader asked for
// it: until then the view pays one null test per change.
class AccessibilityListener {
public:
    virtual void TextChanged() = 0;
    virtual void SelectionChanged() = 0;
    // Another document is shown: ranges into the old one must stop working.
    virtual void DocumentSwapped() = 0;
    // The view is being destroyed.
    virtual void ViewGone() = 0;

protected:
    ~AccessibilityListener() = default;
};

// alpha-blends rgba (alpha in the top byte) over base; opaque colours replace it.
uint32_t Blend(uint32_t base, uint32_t rgba);

class View final : public DocWatcher {
public:
    explicit View(std::unique_ptr<ViewHost> host,
                  std::function<std::unique_ptr<FontSource>()> makeFonts = MakeSystemFontSource);
    ~View();
    View(const View&) = delete;
    View& operator=(const View&) = delete;

    ViewHost* host() const { return host_.get(); }
    // Set once, when the accessibility provider is made; told ViewGone from the destructor.
    void SetAccessibilityListener(AccessibilityListener* listener) { accessibility_ = listener; }
    AccessibilityListener* GetAccessibilityListener() const { return accessibility_; }

    // ---- document -----------------------------------------------------------------------------
    Document* GetDocument() const { return doc_; }
    // Detaches the current document, leaving what the view knows of it with it (see
    // KeptViewState), and attaches `document` (a new empty one when null) with the selection and
    // scroll position at the start. A document shown before is not wrapped again when the wrap
    // settings are the ones it was wrapped with.
    void SetDocument(Document* document);

    // ---- window ------------------------------------------------------------------------------
    void SetClientSize(int32_t width, int32_t height);
    int32_t ClientWidth() const { return clientWidth_; }
    int32_t ClientHeight() const { return clientHeight_; }
    void SetOverlayScrollBars(bool on) { overlayBars_ = on; }
    bool OverlayScrollBars() const { return overlayBars_; }
    void SetFocused(bool focused);
    bool Focused() const { return focused_; }
    // Caret blink period; 0 or 0xFFFFFFFF keep the caret steady.
    void SetCaretPeriod(uint32_t milliseconds);
    uint32_t CaretPeriod() const { return caretPeriod_; }
    // Timer ticks of the view's window.
    void OnTimer(int id);

    // ---- properties that affect layout --------------------------------------------------------
    const Style& GetStyle(int slot) const { return styles_[slot]; }
    void SetStyle(int slot, const Style& style);
    // Values above 3 switch wrapping off; 3 acts as word wrap.
    void SetWrapMode(int32_t mode);
    int32_t WrapMode() const { return wrapMode_; }
    bool Wrapping() const { return wrapMode_ != kWrapNone; }
    void SetTabWidth(int32_t columns);
    int32_t TabWidth() const { return tabWidth_; }
    // The column of a position (tabs expanded), counted from marks the view keeps along the line
    // last asked about, so that a host asking for the caret's column on every key of a 2 MB line
    // does not count from the line's start each time.
    int64_t ColumnAt(int64_t position);
    void SetZoom(int32_t zoom);
    int32_t Zoom() const { return zoom_; }
    void SetExtraAscent(int32_t pixels);
    void SetExtraDescent(int32_t pixels);
    int32_t ExtraAscent() const { return extraAscent_; }
    int32_t ExtraDescent() const { return extraDescent_; }
    void SetMargin(int index, int32_t width, int32_t type);
    const Margin& GetMargin(int index) const { return margins_[index]; }
    void SetTextMargins(int32_t left, int32_t right);
    int32_t LeftTextMargin() const { return marginLeft_; }
    int32_t RightTextMargin() const { return marginRight_; }
    void SetCaretWidth(int32_t pixels);
    int32_t CaretWidth() const { return caretWidth_; }
    void SetHScrollBar(bool on);
    void SetEndAtLastLine(bool on);
    void SetScrollWidth(int64_t width);
    // The widest line laid out, or what the host set when that is wider.
    int64_t ScrollWidth() const { return std::max(scrollWidth_, layouts_.Widest()); }
    // Marks fonts and metrics stale (style, zoom or DPI change); they are rebuilt on next use.
    void InvalidateMetrics();

    Appearance& appearance() { return appearance_; }
    const Appearance& appearance() const { return appearance_; }
    void Repaint();

    // ---- selection and composition (the parts layout and painting need) -----------------------
    int64_t Anchor() const { return anchor_; }
    int64_t Caret() const { return caret_; }
    int64_t SelectionStart() const { return std::min(anchor_, caret_); }
    int64_t SelectionEnd() const { return std::max(anchor_, caret_); }
    bool SelectionEmpty() const { return anchor_ == caret_; }
    // Clamps both ends; unless keepDesiredX forgets the kept x; with ensureVisible scrolls the
    // caret into view.
    void SetSelection(int64_t anchor, int64_t caret, bool ensureVisible = false, bool keepDesiredX = false);
    int32_t DesiredX() const { return desiredX_; }
    void ForgetDesiredX() { desiredX_ = -1; }
    bool CaretPhase() const { return caretOn_; }
    void SetCaretPhase(bool on) { caretOn_ = on; }
    // ---- input-method composition (view_composition.cpp) --------------------------------------
    // A composition started: the text shown at the caret follows through SetComposition.
    void StartComposition();
    // Shows composition text at the caret (empty text cancels it): a non-empty text first deletes
    // the selection as typing, so the committed result merges with it in one undo step.
    void SetComposition(const std::u16string& text, const std::vector<uint8_t>& attributes, int32_t cursor);
    // The input method's result: the composition goes and the text is typed.
    void CommitComposition(const std::u16string& result);
    void EndComposition();
    // Before a command, a click, focus loss or a document swap: the input method commits; whatever
    // it leaves shown is dropped.
    void CompleteComposition();
    // Text shown inline (what layout and painting look at).
    bool Composing() const { return !compositionText_.empty(); }
    // Between the start and the end of a composition, text shown or not.
    bool InComposition() const { return composing_ || Composing(); }
    const std::u16string& CompositionText() const { return compositionText_; }
    int32_t CompositionCursor() const { return compositionCursor_; }
    const std::vector<uint8_t>& CompositionAttributes() const { return compositionAttributes_; }
    // Client point of the composition's start (the caret when not composing) and, with `index`,
    // of that composition character; the input-method windows go there.
    void CompositionPoint(int32_t index, int32_t* x, int32_t* y);
    void PositionImeWindows();
    // The selection's line in UTF-16 with the selection (feed: the caret) as a unit range, for the
    // input method's reconversion; false when the selection spans lines, or for reconversion when
    // the line is empty.
    bool ReconversionText(bool feed, std::u16string* text, uint32_t* start, uint32_t* length);
    // Selects units [start, start + length) of the caret's line (after the input method adjusted
    // a reconversion range).
    void SelectLineUnits(uint32_t start, uint32_t length);
    // The character at the caret in UTF-16 when Hanja conversion can start there (nothing
    // composing, empty selection, a non-ASCII character), else empty.
    std::u16string HanjaCandidate();

    // ---- metrics and layout -------------------------------------------------------------------
    void RefreshMetrics();
    bool MetricsStale() const { return metricsStale_; }
    int32_t LineHeight();
    int32_t LineAscent();
    int32_t LineDescent();
    FontSet& TextFonts() { return textFonts_; }
    FontSet& NumberFonts() { return numberFonts_; }
    uint64_t Measure(char32_t cp);
    // The cached layout of a line, laid out when its slot does not hold it.
    LineLayout& LayoutLine(int64_t line);
    // Forgets one line's cached layout.
    void DropLayout(int64_t line) { layouts_.Drop(line); }
    uint32_t Generation() const { return layouts_.Generation(); }
    int32_t WrapWidth();
    int32_t TextWidth(int slot, const std::string& utf8);
    // Left edge of the text area: left text margin plus the margins.
    int32_t TextLeft() const;
    int32_t MarginsWidth() const;

    // ---- display rows -------------------------------------------------------------------------
    int64_t RowCount(int64_t line);
    int64_t DisplayRowOfLine(int64_t line);
    int64_t TotalRows();
    void LineFromDisplayRow(int64_t row, int64_t* line, int32_t* rowInLine);
    const WrapIndex& Rows() const { return wrap_; }
    bool WrapPending() const { return wrapTimerRunning_; }
    // Runs background wrapping until every row count is exact (for tests and benchmarks).
    void FinishWrapping();

    // ---- scrolling ----------------------------------------------------------------------------
    int64_t FirstVisibleLine() const { return firstLine_; }
    int32_t TopRowInLine() const { return topRow_; }
    // Display row at the top of the view.
    int64_t TopRow();
    int32_t XOffset() const { return xOffset_; }
    void SetXOffset(int32_t x);
    int64_t LinesOnScreen();
    // Highest display row that can be at the top.
    int64_t MaxTopRow();
    // Scrolls so that display row `row` (clamped) is at the top.
    void ScrollToRow(int64_t row);
    ScrollValues VerticalValues();
    ScrollValues HorizontalValues();
    // Sends changed values to the scroll bars (system or overlay).
    void UpdateScrollBars();
    // Whether the bars show other values than the view's current ones.
    bool ScrollBarsStale();

    // ---- overlay scroll bars (view_overlay.cpp) ------------------------------------------------
    // Where a bar and its thumb are for the current scroll values (exists is false when it shows
    // nothing, and always without overlay bars).
    OverlayBar OverlayGeometry(bool vertical);
    // The bar under client point (x, y), or kOverlayNone.
    int OverlayAt(int32_t x, int32_t y);
    const OverlayPointer& Overlay() const { return overlay_; }
    // A left press: true when it fell on a bar, which then follows the pointer until released
    // (a press off the thumb moves the thumb's middle to the pointer at once).
    bool OverlayPress(int32_t x, int32_t y);
    void OverlayDragTo(int32_t x, int32_t y);
    bool OverlayDragging() const { return overlay_.drag != kOverlayNone; }
    void OverlayRelease();
    // The pointer moved without a button: true when it is over a bar (the host should tell the
    // view when the pointer leaves the window).
    bool OverlayHover(int32_t x, int32_t y);
    void OverlayLeave();

    // ---- positions on screen ------------------------------------------------------------------
    // Client coordinates of the left edge of `position`'s character cell and the top of its row;
    // false when its line is not laid out in a visible place (y may then be off screen anyway).
    void PointFromPosition(int64_t position, int32_t* x, int32_t* y);
    // Invalidates the rows of lines [first, first + count) (count < 0: to the bottom).
    void InvalidateLines(int64_t first, int64_t count);
    void InvalidateCaret();
    // Invalidates display rows [firstRow, lastRow].
    void InvalidateRows(int64_t firstRow, int64_t lastRow);
    int64_t DisplayRowOfPosition(int64_t position);

    // Lines laid out so far (cache misses and background wrapping), for tests and benchmarks.
    uint64_t layoutsMade = 0;

    // Pending SCN_UPDATEUI flags (1 content, 2 selection, 4 vertical scroll, 8 horizontal scroll).
    uint32_t pendingUpdate = 0;
    // ORs flags into the pending ones and asks the host for one deferred delivery.
    void MarkUpdate(uint32_t flags);
    // Sends SCN_UPDATEUI with the pending flags, if any (before painting and on the posted message).
    void DeliverUpdate();
    void DeliverPostedUpdate();

    // ---- caret, scrolling and hit-testing (view_edit.cpp) -------------------------------------
    // The position under client point (x, y); `close` gives -1 outside the text area.
    int64_t PositionFromPoint(int32_t x, int32_t y, bool close = false);
    // The position in display row `row` nearest to rowX pixels from the row's start.
    int64_t PositionInRow(int64_t row, int32_t rowX);
    // x of `position` from the start of its display row.
    int32_t RowX(int64_t position);
    void ScrollCaretIntoView(int64_t position, bool centre);
    void ScrollRange(int64_t secondary, int64_t primary);
    bool HScrollBar() const { return hScrollBar_; }
    bool EndAtLastLine() const { return endAtLastLine_; }
    // Start and end (before the last character for a row that is not the line's last) of a row.
    int64_t RowStartPosition(int64_t row);
    // The layout of display row `row`'s line, with the line and the row within it (clamped to
    // the layout's rows).
    const LineLayout& LayoutOfRow(int64_t row, int64_t* line, int32_t* rowInLine);
    int64_t RowEndPosition(int64_t row);

    // ---- editing --------------------------------------------------------------------------------
    void ReplaceSelection(const char* bytes, int64_t count, uint32_t coalesceKind);
    void DeleteSelection(uint32_t coalesceKind);
    void TypeText(const std::string& utf8);
    // A UTF-16 unit from a character message: surrogate halves are paired, controls ignored.
    void TypeUnit(char16_t unit);
    // A code point from a Unicode-character message.
    void TypeCodePoint(char32_t cp);
    // Runs one keyboard command; false when the message is not one.
    bool ExecuteCommand(unsigned message);
    void Undo();
    void Redo();
    // Whole-text replacement as one undo step.
    void SetText(const char* bytes, int64_t count);
    void SendCharAdded(char32_t cp);
    void SetIndent(int32_t columns) { indent_ = std::max(0, columns); }
    int32_t Indent() const { return indent_; }
    void SetUseTabs(bool on) { useTabs_ = on; }
    bool UseTabs() const { return useTabs_; }
    int32_t IndentStep() const { return std::max(1, indent_ > 0 ? indent_ : tabWidth_); }
    void SetLineIndentation(int64_t line, int32_t columns);
    // Copy, cut and paste through the host's clipboard.
    void Copy();
    void Cut();
    void Paste();
    bool CanPaste();
    void ZoomBy(int32_t step);

    // ---- mouse ----------------------------------------------------------------------------------
    // A left press at (x, y) that is click `clicks` (1 to 3) of a series.
    void MouseDown(int32_t x, int32_t y, int clicks, bool shift);
    // Pointer moved with the capture held; returns whether it is outside the text area (the drag
    // timer should run).
    bool MouseDrag(int32_t x, int32_t y);
    void MouseUp();
    int MouseModeNow() const { return mouseMode_; }
    void RightDown(int32_t x, int32_t y);
    // Wheel delta with the modifiers; `lines` per notch, or -1 for a page per notch.
    void Wheel(int32_t delta, bool control, bool shift, int32_t lines);
    void HorizontalWheel(int32_t delta);
    // One tick of the drag timer: scrolls toward the pointer and extends the selection.
    void DragTick();
    bool InMargin(int32_t x) const { return x < MarginsWidth(); }

    // ---- the message interface (view_messages.cpp) -------------------------------------------
    // Messages 2000 to 4999 and 9001; unknown ones return 0.
    intptr_t Message(unsigned message, uintptr_t wParam, intptr_t lParam);
    uint32_t ModEventMask() const { return modEventMask_; }
    int64_t TargetStart() const { return targetStart_; }
    int64_t TargetEnd() const { return targetEnd_; }

    // ---- DocWatcher ---------------------------------------------------------------------------
    void NotifyModified(Document* document, bool inserted, int64_t position, int64_t length, int64_t line,
                        int64_t linesAdded, uint32_t flags, const char* text) override;
    void NotifySavePoint(Document* document, bool atSavePoint) override;
    void GetSelection(int64_t* anchor, int64_t* caret) override;

private:
    // The sections of the message interface (view_messages_*.cpp); each answers the messages of its
    // section and gives nothing for the others.
    std::optional<intptr_t> TextMessage(unsigned m, const MessageArgs& a);
    std::optional<intptr_t> LineMessage(unsigned m, const MessageArgs& a);
    std::optional<intptr_t> DocumentMessage(unsigned m, const MessageArgs& a);
    std::optional<intptr_t> SelectionMessage(unsigned m, const MessageArgs& a);
    std::optional<intptr_t> ScrollMessage(unsigned m, const MessageArgs& a);
    std::optional<intptr_t> PointAndFocusMessage(unsigned m, const MessageArgs& a);
    std::optional<intptr_t> StyleMessage(unsigned m, const MessageArgs& a);
    std::optional<intptr_t> DrawingMessage(unsigned m, const MessageArgs& a);
    std::optional<intptr_t> IndentAndWrapMessage(unsigned m, const MessageArgs& a);
    std::optional<intptr_t> MarginAndScrollOptionMessage(unsigned m, const MessageArgs& a);
    std::optional<intptr_t> IndicatorMessage(unsigned m, const MessageArgs& a);
    std::optional<intptr_t> TargetMessage(unsigned m, const MessageArgs& a);
    std::optional<intptr_t> FindMessage(unsigned m, const MessageArgs& a);
    // SCI_CONVERTEOLS: every line break rewritten as one undo step, the caret, anchor and scroll
    // position kept on their lines and columns.
    void ConvertEols(int mode);

    void DetachDocument();
    void AttachDocument(Document* document);
    WrapKey CurrentWrapKey();
    // Starts the caret timer, or stops it when the caret does not blink.
    void RestartCaretTimer();
    // Ends a mouse selection and its drag timer.
    void EndMouseMode();
    void FillLayout(LineLayout& layout, int64_t line, bool withComposition);
    // The composition as shown in a line that starts at `lineStart` and holds `length` bytes.
    CompositionView CompositionInLine(int64_t lineStart, int64_t length) const;
    LayoutParams Params();
    uint32_t Estimate(int64_t line);
    void Rewrap();
    void WrapTick();
    void StartWrapTimer();
    void StopWrapTimer();
    void LayoutChanged();
    // What a document change does to the selection and the first visible line.
    void FollowEdit(bool inserted, int64_t position, int64_t length, int64_t line, int64_t linesAdded);
    // Brings the layouts and the wrap index up to date with a change; gives the first row of the
    // changed line whose break may have moved when the line's layout was patched in place.
    std::optional<int32_t> UpdateLayouts(bool inserted, int64_t position, int64_t length, int64_t line,
                                         int64_t linesAdded, const char* text);
    // The long-line patch: the first row whose break may have moved, or nothing when the line's
    // layout could not be patched (it is then dropped).
    std::optional<int32_t> PatchLayout(bool inserted, int64_t position, int64_t length, int64_t line,
                                       const char* text);
    // The same for the composition shown in the caret's line changing: the rows of the line that
    // changed, or nothing when the layout could not be patched (it is then dropped).
    struct RowRange {
        int32_t first, last;
    };
    std::optional<RowRange> PatchCompositionLayout(int64_t line);
    // Shows the current composition in the caret's line and repaints what moved.
    void ShowCompositionChange();
    int64_t LineBytes(int64_t line) const;

    std::unique_ptr<ViewHost> host_;
    Document* doc_ = nullptr;
    AccessibilityListener* accessibility_ = nullptr;

    std::array<Style, 3> styles_;
    int32_t wrapMode_ = kWrapNone;
    int32_t tabWidth_ = 8;
    int32_t zoom_ = 0;
    int32_t extraAscent_ = 0;
    int32_t extraDescent_ = 0;
    std::array<Margin, 5> margins_{};
    int32_t marginLeft_ = 1;
    int32_t marginRight_ = 1;
    int32_t caretWidth_ = 1;
    bool hScrollBar_ = true;
    bool endAtLastLine_ = true;
    Appearance appearance_;

    int64_t anchor_ = 0;
    int64_t caret_ = 0;
    bool focused_ = false;
    bool caretOn_ = true;
    uint32_t caretPeriod_ = 530;
    bool composing_ = false;
    std::u16string compositionText_;
    std::vector<uint8_t> compositionAttributes_;
    int32_t compositionCursor_ = 0;

    FontSet textFonts_;
    FontSet numberFonts_;
    bool metricsStale_ = true;
    int32_t dpi_ = 96;
    int32_t lineAscent_ = 1;
    int32_t lineDescent_ = 0;
    int32_t lineHeight_ = 1;
    uint64_t fontGeneration_ = 0;  // incremented whenever the font sets are rebuilt
    LayoutCache layouts_;
    LineLayout scratch_;

    WrapIndex wrap_;
    lumen::ColumnCache columns_;  // of the document shown; edits drop the marks after them
    int64_t wrapResume_ = 0;
    bool wrapTimerRunning_ = false;

    // Editing state.
    int32_t desiredX_ = -1;
    int32_t indent_ = 0;
    bool useTabs_ = true;
    char16_t pendingHigh_ = 0;
    uint32_t modEventMask_ = 0x7FFFFF;
    bool updatePosted_ = false;
    int64_t targetStart_ = 0;
    int64_t targetEnd_ = 0;
    uint32_t searchFlags_ = 0;
    // Mouse state.
    int mouseMode_ = kMouseNone;
    int64_t dragStart_ = 0, dragEnd_ = 0;  // the first word or line of a word or line drag
    int32_t mouseX_ = 0, mouseY_ = 0;
    int32_t wheelAccumulator_ = 0;
    bool dragTimer_ = false;

    // The three kinds of keyboard command: caret moves, view commands (scrolling, zoom, undo,
    // clipboard) and edits.
    bool MoveCommand(unsigned message);
    bool ViewCommand(unsigned message);
    bool EditCommand(unsigned message);
    // Home: the display row's start first (when wrap-aware), then the indentation, then the line start.
    int64_t SmartHomeTarget(bool wrapAware);
    void MoveVertically(unsigned message, int64_t rows, bool extend);
    void MoveTo(int64_t position, bool extend);
    void DeleteRange(int64_t start, int64_t end, bool ownStep);
    void TabCommand(bool back);
    void ExtendMouseTo(int64_t position);
    void UpdateSystemCaret();

    int32_t clientWidth_ = 0;
    int32_t clientHeight_ = 0;
    bool overlayBars_ = false;
    int64_t firstLine_ = 0;
    int32_t topRow_ = 0;
    int32_t xOffset_ = 0;
    int64_t scrollWidth_ = 1;  // as the host set it
    bool sentV_ = false, sentH_ = false;
    ScrollValues lastV_, lastH_;
    OverlayPointer overlay_;
    void InvalidateOverlayStrips();
    // Invalidates the strip of each overlay bar whose drawing differs between the old and new values.
    void InvalidateChangedOverlayStrips(const ScrollValues& oldV, const ScrollValues& oldH,
                                        const ScrollValues& v, const ScrollValues& h);
};

}  // namespace quill
