#include "edit/view_host_win.h"

#include <algorithm>

#include "edit/clipboard_win.h"
#include "edit/quill_window_win.h"
#include "edit/sci_messages.h"

namespace quill {
namespace {

// The off-screen surface's pixel format: 32 bits, top row first.
BITMAPINFO SurfaceFormat(int32_t width, int32_t height) {
    BITMAPINFO bi{};
    bi.bmiHeader.biSize = sizeof(bi.bmiHeader);
    bi.bmiHeader.biWidth = width;
    bi.bmiHeader.biHeight = -height;
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    bi.bmiHeader.biCompression = BI_RGB;
    return bi;
}

}  // namespace

// ---- WinViewHost --------------------------------------------------------------------------------

WinViewHost::~WinViewHost() {
    FreeSurface();
}

void WinViewHost::StartTimer(int id, uint32_t milliseconds) {
    if (timers_.Start(id, milliseconds, GetTickCount()))
        SetTimer(hwnd_, static_cast<UINT_PTR>(id), milliseconds, nullptr);
}

void WinViewHost::StopTimer(int id) {
    timers_.Stop(id);
    KillTimer(hwnd_, static_cast<UINT_PTR>(id));
}

bool WinViewHost::TimerTick(int id) {
    const TimerRestarts::Tick tick = timers_.OnTick(id, GetTickCount());
    if (tick.rearm) SetTimer(hwnd_, static_cast<UINT_PTR>(id), tick.rearm, nullptr);
    return tick.deliver;
}

void WinViewHost::InvalidateAll() {
    allInvalid_ = true;
    if (invalidated_.left == INT_MIN && invalidated_.top == INT_MIN && invalidated_.right == INT_MAX &&
        invalidated_.bottom == INT_MAX)
        return;
    ::InvalidateRect(hwnd_, nullptr, FALSE);
    invalidated_ = {INT_MIN, INT_MIN, INT_MAX, INT_MAX};
}

void WinViewHost::InvalidateRect(int32_t left, int32_t top, int32_t right, int32_t bottom) {
    // An edit and the caret move it causes invalidate the same row: a rectangle inside the last one
    // asked for in this message is still invalid, and asking again costs a round trip.
    if (left >= invalidated_.left && top >= invalidated_.top && right <= invalidated_.right &&
        bottom <= invalidated_.bottom)
        return;
    const RECT rc{left, top, right, bottom};
    ::InvalidateRect(hwnd_, &rc, FALSE);
    ++invalidations_;
    invalidated_ = rc;
}

bool WinViewHost::ScrollPixels(int32_t dy) {
    if (!IsWindowVisible(hwnd_) || GetUpdateRect(hwnd_, nullptr, FALSE)) return false;
    View* view = ViewFromWindow(hwnd_);
    RECT area{};
    GetClientRect(hwnd_, &area);
    if (view && view->OverlayScrollBars()) {
        // Neither bar may move with the rows: the strips along the right and bottom edges stay
        // and are drawn again.
        const int32_t strip = ScaleForDpi(kOverlayStrip, Dpi());
        area.right = std::max<LONG>(area.left, area.right - strip);
        area.bottom = std::max<LONG>(area.top, area.bottom - strip);
        InvalidateRect(area.right, 0, area.right + strip, area.bottom + strip);
        InvalidateRect(0, area.bottom, area.right + strip, area.bottom + strip);
    }
    ScrollWindowEx(hwnd_, 0, dy, &area, &area, nullptr, nullptr, SW_INVALIDATE);
    invalidations_ += 2;  // the uncovered band, apart from anything invalidated before
    ForgetInvalidated();
    return true;
}

void WinViewHost::SetScrollBar(bool vertical, const ScrollValues& values) {
    SCROLLINFO si{};
    si.cbSize = sizeof(si);
    si.fMask = SIF_RANGE | SIF_PAGE | SIF_POS;
    si.nMin = static_cast<int>(values.min);
    si.nMax = static_cast<int>(values.max);
    si.nPage = static_cast<UINT>(values.page);
    si.nPos = static_cast<int>(values.pos);
    SetScrollInfo(hwnd_, vertical ? SB_VERT : SB_HORZ, &si, TRUE);
}

void WinViewHost::Notify(Notification& notification) {
    const int id = GetDlgCtrlID(hwnd_);
    notification.nmhdr.hwndFrom = hwnd_;
    notification.nmhdr.idFrom = static_cast<uintptr_t>(id);
    HWND parent = GetParent(hwnd_);
    if (parent) {
        SendMessageW(parent, WM_NOTIFY, static_cast<WPARAM>(id), reinterpret_cast<LPARAM>(&notification));
    }
}

void WinViewHost::PostUpdate() {
    PostMessageW(hwnd_, QM_DELIVERUPDATEUI, 0, 0);
}

void WinViewHost::TakeFocus() {
    SetFocus(hwnd_);
}

void WinViewHost::MoveSystemCaret(int32_t x, int32_t y) {
    caretWanted_ = {x, y};
}

void WinViewHost::FlushSystemCaret() {
    if (caretWanted_.x == INT_MIN) return;
    if (caretWanted_.x != caretShown_.x || caretWanted_.y != caretShown_.y)
        SetCaretPos(caretWanted_.x, caretWanted_.y);
    caretShown_ = caretWanted_;
    caretWanted_ = {INT_MIN, INT_MIN};
}

uint32_t WinViewHost::ButtonFaceColour() {
    return GetSysColor(COLOR_BTNFACE);
}

bool WinViewHost::CopyToClipboard(const std::string& utf8) {
    return CopyTextToClipboard(hwnd_, utf8);
}

bool WinViewHost::ReadClipboard(std::string* utf8) {
    return ReadClipboardText(hwnd_, utf8);
}

bool WinViewHost::ClipboardHasText() {
    return quill::ClipboardHasText();
}

int32_t WinViewHost::Dpi() {
    const UINT dpi = GetDpiForWindow(hwnd_);
    return dpi ? static_cast<int32_t>(dpi) : 96;
}

bool WinViewHost::EnsureSurface(int32_t width, int32_t height) {
    if (memDc_ && bits_ && surfaceWidth_ >= width && surfaceHeight_ >= height) return true;
    FreeSurface();
    width = std::max(width, 1);
    height = std::max(height, 1);
    // The pixels live in a section so that the per-font contexts can map the same memory.
    const uint64_t bytes = static_cast<uint64_t>(width) * static_cast<uint64_t>(height) * 4;
    section_ = CreateFileMappingW(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE,
                                  static_cast<DWORD>(bytes >> 32), static_cast<DWORD>(bytes), nullptr);
    const BITMAPINFO bi = SurfaceFormat(width, height);
    memDc_ = CreateCompatibleDC(nullptr);
    void* bits = nullptr;
    if (section_) bitmap_ = CreateDIBSection(memDc_, &bi, DIB_RGB_COLORS, &bits, section_, 0);
    if (!memDc_ || !bitmap_ || !bits) {
        FreeSurface();
        return false;
    }
    bits_ = static_cast<uint32_t*>(bits);
    oldBitmap_ = SelectObject(memDc_, bitmap_);
    surfaceWidth_ = width;
    surfaceHeight_ = height;
    // The surface's own context is the first font context; the others are made when a paint needs
    // a second or third font (each maps the pixels once more).
    fontDcs_[0].dc = memDc_;
    return true;
}

bool WinViewHost::MapContext(FontContext& c) {
    const BITMAPINFO bi = SurfaceFormat(surfaceWidth_, surfaceHeight_);
    c.dc = CreateCompatibleDC(nullptr);
    void* view = nullptr;
    c.bitmap = c.dc ? CreateDIBSection(c.dc, &bi, DIB_RGB_COLORS, &view, section_, 0) : nullptr;
    if (!c.dc || !c.bitmap || !view) {
        if (c.bitmap) DeleteObject(c.bitmap);
        if (c.dc) DeleteDC(c.dc);
        c = FontContext{};
        return false;
    }
    c.oldBitmap = SelectObject(c.dc, c.bitmap);
    SetBkMode(c.dc, TRANSPARENT);
    return true;
}

HDC WinViewHost::FontDc(HFONT font) {
    for (FontContext& c : fontDcs_) {
        if (c.dc && c.font == font) {
            c.used = ++fontUses_;
            return c.dc;
        }
    }
    // A context without a font, else a new one, else the least recently used one takes the font.
    FontContext* pick = nullptr;
    for (FontContext& c : fontDcs_) {
        if (c.dc && !c.font) {
            pick = &c;
            break;
        }
    }
    for (FontContext& c : fontDcs_) {
        if (pick) break;
        if (!c.dc && MapContext(c)) pick = &c;
    }
    if (!pick) {
        pick = &fontDcs_[0];
        for (FontContext& c : fontDcs_) {
            if (c.dc && c.used < pick->used) pick = &c;
        }
    }
    const HGDIOBJ previous = SelectObject(pick->dc, font);
    if (!pick->oldFont) pick->oldFont = previous;
    pick->font = font;
    pick->used = ++fontUses_;
    return pick->dc;
}

void WinViewHost::ReleaseFonts() {
    for (FontContext& c : fontDcs_) {
        if (c.oldFont) SelectObject(c.dc, c.oldFont);
        c.oldFont = nullptr;
        c.font = nullptr;
        c.used = 0;
    }
    fontUses_ = 0;
}

void WinViewHost::FreeSurface() {
    ReleaseFonts();
    for (FontContext& c : fontDcs_) {
        if (c.dc != memDc_) {
            if (c.dc && c.oldBitmap) SelectObject(c.dc, c.oldBitmap);
            if (c.bitmap) DeleteObject(c.bitmap);
            if (c.dc) DeleteDC(c.dc);
        }
        c = FontContext{};
    }
    if (memDc_ && oldBitmap_) SelectObject(memDc_, oldBitmap_);
    if (bitmap_) DeleteObject(bitmap_);
    if (memDc_) DeleteDC(memDc_);
    if (section_) CloseHandle(section_);
    memDc_ = nullptr;
    bitmap_ = nullptr;
    oldBitmap_ = nullptr;
    section_ = nullptr;
    bits_ = nullptr;
    surfaceWidth_ = surfaceHeight_ = 0;
}

}  // namespace quill
