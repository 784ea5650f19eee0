// Timings under Wine (disabled in normal runs): from the request to show a menu, a dialog or a tip
// until its first paint has been copied to the window. Run with
//   wine lumen_tests.exe --gtest_also_run_disabled_tests --gtest_filter='PopupBench.*'
// The menu and the dialog are ended by a posted Escape as soon as the paint returns.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <vector>

#include "app/theme.h"
#include "ui/message_dialog.h"
#include "ui/popup_menu.h"
#include "ui/popup_script.h"
#include "ui/tooltip.h"

namespace lumen::ui {
namespace {

using test::NowMs;

double g_firstPaint = -1;

// Catches the first WM_PAINT that a menu or dialog window returns from (both paint at once, through
// a sent WM_PAINT) and ends the modal loop.
LRESULT CALLBACK AfterPaint(int code, WPARAM wp, LPARAM lp) {
    const auto* m = reinterpret_cast<const CWPRETSTRUCT*>(lp);
    if (code == HC_ACTION && m->message == WM_PAINT && g_firstPaint < 0) {
        wchar_t name[32] = {};
        GetClassNameW(m->hwnd, name, 32);
        if (wcscmp(name, L"Lumenpad.Menu") == 0 || wcscmp(name, L"Lumenpad.Dialog") == 0) {
            g_firstPaint = NowMs();
            PostMessageW(m->hwnd, WM_KEYDOWN, VK_ESCAPE, 0);
        }
    }
    return CallNextHookEx(nullptr, code, wp, lp);
}

void Report(const char* name, std::vector<double> ms) {
    std::sort(ms.begin() + 1, ms.end());
    const size_t n = ms.size() - 1;
    std::printf("%-34s first %7.3f ms   then min %7.3f  median %7.3f  max %7.3f ms (%zu runs)\n", name, ms[0],
                ms[1], ms[1 + n / 2], ms[n], n);
    std::fflush(stdout);
}

std::vector<MenuItem> MainMenu() {
    std::vector<MenuItem> items;
    const wchar_t* labels[] = {
        L"새 탭",     L"새 창", L"열기…", L"최근 파일", L"저장",      L"다른 이름으로 저장…",
        L"모두 저장", L"인쇄…", L"찾기",  L"바꾸기",    L"줄로 이동", L"설정",
        L"끝내기"};
    uint32_t id = 100;
    for (const wchar_t* label : labels) {
        MenuItem m;
        m.id = id++;
        m.label = label;
        m.shortcut = L"Ctrl+Shift+" + std::wstring(1, static_cast<wchar_t>(L'A' + id % 26));
        items.push_back(m);
        if (id % 4 == 0) {
            MenuItem separator;
            separator.separator = true;
            items.push_back(separator);
        }
    }
    items[3].submenu = {items[0], items[1]};
    return items;
}

TEST(PopupBench, DISABLED_FirstPaint) {
    constexpr int kRuns = 21;
    test::OwnerWindow owner(0, 0, 1000, 700);
    const Palette palette = ResolvePalette(kThemeLight, 0, DesktopTheme{}).palette;
    const HHOOK hook = SetWindowsHookExW(WH_CALLWNDPROCRET, AfterPaint, nullptr, GetCurrentThreadId());
    ASSERT_NE(hook, nullptr);

    const std::vector<MenuItem> menu = MainMenu();
    std::vector<double> times;
    for (int i = 0; i < kRuns; ++i) {
        test::Script guard(3000);  // ends the loop if the paint never comes
        guard.Start();
        g_firstPaint = -1;
        const double t0 = NowMs();
        ShowPopupMenu(owner.hwnd(), menu, POINT{100, 80}, 0, palette, 96);
        ASSERT_GE(g_firstPaint, 0) << "no paint";
        times.push_back(g_firstPaint - t0);
    }
    Report("menu (17 rows), request to paint", times);

    DialogContent content;
    content.title = L"변경 내용을 저장할까요?";
    content.message = L"닫기 전에 저장하지 않은 문서가 있습니다.";
    for (int i = 0; i < 9; ++i)
        content.items.push_back(L"C:\\Users\\user\\Documents\\메모 " + std::to_wstring(i) + L".txt");
    content.buttons = {L"저장", L"저장 안 함", L"취소"};
    content.icon = kDialogIconQuestion;
    times.clear();
    for (int i = 0; i < kRuns; ++i) {
        test::Script guard(3000);
        guard.Start();
        g_firstPaint = -1;
        const double t0 = NowMs();
        ShowMessageDialog(owner.hwnd(), content, palette, 96);
        ASSERT_GE(g_firstPaint, 0) << "no paint";
        times.push_back(g_firstPaint - t0);
    }
    Report("dialog (9-item list), request to paint", times);
    UnhookWindowsHookEx(hook);

    TipWindow tip;
    times.clear();
    for (int i = 0; i < kRuns; ++i) {
        const double t0 = NowMs();
        ShowTip(tip, owner.hwnd(), L"인코딩: UTF-8 (클릭하면 바꿉니다)", POINT{300, 650}, palette, 96);
        // The tip paints from the queue, like any invalidated window.
        MSG msg;
        while (GetUpdateRect(tip.window, nullptr, FALSE) && PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE))
            DispatchMessageW(&msg);
        times.push_back(NowMs() - t0);
        HideTip(tip);
        test::OwnerWindow::Pump();
    }
    Report("tip, request to paint", times);
}

}  // namespace
}  // namespace lumen::ui
