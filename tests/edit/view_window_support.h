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
    // Writes a 24-bit BMP file.
    bool SaveBmp(const std::string& path) const {
        FILE* f = std::fopen(path.c_str(), "wb");
        if (!f) return false;
        const uint32_t row = (static_cast<uint32_t>(width) * 3 + 3) & ~3u;
        const uint32_t size = 54 + row * static_cast<uint32_t>(height);
        uint8_t header[54] = {'B', 'M'};

        auto put32 = [&](int at, uint32_t v) {
            for (int i = 0; i < 4; ++i)
                header[at + i] = static_cast<uint8_t>(v >> (8 * i));
        };
        put32(2, size);
        put32(10, 54);
        put32(14, 40);
        put32(18, static_cast<uint32_t>(width));
        put32(22, static_cast<uint32_t>(height));
        header[26] = 1;
        header[28] = 24;
        put32(34, row * static_cast<uint32_t>(height));
        std::fwrite(header, 1, sizeof header, f);
        std::vector<uint8_t> line(row, 0);
        for (int32_t y = height - 1; y >= 0; --y) {
            for (int32_t x = 0; x < width; ++x) {
                const uint32_t c = At(x, y);
                line[x * 3] = static_cast<uint8_t>(c >> 16);
                line[x * 3 + 1] = static_cast<uint8_t>(c >> 8);
                line[x * 3 + 2] = static_cast<uint8_t>(c);
            }
            std::fwrite(line.data(), 1, row, f);
        }
        std::fclose(f);
        return true;
    }
};

// Pixels of a width x height 32-bit bitmap after draw(dc, width, height) has drawn into it.
template <typename Draw>
Capture CaptureDrawn(int32_t width, int32_t height, Draw draw) {
    Capture c;
    c.width = width;
    c.height = height;
    BITMAPINFO bi{};
    bi.bmiHeader.biSize = sizeof(bi.bmiHeader);
    bi.bmiHeader.biWidth = width;
    bi.bmiHeader.biHeight = -height;
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    HDC dc = CreateCompatibleDC(nullptr);
    void* bits = nullptr;
    HBITMAP bmp = CreateDIBSection(dc, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ old = SelectObject(dc, bmp);
    draw(dc, width, height);
    GdiFlush();
    const auto* p = static_cast<const uint32_t*>(bits);
    c.pixels.resize(static_cast<size_t>(width) * height);
    for (size_t i = 0; i < c.pixels.size(); ++i) {
        const uint32_t v = p[i];
        c.pixels[i] = ((v >> 16) & 0xFF) | (v & 0xFF00) | ((v & 0xFF) << 16);
    }
    SelectObject(dc, old);
    DeleteObject(bmp);
    DeleteDC(dc);
    return c;
}

// A popup window of the given class (registered on first use, as is "QuillEdit") to host an editor.
inline HWND CreateTestParent(const wchar_t* className, WNDPROC proc, int32_t width, int32_t height) {
    HINSTANCE instance = GetModuleHandleW(nullptr);
    RegisterQuillEditClass(instance);
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof(wc);
    wc.lpfnWndProc = proc;
    wc.hInstance = instance;
    wc.lpszClassName = className;
    RegisterClassExW(&wc);  // a second registration fails harmlessly
    return CreateWindowExW(0, className, L"", WS_POPUP | WS_CLIPCHILDREN, 0, 0, width, height, nullptr,
                           nullptr, instance, nullptr);
}

class EditorWindow {
public:
    // parentProc, when given, receives the parent's messages (one procedure per run: its class is
    // registered once); the editor's control id is 7.
    EditorWindow(int32_t width, int32_t height, DWORD extraStyle = 0, bool show = false,
                 WNDPROC parentProc = nullptr) {
        HINSTANCE instance = GetModuleHandleW(nullptr);
        parent_ = parentProc ? CreateTestParent(L"LumenpadTest.NotifiedParent", parentProc, width, height)
                             : CreateTestParent(L"LumenpadTest.ViewParent", DefWindowProcW, width, height);
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

private:
    HWND parent_ = nullptr;
    HWND edit_ = nullptr;
    View* view_ = nullptr;
};

}  // namespace quill::test
