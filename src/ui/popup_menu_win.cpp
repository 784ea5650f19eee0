#include <windowsx.h>

#include <atomic>
#include <memory>

#include "app/theme.h"
#include "ui/popup_menu.h"
#include "ui/popup_menu_layout.h"
#include "ui/popup_window_win.h"

namespace lumen::ui {
namespace {

constexpr wchar_t kMenuClass[] = L"Lumenpad.Menu";
constexpr UINT_PTR kHoverTimer = 1;
constexpr UINT kHoverDelayMs = 220;
constexpr char32_t kCheckGlyph = 0xE73E;
constexpr char32_t kArrowGlyph = 0xE76C;

struct MenuFonts {
    PopupFont label, small, icon, iconSmall;
    explicit MenuFonts(int32_t dpi)
        : label(kUiFontFace, 14, dpi),
          small(kUiFontFace, 12, dpi),
          icon(IconFontFace(), 16, dpi),
          iconSmall(IconFontFace(), 12, dpi) {}
};

class GdiMenuMeasure : public MenuTextMeasure {
public:
    GdiMenuMeasure(const TextMeter& meter, const MenuFonts& fonts) : meter_(meter), fonts_(fonts) {}
    int32_t LabelWidth(std::wstring_view text) const override {
        return meter_.Width(text, fonts_.label.get());
    }
    int32_t SmallWidth(std::wstring_view text) const override {
        return meter_.Width(text, fonts_.small.get());
    }

private:
    const TextMeter& meter_;
    const MenuFonts& fonts_;
};

// One open menu window.
struct Level {
    HWND window = nullptr;
    const std::vector<MenuItem>* items = nullptr;
    MenuLayout layout;
    std::vector<int32_t> shortcutWidths;  // per row, 0 without a shortcut
    PopupPoint origin;                    // screen position of the window
    int32_t hot = -1;                     // highlighted row
    int32_t open = -1;                    // row whose submenu is the next level
    Surface surface;

    PopupRect ScreenRect() const {
        return PopupRect{origin.x, origin.y, origin.x + layout.width, origin.y + layout.height};
    }
};

struct MenuRun {
    HWND owner;
    const Palette& palette;
    int32_t dpi;
    MenuFonts fonts;
    TextMeter meter;
    std::vector<std::unique_ptr<Level>> levels;  // the root first
    uint32_t result = 0;
    bool done = false;
    int32_t pendingLevel = -1, pendingRow = -1;  // a submenu waiting for the hover delay
    bool quit = false;
    WPARAM quitCode = 0;
    // Where the pointer was last seen: the window system also reports a mouse move when a window
    // appears under a pointer that stands still, which must not take the highlight from the keyboard.
    POINT lastMouse{};

