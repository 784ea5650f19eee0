// The settings window, the About window and the registration in the real program, driven from this
// process: a row of each kind is clicked at the place the window's own layout gives it, and the effect
// is read from the settings file, the editor (by its messages), the main window and a few pixels on
// the screen, in the light and the dark theme. The registration is read back from the registry.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/settings_pages.h"
#include "edit/sci_messages.h"
#include "files/file_association.h"
#include "app/program_support.h"
#include "support/temp_folder.h"
#include "ui/settings_layout.h"

namespace lumen {
namespace {

using namespace quill;

using test::Program;
using test::WaitFor;

std::string SettingsFile(const test::TempFolder& data) {
    return data.Read(L"Lumenpad\\settings.ini");
}

bool FileHas(const test::TempFolder& data, const std::string& line) {
    return WaitFor([&] { return SettingsFile(data).find("\n" + line + "\n") != std::string::npos; });
}

COLORREF ScreenPixel(HWND window, int32_t x, int32_t y) {
    POINT p{x, y};
    ClientToScreen(window, &p);
    const HDC screen = GetDC(nullptr);
    const COLORREF c = GetPixel(screen, p.x, p.y);
    ReleaseDC(nullptr, screen);
    return c;
}

// Drives the open settings window through its own layout.
class SettingsDriver {
public:
    SettingsDriver(HWND window, const test::TempFolder& data) : window_(window), data_(data) {}

