// The hand-over text: a round trip, and buffers a sender could get wrong.
#include "app/hand_over.h"

#include <gtest/gtest.h>

namespace lumen {
namespace {

using Paths = std::vector<std::wstring>;

// Little-endian bytes of UTF-16 units, as a sender puts them on the wire.
std::string Wire(std::u16string_view text) {
    std::string bytes;
    for (char16_t u : text)
        bytes += {static_cast<char>(u & 0xFF), static_cast<char>(u >> 8)};
    return bytes;
}

Paths Decode(const std::string& bytes) {
    return DecodeHandOver(bytes.data(), bytes.size());
}

TEST(HandOver, RoundTripKeepsEveryPathInOrder) {
    const Paths files = {L"C:\\a.txt", L"D:\\한글 폴더\\메모 1.txt", L"C:\\x\xD83D\xDE00y",
                         std::wstring(5000, L'x')};
    const std::u16string text = EncodeHandOver(files);
    EXPECT_EQ(text.substr(0, 9), u"C:\\a.txt\n");
    EXPECT_EQ(text.size(), 9 + 18 + 8 + 5001u) << "each path and a line feed, no NUL";
    EXPECT_EQ(Decode(Wire(text)), files);
    EXPECT_TRUE(EncodeHandOver({}).empty()) << "no files: cbData 0";
}

TEST(HandOver, MalformedBuffers) {
    const std::pair<std::string, Paths> cases[] = {
        {"", {}},
        {Wire(u"a.txt"), {L"a.txt"}},                              // no final line feed
        {Wire(u"a.txt\n") + "b", {L"a.txt"}},                      // odd byte count
        {Wire(u"\n\n a \n\nb\n"), {L" a ", L"b"}},                 // empty pieces dropped
        {Wire(std::u16string(u"a.txt\n\0", 7)), {L"a.txt"}},       // a terminating NUL
        {Wire(std::u16string(u"a\0junk\nb\0", 9)), {L"a", L"b"}},  // a NUL ends its piece
        {Wire(u"\r\n"), {L"\r"}},
    };
    for (const auto& [bytes, paths] : cases)
        EXPECT_EQ(Decode(bytes), paths) << testing::PrintToString(bytes);
    const std::string unaligned = "?" + Wire(u"가.txt\n");
    EXPECT_EQ(DecodeHandOver(unaligned.data() + 1, unaligned.size() - 1), Paths{L"가.txt"});
    EXPECT_TRUE(DecodeHandOver(nullptr, 8).empty());
    std::u16string big(1'000'000, u'\n');  // a large buffer is read in one linear pass
    EXPECT_EQ(Decode(Wire(big.replace(1000, 3, u"abc"))), Paths{L"abc"});
}

}  // namespace
}  // namespace lumen