    MenuRun(HWND o, const Palette& p, int32_t d) : owner(o), palette(p), dpi(d), fonts(d) {}
    Level& Deepest() { return *levels.back(); }
    int32_t DeepestIndex() const { return static_cast<int32_t>(levels.size()) - 1; }
};

// The run in progress: window procedures and the loop reach it here. User-interface thread only.
MenuRun* g_run = nullptr;
std::atomic<bool> g_running{false};

bool UiTestSwitch() {
    static const bool set = GetEnvironmentVariableW(L"LUMENPAD_UITEST", nullptr, 0) > 0;
    return set;
}

void PaintLevel(const MenuRun& run, Level& level, HDC target) {
    const int32_t w = level.layout.width, h = level.layout.height, dpi = run.dpi;
    Surface& s = level.surface;
    if (!PrepareSurface(s, w, h)) return;
    const Palette& p = run.palette;
    FillRect(s, RECT{0, 0, w, h}, p.surface);
    if (!IsWindows11()) FrameRect1px(s, w, h, p.surfaceBorder);
    const COLORREF disabled = MixColor(p.surface, p.text, 0.38);
    constexpr UINT kLine = DT_SINGLELINE | DT_VCENTER | DT_END_ELLIPSIS;
    const std::vector<MenuItem>& items = *level.items;
    for (size_t i = 0; i < items.size(); ++i) {
        const MenuItem& item = items[i];
        const PopupRect& row = level.layout.rows[i];
        if (item.separator) {
            const int32_t y = (row.top + row.bottom) / 2, pad = Scale(4, dpi);
            FillRect(s, RECT{row.left - pad, y, row.right + pad, y + 1}, p.surfaceBorder);
            continue;
        }
        const MenuRowParts parts = LayoutMenuRow(item, row, level.layout, level.shortcutWidths[i], dpi);
        if (item.header) {
            DrawTextLine(s, item.label, parts.label, run.fonts.small.get(), p.dimText, DT_LEFT | kLine);
            continue;
        }
        const auto index = static_cast<int32_t>(i);
        if (item.enabled && (index == level.hot || index == level.open)) {
            FillRoundRect(s, static_cast<float>(row.left), static_cast<float>(row.top),
                          static_cast<float>(row.right), static_cast<float>(row.bottom), ScaleF(4, dpi),
                          p.surfaceHover);
        }
        const COLORREF ink = item.enabled ? p.text : disabled;
        const COLORREF mark = item.enabled ? p.accent : disabled;
        if (item.checked) {
            DrawGlyph(s, kCheckGlyph, ToRect(parts.icon), run.fonts.iconSmall.get(), mark);
        } else if (item.radio) {
            FillDisc(s, (parts.icon.left + parts.icon.right) / 2.0f,
                     (parts.icon.top + parts.icon.bottom) / 2.0f, ScaleF(3, dpi) + 0.5f, mark);
        } else if (item.glyph != 0) {
            // Only a few rows' icons have line drawings: without the icon font, none shows.
            DrawGlyph(s, item.glyph, ToRect(parts.icon), run.fonts.icon.get(), ink, false);
        }
        if (!parts.arrow.Empty())
            DrawGlyph(s, kArrowGlyph, ToRect(parts.arrow), run.fonts.iconSmall.get(), ink);
        if (!parts.shortcut.Empty()) {
            DrawTextLine(s, item.shortcut, parts.shortcut, run.fonts.small.get(),
                         item.enabled ? p.dimText : disabled, DT_RIGHT | kLine);
        }
        DrawTextLine(s, item.label, parts.label, run.fonts.label.get(), ink, DT_LEFT | kLine);
    }
    PresentSurface(s, target, RECT{0, 0, w, h});
}

LRESULT CALLBACK MenuWindowProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
        case WM_NCCREATE:
            SetWindowLongPtrW(
                hwnd, GWLP_USERDATA,
                reinterpret_cast<LONG_PTR>(reinterpret_cast<CREATESTRUCTW*>(lp)->lpCreateParams));
            break;
        case WM_PAINT: {
            PAINTSTRUCT ps;
            const HDC dc = BeginPaint(hwnd, &ps);
            auto* level = reinterpret_cast<Level*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
            if (level && g_run) PaintLevel(*g_run, *level, dc);
            EndPaint(hwnd, &ps);
            return 0;
        }
        case WM_ERASEBKGND:
            return 1;
        case WM_MOUSEACTIVATE:
            return MA_NOACTIVATE;
    }
    return DefWindowProcW(hwnd, msg, wp, lp);
}

void Repaint(Level& level) {
    if (!level.window) return;
    InvalidateRect(level.window, nullptr, FALSE);
    UpdateWindow(level.window);
}

void SetHot(Level& level, int32_t row) {
    if (level.hot == row) return;
    level.hot = row;
    Repaint(level);
}

