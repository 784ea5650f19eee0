#include "edit/quill_window_win.h"

#include <windowsx.h>

#include <algorithm>
#include <string>

#include "edit/access_provider_win.h"
#include "edit/ime_win.h"
#include "edit/key_map.h"
#include "edit/sci_messages.h"
#include "files/code_page.h"

namespace quill {
namespace {

WinViewHost* HostOf(View& view) {
    return static_cast<WinViewHost*>(view.host());
}

uint32_t SystemCaretPeriod() {
    const UINT period = GetCaretBlinkTime();
    return period == 0 ? 530u : static_cast<uint32_t>(period);
}

// Commits a composition in progress before a command, a click or focus loss.
void CompleteComposition(View& view) {
    view.CompleteComposition();
}

void SendFocusNotification(WinViewHost* host, unsigned code) {
    Notification n;
    n.nmhdr.code = code;
    host->Notify(n);
}

// ---- the groups of window messages -----------------------------------------------------------
// Each returns true with *result set when it handled the message; the rest goes to the default
// window handling.

bool WindowMessage(View& view, HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) {
    WinViewHost* host = HostOf(view);
    switch (message) {
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
            break;
        }
        case WM_SIZE:
            view.SetClientSize(LOWORD(lParam), HIWORD(lParam));
            break;
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
            break;
        }
        case WM_PRINTCLIENT: {
            RECT rc{};
            GetClientRect(hwnd, &rc);
            if (wParam) PaintView(view, reinterpret_cast<HDC>(wParam), rc);
            break;
        }
        case WM_ERASEBKGND:
            *result = 1;
            return true;
        case WM_TIMER:
            if (host->TimerTick(static_cast<int>(wParam))) view.OnTimer(static_cast<int>(wParam));
            break;
        case WM_GETDLGCODE:
            *result = DLGC_WANTARROWS | DLGC_WANTTAB | DLGC_WANTALLKEYS | DLGC_HASSETSEL | DLGC_WANTCHARS;
            return true;
        case WM_SETTINGCHANGE:
            view.SetCaretPeriod(SystemCaretPeriod());
            return false;
        case WM_DPICHANGED_AFTERPARENT:
            view.InvalidateMetrics();
            break;
        case WM_DROPFILES:
            // Taken only when the host made the control accept files: the host's to handle.
            *result = SendMessageW(GetParent(hwnd), message, wParam, lParam);
            return true;
        case QM_DELIVERUPDATEUI:
            view.DeliverPostedUpdate();
            break;
        case WM_GETOBJECT:
            return AnswerGetObject(view, hwnd, wParam, lParam, result);
        default:
            return false;
    }
    *result = 0;
    return true;
}

// WM_SETTEXT, WM_GETTEXT and WM_GETTEXTLENGTH: the whole text in UTF-16.
bool TextMessage(View& view, UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) {
    if (message == WM_SETTEXT) {
        *result = 0;
        if (!lParam) return true;
        const std::string text = lumen::WideToUtf8(reinterpret_cast<const wchar_t*>(lParam));
        view.SetText(text.data(), static_cast<int64_t>(text.size()));
        *result = 1;
        return true;
    }
    if (message != WM_GETTEXT && message != WM_GETTEXTLENGTH) return false;
    Document& d = *view.GetDocument();
    const int64_t n = std::min<int64_t>(d.Length(), 0x7FFFFFFF);
    const std::wstring text = lumen::Utf8ToWide(std::string_view(d.RangePointer(0, n), n));
    *result = 0;
    if (message == WM_GETTEXTLENGTH) {
        *result = static_cast<LRESULT>(text.size());
    } else if (lParam && wParam != 0) {
        const size_t count = std::min<size_t>(wParam - 1, text.size());
        auto* out = reinterpret_cast<wchar_t*>(lParam);
        std::copy(text.begin(), text.begin() + static_cast<ptrdiff_t>(count), out);
        out[count] = L'\0';
        *result = static_cast<LRESULT>(count);
    }
    return true;
}

bool KeyboardMessage(View& view, UINT message, WPARAM wParam, LRESULT* result) {
    *result = 0;
    switch (message) {
        case WM_KEYDOWN:
        case WM_SYSKEYDOWN: {
            const uint32_t key = static_cast<uint32_t>(wParam);
            if (key == vk::ProcessKey) return false;  // the input method's
            if (message == WM_SYSKEYDOWN && !TakesSystemKey(key)) return false;
            // One request for the modifier states instead of one per key.
            BYTE keys[256] = {};
            if (!GetKeyboardState(keys)) return false;
            auto down = [&](int k) { return (keys[k] & 0x80) != 0; };
            const unsigned command = MapKey(key, down(VK_SHIFT), down(VK_CONTROL), down(VK_MENU));
            if (command == 0) return false;
            CompleteComposition(view);
            view.ExecuteCommand(command);
            return true;
        }
        case WM_CHAR:
            view.TypeUnit(static_cast<char16_t>(wParam));
            return true;
        case WM_UNICHAR:
            if (wParam == UNICODE_NOCHAR) {
                *result = TRUE;
            } else {
                view.TypeCodePoint(static_cast<char32_t>(wParam));
            }
            return true;
        default:
            return false;
    }
}

