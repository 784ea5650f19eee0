// The portable side of input-method reconversion: the selection's line handed over in UTF-16 and the
// units handed back selecting the same bytes. Composition itself and where the input method's windows
// go are ime_wintest.cpp's (the Win32 side is what places them).
#include <gtest/gtest.h>

#include "edit/control_support.h"

namespace quill {
namespace {

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
        test::Control c;
        c.SetText(text);
        c.Send(SCI_SETSEL, static_cast<uintptr_t>(r.anchor), r.caret);
        std::u16string units;
        uint32_t start = 99, length = 99;
        ASSERT_EQ(c.view->ReconversionText(r.feed, &units, &start, &length), r.ok);
        if (!r.ok) continue;
        EXPECT_EQ(units, r.anchor >= 10 ? u"" : u"a한\U0001F600z");
        EXPECT_EQ(start, r.start);
        EXPECT_EQ(length, r.length);
        if (r.feed) continue;
        c.Send(SCI_SETSEL, static_cast<uintptr_t>(r.anchor), r.anchor);
        c.view->SelectLineUnits(start, length);
        EXPECT_EQ(c.view->SelectionStart(), std::min(r.anchor, r.caret));
        EXPECT_EQ(c.view->SelectionEnd(), std::max(r.anchor, r.caret));
    }
}

}  // namespace
}  // namespace quill
