#include <windows.h>
#include <windowsx.h>

#include <shellapi.h>

#include <algorithm>

#include "app/logo.h"
#include "app/theme.h"
#include "ui/about_window.h"
#include "ui/message_dialog_layout.h"
#include "ui/popup_window_win.h"
#include "files/system_library_win.h"

namespace lumen::ui {
namespace {

constexpr wchar_t kAboutClass[] = L"Lumenpad.About";

// AboutRun::hot and ::pressed
constexpr int32_t kNone = 0, kWebLink = 1, kMailLink = 2, kOkButton = 3;

HWND& OpenWindow() {
    static HWND window = nullptr;
    return window;
}

struct AboutFonts {
    PopupFont name, body, small;
    explicit AboutFonts(int32_t dpi)
        : name(kUiFontFace, 26, dpi, FW_SEMIBOLD), body(kUiFontFace, 14, dpi), small(kUiFontFace, 12, dpi) {}
};

struct AboutRun {
    const Palette& palette;
    int32_t dpi;
    const AboutContent& content;
    AboutFonts fonts;
    TextMeter meter;
    HWND window = nullptr;
    int32_t hot = kNone, pressed = kNone;
    // Rebuilt on every paint: the two link values and the button.
    PopupRect links[2], button;
    Surface surface;

    AboutRun(const Palette& p, int32_t d, const AboutContent& c) : palette(p), dpi(d), content(c), fonts(d) {}
};

void Paint(AboutRun& run, HDC target) {
    RECT client{};
    GetClientRect(run.window, &client);
    Surface& s = run.surface;
    if (!PrepareSurface(s, client.right, client.bottom)) return;
    const Palette& p = run.palette;
    auto d = [&](int32_t v) { return Scale(v, run.dpi); };
    FillRect(s, client, p.surface);
    if (!IsWindows11()) FrameRect1px(s, client.right, client.bottom, p.surfaceBorder);

    DrawLogo(s, static_cast<float>(d(28)), static_cast<float>(d(28)), ScaleF(52, run.dpi));
    const int32_t textLeft = d(28 + 52 + 16), right = client.right - d(28);
    const UINT line = DT_LEFT | DT_VCENTER | DT_SINGLELINE | DT_END_ELLIPSIS;
    DrawTextLine(s, run.content.name, {textLeft, d(26), right, d(62)}, run.fonts.name.get(), p.text, line);
    DrawTextLine(s, run.content.version, {textLeft, d(62), right, d(84)}, run.fonts.body.get(), p.dimText,
                 line);
    DrawTextLine(s, run.content.description, {textLeft, d(104), right, d(126)}, run.fonts.body.get(), p.text,
                 line);

    int32_t link = 0;
    for (int32_t i = 0; i < 3; ++i) {
        const AboutInfoRow& row = run.content.rows[i];
        const int32_t top = d(150 + 30 * i), bottom = top + d(24);
        DrawTextLine(s, row.label, {d(28), top, d(110), bottom}, run.fonts.body.get(), p.dimText, line);
        if (row.target.empty() || link >= 2) {
            DrawTextLine(s, row.value, {d(110), top, right, bottom}, run.fonts.body.get(), p.text, line);
            continue;
        }
        const int32_t width = std::min(run.meter.Width(row.value, run.fonts.body.get()), right - d(110));
        const int32_t cy = (top + bottom) / 2;
        const PopupRect text{d(110), top, d(110) + width, bottom};
        DrawTextLine(s, row.value, text, run.fonts.body.get(), p.accentText, line);
        if (run.hot == link + 1)
            FillRect(s, RECT{text.left, cy + d(5), text.right, cy + d(5) + 1}, p.accentText);
        run.links[link] = {text.left, cy - d(10) - d(3), text.right, cy + d(10) + d(3)};
        ++link;
    }
    for (; link < 2; ++link)
        run.links[link] = {};

    run.button = {client.right - d(24) - d(120), client.bottom - d(24) - d(32), client.right - d(24),
                  client.bottom - d(24)};
    DrawTextLine(s, run.content.footer, {d(28), run.button.top, run.button.left - d(12), run.button.bottom},
                 run.fonts.small.get(), p.dimText, line);
    const COLORREF towards = p.dark ? 0x000000 : 0xFFFFFF;
    const COLORREF fill = run.pressed == kOkButton && run.hot == kOkButton ? MixColor(p.accent, towards, 0.2)
                          : run.hot == kOkButton                           ? MixColor(p.accent, towards, 0.1)
                                                                           : p.accent;
    const PopupRect& b = run.button;
    FillRoundRect(s, static_cast<float>(b.left), static_cast<float>(b.top), static_cast<float>(b.right),
                  static_cast<float>(b.bottom), ScaleF(4, run.dpi), fill);
    DrawTextLine(s, L"확인", b, run.fonts.body.get(), p.onAccent, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
    PresentSurface(s, target, client);
}

int32_t ItemAt(const AboutRun& run, int32_t x, int32_t y) {
    if (run.links[0].Contains(x, y)) return kWebLink;
    if (run.links[1].Contains(x, y)) return kMailLink;
    if (run.button.Contains(x, y)) return kOkButton;
    return kNone;
}

// The target of link 1 or 2: the rows with a target, in order.
const std::wstring* LinkTarget(const AboutRun& run, int32_t item) {
    int32_t n = 0;
    for (const AboutInfoRow& row : run.content.rows)
        if (!row.target.empty() && ++n == item) return &row.target;
    return nullptr;
}

void Close(AboutRun& run) {
    if (run.window) DestroyWindow(run.window);
}

void OnButtonUp(AboutRun& run, LPARAM lp) {
    ReleaseCapture();
    const int32_t pressed = run.pressed;
    run.pressed = kNone;
    InvalidateRect(run.window, nullptr, FALSE);
    if (pressed == kNone || ItemAt(run, GET_X_LPARAM(lp), GET_Y_LPARAM(lp)) != pressed) return;
    if (pressed == kOkButton) {
        Close(run);
    } else if (const std::wstring* target = LinkTarget(run, pressed)) {
        static const auto shellExecute =
            SystemFunction<decltype(&ShellExecuteW)>(L"shell32.dll", "ShellExecuteW");
        if (shellExecute) shellExecute(run.window, nullptr, target->c_str(), nullptr, nullptr, SW_SHOWNORMAL);
    }
}

LRESULT CALLBACK AboutWindowProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_NCCREATE) {
        SetWindowLongPtrW(hwnd, GWLP_USERDATA,
                          reinterpret_cast<LONG_PTR>(reinterpret_cast<CREATESTRUCTW*>(lp)->lpCreateParams));
    }
    auto* run = reinterpret_cast<AboutRun*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (!run) return DefWindowProcW(hwnd, msg, wp, lp);
    switch (msg) {
        case WM_MOUSEMOVE:
            if (const int32_t hit = ItemAt(*run, GET_X_LPARAM(lp), GET_Y_LPARAM(lp)); hit != run->hot) {
                run->hot = hit;
                TRACKMOUSEEVENT track{sizeof(track), TME_LEAVE, hwnd, 0};
                TrackMouseEvent(&track);
                InvalidateRect(hwnd, nullptr, FALSE);
            }
            return 0;
        case WM_MOUSELEAVE:
            run->hot = kNone;
            InvalidateRect(hwnd, nullptr, FALSE);
            return 0;
        case WM_SETCURSOR:
            if (LOWORD(lp) == HTCLIENT && (run->hot == kWebLink || run->hot == kMailLink)) {
                SetCursor(LoadCursorW(nullptr, IDC_HAND));
                return TRUE;
            }
            break;
        case WM_LBUTTONDOWN:
            run->pressed = ItemAt(*run, GET_X_LPARAM(lp), GET_Y_LPARAM(lp));
            SetCapture(hwnd);
            InvalidateRect(hwnd, nullptr, FALSE);
            return 0;
        case WM_LBUTTONUP:
            OnButtonUp(*run, lp);
            return 0;
        case WM_KEYDOWN:
            if (wp == VK_RETURN || wp == VK_ESCAPE || wp == VK_SPACE) Close(*run);
            return 0;
        case WM_NCHITTEST: {
            // Everything but the links and the button drags the window.
            const LRESULT where = DefWindowProcW(hwnd, msg, wp, lp);
            if (where != HTCLIENT) return where;
            POINT pt{GET_X_LPARAM(lp), GET_Y_LPARAM(lp)};
            ScreenToClient(hwnd, &pt);
            return ItemAt(*run, pt.x, pt.y) != kNone ? HTCLIENT : HTCAPTION;
        }
        case WM_PAINT: {
            PAINTSTRUCT ps;
            const HDC dc = BeginPaint(hwnd, &ps);
            Paint(*run, dc);
            EndPaint(hwnd, &ps);
            return 0;
        }
        case WM_ERASEBKGND:
            return 1;
        case WM_NCDESTROY:
            run->window = nullptr;
            SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
            break;
    }
    return DefWindowProcW(hwnd, msg, wp, lp);
}

}  // namespace

