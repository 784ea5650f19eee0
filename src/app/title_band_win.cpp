// The title band: drawing the tabs, the small buttons and the caption buttons from the band layout
// record, and the pointer over both bands (hover, click, drag, wheel, tooltips), hit-tested against
// the same record.
#include <windowsx.h>

#include <algorithm>

#include "app/bands.h"
#include "app/commands.h"
#include "app/logo.h"
#include "app/main_window.h"
#include "app/menus.h"
#include "app/tabs.h"

namespace lumen {

namespace {

constexpr char32_t kGlyphClose = 0xE8BB, kGlyphNewTab = 0xE710, kGlyphOpenTabs = 0xE70D, kGlyphMenu = 0xE712;
constexpr char32_t kGlyphMinimize = 0xE921, kGlyphMaximize = 0xE922, kGlyphRestore = 0xE923;
constexpr COLORREF kCloseHover = RGB(196, 43, 28), kClosePressed = RGB(148, 20, 16), kWhite = 0xFFFFFF;
constexpr UINT kTabTipDelayMs = 700, kTipDelayMs = 450;

RECT ToRect(const BandRect& b) {
    return RECT{b.left, b.top, b.right, b.bottom};
}

// Limits both the shapes and the GDI text to `area` (nothing when empty: the whole surface).
void ClipSurface(ui::Surface& s, const RECT* area) {
    if (area) {
        s.clip = *area;
        HRGN region = CreateRectRgnIndirect(area);
        SelectClipRgn(s.dc, region);
        DeleteObject(region);
    } else {
        s.clip = RECT{0, 0, s.width, s.height};
        SelectClipRgn(s.dc, nullptr);
    }
}

bool OverTab(const HitPart& h, int index) {
    return (h.part == kHitTab || h.part == kHitTabClose) && h.index == index;
}

void DrawPinMark(ui::Surface& s, float left, float centreY, int32_t dpi, COLORREF colour) {
    // A pushpin leaning right, on a 12-unit grid: the needle, the base, the shaft and the cap.
    const float u = ScaleF(1, dpi), x = left, y = centreY - 6 * u;
    const ui::PointF needle[] = {{x + 1.5f * u, y + 10.5f * u}, {x + 4.5f * u, y + 7.5f * u}};
    const ui::PointF base[] = {{x + 2.5f * u, y + 5.5f * u}, {x + 6.5f * u, y + 9.5f * u}};
    const ui::PointF shaft[] = {{x + 4.5f * u, y + 7.5f * u}, {x + 8.5f * u, y + 3.5f * u}};
    const ui::PointF cap[] = {{x + 6.5f * u, y + 1.5f * u}, {x + 10.5f * u, y + 5.5f * u}};
    ui::StrokePolyline(s, needle, 2, false, 1.2f * u, colour);
    for (const auto* line : {base, shaft, cap})
        ui::StrokePolyline(s, line, 2, false, 1.6f * u, colour);
}

void DrawTab(App& app, int i) {
    ui::Surface& s = app.surface;
    const BandLayout& l = app.chrome.layout;
    const Palette& p = app.palette;
    const int32_t dpi = l.dpi;
    const Tab& tab = *app.tabs.tabs[i];
    const BandRect r = TabRect(l, i);
    const bool active = i == app.tabs.active;
    const bool hovered = OverTab(app.chrome.hover, i);
    const bool unsaved = IsUnsaved(tab);
    const COLORREF titleColour = active && app.chrome.windowActive ? p.text : p.dimText;

    if (active) {
        ui::FillTabShape(s, static_cast<float>(r.left), static_cast<float>(r.top),
                         static_cast<float>(r.right), static_cast<float>(r.bottom), ScaleF(8, dpi),
                         p.editorBack);
    } else if (hovered) {
        ui::FillRoundRect(s, r.left + ScaleF(2, dpi), static_cast<float>(r.top), r.right - ScaleF(2, dpi),
                          r.bottom - ScaleF(4, dpi), ScaleF(6, dpi), p.chromeHover);
    } else if (i + 1 < l.tabCount && i + 1 != app.tabs.active && !OverTab(app.chrome.hover, i + 1)) {
        const RECT line{r.right - 1, r.top + l.Scale(8), r.right, r.bottom - l.Scale(8)};
        ui::FillRect(s, line, p.separator);
    }

    const int32_t centre = (r.top + r.bottom) / 2;
    if (tab.pinned) {
        const COLORREF pin = p.dark ? MixColor(p.accent, kWhite, 0.3) : p.accent;
        DrawPinMark(s, r.left + ScaleF(12, dpi), static_cast<float>(centre), dpi, pin);
    }
    const int32_t textLeft = r.left + l.Scale(tab.pinned ? 28 : 12);
    const int32_t textRight = r.right - l.Scale(tab.pinned ? (unsaved ? 28 : 10) : 34);
    DrawBandText(s, TabTitle(tab), RECT{textLeft, r.top, textRight, r.bottom}, app.fonts.uiFont, titleColour,
                 DT_LEFT);

    if (tab.pinned) {
        if (unsaved)
            ui::FillDisc(s, r.right - ScaleF(16, dpi), centre + 0.5f, ScaleF(3.5f, dpi), titleColour);
        return;
    }
    const BandRect box = TabCloseBox(l, i);
    const bool onBox = app.chrome.hover == HitPart{kHitTabClose, i};
    bool glyph = false;
    if (onBox) {
        ui::FillRoundRect(s, static_cast<float>(box.left), static_cast<float>(box.top),
                          static_cast<float>(box.right), static_cast<float>(box.bottom), ScaleF(4, dpi),
                          active ? p.button : p.chromePressed);
        glyph = true;
    } else if (unsaved && !(hovered && !active)) {
        ui::FillDisc(s, (box.left + box.right) / 2.0f, (box.top + box.bottom) / 2.0f, ScaleF(3.5f, dpi),
                     titleColour);
    } else {
        glyph = unsaved || active || hovered;
    }
    if (glyph) ui::DrawGlyph(s, kGlyphClose, ToRect(box), app.fonts.iconFontSmall, titleColour);
}

void DrawSmallButton(App& app, const BandRect& r, int32_t part, char32_t glyph, COLORREF colour) {
    if (r.Empty()) return;
    ui::Surface& s = app.surface;
    const Palette& p = app.palette;
    const bool pressed = app.chrome.pressed.part == part && app.chrome.hover.part == part;
    if (pressed || app.chrome.hover.part == part) {
        ui::FillRoundRect(s, static_cast<float>(r.left), static_cast<float>(r.top),
                          static_cast<float>(r.right), static_cast<float>(r.bottom),
                          ScaleF(5, app.chrome.layout.dpi), pressed ? p.chromePressed : p.chromeHover);
    }
    ui::DrawGlyph(s, glyph, ToRect(r), app.fonts.iconFontLarge, colour);
}

void DrawCaptionButton(App& app, const BandRect& r, int32_t part, char32_t glyph, COLORREF colour) {
    ui::Surface& s = app.surface;
    const Palette& p = app.palette;
    const bool pressed = app.chrome.captionPressed == part;
    const bool hovered = app.chrome.captionHover == part;
    const RECT rect = ToRect(r);
    if (part == kHitClose && (pressed || hovered)) {
        ui::FillRect(s, rect, pressed ? kClosePressed : kCloseHover);
        colour = kWhite;
    } else if (pressed || hovered) {
        ui::FillRect(s, rect, pressed ? p.chromePressed : p.chromeHover);
    }
    ui::DrawGlyph(s, glyph, rect, app.fonts.iconFont, colour);
}

void DrawTabs(App& app) {
    const BandLayout& l = app.chrome.layout;
    ui::Surface& s = app.surface;
    const int32_t pinned = l.pinnedCount;
    // Unpinned tabs scroll under the pinned ones, so they are clipped to the part after them; the
    // active tab's flares may reach a little outside its own rectangle.
    const int32_t scrollLeft = l.tabLeft + pinned * l.tabWidth;
    const RECT unpinnedArea{scrollLeft, 0, l.tabRight, l.titleBand.bottom};
    ClipSurface(s, &unpinnedArea);
    for (int i = pinned; i < l.tabCount; ++i) {
        const BandRect r = TabRect(l, i);
        if (r.right > scrollLeft && r.left < l.tabRight) DrawTab(app, i);
    }
    if (l.overflow > 0) {
        const int32_t fade = l.Scale(32);
        if (l.scroll > 0)
            ui::FadeRect(s, scrollLeft, scrollLeft + fade, l.tabTop, l.titleBand.bottom,
                         app.palette.chromeBack, true);
        if (l.scroll < l.overflow)
            ui::FadeRect(s, l.tabRight - fade, l.tabRight, l.tabTop, l.titleBand.bottom,
                         app.palette.chromeBack, false);
    }
    const RECT pinnedArea{0, 0, scrollLeft + l.Scale(8), l.titleBand.bottom};
    ClipSurface(s, &pinnedArea);
    for (int i = 0; i < pinned; ++i)
        DrawTab(app, i);
    ClipSurface(s, nullptr);
}

POINT PointerInClient(App& app) {
    POINT p{};
    GetCursorPos(&p);
    ScreenToClient(app.hwnd, &p);
    return p;
}

}  // namespace

void PaintTitleBand(App& app) {
    ui::Surface& s = app.surface;
    const BandLayout& l = app.chrome.layout;
    const Palette& p = app.palette;
    ui::FillRect(s, ToRect(l.titleBand), p.chromeBack);
    if (!app.win11 && !IsZoomed(app.hwnd))
        ui::FillRect(s, RECT{0, 0, l.width, 1}, p.dark ? 0x464646 : 0xAAAAAA);
    const int32_t logo = l.Scale(16);
    DrawLogo(s, static_cast<float>(l.Scale(14)),
             static_cast<float>(l.tabTop + (l.titleBand.bottom - l.tabTop - logo) / 2),
             static_cast<float>(logo));
    DrawTabs(app);
    const COLORREF glyph = app.chrome.windowActive ? p.text : p.dimText;
    DrawSmallButton(app, l.newTab, kHitNewTab, kGlyphNewTab, glyph);
    DrawSmallButton(app, l.openTabs, kHitOpenTabs, kGlyphOpenTabs, glyph);
    DrawSmallButton(app, l.menu, kHitMenu, kGlyphMenu, glyph);
    DrawCaptionButton(app, l.minimize, kHitMinimize, kGlyphMinimize, glyph);
    DrawCaptionButton(app, l.maximize, kHitMaximize, IsZoomed(app.hwnd) ? kGlyphRestore : kGlyphMaximize,
                      glyph);
    DrawCaptionButton(app, l.close, kHitClose, kGlyphClose, glyph);
}

void ScrollActiveTabIntoView(App& app) {
    UpdateBandLayout(app);
    const int32_t scroll = EnsureActiveVisible(app.chrome.layout, app.tabs.active);
    if (scroll == app.chrome.scroll) return;
    app.chrome.scroll = scroll;
    UpdateBandLayout(app);
}

// ---- pointer ------------------------------------------------------------------------------------------

void OnBandMouseMove(App& app, int32_t x, int32_t y, bool leftDown) {
    ChromeState& c = app.chrome;
    if (!c.trackingClient) {
        TRACKMOUSEEVENT tme{sizeof(tme), TME_LEAVE, app.hwnd, 0};
        c.trackingClient = TrackMouseEvent(&tme) != FALSE;
    }
    if (c.dragTab < 0 || !leftDown) {
        SetHover(app, HitTest(c.layout, x, y));
        return;
    }
    if (!c.dragging && DragThresholdPassed(c.layout, x, c.dragStartX)) {
        c.dragging = true;
        HideTooltip(app);
    }
    if (!c.dragging) return;
    const int32_t target = DragTarget(c.layout, x, c.dragTab);
    if (target != c.dragTab && app.tabs.Valid(c.dragTab)) {
        c.dragTab = MoveTab(app.tabs, c.dragTab, target);
        RepaintBands(app, kBandTitle);
    }
}

void OnBandLeftDown(App& app, int32_t x, int32_t y) {
    ChromeState& c = app.chrome;
    HideTooltip(app);
    c.pressed = HitTest(c.layout, x, y);
    if (c.pressed.part == kHitNothing) {
        RepaintBands(app, kBandTitle | kBandStatus);
        return;
    }
    SetCapture(app.hwnd);
    if (c.pressed.part == kHitTab) {
        ActivateTab(app, c.pressed.index);
        c.dragTab = c.pressed.index;
        c.dragStartX = x;
        c.dragging = false;
    }
    RepaintBands(app, kBandTitle | kBandStatus);
}

void OnBandLeftUp(App& app, int32_t x, int32_t y) {
    ChromeState& c = app.chrome;
    if (GetCapture() == app.hwnd) ReleaseCapture();
    const HitPart press = c.pressed;
    c.pressed = {};
    if (c.dragTab >= 0) {
        const bool moved = c.dragging;
        c.dragTab = -1;
        c.dragging = false;
        if (moved) TabsChanged(app);
        RepaintBands(app, kBandTitle | kBandStatus);
        FocusEditor(app);
        return;
    }
    RepaintBands(app, kBandTitle | kBandStatus);
    if (press.part == kHitNothing || !(HitTest(c.layout, x, y) == press)) return;
    switch (press.part) {
        case kHitTabClose:
            CloseTab(app, press.index, true);
            FocusEditor(app);
            break;
        case kHitNewTab:
            NewTab(app);
            FocusEditor(app);
            break;
        case kHitCount:
            app.settings.count = (app.settings.count + 1) % (kMaxCounterKind + 1);
            RefreshCounts(app);
            c.hover = {};
            SetHover(app, press);  // the tooltip starts again with the new mode's text
            WriteSettings(app);
            break;
        case kHitOpenTabs:
            ShowOpenTabsMenu(app);
            break;
        case kHitMenu:
            ShowMainMenu(app);
            break;
        case kHitPosition:
            DispatchCommand(app, kCmdGoToLine);
            break;
        case kHitZoom:
        case kHitEol:
        case kHitEncoding:
            ShowStatusMenu(app, press.part);
            break;
        default:
            break;
    }
}

void OnBandRightUp(App& app, int32_t x, int32_t y) {
    HideTooltip(app);
    const HitPart hit = HitTest(app.chrome.layout, x, y);
    if ((hit.part == kHitTab || hit.part == kHitTabClose) && app.tabs.Valid(hit.index)) {
        POINT at{x, y};
        ClientToScreen(app.hwnd, &at);
        ShowTabMenu(app, hit.index, at);
    }
}

void OnBandMiddleUp(App& app, int32_t x, int32_t y) {
    const HitPart hit = HitTest(app.chrome.layout, x, y);
    if ((hit.part == kHitTab || hit.part == kHitTabClose) && app.tabs.Valid(hit.index) &&
        !app.tabs.tabs[hit.index]->pinned)
        CloseTab(app, hit.index, true);
}

bool OnBandWheel(App& app, int32_t x, int32_t y, int32_t delta) {
    ChromeState& c = app.chrome;
    if (!c.layout.titleBand.Contains(x, y)) return false;
    if (app.tabs.Count() == 0) return true;
    HideTooltip(app);
    const WheelEffect effect = TitleBandWheel(c.layout, x, delta, app.tabs.active);
    if (effect.activate >= 0) {
        ActivateTab(app, effect.activate);
    } else if (effect.scroll != c.scroll) {
        c.scroll = effect.scroll;
        UpdateBandLayout(app);
        RepaintBands(app, kBandTitle);
        SetHover(app, HitTest(c.layout, x, y));
    }
    return true;
}

void OnBandMouseLeave(App& app) {
    app.chrome.trackingClient = false;
    SetHover(app, {});
}

// ---- hover and tooltips ------------------------------------------------------------------------------

void SetHover(App& app, HitPart hit) {
    ChromeState& c = app.chrome;
    if (hit == c.hover) return;
    c.hover = hit;
    RepaintBands(app, kBandTitle | kBandStatus);
    HideTooltip(app);
    const bool hasTip = hit.part == kHitTab || (hit.part >= kHitNewTab && hit.part <= kHitMenu) ||
                        (hit.part >= kHitPosition && hit.part <= kHitEncoding);
    if (hasTip && c.dragTab < 0) {
        c.tipFor = hit;
        RestartTimer(app, kTimerTooltip, hit.part == kHitTab ? kTabTipDelayMs : kTipDelayMs);
    }
}

void HideTooltip(App& app) {
    StopTimer(app, kTimerTooltip);
    ui::HideTip(app.tip);
}

std::wstring TooltipText(App& app, HitPart hit) {
    switch (hit.part) {
        case kHitTab: {
            if (!app.tabs.Valid(hit.index)) return {};
            const Tab& tab = *app.tabs.tabs[hit.index];
            std::wstring text;
            if (!tab.path.empty()) {
                text = tab.path;
                if (IsUnsaved(tab)) text += L"\n저장하지 않은 변경 내용 있음";
            } else {
                text = TabTitle(tab) + L"\n저장하지 않은 메모";
            }
            if (tab.pinned) text += L"\n고정된 탭";
            return text;
        }
        case kHitNewTab:
            return L"새 탭 (Ctrl+N)";
        case kHitOpenTabs:
            return L"열린 탭 모두 보기 (Ctrl+Shift+A)";
        case kHitMenu:
            return L"메뉴";
        case kHitPosition:
            return L"줄 이동 (Ctrl+G)";
        case kHitCount: {
            static const wchar_t* const texts[] = {L"글자 수 · 누르면 단어 수", L"단어 수 · 누르면 줄 수",
                                                   L"줄 수 · 누르면 글자 수"};
            return texts[std::clamp(app.settings.count, 0, kMaxCounterKind)];
        }
        case kHitZoom:
            return L"확대/축소";
        case kHitEol:
            return L"줄 바꿈 형식";
        case kHitEncoding:
            return L"인코딩";
        default:
            return {};
    }
}

void ShowTooltip(App& app) {
    const ChromeState& c = app.chrome;
    const HitPart hit = c.hover;
    const std::wstring text = TooltipText(app, hit);
    if (text.empty()) return;
    const BandLayout& l = c.layout;
    POINT anchor{};
    if (hit.part == kHitTab) {
        const BandRect tab = TabRect(l, hit.index);
        anchor = {std::max<LONG>(tab.left, PointerInClient(app).x - l.Scale(12)), tab.bottom + l.Scale(6)};
    } else {
        const BandRect* rects[] = {nullptr,  nullptr, nullptr, &l.newTab,  &l.openTabs,
                                   &l.menu,  nullptr, nullptr, nullptr,    &l.position,
                                   &l.count, &l.zoom, &l.eol,  &l.encoding};
        const BandRect* r = rects[hit.part];
        if (!r || r->Empty()) return;
        anchor = hit.part >= kHitPosition ? POINT{r->left, r->top - l.Scale(34)}
                                          : POINT{r->left, r->bottom + l.Scale(6)};
    }
    ClientToScreen(app.hwnd, &anchor);
    ui::ShowTip(app.tip, app.hwnd, text, anchor, app.palette, static_cast<int32_t>(app.dpi));
}

}  // namespace lumen
