// The text engine's character rules with the system's own tables (GetStringTypeW, CharLowerBuffW):
// combining marks by the non-spacing query, word classes from the character types, case folding by the
// real lower-casing (including pairs of another byte length). Stepping and searching over these rules
// are tested natively against the stand-in tables.
#include <gtest/gtest.h>

#include <string>

#include "edit/char_classes.h"

namespace quill {
namespace {

TEST(TextPlatformSystem, CombiningMarksByTheNonSpacingQuery) {
    for (char32_t c : {0x0591u, 0x05B0u, 0x05BCu, 0x0E31u, 0x0E48u, 0x094Du, 0x20D7u, 0x3099u})
        EXPECT_TRUE(IsCombiningCharacter(c)) << std::hex << static_cast<uint32_t>(c);
    for (char32_t c : {0x05D0u, 0x0E01u, 0x093Fu, 0x0905u, 0x3042u, 0x20ACu})
        EXPECT_FALSE(IsCombiningCharacter(c)) << std::hex << static_cast<uint32_t>(c);
}

TEST(TextPlatformSystem, WordClassesFromTheCharacterTypes) {
    for (char32_t c : {0x1680u, 0x0085u})
        EXPECT_EQ(ClassOf(c), CharClass::Space) << std::hex << static_cast<uint32_t>(c);
    for (char32_t c : {0x00E9u, 0x0416u, 0x4E00u, 0x3042u, 0x30A2u, 0x0660u, 0x0E31u, 0x0E01u})
        EXPECT_EQ(ClassOf(c), CharClass::Word) << std::hex << static_cast<uint32_t>(c);
    for (char32_t c : {0x3001u, 0x2013u, 0x20ACu, 0x00BFu})
        EXPECT_EQ(ClassOf(c), CharClass::Punctuation) << std::hex << static_cast<uint32_t>(c);
}

TEST(TextPlatformSystem, FoldingThroughTheSystemLowerCasing) {
    EXPECT_EQ(FoldCase(0x00C4), 0x00E4u);
    EXPECT_EQ(FoldCase(0x0178), 0x00FFu);
    EXPECT_EQ(FoldCase(0x0410), 0x0430u);
    EXPECT_EQ(FoldCase(0x0389), 0x03AEu);
    EXPECT_EQ(FoldCase(0xFF21), 0xFF41u);
    EXPECT_EQ(FoldCase(0x023A), 0x2C65u);  // 2 bytes in UTF-8 to 3
    EXPECT_EQ(FoldCase(0x2C62), 0x026Bu);  // 3 bytes to 2
    EXPECT_EQ(FoldCase(0xD55C), 0xD55Cu);
}

}  // namespace
}  // namespace quill