std::unique_ptr<Level> MakeLevel(MenuRun& run, const std::vector<MenuItem>& items) {
    auto level = std::make_unique<Level>();
    level->items = &items;
    level->layout = LayoutMenu(items, run.dpi, GdiMenuMeasure(run.meter, run.fonts));
    level->shortcutWidths.reserve(items.size());
    for (const MenuItem& item : items)
        level->shortcutWidths.push_back(run.meter.Width(item.shortcut, run.fonts.small.get()));
    return level;
}

// Creates, shows (without activation) and paints the level's window at `at`.
bool ShowLevel(MenuRun& run, Level& level, PopupPoint at) {
    level.origin = at;
    level.window = CreateWindowExW(WS_EX_TOPMOST | WS_EX_TOOLWINDOW | WS_EX_NOACTIVATE, kMenuClass, L"",
                                   WS_POPUP, at.x, at.y, level.layout.width, level.layout.height, run.owner,
                                   nullptr, GetModuleHandleW(nullptr), &level);
    if (!level.window) return false;
    ApplyPopupFrame(level.window, false, run.palette);
    ShowWindow(level.window, SW_SHOWNOACTIVATE);
    UpdateWindow(level.window);
    return true;
}

// Destroys every level deeper than `keep` (all of them for -1).
void CloseLevelsBelow(MenuRun& run, int32_t keep) {
    if (run.DeepestIndex() <= keep) return;
    while (run.DeepestIndex() > keep) {
        if (run.Deepest().window) DestroyWindow(run.Deepest().window);
        run.levels.pop_back();
    }
    if (run.pendingLevel > keep) run.pendingLevel = run.pendingRow = -1;
    if (keep >= 0) {
        run.Deepest().open = -1;
        Repaint(run.Deepest());
    }
}

void OpenSubmenu(MenuRun& run, int32_t levelIndex, int32_t row, bool fromKeyboard) {
    Level& parent = *run.levels[static_cast<size_t>(levelIndex)];
    const MenuItem& item = (*parent.items)[static_cast<size_t>(row)];
    if (item.submenu.empty() || !item.enabled) return;
    if (parent.open == row && run.DeepestIndex() > levelIndex) return;
    CloseLevelsBelow(run, levelIndex);
    if (run.pendingLevel == levelIndex) run.pendingLevel = run.pendingRow = -1;
    parent.open = row;
    parent.hot = row;
    Repaint(parent);

    run.levels.push_back(MakeLevel(run, item.submenu));
    Level& child = run.Deepest();
    if (fromKeyboard) child.hot = FirstSelectable(item.submenu);
    const PopupRect anchor =
        parent.layout.rows[static_cast<size_t>(row)].Offset(parent.origin.x, parent.origin.y);
    const PopupSize size{child.layout.width, child.layout.height};
    const PopupPoint at = PlaceSubmenu(anchor, size, WorkAreaNear(POINT{anchor.right, anchor.top}), run.dpi);
    if (!ShowLevel(run, child, at)) {
        run.levels.pop_back();
        parent.open = -1;
        Repaint(parent);
    }
}

void Finish(MenuRun& run, uint32_t result) {
    run.result = result;
    run.done = true;
}

void OnKey(MenuRun& run, WPARAM key) {
    Level& level = run.Deepest();
    const int32_t depth = run.DeepestIndex();
    const std::vector<MenuItem>& items = *level.items;
    switch (key) {
        case VK_TAB:
        case VK_MENU:
        case VK_F10:
            Finish(run, 0);
            break;
        case VK_RETURN:
        case VK_SPACE:
            if (level.hot >= 0 && IsSelectable(items[static_cast<size_t>(level.hot)])) {
                const MenuItem& item = items[static_cast<size_t>(level.hot)];
                if (item.submenu.empty()) {
                    Finish(run, item.id);
                } else {
                    OpenSubmenu(run, depth, level.hot, true);
                }
            }
            break;
        case VK_ESCAPE:
        case VK_LEFT:
            if (depth > 0) {
                CloseLevelsBelow(run, depth - 1);
            } else if (key == VK_ESCAPE) {
                Finish(run, 0);
            }
            break;
        case VK_HOME:
            SetHot(level, FirstSelectable(items));
            break;
        case VK_END:
            SetHot(level, LastSelectable(items));
            break;
        case VK_UP:
            SetHot(level, StepSelectable(items, level.hot, false));
            break;
        case VK_DOWN:
            SetHot(level, StepSelectable(items, level.hot, true));
            break;
        case VK_RIGHT:
            if (level.hot >= 0) OpenSubmenu(run, depth, level.hot, true);
            break;
        default:
            break;  // no access keys
    }
}

