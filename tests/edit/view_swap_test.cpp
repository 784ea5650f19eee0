// One control, several documents swapped in and out through the document messages the way the
// tabbed shell does it, against a plain model: text, selection, undo and redo (including edits made
// to documents no view shows), and the wrap index a document keeps while it is not shown.
#include <gtest/gtest.h>

#include <random>

#include "edit/control_support.h"

namespace quill {
namespace {

using test::Control;

struct Selection {
    int64_t anchor = 0;
    int64_t caret = 0;
    bool operator==(const Selection&) const = default;
};

// What the model knows of one document and what the shell keeps for its tab.
struct ModelDoc {
    Document* doc = nullptr;
    std::string text;
    struct Step {
        std::string before, after;
        Selection selection;  // the selection undo restores
        int64_t redoAt;       // where redo leaves an empty selection
    };
    std::vector<Step> undo, redo;
    Selection kept;  // the selection the document knows while no view shows it
    Selection tab;   // saved by the shell when the tab was left
    int64_t tabTop = 0;
    int32_t tabX = 0;
};

int64_t Follow(int64_t p, bool inserted, int64_t at, int64_t n) {
    if (inserted) return p > at ? p + n : p;
    return p > at + n ? p - n : (p > at ? at : p);
}
Selection Follow(Selection s, bool inserted, int64_t at, int64_t n) {
    return {Follow(s.anchor, inserted, at, n), Follow(s.caret, inserted, at, n)};
}

std::string RandomText(std::mt19937& rng) {
    static const char* const kPieces[] = {"a", "bc ", "word ", "\n", "longer words here ", "x", "  "};
    std::string out;
    const int n = static_cast<int>(rng() % 12);
    for (int i = 0; i < n; ++i)
        out += kPieces[rng() % std::size(kPieces)];
    return out.empty() ? "z" : out;
}

// Display rows of every line of `text` in a fresh control of the same size and wrap mode.
std::vector<int64_t> FreshRows(const std::string& text, int32_t width, int wrap) {
    Control fresh(width, 200);
    fresh.Send(SCI_SETWRAPMODE, static_cast<uintptr_t>(wrap));
    fresh.SetText(text);
    fresh.view->FinishWrapping();
    std::vector<int64_t> rows;
    for (int64_t line = 0; line <= fresh.Send(SCI_GETLINECOUNT); ++line)
        rows.push_back(fresh.Send(SCI_VISIBLEFROMDOCLINE, static_cast<uintptr_t>(line)));
    return rows;
}

TEST(DocumentSwap, RandomEditsUndoAndSwapsMatchAPlainModel) {
    for (uint32_t seed = 1; seed <= 6; ++seed) {
        SCOPED_TRACE(seed);
        std::mt19937 rng(seed);
        int32_t width = 160;
        Control c(width, 200);
        int wrap = static_cast<int>(seed % 2);
        c.Send(SCI_SETWRAPMODE, static_cast<uintptr_t>(wrap));
        std::vector<ModelDoc> docs(3);
        docs[0].doc = reinterpret_cast<Document*>(c.Send(SCI_GETDOCPOINTER));
        docs[0].doc->AddRef();  // the shell's reference
        for (size_t i = 1; i < docs.size(); ++i)
            docs[i].doc = reinterpret_cast<Document*>(c.Send(SCI_CREATEDOCUMENT, 100));
        size_t shown = 0;
        auto selection = [&] { return Selection{c.Anchor(), c.Caret()}; };
        auto record = [&](ModelDoc& m, const std::string& before, Selection sel, int64_t redoAt) {
            m.undo.push_back({before, m.text, sel, redoAt});
            m.redo.clear();
        };

        for (int step = 0; step < 400; ++step) {
            ModelDoc& m = docs[shown];
            const int64_t length = static_cast<int64_t>(m.text.size());
            const int op = static_cast<int>(rng() % 11);
            if (op == 0) {  // the shell switches tabs
                m.tab = selection();
                m.tabTop = c.Send(SCI_GETFIRSTVISIBLELINE);
                m.tabX = static_cast<int32_t>(c.Send(SCI_GETXOFFSET));
                m.kept = m.tab;
                shown = (shown + 1 + rng() % (docs.size() - 1)) % docs.size();
                ModelDoc& n = docs[shown];
                c.Send(SCI_SETDOCPOINTER, 0, reinterpret_cast<intptr_t>(n.doc));
                ASSERT_EQ(c.Text(), n.text);
                ASSERT_EQ(selection(), Selection{});
                ASSERT_EQ(c.Send(SCI_GETFIRSTVISIBLELINE), 0);
                ASSERT_EQ(c.Send(SCI_GETXOFFSET), 0);
                // The wrap index the document kept (or got anew) settles on what a fresh control has.
                c.view->FinishWrapping();
                const std::vector<int64_t> rows = FreshRows(n.text, width, wrap);
                for (size_t line = 0; line < rows.size(); ++line)
                    ASSERT_EQ(c.Send(SCI_VISIBLEFROMDOCLINE, line), rows[line]) << "line " << line;
                const int64_t len = static_cast<int64_t>(n.text.size());
                c.Send(SCI_SETSEL, static_cast<uintptr_t>(std::min(n.tab.anchor, len)),
                       std::min(n.tab.caret, len));
                c.Send(SCI_SETFIRSTVISIBLELINE, static_cast<uintptr_t>(n.tabTop));
                c.Send(SCI_SETXOFFSET, static_cast<uintptr_t>(n.tabX));
                const int64_t page = c.Send(SCI_LINESONSCREEN);
                ASSERT_EQ(c.Send(SCI_GETFIRSTVISIBLELINE),
                          std::clamp<int64_t>(n.tabTop, 0, std::max<int64_t>(0, rows.back() - page)));
                ASSERT_EQ(c.Send(SCI_GETXOFFSET), wrap ? 0 : n.tabX);
                ASSERT_EQ(selection(), (Selection{std::min(n.tab.anchor, len), std::min(n.tab.caret, len)}));
            } else if (op == 1) {  // an edit to a document no view shows, straight through its pointer
                ModelDoc& other = docs[(shown + 1 + rng() % (docs.size() - 1)) % docs.size()];
                const int64_t olen = static_cast<int64_t>(other.text.size());
                const int64_t at = static_cast<int64_t>(rng() % (olen + 1));
                const std::string before = other.text;
                const bool insert = rng() % 2 || olen == 0;
                const std::string t = insert ? RandomText(rng) : "";
                const int64_t n =
                    insert ? static_cast<int64_t>(t.size()) : std::min<int64_t>(olen - at, 1 + rng() % 20);
                if (n < 1) continue;
                if (insert) {
                    other.doc->InsertString(at, t.data(), n);
                    other.text.insert(static_cast<size_t>(at), t);
                } else {
                    other.doc->DeleteChars(at, n);
                    other.text.erase(static_cast<size_t>(at), static_cast<size_t>(n));
                }
                record(other, before, other.kept, insert ? at + n : at);
                other.kept = Follow(other.kept, insert, at, n);
                ASSERT_EQ(other.doc->GetText(0, other.doc->Length()), other.text);
            } else if (op <= 3) {  // select and replace
                const int64_t a = static_cast<int64_t>(rng() % (length + 1)),
                              b = static_cast<int64_t>(rng() % (length + 1));
                c.Send(SCI_SETSEL, static_cast<uintptr_t>(a), b);
                const Selection before = selection();
                const std::string t = rng() % 4 ? RandomText(rng) : "";
                const std::string old = m.text;
                const int64_t s = std::min(a, b);
                c.Send(SCI_REPLACESEL, 0, t);
                if (a == b && t.empty()) continue;  // no change, no step
                m.text.replace(static_cast<size_t>(s), static_cast<size_t>(std::max(a, b) - s), t);
                const int64_t end = s + static_cast<int64_t>(t.size());
                record(m, old, before, t.empty() ? s : end);
                ASSERT_EQ(selection(), (Selection{end, end}));
            } else if (op == 4) {  // insert elsewhere: the selection follows
                const int64_t at = static_cast<int64_t>(rng() % (length + 1));
                const std::string t = RandomText(rng);
                const Selection before = selection();
                const std::string old = m.text;
                c.Send(SCI_INSERTTEXT, static_cast<uintptr_t>(at), t);
                m.text.insert(static_cast<size_t>(at), t);
                record(m, old, before, at + static_cast<int64_t>(t.size()));
                const int64_t n = static_cast<int64_t>(t.size());
                ASSERT_EQ(selection(), Follow(before, true, at, n));
            } else if (op == 5 && length > 0) {  // delete a range
                const int64_t at = static_cast<int64_t>(rng() % length);
                const int64_t n = std::min<int64_t>(length - at, 1 + rng() % 30);
                const Selection before = selection();
                const std::string old = m.text;
                c.Send(SCI_DELETERANGE, static_cast<uintptr_t>(at), n);
                m.text.erase(static_cast<size_t>(at), static_cast<size_t>(n));
                record(m, old, before, at);
                ASSERT_EQ(selection(), Follow(before, false, at, n));
            } else if (op == 6 && !m.undo.empty()) {
                ModelDoc::Step s = m.undo.back();
                m.undo.pop_back();
                c.Send(SCI_UNDO);
                m.text = s.before;
                m.redo.push_back(s);
                const int64_t len = static_cast<int64_t>(m.text.size());
                ASSERT_EQ(selection(),
                          (Selection{std::min(s.selection.anchor, len), std::min(s.selection.caret, len)}));
            } else if (op == 7 && !m.redo.empty()) {
                ModelDoc::Step s = m.redo.back();
                m.redo.pop_back();
                c.Send(SCI_REDO);
                m.text = s.after;
                m.undo.push_back(s);
                ASSERT_EQ(selection(), (Selection{s.redoAt, s.redoAt}));
            } else if (op == 8) {  // scroll
                c.Send(SCI_SETFIRSTVISIBLELINE, rng() % 8);
                c.Send(SCI_SETXOFFSET, rng() % 60);
            } else if (op == 9 && rng() % 8 == 0) {  // settings that every kept wrap index depends on
                if (rng() % 2) {
                    wrap = 1 - wrap;
                    c.Send(SCI_SETWRAPMODE, static_cast<uintptr_t>(wrap));
                } else {
                    width = 120 + static_cast<int32_t>(rng() % 120);
                    c.view->SetClientSize(width, 200);
                }
            }
            ASSERT_EQ(c.Text(), docs[shown].text) << "step " << step;
            ASSERT_EQ(c.Send(SCI_CANUNDO), docs[shown].undo.empty() ? 0 : 1);
        }
        for (ModelDoc& m : docs)
            m.doc->Release();
    }
}

TEST(DocumentSwap, EachDocumentKeepsItsOwnScrollWidthAndStartsClean) {
    Control c(200, 100);
    c.SetText(std::string(300, 'w'));
    c.Send(SCI_GOTOPOS, 300);  // lays the long line out and scrolls sideways
    EXPECT_GT(c.Send(SCI_GETSCROLLWIDTH), 1000);
    auto* longDoc = reinterpret_cast<Document*>(c.Send(SCI_GETDOCPOINTER));
    longDoc->AddRef();
    auto* shortDoc = reinterpret_cast<Document*>(c.Send(SCI_CREATEDOCUMENT));
    shortDoc->InsertString(0, "ab", 2);
    c.Send(SCI_SETDOCPOINTER, 0, reinterpret_cast<intptr_t>(shortDoc));
    EXPECT_EQ(c.Send(SCI_GETSCROLLWIDTH), 1);
    EXPECT_FALSE(c.view->HorizontalValues().Scrollable());
    c.Send(SCI_SETDOCPOINTER, 0, reinterpret_cast<intptr_t>(longDoc));
    EXPECT_GT(c.Send(SCI_GETSCROLLWIDTH), 1000);
    // The shown document again: nothing is freed, nothing changes but the reset position.
    c.Send(SCI_SETDOCPOINTER, 0, reinterpret_cast<intptr_t>(longDoc));
    EXPECT_EQ(c.Send(SCI_GETLENGTH), 300);
    c.Send(SCI_RELEASEDOCUMENT, 0, reinterpret_cast<intptr_t>(longDoc));
    c.Send(SCI_RELEASEDOCUMENT, 0, reinterpret_cast<intptr_t>(shortDoc));
    // A null document is a new empty one; the last reference to the long one goes with it.
    c.Send(SCI_SETDOCPOINTER, 0, intptr_t{0});
    EXPECT_EQ(c.Send(SCI_GETLENGTH), 0);
}

TEST(DocumentSwap, ASwapEndsWhatBelongedToTheOldDocument) {
    Control c(200, 100);
    c.SetText("one two three\nfour five six\n");
    c.view->MouseDown(40, 5, 1, false);
    c.view->MouseDrag(60, 500);  // below the view: the drag timer runs
    c.Send(SCI_SETTARGETRANGE, 4, 12);
    c.view->SetComposition(u"\u314E", {}, 1);
    c.view->DeliverPostedUpdate();
    c.host->sent.clear();
    c.host->posts = 0;
    auto* other = reinterpret_cast<Document*>(c.Send(SCI_CREATEDOCUMENT));
    c.Send(SCI_SETDOCPOINTER, 0, reinterpret_cast<intptr_t>(other));
    c.Send(SCI_RELEASEDOCUMENT, 0, reinterpret_cast<intptr_t>(other));
    EXPECT_EQ(c.view->MouseModeNow(), kMouseNone);
    EXPECT_FALSE(c.view->Composing());
    EXPECT_EQ(c.Send(SCI_GETTARGETEND), 0);
    // One deferred update tells the host that everything changed.
    EXPECT_EQ(c.host->posts, 1);
    c.view->DeliverPostedUpdate();
    ASSERT_EQ(c.host->Count(SCN_UPDATEUI), 1);
    EXPECT_EQ(c.host->sent.back().n.updated, 15);
    c.view->DragTick();  // a late tick of the stopped timer changes nothing
    EXPECT_EQ(c.Caret(), 0);
}

}  // namespace
}  // namespace quill
