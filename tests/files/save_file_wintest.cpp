// Saving over a file that another program holds open, with the system's real calls; and the cost of
// a 10 MB save with and without flushing the temporary file (a disabled case, run by hand:
// --gtest_also_run_disabled_tests --gtest_filter='SaveBench.*').
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>

#include "files/save_file.h"
#include "files/text_codecs.h"
#include "support/temp_folder.h"

namespace lumen {
namespace {

TEST(AtomicWriteWin, TargetHeldOpenByAnotherProgram) {
    // The other program's access and sharing; whether the save gets through (replaced, or overwritten
    // in place), else the error and the old content.
    const struct {
        DWORD access, share;
        bool ok;
    } cases[] = {
        {GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, true},
        {GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, true},
        {GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, true},
        {GENERIC_READ, FILE_SHARE_READ, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.access) + " " + std::to_string(c.share));
        test::TempFolder dir;
        dir.Write(L"held.txt", "old content");
        const std::wstring path = dir.Wide(L"held.txt");
        HANDLE other = CreateFileW(path.c_str(), c.access, c.share, nullptr, OPEN_EXISTING, 0, nullptr);
        ASSERT_NE(other, INVALID_HANDLE_VALUE);
        uint32_t error = 99;
        const bool ok = AtomicWrite(path, "new", error);
        CloseHandle(other);
        EXPECT_EQ(ok, c.ok);
        EXPECT_EQ(error, c.ok ? 0u : ERROR_SHARING_VIOLATION);
        EXPECT_EQ(dir.Read(L"held.txt"), c.ok ? "new" : "old content");
        // Our temporary file never stays. (A failed ReplaceFileW of Wine 8 leaves its own empty
        // "rf*.tmp" beside the target; the system's own does not.)
        for (const auto& entry : std::filesystem::directory_iterator(dir.Path(L"")))
            EXPECT_FALSE(entry.path().filename().wstring().starts_with(L".~lumenpad"));
    }
}

TEST(SaveBench, DISABLED_TenMegabytes) {
    std::string text;
    for (int line = 0; text.size() < (10u << 20); ++line)
        text += "줄 " + std::to_string(line) +
                ": 빠른 갈색 여우가 게으른 개를 뛰어넘는다 The quick brown fox\r\n";
    test::TempFolder dir;
    const std::wstring path = dir.Wide(L"bench.txt");
    for (TextEncoding encoding : {TextEncoding::Utf8, TextEncoding::Utf16Le, TextEncoding::Ansi}) {
        const std::string bytes = EncodeFromUtf8(text, encoding);
        for (bool flush : {true, false}) {
            std::vector<double> ms;
            for (int run = 0; run < 9; ++run) {
                uint32_t error = 0;
                const auto start = std::chrono::steady_clock::now();
                ASSERT_TRUE(AtomicWrite(SystemSaveFileCalls(), path, bytes, error, flush));
                ms.push_back(
                    std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
                        .count());
            }
            std::sort(ms.begin(), ms.end());
            std::printf("save %-9ls %5.1f MB %-8s median %7.1f ms  min %7.1f  max %7.1f\n",
                        EncodingDisplayName(encoding), bytes.size() / 1048576.0, flush ? "flush" : "no-flush",
                        ms[ms.size() / 2], ms.front(), ms.back());
        }
    }
}

}  // namespace
}  // namespace lumen