HWND OpenAboutWindow() {
    return OpenWindow();
}

void ShowAboutWindow(HWND mainWindow, const Palette& palette, int32_t dpi, const AboutContent& content) {
    if (HWND open = OpenWindow(); open && IsWindow(open)) return;
    HWND owner = mainWindow;
    if (HWND active = GetActiveWindow(); active && GetWindow(active, GW_OWNER) == mainWindow) owner = active;

    RegisterPopupClass(kAboutClass, AboutWindowProc);
    AboutRun run(palette, dpi, content);
    const PopupSize size{Scale(400, dpi), Scale(330, dpi)};
    RECT around{0, 0, 1024, 768};
    if (owner) GetWindowRect(owner, &around);
    const PopupPoint centred = CentreDialog(ToPopupRect(around), size, dpi);
    const PopupPoint at = KeepInside(
        centred, size, WorkAreaNear(POINT{centred.x + size.width / 2, centred.y + size.height / 2}));
    run.window = CreateWindowExW(0, kAboutClass, L"정보", WS_POPUP, at.x, at.y, size.width, size.height,
                                 owner, nullptr, GetModuleHandleW(nullptr), &run);
    if (!run.window) return;
    OpenWindow() = run.window;
    ApplyPopupFrame(run.window, false, palette);

    const bool reenable = owner && IsWindowEnabled(owner);
    if (reenable) EnableWindow(owner, FALSE);
    ShowWindow(run.window, SW_SHOW);
    UpdateWindow(run.window);
    SetForegroundWindow(run.window);

    bool quit = false;
    WPARAM quitCode = 0;
    MSG msg;
    while (run.window) {
        const BOOL got = GetMessageW(&msg, nullptr, 0, 0);
        if (got == 0) {
            quit = true;
            quitCode = msg.wParam;
            break;
        }
        if (got < 0) break;
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }

    if (reenable && IsWindow(owner)) EnableWindow(owner, TRUE);
    if (run.window) DestroyWindow(run.window);
    OpenWindow() = nullptr;
    if (owner && IsWindow(owner)) SetActiveWindow(owner);
    if (quit) PostQuitMessage(static_cast<int>(quitCode));
}

}  // namespace lumen::ui
