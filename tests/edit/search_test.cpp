// The search routine: a randomized comparison with a plain search over ASCII texts (every flag,
// both directions, word tests, the gap anywhere), and the cases it cannot reach: clamping, empty
// needles, and case folding of non-ASCII needles with matches of another byte length.
#include "edit/search.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <utility>
#include <vector>

#include "edit/document.h"
#include "edit/document_support.h"

namespace quill {
namespace {

using test::DocHandle;

using Match = std::pair<int64_t, int64_t>;  // start and end

// Every match from the start onwards, each search continuing at the previous match's end, the way
// the find card counts.
std::vector<Match> AllMatches(Document& doc, const std::string& needle, uint32_t flags) {
    std::vector<Match> out;
    int64_t from = 0;
    for (;;) {
        int64_t end = -1;
        const int64_t start = FindText(doc, from, doc.Length(), needle.data(),
                                       static_cast<int64_t>(needle.size()), flags, &end);
        if (start < 0) break;
        out.push_back({start, end});
        from = end > start ? end : start + 1;
    }
    return out;
}

Match Find(Document& doc, int64_t from, int64_t to, const std::string& needle, uint32_t flags = 0) {
    int64_t end = -1;
    const int64_t start =
        FindText(doc, from, to, needle.data(), static_cast<int64_t>(needle.size()), flags, &end);
    return {start, start < 0 ? -1 : end};
}

TEST(Search, EmptyNeedleOrRangeFindsNothing) {
    DocHandle doc("abc abc");
    int64_t end = 77;
    EXPECT_EQ(FindText(*doc, 0, 7, "", 0, 0, &end), -1);
    EXPECT_EQ(FindText(*doc, 0, 7, nullptr, 3, 0, &end), -1);
    EXPECT_EQ(FindText(*doc, 3, 3, "abc", 3, 0, &end), -1);
    EXPECT_EQ(FindText(*doc, 0, 2, "abc", 3, 0, &end), -1);  // the range is shorter than the needle
    EXPECT_EQ(end, 77);
    DocHandle empty;
    EXPECT_EQ(FindText(*empty, 0, 10, "a", 1, 0, &end), -1);
}

TEST(Search, BackwardSkipsContinuationBytesAndFoldsNonAscii) {
    DocHandle doc("Ärger ärger ÄRGER");
    EXPECT_EQ(Find(*doc, doc->Length(), 0, "ärger"), (Match{14, 20}));
    EXPECT_EQ(Find(*doc, 13, 0, "ärger"), (Match{7, 13}));
    EXPECT_EQ(Find(*doc, 12, 0, "ärger"), (Match{0, 6}));
    EXPECT_EQ(Find(*doc, 13, 0, "ÄRGER", SCFIND_MATCHCASE), (Match{-1, -1}));
    EXPECT_EQ(Find(*doc, doc->Length(), 0, "ÄRGER", SCFIND_MATCHCASE), (Match{14, 20}));
}

TEST(Search, CaseInsensitiveNonAsciiNeedles) {
    DocHandle doc("ПРИВЕТ мир, Привет, École ÉCOLE école");
    const auto privet = AllMatches(*doc, "привет", 0);
    ASSERT_EQ(privet.size(), 2u);
    EXPECT_EQ(privet[0], (Match{0, 12}));
    EXPECT_EQ(privet[1].second - privet[1].first, 12);
    EXPECT_EQ(AllMatches(*doc, "ÉCOLE", 0).size(), 3u);
    EXPECT_EQ(AllMatches(*doc, "ÉCOLE", SCFIND_MATCHCASE).size(), 1u);
    EXPECT_EQ(AllMatches(*doc, "Мир", SCFIND_WHOLEWORD).size(), 1u);
    // An ASCII needle folds only A-Z: the accented capitals stay apart.
    EXPECT_EQ(AllMatches(*doc, "cole", 0).size(), 3u);
    EXPECT_EQ(AllMatches(*doc, "ecole", 0).size(), 0u);
}

TEST(Search, CaseInsensitiveMatchesOfAnotherByteLength) {
    // Capital A with stroke (2 bytes) folds to its small letter (3 bytes); capital L with middle tilde
    // (3 bytes) to its small letter (2 bytes).
    DocHandle doc("x \xC8\xBA y \xE2\xB1\xA5 z \xE2\xB1\xA2");
    const std::vector<Match> both = {{2, 4}, {7, 10}};
    EXPECT_EQ(AllMatches(*doc, "\xE2\xB1\xA5", 0), both);
    EXPECT_EQ(AllMatches(*doc, "\xC8\xBA", 0), both);
    EXPECT_EQ(AllMatches(*doc, "\xE2\xB1\xA5", SCFIND_MATCHCASE), (std::vector<Match>{{7, 10}}));
    EXPECT_EQ(Find(*doc, 0, doc->Length(), "\xC9\xAB"), (Match{13, 16}));
    EXPECT_EQ(Find(*doc, 0, doc->Length(), "Y \xC8\xBA Z \xC9\xAB"), (Match{5, 16}));
    EXPECT_EQ(Find(*doc, 0, doc->Length(), "\xC8\xBA Z", SCFIND_WHOLEWORD), (Match{7, 12}));
    // Backward, a folded match must end at or before the start too.
    EXPECT_EQ(Find(*doc, 15, 0, "\xC9\xAB"), (Match{-1, -1}));
    EXPECT_EQ(Find(*doc, 16, 0, "\xC9\xAB"), (Match{13, 16}));
    EXPECT_EQ(Find(*doc, 9, 0, "\xC8\xBA"), (Match{2, 4}));
}

TEST(Search, NonAsciiMatchesNeverStartInsideACharacter) {
    DocHandle doc("한국어 \x95\x9C");
    // The needle's bytes are the continuation bytes of 한, and the stray ones at the end are
    // continuation bytes too: a case-insensitive search never starts on one, in either direction.
    EXPECT_EQ(Find(*doc, 0, doc->Length(), "\x95\x9C"), (Match{-1, -1}));
    EXPECT_EQ(Find(*doc, doc->Length(), 0, "\x95\x9C"), (Match{-1, -1}));
    EXPECT_EQ(AllMatches(*doc, "국", 0), (std::vector<Match>{{3, 6}}));
}

// What the random comparison's ASCII alphabet cannot show: letters of other scripts, and punctuation
// as a class of its own.
TEST(Search, WholeWordRules) {
    DocHandle doc("foo, a-b --- 한글foo 한글 foo");
    auto starts = [&](const std::string& needle) {
        std::vector<int64_t> out;
        for (const Match& m : AllMatches(*doc, needle, SCFIND_WHOLEWORD | SCFIND_MATCHCASE))
            out.push_back(m.first);
        return out;
    };
    EXPECT_EQ(starts("foo"), (std::vector<int64_t>{0, 30}));
    EXPECT_EQ(starts("-"), (std::vector<int64_t>{6}));
    EXPECT_EQ(starts("---"), (std::vector<int64_t>{9}));
    EXPECT_EQ(starts("한글"), (std::vector<int64_t>{23}));
    EXPECT_EQ(starts("foo,"), (std::vector<int64_t>{0})) << "what follows only has to be of another class";
}

TEST(Search, WordTestsAroundHangulAndBreaks) {
    DocHandle doc("ab, 한글\r\nx");
    for (int64_t p : {-3, 0, 2, 4, 12})
        EXPECT_TRUE(IsWordStartAt(*doc, p)) << p;
    for (int64_t p : {3, 7, 10, 11, 13})
        EXPECT_FALSE(IsWordStartAt(*doc, p)) << p;
    for (int64_t p : {3, 10, 13, 50})
        EXPECT_TRUE(IsWordEndAt(*doc, p)) << p;
    for (int64_t p : {0, 4, 7, 11, 12})
        EXPECT_FALSE(IsWordEndAt(*doc, p)) << p;
}

// ---- randomized comparison ----------------------------------------------------------------------------

// Word classes of the ASCII alphabet the random texts use.
int AsciiClass(char c) {
    if (c == '\r' || c == '\n') return 1;
    if (c == ' ') return 0;
    if ((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '_' || (c >= '0' && c <= '9')) return 2;
    return 3;
}

char Lower(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c;
}

bool PlainWordStart(const std::string& t, int64_t p) {
    if (p >= static_cast<int64_t>(t.size())) return false;
    if (p <= 0) return true;
    const int at = AsciiClass(t[static_cast<size_t>(p)]);
    return at >= 2 && at != AsciiClass(t[static_cast<size_t>(p - 1)]);
}

bool PlainWordEnd(const std::string& t, int64_t q) {
    if (q < 1) return false;
    if (q >= static_cast<int64_t>(t.size())) return true;
    const int before = AsciiClass(t[static_cast<size_t>(q - 1)]);
    return before >= 2 && before != AsciiClass(t[static_cast<size_t>(q)]);
}

bool PlainMatchAt(const std::string& t, int64_t p, const std::string& needle, uint32_t flags) {
    if (p + static_cast<int64_t>(needle.size()) > static_cast<int64_t>(t.size())) return false;
    for (size_t i = 0; i < needle.size(); ++i) {
        const char a = t[static_cast<size_t>(p) + i], b = needle[i];
        if ((flags & SCFIND_MATCHCASE) ? a != b : Lower(a) != Lower(b)) return false;
    }
    const int64_t q = p + static_cast<int64_t>(needle.size());
    if (flags & SCFIND_WHOLEWORD) return PlainWordStart(t, p) && PlainWordEnd(t, q);
    if (flags & SCFIND_WORDSTART) return PlainWordStart(t, p);
    return true;
}

TEST(Search, RandomizedAgainstAPlainScan) {
    std::mt19937 rng(2024);
    const char alphabet[] = "fFoOxX_- \n1";
    for (int round = 0; round < 80; ++round) {
        // Mostly short texts, a few long enough to pass several 64 KiB chunks with rare capitals.
        const size_t size = round % 10 == 9 ? 200000 : 1 + rng() % 300;
        std::string text(size, ' ');
        for (char& c : text) {
            c = alphabet[rng() % (sizeof(alphabet) - 1)];
            if (size > 1000 && (c == 'F' || c == 'O' || c == 'X') && rng() % 500) c = Lower(c);
        }
        DocHandle doc(text);
        // Put the gap somewhere inside.
        const auto at = static_cast<int64_t>(rng() % (size + 1));
        doc.Insert(at, "#");
        doc->DeleteChars(at, 1);
        std::string needle;
        for (int n = 1 + rng() % 3; n > 0; --n)
            needle += alphabet[rng() % 6];
        // Every combination of the three flags, now and then with bits that mean nothing.
        const uint32_t flags = (rng() % 2 ? SCFIND_MATCHCASE : 0) | (rng() % 2 ? SCFIND_WHOLEWORD : 0) |
                               (rng() % 2 ? SCFIND_WORDSTART : 0) | (rng() % 4 ? 0 : 0x80000009u);
        SCOPED_TRACE("round " + std::to_string(round) + " needle '" + needle + "' flags " +
                     std::to_string(flags));
        for (int64_t p = -1; p <= static_cast<int64_t>(size) + 1 && size < 1000; ++p) {
            ASSERT_EQ(IsWordStartAt(*doc, p), PlainWordStart(text, p)) << "word start " << p;
            ASSERT_EQ(IsWordEndAt(*doc, p), PlainWordEnd(text, p)) << "word end " << p;
        }
        for (int probe = 0; probe < 6; ++probe) {
            // Ends beyond the text now and then: the search clamps them, the plain scan does too.
            const auto a = static_cast<int64_t>(rng() % (size + 11)) - 5,
                       b = static_cast<int64_t>(rng() % (size + 11)) - 5;
            const auto n = static_cast<int64_t>(needle.size()), last = static_cast<int64_t>(size);
            const int64_t lo = std::clamp<int64_t>(std::min(a, b), 0, last),
                          hi = std::clamp<int64_t>(std::max(a, b), 0, last);
            Match forward{-1, -1}, backward{-1, -1};
            for (int64_t p = lo; p + n <= hi; ++p) {
                if (PlainMatchAt(text, p, needle, flags)) {
                    if (forward.first < 0) forward = {p, p + n};
                    backward = {p, p + n};
                }
            }
            ASSERT_EQ(Find(*doc, std::min(a, b), std::max(a, b), needle, flags), forward)
                << "forward " << lo << ".." << hi;
            ASSERT_EQ(Find(*doc, std::max(a, b), std::min(a, b), needle, flags), backward)
                << "backward " << hi << ".." << lo;
        }
    }
}

}  // namespace
}  // namespace quill
