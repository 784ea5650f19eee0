// The system's sort keys against its own comparison, under the test's locale: sorting builds one key
// per line and compares keys, so the two orders must be the same for every pair of lines (empty lines
// and lines of ignorable characters, such as U+FFFD from invalid bytes, included).
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "tools/line_tools_platform.h"

namespace lumen {
namespace {

int Sign(int v) {
    return v < 0 ? -1 : v > 0 ? 1 : 0;
}

TEST(LineToolsPlatform, SortKeysOrderAsTheComparisonDoes) {
    std::vector<std::wstring> lines = {
        L"item10", L"item9",  L"item1",    L"b",      L"a",           L"B",     L"가나",  L"가",
        L"나",     L"A",      L"a1",       L"a01",    L"a001",        L"file2", L"File2", L"file10",
        L"Äbc",    L"abc",    L"Abc",      L"a b",    L"a-b",         L"ab",    L"",      L" ",
        L"x 9 y",  L"x 10 y", L"ｆｕｌｌ", L"full",   L"é",           L"e",     L"E",     L"\U0001F600",
        L"12",     L"012",    L"2",        L"\xFFFD", L"\xFFFD\xFFFD"};
    std::mt19937 random(7);
    const std::wstring pieces[] = {L"a", L"B", L"1", L"10",         L"0",      L"가", L"힣",
                                   L" ", L"-", L"é", L"\U0001F600", L"\xFFFD", L"\t"};
    for (int i = 0; i < 60; ++i) {
        std::wstring line;
        for (int n = static_cast<int>(random() % 6); n > 0; --n)
            line += pieces[random() % std::size(pieces)];
        lines.push_back(line);
    }
    std::vector<std::string> keys;
    for (const std::wstring& line : lines) {
        std::string key;
        ASSERT_TRUE(AppendSortKey(line.data(), line.size(), key)) << "no key for line " << keys.size();
        keys.push_back(key);
    }
    for (size_t i = 0; i < lines.size(); ++i)
        for (size_t j = 0; j < lines.size(); ++j)
            ASSERT_EQ(
                Sign(std::string_view(keys[i]).compare(keys[j])),
                Sign(CompareLinesForSort(lines[i].data(), lines[i].size(), lines[j].data(), lines[j].size())))
                << "lines " << i << " and " << j;
}

}  // namespace
}  // namespace lumen
