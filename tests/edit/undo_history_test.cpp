// Undo and redo through the document: which edits merge into one step, host groups, the save point
// and its notifications, and the selection handed back to the view.
#include "edit/undo_history.h"

#include <gtest/gtest.h>

#include <string>

#include "edit/document.h"
#include "edit/document_support.h"

namespace quill {
namespace {

using test::DocHandle;
using test::RecordingWatcher;

// A document with a watcher standing in for the view: its selection follows the edits the way a
// caret does when typing.
class UndoTest : public ::testing::Test {
protected:
    UndoTest() { doc->AddWatcher(&view); }
    ~UndoTest() override { doc->RemoveWatcher(&view); }

    // Types text one character (UTF-8 sequence) at a time at the caret, with the typing kind.
    void Type(const std::string& text) {
        for (size_t i = 0; i < text.size();) {
            size_t n = 1;
            while (i + n < text.size() && (static_cast<unsigned char>(text[i + n]) & 0xC0) == 0x80)
                ++n;
            ASSERT_TRUE(
                doc->InsertString(view.caret, text.data() + i, static_cast<int64_t>(n), kCoalesceTyping));
            view.caret += static_cast<int64_t>(n);
            view.anchor = view.caret;
            i += n;
        }
    }
    void Backspace(int times) {
        for (int i = 0; i < times; ++i) {
            const int64_t start = doc->PositionBefore(view.caret);
            ASSERT_TRUE(doc->DeleteChars(start, view.caret - start, kCoalesceBackspace));
            view.anchor = view.caret = start;
        }
    }
    void Select(int64_t anchor, int64_t caret) {
        view.anchor = anchor;
        view.caret = caret;
    }
    int64_t Steps() const { return doc->History().StepCount(); }