struct MenuHit {
    int32_t level = -1, row = -1;
};

// The deepest level whose window holds the screen point, and its row there.
MenuHit HitTest(const MenuRun& run, POINT pt) {
    for (int32_t i = run.DeepestIndex(); i >= 0; --i) {
        const Level& level = *run.levels[static_cast<size_t>(i)];
        if (!level.ScreenRect().Contains(pt.x, pt.y)) continue;
        return MenuHit{i,
                       MenuRowAt(level.layout, *level.items, pt.x - level.origin.x, pt.y - level.origin.y)};
    }
    return {};
}

void OnMouseMove(MenuRun& run, POINT pt) {
    const MenuHit hit = HitTest(run, pt);
    if (hit.level < 0) {
        if (run.Deepest().open < 0) SetHot(run.Deepest(), -1);
        return;
    }
    Level& level = *run.levels[static_cast<size_t>(hit.level)];
    if (hit.row >= 0 && level.open >= 0 && hit.row != level.open) CloseLevelsBelow(run, hit.level);
    // Over padding or a separator, the row whose submenu is open keeps its highlight.
    if (hit.row >= 0 || level.open < 0) SetHot(level, hit.row);
    if (hit.row < 0) return;
    const MenuItem& item = (*level.items)[static_cast<size_t>(hit.row)];
    const bool pending = run.pendingLevel == hit.level && run.pendingRow == hit.row;
    if (item.enabled && !item.submenu.empty() && level.open != hit.row && !pending) {
        run.pendingLevel = hit.level;
        run.pendingRow = hit.row;
        SetTimer(level.window, kHoverTimer, kHoverDelayMs, nullptr);
    }
}

void OnHoverTimer(MenuRun& run, HWND window) {
    KillTimer(window, kHoverTimer);
    const int32_t levelIndex = run.pendingLevel, row = run.pendingRow;
    if (levelIndex < 0 || levelIndex > run.DeepestIndex()) return;
    const Level& level = *run.levels[static_cast<size_t>(levelIndex)];
    if (level.window != window) return;
    run.pendingLevel = run.pendingRow = -1;
    if (level.hot == row) OpenSubmenu(run, levelIndex, row, false);
}

void OnButtonUp(MenuRun& run, POINT pt) {
    const MenuHit hit = HitTest(run, pt);
    if (hit.level < 0 || hit.row < 0) return;
    const MenuItem& item = (*run.levels[static_cast<size_t>(hit.level)]->items)[static_cast<size_t>(hit.row)];
    if (!IsSelectable(item)) return;
    if (item.submenu.empty()) {
        Finish(run, item.id);
    } else {
        OpenSubmenu(run, hit.level, hit.row, false);
    }
}

bool IsLevelWindow(const MenuRun& run, HWND window) {
    for (const auto& level : run.levels) {
        if (level->window == window) return true;
    }
    return false;
}

// The screen point of a mouse message: client coordinates of its window, or already screen
// coordinates for the non-client ones.
POINT ScreenPoint(const MSG& msg, bool nonClient) {
    POINT pt{GET_X_LPARAM(msg.lParam), GET_Y_LPARAM(msg.lParam)};
    if (!nonClient) ClientToScreen(msg.hwnd, &pt);
    return pt;
}

