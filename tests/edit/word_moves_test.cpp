// Word-wise moves, word deletion targets and double-click words over Hangul, punctuation, blanks and
// every kind of line break.
#include "edit/word_moves.h"

#include <gtest/gtest.h>

#include <vector>

#include "edit/char_classes.h"
#include "edit/document_support.h"

namespace quill {
namespace {

using test::DocHandle;

// Every position a repeated move visits from `from`, until it stops moving.
template <typename Move>
std::vector<int64_t> Walk(const Document& doc, int64_t from, Move move) {
    std::vector<int64_t> stops;
    for (int64_t p = from;;) {
        const int64_t next = move(doc, p);
        if (next == p) break;
        stops.push_back(p = next);
        if (stops.size() > 100) break;
    }
    return stops;
}

// "가나다 abc, def\r\n  x_1" with byte offsets:
//   가 0, 나 3, 다 6, ' ' 9, a 10, b 11, c 12, ',' 13, ' ' 14, d 15 .. f 17, CR 18, LF 19,
//   ' ' 20, ' ' 21, x 22, _ 23, 1 24, end 25
constexpr char kText[] = "가나다 abc, def\r\n  x_1";

TEST(WordMoves, RightAndLeftVisitEveryWordStart) {
    DocHandle doc(kText);
    ASSERT_EQ(doc->Length(), 25);
    EXPECT_EQ(Walk(*doc, 0, WordRightTarget), (std::vector<int64_t>{10, 13, 15, 18, 22, 25}));
    EXPECT_EQ(Walk(*doc, 25, WordLeftTarget), (std::vector<int64_t>{22, 18, 15, 13, 10, 0}));
}

TEST(WordMoves, LineBreaksOfEveryKindAreOneStep) {
    for (const char* br : {"\r\n", "\n", "\r"}) {
        const std::string text = std::string("ab") + br + br + "cd";
        DocHandle doc(text);
        const int64_t w = static_cast<int64_t>(std::string(br).size());
        SCOPED_TRACE(testing::PrintToString(std::string(br)));
        EXPECT_EQ(Walk(*doc, 0, WordRightTarget), (std::vector<int64_t>{2, 2 + w, 2 + 2 * w, 4 + 2 * w}));
        EXPECT_EQ(Walk(*doc, 4 + 2 * w, WordLeftTarget), (std::vector<int64_t>{2 + 2 * w, 2 + w, 2, 0}));
    }
}

TEST(WordMoves, MovesNeverLandInsideACharacterOrBetweenCrAndLf) {
    // Every target, from every boundary, is a character boundary and never splits CR LF.
    DocHandle doc("한글,\xF0\x9F\x98\x80 e\xCC\x81 \r\n\r\n\t끝!");
    const int64_t n = doc->Length();
    for (int64_t p = 0; p <= n; ++p) {
        if (doc->MovePositionOutsideChar(p, 1) != p) continue;  // callers only pass boundaries
        for (int64_t t : {WordLeftTarget(*doc, p), WordRightTarget(*doc, p), WordRightEndTarget(*doc, p),
                          RunStartBefore(*doc, p), RunEndAfter(*doc, p)}) {
            ASSERT_GE(t, 0);
            ASSERT_LE(t, n);
            EXPECT_EQ(doc->MovePositionOutsideChar(t, 1), t) << "from " << p << " to " << t;
            EXPECT_EQ(doc->MovePositionOutsideChar(t, -1), t) << "from " << p << " to " << t;
        }
        if (p > 0) {
            EXPECT_LT(WordLeftTarget(*doc, p), p) << "left always moves when not at 0";
        }
        if (p < n) {
            EXPECT_GT(WordRightTarget(*doc, p), p) << "right always moves when not at the end";
        }
    }
}

// Over the Hangul word only; on a blank over the blanks; over punctuation; nothing at a line end.
// Runs stop at once at a line end before or after.
TEST(WordMoves, RightEndTargetAndRuns) {
    DocHandle doc(kText);
    const int64_t rightEnd[][2] = {{0, 9}, {9, 10}, {13, 14}, {18, 18}, {20, 22}, {25, 25}};
    for (const auto& c : rightEnd)
        EXPECT_EQ(WordRightEndTarget(*doc, c[0]), c[1]) << c[0];
    const int64_t runStart[][2] = {{12, 10}, {20, 20}, {6, 0}}, runEnd[][2] = {{11, 13}, {18, 18}, {3, 9}};
    for (const auto& c : runStart)
        EXPECT_EQ(RunStartBefore(*doc, c[0]), c[1]) << c[0];
    for (const auto& c : runEnd)
        EXPECT_EQ(RunEndAfter(*doc, c[0]), c[1]) << c[0];
}

TEST(WordAround, DoubleClickWords) {
    DocHandle doc(kText);
    auto word = [&](int64_t p) {
        const Range64 r = WordAround(*doc, p);
        return doc->GetText(r.start, r.end - r.start);
    };
    EXPECT_EQ(word(3), "가나다");
    EXPECT_EQ(word(11), "abc");
    EXPECT_EQ(word(13), ",");
    EXPECT_EQ(word(14), " ");
    EXPECT_EQ(word(18), "def") << "at the line end: the word before it";
    EXPECT_EQ(word(22), "x_1");
    EXPECT_EQ(word(25), "x_1") << "at the end of the text";
    EXPECT_EQ(word(20), "  ");

    DocHandle blank("a\r\n\r\nb");
    const Range64 r = WordAround(*blank, 3);
    EXPECT_EQ(r.start, r.end) << "a line end after a line end selects nothing";
    EXPECT_EQ(r.start, 3);
    DocHandle empty("");
    EXPECT_EQ(WordAround(*empty, 0).start, WordAround(*empty, 0).end);
}

TEST(WordMoves, CombiningMarksStayWithTheirWord) {
    // e + U+0301 and a Hangul syllable with a trailing jamo are each part of a word run.
    DocHandle doc("cafe\xCC\x81 \xEA\xB0\x80\xE1\x86\xA8 x");
    EXPECT_EQ(WordRightTarget(*doc, 0), 7);
    EXPECT_EQ(WordLeftTarget(*doc, 6), 0);
    EXPECT_EQ(WordAround(*doc, 10).start, 7);
    EXPECT_EQ(WordAround(*doc, 10).end, 13);
}

}  // namespace
}  // namespace quill
