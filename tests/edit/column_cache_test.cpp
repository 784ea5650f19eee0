// The status bar's column cache against the editor's own column count on a real document: random
// edits (tabs, Hangul, line breaks, stray bytes) and caret moves, as typing and clicking produce them.
#include "edit/column_cache.h"

#include <gtest/gtest.h>

#include <random>
#include <string>

#include "edit/document.h"
#include "edit/indentation.h"

namespace lumen {
namespace {

struct DocSource : ColumnSource {
    quill::Document& doc;
    int64_t bytesRead = 0;
    explicit DocSource(quill::Document& d) : doc(d) {}
    int64_t LineStartOf(int64_t p) override { return doc.LineStart(doc.LineFromPosition(p)); }
    std::string_view Bytes(int64_t s, int64_t e) override {
        e = std::min(e, doc.Length());
        bytesRead += e - s;
        return {doc.RangePointer(s, e - s), static_cast<size_t>(e - s)};
    }
};

// A character start near p, as a caret would be, or (odd p) the position itself, as a host may set it.
int64_t CaretNear(quill::Document& doc, int64_t p) {
    p = std::clamp<int64_t>(p, 0, doc.Length());
    return p % 2 ? p : doc.MovePositionOutsideChar(p, -1);
}

TEST(ColumnCache, AgreesWithTheEditorOverRandomEditsAndMoves) {
    const char* pieces[] = {"a",  "\t",   "가",   "ab\tc", "\r\n", "\n", "\r", "\xE2\x82", "\xF0\x9F\x98\x80",
                            "  ", "\x80", "한글 "};
    for (uint32_t seed = 1; seed <= 6; ++seed) {
        std::mt19937 rng(seed);
        auto* doc = new quill::Document;
        doc->AddRef();
        DocSource source(*doc);
        ColumnCache cache;
        int32_t tab = 4;
        for (int step = 0; step < 3000; ++step) {
            const int op = static_cast<int>(rng() % 10);
            const int64_t len = doc->Length();
            if (op < 5) {  // typing or pasting
                const std::string text = pieces[rng() % std::size(pieces)];
                const int64_t at = op < 3 ? len : static_cast<int64_t>(rng() % (len + 1));
                doc->InsertString(at, text.data(), static_cast<int64_t>(text.size()));
                cache.Edited(at);
            } else if (op < 7 && len > 0) {
                const int64_t at = static_cast<int64_t>(rng() % len);
                doc->DeleteChars(at, 1 + static_cast<int64_t>(rng() % 3));
                cache.Edited(at);
            } else if (op == 7 && rng() % 50 == 0) {
                tab = tab == 4 ? 8 : 4;
            }
            const int64_t caret = CaretNear(*doc, static_cast<int64_t>(rng() % (doc->Length() + 1)));
            ASSERT_EQ(cache.Column(caret, tab, source), quill::ColumnOf(*doc, caret, tab))
                << "seed " << seed << " step " << step;
        }
        doc->Release();
    }
}

// Typing at the end of a long line reads a bounded number of bytes per key, and so does a Backspace.
TEST(ColumnCache, TypingAtTheEndOfALongLineReadsLittle) {
    auto* doc = new quill::Document;
    doc->AddRef();
    const std::string line(2'000'000, 'x');
    doc->InsertString(0, line.data(), static_cast<int64_t>(line.size()));
    DocSource source(*doc);
    ColumnCache cache;
    EXPECT_EQ(cache.Column(doc->Length(), 4, source), 2'000'000);
    source.bytesRead = 0;
    for (int i = 0; i < 100; ++i) {
        const int64_t end = doc->Length();
        if (i % 4 == 3) {
            doc->DeleteChars(end - 1, 1);
            cache.Edited(end - 1);
        } else {
            doc->InsertString(end, "\t", 1);
            cache.Edited(end);
        }
        cache.Column(doc->Length(), 4, source);
    }
    EXPECT_EQ(cache.Column(doc->Length(), 4, source), quill::ColumnOf(*doc, doc->Length(), 4));
    EXPECT_LT(source.bytesRead, 101 * 2 * kColumnMarkStride);
    EXPECT_LE(cache.MarkCount(), 2'000'100 / kColumnMarkStride + 1);
    doc->Release();
}

}  // namespace
}  // namespace lumen
