// The status band: drawing its fields from the band layout record, and keeping its texts (caret
// position, counter, transient message) up to date. The position is refreshed on every key, so it
// reads the column through the column cache instead of counting the caret's line each time; the
// counter runs on a timer.
#include <algorithm>

#include "app/bands.h"
#include "app/editor_calls.h"
#include "app/main_window.h"
#include "app/status_text.h"
#include "edit/sci_messages.h"
#include "files/text_codecs.h"

namespace lumen {

using namespace quill;

namespace {

constexpr char32_t kGlyphAutosaving = 0xE895, kGlyphAutosaved = 0xE73E;

RECT ToRect(const BandRect& b) {
    return RECT{b.left, b.top, b.right, b.bottom};
}

void DrawField(App& app, const BandRect& r, int32_t part, std::wstring_view text) {
    if (r.Empty()) return;
    ui::Surface& s = app.surface;
    const Palette& p = app.palette;
    const bool pressed = app.chrome.pressed.part == part;
    if (pressed || app.chrome.hover.part == part) {
        ui::FillRoundRect(s, static_cast<float>(r.left), static_cast<float>(r.top),
                          static_cast<float>(r.right), static_cast<float>(r.bottom),
                          ScaleF(4, app.chrome.layout.dpi), pressed ? p.chromePressed : p.chromeHover);
    }
    DrawBandText(s, text, ToRect(r), app.fonts.smallFont, p.dimText, DT_CENTER);
}

// The document shown, read for the counter.
struct EditorReader final : CountSource {
    App& app;
    explicit EditorReader(App& a) : app(a) {}
    int64_t LineFromPosition(int64_t position) override {
        return Ed(app, SCI_LINEFROMPOSITION, static_cast<uintptr_t>(position));
    }
    int64_t LineStart(int64_t line) override {
        return Ed(app, SCI_POSITIONFROMLINE, static_cast<uintptr_t>(line));
    }
    int64_t CountCharacters(int64_t start, int64_t end) override {
        return Ed(app, SCI_COUNTCHARACTERS, static_cast<uintptr_t>(start), end);
    }
    std::string_view Bytes(int64_t start, int64_t end) override {
        return EditorRangePointer(app, start, end);
    }
};

void SetStatusText(App& app, std::wstring& field, std::wstring text) {
    if (text == field) return;
    field = std::move(text);
    UpdateBandLayout(app);
    RepaintBands(app, kBandStatus);
}

}  // namespace

void DrawBandText(ui::Surface& surface, std::wstring_view text, const RECT& rect, HFONT font, COLORREF colour,
                  UINT format) {
    if (text.empty() || rect.right <= rect.left) return;
    RECT r = rect;
    const HGDIOBJ old = SelectObject(surface.dc, font);
    SetTextColor(surface.dc, colour);
    SetBkMode(surface.dc, TRANSPARENT);
    DrawTextW(surface.dc, text.data(), static_cast<int>(text.size()), &r,
              format | DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_END_ELLIPSIS);
    SelectObject(surface.dc, old);
}

void PaintStatusBand(App& app) {
    ui::Surface& s = app.surface;
    const BandLayout& l = app.chrome.layout;
    const Palette& p = app.palette;
    const Tab* tab = app.tabs.Active();
    ui::FillRect(s, ToRect(l.statusBand), p.chromeBack);
    ui::FillRect(s, RECT{0, l.statusBand.top, l.width, l.statusBand.top + 1}, p.separator);
    DrawField(app, l.position, kHitPosition, app.status.positionText);
    DrawField(app, l.count, kHitCount, app.status.countText);
    DrawField(app, l.zoom, kHitZoom, ZoomText(app.settings.size, app.settings.zoom));
    DrawField(app, l.eol, kHitEol, EolDisplayName(tab ? tab->eol : 0));
    DrawField(app, l.encoding, kHitEncoding, EncodingDisplayName(tab ? tab->encoding : 0));
    if (!l.autosave.Empty() && tab) {
        const bool unsaved = IsUnsaved(*tab);
        const BandRect& a = l.autosave;
        const RECT glyph{a.left + l.Scale(4), a.top, a.left + l.Scale(20), a.bottom};
        ui::DrawGlyph(s, unsaved ? kGlyphAutosaving : kGlyphAutosaved, glyph, app.fonts.iconFontSmall,
                      p.dimText);
        DrawBandText(s, unsaved ? L"자동 저장 중" : L"자동 저장됨",
                     RECT{a.left + l.Scale(22), a.top, a.right, a.bottom}, app.fonts.smallFont, p.dimText,
                     DT_LEFT);
    }
    if (!app.status.statusMessage.empty()) {
        const COLORREF colour = p.dark ? MixColor(p.accentText, 0xFFFFFF, 0.2) : p.accentText;
        DrawBandText(s, app.status.statusMessage, ToRect(l.message), app.fonts.smallFont, colour, DT_LEFT);
    }
}

void RefreshPosition(App& app, bool startCountTimer) {
    // The editor keeps marks along the caret's line, so the column costs little even at the end of a
    // line of megabytes.
    const auto caret = static_cast<uintptr_t>(Ed(app, SCI_GETCURRENTPOS));
    SetStatusText(app, app.status.positionText,
                  PositionText(Ed(app, SCI_LINEFROMPOSITION, caret), Ed(app, SCI_GETCOLUMN, caret)));
    if (startCountTimer) RestartTimer(app, kTimerRecount, kRecountAfterMoveMs);
}

void RefreshCounts(App& app) {
    EditorReader reader(app);
    const int64_t start = Ed(app, SCI_GETSELECTIONSTART), end = Ed(app, SCI_GETSELECTIONEND);
    std::wstring text = CountText(app.settings.count, start, end, EditorLength(app), reader);
    SetStatusText(app, app.status.countText, std::move(text));
}

void RefreshStatus(App& app) {
    RefreshPosition(app, false);
    RefreshCounts(app);
    UpdateBandLayout(app);
    RepaintBands(app, kBandStatus);
}

void ShowStatusMessage(App& app, const std::wstring& text) {
    app.status.statusMessage = text;
    RestartTimer(app, kTimerStatusMessage, kStatusMessageMs);
    UpdateBandLayout(app);
    RepaintBands(app, kBandStatus);
}

}  // namespace lumen