    DocHandle doc;
    RecordingWatcher view;
};

TEST_F(UndoTest, TypingBreaksIntoWordsWithTheirTrailingSpaces) {
    Type("hello world");
    EXPECT_EQ(Steps(), 2);
    ASSERT_TRUE(doc->Undo());
    EXPECT_EQ(doc.Text(), "hello ");
    ASSERT_TRUE(doc->Undo());
    EXPECT_EQ(doc.Text(), "");
    EXPECT_FALSE(doc->CanUndo());
    EXPECT_FALSE(doc->Undo());
}

TEST_F(UndoTest, WhitespaceRuleForTypingRuns) {
    Type("ab  ");
    EXPECT_EQ(Steps(), 1);
    Type("\t\n");  // more whitespace keeps merging
    EXPECT_EQ(Steps(), 1);
    Type("c");  // a word after whitespace starts a step
    EXPECT_EQ(Steps(), 2);
    Type("한글");  // non-ASCII continues the word
    EXPECT_EQ(Steps(), 2);
    Type("\r\nx");
    EXPECT_EQ(Steps(), 3);
    ASSERT_TRUE(doc->Undo());
    EXPECT_EQ(doc.Text(), "ab  \t\nc한글\r\n");
}

TEST_F(UndoTest, TypingElsewhereStartsAStep) {
    Type("abc");
    view.caret = view.anchor = 1;
    Type("X");
    EXPECT_EQ(Steps(), 2);
    EXPECT_EQ(doc.Text(), "aXbc");
    // Typing on right after the earlier insertion merges again.
    Type("Y");
    EXPECT_EQ(Steps(), 2);
    ASSERT_TRUE(doc->Undo());
    EXPECT_EQ(doc.Text(), "abc");
}

TEST_F(UndoTest, BackspaceRunIsOneStepAndRestoresTheSelection) {
    Type("abcdefgh");
    doc->SealLastStep();
    view.selectionQueries = 0;
    Backspace(5);
    EXPECT_EQ(doc.Text(), "abc");
    EXPECT_EQ(Steps(), 2);
    EXPECT_EQ(view.selectionQueries, 1);  // asked once, when the step opened
    int64_t anchor = -1, caret = -1;
    ASSERT_TRUE(doc->Undo(&anchor, &caret));
    EXPECT_EQ(doc.Text(), "abcdefgh");
    EXPECT_EQ(anchor, 8);
    EXPECT_EQ(caret, 8);
    // The step holds one deletion of all five bytes at the final position.
    const UndoStep& step = doc->History().Steps()[1];
    ASSERT_EQ(step.actions.size(), 1u);
    EXPECT_EQ(step.actions[0].position, 3);
    EXPECT_EQ(step.actions[0].text, "defgh");
    EXPECT_EQ(step.coalesceKind, kCoalesceBackspace);
}

TEST_F(UndoTest, BackspaceOverMultiByteCharacters) {
    Type("가나다");
    doc->SealLastStep();
    Backspace(2);
    EXPECT_EQ(doc.Text(), "가");
    ASSERT_TRUE(doc->Undo());
    EXPECT_EQ(doc.Text(), "가나다");
}

TEST_F(UndoTest, ForwardDeleteRunMergesAtOnePosition) {
    doc.Insert(0, "0123456789");
    doc->DeleteChars(3, 1, kCoalesceForwardDelete);
    doc->DeleteChars(3, 1, kCoalesceForwardDelete);
    doc->DeleteChars(3, 2, kCoalesceForwardDelete);
    EXPECT_EQ(doc.Text(), "012789");
    EXPECT_EQ(Steps(), 2);
    doc->DeleteChars(1, 1, kCoalesceForwardDelete);  // elsewhere: a new step
    EXPECT_EQ(Steps(), 3);
    ASSERT_TRUE(doc->Undo());
    ASSERT_TRUE(doc->Undo());
    EXPECT_EQ(doc.Text(), "0123456789");
}

TEST_F(UndoTest, KindsDoNotMergeAcrossEachOther) {
    Type("abc");
    Backspace(1);  // backspace after typing: a new step
    EXPECT_EQ(Steps(), 2);
    Type("x");  // typing after a backspace: a new step
    EXPECT_EQ(Steps(), 3);
    doc.Insert(view.caret, "y", kCoalesceNone);
    doc.Insert(view.caret + 1, "z", kCoalesceNone);  // kind 0 never merges
    EXPECT_EQ(Steps(), 5);
}

TEST_F(UndoTest, TypingOverASelectionIsOneStep) {
    doc.Insert(0, "one two three");
    Select(4, 7);  // "two"
    ASSERT_TRUE(doc->DeleteChars(4, 3, kCoalesceTyping));
    Select(4, 4);
    Type("2!");
    EXPECT_EQ(doc.Text(), "one 2! three");
    EXPECT_EQ(Steps(), 2);
    int64_t anchor = -1, caret = -1;
    ASSERT_TRUE(doc->Undo(&anchor, &caret));
    EXPECT_EQ(doc.Text(), "one two three");
    EXPECT_EQ(anchor, 4);
    EXPECT_EQ(caret, 7);
}

TEST_F(UndoTest, HostGroupsAreOneStepEvenWhenNested) {
    Type("start ");
    doc->BeginGroup();
    doc.Insert(0, "[", kCoalesceTyping);
    doc->BeginGroup();
    doc->DeleteChars(1, 1, kCoalesceBackspace);
    doc.Insert(doc->Length(), "]", kCoalesceTyping);
    doc->EndGroup();
    doc.Insert(1, "S", kCoalesceTyping);
    doc->EndGroup();
    EXPECT_EQ(doc.Text(), "[Start ]");
    EXPECT_EQ(Steps(), 2);
    EXPECT_EQ(doc->History().Steps()[1].actions.size(), 4u);
    // The group's step is sealed: typing right after it starts a step of its own.
    doc.Insert(doc->Length(), "x", kCoalesceTyping);
    EXPECT_EQ(Steps(), 3);
    ASSERT_TRUE(doc->Undo());
    ASSERT_TRUE(doc->Undo());
    EXPECT_EQ(doc.Text(), "start ");
    int64_t target = -1;
    ASSERT_TRUE(doc->Redo(&target));
    EXPECT_EQ(doc.Text(), "[Start ]");
    EXPECT_EQ(target, 2);  // after the last action, the insertion of "S"
    // Unbalanced ends are harmless.
    doc->EndGroup();
    doc->EndGroup();
    EXPECT_EQ(doc->History().GroupDepth(), 0);
}

TEST_F(UndoTest, EmptyGroupMakesNoStep) {
    doc->BeginGroup();
    doc->EndGroup();
    EXPECT_EQ(Steps(), 0);
    Type("a");
    doc->BeginGroup();
    doc->EndGroup();
    Type("b");  // an empty group seals nothing
    EXPECT_EQ(Steps(), 1);
}

TEST_F(UndoTest, RedoTargetsAndUndoSelectionAreClamped) {
    view.anchor = 50;
    view.caret = 60;  // a selection beyond the text, as a view might report mid-change
    doc.Insert(0, "abcdef");
    doc->DeleteChars(1, 2);
    int64_t anchor = -1, caret = -1;
    ASSERT_TRUE(doc->Undo(&anchor, &caret));
    EXPECT_EQ(anchor, 6);
    EXPECT_EQ(caret, 6);
    ASSERT_TRUE(doc->Undo(&anchor, &caret));
    EXPECT_EQ(anchor, 0);
    int64_t target = -1;
    ASSERT_TRUE(doc->Redo(&target));
    EXPECT_EQ(target, 6);
    ASSERT_TRUE(doc->Redo(&target));
    EXPECT_EQ(target, 1);
    EXPECT_FALSE(doc->Redo(&target));
}

TEST_F(UndoTest, SavePointAndModifiedState) {
    EXPECT_FALSE(doc->IsModified());
    Type("abc");
    EXPECT_TRUE(doc->IsModified());
    EXPECT_EQ(view.savePoints, std::vector<bool>{false});  // left once, not per keystroke
    doc->SetSavePoint();
    EXPECT_FALSE(doc->IsModified());
    Type("def");  // no merging into the saved step
    EXPECT_EQ(Steps(), 2);
    ASSERT_TRUE(doc->Undo());
    EXPECT_EQ(doc.Text(), "abc");
    EXPECT_FALSE(doc->IsModified());
    ASSERT_TRUE(doc->Undo());
    EXPECT_TRUE(doc->IsModified());
    ASSERT_TRUE(doc->Redo());
    EXPECT_FALSE(doc->IsModified());
    EXPECT_EQ(view.savePoints, (std::vector<bool>{false, true, false, true, false, true}));
}

TEST_F(UndoTest, SetSavePointNotifiesEvenWithoutChange) {
    doc->SetSavePoint();
    doc->SetSavePoint();
    EXPECT_EQ(view.savePoints, (std::vector<bool>{true, true}));
}

TEST_F(UndoTest, EditingAfterUndoingPastTheSavePointLosesIt) {
    Type("abc ");
    doc->SetSavePoint();
    Type("def");
    ASSERT_TRUE(doc->Undo());
    ASSERT_TRUE(doc->Undo());
    EXPECT_TRUE(doc->IsModified());
    view.caret = view.anchor = 0;
    Type("x");  // the redo steps, and the save point among them, are gone
    EXPECT_FALSE(doc->CanRedo());
    EXPECT_EQ(doc->History().SavePoint(), -1);
    EXPECT_TRUE(doc->IsModified());
    ASSERT_TRUE(doc->Undo());
    EXPECT_EQ(doc.Text(), "");
    EXPECT_TRUE(doc->IsModified());  // even the empty text is not the saved one
    doc->SetSavePoint();
    EXPECT_FALSE(doc->IsModified());
}

TEST_F(UndoTest, EditingAfterUndoKeepsASavePointBeforeIt) {
    Type("abc ");
    doc->SetSavePoint();
    Type("def ");
    Type("ghi");
    ASSERT_TRUE(doc->Undo());
    Type("X");
    EXPECT_EQ(doc->History().SavePoint(), 1);
    ASSERT_TRUE(doc->Undo());
    ASSERT_TRUE(doc->Undo());
    EXPECT_EQ(doc.Text(), "abc ");
    EXPECT_FALSE(doc->IsModified());
}

TEST_F(UndoTest, TypingAfterUndoNeverMergesIntoTheUndoneOrRedoneStep) {
    Type("abc");
    ASSERT_TRUE(doc->Redo() == false);
    ASSERT_TRUE(doc->Undo());
    ASSERT_TRUE(doc->Redo());
    Type("d");  // at the end of the redone insertion, but the step is sealed
    EXPECT_EQ(Steps(), 2);
    ASSERT_TRUE(doc->Undo());
    EXPECT_EQ(doc.Text(), "abc");
}

TEST_F(UndoTest, EmptyHistoryClearsWithoutNotifying) {
    Type("abc");
    ASSERT_TRUE(doc->Undo());
    Type("x");
    view.savePoints.clear();
    doc->EmptyHistory();
    EXPECT_EQ(doc->History().CurrentStep(), 0);
    EXPECT_EQ(doc->History().SavePoint(), 0);
    EXPECT_EQ(Steps(), 0);
    EXPECT_FALSE(doc->IsModified());
    EXPECT_FALSE(doc->CanUndo());
    EXPECT_FALSE(doc->CanRedo());
    EXPECT_TRUE(view.savePoints.empty());
    EXPECT_EQ(doc.Text(), "x");
}

TEST_F(UndoTest, ReadOnlyRefusesUndoAndRedo) {
    Type("abc ");
    Type("def");
    ASSERT_TRUE(doc->Undo());
    doc->SetReadOnly(true);
    EXPECT_FALSE(doc->CanUndo());
    EXPECT_FALSE(doc->CanRedo());
    EXPECT_FALSE(doc->Undo());
    EXPECT_FALSE(doc->Redo());
    EXPECT_EQ(doc.Text(), "abc ");
    doc->SetReadOnly(false);
    EXPECT_TRUE(doc->CanUndo());
    EXPECT_TRUE(doc->CanRedo());
}

TEST_F(UndoTest, NothingIsRecordedWhileCollectionIsOff) {
    doc->SetCollectUndo(false);
    EXPECT_FALSE(doc->GetCollectUndo());
    Type("abc");
    doc->DeleteChars(0, 1);
    EXPECT_EQ(Steps(), 0);
    EXPECT_FALSE(doc->IsModified());
    EXPECT_TRUE(view.savePoints.empty());
    doc->SetCollectUndo(true);
    Type("d");
    EXPECT_EQ(Steps(), 1);
}

TEST_F(UndoTest, UndoAndRedoNotifyWithTheirFlags) {
    Type("ab");
    doc->DeleteChars(0, 1);
    view.mods.clear();
    ASSERT_TRUE(doc->Undo());
    ASSERT_EQ(view.mods.size(), 1u);
    EXPECT_TRUE(view.mods[0].inserted);
    EXPECT_EQ(view.mods[0].text, "a");
    EXPECT_EQ(view.mods[0].flags, kModUndo);
    EXPECT_EQ(doc->Performing(), 0u);
    ASSERT_TRUE(doc->Redo());
    ASSERT_EQ(view.mods.size(), 2u);
    EXPECT_FALSE(view.mods[1].inserted);
    EXPECT_EQ(view.mods[1].flags, kModRedo);
    // Undo and redo record nothing themselves.
    EXPECT_EQ(Steps(), 2);
}

// A watcher that edits while it is told of an undo: the edit happens but is not recorded.
class EditingWatcher : public RecordingWatcher {
public:
    void NotifyModified(Document* document, bool inserted, int64_t position, int64_t length, int64_t line,
                        int64_t linesAdded, uint32_t flags, const char* text) override {
        RecordingWatcher::NotifyModified(document, inserted, position, length, line, linesAdded, flags, text);
        if (flags == kModUndo && document->Performing() == kModUndo && !busy) {
            busy = true;
            document->InsertString(document->Length(), "!", 1);
            busy = false;
        }
    }
    bool busy = false;
};

TEST(UndoPerforming, EditsDuringUndoAreNotRecorded) {
    DocHandle doc;
    EditingWatcher watcher;
    doc->AddWatcher(&watcher);
    doc.Insert(0, "abc");
    ASSERT_TRUE(doc->Undo());
    EXPECT_EQ(doc.Text(), "!");
    EXPECT_EQ(doc->History().StepCount(), 1);
    EXPECT_TRUE(doc->CanRedo());
    doc->RemoveWatcher(&watcher);
}

}  // namespace
}  // namespace quill
