#include <windowsx.h>

#include <algorithm>

#include "app/logo.h"
#include "app/theme.h"
#include "ui/popup_window_win.h"
#include "ui/settings_layout.h"
#include "ui/settings_window.h"

namespace lumen::ui {
namespace {

constexpr wchar_t kSettingsClass[] = L"Lumenpad.Settings";
constexpr char32_t kCloseGlyph = 0xE8BB;
constexpr char32_t kCheckGlyph = 0xE73E;
constexpr COLORREF kCloseHot = 0x1C2BC4;
constexpr COLORREF kClosePressed = 0x101494;

HWND& OpenWindow() {
    static HWND window = nullptr;
    return window;
}

struct SettingsFonts {
    PopupFont title, strong, body, small, icon, iconSmall;
    explicit SettingsFonts(int32_t dpi)
        : title(kUiFontFace, 20, dpi, FW_SEMIBOLD),
          strong(kUiFontFace, 14, dpi, FW_SEMIBOLD),
          body(kUiFontFace, 14, dpi),
          small(kUiFontFace, 12, dpi),
          icon(IconFontFace(), 16, dpi),
          iconSmall(IconFontFace(), 10, dpi) {}
};

class GdiSettingsMeasure : public SettingsTextMeasure {
public:
    explicit GdiSettingsMeasure(HFONT body) : body_(body) {}
    int32_t BodyWidth(std::wstring_view text) const override { return meter_.Width(text, body_); }

private:
    TextMeter meter_;
    HFONT body_;
};

// A target by what it is, not where it is: the hot and pressed ones survive a re-layout.
struct TargetId {
    int32_t kind = 0, index = 0, value = 0;
    bool operator==(const TargetId&) const = default;
};

TargetId IdOf(const SettingTarget& t) {
    return {t.kind, t.index, t.value};
}

struct SettingsRun {
    const Palette& palette;
    int32_t dpi;
    const SettingPagesBuilder& build;
    const SettingApplier& apply;
    SettingsFonts fonts;
    GdiSettingsMeasure measure;
    std::vector<SettingPage> pages;
    int32_t page = 0, scroll = 0;
    SettingsLayout layout;
    TargetId hot, pressed;
    bool done = false;
    HWND window = nullptr;
    Surface surface;

    SettingsRun(const Palette& p, int32_t d, const SettingPagesBuilder& b, const SettingApplier& a)
        : palette(p), dpi(d), build(b), apply(a), fonts(d), measure(fonts.body.get()), pages(b()) {}

