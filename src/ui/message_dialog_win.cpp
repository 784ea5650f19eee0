#include <windowsx.h>

#include <utility>

#include "app/theme.h"
#include "ui/message_dialog.h"
#include "ui/message_dialog_layout.h"
#include "ui/popup_window_win.h"

namespace lumen::ui {
namespace {

constexpr wchar_t kDialogClass[] = L"Lumenpad.Dialog";

std::function<int32_t(const DialogContent&)>& Answerer() {
    static std::function<int32_t(const DialogContent&)> answerer;
    return answerer;
}

struct DialogFonts {
    PopupFont title, body, small, icon;
    explicit DialogFonts(int32_t dpi)
        : title(kUiFontFace, 20, dpi, FW_SEMIBOLD),
          body(kUiFontFace, 14, dpi),
          small(kUiFontFace, 12, dpi),
          icon(IconFontFace(), 16, dpi) {}
};

class GdiDialogMeasure : public DialogTextMeasure {
public:
    explicit GdiDialogMeasure(const DialogFonts& fonts) : fonts_(fonts) {}
    int32_t TitleHeight(std::wstring_view text, int32_t width) const override {
        return meter_.Wrapped(text, fonts_.title.get(), width).height;
    }
    int32_t BodyHeight(std::wstring_view text, int32_t width) const override {
        return meter_.Wrapped(text, fonts_.body.get(), width).height;
    }
    int32_t BodyWidth(std::wstring_view text) const override { return meter_.Width(text, fonts_.body.get()); }

private:
    TextMeter meter_;
    const DialogFonts& fonts_;
};

struct DialogRun {
    const DialogContent& content;
    const Palette& palette;
    int32_t dpi;
    DialogFonts fonts;
    DialogLayout layout;
    Surface surface;
    HWND window = nullptr;
    int32_t hot = -1, pressed = -1, focused = 0;
    bool navigated = false;  // the keyboard moved the focus: the focus ring shows
    int32_t chosen = -1;
    bool done = false;

