// Detection, decoding, encoding and line-break rules of the text codecs. These cases hold on every
// build; what depends on the system's ANSI code page is tested in code_page_wintest.cpp.
#include "files/text_codecs.h"

#include <gtest/gtest.h>

#include <random>

#include "files/code_page.h"
#include "support/bytes.h"
#include "support/codec_printers.h"

namespace lumen {
namespace {

using test::AppendUtf8;
using test::Bytes;
using test::Hex;

// UTF-16 LE bytes (no mark) of a wide literal.
std::string Utf16LeBytes(std::u16string_view units) {
    std::string out;
    for (char16_t u : units) {
        out += static_cast<char>(u & 0xFF);
        out += static_cast<char>(u >> 8);
    }
    return out;
}

std::string Swap16(std::string s) {
    for (size_t i = 0; i + 1 < s.size(); i += 2)
        std::swap(s[i], s[i + 1]);
    return s;
}

// ---- detection ---------------------------------------------------------------------------------

struct DetectCase {
    const char* name;
    std::string bytes;
    TextEncoding expected;
};

// Which invalid UTF-8 falls back to Ansi is IsValidUtf8's test below, and marked UTF text the random
// round trip's; these rows check the order of the rules.
TEST(DetectEncoding, Table) {
    const std::string hangulLe = Utf16LeBytes(u"abc 한국어 def 한국 ghi");
    const DetectCase cases[] = {
        {"empty file", "", TextEncoding::Utf8},
        {"mark EF BB BF alone", Bytes({0xEF, 0xBB, 0xBF}), TextEncoding::Utf8Bom},
        {"mark EF BB cut short", Bytes({0xEF, 0xBB}), TextEncoding::Ansi},
        {"FE FF alone", Bytes({0xFE, 0xFF}), TextEncoding::Utf16Be},
        {"FF FE alone", Bytes({0xFF, 0xFE}), TextEncoding::Utf16Le},
        {"FF FE before UTF-8 mark check", Bytes({0xFF, 0xFE, 0xEF, 0xBB, 0xBF}), TextEncoding::Utf16Le},
        {"plain ASCII", "hello, world\r\n", TextEncoding::Utf8},
        {"valid Hangul UTF-8", "한글 텍스트", TextEncoding::Utf8},
        {"highest code point U+10FFFF", Bytes({0xF4, 0x8F, 0xBF, 0xBF}), TextEncoding::Utf8},
        {"UTF-16 LE of ASCII only is valid UTF-8", Utf16LeBytes(u"plain ascii text"), TextEncoding::Utf8},
        {"UTF-16 LE mixing ASCII and Hangul", hangulLe, TextEncoding::Utf16Le},
        {"UTF-16 BE mixing ASCII and Hangul", Swap16(hangulLe), TextEncoding::Utf16Be},
        {"odd-length invalid data", Bytes({'a', 0xFF, 'b', 'c', 'd'}), TextEncoding::Ansi},
        {"overlong C0 80", Bytes({'a', 'b', 0xC0, 0x80}), TextEncoding::Ansi},
    };
    for (const DetectCase& c : cases) {
        EXPECT_EQ(DetectEncoding(c.bytes), c.expected) << c.name << ": " << Hex(c.bytes);
    }
}

// Zero-byte heuristic at its thresholds. Every sample starts with FF FF so it is never valid UTF-8 and
// never carries a mark. T is the sample length / 8.
std::string Sample(size_t length, size_t zeroOdd, size_t zeroEven) {
    std::string s(length, 'x');
    s[0] = '\xFF';
    s[1] = '\xFF';  // FF FF is no mark
    for (size_t i = 0; i < zeroOdd; ++i)
        s[3 + 2 * i] = '\0';
    for (size_t i = 0; i < zeroEven; ++i)
        s[length - 2 - 2 * i] = '\0';
    return s;
}

TEST(DetectEncoding, Utf16HeuristicThresholds) {
    // 64 bytes: T = 8.
    EXPECT_EQ(DetectEncoding(Sample(64, 9, 0)), TextEncoding::Utf16Le) << "odd zeros above T, none even";
    EXPECT_EQ(DetectEncoding(Sample(64, 8, 0)), TextEncoding::Ansi) << "odd zeros equal to T";
    EXPECT_EQ(DetectEncoding(Sample(64, 9, 1)), TextEncoding::Ansi) << "one even zero spoils LE; even <= T";
    EXPECT_EQ(DetectEncoding(Sample(64, 0, 9)), TextEncoding::Utf16Be) << "even zeros above T, none odd";
    EXPECT_EQ(DetectEncoding(Sample(64, 0, 8)), TextEncoding::Ansi) << "even zeros equal to T";
    EXPECT_EQ(DetectEncoding(Sample(64, 1, 9)), TextEncoding::Ansi) << "zeros on both sides";
}

TEST(DetectEncoding, SampleCoversOnlyFirst4096Bytes) {
    // Hangul UTF-16 LE whose zero bytes all lie beyond the sample: the sample has none, so Ansi.
    std::string s(4096, 'x');
    s[0] = '\xFF', s[1] = '\xFF';
    std::string tail = Utf16LeBytes(u"a b c d e f g h");
    s += tail;
    EXPECT_EQ(DetectEncoding(s), TextEncoding::Ansi);
    // The same zeros inside the sample make it UTF-16 LE.
    std::string t =
        Utf16LeBytes(u"\uD55C") + Utf16LeBytes(std::u16string(600, u'a')) + std::string(4096, 'x');
    EXPECT_EQ(DetectEncoding(t), TextEncoding::Utf16Le);
}

// A slow, obviously correct validator to hold the fast one against.
bool ReferenceValidUtf8(const std::string& s) {
    size_t i = 0;
    while (i < s.size()) {
        const auto b = static_cast<unsigned char>(s[i]);
        int len = b < 0x80                ? 1
                  : b >= 0xC0 && b < 0xE0 ? 2
                  : b >= 0xE0 && b < 0xF0 ? 3
                  : b >= 0xF0 && b < 0xF8 ? 4
                                          : 0;
        if (len == 0) return false;
        if (i + len > s.size()) return false;
        uint32_t cp = len == 1 ? b : b & (0x7F >> len);
        for (int k = 1; k < len; ++k) {
            const auto c = static_cast<unsigned char>(s[i + k]);
            if (c < 0x80 || c > 0xBF) return false;
            cp = cp * 64 + (c - 0x80);
        }
        const uint32_t least[] = {0, 0, 0x80, 0x800, 0x10000};
        if (cp < least[len] || cp > 0x10FFFF || (cp >= 0xD800 && cp < 0xE000)) return false;
        i += len;
    }
    return true;
}

TEST(IsValidUtf8, AgreesWithReferenceOnRandomMostlyAsciiBuffers) {
    // Long ASCII runs with a few other bytes at every offset exercise the word-at-a-time skipping.
    std::mt19937 rng(20261205);
    const int pieces[] = {0xC3, 0xA9, 0xED, 0x95, 0x9C, 0xF0, 0x9F, 0x98,
                          0x80, 0xC0, 0xBF, 0xF4, 0x90, 0xED, 0xA0};
    int valid = 0, invalid = 0;
    for (int round = 0; round < 4000; ++round) {
        std::string s(rng() % 90, 'a');
        const int extras = rng() % 4;
        for (int e = 0; e < extras && !s.empty(); ++e) {
            s[rng() % s.size()] = static_cast<char>(pieces[rng() % std::size(pieces)]);
        }
        if (rng() % 3 == 0) {  // well-formed characters at random places
            std::string w;
            AppendUtf8(w, static_cast<char32_t>(rng() % 2 ? 0xAC00 + rng() % 11172 : 0x1F600 + rng() % 80));
            s.insert(s.empty() ? 0 : rng() % s.size(), w);
        }
        const bool expected = ReferenceValidUtf8(s);
        (expected ? valid : invalid)++;
        ASSERT_EQ(IsValidUtf8(s), expected) << Hex(s);
    }
    EXPECT_GT(valid, 500);
    EXPECT_GT(invalid, 500);
}

TEST(IsValidUtf8, EveryTwoByteSequence) {
    // Exhaustive over lead and continuation pairs after an ASCII word, so the check starts mid-block.
    for (int a = 0x80; a <= 0xFF; ++a) {
        for (int b = 0; b <= 0xFF; ++b) {
            const std::string s = "12345678" + Bytes({a, b});
            ASSERT_EQ(IsValidUtf8(s), ReferenceValidUtf8(s)) << Hex(s);
        }
    }
}

// ---- decoding ----------------------------------------------------------------------------------

TEST(DecodeToUtf8, Table) {
    const std::string le = Utf16LeBytes(u"A\uD55C\uAE00 \U0001F600\r\nz"), be = Swap16(le);
    const std::string text = "A한글 \xF0\x9F\x98\x80\r\nz";
    const std::string invalid = Bytes({'a', 0xC3, 0x28, 0xFF, 0xEF, 0xBB, 0xBF, 'z'});
    const struct {
        const char* name;
        std::string bytes;
        TextEncoding encoding;
        std::string expected;
    } cases[] = {
        {"UTF-8 is taken unchanged, even invalid", invalid, TextEncoding::Utf8, invalid},
        {"UTF-8 mark alone", Bytes({0xEF, 0xBB, 0xBF}), TextEncoding::Utf8Bom, ""},
        {"UTF-8 mark cut short", Bytes({0xEF}), TextEncoding::Utf8Bom, ""},
        {"UTF-16 LE without a mark", le, TextEncoding::Utf16Le, text},
        {"UTF-16 BE without a mark", be, TextEncoding::Utf16Be, text},
        {"odd trailing byte ignored", Bytes({0, 'a', 0}), TextEncoding::Utf16Be, "a"},
        {"FE FF read as LE is U+6100, not a mark", Bytes({0xFE, 0xFF, 0x00, 0x61}), TextEncoding::Utf16Le,
         "\xE6\x84\x80"},
        {"FF FF is no mark", Bytes({0xFF, 0xFF, 0x61, 0x00}), TextEncoding::Utf16Le, "a"},
        {"FF FE read as BE is a mark", Bytes({0xFF, 0xFE}), TextEncoding::Utf16Be, ""},
        {"one byte: no mark, no unit", Bytes({0xFF}), TextEncoding::Utf16Le, ""},
        {"a value out of range reads as ANSI", "plain ASCII", static_cast<TextEncoding>(17), "plain ASCII"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(Hex(DecodeToUtf8(c.bytes, c.encoding)), Hex(c.expected)) << c.name;
}

// ---- encoding ----------------------------------------------------------------------------------

// The byte order and marks; the random round trip below holds the rest against the decoder.
TEST(EncodeFromUtf8, MarksAndByteOrder) {
    EXPECT_EQ(Hex(EncodeFromUtf8("a\xF0\x9F\x98\x80", TextEncoding::Utf16Le)), "FF FE 61 00 3D D8 00 DE");
    EXPECT_EQ(Hex(EncodeFromUtf8("a\xED\x95\x9C", TextEncoding::Utf16Be)), "FE FF 00 61 D5 5C");
    EXPECT_EQ(Hex(EncodeFromUtf8("abc", TextEncoding::Utf8Bom)), "EF BB BF 61 62 63");
    bool lossy = true;
    EXPECT_EQ(EncodeFromUtf8("", TextEncoding::Ansi, &lossy), "");
    EXPECT_FALSE(lossy) << "an empty text is never lossy";
    EXPECT_EQ(EncodeFromUtf8("abc", TextEncoding::Ansi), "abc") << "no flag pointer is fine";
}

TEST(Codecs, UtfRoundTripOfRandomText) {
    // Decode(Encode(t)) == t for well-formed text in every UTF encoding, never reported lossy, and
    // detection finds the encoding again from the marks.
    std::mt19937 rng(7);
    const char32_t pool[] = {'a',    'Z',    ' ',    '\r',   '\n',    '\t',    0xE9,     0x3B1,  0xAC00,
                             0xD55C, 0x4E2D, 0xFEFF, 0xFFFD, 0x1F600, 0x1F3FB, 0x10FFFF, 0x20000};
    for (int round = 0; round < 300; ++round) {
        std::string text;
        const int n = rng() % 40;
        for (int i = 0; i < n; ++i)
            AppendUtf8(text, pool[rng() % std::size(pool)]);
        for (TextEncoding e : {TextEncoding::Utf8Bom, TextEncoding::Utf16Le, TextEncoding::Utf16Be}) {
            bool lossy = true;
            const std::string bytes = EncodeFromUtf8(text, e, &lossy);
            ASSERT_FALSE(lossy) << EncodingDisplayName(e);
            ASSERT_EQ(DetectEncoding(bytes), e) << Hex(bytes);
            ASSERT_EQ(DecodeToUtf8(bytes, e), text) << EncodingDisplayName(e) << ": " << Hex(bytes);
        }
        bool lossy = true;
        ASSERT_EQ(EncodeFromUtf8(text, TextEncoding::Utf8, &lossy), text);
        ASSERT_FALSE(lossy);
    }
}

// ---- UTF-8 and UTF-16 --------------------------------------------------------------------------

// How many U+FFFD an ill-formed run yields is the system's business; the text around it survives, no
// surrogate leaks out, and the result converts back to well-formed UTF-8.
TEST(WideConversion, IllFormedInputBecomesReplacementCharacters) {
    const std::string cases[] = {
        Bytes({'a', 0xC3, '(', 'b'}),        Bytes({'a', 0xC0, 0x80, 'b'}),
        Bytes({'a', 0xED, 0xA0, 0x80, 'b'}), Bytes({'a', 0xF4, 0x90, 0x80, 0x80, 'b'}),
        Bytes({'a', 'b', 0xE2, 0x82}),       Bytes({'a', 0x80, 'b'}),
    };
    for (const std::string& bytes : cases) {
        const std::wstring wide = Utf8ToWide(bytes);
        ASSERT_FALSE(wide.empty()) << Hex(bytes);
        EXPECT_EQ(wide.front(), L'a') << Hex(bytes);
        EXPECT_NE(wide.find(static_cast<wchar_t>(0xFFFD)), std::wstring::npos) << Hex(bytes);
        for (wchar_t u : wide)
            EXPECT_FALSE(u >= 0xD800 && u <= 0xDFFF) << Hex(bytes);
        EXPECT_TRUE(IsValidUtf8(WideToUtf8(wide))) << Hex(bytes);
    }
    EXPECT_EQ(Utf8ToWide(Bytes({'a', 0xC3, '(', 'b'})).substr(2), L"(b");
}

TEST(WideConversion, UnpairedSurrogatesBecomeReplacementCharacters) {
    const std::wstring r = {0xFFFD};
    const std::wstring cases[][2] = {
        {{L'a', 0xD800}, L"a" + r},
        {{L'a', 0xDC00, L'b'}, L"a" + r + L"b"},
        {{0xDE00, 0xD83D, L'b'}, r + r + L"b"},
        {{0xD83D, 0xD83D, 0xDE00}, r + std::wstring{0xD83D, 0xDE00}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(Hex(WideToUtf8(c[0])), Hex(WideToUtf8(c[1])));
}

// ---- line breaks -------------------------------------------------------------------------------

TEST(DetectEolStyle, Table) {
    struct Case {
        std::string text;
        EolStyle expected;
    } cases[] = {
        {"", EolStyle::Crlf},          {"no breaks at all", EolStyle::Crlf},
        {"a\nb", EolStyle::Lf},        {"a\r\nb", EolStyle::Crlf},
        {"a\rb", EolStyle::Cr},        {"a\r", EolStyle::Cr},
        {"\r", EolStyle::Cr},          {"\n\r\n", EolStyle::Lf},
        {"a\r\nb\nc", EolStyle::Crlf}, {"a\rb\r\n", EolStyle::Cr},
        {"\r\r\n", EolStyle::Cr},
    };
    for (const Case& c : cases)
        EXPECT_EQ(DetectEolStyle(c.text), c.expected) << Hex(c.text);
    // A view without data: its null pointer used to reach memchr (the sanitizers report that).
    EXPECT_EQ(DetectEolStyle(std::string_view()), EolStyle::Crlf);
}

TEST(DetectEolStyle, ScansOnlyTheFirstMebibyte) {
    std::string text(kEolScanLimit, 'x');
    text += "\n";
    EXPECT_EQ(DetectEolStyle(text), EolStyle::Crlf) << "LF just past the limit is not seen";
    text[kEolScanLimit - 1] = '\n';
    EXPECT_EQ(DetectEolStyle(text), EolStyle::Lf) << "LF as the last scanned byte";
    // A CR as the last scanned byte looks at the byte after it, past the limit.
    std::string crlf(kEolScanLimit - 1, 'x');
    crlf += "\r\n";
    EXPECT_EQ(DetectEolStyle(crlf), EolStyle::Crlf);
    crlf.back() = 'y';
    EXPECT_EQ(DetectEolStyle(crlf), EolStyle::Cr);
}

// ---- stored values and names -------------------------------------------------------------------

TEST(CodecNames, StoredValuesAndDisplayNames) {
    EXPECT_STREQ(EncodingDisplayName(0u), L"UTF-8");
    EXPECT_STREQ(EncodingDisplayName(1u), L"UTF-8 (BOM)");
    EXPECT_STREQ(EncodingDisplayName(2u), L"UTF-16 LE");
    EXPECT_STREQ(EncodingDisplayName(3u), L"UTF-16 BE");
    EXPECT_STREQ(EncodingDisplayName(4u), L"ANSI");
    EXPECT_STREQ(EncodingDisplayName(0xFFFFFFFFu), L"ANSI");
    EXPECT_EQ(EncodingFromValue(9), TextEncoding::Ansi);
    EXPECT_EQ(EncodingFromValue(3), TextEncoding::Utf16Be);
    EXPECT_STREQ(EolDisplayName(0u), L"Windows (CRLF)");
    EXPECT_STREQ(EolDisplayName(1u), L"Mac (CR)");
    EXPECT_STREQ(EolDisplayName(2u), L"Unix (LF)");
    EXPECT_STREQ(EolDisplayName(3u), L"Windows (CRLF)");
    EXPECT_STREQ(EolDisplayName(0x80000000u), L"Windows (CRLF)");
    EXPECT_EQ(EolStyleFromValue(7), EolStyle::Crlf);
    EXPECT_EQ(static_cast<uint32_t>(EolStyle::Lf), 2u) << "handed to the editor unchanged";
}

}  // namespace
}  // namespace lumen
