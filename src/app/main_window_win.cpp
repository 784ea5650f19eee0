// The main window's procedure: a router from each message to one small handler. The bands' pointer
// handling and painting are in title_band_win.cpp and status_band_win.cpp, the tab verbs in
// tabs_win.cpp, opening files in files/open_files_win.cpp.
#include "app/main_window.h"

#include <dwmapi.h>
#include <shellapi.h>
#include <windowsx.h>

#include <algorithm>
#include <cstdlib>
#include <cwchar>

#include "app/accelerators.h"
#include "app/bands.h"
#include "app/closing.h"
#include "app/commands.h"
#include "app/edit_step.h"
#include "app/editor_calls.h"
#include "app/hand_over.h"
#include "app/menus.h"
#include "app/session_restore.h"
#include "app/status_text.h"
#include "app/startup.h"
#include "app/tabs.h"
#include "app/theme_apply.h"
#include "edit/quill_window_win.h"
#include "edit/sci_messages.h"
#include "files/open_files.h"
#include "selftest/perf_test.h"
#include "selftest/self_test.h"
#include "tools/find_card.h"
#include "files/system_library_win.h"

namespace lumen {

using namespace quill;

namespace {

constexpr DWORD kDwmTransitionsForceDisabled = 3;
constexpr int32_t kFocusColumn = 880;  // the text column's width in focus mode, at 96 DPI
constexpr int32_t kDefaultTextMargin = 18;

App* AppOf(HWND hwnd) {
    return reinterpret_cast<App*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
}

bool Meets(const RECT& a, const BandRect& b) {
    return !b.Empty() && a.left < b.right && b.left < a.right && a.top < b.bottom && b.top < a.bottom;
}

RECT ToRect(const BandRect& b) {
    return RECT{b.left, b.top, b.right, b.bottom};
}

// The width of a status text, measured only when the text changed since the last time.
int32_t Measured(App& app, MeasuredText& m, std::wstring_view text) {
    if (m.width < 0 || m.text != text) {
        m.text.assign(text);
        m.width = TextWidth(app, app.fonts.smallFont, text);
    }
    return m.width;
}

StatusWidths MeasureStatus(App& app) {
    StatusState& s = app.status;
    StatusWidths w;
    w.position = Measured(app, s.measured[0], s.positionText);
    w.count = s.countText.empty() ? -1 : Measured(app, s.measured[1], s.countText);
    w.zoom = Measured(app, s.measured[2], ZoomText(app.settings.size, app.settings.zoom));
    const Tab* tab = app.tabs.Active();
    w.eol = Measured(app, s.measured[3], EolDisplayName(tab ? tab->eol : 0));
    w.encoding = Measured(app, s.measured[4], EncodingDisplayName(tab ? tab->encoding : 0));
    if (app.settings.autosave && tab && !tab->path.empty())
        w.autosave = Measured(app, s.measured[5], IsUnsaved(*tab) ? L"자동 저장 중" : L"자동 저장됨");
    return w;
}

// ---- creation -----------------------------------------------------------------------------------

void SetUpEditor(App& app) {
    const Settings& s = app.settings;
    // Set-up messages the control ignores (code page, input-method interaction, popup, multiple
    // selection, layout cache, scroll-width tracking, key assignments, drawing technology) are left out.
    Ed(app, SCI_SETMARGINWIDTHN, 1, 0);
    Ed(app, SCI_SETMARGINTYPEN, 0, 1);
    Ed(app, SCI_SETSCROLLWIDTH, 1);
    Ed(app, SCI_SETTABWIDTH, 4);
    Ed(app, SCI_SETMODEVENTMASK, SC_MOD_INSERTTEXT | SC_MOD_DELETETEXT);
    Ed(app, SCI_SETWRAPMODE, s.wrap ? SC_WRAP_WORD : SC_WRAP_NONE);
    Ed(app, SCI_SETHSCROLLBAR, s.wrap ? 0 : 1);
    Ed(app, SCI_SETZOOM, static_cast<uintptr_t>(s.zoom));
    // Indicator 8 marks find matches: a rounded box under the text.
    constexpr int kFindIndicator = 8, kRoundBox = 7;
    Ed(app, SCI_INDICSETSTYLE, kFindIndicator, kRoundBox);
    Ed(app, SCI_INDICSETUNDER, kFindIndicator, 1);
    Ed(app, SCI_INDICSETALPHA, kFindIndicator, 70);
    Ed(app, SCI_INDICSETOUTLINEALPHA, kFindIndicator, 150);
}

bool OnCreate(App& app, HWND hwnd) {
    RECT client{};
    GetClientRect(hwnd, &client);
    app.chrome.clientWidth = client.right;
    app.chrome.clientHeight = client.bottom;
    app.dpi = GetDpiForWindow(hwnd);
    if (app.dpi == 0) app.dpi = 96;
    app.fonts = CreateUiFonts(static_cast<int32_t>(app.dpi));
    RecordTimeMark();

    app.editor = CreateWindowExW(0, kQuillEditClass, L"", WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS, 0, 0, 10,
                                 10, hwnd, reinterpret_cast<HMENU>(static_cast<INT_PTR>(kEditorControlId)),
                                 app.instance, nullptr);
    if (!app.editor) return false;
    app.editorFn = reinterpret_cast<EditorFunction>(SendMessageW(app.editor, SCI_GETDIRECTFUNCTION, 0, 0));
    app.editorPtr = reinterpret_cast<void*>(SendMessageW(app.editor, SCI_GETDIRECTPOINTER, 0, 0));
    if (!app.editorFn || !app.editorPtr) return false;
    RecordTimeMark();

    SetUpEditor(app);
    if (!app.accel) app.accel = CreateAccelerators();
    RecordTimeMark();
    ApplyTheme(app);
    Ed(app, QM_SETHINTTEXT, 0, app.settings.hint ? L"여기에 입력하세요" : nullptr);
    RecordTimeMark();

    // The session's tabs come first, the files of the command line after them.
    app.backupsAccountedFor = RestoreSession(app);
    const int remembered = app.tabs.active;
    app.tabs.active = -1;
    if (!app.startupFiles.empty()) OpenFiles(app, app.startupFiles);
    if (!app.tabs.Active()) {
        if (app.tabs.Count() > 0) {
            ActivateTab(app, std::clamp(remembered, 0, app.tabs.Count() - 1));
        } else {
            NewTab(app);
        }
    }
    RecordTimeMark();
    Layout(app);
    RecordTimeMark();
    return true;
}

void ReleaseTabDocuments(App& app) {
    if (!app.editorFn) return;
    for (auto& tab : app.tabs.tabs) {
        if (tab->doc) Ed(app, SCI_RELEASEDOCUMENT, 0, tab->doc);
        tab->doc = nullptr;
    }
}

// ---- frame --------------------------------------------------------------------------------------

struct FrameSize {
    int32_t side = 0, bottom = 0;  // F and G
};

FrameSize FrameOf(HWND hwnd) {
    const UINT dpi = GetDpiForWindow(hwnd);
    const int pad = GetSystemMetricsForDpi(SM_CXPADDEDBORDER, dpi);
    return {pad + GetSystemMetricsForDpi(SM_CXSIZEFRAME, dpi),
            pad + GetSystemMetricsForDpi(SM_CYSIZEFRAME, dpi)};
}

LRESULT OnNcCalcSize(App& app, HWND hwnd, WPARAM wParam, LPARAM lParam) {
    if (app.focusMode) return 0;
    RECT* r =
        wParam ? &reinterpret_cast<NCCALCSIZE_PARAMS*>(lParam)->rgrc[0] : reinterpret_cast<RECT*>(lParam);
    const FrameSize f = FrameOf(hwnd);
    r->left += f.side;
    r->right -= f.side;
    r->bottom -= f.bottom;
    // The title band is client area; only a maximized window, whose frame lies off the monitor,
    // loses its top frame as well.
    if (IsZoomed(hwnd)) r->top += f.bottom;
    return 0;
}

LRESULT OnNcHitTest(App& app, HWND hwnd, WPARAM wParam, LPARAM lParam) {
    if (app.focusMode) return HTCLIENT;
    const LRESULT hit = DefWindowProcW(hwnd, WM_NCHITTEST, wParam, lParam);
    if (hit != HTCLIENT) return hit;
    POINT p{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
    ScreenToClient(hwnd, &p);
    const BandLayout& l = app.chrome.layout;
    // Caption buttons answer as the system's own, so snap layouts and their tooltips work.
    if (l.close.Contains(p.x, p.y)) return HTCLOSE;
    if (l.maximize.Contains(p.x, p.y)) return HTMAXBUTTON;
    if (l.minimize.Contains(p.x, p.y)) return HTMINBUTTON;
    const int32_t g = FrameOf(hwnd).bottom;
    if (!IsZoomed(hwnd) && p.y < g) {
        if (p.x < 2 * g) return HTTOPLEFT;
        if (p.x >= l.width - 2 * g) return HTTOPRIGHT;
        return HTTOP;
    }
    if (p.y >= l.titleBand.bottom) return HTCLIENT;
    return HitTest(l, p.x, p.y).part != kHitNothing ? HTCLIENT : HTCAPTION;
}

int32_t CaptionPart(WPARAM hit) {
    switch (hit) {
        case HTMINBUTTON:
            return kHitMinimize;
        case HTMAXBUTTON:
            return kHitMaximize;
        case HTCLOSE:
            return kHitClose;
        default:
            return kHitNothing;
    }
}

LRESULT OnNcMouseMove(App& app, HWND hwnd, WPARAM wParam, LPARAM lParam) {
    const int32_t part = CaptionPart(wParam);
    if (part != app.chrome.captionHover) {
        app.chrome.captionHover = part;
        RepaintBands(app, kBandTitle);
    }
    if (part != kHitNothing && !app.chrome.trackingNonClient) {
        TRACKMOUSEEVENT tme{sizeof(tme), TME_LEAVE | TME_NONCLIENT, hwnd, 0};
        app.chrome.trackingNonClient = TrackMouseEvent(&tme) != FALSE;
    }
    return DefWindowProcW(hwnd, WM_NCMOUSEMOVE, wParam, lParam);
}

LRESULT OnNcLeftDown(App& app, HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    HideTooltip(app);
    const int32_t part = CaptionPart(wParam);
    if (part == kHitNothing) return DefWindowProcW(hwnd, message, wParam, lParam);
    app.chrome.captionPressed = part;
    RepaintBands(app, kBandTitle);
    return 0;
}

LRESULT OnNcLeftUp(App& app, HWND hwnd, WPARAM wParam, LPARAM lParam) {
    const int32_t part = CaptionPart(wParam);
    if (part == kHitNothing) {
        app.chrome.captionPressed = kHitNothing;
        return DefWindowProcW(hwnd, WM_NCLBUTTONUP, wParam, lParam);
    }
    const bool chosen = part == app.chrome.captionPressed;
    app.chrome.captionPressed = kHitNothing;
    app.chrome.captionHover = kHitNothing;
    RepaintBands(app, kBandTitle);
    if (!chosen) return 0;
    if (part == kHitMinimize) {
        ShowWindow(hwnd, SW_MINIMIZE);
    } else if (part == kHitMaximize) {
        ShowWindow(hwnd, IsZoomed(hwnd) ? SW_RESTORE : SW_MAXIMIZE);
    } else {
        PostMessageW(hwnd, WM_CLOSE, 0, 0);
    }
    return 0;
}

LRESULT OnNcRightUp(HWND hwnd, WPARAM wParam, LPARAM lParam) {
    if (wParam != HTCAPTION) return DefWindowProcW(hwnd, WM_NCRBUTTONUP, wParam, lParam);
    HMENU menu = GetSystemMenu(hwnd, FALSE);
    if (!menu) return 0;
    const bool zoomed = IsZoomed(hwnd);
    auto enable = [&](UINT item, bool on) {
        EnableMenuItem(menu, item, MF_BYCOMMAND | (on ? MF_ENABLED : MF_GRAYED));
    };
    enable(SC_RESTORE, zoomed);
    enable(SC_MOVE, !zoomed);
    enable(SC_SIZE, !zoomed);
    enable(SC_MAXIMIZE, !zoomed);
    const UINT command = TrackPopupMenu(menu, TPM_RETURNCMD | TPM_RIGHTBUTTON, GET_X_LPARAM(lParam),
                                        GET_Y_LPARAM(lParam), 0, hwnd, nullptr);
    if (command) PostMessageW(hwnd, WM_SYSCOMMAND, command, 0);
    return 0;
}

LRESULT OnNcActivate(App& app, HWND hwnd, WPARAM wParam) {
    app.chrome.windowActive = wParam != FALSE;
    RepaintBands(app, kBandTitle);
    if (!wParam) HideTooltip(app);
    // -1: the default handling without painting a frame of its own.
    return DefWindowProcW(hwnd, WM_NCACTIVATE, wParam, -1);
}

// The default handling of a new title paints the caption this window draws itself, which costs a
// millisecond and more on every tab switch; without the caption bits for the moment it only keeps
// the text (for the taskbar and screen readers).
LRESULT OnSetText(HWND hwnd, WPARAM wParam, LPARAM lParam) {
    const LONG_PTR style = GetWindowLongPtrW(hwnd, GWL_STYLE);
    if ((style & WS_CAPTION) != WS_CAPTION) return DefWindowProcW(hwnd, WM_SETTEXT, wParam, lParam);
    SetWindowLongPtrW(hwnd, GWL_STYLE, style & ~WS_DLGFRAME);
    const LRESULT result = DefWindowProcW(hwnd, WM_SETTEXT, wParam, lParam);
    SetWindowLongPtrW(hwnd, GWL_STYLE, style);
    return result;
}

// ---- activation, size, paint ----------------------------------------------------------------------

void FocusChoice(App& app) {
    if (app.lastFocus && IsWindow(app.lastFocus) && IsWindowVisible(app.lastFocus)) {
        SetFocus(app.lastFocus);
    } else {
        FocusEditor(app);
    }
}

LRESULT OnActivate(App& app, HWND hwnd, WPARAM wParam) {
    if (LOWORD(wParam) == WA_INACTIVE) {
        HWND focused = GetFocus();
        if (focused && IsChild(hwnd, focused)) app.lastFocus = focused;
    } else if (!HIWORD(wParam) && !app.firstPaintPending) {
        FocusChoice(app);
    }
    return 0;
}

void StoreWindowRect(App& app, HWND hwnd) {
    if (app.focusMode || IsZoomed(hwnd) || IsIconic(hwnd)) return;
    RECT r{};
    if (GetWindowRect(hwnd, &r)) app.settings.rect = {r.left, r.top, r.right, r.bottom};
    HideTooltip(app);
}

void OnSize(App& app, HWND hwnd, WPARAM type, LPARAM size) {
    if (type == SIZE_MINIMIZED) {
        HideTooltip(app);
        return;
    }
    app.chrome.clientWidth = LOWORD(size);
    app.chrome.clientHeight = HIWORD(size);
    Layout(app);
    ScrollActiveTabIntoView(app);
    RepaintAll(app);
    StoreWindowRect(app, hwnd);
}

void OnPaint(App& app, HWND hwnd) {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(hwnd, &ps);
    app.chrome.invalidBands = 0;
    const BandLayout& l = app.chrome.layout;
    if (dc && ui::PrepareSurface(app.surface, std::max(l.width, 1), std::max(l.height, 1))) {
        // Each band is drawn and copied on its own: the bounding box of the title and status bands
        // would be the whole window.
        auto present = [&](const RECT& band) {
            RECT area;
            if (IntersectRect(&area, &band, &ps.rcPaint)) ui::PresentSurface(app.surface, dc, area);
        };
        if (!app.focusMode && Meets(ps.rcPaint, l.titleBand)) {
            PaintTitleBand(app);
            present(ToRect(l.titleBand));
        }
        const RECT gap{0, l.titleBand.bottom, l.width, l.editor.top};
        ui::FillRect(app.surface, gap, app.palette.editorBack);
        present(gap);
        if (!app.focusMode && Meets(ps.rcPaint, l.statusBand)) {
            PaintStatusBand(app);
            present(ToRect(l.statusBand));
        }
    }
    EndPaint(hwnd, &ps);
    if (app.firstPaintPending) {
        RecordTimeMark();
        PostMessageW(hwnd, WMU_FIRST_PAINT, 0, 0);
    }
}

void OnDpiChanged(App& app, HWND hwnd, WPARAM wParam, LPARAM lParam) {
    app.dpi = HIWORD(wParam);
    app.fonts = CreateUiFonts(static_cast<int32_t>(app.dpi));
    for (MeasuredText& m : app.status.measured)
        m.width = -1;
    const RECT* r = reinterpret_cast<const RECT*>(lParam);
    SetWindowPos(hwnd, nullptr, r->left, r->top, r->right - r->left, r->bottom - r->top,
                 SWP_NOZORDER | SWP_NOACTIVATE);
    UpdateEditorMargins(app);
    Layout(app);
    RepaintAll(app);
}

void OnThemeChange(App& app) {
    ResolveTheme(app);
    ApplyTheme(app);
}

bool NamesImmersiveColorSet(LPARAM lParam) {
    const auto* name = reinterpret_cast<const wchar_t*>(lParam);
    return name && std::wcscmp(name, L"ImmersiveColorSet") == 0;
}

// ---- timers -----------------------------------------------------------------------------------------

void OnTimer(App& app, HWND hwnd, UINT_PTR id) {
    const quill::TimerRestarts::Tick tick = app.timers.OnTick(static_cast<int>(id), GetTickCount());
    if (tick.rearm) SetTimer(hwnd, id, tick.rearm, nullptr);
    if (!tick.deliver) return;
    StopTimer(app, static_cast<TimerId>(id));
    switch (id) {
        case kTimerEdit:
            OnEditTimer(app);
            break;
        case kTimerRecount:
            RefreshCounts(app);
            break;
        case kTimerFindRefresh:
            OnFindRefreshTimer(app);
            break;
        case kTimerStatusMessage:
            app.status.statusMessage.clear();
            UpdateBandLayout(app);
            RepaintBands(app, kBandStatus);
            break;
        case kTimerTooltip:
            ShowTooltip(app);
            break;
        case kTimerFocusNotice:
            ui::HideTip(app.notice);
            break;
    }
}

// ---- editor notifications ---------------------------------------------------------------------------

void AutoIndent(App& app, const Notification& n) {
    const Tab* tab = app.tabs.Active();
    const bool lineBreak = n.ch == '\n' || (n.ch == '\r' && tab->eol == static_cast<uint32_t>(EolStyle::Cr));
    if (!app.settings.autoindent || !lineBreak || Ed(app, SCI_GETSELECTIONS) != 1) return;
    const int64_t line = Ed(app, SCI_LINEFROMPOSITION, static_cast<uintptr_t>(Ed(app, SCI_GETCURRENTPOS)));
    if (line <= 0) return;
    const intptr_t indent = Ed(app, SCI_GETLINEINDENTATION, static_cast<uintptr_t>(line - 1));
    if (indent < 1) return;
    Ed(app, SCI_SETLINEINDENTATION, static_cast<uintptr_t>(line), indent);
    const intptr_t at = Ed(app, SCI_GETLINEINDENTPOSITION, static_cast<uintptr_t>(line));
    Ed(app, SCI_SETSEL, static_cast<uintptr_t>(at), at);
}

void OnZoom(App& app) {
    const int32_t zoom = static_cast<int32_t>(Ed(app, SCI_GETZOOM));
    const int32_t least = 4 - static_cast<int32_t>(app.settings.size);
    if (zoom >= least && zoom <= 40) {
        app.settings.zoom = zoom;
        UpdateBandLayout(app);
        RepaintBands(app, kBandStatus);
        UpdateLineNumberWidth(app);
    } else {
        Ed(app, SCI_SETZOOM, static_cast<uintptr_t>(std::clamp(zoom, least, 40)));
    }
}

LRESULT OnNotify(App& app, HWND hwnd, WPARAM wParam, LPARAM lParam) {
    const auto* n = reinterpret_cast<const Notification*>(lParam);
    if (!n || n->nmhdr.hwndFrom != app.editor) return DefWindowProcW(hwnd, WM_NOTIFY, wParam, lParam);
    if (!app.tabs.Active()) return 0;
    switch (n->nmhdr.code) {
        case SCN_CHARADDED:
            AutoIndent(app, *n);
            break;
        case SCN_SAVEPOINTREACHED:
        case SCN_SAVEPOINTLEFT:
            OnSavePoint(app, n->nmhdr.code == SCN_SAVEPOINTREACHED);
            break;
        case SCN_UPDATEUI:
            if (n->updated & (SC_UPDATE_CONTENT | SC_UPDATE_SELECTION)) RefreshPosition(app, true);
            break;
        case SCN_MODIFIED:
            if (n->modificationType & (SC_MOD_INSERTTEXT | SC_MOD_DELETETEXT)) OnTextModified(app, *n);
            break;
        case SCN_ZOOM:
            OnZoom(app);
            break;
        case SCN_FOCUSIN:
            app.lastFocus = app.editor;
            break;
    }
    return 0;
}

// ---- commands and the edit menu ------------------------------------------------------------------

LRESULT OnCommand(App& app, HWND hwnd, WPARAM wParam, LPARAM lParam) {
    // Menus and accelerators send no control handle.
    if (lParam != 0) return DefWindowProcW(hwnd, WM_COMMAND, wParam, lParam);
    DispatchCommand(app, LOWORD(wParam));
    return 0;
}

LRESULT OnContextMenu(App& app, HWND hwnd, WPARAM wParam, LPARAM lParam) {
    if (reinterpret_cast<HWND>(wParam) != app.editor)
        return DefWindowProcW(hwnd, WM_CONTEXTMENU, wParam, lParam);
    POINT at{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
    if (at.x == -1 && at.y == -1) {
        // From the keyboard: under the caret's line.
        const intptr_t caret = Ed(app, SCI_GETCURRENTPOS);
        at.x = static_cast<LONG>(Ed(app, SCI_POINTXFROMPOSITION, 0, caret));
        at.y = static_cast<LONG>(Ed(app, SCI_POINTYFROMPOSITION, 0, caret) + Ed(app, SCI_TEXTHEIGHT, 0));
        ClientToScreen(app.editor, &at);
    }
    ShowEditMenu(app, at);
    return 0;
}

// ---- files from outside: hand-over and drop --------------------------------------------------------

LRESULT OnCopyData(App& app, HWND hwnd, WPARAM wParam, LPARAM lParam) {
    const auto* data = reinterpret_cast<const COPYDATASTRUCT*>(lParam);
    if (!data || data->dwData != kHandOverMagic) return DefWindowProcW(hwnd, WM_COPYDATA, wParam, lParam);
    // The work is deferred so that the sending process is released at once.
    app.pendingOpens.push_back(DecodeHandOver(data->lpData, data->cbData));
    PostMessageW(hwnd, WMU_OPEN_PENDING, 0, 0);
    return TRUE;
}

void OpenDroppedFiles(App& app, HDROP drop) {
    std::vector<std::wstring> paths;
    static const auto dragQueryFile =
        SystemFunction<decltype(&DragQueryFileW)>(L"shell32.dll", "DragQueryFileW");
    if (!dragQueryFile) return;
    const UINT count = dragQueryFile(drop, 0xFFFFFFFF, nullptr, 0);
    for (UINT i = 0; i < count; ++i) {
        const UINT length = dragQueryFile(drop, i, nullptr, 0);
        std::wstring path(length + 1, L'\0');
        path.resize(dragQueryFile(drop, i, path.data(), length + 1));
        if (!path.empty()) paths.push_back(std::move(path));
    }
    if (!paths.empty()) OpenFiles(app, paths);
    SetForegroundWindow(app.hwnd);
}

void FinishDrop(HDROP drop) {
    static const auto dragFinish = SystemFunction<decltype(&DragFinish)>(L"shell32.dll", "DragFinish");
    if (dragFinish) dragFinish(drop);
}

bool IsEmptyMemo(App& app) {
    const Tab* tab = app.tabs.Active();
    return tab && tab->path.empty() && EditorLength(app) == 0;
}

void OnOpenPending(App& app, HWND hwnd) {
    if (app.pendingOpens.empty()) return;
    std::vector<std::wstring> batch = std::move(app.pendingOpens.front());
    app.pendingOpens.erase(app.pendingOpens.begin());
    if (IsIconic(hwnd)) ShowWindow(hwnd, SW_RESTORE);
    if (batch.empty()) {
        if (!IsEmptyMemo(app)) NewTab(app);
    } else {
        OpenFiles(app, batch);
    }
    SetForegroundWindow(hwnd);
    FocusEditor(app);
}

// ---- start-up messages -----------------------------------------------------------------------------

void OnStarted(App& app, HWND hwnd) {
    app.started = true;
    const int big = GetSystemMetricsForDpi(SM_CXICON, app.dpi);
    const int small = GetSystemMetricsForDpi(SM_CXSMICON, app.dpi);
    if (auto icon =
            static_cast<HICON>(LoadImageW(app.instance, MAKEINTRESOURCEW(1), IMAGE_ICON, big, big, 0)))
        SendMessageW(hwnd, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon));
    if (auto icon =
            static_cast<HICON>(LoadImageW(app.instance, MAKEINTRESOURCEW(1), IMAGE_ICON, small, small, 0)))
        SendMessageW(hwnd, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(icon));
    // After the first paint: the shell library is loaded here, not at start-up.
    static const auto dragAcceptFiles =
        SystemFunction<decltype(&DragAcceptFiles)>(L"shell32.dll", "DragAcceptFiles");
    if (dragAcceptFiles) dragAcceptFiles(hwnd, TRUE);
    if (app.backupsAccountedFor) PruneBackups(app);
    ScheduleSessionSave(app);
}

void OnFirstPaint(App& app, HWND hwnd) {
    if (!app.firstPaintPending) return;
    app.firstPaintPending = false;
    const BOOL transitionsOff = FALSE;
    DwmSetWindowAttribute(hwnd, kDwmTransitionsForceDisabled, &transitionsOff, sizeof(transitionsOff));
    if (app.showPending) {
        app.showPending = false;
        SetForegroundWindow(hwnd);
        if (GetForegroundWindow() != hwnd) {
            ShowWindow(hwnd, SW_SHOWNORMAL);
            SetActiveWindow(hwnd);
            if (GetForegroundWindow() != hwnd) FlashWindow(hwnd, TRUE);
        }
    }
    if (GetActiveWindow() == hwnd) FocusEditor(app);
}

void OnRunTests(App& app) {
    if (GetEnvironmentVariableW(L"LUMENPAD_PERFTEST", nullptr, 0) > 0) {
        RunPerfTest(app);
        return;
    }
    RunSelfTest(app);
}

// ---- the router -------------------------------------------------------------------------------------

LRESULT Route(App& app, HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_CREATE:
            return OnCreate(app, hwnd) ? 0 : -1;
        case WM_DESTROY:
            ReleaseTabDocuments(app);
            PostQuitMessage(0);
            return 0;
        case WM_SIZE:
            OnSize(app, hwnd, wParam, lParam);
            return 0;
        case WM_MOVE:
            StoreWindowRect(app, hwnd);
            return 0;
        case WM_ACTIVATE:
            return OnActivate(app, hwnd, wParam);
        case WM_SETFOCUS:
            if (!app.firstPaintPending) FocusChoice(app);
            return 0;
        case WM_PAINT:
            OnPaint(app, hwnd);
            return 0;
        case WM_CLOSE:
            if (QuitFlow(app, false)) DestroyWindow(hwnd);
            return 0;
        case WM_ENDSESSION:
            if (wParam && !app.closing) QuitFlow(app, true);
            return 0;
        case WM_QUERYENDSESSION:
        case WM_ERASEBKGND:
            return 1;
        case WM_SYSCOLORCHANGE:
        case WM_DWMCOLORIZATIONCOLORCHANGED:
            OnThemeChange(app);
            break;
        case WM_SETTINGCHANGE:
            if (wParam == SPI_SETHIGHCONTRAST || NamesImmersiveColorSet(lParam)) OnThemeChange(app);
            break;
        case WM_ACTIVATEAPP:
            if (!wParam) HideTooltip(app);
            OnApplicationActivated(app, wParam != FALSE);
            break;
        case WM_SETCURSOR:
            if (reinterpret_cast<HWND>(wParam) == hwnd && LOWORD(lParam) == HTCLIENT) {
                SetCursor(LoadCursorW(nullptr, IDC_ARROW));
                return TRUE;
            }
            break;
        case WM_GETMINMAXINFO: {
            auto* info = reinterpret_cast<MINMAXINFO*>(lParam);
            const int32_t dpi = static_cast<int32_t>(app.dpi);
            info->ptMinTrackSize = {Scale(420, dpi), Scale(260, dpi)};
            return 0;
        }
        case WM_COMMAND:
            return OnCommand(app, hwnd, wParam, lParam);
        case WM_CONTEXTMENU:
            return OnContextMenu(app, hwnd, wParam, lParam);
        case WM_COPYDATA:
            return OnCopyData(app, hwnd, wParam, lParam);
        case WM_NOTIFY:
            return OnNotify(app, hwnd, wParam, lParam);
        case WM_NCCALCSIZE:
            return OnNcCalcSize(app, hwnd, wParam, lParam);
        case WM_NCHITTEST:
            return OnNcHitTest(app, hwnd, wParam, lParam);
        case WM_NCACTIVATE:
            return OnNcActivate(app, hwnd, wParam);
        case WM_SETTEXT:
            return OnSetText(hwnd, wParam, lParam);
        case WM_NCMOUSEMOVE:
            return OnNcMouseMove(app, hwnd, wParam, lParam);
        case WM_NCLBUTTONDOWN:
        case WM_NCLBUTTONDBLCLK:
            return OnNcLeftDown(app, hwnd, message, wParam, lParam);
        case WM_NCLBUTTONUP:
            return OnNcLeftUp(app, hwnd, wParam, lParam);
        case WM_NCRBUTTONUP:
            return OnNcRightUp(hwnd, wParam, lParam);
        case WM_NCMOUSELEAVE:
            app.chrome.trackingNonClient = false;
            app.chrome.captionHover = kHitNothing;
            RepaintBands(app, kBandTitle);
            return 0;
        case WM_MOUSELEAVE:
            OnBandMouseLeave(app);
            return 0;
        case WM_MOUSEMOVE:
            OnBandMouseMove(app, GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam), (wParam & MK_LBUTTON) != 0);
            return 0;
        case WM_LBUTTONDOWN:
            OnBandLeftDown(app, GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
            return 0;
        case WM_LBUTTONUP:
            OnBandLeftUp(app, GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
            return 0;
        case WM_RBUTTONUP:
            OnBandRightUp(app, GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
            return 0;
        case WM_MBUTTONUP:
            OnBandMiddleUp(app, GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
            return 0;
        case WM_LBUTTONDBLCLK:
            return 0;
        case WM_MOUSEWHEEL: {
            POINT p{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
            ScreenToClient(hwnd, &p);
            if (!OnBandWheel(app, p.x, p.y, GET_WHEEL_DELTA_WPARAM(wParam)))
                SendMessageW(app.editor, WM_MOUSEWHEEL, wParam, lParam);
            return 0;
        }
        case WM_TIMER:
            OnTimer(app, hwnd, wParam);
            return 0;
        case WM_DROPFILES:
            OpenDroppedFiles(app, reinterpret_cast<HDROP>(wParam));
            FinishDrop(reinterpret_cast<HDROP>(wParam));
            return 0;
        case WM_DPICHANGED:
            OnDpiChanged(app, hwnd, wParam, lParam);
            return 0;
        case WMU_STARTED:
            OnStarted(app, hwnd);
            return 0;
        case WMU_BENCH_DONE:
            WriteBenchLine(app);
            DestroyWindow(hwnd);
            return 0;
        case WMU_FIRST_PAINT:
            OnFirstPaint(app, hwnd);
            return 0;
        case WMU_RUN_TESTS:
            OnRunTests(app);
            return 0;
        case WMU_OPEN_PENDING:
            OnOpenPending(app, hwnd);
            return 0;
    }
    return DefWindowProcW(hwnd, message, wParam, lParam);
}

}  // namespace

bool RegisterMainWindowClass(HINSTANCE instance, bool testMode) {
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof(wc);
    wc.style = CS_DBLCLKS;
    wc.lpfnWndProc = MainWindowProc;
    wc.hInstance = instance;
    wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    wc.lpszClassName = testMode ? kSelfTestWindowClass : kMainWindowClass;
    return RegisterClassExW(&wc) != 0;
}

LRESULT CALLBACK MainWindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    // No exception may unwind into the system's dispatcher: it is stopped here, once for all handlers.
    try {
        if (message == WM_NCCREATE) {
            auto* app = static_cast<App*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
            SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(app));
            app->hwnd = hwnd;
            EnableNonClientDpiScaling(hwnd);
        }
        App* app = AppOf(hwnd);
        if (!app) return DefWindowProcW(hwnd, message, wParam, lParam);
        return Route(*app, hwnd, message, wParam, lParam);
    } catch (...) {
        return 0;
    }
}

void UpdateBandLayout(App& app) {
    if (!app.hwnd) return;
    BandInput in;
    in.width = app.chrome.clientWidth;
    in.height = app.chrome.clientHeight;
    in.dpi = static_cast<int32_t>(app.dpi);
    in.tabCount = app.tabs.Count();
    in.pinnedCount = PinnedCount(app.tabs);
    in.focusMode = app.focusMode;
    in.scroll = app.chrome.scroll;
    in.status = MeasureStatus(app);
    app.chrome.layout = LayoutBands(in);
    app.chrome.scroll = app.chrome.layout.scroll;
}

void Layout(App& app) {
    UpdateBandLayout(app);
    const BandLayout& l = app.chrome.layout;
    const int32_t dpi = static_cast<int32_t>(app.dpi);
    const int32_t margin =
        app.focusMode ? std::max(Scale(kDefaultTextMargin, dpi), (l.width - Scale(kFocusColumn, dpi)) / 2)
                      : 0;
    if (margin != app.chrome.textMargin) {
        app.chrome.textMargin = margin;
        UpdateEditorMargins(app);
    }
    if (app.editor && !(l.editor == app.chrome.editorPlaced)) {
        app.chrome.editorPlaced = l.editor;
        SetWindowPos(app.editor, nullptr, l.editor.left, l.editor.top, l.editor.Width(),
                     std::max(0, l.editor.bottom - l.editor.top), SWP_NOZORDER | SWP_NOACTIVATE);
    }
    PlaceFindCard(app);
}

void RepaintBands(App& app, unsigned bands) {
    // A band already waiting for its paint is not invalidated again (each request is a call to the
    // window system).
    bands &= ~app.chrome.invalidBands;
    if (!app.hwnd || !bands) return;
    app.chrome.invalidBands |= bands;
    const BandLayout& l = app.chrome.layout;
    const RECT rects[] = {ToRect(l.titleBand), ToRect(l.statusBand),
                          RECT{0, l.titleBand.bottom, l.width, l.editor.top}};
    const unsigned masks[] = {kBandTitle, kBandStatus, kBandGap};
    for (int i = 0; i < 3; ++i)
        if (bands & masks[i]) InvalidateRect(app.hwnd, &rects[i], FALSE);
}

void RepaintAll(App& app) {
    if (!app.hwnd) return;
    app.chrome.invalidBands = kBandAll;
    InvalidateRect(app.hwnd, nullptr, FALSE);
}

void RestartTimer(App& app, TimerId id, UINT milliseconds) {
    if (app.hwnd && app.timers.Start(static_cast<int>(id), milliseconds, GetTickCount()))
        SetTimer(app.hwnd, id, milliseconds, nullptr);
}

void StopTimer(App& app, TimerId id) {
    app.timers.Stop(static_cast<int>(id));
    if (app.hwnd) KillTimer(app.hwnd, id);
}

void FocusEditor(App& app) {
    if (app.editor) SetFocus(app.editor);
}

void WriteSettings(App& app) {
    const SettingsSaveMode mode = app.selfTest ? SettingsSaveMode::SelfTest
                                  : app.bench  ? SettingsSaveMode::Bench
                                               : SettingsSaveMode::Normal;
    SaveSettings(app.settings, mode, app.settingsLoad);
}

int32_t TextWidth(App& app, HFONT font, std::wstring_view text) {
    if (text.empty()) return 0;
    if (!app.measureDc) app.measureDc = CreateCompatibleDC(nullptr);
    if (!app.measureDc) return 0;
    const HGDIOBJ old = SelectObject(app.measureDc, font);
    SIZE size{};
    GetTextExtentPoint32W(app.measureDc, text.data(), static_cast<int>(text.size()), &size);
    SelectObject(app.measureDc, old);
    return size.cx;
}

}  // namespace lumen
