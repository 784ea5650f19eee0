#include "app/saving.h"

#include <gtest/gtest.h>

namespace lumen {
namespace {

// The name a save dialog starts with: only a file tab's name, a memo's title made fit for a file
// name, ".txt" only for a memo without a full stop.
TEST(SuggestedSaveName, FileNameOrCleanedMemoTitle) {
    const struct {
        const wchar_t* path;
        const wchar_t* title;
        const wchar_t* expected;
    } cases[] = {
        {L"", L"a/b:c", L"a_b_c.txt"},
        {L"", L"notes.md", L"notes.md"},
        {L"", L"", L"새 메모.txt"},
        {L"", L"\\*?\"<>|", L"_______.txt"},
        {L"C:\\notes\\a.txt", L"", L"a.txt"},
        {L"C:\\notes\\README", L"", L"README"},
        {L"rel/dir/x.log", L"ignored", L"x.log"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(SuggestedSaveName(c.path, c.title), c.expected) << c.title;
}

}  // namespace
}  // namespace lumen