bool FocusMessage(View& view, HWND hwnd, UINT message) {
    WinViewHost* host = HostOf(view);
    if (message == WM_SETFOCUS) {
        CreateCaret(hwnd, nullptr, std::max(1, view.CaretWidth()), view.LineHeight());
        host->ForgetSystemCaret();
        view.SetFocused(true);
        int32_t x = 0, y = 0;
        view.PointFromPosition(view.Caret(), &x, &y);
        host->MoveSystemCaret(x, y);
        SendFocusNotification(host, SCN_FOCUSIN);
        return true;
    }
    if (message != WM_KILLFOCUS) return false;
    CompleteComposition(view);
    DestroyCaret();
    host->ForgetSystemCaret();
    view.SetFocused(false);
    if (GetCapture() == hwnd) ReleaseCapture();
    SendFocusNotification(host, SCN_FOCUSOUT);
    return true;
}

// Requests of the system scroll bars.
void VerticalScrollRequest(View& view, HWND hwnd, int code) {
    const int64_t top = view.TopRow();
    const int64_t page = std::max<int64_t>(1, view.LinesOnScreen() - 1);
    SCROLLINFO si{};
    si.cbSize = sizeof(si);
    si.fMask = SIF_TRACKPOS;
    switch (code) {
        case SB_LINEUP:
            return view.ScrollToRow(top - 1);
        case SB_LINEDOWN:
            return view.ScrollToRow(top + 1);
        case SB_PAGEUP:
            return view.ScrollToRow(top - page);
        case SB_PAGEDOWN:
            return view.ScrollToRow(top + page);
        case SB_THUMBTRACK:
        case SB_THUMBPOSITION:
            if (GetScrollInfo(hwnd, SB_VERT, &si)) view.ScrollToRow(si.nTrackPos);
            return;
        case SB_TOP:
            return view.ScrollToRow(0);
        case SB_BOTTOM:
            return view.ScrollToRow(view.MaxTopRow());
        default:
            return;
    }
}

void HorizontalScrollRequest(View& view, HWND hwnd, int code) {
    const int32_t step = 3 * std::max(1, view.TextFonts().averageCharWidth());
    const int32_t page = std::max(
        1, view.ClientWidth() - view.LeftTextMargin() - view.RightTextMargin() - view.MarginsWidth());
    const int32_t x = view.XOffset();
    SCROLLINFO si{};
    si.cbSize = sizeof(si);
    si.fMask = SIF_TRACKPOS;
    switch (code) {
        case SB_LINELEFT:
            return view.SetXOffset(x - step);
        case SB_LINERIGHT:
            return view.SetXOffset(x + step);
        case SB_PAGELEFT:
            return view.SetXOffset(x - page);
        case SB_PAGERIGHT:
            return view.SetXOffset(x + page);
        case SB_THUMBTRACK:
        case SB_THUMBPOSITION:
            if (GetScrollInfo(hwnd, SB_HORZ, &si)) view.SetXOffset(si.nTrackPos);
            return;
        case SB_LEFT:
            return view.SetXOffset(0);
        case SB_RIGHT:
            return view.SetXOffset(static_cast<int32_t>(std::min<int64_t>(view.ScrollWidth(), 0x3FFFFFFF)));
        default:
            return;
    }
}

// A left press in the text: the click series (double and triple clicks) and the selection.
void TextPress(View& view, HWND hwnd, int32_t x, int32_t y, WPARAM wParam) {
    WinViewHost* host = HostOf(view);
    CompleteComposition(view);
    const DWORD now = GetTickCount();
    const int cx = GetSystemMetrics(SM_CXDOUBLECLK) / 2, cy = GetSystemMetrics(SM_CYDOUBLECLK) / 2;
    const bool series = host->clickCount > 0 && std::abs(x - host->lastClick.x) <= cx &&
                        std::abs(y - host->lastClick.y) <= cy &&
                        now - host->lastClickTime <= GetDoubleClickTime();
    host->clickCount = series ? host->clickCount % 3 + 1 : 1;
    host->lastClickTime = now;
    host->lastClick = {x, y};
    const bool shift = (wParam & MK_SHIFT) || (GetKeyState(VK_SHIFT) & 0x8000);
    view.MouseDown(x, y, host->clickCount, shift);
    SetCapture(hwnd);
}

