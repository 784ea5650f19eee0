// Filling a document through the loader: appends without line upkeep, one index build at the end, the
// reference handed over, and the same lines as editing would give.
#include "edit/loader.h"

#include <gtest/gtest.h>

#include <random>
#include <string>

#include "edit/document.h"
#include "edit/document_support.h"

namespace quill {
namespace {

using test::DocLineStarts;
using test::ModelLineStarts;

Document* Load(const std::vector<std::string>& pieces, int64_t sizeHint = 0) {
    ILoader* loader = CreateLoader(sizeHint);
    for (const std::string& piece : pieces)
        EXPECT_EQ(loader->AddData(piece.data(), static_cast<int64_t>(piece.size())), 0);
    return loader->ConvertToDocument();
}

TEST(Loader, BuildsTheLineIndexOnceAtTheEnd) {
    Document* doc = Load({"first\r", "\nsecond\r", "third\n", "", "\r\n\r"});
    const std::string text = "first\r\nsecond\rthird\n\r\n\r";
    EXPECT_EQ(doc->GetText(0, doc->Length()), text);
    EXPECT_EQ(DocLineStarts(*doc), ModelLineStarts(text));
    EXPECT_EQ(doc->LineCount(), 6);
    // A loaded document has no history and is not modified.
    EXPECT_FALSE(doc->CanUndo());
    EXPECT_FALSE(doc->IsModified());
    EXPECT_EQ(doc->Release(), 0);
}

TEST(Loader, RandomTextsInRandomPieces) {
    std::mt19937 rng(99);
    const char alphabet[] = "ab\r\n\r\n 한";
    for (int round = 0; round < 40; ++round) {
        std::string text(rng() % 3000, ' ');
        for (char& c : text)
            c = alphabet[rng() % (sizeof(alphabet) - 1)];
        std::vector<std::string> pieces;
        for (size_t at = 0; at < text.size();) {
            const size_t n = std::min<size_t>(text.size() - at, rng() % 40);
            pieces.push_back(text.substr(at, n));
            at += n;
        }
        Document* doc = Load(pieces, round % 2 ? 4000 : 0);
        ASSERT_EQ(doc->GetText(0, doc->Length()), text);
        ASSERT_EQ(DocLineStarts(*doc), ModelLineStarts(text)) << "round " << round;
        // Editing afterwards keeps the index right.
        const int64_t at = static_cast<int64_t>(rng() % (text.size() + 1));
        ASSERT_TRUE(doc->InsertString(at, "\n\r", 2));
        text.insert(static_cast<size_t>(at), "\n\r");
        ASSERT_EQ(DocLineStarts(*doc), ModelLineStarts(text));
        doc->Release();
    }
}

TEST(Loader, SizeHintReservesTheBufferOnce) {
    ILoader* loader = CreateLoader(100000);
    const std::string chunk(1000, 'x');
    ASSERT_EQ(loader->AddData(chunk.data(), 1000), 0);
    Document* doc = loader->ConvertToDocument();
    const char* before = doc->CharacterPointer();
    doc->Release();

    loader = CreateLoader(100000);
    ASSERT_EQ(loader->AddData(chunk.data(), 1000), 0);
    // Appending within the hint never moves the text to a new block.
    for (int i = 0; i < 98; ++i)
        ASSERT_EQ(loader->AddData(chunk.data(), 1000), 0);
    doc = loader->ConvertToDocument();
    EXPECT_EQ(doc->Length(), 99000);
    EXPECT_EQ(doc->LineCount(), 1);
    EXPECT_NE(before, nullptr);
    const char* first = doc->RangePointer(0, 1);
    EXPECT_EQ(doc->CharacterPointer(), first);
    doc->Release();
}

TEST(Loader, EmptyAddsAndRelease) {
    ILoader* loader = CreateLoader(0);
    EXPECT_EQ(loader->AddData("abc", 0), 0);
    EXPECT_EQ(loader->AddData(nullptr, -4), 0);
    EXPECT_EQ(loader->Release(), 0);  // frees the document too; the sanitizers check
    Document* empty = Load({});
    EXPECT_EQ(empty->Length(), 0);
    EXPECT_EQ(empty->LineCount(), 1);
    EXPECT_STREQ(empty->CharacterPointer(), "");
    EXPECT_EQ(empty->AddRef(), 2);
    EXPECT_EQ(empty->Release(), 1);
    EXPECT_EQ(empty->Release(), 0);
}

TEST(Loader, LongRunsUseTheWideScanAndItsTail) {
    // Breaks at every offset within and across 16-byte blocks, including a CR ending one block and
    // its LF starting the next.
    std::string text;
    for (int i = 0; i < 70; ++i)
        text += std::string(static_cast<size_t>(i % 17), 'k') + (i % 3 ? "\r\n" : i % 2 ? "\r" : "\n");
    for (size_t split : {size_t{15}, size_t{16}, size_t{31}, text.size() - 1}) {
        Document* doc = Load({text.substr(0, split), text.substr(split)});
        ASSERT_EQ(DocLineStarts(*doc), ModelLineStarts(text)) << split;
        doc->Release();
    }
}

}  // namespace
}  // namespace quill
