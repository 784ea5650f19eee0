// FullPath against the real GetFullPathNameW.
#include <windows.h>

#include <gtest/gtest.h>

#include "app/command_line.h"

namespace lumen {
namespace {

std::wstring CurrentDirectory() {
    wchar_t buffer[MAX_PATH];
    const DWORD n = GetCurrentDirectoryW(MAX_PATH, buffer);
    std::wstring dir(buffer, n);
    if (!dir.empty() && dir.back() != L'\\') dir += L'\\';
    return dir;
}

TEST(FullPath, RelativeNamesAreResolvedAgainstTheCurrentFolder) {
    EXPECT_EQ(FullPath(L"notes.txt"), CurrentDirectory() + L"notes.txt");
    EXPECT_EQ(FullPath(L"--selftest"), CurrentDirectory() + L"--selftest");
    EXPECT_EQ(FullPath(L"한글 메모.txt"), CurrentDirectory() + L"한글 메모.txt");
}

TEST(FullPath, AbsolutePathsAreNormalised) {
    EXPECT_EQ(FullPath(L"C:\\a\\b\\..\\c.txt"), L"C:\\a\\c.txt");
    EXPECT_EQ(FullPath(L"C:/a/c.txt"), L"C:\\a\\c.txt");
}

TEST(FullPath, TooLongForTheBufferIsKeptAsWritten) {
    const std::wstring longName = L"C:\\" + std::wstring(40000, L'x');
    EXPECT_EQ(FullPath(longName), longName);
}

}  // namespace
}  // namespace lumen
