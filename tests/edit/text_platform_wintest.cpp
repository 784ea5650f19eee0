// The text engine with the system's own character tables (GetStringTypeW, CharLowerBuffW): combining
// marks found by the non-spacing query, word classes from the character types, and case-insensitive
// search through the real lower-casing, including matches of another byte length.
#include <gtest/gtest.h>

#include <string>

#include "edit/char_classes.h"
#include "edit/document.h"
#include "edit/document_support.h"
#include "edit/search.h"

namespace quill {
namespace {

using test::DocHandle;

TEST(TextPlatformSystem, CombiningMarksByTheNonSpacingQuery) {
    for (char32_t c : {0x0591u, 0x05B0u, 0x05BCu, 0x0E31u, 0x0E48u, 0x094Du, 0x20D7u, 0x3099u})
        EXPECT_TRUE(IsCombiningCharacter(c)) << std::hex << static_cast<uint32_t>(c);
    for (char32_t c : {0x05D0u, 0x0E01u, 0x093Fu, 0x0905u, 0x3042u, 0x20ACu})
        EXPECT_FALSE(IsCombiningCharacter(c)) << std::hex << static_cast<uint32_t>(c);
}

TEST(TextPlatformSystem, StepsOverMarksTheSystemReports) {
    // Hebrew bet with dagesh, Thai ko kai with mai han-akat and mai ek, then Devanagari ki whose vowel
    // sign is spacing and so a step of its own.
    DocHandle doc(
        "\xD7\x91\xD6\xBC"
        "\xE0\xB8\x81\xE0\xB8\xB1\xE0\xB9\x88"
        "\xE0\xA4\x95\xE0\xA4\xBF");
    EXPECT_EQ(doc->PositionAfter(0), 4);
    EXPECT_EQ(doc->PositionAfter(4), 13);
    EXPECT_EQ(doc->PositionAfter(13), 16);
    EXPECT_EQ(doc->PositionAfter(16), 19);
    EXPECT_EQ(doc->PositionBefore(19), 16);
    EXPECT_EQ(doc->PositionBefore(16), 13);
    EXPECT_EQ(doc->PositionBefore(13), 4);
    EXPECT_EQ(doc->PositionBefore(4), 0);
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

int64_t CountMatches(Document& doc, const std::string& needle, uint32_t flags) {
    int64_t count = 0, from = 0, end = 0;
    while (FindText(doc, from, doc.Length(), needle.data(), static_cast<int64_t>(needle.size()), flags,
                    &end) >= 0) {
        ++count;
        from = end;
    }
    return count;
}

TEST(TextPlatformSystem, CaseInsensitiveSearchWithTheRealTables) {
    DocHandle doc("ΑΘΉΝΑ Αθήνα αθήνα · МОСКВА москва · \xC8\xBA\xE2\xB1\xA2 \xE2\xB1\xA5\xC9\xAB");
    EXPECT_EQ(CountMatches(*doc, "αθήνα", 0), 3);
    EXPECT_EQ(CountMatches(*doc, "αθήνα", SCFIND_MATCHCASE), 1);
    EXPECT_EQ(CountMatches(*doc, "Москва", SCFIND_WHOLEWORD), 2);
    // Capital A with stroke and L with middle tilde against their small letters: the two forms of the
    // pair differ in byte length (5 and 5 bytes here, but 2+3 against 3+2).
    const std::string small = "\xE2\xB1\xA5\xC9\xAB";
    int64_t end = -1;
    const int64_t start = FindText(*doc, 0, doc->Length(), small.data(), 5, 0, &end);
    ASSERT_GE(start, 0);
    EXPECT_EQ(doc->GetText(start, end - start), "\xC8\xBA\xE2\xB1\xA2");
    const std::string capitalA = "\xC8\xBA";
    const int64_t second = FindText(*doc, end, doc->Length(), capitalA.data(), 2, 0, &end);
    ASSERT_GE(second, 0);
    EXPECT_EQ(end - second, 3);  // the small letter is three bytes long
}

}  // namespace
}  // namespace quill
