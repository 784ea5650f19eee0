#include "app/menus.h"

#include "app/band_layout.h"
#include "app/commands.h"

namespace lumen {

using ui::MenuItem;

namespace {

constexpr uint16_t kGlyphRecent = 0xE81C, kGlyphTextTools = 0xE8D2, kGlyphView = 0xE7B3, kGlyphTheme = 0xE790,
                   kGlyphUnpin = 0xE77A, kGlyphPin = 0xE718, kGlyphDocument = 0xE8A5,
                   kGlyphReopenEncoding = 0xE72C;

MenuItem Command(int id, bool enabled = true) {
    MenuItem item;
    item.id = static_cast<uint32_t>(id);
    if (const CommandInfo* row = FindCommand(id)) {
        item.label = row->label;
        item.shortcut = row->shortcut;
        item.glyph = row->glyph;
    }
    item.enabled = enabled;
    return item;
}

MenuItem Check(int id, bool checked) {
    MenuItem item = Command(id);
    item.checked = checked;
    return item;
}

MenuItem Choice(int id, bool chosen) {
    MenuItem item = Command(id);
    item.glyph = 0;
    item.radio = chosen;
    return item;
}

MenuItem Separator() {
    MenuItem item;
    item.separator = true;
    return item;
}

MenuItem Header(std::wstring label) {
    MenuItem item;
    item.label = std::move(label);
    item.header = true;
    item.enabled = false;
    return item;
}

MenuItem Submenu(std::wstring label, uint16_t glyph, std::vector<MenuItem> items, bool enabled = true) {
    MenuItem item;
    item.label = std::move(label);
    item.glyph = glyph;
    item.submenu = std::move(items);
    item.enabled = enabled;
    return item;
}

std::vector<MenuItem> RecentMenu(const MenuState& s) {
    std::vector<MenuItem> items;
    if (s.recent.empty()) {
        MenuItem none;
        none.label = L"최근 파일 없음";
        none.enabled = false;
        items.push_back(std::move(none));
        return items;
    }
    for (size_t i = 0; i < s.recent.size() && i < 10; ++i) {
        MenuItem item;
        item.id = static_cast<uint32_t>(kCmdRecentFile + i);
        item.label = FileNameOf(s.recent[i]);
        item.shortcut = FolderNameOf(s.recent[i]);
        items.push_back(std::move(item));
    }
    items.push_back(Separator());
    items.push_back(Command(kCmdClearRecent));
    return items;
}

std::vector<MenuItem> EncodingChoices(int base, uint32_t chosen, bool mark) {
    std::vector<MenuItem> items;
    for (int e = 0; e < 5; ++e)
        items.push_back(Choice(base + e, mark && chosen == static_cast<uint32_t>(e)));
    return items;
}

}  // namespace

std::wstring_view FileNameOf(std::wstring_view path) {
    const size_t slash = path.find_last_of(L"\\/");
    return slash == std::wstring_view::npos ? path : path.substr(slash + 1);
}

std::wstring_view FolderNameOf(std::wstring_view path) {
    const size_t slash = path.find_last_of(L"\\/");
    if (slash == std::wstring_view::npos) return {};
    return FileNameOf(path.substr(0, slash));
}

std::vector<MenuItem> BuildTextToolsMenu() {
    std::vector<MenuItem> items;
    for (int id : {153, 154, 157, 155, 156, 145, 146, 147, 161, 158, 159, 160})
        items.push_back(Command(id));
    items.push_back(Separator());
    items.push_back(Command(148));
    items.push_back(Command(149));
    return items;
}

std::vector<MenuItem> BuildMainMenu(const MenuState& s) {
    std::vector<MenuItem> items{Command(kCmdNewTab),
                                Command(kCmdOpen),
                                Submenu(L"최근 파일", kGlyphRecent, RecentMenu(s)),
                                Separator(),
                                Command(kCmdSave),
                                Command(kCmdSaveAs),
                                Command(kCmdSaveAll),
                                Command(kCmdPrint),
                                Separator(),
                                Command(kCmdFind),
                                Command(kCmdReplace),
                                Command(kCmdGoToLine),
                                Command(kCmdTimeDate),
                                Submenu(L"텍스트 도구", kGlyphTextTools, BuildTextToolsMenu()),
                                Separator()};
    items.push_back(Submenu(L"보기", kGlyphView,
                            {Check(kCmdWordWrap, s.wrap), Check(kCmdLineNumbers, s.lines),
                             Command(kCmdZoomIn), Command(kCmdZoomOut), Command(kCmdZoomReset),
                             Check(kCmdFocusMode, s.focusMode), Check(kCmdTopmost, s.topmost)}));
    items.push_back(
        Submenu(L"테마", kGlyphTheme,
                {Choice(121, s.theme == 0), Choice(122, s.theme == 1), Choice(123, s.theme == 2)}));
    items.push_back(Separator());
    items.push_back(Command(kCmdReopenClosed, s.closedTabRemembered));
    items.push_back(Command(kCmdCloseTab));
    items.push_back(Separator());
    items.push_back(Command(kCmdSettings));
    items.push_back(Command(kCmdAbout));
    items.push_back(Command(kCmdQuit));
    return items;
}

std::vector<MenuItem> BuildEditMenu(const MenuState& s) {
    return {Command(kCmdUndo, s.canUndo),
            Command(kCmdRedo, s.canRedo),
            Command(kCmdCut, s.hasSelection),
            Command(kCmdCopy, s.hasSelection),
            Command(kCmdPaste, s.canPaste),
            Command(kCmdDelete, s.hasSelection),
            Command(kCmdSelectAll),
            Command(kCmdFind),
            Command(kCmdWebSearch, s.canWebSearch),
            Submenu(L"텍스트 도구", kGlyphTextTools, BuildTextToolsMenu())};
}

std::vector<MenuItem> BuildTabMenu(const MenuState& s) {
    MenuItem pin = Command(kCmdPin);
    if (s.tabPinned) {
        pin.label = L"고정 해제";
        pin.glyph = kGlyphUnpin;
    }
    return {pin,
            Command(kCmdCloseTabMenu),
            Command(kCmdCloseOthers, s.otherUnpinned),
            Command(kCmdCloseRight, s.unpinnedRight),
            Command(kCmdReopenClosed, s.closedTabRemembered),
            Command(kCmdCopyPath, s.tabIsFile),
            Command(kCmdOpenFolder, s.tabIsFile)};
}

std::vector<MenuItem> BuildOpenTabsMenu(const MenuState& s) {
    std::vector<MenuItem> items{Header(L"열린 탭 " + std::to_wstring(s.tabs.size()) + L"개")};
    for (size_t i = 0; i < s.tabs.size(); ++i) {
        const OpenTabEntry& tab = s.tabs[i];
        MenuItem item;
        item.id = static_cast<uint32_t>(kCmdOpenTabsItem + i);
        item.label = tab.unsaved ? L"● " + tab.title : tab.title;
        item.shortcut = tab.path.empty() ? std::wstring(L"메모") : std::wstring(FolderNameOf(tab.path));
        item.glyph = tab.pinned ? kGlyphPin : kGlyphDocument;
        item.checked = static_cast<int32_t>(i) == s.active;
        items.push_back(std::move(item));
    }
    return items;
}

std::vector<MenuItem> BuildStatusMenu(int32_t part, const MenuState& s) {
    switch (part) {
        case kHitZoom: {
            MenuItem reset = Command(kCmdZoomReset);
            reset.label = L"기본 크기 (100%)";
            return {Command(kCmdZoomIn), Command(kCmdZoomOut), reset};
        }
        case kHitEol:
            return {Header(L"줄 바꿈 형식"), Choice(kCmdEolCrlf, s.eol == 0), Choice(kCmdEolLf, s.eol == 2),
                    Choice(kCmdEolCr, s.eol == 1)};
        case kHitEncoding: {
            std::vector<MenuItem> items{Header(L"저장할 인코딩")};
            for (MenuItem& item : EncodingChoices(kCmdSaveEncoding, s.encoding, true))
                items.push_back(std::move(item));
            items.push_back(Submenu(L"다른 인코딩으로 다시 열기", kGlyphReopenEncoding,
                                    EncodingChoices(kCmdReopenEncoding, s.encoding, false), s.activeIsFile));
            return items;
        }
        default:
            return {};
    }
}

}  // namespace lumen
