// The portable side of input-method composition: where the input method's windows are asked to go,
// the selection's line handed to reconversion in UTF-16, and the composed text staying out of the
// document until it is committed.
#include <gtest/gtest.h>

#include <array>

#include "edit/control_support.h"

namespace quill {
namespace {

struct ImeHost : test::ControlHost {
    std::vector<std::array<int32_t, 3>> placed;
    int completes = 0;
    void PositionImeWindows(int32_t x, int32_t y, int32_t lineHeight) override {
        placed.push_back({x, y, lineHeight});
    }
    void CompleteImeComposition() override { ++completes; }
};

struct ImeControl {
    ImeHost* host;
    std::unique_ptr<View> view;
    ImeControl() {
        auto h = std::make_unique<ImeHost>();
        host = h.get();
        view = std::make_unique<View>(std::move(h), [] { return std::make_unique<FixedFontSource>(); });
        view->SetClientSize(200, 100);
    }
    intptr_t Send(unsigned m, uintptr_t w = 0, intptr_t l = 0) { return view->Message(m, w, l); }
};

// The windows go to the composition's start, which is where the caret was: also on a later row of a
// wrapped line and after scrolling sideways; the point follows every scroll while composing.
TEST(Composition, ImeWindowsAtTheCompositionStart) {
    struct Row {
        int32_t wrap, xOffset;
        int64_t caret;
    };
    const std::string line(120, 'w');
    for (const Row& r : {Row{kWrapNone, 0, 5}, Row{kWrapChar, 0, 70}, Row{kWrapNone, 300, 60}}) {
        SCOPED_TRACE(testing::Message() << "wrap " << r.wrap << " x " << r.xOffset << " caret " << r.caret);
        ImeControl c;
        c.view->SetFocused(true);
        c.Send(SCI_SETTEXT, 0, reinterpret_cast<intptr_t>((line + "\n" + line).c_str()));
        c.view->SetWrapMode(r.wrap);
        c.Send(SCI_GOTOPOS, static_cast<uintptr_t>(r.caret));
        c.view->SetXOffset(r.xOffset);
        int32_t x = 0, y = 0;
        c.view->PointFromPosition(r.caret, &x, &y);
        c.view->StartComposition();
        c.view->SetComposition(u"한", {}, 1);
        ASSERT_FALSE(c.host->placed.empty());
        const int32_t lh = c.view->LineHeight();
        EXPECT_EQ(c.host->placed.back(), (std::array<int32_t, 3>{x, y, lh}));
        if (r.wrap != kWrapNone) {
            EXPECT_GT(y, 0);
        }
        // The caret is drawn after the composition; the document has not changed.
        int32_t cx = 0, cy = 0;
        c.view->PointFromPosition(r.caret, &cx, &cy);
        EXPECT_GT(cx, x);
        EXPECT_EQ(c.view->GetDocument()->Length(), 241);
        if (r.wrap == kWrapNone) {
            c.view->SetXOffset(r.xOffset + 10);
            EXPECT_EQ(c.host->placed.back(), (std::array<int32_t, 3>{x - 10, y, lh}));
        }
        c.view->CompleteComposition();
        EXPECT_EQ(c.host->completes, 1);
        EXPECT_FALSE(c.view->InComposition());
        EXPECT_EQ(c.view->GetDocument()->Length(), 241);
    }
}

// The line in UTF-16 with the selection as units, for any selection within one line; selecting the
// units back gives the same byte selection.
TEST(Composition, ReconversionRangesInUnits) {
    const std::string text = "a\xED\x95\x9C\xF0\x9F\x98\x80z\n\nb";  // a 한 😀 z, an empty line, b
    struct Row {
        int64_t anchor, caret;
        bool feed, ok;
        uint32_t start, length;
    };
    const Row rows[] = {
        {1, 4, false, true, 1, 1},     // 한
        {4, 8, false, true, 2, 2},     // the surrogate pair
        {0, 9, false, true, 0, 5},     // the whole line
        {8, 1, false, true, 1, 3},     // backwards
        {9, 9, true, true, 5, 0},      // feed: the caret
        {10, 10, false, false, 0, 0},  // empty line: nothing to reconvert
        {10, 10, true, true, 0, 0},    // ...but it feeds
        {3, 11, false, false, 0, 0},   // two lines
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(testing::Message() << r.anchor << ".." << r.caret << (r.feed ? " feed" : ""));
        ImeControl c;
        c.Send(SCI_SETTEXT, 0, reinterpret_cast<intptr_t>(text.c_str()));
        c.Send(SCI_SETSEL, static_cast<uintptr_t>(r.anchor), r.caret);
        std::u16string units;
        uint32_t start = 99, length = 99;
        ASSERT_EQ(c.view->ReconversionText(r.feed, &units, &start, &length), r.ok);
        if (!r.ok) continue;
        EXPECT_EQ(units, r.anchor >= 10 ? u"" : u"a한\U0001F600z");
        EXPECT_EQ(start, r.start);
        EXPECT_EQ(length, r.length);
        if (r.feed) continue;
        c.Send(SCI_SETSEL, 0, 0);
        c.Send(SCI_SETSEL, static_cast<uintptr_t>(r.anchor), r.anchor);
        c.view->SelectLineUnits(start, length);
        EXPECT_EQ(c.view->SelectionStart(), std::min(r.anchor, r.caret));
        EXPECT_EQ(c.view->SelectionEnd(), std::max(r.anchor, r.caret));
    }
}

}  // namespace
}  // namespace quill
