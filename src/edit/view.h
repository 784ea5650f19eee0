// The editor view: the object behind a "QuillEdit" window. It watches its document, keeps the
// layouts of recently shown lines in a direct-mapped cache, keeps the display-row index while
// wrapping (finishing it in 8 ms slices on timer 3), and holds the scroll state and everything the
// painter reads. What it needs from its window (timers, invalidation, scroll bars, DPI) goes through
// ViewHost, so all of this builds and is tested natively; painting and the window are in *_win.cpp.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "edit/document.h"
#include "edit/font_set.h"
#include "edit/layout.h"
#include "edit/scroll_bars.h"
#include "edit/wrap_index.h"

namespace quill {

// Timer ids of the view's window.
inline constexpr int kCaretTimer = 1;
inline constexpr int kDragTimer = 2;
inline constexpr int kWrapTimer = 3;

inline constexpr int kLayoutSlots = 512;
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
};

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

    // ---- document -----------------------------------------------------------------------------
    Document* GetDocument() const { return doc_; }
    // Detaches the current document and attaches `document` (a new empty one when null), resetting
    // the selection and scroll position.
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
    int64_t ScrollWidth() const { return scrollWidth_; }
    // Marks fonts and metrics stale (style, zoom or DPI change); they are rebuilt on next use.
    void InvalidateMetrics();

    Appearance& appearance() { return appearance_; }
    const Appearance& appearance() const { return appearance_; }
    void Repaint();

    // ---- selection and composition (the parts layout and painting need) -----------------------
    int64_t Anchor() const { return anchor_; }
    int64_t Caret() const { return caret_; }
    void SetSelection(int64_t anchor, int64_t caret);
    bool CaretPhase() const { return caretOn_; }
    void SetCaretPhase(bool on) { caretOn_ = on; }
    // Shows composition text at the caret (empty text ends it) and lays the caret's line out again.
    void SetComposition(const std::u16string& text, const std::vector<uint8_t>& attributes, int32_t cursor);
    bool Composing() const { return !compositionText_.empty(); }
    const std::u16string& CompositionText() const { return compositionText_; }

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
    void DropLayout(int64_t line);
    uint32_t Generation() const { return generation_; }
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
    bool ScrollBarsStale() const { return scrollStale_; }
    void MarkScrollBarsStale() { scrollStale_ = true; }

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

    // ---- DocWatcher ---------------------------------------------------------------------------
    void NotifyModified(Document* document, bool inserted, int64_t position, int64_t length, int64_t line,
                        int64_t linesAdded, uint32_t flags, const char* text) override;
    void NotifySavePoint(Document* document, bool atSavePoint) override;
    void GetSelection(int64_t* anchor, int64_t* caret) override;

private:
    void FillLayout(LineLayout& layout, int64_t line, bool withComposition);
    LayoutParams Params();
    uint32_t Estimate(int64_t line);
    void Rewrap();
    void WrapTick();
    void StartWrapTimer();
    void StopWrapTimer();
    void LayoutChanged();
    bool TryPatch(bool inserted, int64_t position, int64_t length, int64_t line, const char* text);
    int64_t LineBytes(int64_t line) const;

    std::unique_ptr<ViewHost> host_;
    Document* doc_ = nullptr;

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
    uint32_t generation_ = 1;
    std::vector<LineLayout> cache_;
    LineLayout scratch_;

    WrapIndex wrap_;
    int64_t wrapResume_ = 0;
    bool wrapTimerRunning_ = false;
    int32_t patchedRow_ = -1;  // first row a long-line patch may have moved, during NotifyModified

    int32_t clientWidth_ = 0;
    int32_t clientHeight_ = 0;
    bool overlayBars_ = false;
    int64_t firstLine_ = 0;
    int32_t topRow_ = 0;
    int32_t xOffset_ = 0;
    int64_t scrollWidth_ = 1;
    bool scrollStale_ = true;
    bool sentV_ = false, sentH_ = false;
    ScrollValues lastV_, lastH_;
};

}  // namespace quill
