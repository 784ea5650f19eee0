// The find card's window, its two EDIT boxes and its operations. Geometry and texts come from
// find_card_layout.h, the searches from find_search.h, the painting from find_card_paint_win.cpp.
#include "tools/find_card.h"

#include <windowsx.h>

#include <string>

#include "app/bands.h"
#include "app/main_window.h"
#include "app/tabs.h"
#include "edit/sci_messages.h"
#include "files/code_page.h"
#include "tools/find_card_paint.h"
#include "tools/find_search.h"

namespace lumen {

using namespace quill;

namespace {

constexpr wchar_t kProcProperty[] = L"lumenpad.proc";
constexpr UINT kCueBannerMessage = 0x1501;  // EM_SETCUEBANNER
constexpr UINT_PTR kCardTipTimer = kTimerTooltip;
constexpr UINT kCardTipDelayMs = 450;

EditorLink Link(App& app) {
    return EditorLink{app.editorFn, app.editorPtr};
}

App* AppOfCard(HWND card) {
    return reinterpret_cast<App*>(GetWindowLongPtrW(card, GWLP_USERDATA));
}

std::wstring BoxText(HWND edit) {
    if (!edit) return {};
    std::wstring text(static_cast<size_t>(GetWindowTextLengthW(edit)) + 1, L'\0');
    text.resize(static_cast<size_t>(GetWindowTextW(edit, text.data(), static_cast<int>(text.size()))));
    return text;
}

std::string SearchText(App& app) {
    return WideToUtf8(BoxText(app.find.findEdit));
}

std::string ReplacementText(App& app) {
    return WideToUtf8(BoxText(app.find.replaceEdit));
}

uint32_t Flags(const App& app) {
    return FindFlags(app.find.matchCase, app.find.wholeWord);
}

// Writes a box without searching for its new text.
void SetBoxText(App& app, HWND edit, const std::wstring& text) {
    app.find.settingText = true;
    SetWindowTextW(edit, text.c_str());
    app.find.settingText = false;
}

void FocusBox(HWND edit) {
    SetFocus(edit);
    SendMessageW(edit, EM_SETSEL, 0, -1);
}

void Repaint(App& app) {
    if (app.find.card) InvalidateRect(app.find.card, nullptr, FALSE);
}

void HideCardTip(App& app) {
    if (app.find.card) KillTimer(app.find.card, kCardTipTimer);
    ui::HideTip(app.tip);
}

// ---- the EDIT boxes -----------------------------------------------------------------------------

bool CtrlHeld() {
    return GetKeyState(VK_CONTROL) < 0;
}

bool IsSpace(wchar_t c) {
    WORD type = 0;
    return GetStringTypeW(CT_CTYPE1, &c, 1, &type) && (type & C1_SPACE);
}

// Ctrl+Backspace: the word before the caret (and the white space after it) goes, as one undoable edit.
void DeleteWordBefore(HWND edit) {
    DWORD start = 0, end = 0;
    SendMessageW(edit, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
    if (start != end || start == 0) return;
    const std::wstring text = BoxText(edit);
    size_t p = std::min<size_t>(start, text.size());
    while (p > 0 && IsSpace(text[p - 1]))
        --p;
    while (p > 0 && !IsSpace(text[p - 1]))
        --p;
    SendMessageW(edit, EM_SETSEL, p, start);
    SendMessageW(edit, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(L""));
}

bool OnBoxKey(App& app, HWND edit, WPARAM key) {
    FindCardState& f = app.find;
    switch (key) {
        case VK_RETURN:
            if (f.mode == FindMode::GoToLine) {
                GoToLine(app);
            } else if (edit == f.findEdit) {
                FindNext(app, GetKeyState(VK_SHIFT) >= 0, false);
            } else if (CtrlHeld()) {
                ReplaceAll(app);
            } else {
                ReplaceOne(app);
            }
            return true;
        case VK_ESCAPE:
            CloseFindCard(app);
            return true;
        case VK_TAB:
            if (f.mode != FindMode::Replace) return false;
            FocusBox(edit == f.findEdit ? f.replaceEdit : f.findEdit);
            return true;
        case VK_BACK:
            if (!CtrlHeld()) return false;
            DeleteWordBefore(edit);
            return true;
    }
    return false;
}

LRESULT CALLBACK BoxProc(HWND edit, UINT message, WPARAM wParam, LPARAM lParam) {
    const auto previous = reinterpret_cast<WNDPROC>(GetPropW(edit, kProcProperty));
    App* app = AppOfCard(GetParent(edit));
    if (!previous) return DefWindowProcW(edit, message, wParam, lParam);
    if (!app) return CallWindowProcW(previous, edit, message, wParam, lParam);
    try {
        switch (message) {
            case WM_KEYDOWN:
                if (OnBoxKey(*app, edit, wParam)) return 0;
                break;
            case WM_CHAR:
                // Tab, Enter, Escape and the DEL that Ctrl+Backspace produces would only beep.
                if (wParam == 9 || wParam == 13 || wParam == 27 || wParam == 127) return 0;
                if (wParam == 1) {  // Ctrl+A
                    SendMessageW(edit, EM_SETSEL, 0, -1);
                    return 0;
                }
                break;
            case WM_SETFOCUS:
            case WM_KILLFOCUS: {
                const LRESULT r = CallWindowProcW(previous, edit, message, wParam, lParam);
                if (message == WM_SETFOCUS) app->find.lastFocusedEdit = edit;
                Repaint(*app);  // the focused box shows an accent bar
                return r;
            }
            case WM_MOUSEWHEEL:
                if (app->editor) SendMessageW(app->editor, message, wParam, lParam);
                return 0;
            case WM_PAINT: {
                const LRESULT r = CallWindowProcW(previous, edit, message, wParam, lParam);
                if (edit == app->find.findEdit && app->find.mode == FindMode::GoToLine)
                    PaintGoToHint(*app, edit);
                return r;
            }
            case WM_NCDESTROY:
                SetWindowLongPtrW(edit, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(previous));
                RemovePropW(edit, kProcProperty);
                return CallWindowProcW(previous, edit, message, wParam, lParam);
        }
    } catch (...) {
        return 0;
    }
    return CallWindowProcW(previous, edit, message, wParam, lParam);
}

HWND CreateBox(App& app, const wchar_t* cue) {
    HWND edit = CreateWindowExW(0, L"EDIT", L"", WS_CHILD | ES_AUTOHSCROLL, 0, 0, 10, 10, app.find.card,
                                nullptr, app.instance, nullptr);
    if (!edit) return nullptr;
    SendMessageW(edit, WM_SETFONT, reinterpret_cast<WPARAM>(app.fonts.inputFont), FALSE);
    SendMessageW(edit, kCueBannerMessage, TRUE, reinterpret_cast<LPARAM>(cue));
    SendMessageW(edit, EM_SETMARGINS, EC_LEFTMARGIN | EC_RIGHTMARGIN, 0);
    SetPropW(edit, kProcProperty, reinterpret_cast<HANDLE>(GetWindowLongPtrW(edit, GWLP_WNDPROC)));
    SetWindowLongPtrW(edit, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(BoxProc));
    return edit;
}

// ---- the card window ----------------------------------------------------------------------------

void ActOnButton(App& app, int32_t button) {
    FindCardState& f = app.find;
    switch (button) {
        case kFindToggleReplace:
            OpenFindCard(app, f.mode == FindMode::Replace ? FindMode::Find : FindMode::Replace);
            break;
        case kFindPrevious:
        case kFindNextButton:
            FindNext(app, button == kFindNextButton, false);
            break;
        case kFindMatchCase:
            f.matchCase = !f.matchCase;
            RecountMatches(app);
            break;
        case kFindWholeWord:
            f.wholeWord = !f.wholeWord;
            RecountMatches(app);
            break;
        case kFindClose:
            CloseFindCard(app);
            break;
        case kFindReplaceOne:
            ReplaceOne(app);
            break;
        case kFindReplaceAll:
            ReplaceAll(app);
            break;
        case kFindGoTo:
            GoToLine(app);
            break;
    }
}

void OnCardMouseMove(App& app, HWND card, int32_t x, int32_t y) {
    FindCardState& f = app.find;
    if (!f.trackingLeave) {
        TRACKMOUSEEVENT tme{sizeof(tme), TME_LEAVE, card, 0};
        f.trackingLeave = TrackMouseEvent(&tme) != FALSE;
    }
    const int32_t hit = FindButtonAt(f.layout, x, y);
    if (hit == f.hotButton) return;
    f.hotButton = hit;
    Repaint(app);
    HideCardTip(app);
    f.tipButton = hit;
    if (hit >= 0) SetTimer(card, kCardTipTimer, kCardTipDelayMs, nullptr);
}

void OnCardMouseLeave(App& app) {
    FindCardState& f = app.find;
    f.trackingLeave = false;
    f.hotButton = -1;
    f.tipButton = -1;
    HideCardTip(app);
    Repaint(app);
}

void OnCardLeftDown(App& app, HWND card, int32_t x, int32_t y) {
    FindCardState& f = app.find;
    HideCardTip(app);
    const int32_t button = FindButtonAt(f.layout, x, y);
    if (button >= 0) {
        f.pressedButton = button;
        SetCapture(card);
    } else if (const int32_t box = FindBoxAt(f.layout, x, y); box != 0) {
        FocusBox(box == 1 ? f.findEdit : f.replaceEdit);
    }
    Repaint(app);
}

void OnCardLeftUp(App& app, int32_t x, int32_t y) {
    FindCardState& f = app.find;
    const int32_t pressed = f.pressedButton;
    f.pressedButton = -1;
    if (GetCapture() == f.card) ReleaseCapture();
    Repaint(app);
    const int32_t button = FindButtonAt(f.layout, x, y);
    if (button >= 0 && button == pressed) ActOnButton(app, button);
}

void OnCardTipTimer(App& app) {
    FindCardState& f = app.find;
    KillTimer(f.card, kCardTipTimer);
    if (f.tipButton < 0 || f.tipButton >= kFindButtonCount) return;
    const BandRect& r = f.layout.buttons[f.tipButton];
    if (r.Empty()) return;
    POINT anchor{r.left, r.bottom + f.layout.Scale(6)};
    ClientToScreen(f.card, &anchor);
    ui::ShowTip(app.tip, app.hwnd, FindButtonTip(app, f.tipButton), anchor, app.palette,
                static_cast<int32_t>(app.dpi));
}

LRESULT OnCardColour(App& app, HDC dc) {
    FindCardState& f = app.find;
    if (!f.inputBrush || f.inputBrushColour != app.palette.inputBack) {
        if (f.inputBrush) DeleteObject(f.inputBrush);
        f.inputBrush = CreateSolidBrush(app.palette.inputBack);
        f.inputBrushColour = app.palette.inputBack;
    }
    SetTextColor(dc, app.palette.text);
    SetBkColor(dc, app.palette.inputBack);
    return reinterpret_cast<LRESULT>(f.inputBrush);
}

void OnBoxChanged(App& app, HWND edit) {
    FindCardState& f = app.find;
    if (f.settingText || edit != f.findEdit) return;
    if (f.mode == FindMode::GoToLine) {
        InvalidateRect(edit, nullptr, TRUE);  // the hint shows only for short texts
        return;
    }
    if (!FindNext(app, true, true)) RecountMatches(app);
}

bool OnCardSetCursor(App& app, HWND card) {
    POINT p{};
    GetCursorPos(&p);
    ScreenToClient(card, &p);
    SetCursor(LoadCursorW(nullptr, FindBoxAt(app.find.layout, p.x, p.y) ? IDC_IBEAM : IDC_ARROW));
    return true;
}

// The card goes with the main window; its toggles stay for a window made later.
void ForgetCardWindows(App& app) {
    FindCardState& f = app.find;
    if (f.inputBrush) DeleteObject(f.inputBrush);
    f.inputBrush = nullptr;
    f.card = f.findEdit = f.replaceEdit = f.lastFocusedEdit = nullptr;
    f.editFont = nullptr;
    f.visible = false;
    f.hotButton = f.pressedButton = f.tipButton = -1;
    f.trackingLeave = false;
}

LRESULT RouteCard(App& app, HWND card, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_PAINT: {
            PAINTSTRUCT ps;
            HDC dc = BeginPaint(card, &ps);
            if (dc) PaintFindCard(app, dc);
            EndPaint(card, &ps);
            return 0;
        }
        case WM_ERASEBKGND:
            return 1;
        case WM_MOUSEMOVE:
            OnCardMouseMove(app, card, GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
            return 0;
        case WM_MOUSELEAVE:
            OnCardMouseLeave(app);
            return 0;
        case WM_LBUTTONDOWN:
        case WM_LBUTTONDBLCLK:
            OnCardLeftDown(app, card, GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
            return 0;
        case WM_LBUTTONUP:
            OnCardLeftUp(app, GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
            return 0;
        case WM_CAPTURECHANGED:
            if (app.find.pressedButton >= 0) {
                app.find.pressedButton = -1;
                Repaint(app);
            }
            return 0;
        case WM_MOUSEWHEEL:
            if (app.editor) SendMessageW(app.editor, message, wParam, lParam);
            return 0;
        case WM_SETCURSOR:
            if (reinterpret_cast<HWND>(wParam) == card && LOWORD(lParam) == HTCLIENT)
                return OnCardSetCursor(app, card);
            break;
        case WM_CTLCOLOREDIT:
            return OnCardColour(app, reinterpret_cast<HDC>(wParam));
        case WM_COMMAND:
            if (HIWORD(wParam) == EN_CHANGE) OnBoxChanged(app, reinterpret_cast<HWND>(lParam));
            return 0;
        case WM_TIMER:
            if (wParam == kCardTipTimer) OnCardTipTimer(app);
            return 0;
        case WM_DESTROY:
            ForgetCardWindows(app);
            return 0;
    }
    return DefWindowProcW(card, message, wParam, lParam);
}

LRESULT CALLBACK CardProc(HWND card, UINT message, WPARAM wParam, LPARAM lParam) {
    try {
        if (message == WM_NCCREATE) {
            auto* app = static_cast<App*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
            SetWindowLongPtrW(card, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(app));
        }
        App* app = AppOfCard(card);
        if (!app) return DefWindowProcW(card, message, wParam, lParam);
        return RouteCard(*app, card, message, wParam, lParam);
    } catch (...) {
        return 0;
    }
}

bool CreateCard(App& app) {
    FindCardState& f = app.find;
    if (f.card) return true;
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof(wc);
    wc.style = CS_DBLCLKS;
    wc.lpfnWndProc = CardProc;
    wc.hInstance = app.instance;
    wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    wc.lpszClassName = kFindCardClass;
    RegisterClassExW(&wc);  // fails harmlessly when the class exists
    f.card = CreateWindowExW(0, kFindCardClass, L"", WS_CHILD | WS_CLIPSIBLINGS | WS_CLIPCHILDREN, 0, 0, 10,
                             10, app.hwnd, nullptr, app.instance, &app);
    if (!f.card) return false;
    f.findEdit = CreateBox(app, L"찾기");
    f.replaceEdit = CreateBox(app, L"바꿀 내용");
    f.editFont = app.fonts.inputFont;
    return f.findEdit && f.replaceEdit;
}

void PlaceBox(HWND edit, const BandRect& r) {
    if (r.Empty()) {
        ShowWindow(edit, SW_HIDE);
        return;
    }
    SetWindowPos(edit, nullptr, r.left, r.top, r.Width(), r.bottom - r.top,
                 SWP_NOZORDER | SWP_NOACTIVATE | SWP_SHOWWINDOW);
}

// Lays the card out for the current mode, editor area and DPI and shows it in place.
void LayOut(App& app) {
    FindCardState& f = app.find;
    if (f.editFont != app.fonts.inputFont) {
        f.editFont = app.fonts.inputFont;
        SendMessageW(f.findEdit, WM_SETFONT, reinterpret_cast<WPARAM>(f.editFont), FALSE);
        SendMessageW(f.replaceEdit, WM_SETFONT, reinterpret_cast<WPARAM>(f.editFont), FALSE);
    }
    f.layout =
        LayoutFindCard({f.mode, static_cast<int32_t>(app.dpi), app.chrome.layout.editor, app.focusMode});
    const BandRect& w = f.layout.window;
    SetWindowPos(f.card, HWND_TOP, w.left, w.top, w.Width(), w.bottom - w.top,
                 SWP_NOACTIVATE | SWP_SHOWWINDOW);
    PlaceBox(f.findEdit, f.layout.findEdit);
    PlaceBox(f.replaceEdit, f.layout.replaceEdit);
    RedrawWindow(f.card, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
}

bool FocusInBoxes(const App& app) {
    const HWND focus = GetFocus();
    return focus && (focus == app.find.findEdit || focus == app.find.replaceEdit);
}

}  // namespace

void OpenFindCard(App& app, FindMode mode) {
    if (!app.editorFn || !CreateCard(app)) return;
    FindCardState& f = app.find;
    const FindMode previous = f.mode;
    const bool wasVisible = f.visible;
    f.mode = mode;
    SendMessageW(f.findEdit, kCueBannerMessage, TRUE,
                 reinterpret_cast<LPARAM>(mode == FindMode::GoToLine ? L"줄 번호" : L"찾기"));
    if (mode == FindMode::GoToLine) {
        const int64_t line =
            Ed(app, SCI_LINEFROMPOSITION, static_cast<uintptr_t>(Ed(app, SCI_GETCURRENTPOS)));
        SetBoxText(app, f.findEdit, std::to_wstring(line + 1));
        f.matchCount = -1;
        f.matchIndex = 0;
        ClearMatchHighlights(Link(app));  // not counted in this mode, so none left from before
        f.visible = true;
        f.hotButton = -1;
        LayOut(app);
        FocusBox(f.findEdit);
        return;
    }
    if (previous == FindMode::GoToLine && wasVisible) SetBoxText(app, f.findEdit, L"");
    if (const std::optional<std::string> seed = SelectionSeed(Link(app)))
        SetBoxText(app, f.findEdit, Utf8ToWide(*seed));
    f.visible = true;
    f.hotButton = -1;
    LayOut(app);
    const bool toReplace =
        mode == FindMode::Replace && GetFocus() == f.findEdit && previous != FindMode::Replace;
    if (toReplace) {
        SetFocus(f.replaceEdit);
    } else {
        FocusBox(f.findEdit);
    }
    RecountMatches(app);
}

void CloseFindCard(App& app) {
    FindCardState& f = app.find;
    if (!f.visible) return;
    f.visible = false;
    HideCardTip(app);
    StopTimer(app, kTimerFindRefresh);
    ShowWindow(f.card, SW_HIDE);
    ClearMatchHighlights(Link(app));
    FocusEditor(app);
}

bool IsFindCardOpen(const App& app) {
    return app.find.visible;
}

void FindNextFromCommand(App& app, bool forward) {
    const FindCardState& f = app.find;
    if (!f.visible || f.mode == FindMode::GoToLine || GetWindowTextLengthW(f.findEdit) == 0) {
        OpenFindCard(app, FindMode::Find);
        return;
    }
    FindNext(app, forward, false);
    if (!FocusInBoxes(app)) FocusEditor(app);
}

void OpenReplaceFromCommand(App& app) {
    const bool back = app.find.visible && app.find.mode == FindMode::Replace && GetFocus() != app.editor;
    OpenFindCard(app, back ? FindMode::Find : FindMode::Replace);
}

bool FindNext(App& app, bool forward, bool incremental) {
    const std::string needle = SearchText(app);
    if (needle.empty()) return false;
    const FindOutcome outcome = FindNextMatch(Link(app), needle, Flags(app), forward, incremental);
    if (outcome == FindOutcome::FoundAfterWrap && !incremental)
        ShowStatusMessage(app, forward ? L"처음부터 다시 찾았습니다" : L"끝에서부터 다시 찾았습니다");
    RecountMatches(app);
    return outcome != FindOutcome::NotFound;
}

void RecountMatches(App& app) {
    FindCardState& f = app.find;
    StopTimer(app, kTimerFindRefresh);
    const std::string needle = f.mode != FindMode::GoToLine && f.findEdit ? SearchText(app) : std::string();
    const MatchCount m = CountMatches(Link(app), needle, Flags(app));
    f.matchCount = m.count;
    f.matchIndex = m.index;
    Repaint(app);
}

void ReplaceOne(App& app) {
    const std::string needle = SearchText(app);
    if (needle.empty()) return;
    ReplaceSelectedMatch(Link(app), needle, ReplacementText(app), Flags(app));
    FindNext(app, true, false);
}

void ReplaceAll(App& app) {
    const std::string needle = SearchText(app);
    if (needle.empty()) return;
    // The window hears of the change once, not once per match: each notice is a message through the
    // window system, and a 10 MB file can hold hundreds of thousands of matches.
    const intptr_t mask = Ed(app, SCI_GETMODEVENTMASK);
    Ed(app, SCI_SETMODEVENTMASK, 0);
    const int64_t replaced = ReplaceEveryMatch(Link(app), needle, ReplacementText(app), Flags(app));
    Ed(app, SCI_SETMODEVENTMASK, static_cast<uintptr_t>(mask));
    if (replaced > 0) {
        quill::Notification changed;
        changed.modificationType = SC_MOD_INSERTTEXT | SC_MOD_DELETETEXT;
        changed.linesAdded = 1;  // line counts may have changed: the number margin is measured again
        OnTextModified(app, changed);
    }
    ShowStatusMessage(app, ReplacedMessage(replaced));
    RecountMatches(app);
}

void GoToLine(App& app) {
    const int64_t line = GoToLineTarget(SearchText(app), Ed(app, SCI_GETLINECOUNT));
    if (line < 0) return;
    CloseFindCard(app);
    Ed(app, SCI_GOTOLINE, static_cast<uintptr_t>(line));
    Ed(app, SCI_VERTICALCENTRECARET);
}

void PlaceFindCard(App& app) {
    if (app.find.visible && app.find.card) LayOut(app);
}

void OnFindCardTextChanged(App& app) {
    if (app.find.visible) RestartTimer(app, kTimerFindRefresh, kFindRefreshDelayMs);
}

void OnFindRefreshTimer(App& app) {
    if (app.find.visible) {
        RecountMatches(app);
    } else {
        StopTimer(app, kTimerFindRefresh);
    }
}

void OnFindCardTabShown(App& app) {
    if (app.find.visible) RecountMatches(app);
}

bool FindCardEscape(App& app) {
    if (!app.find.visible) return false;
    CloseFindCard(app);
    return true;
}

void RepaintFindCard(App& app) {
    if (app.find.visible && app.find.card)
        RedrawWindow(app.find.card, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
}

}  // namespace lumen