    ui::SettingsLayout Layout() const {
        Settings s;
        ParseSettings(SettingsFile(data_), s);
        pages_ = BuildSettingsPages(s, false, 0);
        RECT client{};
        GetClientRect(window_, &client);
        return ui::MeasureSettingsWindow(pages_, page_, 0, client.right, client.bottom,
                                         static_cast<int32_t>(GetDpiForWindow(window_)));
    }
    void Click(const ui::PopupRect& r) const {
        const LPARAM at = MAKELPARAM((r.left + r.right) / 2, (r.top + r.bottom) / 2);
        PostMessageW(window_, WM_MOUSEMOVE, 0, at);
        PostMessageW(window_, WM_LBUTTONDOWN, MK_LBUTTON, at);
        PostMessageW(window_, WM_LBUTTONUP, 0, at);
    }
    void Page(int32_t page) {
        Click(Layout().pages[static_cast<size_t>(page)]);
        page_ = page;
    }
    // Clicks part `part` (segment or swatch; 0 for switches and buttons) of the row with `id`.
    void Row(uint32_t id, size_t part = 0) const {
        const ui::SettingsLayout l = Layout();
        const std::vector<ui::SettingRow>& rows = pages_[static_cast<size_t>(page_)].rows;
        for (size_t r = 0; r < rows.size(); ++r) {
            if (rows[r].id != id) continue;
            const ui::SettingRowLayout& row = l.rows[r];
            Click(row.parts.empty() ? row.control : row.parts[part]);
            return;
        }
        ADD_FAILURE() << "no row " << id << " on page " << page_;
    }

private:
    HWND window_;
    const test::TempFolder& data_;
    mutable std::vector<ui::SettingPage> pages_;
    int32_t page_ = 0;
};

// One row of each kind on each page, in the light and then the dark theme.
TEST(SettingsWindow, RowsTakeEffectAtOnceAndAreWritten) {
    test::TempFolder data;
    CreateDirectoryW(data.Wide(L"Lumenpad").c_str(), nullptr);
    data.Write(L"Lumenpad\\settings.ini", "theme=1\ntab=4\nws=0\ntopmost=0\naccent=0\n");
    Program program(L"", data);
    const HWND main = program.WaitFind(L"Lumenpad.Main");
    ASSERT_NE(main, nullptr);
    const HWND editor = FindWindowExW(main, nullptr, L"QuillEdit", nullptr);
    auto ed = [&](unsigned message, WPARAM w = 0) { return SendMessageW(editor, message, w, 0); };
    // As a user would: Ctrl+, in a window that has come to the front.
    ASSERT_TRUE(WaitFor([&] { return GetForegroundWindow() == main; }));
    PostMessageW(main, WM_COMMAND, 152, 0);
    HWND window = program.WaitFind(L"Lumenpad.Settings");
    ASSERT_NE(window, nullptr);
    EXPECT_TRUE(WaitFor([&] { return GetForegroundWindow() == window; }));
    EXPECT_TRUE(WaitFor([&] { return !IsWindowEnabled(main); })) << "the main window is disabled";
    SettingsDriver settings(window, data);

    // Light: the page list lies on the light chrome colour.
    EXPECT_TRUE(WaitFor([&] { return ScreenPixel(window, 8, 300) == 0xF3F3F3; }))
        << std::hex << ScreenPixel(window, 8, 300);
    settings.Row(kSetWhitespace);  // a switch
    EXPECT_TRUE(FileHas(data, "ws=1"));
    settings.Row(kSetTabWidth, 0);  // a segment
    EXPECT_TRUE(FileHas(data, "tab=2"));
    settings.Row(kSetTabWidth, 0);  // the selected one: nothing happens
    settings.Row(kSetWhitespace);
    EXPECT_TRUE(FileHas(data, "ws=0"));
    EXPECT_TRUE(FileHas(data, "tab=2"));

    settings.Page(1);
    settings.Row(kSetTheme, 2);  // dark: the window and the editor recolour
    EXPECT_TRUE(FileHas(data, "theme=2"));
    EXPECT_TRUE(WaitFor([&] { return ScreenPixel(window, 8, 300) == 0x202020; }))
        << std::hex << ScreenPixel(window, 8, 300);
    EXPECT_EQ(ed(SCI_STYLEGETBACK, STYLE_DEFAULT), 0x272727);
    settings.Row(kSetAccent, 3);  // a swatch
    EXPECT_TRUE(FileHas(data, "accent=3"));
    EXPECT_EQ(ed(SCI_INDICGETFORE, 8), 0xFFAABA);
    settings.Row(kSetTopmost);
    EXPECT_TRUE(FileHas(data, "topmost=1"));
    // Windows marks the main window and the popups it owns; Wine 8, while a popup is open, only the
    // popup, keeping the owner just below it. Either way the pair is now above other windows.
    EXPECT_TRUE((GetWindowLongW(main, GWL_EXSTYLE) | GetWindowLongW(window, GWL_EXSTYLE)) & WS_EX_TOPMOST);

    settings.Row(kSetFont);  // a button: the font dialog, over the settings window
    HWND font = nullptr;
    EXPECT_TRUE(WaitFor([&] {
        for (HWND w = nullptr; (w = FindWindowExW(nullptr, w, L"#32770", nullptr)) != nullptr;)
            if (GetWindow(w, GW_OWNER) == window) return (font = w) != nullptr;
        return false;
    })) << "no font dialog";
    if (font) PostMessageW(font, WM_COMMAND, IDCANCEL, 0);
    EXPECT_TRUE(WaitFor([&] { return IsWindowEnabled(window) != FALSE; }));

    settings.Page(2);
    settings.Row(kSetNewEol, 1);
    EXPECT_TRUE(FileHas(data, "neweol=2"));

    settings.Page(3);
    settings.Row(kSetAbout);  // About, owned by the settings window
    HWND about = program.WaitFind(L"Lumenpad.About");
    ASSERT_NE(about, nullptr);
    EXPECT_EQ(GetWindow(about, GW_OWNER), window);
    EXPECT_FALSE(IsWindowEnabled(window));
    PostMessageW(about, WM_KEYDOWN, VK_ESCAPE, 0);
    EXPECT_TRUE(WaitFor([&] { return !program.Find(L"Lumenpad.About") && IsWindowEnabled(window); }));

    PostMessageW(window, WM_KEYDOWN, VK_ESCAPE, 0);
    EXPECT_TRUE(WaitFor([&] { return !program.Find(L"Lumenpad.Settings") && IsWindowEnabled(main); }));
}

std::wstring ReadValue(const RegistryValue& v, DWORD& type) {
    wchar_t data[1024] = {};
    DWORD bytes = sizeof(data) - sizeof(wchar_t);
    type = 0;
    const LSTATUS status =
        RegGetValueW(HKEY_CURRENT_USER, v.key.c_str(), v.name.empty() ? nullptr : v.name.c_str(), RRF_RT_ANY,
                     &type, data, &bytes);
    return status == ERROR_SUCCESS ? std::wstring(data, bytes / sizeof(wchar_t)).c_str() : L"<missing>";
}

// Registers from `exe` through command 126, answers the dialog with "닫기", and compares every value.
void RegisterAndReadBack(const std::wstring& exe, const test::TempFolder& data) {
    Program program(L"", data, exe);
    const HWND main = program.WaitFind(L"Lumenpad.Main");
    ASSERT_NE(main, nullptr);
    PostMessageW(main, WM_COMMAND, 126, 0);
    HWND dialog = program.WaitFind(L"Lumenpad.Dialog");
    ASSERT_NE(dialog, nullptr) << "the dialog after registering";
    PostMessageW(dialog, WM_KEYDOWN, VK_ESCAPE, 0);
    EXPECT_TRUE(WaitFor([&] { return !program.Find(L"Lumenpad.Dialog"); }));
    const std::vector<RegistryValue> values = FileAssociationValues(exe);
    ASSERT_EQ(values.size(), 7u + 3u * 11u + 1u);
    EXPECT_EQ(values[2].data, L"\"" + exe + L"\" \"%1\"");
    for (const RegistryValue& v : values) {
        DWORD type = 0;
        const std::wstring read = ReadValue(v, type);
        EXPECT_EQ(type, v.none ? DWORD{REG_NONE} : DWORD{REG_SZ}) << v.key << " " << v.name;
        if (!v.none) {
            EXPECT_EQ(read, v.data) << v.key << " " << v.name;
        }
    }
}

TEST(Registration, WritesEveryValueAgainAndFromAMovedCopy) {
    test::TempFolder data, copies;
    RegisterAndReadBack(test::ProgramPath(), data);
    RegisterAndReadBack(test::ProgramPath(), data);
    // A copy in a folder with spaces (and Hangul, where Wine can make such a name).
    std::wstring folder = copies.Wide(L"옮긴 루멘판 폴더");
    if (!CreateDirectoryW(folder.c_str(), nullptr)) {
        folder = copies.Wide(L"moved program folder");
        ASSERT_TRUE(CreateDirectoryW(folder.c_str(), nullptr));
    }
    const std::wstring copy = folder + L"\\lumenpad.exe";
    ASSERT_TRUE(CopyFileW(test::ProgramPath().c_str(), copy.c_str(), FALSE));
    RegisterAndReadBack(copy, data);
}

}  // namespace
}  // namespace lumen
