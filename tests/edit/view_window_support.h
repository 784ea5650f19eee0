// A real QuillEdit window for the Windows tests: a hidden parent, the editor child, text loading,
// and captures of what it paints (through WM_PRINTCLIENT into a 32-bit bitmap).
#pragma once

#include <windows.h>

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "edit/quill_window_win.h"
#include "edit/view.h"

namespace quill::test {

// The header of a top-down 32-bit bitmap.
inline BITMAPINFOHEADER DibHeader(int32_t width, int32_t height) {
    return {sizeof(BITMAPINFOHEADER), width, -height, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
}

struct Capture {
    int32_t width = 0, height = 0;
    std::vector<uint32_t> pixels;  // 0xBBGGRR, like COLORREF

    uint32_t At(int32_t x, int32_t y) const {
        if (x < 0 || y < 0 || x >= width || y >= height) return 0xFFFFFFFFu;
        return pixels[static_cast<size_t>(y) * width + x];
    }
    static int Luminance(uint32_t c) {
        return ((c & 0xFF) * 3 + ((c >> 8) & 0xFF) * 6 + ((c >> 16) & 0xFF)) / 10;
    }
    // Pixels in [x0, x1) x [y0, y1) for which pred holds.
    template <typename Pred>
    int Count(int32_t x0, int32_t y0, int32_t x1, int32_t y1, Pred pred) const {
        int n = 0;
        for (int32_t y = y0; y < y1; ++y) {
            for (int32_t x = x0; x < x1; ++x)
                n += pred(At(x, y)) ? 1 : 0;
        }
        return n;
    }
    // 0xBBGGRR to and from the 0xRRGGBB of a 32-bit DIB.
    static uint32_t SwapRB(uint32_t v) { return ((v >> 16) & 0xFF) | (v & 0xFF00) | ((v & 0xFF) << 16); }
    // Writes a 32-bit top-down BMP file.
    bool SaveBmp(const std::string& path) const {
        FILE* f = std::fopen(path.c_str(), "wb");
        if (!f) return false;
        const BITMAPINFOHEADER info = DibHeader(width, height);
        const DWORD offset = sizeof(BITMAPFILEHEADER) + sizeof(info);
        const BITMAPFILEHEADER file{0x4D42, DWORD(offset + 4 * pixels.size()), 0, 0, offset};
        std::vector<uint32_t> dib(pixels.size());
        for (size_t i = 0; i < pixels.size(); ++i)
            dib[i] = SwapRB(pixels[i]);
        const bool ok = std::fwrite(&file, sizeof file, 1, f) == 1 &&
                        std::fwrite(&info, sizeof info, 1, f) == 1 &&
                        std::fwrite(dib.data(), 4, dib.size(), f) == dib.size();
        return std::fclose(f) == 0 && ok;
    }
};

// Pixels of a width x height 32-bit bitmap after draw(dc, width, height) has drawn into it.
template <typename Draw>
Capture CaptureDrawn(int32_t width, int32_t height, Draw draw) {
    Capture c;
    c.width = width;
    c.height = height;
    const BITMAPINFO bi{DibHeader(width, height), {}};
    HDC dc = CreateCompatibleDC(nullptr);
    void* bits = nullptr;
    HBITMAP bmp = CreateDIBSection(dc, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ old = SelectObject(dc, bmp);
    draw(dc, width, height);
    GdiFlush();
    const auto* p = static_cast<const uint32_t*>(bits);
    c.pixels.resize(static_cast<size_t>(width) * height);
    for (size_t i = 0; i < c.pixels.size(); ++i)
        c.pixels[i] = Capture::SwapRB(p[i]);
    SelectObject(dc, old);
    DeleteObject(bmp);
    DeleteDC(dc);
    return c;
}

// Dispatches every message waiting on this thread.
inline void Pump() {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
}

class EditorWindow {
public:
    // parentProc, when given, receives the parent's messages (one procedure per run: its class is
    // registered once); the editor's control id is 7.
    EditorWindow(int32_t width, int32_t height, DWORD extraStyle = 0, bool show = false,
                 WNDPROC parentProc = nullptr) {
        HINSTANCE instance = GetModuleHandleW(nullptr);
        RegisterQuillEditClass(instance);
        WNDCLASSEXW wc{};
        wc.cbSize = sizeof(wc);
        wc.lpfnWndProc = parentProc ? parentProc : DefWindowProcW;
        wc.hInstance = instance;
        wc.lpszClassName = parentProc ? L"LumenpadTest.NotifiedParent" : L"LumenpadTest.ViewParent";
        RegisterClassExW(&wc);  // a second registration fails harmlessly
        parent_ = CreateWindowExW(0, wc.lpszClassName, L"", WS_POPUP | WS_CLIPCHILDREN, 0, 0, width, height,
                                  nullptr, nullptr, instance, nullptr);
        edit_ = CreateWindowExW(0, kQuillEditClass, L"", WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | extraStyle,
                                0, 0, width, height, parent_, reinterpret_cast<HMENU>(7), instance, nullptr);
        view_ = ViewFromWindow(edit_);
        if (show) {
            ShowWindow(parent_, SW_SHOWNOACTIVATE);
            UpdateWindow(parent_);
        }
    }
    ~EditorWindow() {
        if (parent_) DestroyWindow(parent_);
    }
    EditorWindow(const EditorWindow&) = delete;
    EditorWindow& operator=(const EditorWindow&) = delete;

    HWND hwnd() const { return edit_; }
    View& view() const { return *view_; }
    Document& doc() const { return *view_->GetDocument(); }
    bool ok() const { return parent_ && edit_ && view_; }

    void SetText(const std::string& utf8) {
        doc().DeleteChars(0, doc().Length());
        doc().InsertString(0, utf8.data(), static_cast<int64_t>(utf8.size()));
    }

    Capture Print() const {
        RECT rc{};
        GetClientRect(edit_, &rc);
        return CaptureDrawn(rc.right, rc.bottom, [this](HDC dc, int32_t width, int32_t height) {
            // A colour nothing paints, so unpainted pixels stand out.
            const RECT all{0, 0, width, height};
            SetDCBrushColor(dc, RGB(1, 2, 3));
            FillRect(dc, &all, static_cast<HBRUSH>(GetStockObject(DC_BRUSH)));
            SendMessageW(edit_, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc), PRF_CLIENT);
        });
    }

    // The pixels the window shows now, read back from its device context.
    Capture Shown() const {
        RECT rc{};
        GetClientRect(edit_, &rc);
        HDC window = GetDC(edit_);
        Capture c = CaptureDrawn(rc.right, rc.bottom, [window](HDC dc, int32_t width, int32_t height) {
            BitBlt(dc, 0, 0, width, height, window, 0, 0, SRCCOPY);
        });
        ReleaseDC(edit_, window);
        return c;
    }

private:
    HWND parent_ = nullptr;
    HWND edit_ = nullptr;
    View* view_ = nullptr;
};

}  // namespace quill::test
