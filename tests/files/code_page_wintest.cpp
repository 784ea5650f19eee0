// The system's own conversions, under the ANSI code page the run was started with. The test script
// runs this file twice: with LC_ALL=ko_KR.UTF-8 (code page 949) and with a Western locale (1252).
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "files/code_page.h"
#include "files/text_codecs.h"
#include "support/bytes.h"
#include "support/codec_printers.h"

namespace lumen {
namespace {

using test::Bytes;
using test::Hex;

const char* const kHangul = "한글";  // U+D55C U+AE00

TEST(AnsiCodePage, IsTheOneTheRunAskedFor) {
    // Guards the test environment: without it a wrong locale would silently skip the 949 checks.
    const char* expected = std::getenv("LUMENPAD_EXPECT_ACP");
    if (!expected) GTEST_SKIP() << "LUMENPAD_EXPECT_ACP not set";
    EXPECT_EQ(AnsiCodePage(), static_cast<unsigned>(std::atoi(expected)));
    EXPECT_EQ(AnsiCodePage(), GetACP());
}

TEST(AnsiCodec, KoreanCodePageIsExact) {
    if (AnsiCodePage() != 949) GTEST_SKIP() << "ANSI code page is " << AnsiCodePage();
    bool lossy = true;
    const std::string bytes = EncodeFromUtf8(std::string(kHangul) + " abc", TextEncoding::Ansi, &lossy);
    EXPECT_FALSE(lossy);
    EXPECT_EQ(Hex(bytes), "C7 D1 B1 DB 20 61 62 63");
    EXPECT_EQ(DecodeToUtf8(bytes, TextEncoding::Ansi), std::string(kHangul) + " abc");
    EXPECT_EQ(DetectEncoding(bytes), TextEncoding::Ansi);

    // A character outside the code page is still lossy here.
    EncodeFromUtf8("\xF0\x9F\x98\x80", TextEncoding::Ansi, &lossy);
    EXPECT_TRUE(lossy);
}

TEST(AnsiCodec, WesternCodePageLosesHangul) {
    if (AnsiCodePage() != 1252) GTEST_SKIP() << "ANSI code page is " << AnsiCodePage();
    bool lossy = false;
    const std::string bytes = EncodeFromUtf8(std::string("a") + kHangul + "b", TextEncoding::Ansi, &lossy);
    EXPECT_TRUE(lossy);
    EXPECT_EQ(bytes, "a??b") << "one default character per Hangul syllable";

    lossy = true;
    EXPECT_EQ(Hex(EncodeFromUtf8("caf\xC3\xA9", TextEncoding::Ansi, &lossy)), "63 61 66 E9");
    EXPECT_FALSE(lossy);
    EXPECT_EQ(DecodeToUtf8(Bytes({0x63, 0x61, 0x66, 0xE9, 0x80}), TextEncoding::Ansi),
              "caf\xC3\xA9\xE2\x82\xAC")
        << "E9 is e-acute and 80 the euro sign in 1252";
}

TEST(AnsiCodec, NoBestFitMapping) {
    if (AnsiCodePage() == CP_UTF8) GTEST_SKIP() << "UTF-8 ANSI code page holds everything";
    // U+0100 (A with macron) has a best-fit "A" in Western code pages; it must come out as the
    // default character and be reported instead of silently changing the letter.
    bool lossy = false;
    const std::string bytes = EncodeFromUtf8("x\xC4\x80y", TextEncoding::Ansi, &lossy);
    EXPECT_TRUE(lossy);
    EXPECT_EQ(bytes, "x?y");
}

TEST(AnsiCodec, AsciiIsExactUnderEveryCodePage) {
    std::string ascii;
    for (int c = 1; c < 0x80; ++c)
        ascii += static_cast<char>(c);
    bool lossy = true;
    EXPECT_EQ(EncodeFromUtf8(ascii, TextEncoding::Ansi, &lossy), ascii);
    EXPECT_FALSE(lossy);
    EXPECT_EQ(DecodeToUtf8(ascii, TextEncoding::Ansi), ascii);
}

TEST(SystemUtf8, InvalidSequencesBecomeReplacementCharacters) {
    const struct {
        const char* name;
        std::string bytes;
    } cases[] = {
        {"lead then ASCII", Bytes({'a', 0xC3, '(', 'b'})},
        {"overlong pair", Bytes({'a', 0xC0, 0x80, 'b'})},
        {"encoded surrogate", Bytes({'a', 0xED, 0xA0, 0x80, 'b'})},
        {"above U+10FFFF", Bytes({'a', 0xF4, 0x90, 0x80, 0x80, 'b'})},
        {"cut by the end", Bytes({'a', 'b', 0xE2, 0x82})},
        {"stray continuation", Bytes({'a', 0x80, 'b'})},
    };
    for (const auto& c : cases) {
        const std::wstring wide = Utf8ToWide(c.bytes);
        ASSERT_FALSE(wide.empty()) << c.name;
        EXPECT_EQ(wide.front(), L'a') << c.name;
        EXPECT_NE(wide.find(L'\xFFFD'), std::wstring::npos) << c.name;
        for (wchar_t u : wide)
            EXPECT_FALSE(u >= 0xD800 && u <= 0xDFFF) << c.name << ": no surrogate leaks out";
        // Round trip gives well-formed UTF-8 again.
        EXPECT_TRUE(IsValidUtf8(WideToUtf8(wide))) << c.name;
    }
}

TEST(SystemUtf8, UnpairedSurrogatesBecomeReplacementCharacters) {
    const std::wstring cases[] = {
        {L'a', 0xD800},            // high at the end
        {L'a', 0xDC00, L'b'},      // low alone
        {0xDE00, 0xD83D, L'b'},    // reversed pair
        {0xD83D, 0xD83D, 0xDE00},  // high, then a real pair
    };
    for (const std::wstring& w : cases) {
        const std::string utf8 = WideToUtf8(w);
        EXPECT_TRUE(IsValidUtf8(utf8)) << Hex(utf8);
        EXPECT_NE(utf8.find("\xEF\xBF\xBD"), std::string::npos) << Hex(utf8);
    }
    EXPECT_EQ(WideToUtf8(cases[3]), "\xEF\xBF\xBD\xF0\x9F\x98\x80");
}

TEST(SystemUtf8, LargeTextConvertsInOneGo) {
    std::string text;
    for (int i = 0; i < 100000; ++i)
        text += i % 7 ? "abc " : "한글 ";
    const std::wstring wide = Utf8ToWide(text);
    EXPECT_EQ(wide.size(), 100000u * 4 - 14286u) << "14,286 of the pieces are one unit shorter";
    EXPECT_EQ(WideToUtf8(wide), text);
}

}  // namespace
}  // namespace lumen