    const SettingPage* Page() const {
        return page >= 0 && page < static_cast<int32_t>(pages.size()) ? &pages[static_cast<size_t>(page)]
                                                                      : nullptr;
    }
};

void Relayout(SettingsRun& run) {
    RECT client{};
    if (run.window) GetClientRect(run.window, &client);
    run.layout =
        LayoutSettings(run.pages, run.page, run.scroll, client.right, client.bottom, run.dpi, run.measure);
    const int32_t clamped = ClampSettingsScroll(run.scroll, run.layout.contentHeight, client.bottom, run.dpi);
    if (clamped != run.scroll) {
        run.scroll = clamped;
        run.layout = LayoutSettings(run.pages, run.page, run.scroll, client.right, client.bottom, run.dpi,
                                    run.measure);
    }
}

void Repaint(SettingsRun& run) {
    if (run.window) InvalidateRect(run.window, nullptr, FALSE);
}

float F(int32_t v) {
    return static_cast<float>(v);
}

void FillBox(Surface& s, const PopupRect& r, float radius, COLORREF colour) {
    FillRoundRect(s, F(r.left), F(r.top), F(r.right), F(r.bottom), radius, colour);
}

// A 1-pixel rounded border around a fill.
void FramedBox(Surface& s, const PopupRect& r, float radius, COLORREF border, COLORREF fill) {
    FillBox(s, r, radius, border);
    FillRoundRect(s, F(r.left) + 1, F(r.top) + 1, F(r.right) - 1, F(r.bottom) - 1, std::max(0.0f, radius - 1),
                  fill);
}

void PaintSwitch(SettingsRun& run, const SettingRow& row, const SettingRowLayout& r, bool hot) {
    Surface& s = run.surface;
    const Palette& p = run.palette;
    const int32_t dpi = run.dpi;
    const PopupRect& pill = r.control;
    const float radius = F(pill.Height()) / 2;
    const float cy = (F(pill.top) + F(pill.bottom)) / 2;
    if (row.on) {
        const COLORREF fill = hot ? MixColor(p.accent, p.dark ? 0x000000 : 0xFFFFFF, 0.1) : p.accent;
        FillBox(s, pill, radius, fill);
        FillDisc(s, F(pill.right) - ScaleF(10, dpi), cy, ScaleF(hot ? 7 : 6, dpi) - 0.5f, p.onAccent);
    } else {
        const COLORREF fill = hot ? MixColor(p.surface, p.text, 0.06) : p.surface;
        FramedBox(s, pill, radius, p.dark ? 0xC8C8C8 : 0x606060, fill);
        FillDisc(s, F(pill.left) + ScaleF(10, dpi), cy, ScaleF(hot ? 6 : 5, dpi) - 0.5f,
                 p.dark ? 0xC8C8C8 : 0x606060);
    }
    DrawTextLine(s, row.on ? L"켬" : L"끔", r.stateText, run.fonts.body.get(), p.text,
                 DT_RIGHT | DT_VCENTER | DT_SINGLELINE);
}

void PaintChoice(SettingsRun& run, const SettingRow& row, const SettingRowLayout& r, int32_t rowIndex) {
    Surface& s = run.surface;
    const Palette& p = run.palette;
    FramedBox(s, r.control, ScaleF(5, run.dpi), p.inputBorder, p.dark ? 0x2D2D2D : 0xFBFBFB);
    for (size_t i = 0; i < r.parts.size() && i < row.options.size(); ++i) {
        const TargetId id{kSettingTargetRow, rowIndex, static_cast<int32_t>(i)};
        const bool hot = run.hot == id, pressed = run.pressed == id && hot;
        COLORREF text = p.text;
        if (static_cast<int32_t>(i) == row.selected) {
            FillBox(s, r.parts[i], ScaleF(4, run.dpi), hot ? MixColor(p.accent, 0x000000, 0.15) : p.accent);
            text = p.onAccent;
        } else if (pressed || hot) {
            FillBox(s, r.parts[i], ScaleF(4, run.dpi), pressed ? p.surfacePressed : p.surfaceHover);
        }
        DrawTextLine(s, row.options[i], r.parts[i], run.fonts.body.get(), text,
                     DT_CENTER | DT_VCENTER | DT_SINGLELINE);
    }
}

void PaintButton(SettingsRun& run, const SettingRow& row, const SettingRowLayout& r, bool hot, bool pressed) {
    Surface& s = run.surface;
    const Palette& p = run.palette;
    const COLORREF face = pressed ? p.surfacePressed : hot ? p.surfaceHover : p.dark ? 0x373737 : 0xFBFBFB;
    FramedBox(s, r.control, ScaleF(4, run.dpi), p.inputBorder, face);
    DrawTextLine(s, row.buttonText, r.control, run.fonts.body.get(), p.text,
                 DT_CENTER | DT_VCENTER | DT_SINGLELINE);
}

void PaintSwatches(SettingsRun& run, const SettingRow& row, const SettingRowLayout& r, int32_t rowIndex) {
    Surface& s = run.surface;
    const Palette& p = run.palette;
    const int32_t dpi = run.dpi;
    for (size_t i = 0; i < r.parts.size() && i < row.swatches.size(); ++i) {
        const PopupRect& d = r.parts[i];
        const float cx = (F(d.left) + F(d.right)) / 2, cy = (F(d.top) + F(d.bottom)) / 2;
        const float radius = F(d.Width()) / 2;
        const COLORREF colour = row.swatches[i];
        const bool selected = static_cast<int32_t>(i) == row.selected;
        const bool hot = run.hot == TargetId{kSettingTargetRow, rowIndex, static_cast<int32_t>(i)};
        if (selected || hot) {
            // Rings as larger discs behind the swatch: the colour (or the text colour), then the card.
            FillDisc(s, cx, cy, radius + ScaleF(4, dpi), selected ? colour : p.dimText);
            FillDisc(s, cx, cy, radius + ScaleF(2, dpi), p.surface);
        }
        FillDisc(s, cx, cy, radius, colour);
        if (selected) {
            const COLORREF check = Luminance(colour) > 0.5 ? 0x000000 : 0xFFFFFF;
            DrawGlyph(s, kCheckGlyph, ToRect(d), run.fonts.iconSmall.get(), check);
        }
    }
}

void PaintRows(SettingsRun& run) {
    const SettingPage* page = run.Page();
    if (!page) return;
    Surface& s = run.surface;
    const Palette& p = run.palette;
    const SettingsLayout& l = run.layout;
    // The cards scroll under the page title: primitives and text are both clipped to the content.
    const RECT clip = ToRect(l.content);
    s.clip = clip;
    const HRGN region = CreateRectRgnIndirect(&clip);
    SelectClipRgn(s.dc, region);
    for (size_t i = 0; i < l.rows.size() && i < page->rows.size(); ++i) {
        const SettingRow& row = page->rows[i];
        const SettingRowLayout& r = l.rows[i];
        if (r.card.bottom < l.content.top || r.card.top >= l.content.bottom) continue;
        const auto index = static_cast<int32_t>(i);
        FramedBox(s, r.card, ScaleF(6, run.dpi), p.surfaceBorder, p.surface);
        DrawTextLine(s, row.label, r.label, run.fonts.body.get(), p.text,
                     DT_LEFT | DT_VCENTER | DT_SINGLELINE | DT_END_ELLIPSIS);
        if (!r.description.Empty())
            DrawTextLine(s, row.description, r.description, run.fonts.small.get(), p.dimText,
                         DT_LEFT | DT_VCENTER | DT_SINGLELINE | DT_END_ELLIPSIS);
        const bool hot = run.hot.kind == kSettingTargetRow && run.hot.index == index;
        const bool pressed = hot && run.pressed == run.hot;
        switch (row.kind) {
            case kSettingSwitch:
                PaintSwitch(run, row, r, hot);
                break;
            case kSettingChoice:
                PaintChoice(run, row, r, index);
                break;
            case kSettingButton:
                PaintButton(run, row, r, hot, pressed);
                break;
            case kSettingAccent:
                PaintSwatches(run, row, r, index);
                break;
            default:
                break;
        }
    }
    SelectClipRgn(s.dc, nullptr);
    DeleteObject(region);
    s.clip = RECT{0, 0, l.width, l.height};
}

void PaintPages(SettingsRun& run) {
    Surface& s = run.surface;
    const Palette& p = run.palette;
    const int32_t dpi = run.dpi;
    const SettingsLayout& l = run.layout;
    for (size_t i = 0; i < l.pages.size() && i < run.pages.size(); ++i) {
        const PopupRect& e = l.pages[i];
        const bool selected = static_cast<int32_t>(i) == run.page;
        const bool hot = run.hot == TargetId{kSettingTargetPage, static_cast<int32_t>(i), 0};
        if (selected || hot) FillBox(s, e, ScaleF(4, dpi), selected ? p.chromePressed : p.chromeHover);
        if (selected) {
            const int32_t cy = (e.top + e.bottom) / 2;
            FillRoundRect(s, F(e.left), F(cy - Scale(8, dpi)), F(e.left + Scale(3, dpi)),
                          F(cy + Scale(8, dpi)), ScaleF(1.5f, dpi), p.accent);
        }
        const int32_t cy = (e.top + e.bottom) / 2;
        const PopupRect glyph{e.left + Scale(12, dpi), cy - Scale(12, dpi), e.left + Scale(36, dpi),
                              cy + Scale(12, dpi)};
        DrawGlyph(s, run.pages[i].glyph, ToRect(glyph), run.fonts.icon.get(), p.text);
        const PopupRect title{e.left + Scale(46, dpi), e.top, e.right - Scale(8, dpi), e.bottom};
        DrawTextLine(s, run.pages[i].title, title, selected ? run.fonts.strong.get() : run.fonts.body.get(),
                     p.text, DT_LEFT | DT_VCENTER | DT_SINGLELINE | DT_END_ELLIPSIS);
    }
}

void PaintSettings(SettingsRun& run, HDC target) {
    const SettingsLayout& l = run.layout;
    Surface& s = run.surface;
    if (!PrepareSurface(s, l.width, l.height)) return;
    const Palette& p = run.palette;
    FillRect(s, RECT{0, 0, l.width, l.height}, p.chromeBack);
    DrawLogo(s, F(l.logo.left), F(l.logo.top), F(l.logo.Width()));
    DrawTextLine(s, L"설정", l.title, run.fonts.title.get(), p.text, DT_LEFT | DT_VCENTER | DT_SINGLELINE);

    const bool closeHot = run.hot.kind == kSettingTargetClose;
    const bool closePressed = closeHot && run.pressed == run.hot;
    if (closeHot) FillRect(s, ToRect(l.close), closePressed ? kClosePressed : kCloseHot);
    DrawGlyph(s, kCloseGlyph, ToRect(l.close), run.fonts.iconSmall.get(), closeHot ? 0xFFFFFF : p.text);

    PaintPages(run);
    if (const SettingPage* page = run.Page())
        DrawTextLine(s, page->title, l.pageTitle, run.fonts.title.get(), p.text,
                     DT_LEFT | DT_VCENTER | DT_SINGLELINE);
    PaintRows(run);
    if (!IsWindows11()) FrameRect1px(s, l.width, l.height, p.surfaceBorder);
    PresentSurface(s, target, RECT{0, 0, l.width, l.height});
}

TargetId TargetAt(const SettingsRun& run, int32_t x, int32_t y) {
    const int32_t at = SettingTargetAt(run.layout, x, y);
    return at < 0 ? TargetId{} : IdOf(run.layout.targets[static_cast<size_t>(at)]);
}

void SetHot(SettingsRun& run, TargetId hot) {
    if (hot == run.hot) return;
    run.hot = hot;
    Repaint(run);
}

void SelectPage(SettingsRun& run, int32_t page) {
    run.page = page;
    run.scroll = 0;
    Relayout(run);
    Repaint(run);
}

void ScrollBy(SettingsRun& run, int32_t delta) {
    run.scroll += delta;
    Relayout(run);
    Repaint(run);
}

// A row's control was clicked: the change goes to the apply function, which may do anything, even
// destroy this window (the run itself lives on in ShowSettingsWindow's frame).
void Activate(SettingsRun& run, TargetId target) {
    const SettingPage* page = run.Page();
    if (!page || target.index < 0 || target.index >= static_cast<int32_t>(page->rows.size())) return;
    const SettingRow& row = page->rows[static_cast<size_t>(target.index)];
    const std::optional<int32_t> value =
        SettingClickValue(row, {{}, target.kind, target.index, target.value});
    if (!value) return;
    const uint32_t id = row.id;  // the pages are rebuilt below; nothing of them is kept across the call
    const HWND window = run.window;
    run.apply(id, *value);
    if (!run.window || !IsWindow(window)) return;
    const int32_t current = run.page;
    run.pages = run.build();
    run.page = current < static_cast<int32_t>(run.pages.size()) ? current : 0;
    ApplyPopupFrame(window, false, run.palette);
    Relayout(run);
    Repaint(run);
}

void OnButtonUp(SettingsRun& run, HWND hwnd, LPARAM lp) {
    ReleaseCapture();
    const TargetId pressed = run.pressed;
    run.pressed = {};
    const TargetId under = TargetAt(run, GET_X_LPARAM(lp), GET_Y_LPARAM(lp));
    Repaint(run);
    if (pressed.kind == 0 || !(under == pressed)) return;
    switch (pressed.kind) {
        case kSettingTargetPage:
            SelectPage(run, pressed.index);
            break;
        case kSettingTargetClose:
            run.done = true;
            DestroyWindow(hwnd);
            break;
        case kSettingTargetRow:
            Activate(run, pressed);
            break;
        default:
            break;
    }
}

void OnKey(SettingsRun& run, HWND hwnd, WPARAM key) {
    const bool ctrl = GetKeyState(VK_CONTROL) < 0, shift = GetKeyState(VK_SHIFT) < 0;
    const auto count = static_cast<int32_t>(run.pages.size());
    switch (key) {
        case VK_ESCAPE:
            run.done = true;
            DestroyWindow(hwnd);
            break;
        case VK_UP:
        case VK_DOWN:
            ScrollBy(run, key == VK_UP ? -Scale(48, run.dpi) : Scale(48, run.dpi));
            break;
        case VK_TAB:
            if (ctrl) SelectPage(run, StepSettingsPage(run.page, count, shift));
            break;
        case VK_NEXT:
            SelectPage(run, StepSettingsPage(run.page, count, shift));
            break;
        case VK_PRIOR:
            SelectPage(run, StepSettingsPage(run.page, count, true));
            break;
        default:
            break;
    }
}

LRESULT CALLBACK SettingsWindowProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_NCCREATE) {
        SetWindowLongPtrW(hwnd, GWLP_USERDATA,
                          reinterpret_cast<LONG_PTR>(reinterpret_cast<CREATESTRUCTW*>(lp)->lpCreateParams));
    }
    auto* run = reinterpret_cast<SettingsRun*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (!run) return DefWindowProcW(hwnd, msg, wp, lp);
    switch (msg) {
        case WM_SIZE:
            Relayout(*run);
            return 0;
        case WM_MOUSEMOVE: {
            TRACKMOUSEEVENT track{sizeof(track), TME_LEAVE, hwnd, 0};
            TrackMouseEvent(&track);
            SetHot(*run, TargetAt(*run, GET_X_LPARAM(lp), GET_Y_LPARAM(lp)));
            return 0;
        }
        case WM_MOUSELEAVE:
            SetHot(*run, {});
            return 0;
        case WM_LBUTTONDOWN:
            run->pressed = TargetAt(*run, GET_X_LPARAM(lp), GET_Y_LPARAM(lp));
            SetCapture(hwnd);
            Repaint(*run);
            return 0;
        case WM_LBUTTONUP:
            OnButtonUp(*run, hwnd, lp);
            return 0;
        case WM_MOUSEWHEEL:
            ScrollBy(*run, -GET_WHEEL_DELTA_WPARAM(wp) * Scale(64, run->dpi) / WHEEL_DELTA);
            return 0;
        case WM_KEYDOWN:
            OnKey(*run, hwnd, wp);
            return 0;
        case WM_NCHITTEST: {
            // The header band drags the window, except over its targets.
            const LRESULT where = DefWindowProcW(hwnd, msg, wp, lp);
            if (where != HTCLIENT) return where;
            POINT pt{GET_X_LPARAM(lp), GET_Y_LPARAM(lp)};
            ScreenToClient(hwnd, &pt);
            const bool header = pt.y < Scale(56, run->dpi);
            return header && SettingTargetAt(run->layout, pt.x, pt.y) < 0 ? HTCAPTION : HTCLIENT;
        }
        case WM_CLOSE:
            run->done = true;
            DestroyWindow(hwnd);
            return 0;
        case WM_PAINT: {
            PAINTSTRUCT ps;
            const HDC dc = BeginPaint(hwnd, &ps);
            PaintSettings(*run, dc);
            EndPaint(hwnd, &ps);
            return 0;
        }
        case WM_ERASEBKGND:
            return 1;
        case WM_NCDESTROY:
            run->window = nullptr;
            SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
            break;
    }
    return DefWindowProcW(hwnd, msg, wp, lp);
}

