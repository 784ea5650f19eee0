// The hand-over text: round trips and buffers a sender could get wrong.
#include "app/hand_over.h"

#include <gtest/gtest.h>

namespace lumen {
namespace {

using Paths = std::vector<std::wstring>;

// Little-endian bytes of UTF-16 units, as a sender would put them on the wire.
std::string Wire(std::u16string_view text) {
    std::string bytes;
    for (char16_t u : text) {
        bytes += static_cast<char>(u & 0xFF);
        bytes += static_cast<char>(u >> 8);
    }
    return bytes;
}

Paths Decode(const std::string& bytes) {
    return DecodeHandOver(bytes.data(), bytes.size());
}

TEST(HandOver, RoundTripKeepsEveryPathInOrder) {
    const Paths files = {L"C:\\a.txt", L"D:\\한글 폴더\\메모 1.txt", L"C:\\x\xD83D\xDE00y.txt",
                         L"\\\\server\\share\\f", std::wstring(5000, L'x')};
    const std::u16string text = EncodeHandOver(files);
    EXPECT_EQ(text.substr(0, 9), u"C:\\a.txt\n");
    EXPECT_EQ(text.back(), u'\n');
    EXPECT_EQ(text.find(u'\0'), std::u16string::npos);
    EXPECT_EQ(Decode(Wire(text)), files);
    EXPECT_TRUE(EncodeHandOver({}).empty()) << "no files: cbData 0";
    EXPECT_TRUE(DecodeHandOver(nullptr, 8).empty());
}

TEST(HandOver, MalformedBuffers) {
    struct Case {
        std::string bytes;
        Paths paths;
    } cases[] = {
        {"", {}},
        {Wire(u"a.txt"), {L"a.txt"}},                            // no final line feed
        {Wire(u"a.txt\n") + "b", {L"a.txt"}},                    // odd byte count
        {Wire(u"\n\n a \n\nb\n"), {L" a ", L"b"}},               // empty pieces dropped
        {Wire(std::u16string(u"a.txt\n\0", 7)), {L"a.txt"}},     // a terminating NUL
        {Wire(std::u16string(u"a\0junk\nb", 8)), {L"a", L"b"}},  // a NUL ends its piece
        {Wire(std::u16string(u"\0\0\0", 3)), {}},
        {Wire(u"\r\n"), {L"\r"}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(Decode(c.bytes), c.paths) << testing::PrintToString(c.bytes);
    // An unaligned buffer reads the same.
    const std::string bytes = "?" + Wire(u"가.txt\n");
    EXPECT_EQ(DecodeHandOver(bytes.data() + 1, bytes.size() - 1), Paths{L"가.txt"});
    // A large buffer of line feeds and one long path is read in one linear pass.
    std::u16string big(1'000'000, u'\n');
    big.replace(1000, 3, u"abc");
    EXPECT_EQ(Decode(Wire(big)), Paths{L"abc"});
}

}  // namespace
}  // namespace lumen
