#include "ui/popup_window_win.h"

#include <algorithm>

#include "app/theme.h"

namespace lumen::ui {
namespace {

int TextLength(std::wstring_view text) {
    return static_cast<int>(std::min<size_t>(text.size(), INT32_MAX));
}

}  // namespace

PopupFont::PopupFont(const wchar_t* face, int32_t dip, int32_t dpi, int32_t weight)
    : font_(CreateFontW(-Scale(dip, dpi), 0, 0, 0, weight, FALSE, FALSE, FALSE, DEFAULT_CHARSET,
                        OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, CLEARTYPE_QUALITY,
                        DEFAULT_PITCH | FF_DONTCARE, face)) {}

PopupFont::~PopupFont() {
    if (font_) DeleteObject(font_);
}

void RegisterPopupClass(const wchar_t* name, WNDPROC procedure) {
    const HINSTANCE instance = GetModuleHandleW(nullptr);
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof(wc);
    if (GetClassInfoExW(instance, name, &wc)) return;
    wc.style = IsWindows11() ? 0 : CS_DROPSHADOW;
    wc.lpfnWndProc = procedure;
    wc.hInstance = instance;
    wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    wc.lpszClassName = name;
    RegisterClassExW(&wc);
}

PopupRect WorkAreaNear(POINT point) {
    MONITORINFO info{};
    info.cbSize = sizeof(info);
    if (GetMonitorInfoW(MonitorFromPoint(point, MONITOR_DEFAULTTONEAREST), &info)) {
        return ToPopupRect(info.rcWork);
    }
    return PopupRect{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
}

void DrawTextLine(Surface& surface, std::wstring_view text, const PopupRect& rect, HFONT font,
                  COLORREF colour, UINT format) {
    if (!surface.dc || text.empty() || rect.Empty()) return;
    const HGDIOBJ old = SelectObject(surface.dc, font);
    SetTextColor(surface.dc, colour);
    RECT box = ToRect(rect);
    DrawTextW(surface.dc, text.data(), TextLength(text), &box, format | DT_NOPREFIX);
    SelectObject(surface.dc, old);
}

TextMeter::TextMeter() : dc_(CreateCompatibleDC(nullptr)) {}

TextMeter::~TextMeter() {
    if (dc_) DeleteDC(dc_);
}

int32_t TextMeter::Width(std::wstring_view text, HFONT font) const {
    if (!dc_ || text.empty()) return 0;
    const HGDIOBJ old = SelectObject(dc_, font);
    SIZE size{};
    GetTextExtentPoint32W(dc_, text.data(), TextLength(text), &size);
    SelectObject(dc_, old);
    return size.cx;
}

PopupSize TextMeter::Wrapped(std::wstring_view text, HFONT font, int32_t wrapWidth) const {
    if (!dc_ || text.empty()) return {};
    const HGDIOBJ old = SelectObject(dc_, font);
    RECT box{0, 0, wrapWidth, 0};
    DrawTextW(dc_, text.data(), TextLength(text), &box, DT_CALCRECT | DT_WORDBREAK | DT_NOPREFIX);
    SelectObject(dc_, old);
    return PopupSize{box.right - box.left, box.bottom - box.top};
}

}  // namespace lumen::ui
