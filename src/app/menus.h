// The shell's menus as plain data: each is built from one snapshot of the state it cares about,
// taken when the menu opens, so nothing asks the editor or the tab list item by item. Labels,
// shortcut texts and icons come from the command table (commands.h). Showing a menu and running
// the chosen command is menus_win.cpp.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "ui/popup_menu.h"

namespace lumen {

// One row of the open-tabs menu.
struct OpenTabEntry {
    std::wstring title;  // TabTitle
    std::wstring path;   // empty for a memo
    bool pinned = false;
    bool unsaved = false;
};

struct MenuState {
    // The editor.
    bool canUndo = false, canRedo = false, canPaste = false;
    bool hasSelection = false;
    bool canWebSearch = false;  // a selection short enough to search
    // The settings and the window.
    bool wrap = false, lines = false, focusMode = false, topmost = false;
    int32_t theme = 0;
    std::vector<std::wstring> recent;  // newest first
    bool closedTabRemembered = false;
    // The active tab.
    bool activeIsFile = false;
    uint32_t eol = 0, encoding = 0;
    // The tab a tab menu is for.
    bool tabPinned = false, tabIsFile = false;
    bool otherUnpinned = false;  // another unpinned tab exists
    bool unpinnedRight = false;  // an unpinned tab stands to its right
    // Every tab in display order, and the active one.
    std::vector<OpenTabEntry> tabs;
    int32_t active = -1;
};

// The name after the last backslash or slash, and the name of the folder holding it ("" for none).
std::wstring_view FileNameOf(std::wstring_view path);
std::wstring_view FolderNameOf(std::wstring_view path);

std::vector<ui::MenuItem> BuildMainMenu(const MenuState& state);
std::vector<ui::MenuItem> BuildTextToolsMenu();
std::vector<ui::MenuItem> BuildEditMenu(const MenuState& state);
std::vector<ui::MenuItem> BuildTabMenu(const MenuState& state);
// Header "열린 탭 N개", then one row per tab with command kCmdOpenTabsItem + index.
std::vector<ui::MenuItem> BuildOpenTabsMenu(const MenuState& state);
// The menus of the status fields: part 11 zoom, 12 line breaks, 13 encoding (empty for others).
std::vector<ui::MenuItem> BuildStatusMenu(int32_t part, const MenuState& state);

#ifdef _WIN32
struct App;
// The snapshot for the menus, with the tab-menu fields for tab `tabIndex` (the active tab when -1).
MenuState TakeMenuState(App& app, int32_t tabIndex = -1);

// Each builds its items, runs them through the menu runner (the tooltip hidden, the bands' pressed
// and hover states read again afterwards) and dispatches the chosen command.
void ShowMainMenu(App& app);
void ShowOpenTabsMenu(App& app);
// The tab is activated first; the menu opens at the screen point.
void ShowTabMenu(App& app, int32_t index, POINT screenPoint);
void ShowEditMenu(App& app, POINT screenPoint);
// Part 11, 12 or 13 of the status band.
void ShowStatusMenu(App& app, int32_t part);
#endif

}  // namespace lumen