// 780 x 580 DIP or the work area under the owner's centre if smaller, centred on the owner and kept
// inside that work area.
RECT PlaceSettings(HWND owner, int32_t dpi) {
    RECT around{};
    if (!owner || !GetWindowRect(owner, &around)) around = RECT{0, 0, 1024, 768};
    const PopupRect area =
        WorkAreaNear(POINT{(around.left + around.right) / 2, (around.top + around.bottom) / 2});
    const PopupSize size{std::min(Scale(780, dpi), area.Width()), std::min(Scale(580, dpi), area.Height())};
    const PopupPoint centred{(around.left + around.right - size.width) / 2,
                             (around.top + around.bottom - size.height) / 2};
    const PopupPoint at = KeepInside(centred, size, area);
    return RECT{at.x, at.y, at.x + size.width, at.y + size.height};
}

}  // namespace

HWND OpenSettingsWindow() {
    return OpenWindow();
}

SettingsLayout MeasureSettingsWindow(const std::vector<SettingPage>& pages, int32_t page, int32_t scroll,
                                     int32_t width, int32_t height, int32_t dpi) {
    const SettingsFonts fonts(dpi);
    return LayoutSettings(pages, page, scroll, width, height, dpi, GdiSettingsMeasure(fonts.body.get()));
}

