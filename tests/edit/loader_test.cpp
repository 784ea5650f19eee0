// Filling a document through the loader: appends without line upkeep, one index build at the end (over
// 16-byte blocks and their tail), the reference handed over, and the same lines as editing would give.
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
        // A loaded document has no history and is not modified; editing it keeps the index right.
        EXPECT_FALSE(doc->CanUndo());
        EXPECT_FALSE(doc->IsModified());
        const int64_t at = static_cast<int64_t>(rng() % (text.size() + 1));
        ASSERT_TRUE(doc->InsertString(at, "\n\r", 2));
        text.insert(static_cast<size_t>(at), "\n\r");
        ASSERT_EQ(DocLineStarts(*doc), ModelLineStarts(text));
        EXPECT_EQ(doc->Release(), 0);
    }
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

}  // namespace
}  // namespace quill
