#include "edit/quill_window_win.h"

#include <windowsx.h>

#include <algorithm>
#include <climits>
#include <string>

#include "edit/clipboard_win.h"
#include "edit/key_map.h"
#include "edit/sci_messages.h"
#include "files/code_page.h"

namespace quill {
namespace {

LRESULT CALLBACK QuillWindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

WinViewHost* HostOf(View& view) {
    return static_cast<WinViewHost*>(view.host());
}

uint32_t SystemCaretPeriod() {
    const UINT period = GetCaretBlinkTime();
    return period == 0 ? 530u : static_cast<uint32_t>(period);
}

// Overlay bar geometry for the view's current values.
OverlayBar BarOf(View& view, bool vertical) {
    const ScrollValues v = view.VerticalValues();
    const ScrollValues h = view.HorizontalValues();
    const int32_t dpi = HostOf(view)->Dpi();
    return vertical ? ComputeOverlayBar(true, view.ClientWidth(), view.ClientHeight(), v, h.Scrollable(), dpi)
                    : ComputeOverlayBar(false, view.ClientWidth(), view.ClientHeight(), h, false, dpi);
}

void InvalidateStrips(View& view) {
    const int32_t strip = ScaleForDpi(kOverlayStrip, HostOf(view)->Dpi());
    const int32_t w = view.ClientWidth(), h = view.ClientHeight();
    HostOf(view)->InvalidateRect(w - strip, 0, w, h);
    HostOf(view)->InvalidateRect(0, h - strip, w, h);
}

int OverlayAt(View& view, int32_t x, int32_t y) {
    if (!view.OverlayScrollBars()) return kOverlayNone;
    const OverlayBar v = BarOf(view, true);
    if (v.exists && v.strip.Contains(x, y)) return kOverlayVertical;
    const OverlayBar h = BarOf(view, false);
    if (h.exists && h.strip.Contains(x, y)) return kOverlayHorizontal;
    return kOverlayNone;
}

void DragTo(View& view, int bar, int32_t x, int32_t y) {
    WinViewHost* host = HostOf(view);
    const bool vertical = bar == kOverlayVertical;
    const OverlayBar geometry = BarOf(view, vertical);
    if (!geometry.exists) return;
    const ScrollValues values = vertical ? view.VerticalValues() : view.HorizontalValues();
    const int64_t pos = OverlayDragPosition(geometry, values, vertical ? y : x, host->grab);
    if (vertical) {
        view.ScrollToRow(pos);
    } else {
        view.SetXOffset(static_cast<int32_t>(std::min<int64_t>(pos, 0x3FFFFFFF)));
    }
}

void OnScroll(View& view, HWND hwnd, bool vertical, int code) {
    SCROLLINFO si{};
    si.cbSize = sizeof(si);
    si.fMask = SIF_TRACKPOS;
    if (vertical) {
        const int64_t top = view.TopRow();
        const int64_t page = std::max<int64_t>(1, view.LinesOnScreen() - 1);
        switch (code) {
            case SB_LINEUP:
                view.ScrollToRow(top - 1);
                break;
            case SB_LINEDOWN:
                view.ScrollToRow(top + 1);
                break;
            case SB_PAGEUP:
                view.ScrollToRow(top - page);
                break;
            case SB_PAGEDOWN:
                view.ScrollToRow(top + page);
                break;
            case SB_THUMBTRACK:
            case SB_THUMBPOSITION:
                if (GetScrollInfo(hwnd, SB_VERT, &si)) view.ScrollToRow(si.nTrackPos);
                break;
            case SB_TOP:
                view.ScrollToRow(0);
                break;
            case SB_BOTTOM:
                view.ScrollToRow(view.MaxTopRow());
                break;
            default:
                break;
        }
        return;
    }
    const int32_t step = 3 * std::max(1, view.TextFonts().averageCharWidth());
    const int32_t page = std::max(
        1, view.ClientWidth() - view.LeftTextMargin() - view.RightTextMargin() - view.MarginsWidth());
    const int32_t x = view.XOffset();
    switch (code) {
        case SB_LINELEFT:
            view.SetXOffset(x - step);
            break;
        case SB_LINERIGHT:
            view.SetXOffset(x + step);
            break;
        case SB_PAGELEFT:
            view.SetXOffset(x - page);
            break;
        case SB_PAGERIGHT:
            view.SetXOffset(x + page);
            break;
        case SB_THUMBTRACK:
        case SB_THUMBPOSITION:
            if (GetScrollInfo(hwnd, SB_HORZ, &si)) view.SetXOffset(si.nTrackPos);
            break;
        case SB_LEFT:
            view.SetXOffset(0);
            break;
        case SB_RIGHT:
            view.SetXOffset(static_cast<int32_t>(std::min<int64_t>(view.ScrollWidth(), 0x3FFFFFFF)));
            break;
        default:
            break;
    }
}

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

bool KeyDown(int key) {
    return (GetKeyState(key) & 0x8000) != 0;
}

// Ends a composition in progress before a command or a click (the input-method side of the
// control completes it properly; here the shown text is dropped).
void CompleteComposition(View& view) {
    if (view.Composing()) view.SetComposition({}, {}, 0);
}

LRESULT HandleMessage(View& view, HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    WinViewHost* host = HostOf(view);
    host->ForgetInvalidated();
    if ((message >= 2000 && message <= 4999) || message == QM_SETHINTTEXT) {
        if (message == SCI_GETDIRECTFUNCTION) return reinterpret_cast<LRESULT>(&QuillDirectFunction);
        if (message == SCI_GETDIRECTPOINTER) return reinterpret_cast<LRESULT>(&view);
        return view.Message(message, wParam, lParam);
    }
    switch (message) {
        case QM_DELIVERUPDATEUI:
            view.DeliverPostedUpdate();
            return 0;
        case WM_SETTEXT: {
            if (!lParam) return 0;
            const std::string text = lumen::WideToUtf8(reinterpret_cast<const wchar_t*>(lParam));
            view.SetText(text.data(), static_cast<int64_t>(text.size()));
            return 1;
        }
        case WM_GETTEXT:
        case WM_GETTEXTLENGTH: {
            Document& d = *view.GetDocument();
            const int64_t n = std::min<int64_t>(d.Length(), 0x7FFFFFFF);
            const std::wstring text = lumen::Utf8ToWide(std::string_view(d.RangePointer(0, n), n));
            if (message == WM_GETTEXTLENGTH) return static_cast<LRESULT>(text.size());
            if (!lParam || wParam == 0) return 0;
            const size_t count = std::min<size_t>(wParam - 1, text.size());
            auto* out = reinterpret_cast<wchar_t*>(lParam);
            std::copy(text.begin(), text.begin() + static_cast<ptrdiff_t>(count), out);
            out[count] = L'\0';
            return static_cast<LRESULT>(count);
        }
        case WM_KEYDOWN:
        case WM_SYSKEYDOWN: {
            const uint32_t key = static_cast<uint32_t>(wParam);
            if (key == vk::ProcessKey || key == vk::Hanja) break;  // the input method's keys
            if (message == WM_SYSKEYDOWN && !TakesSystemKey(key)) break;
            // One request for the modifier states instead of one per key.
            BYTE keys[256] = {};
            if (!GetKeyboardState(keys)) break;
            auto down = [&](int k) { return (keys[k] & 0x80) != 0; };
            const unsigned command = MapKey(key, down(VK_SHIFT), down(VK_CONTROL), down(VK_MENU));
            if (command == 0) break;
            CompleteComposition(view);
            view.ExecuteCommand(command);
            return 0;
        }
        case WM_CHAR:
            view.TypeUnit(static_cast<char16_t>(wParam));
            return 0;
        case WM_UNICHAR:
            if (wParam == UNICODE_NOCHAR) return TRUE;
            view.TypeCodePoint(static_cast<char32_t>(wParam));
            return 0;
        case WM_RBUTTONDOWN:
            SetFocus(hwnd);
            CompleteComposition(view);
            view.RightDown(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
            return 0;
        case WM_MOUSEWHEEL: {
            const int32_t delta = GET_WHEEL_DELTA_WPARAM(wParam);
            const DWORD keys = GET_KEYSTATE_WPARAM(wParam);
            UINT lines = 3;
            if (!SystemParametersInfoW(SPI_GETWHEELSCROLLLINES, 0, &lines, 0)) lines = 3;
            view.Wheel(delta, (keys & MK_CONTROL) != 0, (keys & MK_SHIFT) != 0,
                       lines == WHEEL_PAGESCROLL ? -1 : static_cast<int32_t>(lines));
            return 0;
        }
        case WM_MOUSEHWHEEL:
            view.HorizontalWheel(GET_WHEEL_DELTA_WPARAM(wParam));
            return 0;
        case WM_CREATE: {
            const LONG_PTR style = GetWindowLongPtrW(hwnd, GWL_STYLE);
            view.SetOverlayScrollBars((style & (WS_VSCROLL | WS_HSCROLL)) == 0);
            Style numbers = view.GetStyle(kStyleLineNumber);
            numbers.back = GetSysColor(COLOR_BTNFACE);
            view.SetStyle(kStyleLineNumber, numbers);
            view.SetCaretPeriod(SystemCaretPeriod());
            RECT rc{};
            GetClientRect(hwnd, &rc);
            view.SetClientSize(rc.right, rc.bottom);
            return 0;
        }
        case WM_SIZE:
            view.SetClientSize(LOWORD(lParam), HIWORD(lParam));
            return 0;
        case WM_PAINT: {
            view.DeliverUpdate();
            // Bars made stale by the edits join this paint's region instead of causing a second one.
            if (view.ScrollBarsStale()) view.UpdateScrollBars();
            // The region, not just its bounding box: a typed row plus a scroll-bar strip would
            // otherwise repaint everything between them.
            HRGN region = host->TakeRectangularUpdate() ? nullptr : CreateRectRgn(0, 0, 0, 0);
            if (region && GetUpdateRgn(hwnd, region, FALSE) == ERROR) {
                DeleteObject(region);
                region = nullptr;
            }
            PAINTSTRUCT ps;
            HDC dc = BeginPaint(hwnd, &ps);
            host->ForgetInvalidated();
            if (dc) PaintView(view, dc, ps.rcPaint, region);
            EndPaint(hwnd, &ps);
            if (region) DeleteObject(region);
            return 0;
        }
        case WM_PRINTCLIENT: {
            RECT rc{};
            GetClientRect(hwnd, &rc);
            if (wParam) PaintView(view, reinterpret_cast<HDC>(wParam), rc);
            return 0;
        }
        case WM_ERASEBKGND:
            return 1;
        case WM_TIMER:
            if (host->TimerTick(static_cast<int>(wParam))) view.OnTimer(static_cast<int>(wParam));
            return 0;
        case WM_VSCROLL:
        case WM_HSCROLL:
            OnScroll(view, hwnd, message == WM_VSCROLL, LOWORD(wParam));
            return 0;
        case WM_SETFOCUS: {
            CreateCaret(hwnd, nullptr, std::max(1, view.CaretWidth()), view.LineHeight());
            host->ForgetSystemCaret();
            view.SetFocused(true);
            int32_t x = 0, y = 0;
            view.PointFromPosition(view.Caret(), &x, &y);
            host->MoveSystemCaret(x, y);
            Notification n;
            n.nmhdr.code = SCN_FOCUSIN;
            host->Notify(n);
            return 0;
        }
        case WM_KILLFOCUS: {
            CompleteComposition(view);
            DestroyCaret();
            host->ForgetSystemCaret();
            view.SetFocused(false);
            if (GetCapture() == hwnd) ReleaseCapture();
            Notification n;
            n.nmhdr.code = SCN_FOCUSOUT;
            host->Notify(n);
            return 0;
        }
        case WM_GETDLGCODE:
            return 0x8F;
        case WM_SETTINGCHANGE:
            view.SetCaretPeriod(SystemCaretPeriod());
            break;
        case WM_DPICHANGED_AFTERPARENT:
            view.InvalidateMetrics();
            view.Repaint();
            return 0;
        case WM_DROPFILES:
            return SendMessageW(GetParent(hwnd), message, wParam, lParam);
        case WM_MOUSEMOVE: {
            const int32_t x = GET_X_LPARAM(lParam), y = GET_Y_LPARAM(lParam);
            if (host->drag != kOverlayNone) {
                DragTo(view, host->drag, x, y);
                return 0;
            }
            if (view.MouseModeNow() != kMouseNone && GetCapture() == hwnd) {
                view.MouseDrag(x, y);
                return 0;
            }
            const int over = OverlayAt(view, x, y);
            if (over != host->hover) {
                host->hover = over;
                InvalidateStrips(view);
            }
            if (over != kOverlayNone && !host->trackingLeave) {
                TRACKMOUSEEVENT tme{};
                tme.cbSize = sizeof(tme);
                tme.dwFlags = TME_LEAVE;
                tme.hwndTrack = hwnd;
                host->trackingLeave = TrackMouseEvent(&tme) != FALSE;
            }
            break;
        }
        case WM_MOUSELEAVE:
            host->trackingLeave = false;
            if (host->hover != kOverlayNone) {
                host->hover = kOverlayNone;
                InvalidateStrips(view);
            }
            return 0;
        case WM_LBUTTONDOWN:
        case WM_LBUTTONDBLCLK: {
            const int32_t x = GET_X_LPARAM(lParam), y = GET_Y_LPARAM(lParam);
            const int bar = OverlayAt(view, x, y);
            SetFocus(hwnd);
            if (bar == kOverlayNone) {
                CompleteComposition(view);
                const DWORD now = GetTickCount();
                const int cx = GetSystemMetrics(SM_CXDOUBLECLK) / 2,
                          cy = GetSystemMetrics(SM_CYDOUBLECLK) / 2;
                const bool series = host->clickCount > 0 && std::abs(x - host->lastClick.x) <= cx &&
                                    std::abs(y - host->lastClick.y) <= cy &&
                                    now - host->lastClickTime <= GetDoubleClickTime();
                host->clickCount = series ? host->clickCount % 3 + 1 : 1;
                host->lastClickTime = now;
                host->lastClick = {x, y};
                view.MouseDown(x, y, host->clickCount, KeyDown(VK_SHIFT) || (wParam & MK_SHIFT));
                SetCapture(hwnd);
                return 0;
            }
            const bool vertical = bar == kOverlayVertical;
            const OverlayBar geometry = BarOf(view, vertical);
            const int32_t along = vertical ? y : x;
            const int32_t thumbStart = geometry.trackStart + geometry.thumbOffset;
            host->drag = bar;
            SetCapture(hwnd);
            if (along >= thumbStart && along < thumbStart + geometry.thumbLength) {
                host->grab = along - thumbStart;
            } else {
                host->grab = geometry.thumbLength / 2;
                DragTo(view, bar, x, y);
            }
            InvalidateStrips(view);
            return 0;
        }
        case WM_LBUTTONUP:
            if (view.MouseModeNow() != kMouseNone || (host->drag == kOverlayNone && GetCapture() == hwnd)) {
                // Also a press whose selection ended early (the document was swapped): the capture goes.
                view.MouseUp();
                if (GetCapture() == hwnd) ReleaseCapture();
                return 0;
            }
            if (host->drag != kOverlayNone) {
                host->drag = kOverlayNone;
                ReleaseCapture();
                InvalidateStrips(view);
                return 0;
            }
            break;
        case WM_CAPTURECHANGED:
            view.MouseUp();
            if (host->drag != kOverlayNone) {
                host->drag = kOverlayNone;
                InvalidateStrips(view);
            }
            return 0;
        case WM_SETCURSOR:
            if (LOWORD(lParam) == HTCLIENT) {
                POINT pt{};
                GetCursorPos(&pt);
                ScreenToClient(hwnd, &pt);
                const bool arrow = view.InMargin(pt.x) || OverlayAt(view, pt.x, pt.y) != kOverlayNone;
                SetCursor(LoadCursorW(nullptr, arrow ? IDC_ARROW : IDC_IBEAM));
                return TRUE;
            }
            break;
        default:
            break;
    }
    return DefWindowProcW(hwnd, message, wParam, lParam);
}

LRESULT CALLBACK QuillWindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        View* view = new View(std::make_unique<WinViewHost>(hwnd));
        SetWindowLongPtrW(hwnd, 0, reinterpret_cast<LONG_PTR>(view));
        return DefWindowProcW(hwnd, message, wParam, lParam);
    }
    View* view = ViewFromWindow(hwnd);
    if (message == WM_NCDESTROY) {
        SetWindowLongPtrW(hwnd, 0, 0);
        delete view;
        return DefWindowProcW(hwnd, message, wParam, lParam);
    }
    if (!view) return DefWindowProcW(hwnd, message, wParam, lParam);
    try {
        const LRESULT result = HandleMessage(*view, hwnd, message, wParam, lParam);
        HostOf(*view)->FlushSystemCaret();
        return result;
    } catch (...) {
        return 0;  // nothing may cross the window procedure
    }
}

}  // namespace

