// The theme against the real system: the desktop's registry values as they are read (the palette made
// from them is theme_test.cpp's), the user-interface fonts at two DPIs, and the font dialog driven
// from a timer.
#include <windows.h>

#include <gtest/gtest.h>

#include <vector>

#include "app/theme.h"
#include "files/settings.h"
#include "ui/surface_support.h"

namespace lumen {
namespace {

constexpr wchar_t kPersonalize[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Themes\\Personalize";
constexpr wchar_t kDwm[] = L"Software\\Microsoft\\Windows\\DWM";
constexpr wchar_t kAccent[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Accent";

// One HKCU value, put back as it was (or deleted) at the end of the test.
struct SavedValue {
    const wchar_t *key, *name;
    DWORD type = 0, size = 0;
    std::vector<uint8_t> bytes;
    bool existed;
    SavedValue(const wchar_t* k, const wchar_t* n) : key(k), name(n), bytes(256) {
        size = static_cast<DWORD>(bytes.size());
        existed = RegGetValueW(HKEY_CURRENT_USER, key, name, RRF_RT_ANY, &type, bytes.data(), &size) == 0;
    }
    ~SavedValue() { existed ? Set(type, bytes.data(), size) : Delete(); }
    void Set(DWORD t, const void* data, DWORD n) {
        RegSetKeyValueW(HKEY_CURRENT_USER, key, name, t, data, n);
    }
    void Delete() { RegDeleteKeyValueW(HKEY_CURRENT_USER, key, name); }
};

TEST(ThemeDesktop, ReadsTheDesktopValuesFromTheRegistry) {
    if (ReadDesktopTheme().highContrast) GTEST_SKIP() << "high contrast is on";
    SavedValue light(kPersonalize, L"AppsUseLightTheme"), accent(kDwm, L"AccentColor"),
        palette(kAccent, L"AccentPalette");
    const DWORD dark = 0, black = 0xFF000000;
    light.Set(REG_DWORD, &dark, 4);
    accent.Set(REG_DWORD, &black, 4);
    palette.Delete();
    DesktopTheme d = ReadDesktopTheme();
    EXPECT_EQ(d.appsUseLightTheme, 0u);
    EXPECT_EQ(d.accentColor, 0xFF000000u);

    uint8_t entries[32];
    for (uint8_t i = 0; i < 32; ++i)
        entries[i] = i;
    palette.Set(REG_BINARY, entries, 32);
    light.Delete();  // missing: light
    accent.Delete();
    d = ReadDesktopTheme();
    EXPECT_FALSE(d.appsUseLightTheme || d.accentColor);
    EXPECT_EQ(d.accentPalette, std::vector<uint8_t>(entries, entries + 32));
}

TEST(ThemeDesktop, UiFontsAtTwoDpis) {
    struct Want {
        HFONT UiFonts::*font;
        const wchar_t* face;
        int32_t size;
    };
    const Want wants[] = {
        {&UiFonts::uiFont, kUiFontFace, 13},          {&UiFonts::smallFont, kUiFontFace, 12},
        {&UiFonts::inputFont, kUiFontFace, 14},       {&UiFonts::iconFont, IconFontFace(), 10},
        {&UiFonts::iconFontSmall, IconFontFace(), 8}, {&UiFonts::iconFontLarge, IconFontFace(), 12},
    };
    for (int32_t dpi : {96, 144}) {
        UiFonts fonts = CreateUiFonts(dpi);
        for (const Want& w : wants) {
            LOGFONTW lf{};
            ASSERT_EQ(GetObjectW(fonts.*w.font, sizeof(lf), &lf), static_cast<int>(sizeof(lf)));
            EXPECT_EQ(lf.lfHeight, -MulDiv(w.size, dpi, 96)) << w.size << " at " << dpi;
            EXPECT_STREQ(lf.lfFaceName, w.face);
            EXPECT_EQ(lf.lfWeight, FW_NORMAL);
            EXPECT_EQ(lf.lfQuality, CLEARTYPE_QUALITY);
        }
    }
    EXPECT_STREQ(IconFontFace(), IsWindows11() ? L"Segoe Fluent Icons" : L"Segoe MDL2 Assets");
    // Moving hands the fonts over; the moved-from record owns nothing.
    UiFonts a = CreateUiFonts(96);
    const HFONT ui = a.uiFont;
    UiFonts b = std::move(a);
    EXPECT_EQ(b.uiFont, ui);
    EXPECT_EQ(a.uiFont, nullptr);
}

// What the timer does to the font dialog once it is up.
struct DialogScript {
    const wchar_t* size = nullptr;  // chosen in the size list first
    int button = IDCANCEL;
    int ticks = 0;
    bool seen = false;
};
DialogScript g_script;

HWND FindDialog() {
    HWND found = nullptr;
    EnumThreadWindows(
        GetCurrentThreadId(),
        [](HWND hwnd, LPARAM out) -> BOOL {
            wchar_t cls[16] = {};
            GetClassNameW(hwnd, cls, 16);
            if (wcscmp(cls, L"#32770") != 0 || !IsWindowVisible(hwnd)) return TRUE;
            *reinterpret_cast<HWND*>(out) = hwnd;
            return FALSE;
        },
        reinterpret_cast<LPARAM>(&found));
    return found;
}

void CALLBACK DriveDialog(HWND, UINT, UINT_PTR, DWORD) {
    HWND dialog = FindDialog();
    if (!dialog) return;
    g_script.seen = true;
    // Never leave a test waiting on a dialog that ignores the scripted button.
    if (++g_script.ticks > 40) {
        EndDialog(dialog, IDCANCEL);
        return;
    }
    constexpr int kSizeBox = 0x472;  // cmb3 of the common font dialog
    if (g_script.size) {
        // Picked from the size list as a click would: selection, then the change notification.
        HWND box = GetDlgItem(dialog, kSizeBox);
        const LRESULT index = SendMessageW(box, CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                                           reinterpret_cast<LPARAM>(g_script.size));
        SendMessageW(box, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
        SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(kSizeBox, CBN_SELCHANGE), reinterpret_cast<LPARAM>(box));
    }
    PostMessageW(dialog, WM_COMMAND, g_script.button, 0);
}

bool RunFontDialog(Settings& settings, DialogScript script) {
    g_script = script;
    const UINT_PTR timer = SetTimer(nullptr, 0, 50, DriveDialog);
    const bool ok = ChooseEditorFont(nullptr, settings);
    KillTimer(nullptr, timer);
    EXPECT_TRUE(g_script.seen);
    return ok;
}

TEST(ThemeDesktop, FontDialogEditsOnlyOnOk) {
    // A face the dialog lists: Wine's dialog does not resolve substituted names such as the default
    // face and starts at its first family instead.
    Settings settings;
    for (const wchar_t* face : {L"Liberation Sans", L"Arial"}) {
        if (test::FaceInstalled(face)) settings.font = face;
    }
    settings.size = 11.5;
    settings.weight = 700;
    settings.italic = true;
    const Settings before = settings;
    EXPECT_FALSE(RunFontDialog(settings, {nullptr, IDCANCEL}));
    EXPECT_EQ(settings, before);

    // OK without changes keeps the face, size and style.
    ASSERT_TRUE(RunFontDialog(settings, {nullptr, IDOK}));
    EXPECT_EQ(settings.font, before.font);
    EXPECT_EQ(settings.size, 11.5);
    EXPECT_EQ(settings.weight, 700);
    EXPECT_TRUE(settings.italic);

    // A new size is rounded to the nearest half point.
    ASSERT_TRUE(RunFontDialog(settings, {L"20", IDOK}));
    EXPECT_EQ(settings.size, 20.0);
}

}  // namespace
}  // namespace lumen
