#include <dwmapi.h>

#include <cmath>
#include <cwchar>
#include <utility>

#include "app/theme.h"
#include "files/settings.h"
#include "files/system_library_win.h"

namespace lumen {
namespace {

// DWM window attributes by number: older SDK headers lack the Windows 11 ones.
constexpr DWORD kDwmTransitionsForceDisabled = 3;
constexpr DWORD kDwmImmersiveDarkMode = 20;
constexpr DWORD kDwmWindowCornerPreference = 33;
constexpr DWORD kDwmBorderColor = 34;
constexpr DWORD kDwmCornerRound = 2;
constexpr DWORD kDwmCornerRoundSmall = 3;

std::optional<uint32_t> ReadDword(const wchar_t* key, const wchar_t* name) {
    DWORD value = 0;
    DWORD size = sizeof(value);
    if (RegGetValueW(HKEY_CURRENT_USER, key, name, RRF_RT_REG_DWORD, nullptr, &value, &size) !=
        ERROR_SUCCESS) {
        return std::nullopt;
    }
    return value;
}

std::vector<uint8_t> ReadBinary(const wchar_t* key, const wchar_t* name) {
    DWORD size = 0;
    if (RegGetValueW(HKEY_CURRENT_USER, key, name, RRF_RT_REG_BINARY, nullptr, nullptr, &size) !=
        ERROR_SUCCESS) {
        return {};
    }
    std::vector<uint8_t> bytes(size);
    if (size == 0 || RegGetValueW(HKEY_CURRENT_USER, key, name, RRF_RT_REG_BINARY, nullptr, bytes.data(),
                                  &size) != ERROR_SUCCESS) {
        return {};
    }
    bytes.resize(size);
    return bytes;
}

HFONT MakeFont(const wchar_t* face, int32_t size, int32_t dpi) {
    return CreateFontW(-Scale(size, dpi), 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET,
                       OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, CLEARTYPE_QUALITY,
                       DEFAULT_PITCH | FF_DONTCARE, face);
}

void DeleteFonts(UiFonts& f) {
    for (HFONT* font :
         {&f.uiFont, &f.smallFont, &f.inputFont, &f.iconFont, &f.iconFontSmall, &f.iconFontLarge}) {
        if (*font) DeleteObject(*font);
        *font = nullptr;
    }
}

}  // namespace

bool IsWindows11() {
    static const bool windows11 = [] {
        using RtlGetVersionFn = LONG(WINAPI*)(OSVERSIONINFOW*);
        const HMODULE ntdll = GetModuleHandleW(L"ntdll.dll");
        const auto get = ntdll ? reinterpret_cast<RtlGetVersionFn>(
                                     reinterpret_cast<void*>(GetProcAddress(ntdll, "RtlGetVersion")))
                               : nullptr;
        OSVERSIONINFOW info{};
        info.dwOSVersionInfoSize = sizeof(info);
        return get && get(&info) == 0 && info.dwBuildNumber >= 22000;
    }();
    return windows11;
}

const wchar_t* IconFontFace() {
    return IsWindows11() ? kIconFaceWindows11 : kIconFaceWindows10;
}

DesktopTheme ReadDesktopTheme() {
    DesktopTheme d;
    HIGHCONTRASTW hc{};
    hc.cbSize = sizeof(hc);
    d.highContrast =
        SystemParametersInfoW(SPI_GETHIGHCONTRAST, sizeof(hc), &hc, 0) && (hc.dwFlags & HCF_HIGHCONTRASTON);
    if (d.highContrast) {
        d.buttonFace = GetSysColor(COLOR_BTNFACE);
        d.buttonText = GetSysColor(COLOR_BTNTEXT);
        d.window = GetSysColor(COLOR_WINDOW);
        d.windowText = GetSysColor(COLOR_WINDOWTEXT);
        d.highlight = GetSysColor(COLOR_HIGHLIGHT);
        d.highlightText = GetSysColor(COLOR_HIGHLIGHTTEXT);
        d.hotLight = GetSysColor(COLOR_HOTLIGHT);
        return d;
    }
    d.appsUseLightTheme =
        ReadDword(L"Software\\Microsoft\\Windows\\CurrentVersion\\Themes\\Personalize", L"AppsUseLightTheme");
    d.accentColor = ReadDword(L"Software\\Microsoft\\Windows\\DWM", L"AccentColor");
    d.accentPalette =
        ReadBinary(L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Accent", L"AccentPalette");
    return d;
}

UiFonts::UiFonts(UiFonts&& other) noexcept {
    *this = std::move(other);
}

UiFonts& UiFonts::operator=(UiFonts&& other) noexcept {
    if (this != &other) {
        DeleteFonts(*this);
        uiFont = std::exchange(other.uiFont, nullptr);
        smallFont = std::exchange(other.smallFont, nullptr);
        inputFont = std::exchange(other.inputFont, nullptr);
        iconFont = std::exchange(other.iconFont, nullptr);
        iconFontSmall = std::exchange(other.iconFontSmall, nullptr);
        iconFontLarge = std::exchange(other.iconFontLarge, nullptr);
    }
    return *this;
}

UiFonts::~UiFonts() {
    DeleteFonts(*this);
}

UiFonts CreateUiFonts(int32_t dpi) {
    UiFonts f;
    const wchar_t* icons = IconFontFace();
    f.uiFont = MakeFont(kUiFontFace, kUiFontSize, dpi);
    f.smallFont = MakeFont(kUiFontFace, kSmallFontSize, dpi);
    f.inputFont = MakeFont(kUiFontFace, kInputFontSize, dpi);
    f.iconFont = MakeFont(icons, kIconFontSize, dpi);
    f.iconFontSmall = MakeFont(icons, kIconFontSmallSize, dpi);
    f.iconFontLarge = MakeFont(icons, kIconFontLargeSize, dpi);
    return f;
}

void ApplyPopupFrame(HWND window, bool smallCorners, const Palette& palette) {
    if (IsWindows11()) {
        const DWORD corners = smallCorners ? kDwmCornerRoundSmall : kDwmCornerRound;
        DwmSetWindowAttribute(window, kDwmWindowCornerPreference, &corners, sizeof(corners));
        const COLORREF border = palette.surfaceBorder;
        DwmSetWindowAttribute(window, kDwmBorderColor, &border, sizeof(border));
    }
    const BOOL dark = palette.dark ? TRUE : FALSE;
    DwmSetWindowAttribute(window, kDwmImmersiveDarkMode, &dark, sizeof(dark));
    const BOOL noTransitions = TRUE;
    DwmSetWindowAttribute(window, kDwmTransitionsForceDisabled, &noTransitions, sizeof(noTransitions));
}

bool ChooseEditorFont(HWND owner, Settings& settings) {
    int32_t dpiY = 96;
    if (HDC screen = GetDC(owner)) {
        dpiY = GetDeviceCaps(screen, LOGPIXELSY);
        ReleaseDC(owner, screen);
    }
    LOGFONTW font{};
    font.lfHeight = -static_cast<LONG>(std::lround(dpiY * settings.size / 72.0));
    font.lfWeight = settings.weight;
    font.lfItalic = settings.italic ? TRUE : FALSE;
    font.lfCharSet = DEFAULT_CHARSET;
    wcsncpy(font.lfFaceName, settings.font.c_str(), LF_FACESIZE - 1);
    // The dialog should show the face that is really used, a substitute when the named one is missing.
    if (HFONT created = CreateFontIndirectW(&font)) {
        if (HDC dc = GetDC(nullptr)) {
            const HGDIOBJ old = SelectObject(dc, created);
            wchar_t used[LF_FACESIZE] = {};
            if (GetTextFaceW(dc, LF_FACESIZE, used) > 0) wcsncpy(font.lfFaceName, used, LF_FACESIZE - 1);
            SelectObject(dc, old);
            ReleaseDC(nullptr, dc);
        }
        DeleteObject(created);
    }
    const LONG preparedHeight = font.lfHeight;

    CHOOSEFONTW choose{};
    choose.lStructSize = sizeof(choose);
    choose.hwndOwner = owner;
    choose.lpLogFont = &font;
    choose.Flags = CF_SCREENFONTS | CF_NOVERTFONTS | CF_NOSCRIPTSEL | CF_INITTOLOGFONTSTRUCT;
    static const auto chooseFont =
        SystemFunction<BOOL(WINAPI*)(CHOOSEFONTW*)>(L"comdlg32.dll", "ChooseFontW");
    if (!chooseFont || !chooseFont(&choose)) return false;

    settings.font = font.lfFaceName;
    if (font.lfHeight != preparedHeight) settings.size = FontSizeFromTenths(choose.iPointSize);
    settings.weight = FontWeightFromDialog(font.lfWeight);
    settings.italic = font.lfItalic != 0;
    return true;
}

}  // namespace lumen
