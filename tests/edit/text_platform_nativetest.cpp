// The native stand-in for the system's character tables: what it documents it knows.
#include "edit/text_platform.h"

#include <gtest/gtest.h>

#include <string>

#include "edit/char_classes.h"

namespace quill::platform {
namespace {

// {character, the type bits it must have}: Latin, Ogham space mark, Cyrillic, Arabic-Indic three, dash.
TEST(TextPlatformStandIn, BasicAndExtendedTypes) {
    const uint32_t basic[][2] = {{'A', kC1Alpha | kC1Upper},
                                 {'a', kC1Alpha | kC1Lower},
                                 {'7', kC1Digit},
                                 {'\t', kC1Space},
                                 {'!', kC1Punct},
                                 {0x1680, kC1Space},
                                 {0x0416, kC1Alpha},
                                 {0x0663, kC1Digit},
                                 {0x2014, kC1Punct}};
    for (const auto& c : basic)
        EXPECT_EQ(CharTypeBasic(static_cast<wchar_t>(c[0])) & c[1], c[1]) << std::hex << c[0];
    EXPECT_EQ(CharTypeBasic(0x0378), 0);  // unassigned
    const uint32_t extended[][2] = {{0x0591, kC3NonSpacing}, {0x0E31, kC3NonSpacing}, {0x3042, kC3Hiragana},
                                    {0x30A2, kC3Katakana},   {0x4E00, kC3Ideograph},  {0x02C6, kC3Diacritic}};
    for (const auto& c : extended)
        EXPECT_EQ(CharTypeExtended(static_cast<wchar_t>(c[0])) & c[1], c[1]) << std::hex << c[0];
    EXPECT_FALSE(CharTypeExtended(0x0E30) & kC3NonSpacing);
    EXPECT_EQ(CharTypeExtended(L'a'), 0);
}

TEST(TextPlatformStandIn, LowerCasing) {
    std::wstring text = {L'A',   0x00C0, 0x00D7, 0x0100, 0x0101, 0x0139, 0x0178, 0x0391, 0x03A2,
                         0x0401, 0x0410, 0x0531, 0x023A, 0x2C62, 0x2126, 0x0130, 0xFF3A, 0xD55C};
    const std::wstring expected = {L'a',   0x00E0, 0x00D7, 0x0101, 0x0101, 0x013A, 0x00FF, 0x03B1, 0x03A2,
                                   0x0451, 0x0430, 0x0561, 0x2C65, 0x026B, 0x2126, 0x0130, 0xFF5A, 0xD55C};
    LowerCaseInPlace(text.data(), text.size());
    EXPECT_EQ(text, expected);
}

TEST(TextPlatformStandIn, DrivesTheEngineTables) {
    EXPECT_TRUE(IsCombiningCharacter(0x0591));
    EXPECT_FALSE(IsCombiningCharacter(0x05D0));
    EXPECT_EQ(ClassOf(0x1680), CharClass::Space);
    EXPECT_EQ(ClassOf(0x0591), CharClass::Word);  // non-spacing marks count as word characters
    EXPECT_EQ(ClassOf(0x2014), CharClass::Punctuation);
    EXPECT_EQ(ClassOf(0x0378), CharClass::Punctuation);
    EXPECT_EQ(FoldCase(0x023A), 0x2C65u);
}

}  // namespace
}  // namespace quill::platform
