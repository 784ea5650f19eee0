// The document: gap buffer, line index, UTF-8 stepping, indicators and the edit primitives'
// notifications. The randomized model test at the end drives all of it (undo and redo, undo collection
// switched off and on, indicator fills and clears) against a plain std::string and checks every line
// start, line end, notification and step stop after each edit; the cases before it pin what a model
// of the text cannot see (decoding, clamping, pointers, references).
#include "edit/document.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <random>

#include "edit/char_classes.h"
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

// ---- the empty document -------------------------------------------------------------------

TEST(DocumentLines, EmptyDocumentHasOneEmptyLine) {
    DocHandle doc;
    EXPECT_EQ(doc->LineCount(), 1);
    EXPECT_EQ(DocLineStarts(*doc), (Starts{0, 0}));
    EXPECT_EQ(doc->LineEnd(0), 0);
    for (int64_t p : {-5, 0, 1, 100})
        EXPECT_EQ(doc->LineFromPosition(p), 0) << p;
    EXPECT_STREQ(doc->CharacterPointer(), "");
    int width = 7;
    EXPECT_EQ(doc->CharacterAt(0, &width), 0u);
    EXPECT_EQ(width, 0);
    EXPECT_EQ(doc->CharacterBefore(0, &width), 0u);
    EXPECT_EQ(width, 0);
}

// ---- UTF-8 ------------------------------------------------------------------------------------------

TEST(DocumentUtf8, CharacterBeforeFallsBackToOneByte) {
    // "é" cut short after its lead byte, 'b', a euro sign and a stray continuation byte: a cut-off
    // lead, a position inside the euro sign and the stray byte each read as one byte of U+FFFD; past
    // the end is clamped.
    DocHandle doc(Bytes({'a', 0xC3, 'b', 0xE2, 0x82, 0xAC, 0x80}));
    const struct {
        int64_t at;
        char32_t c;
        int width;
    } cases[] = {{2, 0xFFFD, 1}, {3, 'b', 1},    {6, 0x20AC, 3},
                 {7, 0xFFFD, 1}, {5, 0xFFFD, 1}, {100, 0xFFFD, 1}};
    for (const auto& c : cases) {
        int width = 0;
        EXPECT_EQ(doc->CharacterBefore(c.at, &width), c.c) << c.at;
        EXPECT_EQ(width, c.width) << c.at;
    }
}

