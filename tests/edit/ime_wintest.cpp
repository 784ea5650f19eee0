// Composition in a real QuillEdit window through the window's input context and the test hook:
// sequences of typing, composing, committing and cancelling checked against a plain model of the
// text, the caret and the shown composition; the inline drawing; the input-method windows' places.
#include <gtest/gtest.h>
// clang-format off
#include <windows.h>
#include <imm.h>
// clang-format on

#include <cstdlib>
#include <string>
#include <vector>

#include "edit/char_classes.h"
#include "edit/sci_messages.h"
#include "edit/view_window_support.h"

namespace quill {
namespace {

using test::EditorWindow;

std::string Utf8(const std::u16string& text) {
    std::string out;
    for (char16_t c : text)
        out += EncodeCharacter(c);  // BMP only
    return out;
}

// Byte position of unit `units` of a BMP-only text.
int64_t Bytes(const std::u16string& text, size_t units) {
    return static_cast<int64_t>(Utf8(text.substr(0, units)).size());
}

std::string DocText(Document& d) {
    return std::string(d.RangePointer(0, d.Length()), static_cast<size_t>(d.Length()));
}

LRESULT Hook(HWND hwnd, WPARAM action, LPARAM lParam = 0) {
    _putenv_s("QUILLEDIT_TEST", "1");  // the control answers the hook only with this set
    return SendMessageW(hwnd, QM_TESTHOOK, action, lParam);
}

// Hands `text` to the input context (then `action` 4: as its composition string; 0: as the hook's
// own composition; 1: typed by the hook, which action 2 then ends).
void Compose(HWND hwnd, const std::u16string& text, WPARAM action = 4) {
    for (char16_t c : text)
        Hook(hwnd, 3, c);
    Hook(hwnd, action);
}

// Cancels the composition through the input context, as the input method does.
void Cancel(HWND hwnd) {
    HIMC imc = ImmGetContext(hwnd);
    ImmNotifyIME(imc, NI_COMPOSITIONSTR, CPS_CANCEL, 0);
    ImmReleaseContext(hwnd, imc);
}

// The model: text, selection (units) and the composition shown at the caret.
struct Model {
    std::u16string text, composition, swappedOut;
    size_t anchor = 0, caret = 0;
    bool readOnly = false;
    size_t Start() const { return std::min(anchor, caret); }
    void Replace(const std::u16string& s) {
        if (readOnly) return;
        text.replace(Start(), std::max(anchor, caret) - Start(), s);
        anchor = caret = Start() + s.size();
    }
    void Commit() {
        const std::u16string c = composition;
        composition.clear();
        if (!c.empty()) Replace(c);
    }
};

// Steps: t type (WM_CHAR), s select a..b, c compose through the input context, h compose through
// the hook, k complete, H commit through the hook, x cancel, l Left key, m click after the text, r read-only,
// d swap in a new document.
struct Step {
    char op;
    std::u16string text = {};
    size_t a = 0, b = 0;
};

struct Case {
    const char* name;
    std::vector<Step> steps;
    std::u16string afterUndo;  // the text after one undo at the end
};

TEST(Ime, CompositionSequencesFollowThePlainModel) {
    const std::vector<Case> cases = {
        {"syllables commit as one typing step",
         {{'t', u"ab"}, {'c', u"ㅎ"}, {'c', u"하"}, {'c', u"한"}, {'k'}, {'c', u"ㄱ"}, {'c', u"글"}, {'k'}},
         u""},
        {"selection deleted by the first jamo, still deleted on cancel",
         {{'t', u"abcd"}, {'s', {}, 1, 3}, {'c', u""}, {'c', u"ㅎ"}, {'x'}},
         u"abcd"},
        {"selection replaced by the committed syllable in one step",
         {{'t', u"abcd"}, {'s', {}, 3, 1}, {'c', u"ㅎ"}, {'c', u"한"}, {'k'}},
         u"abcd"},
        {"arrow commits first, then moves", {{'t', u"xy"}, {'c', u"한"}, {'l'}, {'t', u"z"}}, u"xy한"},
        {"click commits", {{'t', u"xy"}, {'s', {}, 0, 0}, {'c', u"글"}, {'m'}}, u"xy"},
        {"hook composition commits the same way", {{'t', u"a"}, {'h', u"ㄱ"}, {'h', u"가"}, {'H'}}, u""},
        {"read-only shows the composition, drops the result",
         {{'t', u"ab"}, {'r'}, {'c', u"한"}, {'k'}, {'t', u"c"}},
         u""},
        {"document swap commits into the old document",
         {{'t', u"a"}, {'c', u"한"}, {'d'}, {'c', u"ㄱ"}},
         u""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EditorWindow w(400, 200, 0, true);
        ASSERT_TRUE(w.ok());
        SetFocus(w.hwnd());
        Model m;
        Document* old = nullptr;
        for (size_t i = 0; i < c.steps.size(); ++i) {
            const Step& s = c.steps[i];
            SCOPED_TRACE(testing::Message() << "step " << i << " '" << s.op << "'");
            switch (s.op) {
                case 't':
                    for (char16_t u : s.text)
                        SendMessageW(w.hwnd(), WM_CHAR, u, 0);
                    m.Replace(s.text);
                    break;
                case 's':
                    SendMessageW(w.hwnd(), SCI_SETSEL, Bytes(m.text, s.a), Bytes(m.text, s.b));
                    m.anchor = s.a, m.caret = s.b;
                    break;
                case 'c':
                case 'h':
                    Compose(w.hwnd(), s.text, s.op == 'c' ? 4 : 0);
                    if (!s.text.empty() && m.anchor != m.caret && !m.readOnly) m.Replace(u"");
                    m.composition = s.text;
                    break;
                case 'k':
                    Hook(w.hwnd(), 5);
                    m.Commit();
                    break;
                case 'H':  // the hook's own commit: the shown text typed, then the end
                    Compose(w.hwnd(), m.composition, 1);
                    Hook(w.hwnd(), 2);
                    m.Commit();
                    break;
                case 'x':
                    Cancel(w.hwnd());
                    m.composition.clear();
                    break;
                case 'l':
                    SendMessageW(w.hwnd(), WM_KEYDOWN, VK_LEFT, 0);
                    m.Commit();
                    m.anchor = m.caret = m.caret > 0 ? m.caret - 1 : 0;
                    break;
                case 'm':
                    SendMessageW(w.hwnd(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(390, 2));
                    SendMessageW(w.hwnd(), WM_LBUTTONUP, 0, MAKELPARAM(390, 2));
                    m.Commit();
                    m.anchor = m.caret = m.text.size();
                    break;
                case 'r':
                    SendMessageW(w.hwnd(), SCI_SETREADONLY, 1, 0);
                    m.readOnly = true;
                    break;
                case 'd': {
                    old = w.view().GetDocument();
                    SendMessageW(w.hwnd(), SCI_ADDREFDOCUMENT, 0, reinterpret_cast<LPARAM>(old));
                    const LRESULT fresh = SendMessageW(w.hwnd(), SCI_CREATEDOCUMENT, 0, 0);
                    SendMessageW(w.hwnd(), SCI_SETDOCPOINTER, 0, fresh);
                    SendMessageW(w.hwnd(), SCI_RELEASEDOCUMENT, 0, fresh);
                    m.Commit();
                    m = Model{{}, {}, m.text};  // a fresh model that remembers the old text
                    break;
                }
                default:
                    FAIL() << "unknown step";
            }
            EXPECT_EQ(DocText(w.doc()), Utf8(m.text));
            EXPECT_EQ(w.view().Caret(), Bytes(m.text, m.caret));
            EXPECT_EQ(w.view().Anchor(), Bytes(m.text, m.anchor));
            EXPECT_EQ(w.view().CompositionText(), m.composition);
            // An input method may start a composition with nothing in it yet.
            if (m.composition.empty()) {
                EXPECT_LE(Hook(w.hwnd(), 6), 1);
            } else {
                EXPECT_EQ(Hook(w.hwnd(), 6), LRESULT(m.composition.size() + 1));
            }
        }
        if (old) {
            EXPECT_EQ(DocText(*old), Utf8(m.swappedOut));
            SendMessageW(w.hwnd(), SCI_RELEASEDOCUMENT, 0, reinterpret_cast<LPARAM>(old));
        }
        // Undo does nothing while composing; afterwards one step takes the typing away.
        const std::string before = DocText(w.doc());
        if (!m.composition.empty()) {
            SendMessageW(w.hwnd(), SCI_UNDO, 0, 0);
            EXPECT_EQ(DocText(w.doc()), before);
            Hook(w.hwnd(), 5);
        }
        SendMessageW(w.hwnd(), SCI_SETREADONLY, 0, 0);
        SendMessageW(w.hwnd(), SCI_UNDO, 0, 0);
        EXPECT_EQ(DocText(w.doc()), Utf8(c.afterUndo));
    }
}

// The composition is drawn right of where it started and nowhere else (the document is
// unchanged), and the input method's windows are asked to go there: the candidates under the row,
// on a later row of a wrapped line and after scrolling sideways too.
TEST(Ime, DrawnInlineWithTheWindowsUnderIt) {
    struct Row {
        int32_t wrap, xOffset;
        int64_t caret;
    };
    const std::string line(60, 'n');
    for (const Row& r : {Row{0, 0, 3}, Row{2, 0, 50}, Row{0, 40, 20}}) {
        SCOPED_TRACE(testing::Message() << "wrap " << r.wrap << " x " << r.xOffset << " caret " << r.caret);
        EditorWindow w(200, 100, 0, true);
        SetFocus(w.hwnd());
        w.SetText(line);
        SendMessageW(w.hwnd(), SCI_SETWRAPMODE, static_cast<WPARAM>(r.wrap), 0);
        SendMessageW(w.hwnd(), SCI_GOTOPOS, static_cast<WPARAM>(r.caret), 0);
        SendMessageW(w.hwnd(), SCI_SETXOFFSET, static_cast<WPARAM>(r.xOffset), 0);
        const int32_t x = static_cast<int32_t>(SendMessageW(w.hwnd(), SCI_POINTXFROMPOSITION, 0, r.caret));
        const int32_t y = static_cast<int32_t>(SendMessageW(w.hwnd(), SCI_POINTYFROMPOSITION, 0, r.caret));
        const int32_t lh = w.view().LineHeight();
        if (r.wrap) {
            EXPECT_GT(y, 0);
        }
        const test::Capture before = w.Print();
        Compose(w.hwnd(), u"한");
        ASSERT_EQ(w.view().CompositionText(), u"한");
        const test::Capture during = w.Print();
        int changed = 0, outside = 0;
        for (int32_t py = 0; py < during.height; ++py) {
            for (int32_t px = 0; px < during.width; ++px) {
                if (before.At(px, py) == during.At(px, py)) continue;
                ++changed;
                // The row's rest moves right (on a wrapped line the rows after it too); the caret
                // drawn at the old place may go.
                // (The overlay bars at the bottom follow the longer line.)
                if (py >= 4 * lh) continue;
                outside += (py < y || (py >= y + lh && !r.wrap) || (py < y + lh && px < x - 2)) ? 1 : 0;
            }
        }
        EXPECT_GT(changed, 20);
        EXPECT_EQ(outside, 0);
        HIMC imc = ImmGetContext(w.hwnd());
        CANDIDATEFORM cf{};
        ASSERT_TRUE(ImmGetCandidateWindow(imc, 0, &cf));
        COMPOSITIONFORM form{};
        ASSERT_TRUE(ImmGetCompositionWindow(imc, &form));
        // Style; candidates' point, excluded row (left, top, bottom); composition point.
        EXPECT_EQ(
            (std::vector<LONG>{LONG(cf.dwStyle), cf.ptCurrentPos.x, cf.ptCurrentPos.y, cf.rcArea.left,
                               cf.rcArea.top, cf.rcArea.bottom, form.ptCurrentPos.x, form.ptCurrentPos.y}),
            (std::vector<LONG>{CFS_EXCLUDE, x, y + lh, x, y, y + lh, x, y}));
        if (!r.wrap) {  // scrolling while composing moves them along
            SendMessageW(w.hwnd(), SCI_SETXOFFSET, static_cast<WPARAM>(r.xOffset + 8), 0);
            ASSERT_TRUE(ImmGetCandidateWindow(imc, 0, &cf));
            EXPECT_EQ(cf.ptCurrentPos.x, x - 8);
        }
        ImmNotifyIME(imc, NI_COMPOSITIONSTR, CPS_CANCEL, 0);
        ImmReleaseContext(w.hwnd(), imc);
        EXPECT_EQ(DocText(w.doc()), line);
    }
}

// In a line long enough to be patched in place rather than laid out again, every composition
// update is shown exactly: the window shows what a full repaint draws (the update repainted all
// that moved), and that equals a full repaint from a fresh layout of the line (the patched layout
// is right). Updates of unshaped text make no new layout.
TEST(Ime, ComposingInALongLineShowsWhatAFreshLayoutShows) {
    const std::string piece = Utf8(u"가나다 abc 123 ");
    std::string line;
    while (line.size() < 2 * 3000)
        line += piece;
    // c compose, k complete, x cancel; shaped text (conjoining jamo) is laid out afresh.
    const std::vector<Step> steps = {
        {'c', u"ㅎ"},           {'c', u"하"}, {'c', u"한"}, {'c', u"한ㄱ"},   {'x'},
        {'c', u"ㄱ"},           {'c', u"글"}, {'k'},        {'c', u"中文 x"}, {'c', u"\u1112"},
        {'c', u"\u1112\u1161"}, {'k'}};
    for (const int32_t wrap : {0, 1}) {
        SCOPED_TRACE(testing::Message() << "wrap " << wrap);
        EditorWindow w(420, 150, 0, true);
        ASSERT_TRUE(w.ok());
        SetFocus(w.hwnd());
        SendMessageW(w.hwnd(), SCI_SETWRAPMODE, static_cast<WPARAM>(wrap), 0);
        w.SetText(line);
        SendMessageW(w.hwnd(), SCI_GOTOPOS, line.size() / 2 - line.size() / 2 % piece.size(), 0);
        for (size_t i = 0; i < steps.size(); ++i) {
            const Step& s = steps[i];
            SCOPED_TRACE(testing::Message() << "step " << i << " '" << s.op << "'");
            UpdateWindow(w.hwnd());
            const uint64_t made = w.view().layoutsMade;
            const bool shaped = (w.view().CompositionText() + s.text).find(u'\u1112') != std::u16string::npos;
            if (s.op == 'c') Compose(w.hwnd(), s.text);
            if (s.op == 'k') Hook(w.hwnd(), 5);
            if (s.op == 'x') Cancel(w.hwnd());
            UpdateWindow(w.hwnd());
            UpdateWindow(w.hwnd());
            if (!shaped) {
                EXPECT_EQ(w.view().layoutsMade, made);
            }
            const test::Capture shown = w.Shown(), full = w.Print();
            w.view().DropLayout(0);
            const test::Capture fresh = w.Print();
            EXPECT_TRUE(shown.pixels == full.pixels);
            EXPECT_TRUE(full.pixels == fresh.pixels);
        }
        EXPECT_EQ(w.view().CompositionText(), u"");
        EXPECT_EQ(w.doc().Length(), static_cast<int64_t>(line.size() + Utf8(u"글\u1112\u1161").size()));
    }
}

// The Hanja key (as a key or as the input method's key message) on a Hangul character asks the
// input method for its Hanja there, with the candidate window put under the character first, and
// selects the character for the converted one to replace exactly when the input method takes the
// request; on an ASCII character, with a selection or at the end it does nothing.
TEST(Ime, HanjaKeyConvertsTheCharacterAtTheCaret) {
    struct Row {
        int64_t anchor, caret;
        UINT message;
        bool asks;
    };
    const Row rows[] = {
        {2, 2, WM_KEYDOWN, true},                                 // before 한
        {2, 2, WM_IME_KEYDOWN, true}, {1, 1, WM_KEYDOWN, false},  // before b
        {2, 5, WM_KEYDOWN, false},                                // 한 selected already
        {6, 6, WM_KEYDOWN, false},                                // the end
    };
    const std::string text = Utf8(u"ab한c");
    bool accepted = false;  // whether this system's input method takes the request at all
    for (const Row& r : rows) {
        SCOPED_TRACE(testing::Message() << r.anchor << ".." << r.caret << " message " << r.message);
        EditorWindow w(300, 100, 0, true);
        ASSERT_TRUE(w.ok());
        SetFocus(w.hwnd());
        w.SetText(text);
        SendMessageW(w.hwnd(), SCI_SETSEL, static_cast<WPARAM>(r.anchor), r.caret);
        HIMC imc = ImmGetContext(w.hwnd());
        if (&r == rows) {
            wchar_t character[] = L"\uD55C";
            accepted = ImmEscapeW(GetKeyboardLayout(0), imc, IME_ESC_HANJA_MODE, character) != 0;
        }
        CANDIDATEFORM away{0, CFS_POINT, {-7, -7}, {}};
        ImmSetCandidateWindow(imc, &away);
        SendMessageW(w.hwnd(), r.message, 0x19, 1);  // VK_HANJA
        CANDIDATEFORM cf{};
        ASSERT_TRUE(ImmGetCandidateWindow(imc, 0, &cf));
        ImmReleaseContext(w.hwnd(), imc);
        const auto x = static_cast<LONG>(SendMessageW(w.hwnd(), SCI_POINTXFROMPOSITION, 0, r.caret));
        EXPECT_EQ(cf.ptCurrentPos.x, r.asks ? x : -7);
        EXPECT_EQ(cf.ptCurrentPos.y, r.asks ? w.view().LineHeight() : -7);
        const bool selects = r.asks && accepted;
        EXPECT_EQ(w.view().Anchor(), selects ? 2 : r.anchor);
        EXPECT_EQ(w.view().Caret(), selects ? 5 : r.caret);
        EXPECT_EQ(DocText(w.doc()), text);
    }
}

// A real input method (run by scripts/ime-real.sh, which types the 2-beolsik keys g k s r m f and
// space into this window): the jamo are shown inline, the syllables commit as one typing step.
TEST(Ime, RealInputMethodComposesInline) {
    if (!std::getenv("LUMENPAD_REAL_IME")) GTEST_SKIP() << "needs an input method typing into the window";
    EditorWindow w(400, 120, 0, true);
    ASSERT_TRUE(w.ok());
    SetWindowTextW(GetParent(w.hwnd()), L"QuillEdit input method");
    SetForegroundWindow(GetParent(w.hwnd()));
    SetFocus(w.hwnd());
    const std::string expected = Utf8(u"한글 ");
    bool sawJamo = false, inkWhileComposing = false;
    const DWORD end = GetTickCount() + 20000;
    while (DocText(w.doc()) != expected && GetTickCount() < end) {
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
        if (w.view().Composing() && !sawJamo) {
            sawJamo = true;
            // The jamo drawn on the first row although the document holds nothing yet.
            const test::Capture c = w.Print();
            if (const char* shot = std::getenv("LUMENPAD_IME_SHOT")) c.SaveBmp(shot);
            const int lh = w.view().LineHeight();
            inkWhileComposing = w.doc().Length() == 0 && c.Count(0, 0, 60, lh, [](uint32_t p) {
                return test::Capture::Luminance(p) < 128;
            }) > 10;
        }
        Sleep(5);
    }
    EXPECT_EQ(DocText(w.doc()), expected);
    EXPECT_TRUE(sawJamo);
    EXPECT_TRUE(inkWhileComposing);
    EXPECT_TRUE(w.view().CompositionText().empty());
    SendMessageW(w.hwnd(), SCI_UNDO, 0, 0);
    EXPECT_EQ(DocText(w.doc()), "");
}

}  // namespace
}  // namespace quill