void ShowSettingsWindow(HWND owner, const Palette& palette, int32_t dpi, const SettingPagesBuilder& build,
                        const SettingApplier& apply) {
    if (HWND open = OpenWindow(); open && IsWindow(open)) {
        SetForegroundWindow(open);
        return;
    }
    RegisterPopupClass(kSettingsClass, SettingsWindowProc);
    SettingsRun run(palette, dpi, build, apply);
    const RECT at = PlaceSettings(owner, dpi);
    run.window = CreateWindowExW(0, kSettingsClass, L"설정", WS_POPUP, at.left, at.top, at.right - at.left,
                                 at.bottom - at.top, owner, nullptr, GetModuleHandleW(nullptr), &run);
    if (!run.window) return;
    OpenWindow() = run.window;
    Relayout(run);
    ApplyPopupFrame(run.window, false, palette);

    const bool reenable = owner && IsWindowEnabled(owner);
    if (reenable) EnableWindow(owner, FALSE);
    ShowWindow(run.window, SW_SHOW);
    UpdateWindow(run.window);
    SetForegroundWindow(run.window);

    bool quit = false;
    WPARAM quitCode = 0;
    MSG msg;
    while (!run.done && run.window) {
        const BOOL got = GetMessageW(&msg, nullptr, 0, 0);
        if (got == 0) {
            quit = true;
            quitCode = msg.wParam;
            break;
        }
        if (got < 0) break;
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }

    if (reenable) EnableWindow(owner, TRUE);
    if (run.window) DestroyWindow(run.window);
    OpenWindow() = nullptr;
    if (owner && IsWindow(owner)) SetActiveWindow(owner);
    if (quit) PostQuitMessage(static_cast<int>(quitCode));
}

}  // namespace lumen::ui
