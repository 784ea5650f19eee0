// The colours every painter uses and how they follow the desktop (light or dark mode, accent colour,
// high contrast); the user-interface fonts; the DPI scaling rule; the font description text.
//
// Colours are COLORREF values, 0x00BBGGRR. Every length of the user interface is given at 96 DPI and
// scaled with Scale (an integer multiply-divide that rounds like MulDiv).
//
// The palette is a pure function of the theme and accent settings and of what the desktop reports
// (DesktopTheme), so it is tested without Windows; ReadDesktopTheme gathers that report.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#ifdef _WIN32
#include <windows.h>
#endif

namespace lumen {

using Colour = uint32_t;  // 0x00BBGGRR

constexpr Colour Rgb(uint32_t r, uint32_t g, uint32_t b) {
    return r | (g << 8) | (b << 16);
}
constexpr uint32_t RedOf(Colour c) {
    return c & 0xFF;
}
constexpr uint32_t GreenOf(Colour c) {
    return (c >> 8) & 0xFF;
}
constexpr uint32_t BlueOf(Colour c) {
    return (c >> 16) & 0xFF;
}

struct Palette {
    bool dark = false;
    bool highContrast = false;  // built from system colours: painters skip decorative fills
    Colour chromeBack = 0;      // title and status bands
    Colour editorBack = 0;      // editor, active tab, the gap above the editor
    Colour text = 0;            // editor text; titles and glyphs of an active window
    Colour dimText = 0;         // inactive titles, status texts, line numbers, an inactive window
    Colour chromeHover = 0;
    Colour chromePressed = 0;
    Colour separator = 0;
    Colour inputBack = 0;    // text boxes
    Colour inputBorder = 0;  // frames of text boxes and the like
    Colour accent = 0;       // caret, find matches, focus marks
    Colour selectionBack = 0;
    Colour button = 0;         // neutral button face
    Colour surface = 0;        // popup menus, dialogs, tips
    Colour surfaceBorder = 0;  // their frame and separators
    Colour surfaceHover = 0;
    Colour surfacePressed = 0;
    Colour onAccent = 0;    // text on an accent fill: black or white
    Colour accentText = 0;  // accent used for text
    Colour error = 0;
    Colour panel = 0;

    bool operator==(const Palette&) const = default;
};

// Per channel round(a + (b - a) * t), halves away from zero; t from 0 to 1.
Colour MixColor(Colour a, Colour b, double t);
// Relative luminance, 0 to 1: (0.2126 R + 0.7152 G + 0.0722 B) / 255.
double Luminance(Colour c);

// The preset accent `index` (0..5) for the light or the dark theme; index 0 for any other.
Colour AccentPreset(int32_t index, bool dark);

// Values of the "theme" setting.
inline constexpr int32_t kThemeSystem = 0;
inline constexpr int32_t kThemeLight = 1;
inline constexpr int32_t kThemeDark = 2;
// The "accent" setting that follows the desktop; 0 to 5 are presets.
inline constexpr int32_t kAccentDesktop = 6;
// The desktop accent when the desktop names none.
inline constexpr Colour kDefaultDesktopAccent = 0xC06700;

// What the desktop reports that the palette depends on. A missing registry value is an empty
// optional (or an empty byte vector).
struct DesktopTheme {
    bool highContrast = false;
    // System colours, read only when highContrast is set.
    Colour buttonFace = 0, buttonText = 0, window = 0, windowText = 0;
    Colour highlight = 0, highlightText = 0, hotLight = 0;
    std::optional<uint32_t> appsUseLightTheme;  // Personalize "AppsUseLightTheme"
    std::optional<uint32_t> accentColor;        // DWM "AccentColor" (0xAABBGGRR)
    std::vector<uint8_t> accentPalette;         // Explorer\Accent "AccentPalette" (R, G, B, x per entry)
};

struct ResolvedTheme {
    Palette palette;
    // The desktop's own accent after the contrast fix, for the settings window's swatch; empty in
    // high contrast, where the previous one is kept.
    std::optional<Colour> desktopAccent;
};

// The palette for the "theme" (0 system, 1 light, 2 dark) and "accent" (0..5 preset, 6 desktop)
// settings; out-of-range settings act as 0.
ResolvedTheme ResolvePalette(int32_t theme, int32_t accent, const DesktopTheme& desktop);

// A length at 96 DPI for `dpi`: MulDiv(length, dpi, 96), rounding halves away from zero.
int32_t Scale(int32_t length, int32_t dpi);
// The same without rounding, for strokes and radii of the anti-aliased shapes.
inline float ScaleF(float length, int32_t dpi) {
    return length * static_cast<float>(dpi) / 96.0f;
}

// The style part of a font description: " · 굵게 기울임", " · 가늘게", "" and so on.
std::wstring FontStyleSuffix(int32_t weight, bool italic);

// The editor font's size from the font dialog's point size in tenths: the nearest half point,
// within 6..72.
double FontSizeFromTenths(int32_t tenths);
// The font dialog's weight as a setting: 400 for 0 ("don't care"), otherwise within 100..900.
int32_t FontWeightFromDialog(int32_t weight);

// Heights (negative pixel sizes) and faces of the user-interface fonts.
inline constexpr int32_t kUiFontSize = 13;
inline constexpr int32_t kSmallFontSize = 12;
inline constexpr int32_t kInputFontSize = 14;
inline constexpr int32_t kIconFontSize = 10;
inline constexpr int32_t kIconFontSmallSize = 8;
inline constexpr int32_t kIconFontLargeSize = 12;
inline constexpr wchar_t kUiFontFace[] = L"Segoe UI";
inline constexpr wchar_t kIconFaceWindows11[] = L"Segoe Fluent Icons";
inline constexpr wchar_t kIconFaceWindows10[] = L"Segoe MDL2 Assets";

#ifdef _WIN32

struct Settings;

// Build 22000 or later (read once from ntdll's RtlGetVersion, which no compatibility shim alters).
bool IsWindows11();
// "Segoe Fluent Icons" on Windows 11, else "Segoe MDL2 Assets".
const wchar_t* IconFontFace();

// The current user's theme and accent values and, in high contrast, the system colours.
DesktopTheme ReadDesktopTheme();

// The six user-interface fonts for one DPI; owns them (deleted on destruction or replacement).
struct UiFonts {
    HFONT uiFont = nullptr;
    HFONT smallFont = nullptr;
    HFONT inputFont = nullptr;
    HFONT iconFont = nullptr;
    HFONT iconFontSmall = nullptr;
    HFONT iconFontLarge = nullptr;

    UiFonts() = default;
    UiFonts(const UiFonts&) = delete;
    UiFonts& operator=(const UiFonts&) = delete;
    UiFonts(UiFonts&& other) noexcept;
    UiFonts& operator=(UiFonts&& other) noexcept;
    ~UiFonts();
};

// Weight 400, default character set, ClearType; heights -Scale(size, dpi).
UiFonts CreateUiFonts(int32_t dpi);

// Frame attributes of the toolkit's popup windows: on Windows 11 rounded corners (small ones when
// asked) and a border in surfaceBorder; always the dark-mode flag and no transitions.
void ApplyPopupFrame(HWND window, bool smallCorners, const Palette& palette);

// The system font dialog over the editor font fields of `settings` (font, size, weight, italic).
// Returns true when OK was pressed and the fields were changed; the caller then applies the theme,
// refreshes the status bar and saves the settings. Cancel leaves `settings` alone.
bool ChooseEditorFont(HWND owner, Settings& settings);

#endif

}  // namespace lumen
