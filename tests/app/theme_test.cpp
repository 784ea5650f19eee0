// The palette as a function of the theme and accent settings and of what the desktop reports; the
// colour helpers' rounding; the DPI rule and the font description text.
#include "app/theme.h"

#include <gtest/gtest.h>

#include <functional>

namespace lumen {
namespace {

constexpr Colour kBlack = 0x000000, kWhite = 0xFFFFFF;

// AccentPalette bytes whose entry k is (10k, 10k + 1, 10k + 2, 0xFF).
std::vector<uint8_t> AccentPaletteBytes(size_t size) {
    std::vector<uint8_t> bytes(size);
    for (size_t i = 0; i < size; ++i)
        bytes[i] = i % 4 == 3 ? 0xFF : static_cast<uint8_t>(i / 4 * 10 + i % 4);
    return bytes;
}

TEST(Theme, PaletteFollowsSettingsAndDesktop) {
    struct Case {
        const char* name;
        int32_t theme, accent;
        std::function<void(DesktopTheme&)> desktop;
        bool dark;
        Colour accentColour, onAccent;
        std::optional<Colour> desktopAccent;
    };
    const Case cases[] = {
        // The desktop's accent without any registry value is 0xC06700: too dark for dark chrome.
        {"system, apps dark", 0, 0, [](DesktopTheme& d) { d.appsUseLightTheme = 0; }, true, Rgb(96, 205, 255),
         kBlack, Rgb(115, 171, 220)},
        {"system, value missing", 0, 0, [](DesktopTheme&) {}, false, Rgb(0, 95, 184), kWhite, 0xC06700},
        {"system, apps light", 0, 1, [](DesktopTheme& d) { d.appsUseLightTheme = 1; }, false,
         Rgb(0, 120, 122), kWhite, 0xC06700},
        {"light setting beats a dark desktop", 1, 2, [](DesktopTheme& d) { d.appsUseLightTheme = 0; }, false,
         Rgb(16, 124, 16), kWhite, 0xC06700},
        {"dark setting beats a light desktop", 2, 3, [](DesktopTheme& d) { d.appsUseLightTheme = 1; }, true,
         Rgb(186, 170, 255), kBlack, Rgb(115, 171, 220)},
        {"theme out of range is system", 7, 4, [](DesktopTheme& d) { d.appsUseLightTheme = 0; }, true,
         Rgb(255, 170, 90), kBlack, Rgb(115, 171, 220)},
        {"light preset 5", 1, 5, [](DesktopTheme&) {}, false, Rgb(184, 0, 110), kWhite, 0xC06700},
        // Desktop accents: the alpha byte of AccentColor is dropped; black is lightened on dark.
        {"black desktop accent, dark", 2, 6, [](DesktopTheme& d) { d.accentColor = 0xFF000000; }, true,
         0x737373, kBlack, 0x737373},
        {"white desktop accent, light", 1, 6, [](DesktopTheme& d) { d.accentColor = 0x00FFFFFF; }, false,
         0xA6A6A6, kBlack, 0xA6A6A6},
        {"mid desktop accent kept, light", 1, 6, [](DesktopTheme& d) { d.accentColor = 0x80D77800; }, false,
         0xD77800, kWhite, 0xD77800},
        {"bright desktop accent kept, dark", 2, 6, [](DesktopTheme& d) { d.accentColor = Rgb(255, 200, 0); },
         true, Rgb(255, 200, 0), kBlack, Rgb(255, 200, 0)},
        // AccentPalette: entry 1 in dark, entry 4 in light, taken as it is; shorter than 32 bytes: ignored.
        {"accent palette, dark", 2, 6, [](DesktopTheme& d) { d.accentPalette = AccentPaletteBytes(32); },
         true, Rgb(10, 11, 12), kWhite, Rgb(10, 11, 12)},
        {"accent palette, light", 1, 6,
         [](DesktopTheme& d) {
             d.accentColor = 0x00FFFFFF;
             d.accentPalette = AccentPaletteBytes(40);
         },
         false, Rgb(40, 41, 42), kWhite, Rgb(40, 41, 42)},
        {"accent palette too short", 2, 6, [](DesktopTheme& d) { d.accentPalette = AccentPaletteBytes(31); },
         true, Rgb(115, 171, 220), kBlack, Rgb(115, 171, 220)},
        {"preset beats the palette", 2, 0, [](DesktopTheme& d) { d.accentPalette = AccentPaletteBytes(32); },
         true, Rgb(96, 205, 255), kBlack, Rgb(10, 11, 12)},
        {"accent out of range is preset 0", 1, 9, [](DesktopTheme&) {}, false, Rgb(0, 95, 184), kWhite,
         0xC06700},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        DesktopTheme desktop;
        c.desktop(desktop);
        const ResolvedTheme r = ResolvePalette(c.theme, c.accent, desktop);
        const Palette& p = r.palette;
        EXPECT_EQ(p.dark, c.dark);
        EXPECT_FALSE(p.highContrast);
        EXPECT_EQ(p.accent, c.accentColour);
        EXPECT_EQ(p.accentText, c.accentColour);
        EXPECT_EQ(p.onAccent, c.onAccent);
        EXPECT_EQ(r.desktopAccent, c.desktopAccent);
        EXPECT_EQ(p.selectionBack, MixColor(p.editorBack, p.accent, c.dark ? 0.4 : 0.22));
        // A sample of the fixed colours of each theme.
        EXPECT_EQ(p.editorBack, c.dark ? 0x272727u : 0xFFFFFFu);
        EXPECT_EQ(p.surfaceBorder, c.dark ? 0x424242u : 0xE0E0E0u);
        EXPECT_EQ(p.error, c.dark ? 0x5548E8u : 0x1C2BC4u);
    }
}

TEST(Theme, HighContrastTakesSystemColoursAndIgnoresTheSettings) {
    DesktopTheme d;
    d.highContrast = true;
    d.appsUseLightTheme = 1;
    d.accentColor = 0x123456;
    d.buttonFace = 0x101010;
    d.buttonText = 0x00FF00;
    d.window = 0x000000;
    d.windowText = 0xFFFFFF;
    d.highlight = 0x00FFFF;
    d.highlightText = 0x000001;
    d.hotLight = 0xFF8000;
    for (int32_t theme : {0, 1, 2}) {
        const ResolvedTheme r = ResolvePalette(theme, 3, d);
        const Palette& p = r.palette;
        EXPECT_TRUE(p.highContrast);
        EXPECT_TRUE(p.dark);  // black window
        EXPECT_FALSE(r.desktopAccent.has_value());
        EXPECT_EQ(p.chromeBack, 0x101010u);
        EXPECT_EQ(p.editorBack, 0x000000u);
        EXPECT_EQ(p.text, 0xFFFFFFu);
        EXPECT_EQ(p.dimText, 0x00FF00u);
        EXPECT_EQ(p.chromeHover, 0x404040u);    // 16 + 239 * 0.2 = 63.8
        EXPECT_EQ(p.chromePressed, 0x585858u);  // 16 + 239 * 0.3 = 87.7
        EXPECT_EQ(p.button, 0x262626u);         // 255 * 0.15 = 38.25
        EXPECT_EQ(p.surfaceHover, 0x333333u);
        EXPECT_EQ(p.surfacePressed, 0x4D4D4Du);  // 76.5 rounds up
        EXPECT_EQ(p.accent, 0x00FFFFu);
        EXPECT_EQ(p.selectionBack, 0x00FFFFu);
        EXPECT_EQ(p.error, 0x00FFFFu);
        EXPECT_EQ(p.onAccent, 0x000001u);
        EXPECT_EQ(p.accentText, 0xFF8000u);
        EXPECT_EQ(p.separator, 0xFFFFFFu);
        EXPECT_EQ(p.surfaceBorder, 0xFFFFFFu);
        EXPECT_EQ(p.inputBorder, 0xFFFFFFu);
        EXPECT_EQ(p.panel, 0x101010u);
    }
    d.window = 0xFFFFFF;
    d.windowText = 0;
    EXPECT_FALSE(ResolvePalette(2, 0, d).palette.dark);
}

TEST(Theme, MixColorRoundsHalvesAwayFromZeroPerChannel) {
    struct Case {
        Colour a, b;
        double t;
        Colour expected;
    };
    const Case cases[] = {
        {kBlack, kWhite, 0.5, 0x808080},  // 127.5 -> 128
        {kWhite, kBlack, 0.5, 0x808080},  // 255 - 127.5 = 127.5 -> 128
        {kBlack, 0x030303, 0.5, 0x020202},
        {Rgb(10, 20, 30), Rgb(20, 10, 30), 0.25, Rgb(13, 18, 30)},  // 12.5 and 17.5
        {Rgb(1, 2, 3), Rgb(200, 100, 50), 0.0, Rgb(1, 2, 3)},
        {Rgb(1, 2, 3), Rgb(200, 100, 50), 1.0, Rgb(200, 100, 50)},
        {0xC06700, kWhite, 0.45, Rgb(115, 171, 220)},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(MixColor(c.a, c.b, c.t), c.expected) << std::hex << c.a << " " << c.b << " " << c.t;
    }
    EXPECT_DOUBLE_EQ(Luminance(kBlack), 0.0);
    EXPECT_NEAR(Luminance(kWhite), 1.0, 1e-12);
    EXPECT_NEAR(Luminance(Rgb(0, 255, 0)), 0.7152, 1e-12);
    EXPECT_NEAR(Luminance(Rgb(255, 0, 0)), 0.2126, 1e-12);
    EXPECT_NEAR(Luminance(Rgb(0, 0, 255)), 0.0722, 1e-12);
}

TEST(Theme, ScalingAndFontFieldsFromTheDialog) {
    struct ScaleCase {
        int32_t length, dpi, expected;
    };
    for (const ScaleCase& c : {ScaleCase{13, 96, 13},
                               {13, 144, 20},
                               {12, 144, 18},
                               {3, 120, 4},
                               {1, 120, 1},
                               {10, 72, 8},
                               {-13, 144, -20},
                               {0, 192, 0},
                               {14, 192, 28}}) {
        EXPECT_EQ(Scale(c.length, c.dpi), c.expected) << c.length << " at " << c.dpi;
    }
    struct SizeCase {
        int32_t tenths;
        double size;
    };
    for (const SizeCase& c : {SizeCase{110, 11.0},
                              {105, 10.5},
                              {107, 10.5},
                              {108, 11.0},
                              {40, 6.0},
                              {0, 6.0},
                              {1000, 72.0},
                              {725, 72.0},
                              {62, 6.0},
                              {63, 6.5}}) {
        EXPECT_EQ(FontSizeFromTenths(c.tenths), c.size) << c.tenths;
    }
    EXPECT_EQ(FontWeightFromDialog(0), 400);
    EXPECT_EQ(FontWeightFromDialog(50), 100);
    EXPECT_EQ(FontWeightFromDialog(700), 700);
    EXPECT_EQ(FontWeightFromDialog(1000), 900);
}

TEST(Theme, FontStyleSuffix) {
    struct Case {
        int32_t weight;
        bool italic;
        const wchar_t* expected;
    };
    const Case cases[] = {
        {700, true, L" · 굵게 기울임"},
        {900, false, L" · 굵게"},
        {699, false, L" · 약간 굵게"},
        {600, true, L" · 약간 굵게 기울임"},
        {599, false, L""},
        {400, false, L""},
        {301, false, L""},
        {300, false, L" · 가늘게"},
        {100, true, L" · 가늘게 기울임"},
        {400, true, L" · 기울임"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(FontStyleSuffix(c.weight, c.italic), c.expected) << c.weight;
}

}  // namespace
}  // namespace lumen
