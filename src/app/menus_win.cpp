// Showing the shell's menus: the state snapshot, the anchors, the menu runner and what happens to
// the chosen number.
#include <algorithm>

#include "app/app.h"
#include "app/bands.h"
#include "app/commands.h"
#include "app/editor_calls.h"
#include "app/main_window.h"
#include "app/menus.h"
#include "app/tabs.h"
#include "app/view_commands.h"
#include "edit/sci_messages.h"

namespace lumen {

using namespace quill;

namespace {

// Runs a menu for the main window and returns the chosen number (0 when dismissed).
uint32_t RunMenu(App& app, const std::vector<ui::MenuItem>& items, POINT screenPoint, uint32_t flags) {
    HideTooltip(app);
    const uint32_t chosen =
        ui::ShowPopupMenu(app.hwnd, items, screenPoint, flags, app.palette, static_cast<int32_t>(app.dpi));
    // The pointer moved while the menu was open, and the press that opened it is over.
    app.chrome.pressed = {};
    POINT p{};
    GetCursorPos(&p);
    ScreenToClient(app.hwnd, &p);
    RECT client{};
    GetClientRect(app.hwnd, &client);
    app.chrome.hover = PtInRect(&client, p) ? HitTest(app.chrome.layout, p.x, p.y) : HitPart{};
    RepaintBands(app, kBandTitle | kBandStatus);
    return chosen;
}

void RunAndDispatch(App& app, const std::vector<ui::MenuItem>& items, POINT screenPoint, uint32_t flags) {
    const uint32_t chosen = RunMenu(app, items, screenPoint, flags);
    if (chosen) {
        DispatchCommand(app, static_cast<int>(chosen));
    } else {
        FocusEditor(app);
    }
}

POINT ToScreen(App& app, int32_t x, int32_t y) {
    POINT p{x, y};
    ClientToScreen(app.hwnd, &p);
    return p;
}

// Below the button's bottom-right corner; the window's top-right corner when the button is hidden
// (focus mode, or one tab for the open-tabs list).
POINT BelowButton(App& app, const BandRect& button) {
    const BandLayout& l = app.chrome.layout;
    if (button.Empty()) return ToScreen(app, app.chrome.clientWidth - l.Scale(8), l.Scale(8));
    return ToScreen(app, button.right, button.bottom + l.Scale(4));
}

}  // namespace

MenuState TakeMenuState(App& app, int32_t tabIndex) {
    MenuState s;
    const Settings& set = app.settings;
    s.wrap = set.wrap;
    s.lines = set.lines;
    s.topmost = set.topmost;
    s.theme = set.theme;
    s.recent = set.recent;
    s.focusMode = app.focusMode;
    s.closedTabRemembered = !app.tabs.closedTabs.empty();
    if (app.editorFn) {
        s.canUndo = Ed(app, SCI_CANUNDO) != 0;
        s.canRedo = Ed(app, SCI_CANREDO) != 0;
        s.canPaste = Ed(app, SCI_CANPASTE) != 0;
        s.hasSelection = Ed(app, SCI_GETSELECTIONSTART) != Ed(app, SCI_GETSELECTIONEND);
        s.canWebSearch = CanWebSearch(app);
    }
    const TabList& list = app.tabs;
    if (const Tab* active = list.Active()) {
        s.activeIsFile = !active->path.empty();
        s.eol = active->eol;
        s.encoding = active->encoding;
    }
    const int32_t index = list.Valid(tabIndex) ? tabIndex : list.active;
    for (int i = 0; i < list.Count(); ++i) {
        const Tab& tab = *list.tabs[i];
        s.tabs.push_back({TabTitle(tab), tab.path, tab.pinned, IsUnsaved(tab)});
        if (i != index && !tab.pinned) {
            s.otherUnpinned = true;
            if (i > index) s.unpinnedRight = true;
        }
    }
    s.active = list.active;
    if (list.Valid(index)) {
        s.tabPinned = list.tabs[index]->pinned;
        s.tabIsFile = !list.tabs[index]->path.empty();
    }
    return s;
}

void ShowMainMenu(App& app) {
    RunAndDispatch(app, BuildMainMenu(TakeMenuState(app)), BelowButton(app, app.chrome.layout.menu),
                   ui::kMenuAnchorRight);
}

void ShowOpenTabsMenu(App& app) {
    const BandLayout& l = app.chrome.layout;
    const POINT at = BelowButton(app, l.openTabs.Empty() ? l.menu : l.openTabs);
    const uint32_t chosen = RunMenu(app, BuildOpenTabsMenu(TakeMenuState(app)), at, ui::kMenuAnchorRight);
    // The list handles its own numbers; the header returns nothing.
    if (chosen >= kCmdOpenTabsItem && app.tabs.Valid(static_cast<int>(chosen - kCmdOpenTabsItem)))
        ActivateTab(app, static_cast<int>(chosen - kCmdOpenTabsItem));
    FocusEditor(app);
}

void ShowTabMenu(App& app, int32_t index, POINT screenPoint) {
    if (!app.tabs.Valid(index)) return;
    ActivateTab(app, index);
    RunAndDispatch(app, BuildTabMenu(TakeMenuState(app, index)), screenPoint, 0);
}

void ShowEditMenu(App& app, POINT screenPoint) {
    RunAndDispatch(app, BuildEditMenu(TakeMenuState(app)), screenPoint, 0);
}

void ShowStatusMenu(App& app, int32_t part) {
    const BandLayout& l = app.chrome.layout;
    const BandRect* field = part == kHitZoom       ? &l.zoom
                            : part == kHitEol      ? &l.eol
                            : part == kHitEncoding ? &l.encoding
                                                   : nullptr;
    if (!field || field->Empty()) return;
    // Opens upwards, away from the status band.
    RunAndDispatch(app, BuildStatusMenu(part, TakeMenuState(app)),
                   ToScreen(app, field->left, field->top - l.Scale(4)), ui::kMenuAnchorBottom);
}

}  // namespace lumen