    DialogRun(const DialogContent& c, const Palette& p, int32_t d)
        : content(c), palette(p), dpi(d), fonts(d), layout(LayoutDialog(c, d, GdiDialogMeasure(fonts))) {
        focused = DialogDefaultIndex(c);
    }
};

struct IconLook {
    char32_t glyph = 0;
    COLORREF colour = 0;
};

IconLook IconFor(uint32_t icon, const Palette& p) {
    switch (icon) {
        case kDialogIconInformation:
            return {0xE946, p.accent};
        case kDialogIconQuestion:
            return {0xE9CE, p.accent};
        case kDialogIconWarning:
            return {0xE7BA, p.dark ? 0x00E1FCu : 0x005D9Du};
        case kDialogIconError:
            return {0xE783, p.error};
        default:
            return {};
    }
}

void PaintButton(DialogRun& run, size_t i) {
    Surface& s = run.surface;
    const Palette& p = run.palette;
    const auto index = static_cast<int32_t>(i);
    const PopupRect& r = run.layout.buttons[i];
    const float radius = ScaleF(4, run.dpi);
    const bool danger = index == run.content.dangerButton;
    const bool filled = danger || index == DialogDefaultIndex(run.content);
    COLORREF label = p.text;
    if (filled) {
        const COLORREF base = danger ? p.error : p.accent;
        const COLORREF towards = p.dark ? 0x000000 : 0xFFFFFF;
        const COLORREF fill = index == run.pressed ? MixColor(base, towards, 0.2)
                              : index == run.hot   ? MixColor(base, towards, 0.1)
                                                   : base;
        FillRoundRect(s, static_cast<float>(r.left), static_cast<float>(r.top), static_cast<float>(r.right),
                      static_cast<float>(r.bottom), radius, fill);
        label = p.onAccent;
    } else {
        const COLORREF face = index == run.pressed ? p.surfacePressed
                              : index == run.hot   ? p.surfaceHover
                              : p.dark             ? 0x373737
                                                   : 0xFBFBFB;
        FillRoundRect(s, static_cast<float>(r.left), static_cast<float>(r.top), static_cast<float>(r.right),
                      static_cast<float>(r.bottom), radius, face);
        FrameRoundRect(s, ToRect(r), radius, 1.0f, p.inputBorder);
    }
    DrawTextLine(s, run.content.buttons[i], r, run.fonts.body.get(), label,
                 DT_CENTER | DT_VCENTER | DT_SINGLELINE);
    if (run.navigated && index == run.focused) {
        FrameRoundRect(s, ToRect(r.Inflate(Scale(3, run.dpi))), ScaleF(7, run.dpi), ScaleF(2, run.dpi),
                       p.accent);
    }
}

void PaintDialog(DialogRun& run, HDC target) {
    const DialogLayout& l = run.layout;
    Surface& s = run.surface;
    if (!PrepareSurface(s, l.width, l.height)) return;
    const Palette& p = run.palette;
    const int32_t dpi = run.dpi;
    FillRect(s, RECT{0, 0, l.width, l.barTop}, p.surface);
    const COLORREF bar = p.highContrast ? p.surface : p.dark ? 0x202020 : 0xF3F3F3;
    FillRect(s, RECT{0, l.barTop, l.width, l.height}, bar);
    if (!IsWindows11()) FrameRect1px(s, l.width, l.height, p.surfaceBorder);

    if (!l.icon.Empty()) {
        const IconLook icon = IconFor(run.content.icon, p);
        FillDisc(s, (l.icon.left + l.icon.right) / 2.0f, (l.icon.top + l.icon.bottom) / 2.0f, ScaleF(16, dpi),
                 MixColor(p.surface, icon.colour, p.dark ? 0.22 : 0.12));
        DrawGlyph(s, icon.glyph, ToRect(l.icon), run.fonts.icon.get(), icon.colour);
    }
    DrawWrappedText(s, run.content.title, ToRect(l.title), run.fonts.title.get(), p.text);
    if (!l.message.Empty())
        DrawWrappedText(s, run.content.message, ToRect(l.message), run.fonts.body.get(), p.text);
    for (size_t i = 0; i < l.listRows.size(); ++i) {
        const PopupRect& r = l.listRects[i];
        if (l.listOverflow && i + 1 == l.listRows.size()) {
            DrawTextLine(s, l.listRows[i], r, run.fonts.body.get(), p.dimText,
                         DT_LEFT | DT_VCENTER | DT_SINGLELINE);
            continue;
        }
        FillDisc(s, r.left + ScaleF(4, dpi), (r.top + r.bottom) / 2.0f, ScaleF(2.5f, dpi), p.dimText);
        const PopupRect text{r.left + Scale(16, dpi), r.top, r.right, r.bottom};
        DrawTextLine(s, l.listRows[i], text, run.fonts.body.get(), p.text,
                     DT_LEFT | DT_VCENTER | DT_SINGLELINE | DT_PATH_ELLIPSIS);
    }
    for (size_t i = 0; i < l.buttons.size(); ++i)
        PaintButton(run, i);
    PresentSurface(s, target, RECT{0, 0, l.width, l.height});
}

void Repaint(DialogRun& run) {
    InvalidateRect(run.window, nullptr, FALSE);
}

void Choose(DialogRun& run, int32_t index) {
    run.chosen = index;
    run.done = true;
}

void OnKey(DialogRun& run, WPARAM key) {
    const auto count = static_cast<int32_t>(run.content.buttons.size());
    switch (key) {
        case VK_TAB:
        case VK_RIGHT:
        case VK_LEFT: {
            const bool backwards = key == VK_LEFT || (key == VK_TAB && GetKeyState(VK_SHIFT) < 0);
            run.focused = NextDialogButton(run.focused, count, backwards);
            run.navigated = true;
            Repaint(run);
            break;
        }
        case VK_RETURN:
        case VK_SPACE:
            Choose(run, run.focused);
            break;
        case VK_ESCAPE:
            Choose(run, DialogCancelIndex(run.content));
            break;
        default:
            break;
    }
}

int32_t ButtonAt(const DialogRun& run, LPARAM lp) {
    return DialogButtonAt(run.layout, GET_X_LPARAM(lp), GET_Y_LPARAM(lp));
}

LRESULT CALLBACK DialogWindowProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_NCCREATE) {
        SetWindowLongPtrW(hwnd, GWLP_USERDATA,
                          reinterpret_cast<LONG_PTR>(reinterpret_cast<CREATESTRUCTW*>(lp)->lpCreateParams));
    }
    auto* run = reinterpret_cast<DialogRun*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (!run) return DefWindowProcW(hwnd, msg, wp, lp);
    switch (msg) {
        case WM_MOUSEMOVE:
            if (const int32_t hit = ButtonAt(*run, lp); hit != run->hot) {
                run->hot = hit;
                TRACKMOUSEEVENT track{sizeof(track), TME_LEAVE, hwnd, 0};
                TrackMouseEvent(&track);
                Repaint(*run);
            }
            return 0;
        case WM_MOUSELEAVE:
            run->hot = -1;
            Repaint(*run);
            return 0;
        case WM_LBUTTONDOWN:
            run->pressed = ButtonAt(*run, lp);
            SetCapture(hwnd);
            Repaint(*run);
            return 0;
        case WM_LBUTTONUP: {
            ReleaseCapture();
            const int32_t hit = ButtonAt(*run, lp);
            const bool chosen = hit >= 0 && hit == run->pressed;
            run->pressed = -1;
            if (chosen) {
                Choose(*run, hit);
                DestroyWindow(hwnd);
            } else {
                Repaint(*run);
            }
            return 0;
        }
        case WM_NCHITTEST: {
            // Everything but the buttons drags the dialog.
            const LRESULT where = DefWindowProcW(hwnd, msg, wp, lp);
            if (where != HTCLIENT) return where;
            POINT pt{GET_X_LPARAM(lp), GET_Y_LPARAM(lp)};
            ScreenToClient(hwnd, &pt);
            return DialogButtonAt(run->layout, pt.x, pt.y) >= 0 ? HTCLIENT : HTCAPTION;
        }
        case WM_KEYDOWN:
            OnKey(*run, wp);
            return 0;
        case WM_CLOSE:
            Choose(*run, DialogCancelIndex(run->content));
            DestroyWindow(hwnd);
            return 0;
        case WM_PAINT: {
            PAINTSTRUCT ps;
            const HDC dc = BeginPaint(hwnd, &ps);
            PaintDialog(*run, dc);
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

// Centred on a visible, not minimised owner, else on the work area under the mouse; raised a little
// and kept inside the work area of the monitor that holds its centre.
PopupPoint PlaceDialog(HWND owner, PopupSize size, int32_t dpi) {
    PopupRect around;
    RECT rect;
    if (owner && IsWindowVisible(owner) && !IsIconic(owner) && GetWindowRect(owner, &rect)) {
        around = ToPopupRect(rect);
    } else {
        POINT cursor{};
        GetCursorPos(&cursor);
        around = WorkAreaNear(cursor);
    }
    const PopupPoint at = CentreDialog(around, size, dpi);
    const POINT centre{at.x + size.width / 2, at.y + size.height / 2};
    return KeepInside(at, size, WorkAreaNear(centre));
}

}  // namespace

void SetDialogAnswerer(std::function<int32_t(const DialogContent&)> answerer) {
    Answerer() = std::move(answerer);
}

DialogLayout MeasureMessageDialog(const DialogContent& content, int32_t dpi) {
    const DialogFonts fonts(dpi);
    return LayoutDialog(content, dpi, GdiDialogMeasure(fonts));
}

int32_t ShowMessageDialog(HWND owner, const DialogContent& content, const Palette& palette, int32_t dpi) {
    if (content.buttons.empty()) return -1;
    if (Answerer()) return Answerer()(content);
    RegisterPopupClass(kDialogClass, DialogWindowProc);
    DialogRun run(content, palette, dpi);
    const PopupSize size{run.layout.width, run.layout.height};
    const PopupPoint at = PlaceDialog(owner, size, dpi);
    run.window = CreateWindowExW(0, kDialogClass, content.title.c_str(), WS_POPUP, at.x, at.y, size.width,
                                 size.height, owner, nullptr, GetModuleHandleW(nullptr), &run);
    if (!run.window) return DialogCancelIndex(content);
    ApplyPopupFrame(run.window, false, palette);

    const bool reenable = owner && IsWindowEnabled(owner);
    if (reenable) EnableWindow(owner, FALSE);
    ShowWindow(run.window, SW_SHOW);
    UpdateWindow(run.window);
    SetForegroundWindow(run.window);
    if (content.icon == kDialogIconError) MessageBeep(MB_ICONHAND);
    if (content.icon == kDialogIconWarning) MessageBeep(MB_ICONEXCLAMATION);

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
    if (owner) SetActiveWindow(owner);
    if (quit) PostQuitMessage(static_cast<int>(quitCode));
    return run.chosen >= 0 ? run.chosen : DialogCancelIndex(content);
}

}  // namespace lumen::ui