// The positions PositionAfter visits from the start; PositionBefore visits them backwards.
TEST(DocumentUtf8, StepStops) {
    const struct {
        const char* name;
        std::string text;
        Starts stops;
    } cases[] = {
        {"lone CR, CR LF and LF are one step each", "a\rb\r\nc\n\rd", {0, 1, 2, 3, 5, 6, 7, 8, 9}},
        {"combining marks stay with their base", "<e\xCC\x81\xCC\xA3>", {0, 1, 6, 7}},
        {"Hangul syllable with a trailing jamo", "한\xE1\x86\xA8", {0, 6}},
        {"emoji with a skin tone", "\xF0\x9F\x91\x8D\xF0\x9F\x8F\xBB", {0, 8}},
        {"variation selector, zero width joiner", "a\xEF\xB8\x8Fx\xE2\x80\x8D", {0, 4, 8}},
        {"a mark after CR LF stands alone",
         "a\r\n\xCC\x81"
         "b",
         {0, 1, 3, 5, 6}},
        {"a mark after a lone CR stands alone", "\r\xCC\x81", {0, 1, 3}},
        {"invalid bytes one at a time", Bytes({0xC3, '(', 0xE2, 0x82, 'z', 0x80}), {0, 1, 2, 3, 4, 5, 6}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        DocHandle doc(c.text);
        Starts forward{0}, backward{doc->Length()};
        while (forward.back() < doc->Length() && forward.size() < 20)
            forward.push_back(doc->PositionAfter(forward.back()));
        while (backward.front() > 0 && backward.size() < 20)
            backward.insert(backward.begin(), doc->PositionBefore(backward.front()));
        EXPECT_EQ(forward, c.stops);
        EXPECT_EQ(backward, c.stops);
        EXPECT_EQ(doc->PositionAfter(doc->Length() + 100), doc->Length());
        EXPECT_EQ(doc->PositionBefore(-4), 0);
    }
}

TEST(DocumentUtf8, MovePositionOutsideChar) {
    // a CR LF 한 (3-5) stray-continuation z: {position, direction, result}; the stray byte is its own
    // character, direction 0 goes back.
    DocHandle doc("a\r\n한" + Bytes({0x80}) + "z");
    const int64_t cases[][3] = {{2, -1, 1}, {2, 1, 3},  {4, -1, 3},  {5, 1, 6},  {5, 0, 3},
                                {6, -1, 6}, {3, -1, 3}, {-10, 1, 0}, {99, -1, 8}};
    for (const auto& c : cases)
        EXPECT_EQ(doc->MovePositionOutsideChar(c[0], static_cast<int>(c[1])), c[2]) << c[0] << " " << c[1];
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

// ---- indicators -------------------------------------------------------------------------------------

using Ranges = std::vector<std::pair<int64_t, int64_t>>;

Ranges RangesOf(const Document& doc, int indicator) {
    Ranges out;
    for (const IndicatorRange& r : doc.IndicatorRanges(indicator))
        out.emplace_back(r.start, r.end);
    return out;
}

// Merging, splitting and moving with edits are the model test's; these are the edges it does not reach.
TEST(DocumentIndicators, NumbersCountsAndClipping) {
    DocHandle doc(std::string(40, '.'));
    doc->IndicatorFillRange(3, 35, 100);  // clipped to the text
    doc->IndicatorFillRange(3, -5, 7);
    EXPECT_EQ(RangesOf(*doc, 3), (Ranges{{0, 2}, {35, 40}}));
    doc->IndicatorClearRange(3, -10, 11);
    doc->IndicatorClearRange(3, 39, 1000);
    EXPECT_EQ(RangesOf(*doc, 3), (Ranges{{1, 2}, {35, 39}}));
    doc->IndicatorFillRange(40, 0, 5);
    doc->IndicatorFillRange(-1, 0, 5);
    doc->IndicatorFillRange(5, 10, 0);
    doc->IndicatorFillRange(5, 10, -3);
    doc->IndicatorFillRange(5, 50, 5);
    doc->IndicatorClearRange(3, 1, 0);
    EXPECT_TRUE(doc->IndicatorRanges(5).empty());
    EXPECT_TRUE(doc->IndicatorRanges(40).empty());
    EXPECT_EQ(doc->IndicatorValueAt(40, 3), 0);
    EXPECT_EQ(RangesOf(*doc, 3), (Ranges{{1, 2}, {35, 39}}));
    // The bit mask covers indicators 0 to 31 only.
    doc->IndicatorFillRange(0, 2, 3);
    doc->IndicatorFillRange(31, 3, 3);
    doc->IndicatorFillRange(32, 0, 10);
    EXPECT_EQ(doc->IndicatorAllOnFor(2), 1u);
    EXPECT_EQ(doc->IndicatorAllOnFor(3), 0x80000001u);
    EXPECT_EQ(doc->IndicatorAllOnFor(5), 0x80000000u);
    EXPECT_EQ(doc->IndicatorAllOnFor(7), 0u);
}

// ---- the randomized model test ------------------------------------------------------------------------

// Indicator 7 mirrored as one flag per byte: set and cleared where the test fills and clears, and kept
// up to date from the change notifications alone (an insertion strictly inside a range widens it,
// everything else shifts with the text).
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

    // Edits with undo collection switched off now and then, a partial undo, an uncollected edit that
    // drops the redo steps too, more edits, a partial undo followed by edits that discard the redo
    // steps, then everything undone step by step and redone.
    void Run(int operations) {
        Snapshot();
        for (int i = 0; i < operations && !::testing::Test::HasFatalFailure(); ++i)
            RandomOperation(true);
        ASSERT_GT(drops_, 0);
        ASSERT_NO_FATAL_FAILURE(UndoSome(doc_->History().CurrentStep() / 3));
        ASSERT_NO_FATAL_FAILURE(UncollectedEdits());
        for (int i = 0; i < operations / 2 && !::testing::Test::HasFatalFailure(); ++i)
            RandomOperation(false);
        ASSERT_NO_FATAL_FAILURE(UndoSome(doc_->History().CurrentStep() / 3));
        for (int i = 0; i < operations / 4 && !::testing::Test::HasFatalFailure(); ++i)
            RandomOperation(false);
        ASSERT_EQ(doc_->History().StepCount(), doc_->History().CurrentStep());
        const int64_t steps = doc_->History().CurrentStep();
        ASSERT_NO_FATAL_FAILURE(UndoSome(steps));
        EXPECT_FALSE(doc_->CanUndo());
        EXPECT_EQ(doc_.Text(), snapshots_[0]);
        int64_t redone = 0;
        while (doc_->CanRedo()) {
            ASSERT_NO_FATAL_FAILURE(Perform(false));
            ++redone;
        }
        EXPECT_EQ(redone, steps);
        EXPECT_EQ(doc_.Text(), model_);
        // The run really edited: most operations are one or more edits, and many steps were made.
        EXPECT_GT(edits_, operations);
        EXPECT_GT(steps, operations / 8);
    }

private:
    std::string RandomPiece() {
        // clang-format off
        static const char* const pieces[] = {
            "a", "xyz", " ", "한", "글자", "\xF0\x9F\x98\x80", "\xF0\x9F\x91\x8D\xF0\x9F\x8F\xBB", "e\xCC\x81",
            "\xC3", "\x80", "\xFF", "\xE2\x82", "\r", "\n", "\r\n", "\n\r", "\r\r", "ab\r\ncd", "\r\n\r\n"};
        // clang-format on
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

    void RandomOperation(bool uncollected) {
        const bool shrink = model_.size() > 1200;
        const int kind = Pick(0, 9);
        if (uncollected && Pick(0, 40) == 0) {
            ASSERT_NO_FATAL_FAILURE(UncollectedEdits());
        } else if (kind <= 2 && !shrink) {
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
            const bool fill = Pick(0, 2) != 0;
            if (fill)
                doc_->IndicatorFillRange(7, p, n);
            else
                doc_->IndicatorClearRange(7, p, n);
            const int64_t end = std::min<int64_t>(p + n, static_cast<int64_t>(model_.size()));
            std::fill(mirror_.flags.begin() + p, mirror_.flags.begin() + end, fill ? 1 : 0);
            ASSERT_NO_FATAL_FAILURE(CheckIndicators());
        }
    }

    // A few edits with collection off: the history goes (redo steps included), the modified state stays.
    void UncollectedEdits() {
        const bool modified = doc_->IsModified();
        const int editsBefore = edits_;
        doc_->SetCollectUndo(false);
        for (int i = Pick(1, 3); i > 0; --i) {
            if (Pick(0, 1) && model_.size() < 1200)
                Insert(PickPosition(), RandomPiece(), kCoalesceTyping);
            else
                Delete(PickPosition(), Pick(1, 6), kCoalesceNone);
        }
        doc_->SetCollectUndo(true);
        if (edits_ == editsBefore) return;  // nothing changed (deletions at the end), so nothing goes
        ASSERT_FALSE(doc_->CanUndo());
        ASSERT_FALSE(doc_->CanRedo());
        ASSERT_EQ(doc_->IsModified(), modified);
        ++drops_;
    }

    void Insert(int64_t position, const std::string& text, uint32_t kind) {
        Edit(true, position, text, kind);
    }
    void Delete(int64_t position, int64_t count, uint32_t kind) {
        count = std::min<int64_t>(count, static_cast<int64_t>(model_.size()) - position);
        if (count > 0) Edit(false, position, model_.substr(static_cast<size_t>(position), count), kind);
    }
    void Edit(bool insert, int64_t position, const std::string& text, uint32_t kind) {
        const int64_t linesBefore = ModelLineCount();
        const int64_t line = LineIn(modelStarts_, position);
        watcher_.mods.clear();
        const auto n = static_cast<int64_t>(text.size());
        if (insert) {
            ASSERT_TRUE(doc_.Insert(position, text, kind));
            model_.insert(static_cast<size_t>(position), text);
        } else {
            ASSERT_TRUE(doc_->DeleteChars(position, n, kind));
            model_.erase(static_cast<size_t>(position), static_cast<size_t>(n));
        }
        ++edits_;
        ASSERT_NO_FATAL_FAILURE(CheckAfterEdit(insert, position, text, line, linesBefore));
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
            const auto next = static_cast<size_t>(starts[static_cast<size_t>(line + 1)]);
            const size_t breakLength = line + 1 == doc_->LineCount()                           ? 0
                                       : next >= 2 && model_.compare(next - 2, 2, "\r\n") == 0 ? 2
                                                                                               : 1;
            ASSERT_EQ(doc_->LineEnd(line), static_cast<int64_t>(next - breakLength)) << "line " << line;
        }
        const int64_t n = doc_->Length();
        ASSERT_EQ(doc_->LineStart(-1), 0);
        ASSERT_EQ(doc_->LineStart(doc_->LineCount() + 2), n);
        ASSERT_EQ(doc_->LineEnd(doc_->LineCount() + 2), n);
        for (int i = 0; i < 12; ++i) {
            const int64_t p = std::uniform_int_distribution<int64_t>(-1, n + 1)(rng_);
            const bool start = p > 0 && p <= n && std::binary_search(starts.begin(), starts.end() - 1, p);
            ASSERT_EQ(doc_->IsLineStartAfterBreak(p), start) << "position " << p;
        }
        // Characters are decoded across the gap as from contiguous bytes (the decoder itself is
        // char_classes_test.cpp's).
        for (int i = 0; i < 8; ++i) {
            const int64_t p = std::uniform_int_distribution<int64_t>(-1, n)(rng_);
            int width = -1, expectedWidth = 0;
            const char32_t expected =
                p < 0 || p >= n ? 0
                                : DecodeCharacter(reinterpret_cast<const unsigned char*>(model_.data()) + p,
                                                  std::min<int64_t>(4, n - p), &expectedWidth);
            ASSERT_EQ(doc_->CharacterAt(p, &width), expected) << "position " << p;
            ASSERT_EQ(width, expectedWidth) << "position " << p;
        }
        if (++checks_ % 4 == 0) {
            ASSERT_NO_FATAL_FAILURE(CheckSteps());
        }
        ASSERT_NO_FATAL_FAILURE(CheckIndicators());
    }

    // Stepping forward from the start and back from the end stops at the same positions, never inside
    // CR LF, and at every line start (a break is a step of its own and marks after it stand alone).
    void CheckSteps() {
        const int64_t n = doc_->Length();
        Starts forward{0}, backward{n};
        while (forward.back() < n) {
            forward.push_back(doc_->PositionAfter(forward.back()));
            ASSERT_GT(forward.back(), forward[forward.size() - 2]);
        }
        while (backward.back() > 0) {
            backward.push_back(doc_->PositionBefore(backward.back()));
            ASSERT_LT(backward.back(), backward[backward.size() - 2]);
        }
        std::reverse(backward.begin(), backward.end());
        ASSERT_EQ(forward, backward);
        for (int64_t p : forward) {
            ASSERT_FALSE(p > 0 && p < n && model_[static_cast<size_t>(p - 1)] == '\r' &&
                         model_[static_cast<size_t>(p)] == '\n')
                << "stop inside CR LF at " << p;
        }
        for (size_t line = 1; line + 1 < modelStarts_.size(); ++line)
            ASSERT_TRUE(std::binary_search(forward.begin(), forward.end(), modelStarts_[line]))
                << "line start " << modelStarts_[line] << " skipped";
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
    void UndoSome(int64_t count) {
        for (int64_t i = 0; i < count; ++i)
            ASSERT_NO_FATAL_FAILURE(Perform(true));
    }

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
    int drops_ = 0;
    int checks_ = 0;
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
