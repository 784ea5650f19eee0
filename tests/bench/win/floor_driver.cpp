// The window system's own share of every step: a window that keeps no text, and on each typed
// character or page move invalidates what a text control would (one row, or everything) and paints
// by copying a prepared off-screen bitmap; asked where the caret is, it answers one message. With
// the host's status strip repainted as for any control, its figures are the floor under any control
// measured here (the paint cycle, the copy to the screen and the message traffic) on this machine.
#include "control_driver.h"

namespace lumen::bench {
namespace {

constexpr int kRowHeight = 16;

struct FloorState {
    HDC dc = nullptr;
    HBITMAP bitmap = nullptr;
    HGDIOBJ old = nullptr;
    int64_t length = 0;
};

LRESULT CALLBACK FloorProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* s = reinterpret_cast<FloorState*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    switch (message) {
        case WM_CHAR: {
            if (s) ++s->length;
            RECT row;
            GetClientRect(hwnd, &row);
            row.bottom = kRowHeight;
            InvalidateRect(hwnd, &row, FALSE);
            return 0;
        }
        case EM_GETSEL:  // the caret's offset on its only line
            return s ? static_cast<LRESULT>(s->length) : 0;
        case WM_KEYDOWN:
            if (wParam == VK_NEXT) InvalidateRect(hwnd, nullptr, FALSE);
            return 0;
        case WM_ERASEBKGND:
            return 1;
        case WM_PAINT: {
            PAINTSTRUCT ps;
            HDC dc = BeginPaint(hwnd, &ps);
            if (s && s->dc) {
                const RECT& r = ps.rcPaint;
                BitBlt(dc, r.left, r.top, r.right - r.left, r.bottom - r.top, s->dc, r.left, r.top, SRCCOPY);
            }
            EndPaint(hwnd, &ps);
            return 0;
        }
        case WM_NCDESTROY:
            if (s) {
                SelectObject(s->dc, s->old);
                DeleteObject(s->bitmap);
                DeleteDC(s->dc);
                delete s;
                SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
            }
            break;
        default:
            break;
    }
    return DefWindowProcW(hwnd, message, wParam, lParam);
}

class FloorDriver : public ControlDriver {
public:
    HWND Create(HWND parent, bool /*wrap*/) override {
        if (hwnd_) DestroyWindow(hwnd_);
        const HINSTANCE instance = GetModuleHandleW(nullptr);
        WNDCLASSW wc{};
        wc.lpfnWndProc = FloorProc;
        wc.hInstance = instance;
        wc.lpszClassName = L"Lumenpad.BenchFloor";
        RegisterClassW(&wc);
        const RECT rc = ControlArea(parent);
        hwnd_ = CreateWindowExW(0, wc.lpszClassName, L"", WS_CHILD | WS_VISIBLE, 0, 0, rc.right, rc.bottom,
                                parent, nullptr, instance, nullptr);
        if (!hwnd_) return nullptr;
        auto* s = new FloorState;
        HDC screen = GetDC(hwnd_);
        s->dc = CreateCompatibleDC(screen);
        BITMAPINFO bi{};
        bi.bmiHeader.biSize = sizeof(bi.bmiHeader);
        bi.bmiHeader.biWidth = rc.right;
        bi.bmiHeader.biHeight = -rc.bottom;
        bi.bmiHeader.biPlanes = 1;
        bi.bmiHeader.biBitCount = 32;
        void* bits = nullptr;
        s->bitmap = CreateDIBSection(screen, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
        ReleaseDC(hwnd_, screen);
        s->old = SelectObject(s->dc, s->bitmap);
        PatBlt(s->dc, 0, 0, rc.right, rc.bottom, WHITENESS);
        SetWindowLongPtrW(hwnd_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(s));
        SetFocus(hwnd_);
        return hwnd_;
    }
    void SetFont(const std::wstring& /*face*/, double /*points*/) override {}  // draws no text
    void Load(const std::string& utf8) override {
        auto* s = reinterpret_cast<FloorState*>(GetWindowLongPtrW(hwnd_, GWLP_USERDATA));
        if (s) s->length = static_cast<int64_t>(utf8.size());
        InvalidateRect(hwnd_, nullptr, FALSE);
    }
    int64_t Length() override {
        auto* s = reinterpret_cast<FloorState*>(GetWindowLongPtrW(hwnd_, GWLP_USERDATA));
        return s ? s->length : 0;
    }
    void SetCaret(int64_t /*position*/) override {}
    std::pair<int64_t, int64_t> CaretLineColumn() override {
        return {0, SendMessageW(hwnd_, EM_GETSEL, 0, 0)};
    }
};

const RegisterDriver kFloor("floor", "window system floor", [] { return std::make_unique<FloorDriver>(); });

}  // namespace
}  // namespace lumen::bench
