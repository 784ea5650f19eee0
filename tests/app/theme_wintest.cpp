// The theme against the real system: the desktop's registry values as the palette reads them, the
// user-interface fonts at two DPIs, and the font dialog driven from a timer.
#include <windows.h>

#include <gtest/gtest.h>

#include <optional>
#include <vector>

#include "app/theme.h"
#include "files/settings.h"

namespace lumen {
namespace {

constexpr wchar_t kPersonalize[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Themes\\Personalize";
constexpr wchar_t kDwm[] = L"Software\\Microsoft\\Windows\\DWM";
constexpr wchar_t kAccent[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Accent";

// One HKCU value, put back as it was (or deleted) at the end of the test.
class SavedValue {
public:
    SavedValue(const wchar_t* key, const wchar_t* name) : key_(key), name_(name) {
        DWORD size = 0;
        if (RegGetValueW(HKEY_CURRENT_USER, key, name, RRF_RT_ANY, &type_, nullptr, &size) == ERROR_SUCCESS) {
            bytes_.emplace(size);
            RegGetValueW(HKEY_CURRENT_USER, key, name, RRF_RT_ANY, &type_, bytes_->data(), &size);
        }
    }
    ~SavedValue() {
        if (bytes_) {
            Set(type_, bytes_->data(), static_cast<DWORD>(bytes_->size()));
        } else {
            Delete();
        }
    }
    void Set(DWORD type, const void* data, DWORD size) {
        ASSERT_EQ(RegSetKeyValueW(HKEY_CURRENT_USER, key_, name_, type, data, size), ERROR_SUCCESS);
    }
    void SetDword(DWORD value) { Set(REG_DWORD, &value, sizeof(value)); }
    void Delete() { RegDeleteKeyValueW(HKEY_CURRENT_USER, key_, name_); }

private:
    const wchar_t* key_;
    const wchar_t* name_;
    DWORD type_ = 0;
    std::optional<std::vector<uint8_t>> bytes_;
};

TEST(ThemeDesktop, PaletteFollowsTheRegistry) {
    if (ReadDesktopTheme().highContrast) GTEST_SKIP() << "high contrast is on";
    SavedValue light(kPersonalize, L"AppsUseLightTheme");
    SavedValue accent(kDwm, L"AccentColor");
    SavedValue palette(kAccent, L"AccentPalette");

    light.SetDword(0);
    accent.SetDword(0xFF000000);  // black
    palette.Delete();
    DesktopTheme d = ReadDesktopTheme();
    EXPECT_EQ(d.appsUseLightTheme, 0u);
    EXPECT_EQ(d.accentColor, 0xFF000000u);
    ResolvedTheme r = ResolvePalette(kThemeSystem, kAccentDesktop, d);
    EXPECT_TRUE(r.palette.dark);
    EXPECT_EQ(r.palette.accent, 0x737373u);  // lightened for dark chrome
    EXPECT_EQ(r.palette.editorBack, 0x272727u);

    std::vector<uint8_t> entries(32);
    for (size_t i = 0; i < entries.size(); ++i)
        entries[i] = static_cast<uint8_t>(i);
    palette.Set(REG_BINARY, entries.data(), static_cast<DWORD>(entries.size()));
    r = ResolvePalette(kThemeSystem, kAccentDesktop, ReadDesktopTheme());
    EXPECT_EQ(r.palette.accent, Rgb(4, 5, 6));  // entry 1
    EXPECT_EQ(r.desktopAccent, Rgb(4, 5, 6));

    light.Delete();  // missing: light
    r = ResolvePalette(kThemeSystem, kAccentDesktop, ReadDesktopTheme());
    EXPECT_FALSE(r.palette.dark);
    EXPECT_EQ(r.palette.accent, Rgb(16, 17, 18));  // entry 4
    EXPECT_EQ(r.palette.editorBack, 0xFFFFFFu);

    palette.Delete();
    accent.Delete();
    light.SetDword(1);
    d = ReadDesktopTheme();
    EXPECT_FALSE(d.accentColor.has_value());
    EXPECT_TRUE(d.accentPalette.empty());
    r = ResolvePalette(kThemeDark, 3, d);
    EXPECT_TRUE(r.palette.dark);
    EXPECT_EQ(r.palette.accent, Rgb(186, 170, 255));
    EXPECT_EQ(r.palette.onAccent, 0u);
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
    // A face the dialog lists on Windows and under Wine alike (Wine's dialog does not resolve
    // substituted names such as the default face and starts at its first family instead).
    Settings settings;
    settings.font = L"Liberation Sans";
    settings.size = 11.5;
    settings.weight = 700;
    settings.italic = true;
    const Settings before = settings;
    EXPECT_FALSE(RunFontDialog(settings, {nullptr, IDCANCEL}));
    EXPECT_EQ(settings, before);

    // OK without changes keeps the face, size and style.
    ASSERT_TRUE(RunFontDialog(settings, {nullptr, IDOK}));
    EXPECT_EQ(settings.font, L"Liberation Sans");
    EXPECT_EQ(settings.size, 11.5);
    EXPECT_EQ(settings.weight, 700);
    EXPECT_TRUE(settings.italic);

    // A new size is rounded to the nearest half point.
    ASSERT_TRUE(RunFontDialog(settings, {L"20", IDOK}));
    EXPECT_EQ(settings.size, 20.0);
}

}  // namespace
}  // namespace lumen
