// The document: gap buffer, line index with its pending step, UTF-8 stepping, indicators and the
// edit primitives' notifications. The randomized model test at the end drives all of it (undo and
// redo included) against a plain std::string.
#include "edit/document.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <random>

#include "edit/document_support.h"
#include "support/bytes.h"

namespace quill {
namespace {

using lumen::test::Bytes;
using lumen::test::Hex;
using test::DocHandle;
using test::DocLineStarts;
using test::ModelLineStarts;
using test::RecordingWatcher;

using Starts = std::vector<int64_t>;

// ---- empty document and line breaks -------------------------------------------------------------------

TEST(DocumentLines, EmptyDocumentHasOneEmptyLine) {
    DocHandle doc;
    EXPECT_EQ(doc->Length(), 0);
    EXPECT_EQ(doc->LineCount(), 1);
    EXPECT_EQ(doc->LineStart(0), 0);
    EXPECT_EQ(doc->LineEnd(0), 0);
    EXPECT_EQ(doc->LineStart(1), 0);
    for (int64_t p : {-5, 0, 1, 100})
        EXPECT_EQ(doc->LineFromPosition(p), 0) << p;
    ASSERT_NE(doc->CharacterPointer(), nullptr);
    EXPECT_STREQ(doc->CharacterPointer(), "");
    int width = 7;
    EXPECT_EQ(doc->CharacterAt(0, &width), 0u);
    EXPECT_EQ(width, 0);
    EXPECT_EQ(doc->CharacterBefore(0, &width), 0u);
    EXPECT_EQ(width, 0);
    EXPECT_EQ(doc->PositionAfter(0), 0);
    EXPECT_EQ(doc->PositionBefore(0), 0);
}

TEST(DocumentLines, CrLfIsOneBreakAndLoneCrAndLfAreBreaks) {
    DocHandle doc("a\r\nb\rc\nd");
    EXPECT_EQ(doc->LineCount(), 4);
    EXPECT_EQ(DocLineStarts(*doc), (Starts{0, 3, 5, 7, 8}));
    EXPECT_EQ(doc->LineEnd(0), 1);
    EXPECT_EQ(doc->LineEnd(1), 4);
    EXPECT_EQ(doc->LineEnd(2), 6);
    EXPECT_EQ(doc->LineEnd(3), 8);
    EXPECT_EQ(doc->LineEnd(99), 8);
    EXPECT_EQ(doc->LineStart(-1), 0);
    EXPECT_EQ(doc->LineStart(4), 8);
    EXPECT_EQ(doc->LineStart(99), 8);
    const int64_t expectedLine[] = {0, 0, 0, 1, 1, 2, 2, 3, 3};
    for (int64_t p = 0; p <= 8; ++p)
        EXPECT_EQ(doc->LineFromPosition(p), expectedLine[p]) << p;
    EXPECT_EQ(doc->LineFromPosition(1000), 3);
}

TEST(DocumentLines, TrailingBreakMakesAnEmptyLastLine) {
    DocHandle doc("x\r\n");
    EXPECT_EQ(doc->LineCount(), 2);
    EXPECT_EQ(doc->LineStart(1), 3);
    EXPECT_EQ(doc->LineEnd(1), 3);
    EXPECT_EQ(doc->LineFromPosition(3), 1);
}

TEST(DocumentLines, IsLineStartAfterBreak) {
    DocHandle doc("a\r\nb\r");
    EXPECT_FALSE(doc->IsLineStartAfterBreak(0));
    EXPECT_FALSE(doc->IsLineStartAfterBreak(1));
    EXPECT_FALSE(doc->IsLineStartAfterBreak(2));  // between CR and LF
    EXPECT_TRUE(doc->IsLineStartAfterBreak(3));
    EXPECT_FALSE(doc->IsLineStartAfterBreak(4));
    EXPECT_TRUE(doc->IsLineStartAfterBreak(5));  // CR at the very end
    EXPECT_FALSE(doc->IsLineStartAfterBreak(6));
}

struct BreakEdit {
    const char* name;
    std::string before;
    bool insert;
    int64_t position;
    std::string text;  // inserted text, or for a deletion the bytes expected to go
    std::string after;
    int64_t linesAdded;
};

// Joining and splitting of CR LF by single edits, each checked against the plain rule and the
// notification's line count change.
TEST(DocumentLines, EditsThatJoinAndSplitCrLf) {
    const BreakEdit cases[] = {
        {"x between CR and LF splits the pair", "a\r\nb", true, 2, "x", "a\rx\nb", 1},
        {"LF after a final CR joins it", "a\r", true, 2, "\n", "a\r\n", 0},
        {"LF after CR before text joins", "a\rb", true, 2, "\n", "a\r\nb", 0},
        {"CR before an LF joins", "a\nb", true, 1, "\r", "a\r\nb", 0},
        {"CR LF between CR and LF", "a\r\nb", true, 2, "\r\n", "a\r\r\n\nb", 2},
        {"LF CR between CR and LF", "a\r\nb", true, 2, "\n\r", "a\r\n\r\nb", 1},
        {"text ending in CR before LF", "a\nb", true, 1, "x\r", "ax\r\nb", 0},
        {"insert at line start after CR", "a\rb", true, 2, "y", "a\ryb", 0},
        {"deleting the LF of CR LF", "a\r\nb", false, 2, "\n", "a\rb", 0},
        {"deleting the final LF of CR LF", "a\r\n", false, 2, "\n", "a\r", 0},
        {"deleting the CR of CR LF", "a\r\nb", false, 1, "\r", "a\nb", 0},
        {"deleting text between CR and LF joins them", "a\rx\nb", false, 2, "x", "a\r\nb", -1},
        {"deleting a whole CR LF", "a\r\nb", false, 1, "\r\n", "ab", -1},
        {"deleting across breaks", "a\nb\r\nc\rd", false, 1, "\nb\r\nc\r", "ad", -3},
        {"deleting a line's text keeps its start", "a\nbc\nd", false, 2, "bc", "a\n\nd", 0},
        {"deleting from a line start", "a\nbc\nd", false, 2, "bc\n", "a\nd", -1},
    };
    for (const BreakEdit& c : cases) {
        SCOPED_TRACE(c.name);
        DocHandle doc(c.before);
        RecordingWatcher watcher;
        doc->AddWatcher(&watcher);
        const int64_t line = doc->LineFromPosition(c.position);
        if (c.insert) {
            ASSERT_TRUE(doc.Insert(c.position, c.text));
        } else {
            ASSERT_TRUE(doc->DeleteChars(c.position, static_cast<int64_t>(c.text.size())));
        }
        EXPECT_EQ(Hex(doc.Text()), Hex(c.after));
        EXPECT_EQ(DocLineStarts(*doc), ModelLineStarts(c.after));
        ASSERT_EQ(watcher.mods.size(), 1u);
        EXPECT_EQ(watcher.mods[0].inserted, c.insert);
        EXPECT_EQ(watcher.mods[0].position, c.position);
        EXPECT_EQ(watcher.mods[0].text, c.text);
        EXPECT_EQ(watcher.mods[0].line, line);
        EXPECT_EQ(watcher.mods[0].linesAdded, c.linesAdded);
        EXPECT_EQ(watcher.mods[0].flags, kModUser);
        doc->RemoveWatcher(&watcher);
    }
}

TEST(DocumentLines, SpecificLineIndexTransitions) {
    DocHandle doc("a\r");
    ASSERT_TRUE(doc.Insert(2, "\n"));
    EXPECT_EQ(doc->LineCount(), 2);
    ASSERT_TRUE(doc->DeleteChars(2, 1));
    EXPECT_EQ(doc->LineCount(), 2);
    EXPECT_EQ(doc->LineStart(1), 2);
    EXPECT_EQ(doc->LineEnd(1), 2);
}

TEST(DocumentLines, LongLineWithoutBreaks) {
    const std::string line(2 * 1024 * 1024, 'q');
    DocHandle doc(line);
    EXPECT_EQ(doc->LineCount(), 1);
    RecordingWatcher watcher;
    doc->AddWatcher(&watcher);
    for (int i = 0; i < 100; ++i)
        ASSERT_TRUE(doc.Insert(doc->Length(), "z"));
    for (int i = 0; i < 100; ++i)
        ASSERT_TRUE(doc.Insert(0, "y"));
    EXPECT_EQ(doc->LineCount(), 1);
    EXPECT_EQ(doc->LineEnd(0), doc->Length());
    EXPECT_EQ(doc->LineFromPosition(doc->Length() / 2), 0);
    for (const auto& m : watcher.mods)
        EXPECT_EQ(m.linesAdded, 0);
    ASSERT_TRUE(doc.Insert(1000, "\n"));
    EXPECT_EQ(doc->LineCount(), 2);
    EXPECT_EQ(doc->LineStart(1), 1001);
    doc->RemoveWatcher(&watcher);
}

// Edits that move the pending step forward, back a little (within a tenth of the lines) and far back,
// with every line start checked after each.
TEST(DocumentLines, StepMovesForwardBackAndFarBack) {
    std::string text;
    for (int i = 0; i < 1000; ++i)
        text += "line " + std::to_string(i) + (i % 3 == 0 ? "\r\n" : "\n");
    DocHandle doc(text);
    auto editAtLine = [&](int64_t line, const std::string& insert, int64_t deleteCount) {
        const int64_t at = doc->LineStart(line) + 2;
        ASSERT_TRUE(doc.Insert(at, insert));
        text.insert(static_cast<size_t>(at), insert);
        ASSERT_TRUE(doc->DeleteChars(at + 1, deleteCount));
        text.erase(static_cast<size_t>(at + 1), static_cast<size_t>(deleteCount));
        ASSERT_EQ(doc.Text(), text);
        ASSERT_EQ(DocLineStarts(*doc), ModelLineStarts(text));
    };
    for (int64_t line : {500, 501, 530, 600, 590, 520, 505, 100, 5, 999, 998, 0, 400, 401, 10}) {
        SCOPED_TRACE(line);
        editAtLine(line, "ab", 1);
        editAtLine(line, "\n", 2);
        editAtLine(line, "x\r\ny\rz", 3);
    }
}

// ---- UTF-8 ------------------------------------------------------------------------------------------

struct DecodeCase {
    const char* name;
    std::string bytes;
    char32_t expected;
    int width;
};

TEST(DocumentUtf8, CharacterAtDecodesAndRejects) {
    const DecodeCase cases[] = {
        {"ASCII", "A", 'A', 1},
        {"two bytes", Bytes({0xC3, 0xA9}), 0xE9, 2},
        {"Hangul syllable", "한", 0xD55C, 3},
        {"emoji", "\xF0\x9F\x98\x80", 0x1F600, 4},
        {"highest code point", Bytes({0xF4, 0x8F, 0xBF, 0xBF}), 0x10FFFF, 4},
        {"C3 28 is invalid", Bytes({0xC3, 0x28}), 0xFFFD, 1},
        {"lone continuation", Bytes({0x80}), 0xFFFD, 1},
        {"C0 overlong lead", Bytes({0xC0, 0x80}), 0xFFFD, 1},
        {"overlong three bytes", Bytes({0xE0, 0x80, 0x80}), 0xFFFD, 1},
        {"surrogate", Bytes({0xED, 0xA0, 0x80}), 0xFFFD, 1},
        {"above U+10FFFF", Bytes({0xF4, 0x90, 0x80, 0x80}), 0xFFFD, 1},
        {"overlong four bytes", Bytes({0xF0, 0x8F, 0xBF, 0xBF}), 0xFFFD, 1},
        {"F5 lead", Bytes({0xF5, 0x80, 0x80, 0x80}), 0xFFFD, 1},
        {"cut off at the end", Bytes({0xE2, 0x82}), 0xFFFD, 1},
        {"FF byte", Bytes({0xFF}), 0xFFFD, 1},
    };
    for (const DecodeCase& c : cases) {
        SCOPED_TRACE(c.name);
        DocHandle doc(c.bytes);
        int width = 0;
        EXPECT_EQ(doc->CharacterAt(0, &width), c.expected);
        EXPECT_EQ(width, c.width);
        // The same character read backwards from its end, when it is whole.
        if (c.width == static_cast<int>(c.bytes.size())) {
            EXPECT_EQ(doc->CharacterBefore(c.width, &width), c.expected);
            EXPECT_EQ(width, c.width);
        }
    }
}

TEST(DocumentUtf8, CharacterBeforeFallsBackToOneByte) {
    // "é" cut short after its lead byte, followed by text: the byte before 2 is the cut-off lead.
    DocHandle doc(Bytes({'a', 0xC3, 'b', 0xE2, 0x82, 0xAC, 0x80}));
    int width = 0;
    EXPECT_EQ(doc->CharacterBefore(2, &width), 0xFFFDu);
    EXPECT_EQ(width, 1);
    EXPECT_EQ(doc->CharacterBefore(3, &width), static_cast<char32_t>('b'));
    EXPECT_EQ(doc->CharacterBefore(6, &width), 0x20ACu);
    EXPECT_EQ(width, 3);
    // A stray continuation byte after a whole euro sign.
    EXPECT_EQ(doc->CharacterBefore(7, &width), 0xFFFDu);
    EXPECT_EQ(width, 1);
    // Inside the euro sign: no whole character ends there.
    EXPECT_EQ(doc->CharacterBefore(5, &width), 0xFFFDu);
    EXPECT_EQ(width, 1);
    EXPECT_EQ(doc->CharacterBefore(100, &width), 0xFFFDu);  // clamped to the end
}

TEST(DocumentUtf8, InvalidBytesStepOneAtATime) {
    DocHandle doc(Bytes({0xC3, 0x28, 'x'}));
    EXPECT_EQ(doc->PositionAfter(0), 1);
    EXPECT_EQ(doc->PositionAfter(1), 2);
    EXPECT_EQ(doc->PositionBefore(2), 1);
    EXPECT_EQ(doc->PositionBefore(1), 0);
    int width = 0;
    EXPECT_EQ(doc->CharacterAt(1, &width), static_cast<char32_t>('('));
}

TEST(DocumentUtf8, StepsKeepCombiningMarksWithTheirBase) {
    struct Case {
        const char* name;
        std::string base;
        std::string marks;
    };
    const Case cases[] = {
        {"e with acute accent", "e", "\xCC\x81"},
        {"e with two accents", "e", "\xCC\x81\xCC\xA3"},
        {"Hangul syllable with trailing jamo", "한", "\xE1\x86\xA8"},
        {"emoji with skin tone", "\xF0\x9F\x91\x8D", "\xF0\x9F\x8F\xBB"},
        {"letter with variation selector", "a", "\xEF\xB8\x8F"},
        {"zero width joiner", "x", "\xE2\x80\x8D"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string text = "<" + c.base + c.marks + ">";
        DocHandle doc(text);
        const auto end = static_cast<int64_t>(1 + c.base.size() + c.marks.size());
        EXPECT_EQ(doc->PositionAfter(1), end);
        EXPECT_EQ(doc->PositionBefore(end), 1);
        EXPECT_EQ(doc->PositionAfter(0), 1);
        EXPECT_EQ(doc->PositionBefore(end + 1), end);
    }
}

TEST(DocumentUtf8, CrLfIsOneStepAndMarksAfterABreakStandAlone) {
    DocHandle doc(
        "a\r\n\xCC\x81"
        "b");
    EXPECT_EQ(doc->PositionAfter(1), 3);
    EXPECT_EQ(doc->PositionBefore(3), 1);
    EXPECT_EQ(doc->PositionAfter(3), 5);
    EXPECT_EQ(doc->PositionBefore(5), 3);
    EXPECT_EQ(doc->PositionAfter(100), doc->Length());
    EXPECT_EQ(doc->PositionBefore(-4), 0);
}

TEST(DocumentUtf8, MovePositionOutsideChar) {
    DocHandle doc("a\r\n한" + Bytes({0x80}) + "z");
    EXPECT_EQ(doc->MovePositionOutsideChar(2, -1), 1);
    EXPECT_EQ(doc->MovePositionOutsideChar(2, 1), 3);
    EXPECT_EQ(doc->MovePositionOutsideChar(4, -1), 3);
    EXPECT_EQ(doc->MovePositionOutsideChar(5, 1), 6);
    EXPECT_EQ(doc->MovePositionOutsideChar(5, 0), 3);
    EXPECT_EQ(doc->MovePositionOutsideChar(6, -1), 6);  // the stray continuation byte is its own char
    EXPECT_EQ(doc->MovePositionOutsideChar(3, -1), 3);
    EXPECT_EQ(doc->MovePositionOutsideChar(-10, 1), 0);
    EXPECT_EQ(doc->MovePositionOutsideChar(99, -1), doc->Length());
}

TEST(DocumentUtf8, CountCharactersAcrossTheGap) {
    DocHandle doc("ab한글😀cd");
    ASSERT_TRUE(doc.Insert(5, "x"));  // gap now inside the text, after "ab한x"
    EXPECT_EQ(doc.Text(), "ab한x글😀cd");
    EXPECT_EQ(doc->CountCharacters(0, doc->Length()), 8);
    EXPECT_EQ(doc->CountCharacters(2, 9), 3);
    EXPECT_EQ(doc->CountCharacters(5, 3), 0);
    EXPECT_EQ(doc->CountCharacters(-3, 1000), 8);
}

// ---- buffer access ----------------------------------------------------------------------------------

TEST(DocumentBuffer, PointersAndCopiesAcrossTheGap) {
    DocHandle doc("0123456789");
    ASSERT_TRUE(doc->DeleteChars(4, 1));
    ASSERT_TRUE(doc.Insert(4, "X"));
    EXPECT_EQ(doc->GapPosition(), 5);
    char out[6] = {};
    doc->GetCharRange(out, 2, 5);
    EXPECT_STREQ(out, "23X56");
    EXPECT_EQ(doc->GapPosition(), 5);

    // Wholly before the gap: the gap stays.
    EXPECT_EQ(std::string(doc->RangePointer(1, 3), 3), "123");
    EXPECT_EQ(doc->GapPosition(), 5);
    // Wholly after: the gap stays too.
    EXPECT_EQ(std::string(doc->RangePointer(6, 3), 3), "678");
    EXPECT_EQ(doc->GapPosition(), 5);
    // Straddling: the gap moves to the range's start.
    EXPECT_EQ(std::string(doc->RangePointer(3, 4), 4), "3X56");
    EXPECT_EQ(doc->GapPosition(), 3);
    EXPECT_EQ(std::string(doc->RangePointer(8, 100), 2), "89");

    const char* all = doc->CharacterPointer();
    EXPECT_STREQ(all, "0123X56789");
    EXPECT_EQ(doc->GapPosition(), doc->Length());
    EXPECT_EQ(doc->ByteAt(4), 'X');
    EXPECT_EQ(doc->ByteAt(-1), 0);
    EXPECT_EQ(doc->ByteAt(10), 0);
    EXPECT_EQ(doc->GetText(8, 50), "89");
}

TEST(DocumentBuffer, InsertingTextFromItsOwnBuffer) {
    DocHandle doc("abcdef");
    const char* own = doc->RangePointer(1, 3);
    ASSERT_TRUE(doc->InsertString(0, own, 3));
    EXPECT_EQ(doc.Text(), "bcdabcdef");
    // Large enough to force the buffer to grow while the source lies inside it.
    DocHandle big(std::string(5000, 'k') + "END");
    const char* whole = big->CharacterPointer();
    ASSERT_TRUE(big->InsertString(2, whole, big->Length()));
    EXPECT_EQ(big->Length(), 2 * 5003);
    EXPECT_EQ(big.Text().substr(2, 5003), std::string(5000, 'k') + "END");
}

TEST(DocumentBuffer, ClampingAndReadOnly) {
    DocHandle doc("abc");
    RecordingWatcher watcher;
    doc->AddWatcher(&watcher);
    ASSERT_TRUE(doc.Insert(-5, "<"));
    ASSERT_TRUE(doc.Insert(99, ">"));
    EXPECT_EQ(doc.Text(), "<abc>");
    ASSERT_TRUE(doc->DeleteChars(3, 99));
    EXPECT_EQ(doc.Text(), "<ab");
    ASSERT_TRUE(doc->DeleteChars(3, 5));  // nothing left after the end
    ASSERT_TRUE(doc->DeleteChars(1, 0));
    ASSERT_TRUE(doc->DeleteChars(1, -2));
    ASSERT_TRUE(doc->InsertString(1, "zz", 0));
    EXPECT_EQ(watcher.mods.size(), 3u);

    const int32_t changes = doc->ChangeCount();
    doc->SetReadOnly(true);
    EXPECT_FALSE(doc.Insert(0, "x"));
    EXPECT_TRUE(doc->InsertString(0, "x", 0));  // nothing to insert is not refused
    EXPECT_FALSE(doc->DeleteChars(0, 1));
    EXPECT_EQ(doc.Text(), "<ab");
    EXPECT_EQ(watcher.mods.size(), 3u);
    EXPECT_EQ(doc->ChangeCount(), changes);
    doc->SetReadOnly(false);
    ASSERT_TRUE(doc->DeleteChars(0, 1));
    EXPECT_EQ(doc->ChangeCount(), changes + 1);
    doc->RemoveWatcher(&watcher);
}

TEST(DocumentBuffer, WatchersAndReferences) {
    auto* doc = new Document();
    EXPECT_EQ(doc->AddRef(), 1);
    EXPECT_EQ(doc->AddRef(), 2);
    RecordingWatcher a, b;
    doc->AddWatcher(&a);
    doc->AddWatcher(&b);
    doc->AddWatcher(&a);
    doc->InsertString(0, "x", 1);
    EXPECT_EQ(a.mods.size(), 2u);  // attached twice, told twice
    EXPECT_EQ(b.mods.size(), 1u);
    doc->RemoveWatcher(&a);
    EXPECT_EQ(doc->Watchers(), std::vector<DocWatcher*>{&b});
    doc->InsertString(0, "y", 1);
    EXPECT_EQ(a.mods.size(), 2u);
    EXPECT_EQ(b.mods.size(), 2u);
    doc->RemoveWatcher(&b);
    EXPECT_EQ(doc->Release(), 1);
    EXPECT_EQ(doc->Release(), 0);  // freed; the sanitizers would report a leak otherwise
}

TEST(DocumentBuffer, EolModeKeepsOnlyKnownValues) {
    DocHandle doc;
    EXPECT_EQ(doc->EolMode(), 0);
    doc->SetEolMode(2);
    EXPECT_EQ(doc->EolMode(), 2);
    doc->SetEolMode(3);
    doc->SetEolMode(-1);
    EXPECT_EQ(doc->EolMode(), 2);
}

// ---- indicators -------------------------------------------------------------------------------------

using Ranges = std::vector<std::pair<int64_t, int64_t>>;

Ranges RangesOf(const Document& doc, int indicator) {
    Ranges out;
    for (const IndicatorRange& r : doc.IndicatorRanges(indicator))
        out.emplace_back(r.start, r.end);
    return out;
}

TEST(DocumentIndicators, FillMergesAndClearSplits) {
    DocHandle doc(std::string(40, '.'));
    doc->IndicatorFillRange(3, 10, 5);
    doc->IndicatorFillRange(3, 20, 5);
    EXPECT_EQ(RangesOf(*doc, 3), (Ranges{{10, 15}, {20, 25}}));
    doc->IndicatorFillRange(3, 15, 2);  // touches the first
    EXPECT_EQ(RangesOf(*doc, 3), (Ranges{{10, 17}, {20, 25}}));
    doc->IndicatorFillRange(3, 16, 4);  // bridges both
    EXPECT_EQ(RangesOf(*doc, 3), (Ranges{{10, 25}}));
    doc->IndicatorFillRange(3, 2, 3);
    doc->IndicatorFillRange(3, 35, 100);  // clipped to the text
    EXPECT_EQ(RangesOf(*doc, 3), (Ranges{{2, 5}, {10, 25}, {35, 40}}));
    doc->IndicatorClearRange(3, 12, 3);
    EXPECT_EQ(RangesOf(*doc, 3), (Ranges{{2, 5}, {10, 12}, {15, 25}, {35, 40}}));
    doc->IndicatorClearRange(3, 4, 33);
    EXPECT_EQ(RangesOf(*doc, 3), (Ranges{{2, 4}, {37, 40}}));

    // Numbers out of range and empty counts do nothing.
    doc->IndicatorFillRange(40, 0, 5);
    doc->IndicatorFillRange(-1, 0, 5);
    doc->IndicatorFillRange(5, 0, 0);
    doc->IndicatorFillRange(5, 50, 5);
    EXPECT_TRUE(doc->IndicatorRanges(5).empty());
    EXPECT_TRUE(doc->IndicatorRanges(40).empty());
    EXPECT_EQ(doc->IndicatorValueAt(40, 3), 0);

    EXPECT_EQ(doc->IndicatorValueAt(3, 1), 0);
    EXPECT_EQ(doc->IndicatorValueAt(3, 2), 1);
    EXPECT_EQ(doc->IndicatorValueAt(3, 3), 1);
    EXPECT_EQ(doc->IndicatorValueAt(3, 4), 0);
    EXPECT_EQ(doc->IndicatorValueAt(3, 39), 1);
    EXPECT_EQ(doc->IndicatorValueAt(3, 40), 0);
}

TEST(DocumentIndicators, AllOnForCoversTheFirst32) {
    DocHandle doc(std::string(10, '.'));
    doc->IndicatorFillRange(0, 2, 3);
    doc->IndicatorFillRange(31, 3, 3);
    doc->IndicatorFillRange(32, 0, 10);
    EXPECT_EQ(doc->IndicatorAllOnFor(2), 1u);
    EXPECT_EQ(doc->IndicatorAllOnFor(3), 0x80000001u);
    EXPECT_EQ(doc->IndicatorAllOnFor(5), 0x80000000u);
    EXPECT_EQ(doc->IndicatorAllOnFor(7), 0u);
}

TEST(DocumentIndicators, EditsWidenMoveAndDropRanges) {
    DocHandle doc("0123456789abcdefghij");
    doc->IndicatorFillRange(1, 5, 5);   // [5, 10)
    doc->IndicatorFillRange(1, 15, 2);  // [15, 17)
    ASSERT_TRUE(doc.Insert(7, "xx"));   // inside: widens
    EXPECT_EQ(RangesOf(*doc, 1), (Ranges{{5, 12}, {17, 19}}));
    ASSERT_TRUE(doc.Insert(5, "y"));  // at the start: moves
    EXPECT_EQ(RangesOf(*doc, 1), (Ranges{{6, 13}, {18, 20}}));
    ASSERT_TRUE(doc.Insert(13, "z"));  // at the end: stays
    EXPECT_EQ(RangesOf(*doc, 1), (Ranges{{6, 13}, {19, 21}}));
    ASSERT_TRUE(doc->DeleteChars(18, 4));  // swallows the second range whole
    EXPECT_EQ(RangesOf(*doc, 1), (Ranges{{6, 13}}));
    ASSERT_TRUE(doc->DeleteChars(4, 4));  // cuts the front
    EXPECT_EQ(RangesOf(*doc, 1), (Ranges{{4, 9}}));
    ASSERT_TRUE(doc->DeleteChars(8, 3));  // cuts the back
    EXPECT_EQ(RangesOf(*doc, 1), (Ranges{{4, 8}}));

    // A deletion between two ranges brings them together: they merge rather than touch.
    doc->IndicatorFillRange(1, 10, 2);
    EXPECT_EQ(RangesOf(*doc, 1), (Ranges{{4, 8}, {10, 12}}));
    ASSERT_TRUE(doc->DeleteChars(8, 2));
    EXPECT_EQ(RangesOf(*doc, 1), (Ranges{{4, 10}}));
    ASSERT_TRUE(doc->DeleteChars(0, doc->Length()));
    EXPECT_TRUE(doc->IndicatorRanges(1).empty());
}

// ---- the randomized model test ------------------------------------------------------------------------

// Indicator 7 mirrored as one flag per byte, kept up to date from the change notifications alone: an
// insertion strictly inside a range widens it, everything else shifts with the text.
class IndicatorMirror : public DocWatcher {
public:
    void NotifyModified(Document*, bool inserted, int64_t position, int64_t length, int64_t, int64_t,
                        uint32_t, const char*) override {
        const auto at = flags.begin() + position;
        if (inserted) {
            const bool inside =
                position > 0 && position < static_cast<int64_t>(flags.size()) && at[-1] && at[0];
            flags.insert(at, static_cast<size_t>(length), inside ? 1 : 0);
        } else {
            flags.erase(at, at + length);
        }
    }
    void NotifySavePoint(Document*, bool) override {}
    void GetSelection(int64_t* anchor, int64_t* caret) override { *anchor = *caret = 0; }

    std::vector<char> flags;
};

class ModelTest {
public:
    explicit ModelTest(uint32_t seed) : rng_(seed) {
        doc_->AddWatcher(&watcher_);
        doc_->AddWatcher(&mirror_);
    }
    ~ModelTest() {
        doc_->RemoveWatcher(&watcher_);
        doc_->RemoveWatcher(&mirror_);
    }

    void Run(int operations) {
        snapshots_.assign(1, "");
        for (int i = 0; i < operations && !::testing::Test::HasFatalFailure(); ++i)
            RandomOperation();
        // Undo part of the way, then edit again: the undone steps are gone for good.
        const int64_t back = doc_->History().CurrentStep() / 3;
        for (int64_t i = 0; i < back; ++i)
            ASSERT_NO_FATAL_FAILURE(UndoOnce());
        for (int i = 0; i < operations / 4 && !::testing::Test::HasFatalFailure(); ++i)
            RandomOperation();
        ASSERT_EQ(doc_->History().StepCount(), doc_->History().CurrentStep());
        // Everything undone, step by step, then everything redone.
        const int64_t steps = doc_->History().CurrentStep();
        while (doc_->CanUndo())
            ASSERT_NO_FATAL_FAILURE(UndoOnce());
        EXPECT_EQ(doc_.Text(), "");
        int64_t redone = 0;
        while (doc_->CanRedo()) {
            ASSERT_NO_FATAL_FAILURE(RedoOnce());
            ++redone;
        }
        EXPECT_EQ(redone, steps);
        EXPECT_EQ(doc_.Text(), model_);
        // The run really edited: most operations are one or more edits, and many steps were made.
        EXPECT_GT(edits_, operations);
        EXPECT_GT(steps, operations / 4);
    }

private:
    std::string RandomPiece() {
        static const char* const pieces[] = {
            "a",
            "xyz",
            " ",
            "한",
            "글자",
            "\xF0\x9F\x98\x80",
            "\xF0\x9F\x91\x8D\xF0\x9F\x8F\xBB",
            "e\xCC\x81",
            "\xC3",
            "\x80",
            "\xFF",
            "\xE2\x82",
            "\r",
            "\n",
            "\r\n",
            "\n\r",
            "\r\r",
            "ab\r\ncd",
            "\r\n\r\n",
        };
        std::string out;
        const int count = Pick(1, 3);
        for (int i = 0; i < count; ++i)
            out += pieces[Pick(0, std::size(pieces) - 1)];
        return out;
    }

    int Pick(int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng_); }
    int64_t PickPosition() {
        const auto n = static_cast<int64_t>(model_.size());
        // Half the time next to a CR or LF, where the index is most fragile.
        if (n > 0 && Pick(0, 1) == 0) {
            for (int tries = 0; tries < 8; ++tries) {
                const int64_t p = std::uniform_int_distribution<int64_t>(0, n - 1)(rng_);
                if (model_[static_cast<size_t>(p)] == '\r' || model_[static_cast<size_t>(p)] == '\n')
                    return p + Pick(0, 1);
            }
        }
        return std::uniform_int_distribution<int64_t>(0, n)(rng_);
    }

    void RandomOperation() {
        const bool shrink = model_.size() > 1200;
        const int kind = Pick(0, 9);
        if (kind <= 2 && !shrink) {
            Insert(PickPosition(), RandomPiece(), kCoalesceNone);
        } else if (kind <= 4) {
            const int64_t p = PickPosition();
            Delete(p, Pick(1, shrink ? 100 : 6), kCoalesceNone);
        } else if (kind == 5 && !shrink) {
            // A typing run: merges into one step until a word starts after whitespace.
            int64_t p = PickPosition();
            for (int i = Pick(1, 8); i > 0; --i) {
                const std::string piece = Pick(0, 3) == 0 ? " " : RandomPiece();
                Insert(p, piece, kCoalesceTyping);
                p += static_cast<int64_t>(piece.size());
            }
        } else if (kind == 6) {
            int64_t p = PickPosition();
            for (int i = Pick(1, 6); i > 0 && p > 0; --i) {
                const int64_t width = std::min<int64_t>(p, Pick(1, 3));
                Delete(p - width, width, kCoalesceBackspace);
                p -= width;
            }
        } else if (kind == 7) {
            const int64_t p = PickPosition();
            for (int i = Pick(1, 6); i > 0; --i)
                Delete(p, Pick(1, 2), kCoalesceForwardDelete);
        } else if (kind == 8 && !shrink) {
            // A host group: one step, whatever the kinds inside.
            doc_->BeginGroup();
            for (int i = Pick(1, 4); i > 0; --i) {
                if (Pick(0, 1))
                    Insert(PickPosition(), RandomPiece(), kCoalesceTyping);
                else
                    Delete(PickPosition(), Pick(1, 4), kCoalesceNone);
            }
            doc_->EndGroup();
        } else {
            const int64_t p = PickPosition();
            const int64_t n = Pick(1, 30);
            if (Pick(0, 2) == 0)
                doc_->IndicatorClearRange(7, p, n);
            else
                doc_->IndicatorFillRange(7, p, n);
            const int64_t end = std::min<int64_t>(p + n, static_cast<int64_t>(model_.size()));
            for (int64_t i = p; i < end; ++i)
                mirror_.flags[static_cast<size_t>(i)] = doc_->IndicatorValueAt(7, i);
            ASSERT_NO_FATAL_FAILURE(CheckIndicators());
        }
    }

    void Insert(int64_t position, const std::string& text, uint32_t kind) {
        const int64_t linesBefore = ModelLineCount();
        const int64_t line = LineIn(modelStarts_, position);
        watcher_.mods.clear();
        ASSERT_TRUE(doc_.Insert(position, text, kind));
        model_.insert(static_cast<size_t>(position), text);
        ++edits_;
        ASSERT_NO_FATAL_FAILURE(CheckAfterEdit(true, position, text, line, linesBefore));
        Snapshot();
    }

    void Delete(int64_t position, int64_t count, uint32_t kind) {
        count = std::min<int64_t>(count, static_cast<int64_t>(model_.size()) - position);
        if (count < 1) return;
        const int64_t linesBefore = ModelLineCount();
        const int64_t line = LineIn(modelStarts_, position);
        const std::string gone = model_.substr(static_cast<size_t>(position), static_cast<size_t>(count));
        watcher_.mods.clear();
        ASSERT_TRUE(doc_->DeleteChars(position, count, kind));
        model_.erase(static_cast<size_t>(position), static_cast<size_t>(count));
        ++edits_;
        ASSERT_NO_FATAL_FAILURE(CheckAfterEdit(false, position, gone, line, linesBefore));
        Snapshot();
    }

    int64_t ModelLineCount() const { return static_cast<int64_t>(modelStarts_.size()) - 1; }

    static int64_t LineIn(const Starts& starts, int64_t position) {
        // The last line whose start is at or before position (the sentinel is not a line).
        const auto it = std::upper_bound(starts.begin(), starts.end() - 1, position);
        return std::max<int64_t>(0, (it - starts.begin()) - 1);
    }

    void CheckAfterEdit(bool inserted, int64_t position, const std::string& text, int64_t line,
                        int64_t linesBefore) {
        ASSERT_EQ(watcher_.mods.size(), 1u);
        const test::Modification& m = watcher_.mods[0];
        EXPECT_EQ(m.inserted, inserted);
        EXPECT_EQ(m.position, position);
        EXPECT_EQ(m.text, text);
        EXPECT_EQ(m.line, line);
        EXPECT_EQ(m.flags, kModUser);
        modelStarts_ = ModelLineStarts(model_);
        EXPECT_EQ(m.linesAdded, ModelLineCount() - linesBefore);
        ASSERT_NO_FATAL_FAILURE(CheckState());
    }

    void CheckState() {
        ASSERT_TRUE(doc_.Text() == model_) << Hex(doc_.Text()) << "\n  expected\n" << Hex(model_);
        const Starts& starts = modelStarts_;
        ASSERT_EQ(DocLineStarts(*doc_), starts);
        ASSERT_EQ(doc_->LineCount(), static_cast<int64_t>(starts.size()) - 1);
        for (int i = 0; i < 12; ++i) {
            const int64_t p =
                std::uniform_int_distribution<int64_t>(-2, static_cast<int64_t>(model_.size()) + 2)(rng_);
            ASSERT_EQ(doc_->LineFromPosition(p), LineIn(starts, p)) << "position " << p;
        }
        for (int64_t line = 0; line < doc_->LineCount(); line += 1 + line / 4) {
            // The end of a line's text: its next start less the break before it.
            int64_t end = starts[static_cast<size_t>(line + 1)];
            if (line + 1 < doc_->LineCount()) {
                const auto byteBefore = [&](int64_t p) { return model_[static_cast<size_t>(p - 1)]; };
                if (byteBefore(end) == '\n') {
                    --end;
                    if (end > 0 && byteBefore(end) == '\r') --end;
                } else {
                    --end;  // a lone CR
                }
            }
            ASSERT_EQ(doc_->LineEnd(line), end) << "line " << line;
        }
        ASSERT_NO_FATAL_FAILURE(CheckIndicators());
    }

    void CheckIndicators() {
        const auto& ranges = doc_->IndicatorRanges(7);
        for (size_t i = 0; i < ranges.size(); ++i) {
            ASSERT_LT(ranges[i].start, ranges[i].end);
            ASSERT_GE(ranges[i].start, 0);
            ASSERT_LE(ranges[i].end, doc_->Length());
            if (i > 0) {
                ASSERT_LT(ranges[i - 1].end, ranges[i].start) << "ranges touch or overlap";
            }
        }
        ASSERT_EQ(mirror_.flags.size(), model_.size());
        std::vector<char> fromRanges(model_.size(), 0);
        for (const IndicatorRange& r : ranges)
            std::fill(fromRanges.begin() + r.start, fromRanges.begin() + r.end, 1);
        ASSERT_TRUE(fromRanges == mirror_.flags) << "indicator ranges differ from the mirrored flags";
        for (int i = 0; i < 8 && !model_.empty(); ++i) {
            const auto p = std::uniform_int_distribution<size_t>(0, model_.size() - 1)(rng_);
            ASSERT_EQ(doc_->IndicatorValueAt(7, static_cast<int64_t>(p)), mirror_.flags[p] ? 1 : 0)
                << "at " << p;
        }
    }

    void Snapshot() {
        const auto step = static_cast<size_t>(doc_->History().CurrentStep());
        snapshots_.resize(step + 1);
        snapshots_[step] = model_;
    }

    // Undo and redo are checked through their notifications too: every change is replayed on a copy
    // of the text, which must end up as the snapshot of the step reached.
    void UndoOnce() { ASSERT_NO_FATAL_FAILURE(Perform(true)); }
    void RedoOnce() { ASSERT_NO_FATAL_FAILURE(Perform(false)); }

    void Perform(bool undo) {
        watcher_.mods.clear();
        std::string replay = model_;
        if (undo) {
            ASSERT_TRUE(doc_->Undo());
        } else {
            ASSERT_TRUE(doc_->Redo());
        }
        for (const test::Modification& m : watcher_.mods) {
            const int64_t linesBefore = static_cast<int64_t>(ModelLineStarts(replay).size()) - 1;
            if (m.inserted) {
                replay.insert(static_cast<size_t>(m.position), m.text);
            } else {
                ASSERT_EQ(replay.substr(static_cast<size_t>(m.position), m.text.size()), m.text);
                replay.erase(static_cast<size_t>(m.position), m.text.size());
            }
            EXPECT_EQ(m.flags, undo ? kModUndo : kModRedo);
            EXPECT_EQ(m.linesAdded, static_cast<int64_t>(ModelLineStarts(replay).size()) - 1 - linesBefore);
            EXPECT_EQ(m.lineCountAfter, static_cast<int64_t>(ModelLineStarts(replay).size()) - 1);
        }
        model_ = replay;
        modelStarts_ = ModelLineStarts(model_);
        const auto step = static_cast<size_t>(doc_->History().CurrentStep());
        ASSERT_LT(step, snapshots_.size());
        ASSERT_TRUE(model_ == snapshots_[step])
            << (undo ? "undo" : "redo") << " to step " << step << ": " << Hex(model_) << "\n  expected\n"
            << Hex(snapshots_[step]);
        ASSERT_NO_FATAL_FAILURE(CheckState());
    }

    std::mt19937 rng_;
    DocHandle doc_;
    RecordingWatcher watcher_;
    IndicatorMirror mirror_;
    std::string model_;
    Starts modelStarts_{0, 0};  // line starts of model_
    int edits_ = 0;
    std::vector<std::string> snapshots_;  // the text after each step, by step number
};

bool LongTests() {
    const char* value = std::getenv("LUMENPAD_LONG_TESTS");
    return value && *value && std::string(value) != "0";
}

TEST(DocumentModel, RandomEditsUndoAndRedoMatchAString) {
    const int operations = LongTests() ? 20000 : 1000;
    const uint32_t seeds = LongTests() ? 40 : 3;
    for (uint32_t seed = 1; seed <= seeds; ++seed) {
        SCOPED_TRACE("seed " + std::to_string(seed));
        ModelTest test(seed * 7919);
        ASSERT_NO_FATAL_FAILURE(test.Run(operations));
    }
}

}  // namespace
}  // namespace quill
