// Screenshot poses for scripts/ui-shots.sh (disabled in normal runs): a menu with a submenu open, a
// question dialog and a tip, in light and in dark mode, over a window in the editor's colour. At each
// pose the test writes "<name>.ready" into LUMENPAD_SHOTS_DIR and waits (its loop still running) for
// the script to take the screen and write "<name>.done".
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "app/theme.h"
#include "ui/message_dialog.h"
#include "ui/popup_menu.h"
#include "ui/popup_script.h"
#include "ui/tooltip.h"

namespace lumen::ui {
namespace {

std::wstring g_folder;

bool Exists(const std::wstring& path) {
    return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

// Adds the steps of one pose: announce it, then wait until the picture has been taken.
void Pose(test::Script& script, const std::wstring& name) {
    script.Do([name] {
        if (FILE* f = _wfopen((g_folder + L"\\" + name + L".ready").c_str(), L"w")) std::fclose(f);
    });
    script.Until([name] { return Exists(g_folder + L"\\" + name + L".done"); });
}

MenuItem Item(uint32_t id, const wchar_t* label, const wchar_t* shortcut = L"") {
    MenuItem m;
    m.id = id;
    m.label = label;
    m.shortcut = shortcut;
    return m;
}

std::vector<MenuItem> Menu() {
    MenuItem separator;
    separator.separator = true;
    MenuItem header = Item(0, L"다시 열기");
    header.header = true;
    MenuItem utf8 = Item(201, L"UTF-8");
    utf8.radio = true;
    MenuItem ansi = Item(205, L"ANSI");
    ansi.enabled = false;
    MenuItem encodings = Item(0, L"인코딩");
    encodings.submenu = {
        header, utf8, Item(202, L"UTF-8 (BOM)"), Item(203, L"UTF-16 LE"), Item(204, L"UTF-16 BE"), ansi};
    MenuItem wrap = Item(120, L"자동 줄 바꿈", L"Alt+Z");
    wrap.checked = true;
    MenuItem quit = Item(199, L"끝내기");
    quit.enabled = false;
    return {Item(100, L"새 탭", L"Ctrl+T"),
            Item(101, L"열기…", L"Ctrl+O"),
            Item(102, L"저장", L"Ctrl+S"),
            Item(103, L"다른 이름으로 저장…", L"Ctrl+Shift+S"),
            separator,
            encodings,
            wrap,
            separator,
            quit};
}

DialogContent Question() {
    DialogContent c;
    c.title = L"변경 내용을 저장할까요?";
    c.message = L"저장하지 않은 문서 9개가 있습니다. 저장하지 않으면 변경 내용이 사라집니다.";
    c.items = {
        L"C:\\Users\\사용자\\Documents\\프로젝트\\아주 긴 폴더 이름\\또 다른 폴더\\회의록 2024-05-01.txt"};
    for (int i = 1; i < 9; ++i)
        c.items.push_back(L"제목 없음 " + std::to_wstring(i));
    c.buttons = {L"저장", L"저장 안 함", L"취소"};
    c.icon = kDialogIconWarning;
    return c;
}

TEST(PopupShots, DISABLED_LightAndDark) {
    wchar_t folder[MAX_PATH] = {};
    if (!GetEnvironmentVariableW(L"LUMENPAD_SHOTS_DIR", folder, MAX_PATH))
        GTEST_SKIP() << "LUMENPAD_SHOTS_DIR unset";
    g_folder = folder;
    const std::vector<MenuItem> menu = Menu();
    for (int32_t theme : {kThemeLight, kThemeDark}) {
        const Palette palette = ResolvePalette(theme, 0, DesktopTheme{}).palette;
        const std::wstring mode = theme == kThemeLight ? L"light" : L"dark";
        test::OwnerWindow owner(0, 0, 900, 640);
        const HBRUSH back = CreateSolidBrush(palette.editorBack);
        SetClassLongPtrW(owner.hwnd(), GCLP_HBRBACKGROUND, reinterpret_cast<LONG_PTR>(back));
        InvalidateRect(owner.hwnd(), nullptr, TRUE);
        test::OwnerWindow::Pump();

        test::Script menuScript(30000);
        // Up twice from nothing: the encoding row; Right opens its submenu; Down: "UTF-8 (BOM)".
        for (WPARAM key : {VK_UP, VK_UP, VK_RIGHT, VK_DOWN}) {
            menuScript.Do([key] {
                for (HWND w : test::ThreadWindows(L"Lumenpad.Menu")) {
                    PostMessageW(w, WM_KEYDOWN, key, 0);
                    break;
                }
            });
        }
        Pose(menuScript, mode + L"-menu");
        menuScript.Do(
            [] { PostMessageW(test::ThreadWindows(L"Lumenpad.Menu").front(), WM_KEYDOWN, VK_TAB, 0); });
        menuScript.Start();
        ShowPopupMenu(owner.hwnd(), menu, POINT{60, 48}, 0, palette, 96);
        menuScript.Stop();
        EXPECT_TRUE(menuScript.Finished());

        test::Script dialogScript(30000);
        dialogScript.Do(
            [] { PostMessageW(test::ThreadWindows(L"Lumenpad.Dialog").front(), WM_KEYDOWN, VK_TAB, 0); });
        Pose(dialogScript, mode + L"-dialog");
        dialogScript.Do(
            [] { PostMessageW(test::ThreadWindows(L"Lumenpad.Dialog").front(), WM_KEYDOWN, VK_ESCAPE, 0); });
        dialogScript.Start();
        ShowMessageDialog(owner.hwnd(), Question(), palette, 96);
        dialogScript.Stop();
        EXPECT_TRUE(dialogScript.Finished());

        TipWindow tip;
        ShowTip(tip, owner.hwnd(), L"인코딩: UTF-8 — 누르면 다른 인코딩으로 다시 열거나 저장합니다",
                POINT{560, 600}, palette, 96);
        test::Script tipScript(30000);
        Pose(tipScript, mode + L"-tip");
        tipScript.Start();
        MSG msg;
        while (!tipScript.Finished() && !tipScript.TimedOut() && GetMessageW(&msg, nullptr, 0, 0)) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
        tipScript.Stop();
        EXPECT_TRUE(tipScript.Finished());
        HideTip(tip);
        SetClassLongPtrW(owner.hwnd(), GCLP_HBRBACKGROUND,
                         reinterpret_cast<LONG_PTR>(GetStockObject(WHITE_BRUSH)));
        DeleteObject(back);
    }
}

}  // namespace
}  // namespace lumen::ui
