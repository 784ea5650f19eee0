// Decoding limits, combining marks, word classes and case folding: the fixed rules that hold whatever
// the system's tables say. What comes from the system is checked in text_platform_wintest.cpp (real
// tables) and text_platform_nativetest.cpp (the stand-in).
#include "edit/char_classes.h"

#include <gtest/gtest.h>

#include <string>

#include "files/text_codecs.h"
#include "support/bytes.h"

namespace quill {
namespace {

// The decoder against the codecs' validator, a separate implementation: for every lead byte followed
// by bytes from around the continuation range's edges, with 1 to 4 bytes available, a character is
// decoded exactly when a well-formed one starts there (and then it encodes back to those bytes);
// otherwise the lead byte alone reads as U+FFFD. The tails reach every length's first and last
// scalar value, so this is the encoder's round trip too.
TEST(CharClasses, DecodingAgreesWithTheCodecsValidator) {
    const unsigned char tails[] = {0x41, 0x7F, 0x80, 0x8F, 0x90, 0x9F, 0xA0, 0xBF, 0xC0};
    unsigned char b[4];
    for (int lead = 0; lead <= 0xFF; ++lead) {
        b[0] = static_cast<unsigned char>(lead);
        for (unsigned char b1 : tails) {
            for (unsigned char b2 : tails) {
                for (unsigned char b3 : tails) {
                    b[1] = b1, b[2] = b2, b[3] = b3;
                    for (int available = 1; available <= 4; ++available) {
                        int whole = 1;  // the one well-formed character at the start, if any
                        while (whole < available && (b[whole] & 0xC0) == 0x80)
                            ++whole;
                        for (; whole > 0; --whole) {
                            if (lumen::IsValidUtf8({reinterpret_cast<const char*>(b), size_t(whole)})) break;
                        }
                        int width = 0;
                        const char32_t c = DecodeCharacter(b, available, &width);
                        const auto at = [&] {
                            return lumen::test::Hex(std::string(reinterpret_cast<const char*>(b), 4)) +
                                   " of " + std::to_string(available);
                        };
                        ASSERT_EQ(width, whole > 0 ? whole : 1) << at();
                        if (whole > 0) {
                            ASSERT_EQ(EncodeCharacter(c),
                                      std::string(reinterpret_cast<const char*>(b), whole))
                                << at();
                        } else {
                            ASSERT_EQ(c, kReplacementChar) << at();
                        }
                    }
                }
            }
        }
    }
}

TEST(CharClasses, CombiningCharactersByFixedRanges) {
    for (char32_t c : {0x0300u, 0x0301u, 0x036Fu, 0x200Bu, 0x200Du, 0x2060u, 0xFE00u, 0xFE0Fu, 0xE0100u,
                       0xE01EFu, 0x1F3FBu, 0x1F3FFu, 0x1160u, 0x11A8u, 0x11FFu, 0xD7B0u, 0xD7FFu})
        EXPECT_TRUE(IsCombiningCharacter(c)) << std::hex << static_cast<uint32_t>(c);
    for (char32_t c : {0x0041u, 0x00E9u, 0x02FFu, 0x0370u, 0x1100u, 0x115Fu, 0x200Au, 0x200Eu, 0xAC00u,
                       0xD55Cu, 0xD7A3u, 0x4E00u, 0x9FFFu, 0x1F600u, 0x1F3FAu, 0x1F400u, 0xE01F0u, 0x10FFFFu})
        EXPECT_FALSE(IsCombiningCharacter(c)) << std::hex << static_cast<uint32_t>(c);
}

TEST(CharClasses, AsciiAndFixedClasses) {
    for (char32_t c : {'\r', '\n'})
        EXPECT_EQ(ClassOf(c), CharClass::LineEnd);
    for (char32_t c : {0u, 9u, 11u, 12u, 31u, 32u, 127u, 0xA0u, 0x2000u, 0x200Au, 0x2028u, 0x2029u, 0x202Fu,
                       0x205Fu, 0x3000u, 0xFEFFu})
        EXPECT_EQ(ClassOf(c), CharClass::Space) << std::hex << static_cast<uint32_t>(c);
    for (char32_t c : {'0', '9', 'A', 'Z', 'a', 'z', '_'})
        EXPECT_EQ(ClassOf(c), CharClass::Word) << static_cast<uint32_t>(c);
    for (char32_t c : {0xAC00u, 0xD55Cu, 0xD7A3u, 0x10000u, 0x1F600u, 0x20000u, 0x10FFFFu})
        EXPECT_EQ(ClassOf(c), CharClass::Word) << std::hex << static_cast<uint32_t>(c);
    for (char32_t c : {'!', '-', '.', '/', ':', '@', '[', '`', '{', '~'})
        EXPECT_EQ(ClassOf(c), CharClass::Punctuation) << static_cast<uint32_t>(c);
}

TEST(CharClasses, FoldCase) {
    for (char32_t c : {'a', 'z', '@', '[', '0', '_', '\r'})
        EXPECT_EQ(FoldCase(c), c);
    // Latin, Cyrillic, Greek, full width; no case in Hangul, surrogates or beyond the BMP.
    const char32_t pairs[][2] = {{'A', 'a'},       {'Z', 'z'},         {0xC4, 0xE4},      {0xE4, 0xE4},
                                 {0x416, 0x436},   {0x3A9, 0x3C9},     {0xFF21, 0xFF41},  {0xD55C, 0xD55C},
                                 {0xD800, 0xD800}, {0x10400, 0x10400}, {0x1F600, 0x1F600}};
    for (const auto& p : pairs)
        EXPECT_EQ(FoldCase(p[0]), p[1]) << std::hex << static_cast<uint32_t>(p[0]);
}

}  // namespace
}  // namespace quill
