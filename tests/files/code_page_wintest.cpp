// The system's own conversions, under the ANSI code page the run was started with. The test script
// runs this file twice: with LC_ALL=ko_KR.UTF-8 (code page 949) and with a Western locale (1252).
// Ill-formed UTF-8 and unpaired surrogates are text_codecs_test.cpp's, which runs here too.
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