// Handles what the menu itself reads from the queue; false for messages to dispatch normally.
bool HandleMenuMessage(MenuRun& run, const MSG& msg) {
    switch (msg.message) {
        case WM_KEYDOWN:
        case WM_SYSKEYDOWN:
            OnKey(run, msg.wParam);
            return true;
        case WM_KEYUP:
        case WM_CHAR:
        case WM_DEADCHAR:
        case WM_SYSKEYUP:
        case WM_SYSCHAR:
        case WM_SYSDEADCHAR:
            return true;
        case WM_TIMER:
            if (msg.wParam != kHoverTimer || !IsLevelWindow(run, msg.hwnd)) return false;
            OnHoverTimer(run, msg.hwnd);
            return true;
        case WM_MOUSEMOVE: {
            const POINT pt = ScreenPoint(msg, false);
            if (pt.x != run.lastMouse.x || pt.y != run.lastMouse.y) OnMouseMove(run, pt);
            run.lastMouse = pt;
            return true;
        }
        case WM_LBUTTONDOWN:
        case WM_RBUTTONDOWN:
        case WM_MBUTTONDOWN:
        case WM_LBUTTONDBLCLK:
        case WM_NCLBUTTONDOWN:
        case WM_NCRBUTTONDOWN:
        case WM_NCMBUTTONDOWN:
        case WM_NCLBUTTONDBLCLK: {
            const bool nonClient = msg.message >= WM_NCMOUSEMOVE && msg.message <= WM_NCMBUTTONDBLCLK;
            if (HitTest(run, ScreenPoint(msg, nonClient)).level < 0) Finish(run, 0);
            return true;
        }
        case WM_LBUTTONUP:
        case WM_RBUTTONUP:
            OnButtonUp(run, ScreenPoint(msg, false));
            return true;
        default:
            return false;
    }
}

void RunMenuLoop(MenuRun& run) {
    const HWND root = run.levels.front()->window;
    MSG msg;
    while (!run.done) {
        const BOOL got = GetMessageW(&msg, nullptr, 0, 0);
        if (got == 0) {
            run.quit = true;
            run.quitCode = msg.wParam;
            break;
        }
        if (got < 0) break;
        // A lost capture (another window took the mouse) or a root destroyed by someone else ends the
        // menu; the message itself still goes where it was meant to.
        if (!IsWindow(root) || (!UiTestSwitch() && GetCapture() != root)) {
            run.done = true;
        } else if (HandleMenuMessage(run, msg)) {
            continue;
        }
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
}

}  // namespace

MenuLayout MeasurePopupMenu(const std::vector<MenuItem>& items, int32_t dpi) {
    const MenuFonts fonts(dpi);
    const TextMeter meter;
    return LayoutMenu(items, dpi, GdiMenuMeasure(meter, fonts));
}

uint32_t ShowPopupMenu(HWND owner, const std::vector<MenuItem>& items, POINT point, uint32_t flags,
                       const Palette& palette, int32_t dpi) {
    if (items.empty() || g_running.exchange(true)) return 0;
    RegisterPopupClass(kMenuClass, MenuWindowProc);
    MenuRun run(owner, palette, dpi);
    g_run = &run;
    run.levels.push_back(MakeLevel(run, items));
    Level& root = run.Deepest();
    const PopupSize size{root.layout.width, root.layout.height};
    const PopupPoint at = PlaceRootMenu(PopupPoint{point.x, point.y}, flags, size, WorkAreaNear(point));
    GetCursorPos(&run.lastMouse);
    if (ShowLevel(run, root, at)) {
        SetCapture(root.window);
        RunMenuLoop(run);
        if (GetCapture() == root.window) ReleaseCapture();
    }
    CloseLevelsBelow(run, -1);
    g_run = nullptr;
    g_running = false;
    if (run.quit) PostQuitMessage(static_cast<int>(run.quitCode));
    return run.result;
}

}  // namespace lumen::ui
