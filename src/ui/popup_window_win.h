// What the toolkit's popup windows (menu, message dialog, tip) share on Windows: their fonts and
// window classes, the work area under a point, single-line text on a surface and GDI measuring.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string_view>

#include "ui/popup_geometry.h"
#include "ui/surface.h"

namespace lumen::ui {

// A font of `dip` pixels at 96 DPI scaled to `dpi`, ClearType, deleted with the object.
class PopupFont {
public:
    PopupFont(const wchar_t* face, int32_t dip, int32_t dpi, int32_t weight = FW_NORMAL);
    ~PopupFont();
    PopupFont(const PopupFont&) = delete;
    PopupFont& operator=(const PopupFont&) = delete;
    HFONT get() const { return font_; }

private:
    HFONT font_;
};

// Registers a popup window class unless it exists: arrow cursor, and the class drop shadow unless on
// Windows 11 (which gives popups its own shadow and rounded corners).
void RegisterPopupClass(const wchar_t* name, WNDPROC procedure);

// The work area of the monitor nearest to a screen point.
PopupRect WorkAreaNear(POINT point);

inline RECT ToRect(const PopupRect& r) {
    return RECT{r.left, r.top, r.right, r.bottom};
}
inline PopupRect ToPopupRect(const RECT& r) {
    return PopupRect{r.left, r.top, r.right, r.bottom};
}

// Text drawn with DrawTextW into the surface (`format` is a DT_ combination; prefixes are never
// processed).
void DrawTextLine(Surface& surface, std::wstring_view text, const PopupRect& rect, HFONT font,
                  COLORREF colour, UINT format);

// Measures text with GDI on a memory DC of its own.
class TextMeter {
public:
    TextMeter();
    ~TextMeter();
    TextMeter(const TextMeter&) = delete;
    TextMeter& operator=(const TextMeter&) = delete;
    // One line's width.
    int32_t Width(std::wstring_view text, HFONT font) const;
    // The extent of the text word-wrapped to `wrapWidth` (the widest line and the total height).
    PopupSize Wrapped(std::wstring_view text, HFONT font, int32_t wrapWidth) const;

private:
    HDC dc_;
};

}  // namespace lumen::ui
