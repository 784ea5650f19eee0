#include "app/theme.h"

#include <algorithm>
#include <cmath>

namespace lumen {
namespace {

constexpr Colour kBlack = 0x000000;
constexpr Colour kWhite = 0xFFFFFF;

struct ThemeColours {
    Colour chromeBack, editorBack, text, dimText, chromeHover, chromePressed, separator, inputBack,
        inputBorder, button, surface, surfaceBorder, surfaceHover, surfacePressed, error, panel;
};

constexpr ThemeColours kLight{0xF3F3F3, 0xFFFFFF, 0x1B1B1B, 0x646464, 0xE7E7E7, 0xDCDCDC, 0xE5E5E5, 0xFFFFFF,
                              0xDADADA, 0xF0F0F0, 0xF9F9F9, 0xE0E0E0, 0xEDEDED, 0xE6E6E6, 0x1C2BC4, 0xF9F9F9};
constexpr ThemeColours kDark{0x202020, 0x272727, 0xE8E8E8, 0xA0A0A0, 0x323232, 0x3C3C3C, 0x363636, 0x1E1E1E,
                             0x464646, 0x343434, 0x2C2C2C, 0x424242, 0x383838, 0x323232, 0x5548E8, 0x2D2D2D};

// Accent presets 0..5: light theme, dark theme.
constexpr Colour kAccentPresets[6][2] = {
    {Rgb(0, 95, 184), Rgb(96, 205, 255)},  {Rgb(0, 120, 122), Rgb(80, 210, 210)},
    {Rgb(16, 124, 16), Rgb(108, 203, 95)}, {Rgb(104, 72, 196), Rgb(186, 170, 255)},
    {Rgb(190, 80, 0), Rgb(255, 170, 90)},  {Rgb(184, 0, 110), Rgb(255, 140, 200)},
};

Palette HighContrastPalette(const DesktopTheme& d) {
    Palette p;
    p.highContrast = true;
    p.dark = Luminance(d.window) < 0.5;
    p.chromeBack = d.buttonFace;
    p.editorBack = d.window;
    p.text = d.windowText;
    p.dimText = d.buttonText;
    p.chromeHover = MixColor(d.buttonFace, d.windowText, 0.2);
    p.chromePressed = MixColor(d.buttonFace, d.windowText, 0.3);
    p.separator = d.windowText;
    p.inputBack = d.window;
    p.inputBorder = d.windowText;
    p.accent = d.highlight;
    p.selectionBack = d.highlight;
    p.button = MixColor(d.window, d.windowText, 0.15);
    p.surface = d.window;
    p.surfaceBorder = d.windowText;
    p.surfaceHover = MixColor(d.window, d.windowText, 0.2);
    p.surfacePressed = MixColor(d.window, d.windowText, 0.3);
    p.onAccent = d.highlightText;
    p.accentText = d.hotLight;
    p.error = d.highlight;
    p.panel = d.buttonFace;
    return p;
}

}  // namespace

Colour MixColor(Colour a, Colour b, double t) {
    auto channel = [t](uint32_t x, uint32_t y) {
        const double v = std::round(x + (static_cast<double>(y) - x) * t);  // halves away from zero
        return static_cast<uint32_t>(std::clamp(v, 0.0, 255.0));
    };
    return Rgb(channel(RedOf(a), RedOf(b)), channel(GreenOf(a), GreenOf(b)), channel(BlueOf(a), BlueOf(b)));
}

double Luminance(Colour c) {
    return (0.2126 * RedOf(c) + 0.7152 * GreenOf(c) + 0.0722 * BlueOf(c)) / 255.0;
}

ResolvedTheme ResolvePalette(int32_t theme, int32_t accent, const DesktopTheme& desktop) {
    ResolvedTheme result;
    if (desktop.highContrast) {
        result.palette = HighContrastPalette(desktop);
        return result;
    }
    if (theme < kThemeSystem || theme > kThemeDark) theme = kThemeSystem;
    if (accent < 0 || accent > kAccentDesktop) accent = 0;

    const bool dark =
        theme == kThemeSystem ? desktop.appsUseLightTheme.value_or(1) == 0 : theme == kThemeDark;
    Colour a = desktop.accentColor ? (*desktop.accentColor & 0xFFFFFF) : kDefaultDesktopAccent;
    // A desktop accent too dark to read on dark chrome, or too light on light chrome.
    if (dark && Luminance(a) < 0.45) a = MixColor(a, kWhite, 0.45);
    if (!dark && Luminance(a) > 0.6) a = MixColor(a, kBlack, 0.35);
    if (desktop.accentPalette.size() >= 32) {
        const size_t at = dark ? 4 : 16;  // entry 1 (dark) or 4 (light), four bytes each
        a = Rgb(desktop.accentPalette[at], desktop.accentPalette[at + 1], desktop.accentPalette[at + 2]);
    }
    result.desktopAccent = a;
    if (accent < kAccentDesktop) a = kAccentPresets[accent][dark ? 1 : 0];

    const ThemeColours& f = dark ? kDark : kLight;
    Palette& p = result.palette;
    p.dark = dark;
    p.chromeBack = f.chromeBack;
    p.editorBack = f.editorBack;
    p.text = f.text;
    p.dimText = f.dimText;
    p.chromeHover = f.chromeHover;
    p.chromePressed = f.chromePressed;
    p.separator = f.separator;
    p.inputBack = f.inputBack;
    p.inputBorder = f.inputBorder;
    p.button = f.button;
    p.surface = f.surface;
    p.surfaceBorder = f.surfaceBorder;
    p.surfaceHover = f.surfaceHover;
    p.surfacePressed = f.surfacePressed;
    p.error = f.error;
    p.panel = f.panel;
    p.accent = a;
    p.accentText = a;
    p.selectionBack = MixColor(p.editorBack, a, dark ? 0.4 : 0.22);
    p.onAccent = Luminance(a) > (dark ? 0.32 : 0.6) ? kBlack : kWhite;
    return result;
}

Colour AccentPreset(int32_t index, bool dark) {
    if (index < 0 || index >= kAccentDesktop) index = 0;
    return kAccentPresets[index][dark ? 1 : 0];
}

int32_t Scale(int32_t length, int32_t dpi) {
    const int64_t product = static_cast<int64_t>(length) * dpi;
    const int64_t half = product >= 0 ? 48 : -48;
    return static_cast<int32_t>((product + half) / 96);
}

std::wstring FontStyleSuffix(int32_t weight, bool italic) {
    std::wstring style;
    if (weight >= 700) {
        style = L"굵게";
    } else if (weight >= 600) {
        style = L"약간 굵게";
    } else if (weight <= 300) {
        style = L"가늘게";
    }
    if (italic) {
        if (!style.empty()) style += L' ';
        style += L"기울임";
    }
    return style.empty() ? style : L" · " + style;
}

double FontSizeFromTenths(int32_t tenths) {
    const double halves = std::round(tenths / 5.0);
    return std::clamp(halves * 0.5, 6.0, 72.0);
}

int32_t FontWeightFromDialog(int32_t weight) {
    return weight == 0 ? 400 : std::clamp(weight, 100, 900);
}

}  // namespace lumen