bool RegisterQuillEditClass(HINSTANCE instance) {
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof(wc);
    wc.style = CS_GLOBALCLASS | CS_DBLCLKS;
    wc.lpfnWndProc = QuillWindowProc;
    wc.cbWndExtra = sizeof(void*);
    wc.hInstance = instance;
    wc.hCursor = LoadCursorW(nullptr, IDC_IBEAM);
    wc.lpszClassName = kQuillEditClass;
    if (RegisterClassExW(&wc)) return true;
    return GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
}

View* ViewFromWindow(HWND hwnd) {
    wchar_t name[16] = {};
    if (!hwnd || !GetClassNameW(hwnd, name, 16) || lstrcmpW(name, kQuillEditClass) != 0) return nullptr;
    return reinterpret_cast<View*>(GetWindowLongPtrW(hwnd, 0));
}

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
        ForgetInvalidated();  // the parent may have painted or validated the window
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

intptr_t QuillDirectFunction(void* view, unsigned message, uintptr_t wParam, intptr_t lParam) {
    auto* v = static_cast<View*>(view);
    if (!v) return 0;
    HWND hwnd = static_cast<HWND>(v->host()->SystemHandle());
    try {
        const LRESULT result = HandleMessage(*v, hwnd, message, wParam, lParam);
        HostOf(*v)->FlushSystemCaret();
        return result;
    } catch (...) {
        return 0;
    }
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
