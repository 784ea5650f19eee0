// Undo and redo through the document: which edits merge into one step, host groups, the save point and
// its notifications, the selection handed back, read-only, and edits made with collection off. Each
// case is a script run on a fresh document; that undo and redo restore the text exactly, whatever the
// edits, is the randomized model test's job (document_test.cpp).
#include "edit/undo_history.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "edit/document.h"
#include "edit/document_support.h"

namespace quill {
namespace {

using test::DocHandle;
using test::RecordingWatcher;

// A document whose one watcher stands in for the view: typing moves its caret, undo and redo set its
// selection the way a view does.
struct State {
    DocHandle doc;
    RecordingWatcher view;
};
using Op = std::function<void(State&)>;

// Types text one character at a time at the caret, with the typing kind.
Op Type(std::string text) {
    return [=](State& s) {
        for (size_t at = 0; at < text.size();) {
            size_t n = 1;
            while (at + n < text.size() && (static_cast<unsigned char>(text[at + n]) & 0xC0) == 0x80)
                ++n;
            ASSERT_TRUE(
                s.doc->InsertString(s.view.caret, &text[at], static_cast<int64_t>(n), kCoalesceTyping));
            s.view.anchor = s.view.caret += static_cast<int64_t>(n);
            at += n;
        }
    };
}
Op Back(int times) {
    return [=](State& s) {
        for (int k = 0; k < times; ++k) {
            const int64_t start = s.doc->PositionBefore(s.view.caret);
            ASSERT_TRUE(s.doc->DeleteChars(start, s.view.caret - start, kCoalesceBackspace));
            s.view.anchor = s.view.caret = start;
        }
    };
}
// One-line operations and checks.
const auto Ins = [](int64_t at, std::string text, uint32_t kind = kCoalesceNone) -> Op {
    return [=](State& s) { ASSERT_TRUE(s.doc.Insert(at, text, kind)); };
};
const auto Del = [](int64_t at, int64_t count, uint32_t kind = kCoalesceNone) -> Op {
    return [=](State& s) { ASSERT_TRUE(s.doc->DeleteChars(at, count, kind)); };
};
const auto Sel = [](int64_t a, int64_t c) -> Op {
    return [=](State& s) { s.view.anchor = a, s.view.caret = c; };
};
const auto Collect = [](bool on) -> Op { return [=](State& s) { s.doc->SetCollectUndo(on); }; };
const auto ReadOnly = [](bool on) -> Op { return [=](State& s) { s.doc->SetReadOnly(on); }; };
const auto Undo = [](bool done = true) -> Op {
    return [=](State& s) { ASSERT_EQ(s.doc->Undo(&s.view.anchor, &s.view.caret), done); };
};
Op Redo(bool done = true) {
    return [=](State& s) {
        ASSERT_EQ(s.doc->Redo(&s.view.caret), done);
        if (done) s.view.anchor = s.view.caret;
    };
}
const Op kBegin = [](State& s) { s.doc->BeginGroup(); };
const Op kEnd = [](State& s) { s.doc->EndGroup(); };
const Op kSeal = [](State& s) { s.doc->SealLastStep(); };
const Op kSave = [](State& s) { s.doc->SetSavePoint(); };
const Op kEmpty = [](State& s) { s.doc->EmptyHistory(); };
const auto Text = [](std::string text) -> Op { return [=](State& s) { EXPECT_EQ(s.doc.Text(), text); }; };
const auto Steps = [](int64_t n) -> Op {
    return [=](State& s) { EXPECT_EQ(s.doc->History().StepCount(), n); };
};
const auto Modified = [](bool on) -> Op { return [=](State& s) { EXPECT_EQ(s.doc->IsModified(), on); }; };
const auto Selection = [](int64_t anchor, int64_t caret) -> Op {
    return [=](State& s) {
        EXPECT_EQ(std::make_pair(s.view.anchor, s.view.caret), std::make_pair(anchor, caret));
    };
};
// The save-point notifications so far: S reached, M left.
Op Notes(std::string notes) {
    return [=](State& s) {
        std::string told;
        for (bool reached : s.view.savePoints)
            told += reached ? 'S' : 'M';
        EXPECT_EQ(told, notes);
    };
}

void RunScript(const std::vector<Op>& script) {
    State state;
    state.doc->AddWatcher(&state.view);
    for (size_t i = 0; i < script.size() && !::testing::Test::HasFatalFailure(); ++i) {
        SCOPED_TRACE("operation " + std::to_string(i));
        script[i](state);
    }
    state.doc->RemoveWatcher(&state.view);
}

struct Case {
    const char* name;
    std::vector<Op> script;
};

TEST(Undo, Scripts) {
    const uint32_t typing = kCoalesceTyping, back = kCoalesceBackspace, forward = kCoalesceForwardDelete;
    const Case cases[] = {
        {"a word and the spaces after it undo together",
         {Type("hello world"), Steps(2), Undo(), Text("hello "), Undo(), Text(""), Undo(false)}},
        {"whitespace keeps merging, a word after it starts a step, non-ASCII continues the word",
         {Type("ab  "), Type("\t\n"), Steps(1), Type("c"), Type("한글"), Steps(2), Type("\r\nx"), Steps(3),
          Undo(), Text("ab  \t\nc한글\r\n")}},
        {"typing elsewhere starts a step; typing on after it merges again",
         {Type("abc"), Sel(1, 1), Type("X"), Steps(2), Type("Y"), Steps(2), Undo(), Text("abc")}},
        {"a backspace run over multi-byte characters is one step and gives the selection back",
         {Type("abc가나다"), kSeal, Back(4), Text("ab"), Steps(2), Undo(), Text("abc가나다"),
          Selection(12, 12)}},
        {"forward deletes at one position merge; elsewhere they do not",
         {Ins(0, "0123456789"), Del(3, 1, forward), Del(3, 1, forward), Del(3, 2, forward), Text("012789"),
          Steps(2), Del(1, 1, forward), Steps(3), Undo(), Undo(), Text("0123456789")}},
        {"kinds never merge across each other, and kind 0 never merges",
         {Type("abc"), Back(1), Steps(2), Type("x"), Steps(3), Ins(3, "y"), Ins(4, "z"), Steps(5)}},
        {"typing over a selection is one step with the deletion",
         {Ins(0, "one two three"), Sel(4, 7), Del(4, 3, typing), Sel(4, 4), Type("2!"), Text("one 2! three"),
          Steps(2), Undo(), Text("one two three"), Selection(4, 7)}},
        {"nested host groups are one sealed step, whatever the kinds inside",
         {Type("ab "), kBegin, Ins(0, "[", typing), kBegin, Del(1, 1, back), kEnd, Ins(1, "B", typing), kEnd,
          Text("[Bb "), Steps(2), Ins(4, "x", typing), Steps(3), Undo(), Undo(), Text("ab "), Redo(),
          Selection(2, 2)}},
        {"unbalanced group ends leave merging as it was", {kEnd, kEnd, Type("ab"), Steps(1)}},
        {"an empty group makes no step and seals nothing",
         {kBegin, kEnd, Steps(0), Type("a"), kBegin, kEnd, Type("b"), Steps(1)}},
        {"the selection and redo targets handed back are clamped to the text",
         {Sel(50, 60), Ins(0, "abcdef"), Del(1, 2), Undo(), Selection(6, 6), Undo(), Selection(0, 0), Redo(),
          Selection(6, 6), Redo(), Selection(1, 1), Redo(false)}},
        {"the save point: left once per run, refused for merging, reached again by undo and redo",
         {Type("abc"), Modified(true), Notes("M"), kSave, Modified(false), Type("def"), Steps(2), Undo(),
          Text("abc"), Modified(false), Undo(), Modified(true), Redo(), Modified(false), Notes("MSMSMS")}},
        {"setting the save point notifies even without a change", {kSave, kSave, Notes("SS")}},
        {"editing after undoing past the save point makes it unreachable",
         {Type("abc "), kSave, Type("def"), Undo(), Undo(), Modified(true), Type("x"), Redo(false),
          Modified(true), Undo(), Text(""), Modified(true), kSave, Modified(false)}},
        {"editing after an undo keeps a save point before it",
         {Type("abc "), kSave, Type("def "), Type("ghi"), Undo(), Type("X"), Undo(), Undo(), Text("abc "),
          Modified(false)}},
        {"typing never merges into an undone or redone step",
         {Type("abc"), Redo(false), Undo(), Redo(), Type("d"), Steps(2), Undo(), Text("abc")}},
        {"emptying the history leaves an unmodified document without a notification",
         {Type("abc"), Undo(), Type("x"), kEmpty, Steps(0), Modified(false), Undo(false), Redo(false),
          Notes("MSM"), Text("x")}},
        {"read-only refuses undo and redo until it is lifted",
         {Type("abc "), Type("def"), Undo(), ReadOnly(true), Undo(false), Redo(false), Text("abc "),
          ReadOnly(false), Redo(), Text("abc def")}},
        {"with collection off nothing is recorded and nothing notified",
         {Collect(false), Type("abc"), Del(0, 1), Steps(0), Modified(false), Notes(""), Collect(true),
          Type("d"), Steps(1)}},
        // Undo used to replay this history against the emptied text, leaving a length of -6, and the next
        // insertion wrote outside the buffer.
        {"an uncollected edit drops the history and keeps the document modified",
         {Ins(0, "abcdef"), Collect(false), Del(0, 6), Collect(true), Undo(false), Text(""), Modified(true),
          Ins(0, "xyz"), Undo(), Text(""), Modified(true), Notes("M")}},
        {"an uncollected edit at the save point, and after an undo, keeps it unmodified and drops redo",
         {Type("abc "), Type("def"), Undo(), kSave, Collect(false), Ins(0, ">"), Collect(true),
          Modified(false), Redo(false), Undo(false), Steps(0), Text(">abc ")}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        RunScript(c.script);
    }
}

// Edits a watcher makes while an undo is carried out are not recorded, so the history no longer matches
// the text: the rest of the step is clamped to the text and its notifications name the bytes that
// really went.
class EditingWatcher : public RecordingWatcher {
public:
    void NotifyModified(Document* document, bool inserted, int64_t position, int64_t length, int64_t line,
                        int64_t linesAdded, uint32_t flags, const char* text) override {
        RecordingWatcher::NotifyModified(document, inserted, position, length, line, linesAdded, flags, text);
        if (flags == kModUndo && armed) {
            armed = false;
            document->DeleteChars(0, document->Length());
            document->InsertString(0, "XYZDEF", 6);
        }
    }
    bool armed = false;
};

TEST(Undo, EditsDuringUndoAreNotRecordedAndTheRestStaysInTheText) {
    DocHandle doc;
    EditingWatcher watcher;
    doc->AddWatcher(&watcher);
    doc->BeginGroup();
    doc.Insert(0, "abc");
    doc.Insert(3, "def");
    doc->EndGroup();
    watcher.armed = true;
    watcher.mods.clear();
    ASSERT_TRUE(doc->Undo());  // takes "def"; the watcher replaces the rest; the step's "abc" meets "XYZ"
    EXPECT_EQ(doc.Text(), "DEF");
    std::string replay = "abcdef";
    for (const test::Modification& m : watcher.mods) {
        if (m.inserted) {
            replay.insert(static_cast<size_t>(m.position), m.text);
        } else {
            EXPECT_EQ(replay.substr(static_cast<size_t>(m.position), m.text.size()), m.text);
            replay.erase(static_cast<size_t>(m.position), m.text.size());
        }
    }
    EXPECT_EQ(replay, "DEF");
    EXPECT_EQ(doc->History().StepCount(), 1);
    ASSERT_TRUE(doc->Redo());
    EXPECT_EQ(doc.Text(), "abcdefDEF");
    doc->RemoveWatcher(&watcher);
}

}  // namespace
}  // namespace quill
