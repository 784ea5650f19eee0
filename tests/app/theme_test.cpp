// The palette as a function of the theme and accent settings and of what the desktop reports; the
// colour helpers' rounding; the DPI rule and the font description text.
#include "app/theme.h"

#include <gtest/gtest.h>

#include <optional>
#include <tuple>
#include <utility>

namespace lumen {
namespace {

constexpr Colour kBlack = 0x000000, kWhite = 0xFFFFFF;

TEST(Theme, PaletteFollowsSettingsAndDesktop) {
    constexpr std::nullopt_t none = std::nullopt;
    constexpr Colour fixedDefault = Rgb(115, 171, 220);  // 0xC06700 lightened for dark chrome
    struct Case {
        const char* name;
        int32_t theme, accent;
        std::optional<uint32_t> appsLight, accentColor;
        size_t paletteBytes;  // AccentPalette whose entry k is (10k, 10k + 1, 10k + 2)
        bool dark;
        Colour accentColour, onAccent;
        std::optional<Colour> desktopAccent;
    };
    const Case cases[] = {
        {"system, apps dark", 0, 0, 0, none, 0, true, Rgb(96, 205, 255), kBlack, fixedDefault},
        {"system, value missing", 0, 0, none, none, 0, false, Rgb(0, 95, 184), kWhite, 0xC06700},
        {"light setting, dark desktop", 1, 2, 0, none, 0, false, Rgb(16, 124, 16), kWhite, 0xC06700},
        {"dark setting, light desktop", 2, 3, 1, none, 0, true, Rgb(186, 170, 255), kBlack, fixedDefault},
        {"theme out of range", 7, 4, 0, none, 0, true, Rgb(255, 170, 90), kBlack, fixedDefault},
        {"accent out of range", 1, 9, none, none, 0, false, Rgb(0, 95, 184), kWhite, 0xC06700},
        // Desktop accents lose their alpha byte; black is lightened on dark, white darkened on light.
        {"black accent, dark", 2, 6, none, 0xFF000000, 0, true, 0x737373, kBlack, 0x737373},
        {"white accent, light", 1, 6, none, 0x00FFFFFF, 0, false, 0xA6A6A6, kBlack, 0xA6A6A6},
        {"mid accent kept, light", 1, 6, none, 0x80D77800, 0, false, 0xD77800, kWhite, 0xD77800},
        {"bright accent kept, dark", 2, 6, none, Rgb(255, 200, 0), 0, true, Rgb(255, 200, 0), kBlack,
         Rgb(255, 200, 0)},
        // AccentPalette: entry 1 in dark, entry 4 in light, as it is; under 32 bytes it is ignored.
        {"palette, dark", 2, 6, none, none, 32, true, Rgb(10, 11, 12), kWhite, Rgb(10, 11, 12)},
        {"palette, light", 1, 6, none, 0x00FFFFFF, 40, false, Rgb(40, 41, 42), kWhite, Rgb(40, 41, 42)},
        {"palette too short", 2, 6, none, none, 31, true, fixedDefault, kBlack, fixedDefault},
        {"preset beats the palette", 2, 0, none, none, 32, true, Rgb(96, 205, 255), kBlack, Rgb(10, 11, 12)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        DesktopTheme desktop;
        desktop.appsUseLightTheme = c.appsLight;
        desktop.accentColor = c.accentColor;
        for (size_t i = 0; i < c.paletteBytes; ++i) {
            desktop.accentPalette.push_back(i % 4 == 3 ? 0xFF : static_cast<uint8_t>(i / 4 * 10 + i % 4));
        }
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
    d.buttonFace = 0x101010, d.buttonText = 0x00FF00, d.window = 0x000000, d.windowText = 0xFFFFFF;
    d.highlight = 0x00FFFF, d.highlightText = 0x000001, d.hotLight = 0xFF8000;
    for (int32_t theme : {0, 1, 2}) {
        const ResolvedTheme r = ResolvePalette(theme, 3, d);
        const Palette& p = r.palette;
        EXPECT_TRUE(p.highContrast && p.dark);  // a black window is dark
        EXPECT_FALSE(r.desktopAccent.has_value());
        EXPECT_EQ(p.chromeBack, 0x101010u);
        EXPECT_EQ(p.dimText, 0x00FF00u);
        EXPECT_EQ(p.chromePressed, 0x585858u);   // 16 + 239 * 0.3 = 87.7
        EXPECT_EQ(p.surfacePressed, 0x4D4D4Du);  // 76.5 rounds up
        EXPECT_EQ(p.selectionBack, 0x00FFFFu);
        EXPECT_EQ(p.onAccent, 0x000001u);
        EXPECT_EQ(p.accentText, 0xFF8000u);
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
    const Case cases[] = {{kBlack, kWhite, 0.5, 0x808080},  // 127.5 -> 128
                          {kWhite, kBlack, 0.5, 0x808080},  // 255 - 127.5 = 127.5 -> 128
                          {kBlack, 0x030303, 0.5, 0x020202},
                          {Rgb(10, 20, 30), Rgb(20, 10, 30), 0.25, Rgb(13, 18, 30)},  // 12.5 and 17.5
                          {Rgb(1, 2, 3), Rgb(200, 100, 50), 0.0, Rgb(1, 2, 3)},
                          {Rgb(1, 2, 3), Rgb(200, 100, 50), 1.0, Rgb(200, 100, 50)},
                          {0xC06700, kWhite, 0.45, Rgb(115, 171, 220)}};
    for (const Case& c : cases) {
        EXPECT_EQ(MixColor(c.a, c.b, c.t), c.expected) << std::hex << c.a << " " << c.b << " " << c.t;
    }
    const std::pair<Colour, double> luminances[] = {{kBlack, 0},
                                                    {kWhite, 1},
                                                    {Rgb(255, 0, 0), 0.2126},
                                                    {Rgb(0, 255, 0), 0.7152},
                                                    {Rgb(0, 0, 255), 0.0722}};
    for (const auto& [colour, value] : luminances)
        EXPECT_NEAR(Luminance(colour), value, 1e-12) << colour;
}

TEST(Theme, ScalingAndFontFieldsFromTheDialog) {
    const int32_t scales[][3] = {{13, 96, 13}, {13, 144, 20},   {12, 144, 18}, {3, 120, 4},  {1, 120, 1},
                                 {10, 72, 8},  {-13, 144, -20}, {0, 192, 0},   {14, 192, 28}};
    for (const auto& c : scales)
        EXPECT_EQ(Scale(c[0], c[1]), c[2]) << c[0] << " at " << c[1];
    const std::pair<int32_t, double> sizes[] = {{110, 11.0}, {105, 10.5}, {107, 10.5},  {108, 11.0},
                                                {40, 6.0},   {0, 6.0},    {1000, 72.0}, {725, 72.0},
                                                {62, 6.0},   {63, 6.5}};
    for (const auto& [tenths, size] : sizes)
        EXPECT_EQ(FontSizeFromTenths(tenths), size) << tenths;
    const std::pair<int32_t, int32_t> weights[] = {{0, 400}, {50, 100}, {700, 700}, {1000, 900}};
    for (const auto& [dialog, weight] : weights)
        EXPECT_EQ(FontWeightFromDialog(dialog), weight);
}

TEST(Theme, FontStyleSuffix) {
    const std::tuple<int32_t, bool, const wchar_t*> cases[] = {{700, true, L" · 굵게 기울임"},
                                                               {900, false, L" · 굵게"},
                                                               {699, false, L" · 약간 굵게"},
                                                               {600, true, L" · 약간 굵게 기울임"},
                                                               {599, false, L""},
                                                               {400, false, L""},
                                                               {301, false, L""},
                                                               {300, false, L" · 가늘게"},
                                                               {100, true, L" · 가늘게 기울임"},
                                                               {400, true, L" · 기울임"}};
    for (const auto& [weight, italic, text] : cases)
        EXPECT_EQ(FontStyleSuffix(weight, italic), text) << weight;
}

}  // namespace
}  // namespace lumen
