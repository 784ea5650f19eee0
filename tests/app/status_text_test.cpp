// Status-band texts: numbers, position and zoom, the counter over a small document, and the word
// counter against a byte-walking reference on random text.
#include "app/status_text.h"

#include <gtest/gtest.h>

#include <random>

namespace lumen {
namespace {

TEST(StatusText, NumbersPositionAndZoom) {
    EXPECT_EQ(FormatThousands(0), L"0");
    EXPECT_EQ(FormatThousands(999), L"999");
    EXPECT_EQ(FormatThousands(1000), L"1,000");
    EXPECT_EQ(FormatThousands(8388608), L"8,388,608");
    EXPECT_EQ(FormatThousands(-1234567), L"-1,234,567");
    EXPECT_EQ(FormatThousands(INT64_MIN), L"-9,223,372,036,854,775,808");
    EXPECT_EQ(PositionText(0, 0), L"줄 1, 열 1");
    EXPECT_EQ(PositionText(99999, 1233), L"줄 100,000, 열 1,234");
    EXPECT_EQ(ZoomText(11, 2), L"118%");
    EXPECT_EQ(ZoomText(11, 0), L"100%");
    EXPECT_EQ(ZoomText(10.5, -1), L"90%");
    EXPECT_EQ(ZoomText(8, 1), L"113%") << "112.5 rounds away from zero";
}

// A document in a string; lines end at CRLF, CR or LF, as in the editor.
class Doc : public CountSource {
public:
    explicit Doc(std::string text) : text_(std::move(text)) {
        starts_.push_back(0);
        for (size_t i = 0; i < text_.size(); ++i) {
            if (text_[i] == '\r' && i + 1 < text_.size() && text_[i + 1] == '\n') ++i;
            if (text_[i] == '\r' || text_[i] == '\n') starts_.push_back(static_cast<int64_t>(i + 1));
        }
    }
    int64_t LineFromPosition(int64_t position) override {
        return std::upper_bound(starts_.begin(), starts_.end(), position) - starts_.begin() - 1;
    }
    int64_t LineStart(int64_t line) override { return starts_[line]; }
    int64_t CountCharacters(int64_t start, int64_t end) override {
        int64_t n = 0;
        for (int64_t i = start; i < end; ++i)
            n += (static_cast<unsigned char>(text_[i]) & 0xC0) != 0x80;
        return n;
    }
    std::string_view Bytes(int64_t start, int64_t end) override {
        return std::string_view(text_).substr(start, end - start);
    }
    int64_t Length() const { return static_cast<int64_t>(text_.size()); }

private:
    std::string text_;
    std::vector<int64_t> starts_;
};

TEST(StatusText, CounterTable) {
    const std::string fiveLines = "one\ntwo\nthree\nfour\nfive\n";
    const std::string mixed = "하나 둘\xE3\x80\x80셋\r\nfour";
    struct Case {
        std::string text;
        int32_t mode;
        int64_t s, e;  // selection; s == e for none
        const wchar_t* expected;
    } cases[] = {
        {fiveLines, kCountLines, 8, 19, L"선택 2줄"},  // line 3's start to line 5's start
        {fiveLines, kCountLines, 8, 20, L"선택 3줄"},
        {fiveLines, kCountLines, 8, 8, L"6줄"},
        {fiveLines, kCountLines, 3, 4, L"선택 1줄"},
        {fiveLines, kCountLines, 3, 5, L"선택 2줄"},
        {mixed, kCountLines, 0, 0, L"2줄"},
        {mixed, kCountWords, 0, 0, L"4단어"},
        {mixed, kCountCharacters, 0, 0, L"12자"},
        {mixed, kCountWords, 0, 8, L"선택 2단어"},
        {"가 나", kCountWords, 0, 0, L"2단어"},
        {"   ", kCountWords, 0, 0, L"0단어"},
        {"", kCountCharacters, 0, 0, L"0자"},
        {"", kCountLines, 0, 0, L"1줄"},
    };
    for (const Case& c : cases) {
        Doc doc(c.text);
        EXPECT_EQ(CountText(c.mode, c.s, c.e, doc.Length(), doc), c.expected) << c.text << " " << c.mode;
    }
    Doc big(std::string(kCountByteLimit, 'a'));
    EXPECT_EQ(CountText(kCountWords, 0, 0, big.Length(), big), L"8,388,608바이트");
    EXPECT_EQ(CountText(kCountCharacters, 1, kCountByteLimit, big.Length(), big), L"선택 8,388,607자");
    EXPECT_EQ(CountText(kCountLines, 0, 0, big.Length(), big), L"1줄");
}

// Walks the bytes: a whole U+3000 or a blank byte is whitespace, anything else is part of a word.
int64_t ReferenceWords(std::string_view s) {
    int64_t words = 0;
    bool space = true;
    for (size_t i = 0; i < s.size();) {
        if (s.substr(i, 3) == "\xE3\x80\x80") {
            space = true, i += 3;
        } else {
            const bool blank = s[i] == ' ' || s[i] == '\t' || s[i] == '\n' || s[i] == '\r';
            words += space && !blank;
            space = blank, ++i;
        }
    }
    return words;
}

TEST(StatusText, WordsMatchReferenceOnRandomText) {
    const std::string pieces[] = {" ", "\t", "\r\n", "a", "가", "\xE3\x80\x80", "\xE3", "\x80", "\xE3\x80"};
    std::mt19937 rng(7);
    for (int run = 0; run < 2000; ++run) {
        std::string text;
        const int count = static_cast<int>(rng() % 80);
        for (int k = 0; k < count; ++k)
            text += pieces[rng() % std::size(pieces)];
        for (size_t skip = 0; skip < 3 && skip <= text.size(); ++skip) {  // every alignment and cut
            const std::string_view view = std::string_view(text).substr(skip);
            ASSERT_EQ(CountWords(view), ReferenceWords(view)) << testing::PrintToString(std::string(view));
        }
    }
}

}  // namespace
}  // namespace lumen