bool MouseMessage(View& view, HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    WinViewHost* host = HostOf(view);
    const int32_t x = GET_X_LPARAM(lParam), y = GET_Y_LPARAM(lParam);
    switch (message) {
        case WM_LBUTTONDOWN:
        case WM_LBUTTONDBLCLK:
            SetFocus(hwnd);
            if (view.OverlayPress(x, y)) {
                SetCapture(hwnd);
            } else {
                TextPress(view, hwnd, x, y, wParam);
            }
            return true;
        case WM_MOUSEMOVE:
            if (view.OverlayDragging()) {
                view.OverlayDragTo(x, y);
            } else if (view.MouseModeNow() != kMouseNone && GetCapture() == hwnd) {
                view.MouseDrag(x, y);
            } else if (view.OverlayHover(x, y) && !host->trackingLeave) {
                TRACKMOUSEEVENT tme{};
                tme.cbSize = sizeof(tme);
                tme.dwFlags = TME_LEAVE;
                tme.hwndTrack = hwnd;
                host->trackingLeave = TrackMouseEvent(&tme) != FALSE;
            }
            return true;
        case WM_MOUSELEAVE:
            host->trackingLeave = false;
            view.OverlayLeave();
            return true;
        case WM_LBUTTONUP:
            // Also after a press whose selection ended early (a document swap): the capture goes.
            view.MouseUp();
            view.OverlayRelease();
            if (GetCapture() == hwnd) ReleaseCapture();
            return true;
        case WM_CAPTURECHANGED:
            view.MouseUp();
            view.OverlayRelease();
            return true;
        case WM_RBUTTONDOWN:
            SetFocus(hwnd);
            CompleteComposition(view);
            view.RightDown(x, y);
            return true;
        case WM_MOUSEWHEEL: {
            const DWORD keys = GET_KEYSTATE_WPARAM(wParam);
            UINT lines = 3;
            if (!SystemParametersInfoW(SPI_GETWHEELSCROLLLINES, 0, &lines, 0)) lines = 3;
            view.Wheel(GET_WHEEL_DELTA_WPARAM(wParam), (keys & MK_CONTROL) != 0, (keys & MK_SHIFT) != 0,
                       lines == WHEEL_PAGESCROLL ? -1 : static_cast<int32_t>(lines));
            return true;
        }
        case WM_MOUSEHWHEEL:
            view.HorizontalWheel(GET_WHEEL_DELTA_WPARAM(wParam));
            return true;
        default:
            return false;
    }
}

LRESULT HandleMessage(View& view, HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if ((message >= kFirstSciMessage && message <= kLastSciMessage) || message == QM_SETHINTTEXT) {
        if (message == SCI_GETDIRECTFUNCTION) return reinterpret_cast<LRESULT>(&QuillDirectFunction);
        if (message == SCI_GETDIRECTPOINTER) return reinterpret_cast<LRESULT>(&view);
        return view.Message(message, wParam, lParam);
    }
    LRESULT result = 0;
    if (ImeMessage(view, hwnd, message, wParam, lParam, &result)) return result;
    if (WindowMessage(view, hwnd, message, wParam, lParam, &result)) return result;
    if (TextMessage(view, message, wParam, lParam, &result)) return result;
    if (KeyboardMessage(view, message, wParam, &result)) return result;
    if (FocusMessage(view, hwnd, message)) return 0;
    if (MouseMessage(view, hwnd, message, wParam, lParam)) return 0;
    switch (message) {
        case WM_VSCROLL:
            VerticalScrollRequest(view, hwnd, LOWORD(wParam));
            return 0;
        case WM_HSCROLL:
            HorizontalScrollRequest(view, hwnd, LOWORD(wParam));
            return 0;
        case WM_SETCURSOR:
            if (LOWORD(lParam) == HTCLIENT) {
                POINT pt{};
                GetCursorPos(&pt);
                ScreenToClient(hwnd, &pt);
                const bool arrow = view.InMargin(pt.x) || view.OverlayAt(pt.x, pt.y) != kOverlayNone;
                SetCursor(LoadCursorW(nullptr, arrow ? IDC_ARROW : IDC_IBEAM));
                return TRUE;
            }
            break;
        default:
            break;
    }
    return DefWindowProcW(hwnd, message, wParam, lParam);
}

// Runs a message through the view; nothing may cross the window procedure, so an exception ends
// in a result of 0.
LRESULT Guarded(View& view, HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    WinViewHost* host = HostOf(view);
    host->EnterMessage();
    LRESULT result = 0;
    try {
        result = HandleMessage(view, hwnd, message, wParam, lParam);
        host->FlushSystemCaret();
    } catch (...) {
        result = 0;
    }
    host->LeaveMessage();
    return result;
}

LRESULT CALLBACK QuillWindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        try {
            View* view = new View(std::make_unique<WinViewHost>(hwnd));
            SetWindowLongPtrW(hwnd, 0, reinterpret_cast<LONG_PTR>(view));
        } catch (...) {
            return FALSE;  // the window is not created
        }
        return DefWindowProcW(hwnd, message, wParam, lParam);
    }
    View* view = ViewFromWindow(hwnd);
    if (message == WM_NCDESTROY) {
        SetWindowLongPtrW(hwnd, 0, 0);
        delete view;
        return DefWindowProcW(hwnd, message, wParam, lParam);
    }
    if (!view) return DefWindowProcW(hwnd, message, wParam, lParam);
    return Guarded(*view, hwnd, message, wParam, lParam);
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

intptr_t QuillDirectFunction(void* view, unsigned message, uintptr_t wParam, intptr_t lParam) {
    auto* v = static_cast<View*>(view);
    if (!v) return 0;
    return Guarded(*v, static_cast<HWND>(v->host()->SystemHandle()), message, wParam, lParam);
}

}  // namespace quill
