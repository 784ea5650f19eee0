// Status-band texts: numbers, position and zoom, the counter over a small document, and the word
// counter against a byte-walking reference on random text.
#include "app/status_text.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <random>

namespace lumen {
namespace {

TEST(StatusText, NumbersPositionAndZoom) {
    EXPECT_EQ(FormatThousands(999) + FormatThousands(-1234567), L"999-1,234,567");
    EXPECT_EQ(FormatThousands(INT64_MIN), L"-9,223,372,036,854,775,808");
    EXPECT_EQ(PositionText(99999, 0), L"줄 100,000, 열 1");
    EXPECT_EQ(ZoomText(11, 2) + ZoomText(10.5, -1) + ZoomText(8, 1), L"118%90%113%") << "halves round up";
}

// A document in a string; lines end at CRLF, CR or LF, as in the editor.
struct Doc : CountSource {
    std::string text;
    std::vector<int64_t> starts{0};
    explicit Doc(std::string t) : text(std::move(t)) {
        for (size_t i = 0; i < text.size(); ++i)
            if (text[i] == '\n' || (text[i] == '\r' && text.substr(i + 1, 1) != "\n"))
                starts.push_back(i + 1);
    }
    int64_t LineFromPosition(int64_t p) override {
        return std::upper_bound(starts.begin(), starts.end(), p) - starts.begin() - 1;
    }
    int64_t LineStart(int64_t line) override { return starts[line]; }
    int64_t CountCharacters(int64_t s, int64_t e) override {
        return std::count_if(text.begin() + s, text.begin() + e, [](char c) { return (c & 0xC0) != 0x80; });
    }
    std::string_view Bytes(int64_t s, int64_t e) override { return std::string_view(text).substr(s, e - s); }
};

TEST(StatusText, CounterTable) {
    const std::string five = "one\ntwo\nthree\nfour\nfive\n", mixed = "하나 둘\xE3\x80\x80셋\r\nfour";
    const struct {
        std::string text;
        int32_t mode;
        int64_t s, e;  // the selection
        const wchar_t* expected;
    } cases[] = {
        {five, kCountLines, 8, 19, L"선택 2줄"},  // line 3's start to line 5's start
        {five, kCountLines, 8, 20, L"선택 3줄"},
        {five, kCountLines, 3, 4, L"선택 1줄"},
        {five, kCountLines, 8, 8, L"6줄"},
        {mixed, kCountLines, 0, 0, L"2줄"},
        {mixed, kCountWords, 0, 0, L"4단어"},
        {mixed, kCountCharacters, 0, 0, L"12자"},
        {mixed, kCountWords, 0, 8, L"선택 2단어"},
        {"   ", kCountWords, 0, 0, L"0단어"},
        {"", kCountLines, 0, 0, L"1줄"},
        {std::string(kCountByteLimit, 'a'), kCountWords, 0, 0, L"8,388,608바이트"},
        {std::string(kCountByteLimit, 'a'), kCountCharacters, 1, kCountByteLimit, L"선택 8,388,607자"},
    };
    for (const auto& c : cases) {
        Doc doc(c.text);
        EXPECT_EQ(CountText(c.mode, c.s, c.e, c.text.size(), doc), c.expected)
            << c.text.substr(0, 40) << c.mode;
    }
}

// Walks the bytes: a whole U+3000 or a blank byte is whitespace, anything else is part of a word.
int64_t ReferenceWords(std::string_view s) {
    int64_t words = 0;
    for (size_t i = 0, space = 1; i < s.size(); ++i) {
        const bool ideographic = s.substr(i, 3) == "\xE3\x80\x80", blank = strchr(" \t\r\n", s[i]) && s[i];
        words += space && !ideographic && !blank;
        space = ideographic || blank;
        i += ideographic ? 2 : 0;
    }
    return words;
}

TEST(StatusText, WordsMatchReferenceOnRandomText) {
    const char* pieces[] = {" ", "\t", "\r\n", "a", "가", "\xE3\x80\x80", "\xE3", "\x80", "\xE3\x80"};
    std::mt19937 rng(7);
    for (int run = 0; run < 2000; ++run) {
        std::string text;
        for (int k = rng() % 80; k > 0; --k)
            text += pieces[rng() % std::size(pieces)];
        for (size_t skip = 0; skip < 3 && skip <= text.size(); ++skip) {  // every alignment
            const std::string_view view = std::string_view(text).substr(skip);
            ASSERT_EQ(CountWords(view), ReferenceWords(view)) << testing::PrintToString(std::string(view));
        }
    }
}

}  // namespace
}  // namespace lumen
