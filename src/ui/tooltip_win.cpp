#include "ui/tooltip.h"

#include "ui/popup_window_win.h"
#include "ui/tooltip_layout.h"

namespace lumen::ui {
namespace {

constexpr wchar_t kTipClass[] = L"Lumenpad.Tip";
constexpr int32_t kTipFontSize = 12;

void PaintTip(TipWindow& tip, HDC target) {
    RECT client;
    GetClientRect(tip.window, &client);
    const int32_t w = client.right, h = client.bottom;
    Surface& s = tip.tipSurface;
    if (!PrepareSurface(s, w, h)) return;
    FillRect(s, client, tip.colours.surface);
    if (!IsWindows11()) FrameRect1px(s, w, h, tip.colours.surfaceBorder);
    const PopupFont font(kUiFontFace, kTipFontSize, tip.dpi);
    DrawWrappedText(s, tip.tipText, ToRect(TipTextRect(PopupSize{w, h}, tip.dpi)), font.get(),
                    tip.colours.text);
    PresentSurface(s, target, client);
}

LRESULT CALLBACK TipWindowProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_NCCREATE) {
        SetWindowLongPtrW(hwnd, GWLP_USERDATA,
                          reinterpret_cast<LONG_PTR>(reinterpret_cast<CREATESTRUCTW*>(lp)->lpCreateParams));
    }
    auto* tip = reinterpret_cast<TipWindow*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    switch (msg) {
        case WM_ERASEBKGND:
            return 1;
        case WM_MOUSEACTIVATE:
            return MA_NOACTIVATE;
        case WM_NCHITTEST:
            return HTTRANSPARENT;  // clicks reach the window below
        case WM_PAINT: {
            PAINTSTRUCT ps;
            const HDC dc = BeginPaint(hwnd, &ps);
            if (tip) PaintTip(*tip, dc);
            EndPaint(hwnd, &ps);
            return 0;
        }
        case WM_NCDESTROY:
            // Destroyed with its owner: the TipWindow creates a new one on the next ShowTip.
            if (tip) tip->window = nullptr;
            SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
            break;
    }
    return DefWindowProcW(hwnd, msg, wp, lp);
}

}  // namespace

TipWindow::~TipWindow() {
    if (!window) return;
    SetWindowLongPtrW(window, GWLP_USERDATA, 0);
    DestroyWindow(window);
}

void ShowTip(TipWindow& tip, HWND owner, std::wstring_view text, POINT anchor, const Palette& palette,
             int32_t dpi) {
    tip.tipText.assign(text);
    tip.colours = palette;
    tip.dpi = dpi;
    if (!tip.window) {
        RegisterPopupClass(kTipClass, TipWindowProc);
        tip.window = CreateWindowExW(WS_EX_TOPMOST | WS_EX_TOOLWINDOW | WS_EX_TRANSPARENT | WS_EX_NOACTIVATE,
                                     kTipClass, L"", WS_POPUP, 0, 0, 0, 0, owner, nullptr,
                                     GetModuleHandleW(nullptr), &tip);
        if (!tip.window) return;
        ApplyPopupFrame(tip.window, true, palette);
    }
    const PopupFont font(kUiFontFace, kTipFontSize, dpi);
    const PopupSize size = TipSize(TextMeter().Wrapped(tip.tipText, font.get(), TipWrapWidth(dpi)), dpi);
    const PopupPoint at = PlaceTip(PopupPoint{anchor.x, anchor.y}, size, WorkAreaNear(anchor), dpi);
    SetWindowPos(tip.window, HWND_TOPMOST, at.x, at.y, size.width, size.height,
                 SWP_NOACTIVATE | SWP_SHOWWINDOW);
    InvalidateRect(tip.window, nullptr, FALSE);
}

void HideTip(TipWindow& tip) {
    if (tip.window && IsWindowVisible(tip.window)) ShowWindow(tip.window, SW_HIDE);
}

}  // namespace lumen::ui
