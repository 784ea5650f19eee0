// Saving over a file that another program holds open, with the system's real calls; and the cost of
// a 10 MB save in UTF-8, UTF-16 LE and ANSI, with and without flushing the temporary file (a disabled
// case, run by hand:
// --gtest_also_run_disabled_tests --gtest_filter='SaveBench.*').
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <string_view>
#include <thread>
#include <vector>

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

// A save replaces the file in one step: another program looking at the name while it is saved over
// and over always finds a file there (Wine's own ReplaceFileW leaves a moment without one).
TEST(AtomicWriteWin, TargetNeverMissingDuringSaves) {
    test::TempFolder dir;
    dir.Write(L"t.txt", "first");
    const std::wstring path = dir.Wide(L"t.txt");
    std::atomic<bool> done{false};
    std::atomic<int> looks{0}, missing{0};
    std::thread watcher([&] {
        while (!done) {
            if (GetFileAttributesW(path.c_str()) == INVALID_FILE_ATTRIBUTES) ++missing;
            ++looks;
        }
    });
    const std::string text(4096, 'x');
    for (int i = 0; i < 100; ++i) {
        uint32_t error = 0;
        ASSERT_TRUE(AtomicWrite(SystemSaveFileCalls(), path, text, error, false));
    }
    done = true;
    watcher.join();
    EXPECT_GT(looks, 100);
    EXPECT_EQ(missing, 0);
}

// A save as the save command makes it: the document's UTF-8 bytes encoded (not for UTF-8, which is
// written straight from the editor's buffer), then the atomic write. The encodings and the flush
// choice take turns within each run, so that none of them profits from going first; each encoding
// writes its own file, so that every write replaces a file of its own size.
TEST(SaveBench, DISABLED_TenMegabytes) {
    std::string text;
    for (int line = 0; text.size() < (10u << 20); ++line)
        text += "줄 " + std::to_string(line) +
                ": 빠른 갈색 여우가 게으른 개를 뛰어넘는다 The quick brown fox\r\n";
    test::TempFolder dir;
    struct Row {
        TextEncoding encoding;
        bool flush;
        size_t bytes = 0;
        std::vector<double> encodeMs, totalMs;
    };
    std::vector<Row> rows;
    for (TextEncoding encoding : {TextEncoding::Utf8, TextEncoding::Utf16Le, TextEncoding::Ansi})
        for (bool flush : {true, false})
            rows.push_back({encoding, flush, 0, {}, {}});
    using Clock = std::chrono::steady_clock;
    const auto ms = [](Clock::duration d) { return std::chrono::duration<double, std::milli>(d).count(); };
    for (int run = 0; run < 9; ++run) {
        for (Row& row : rows) {
            const auto start = Clock::now();
            std::string encoded;
            if (row.encoding != TextEncoding::Utf8) encoded = EncodeFromUtf8(text, row.encoding);
            const std::string_view bytes =
                row.encoding == TextEncoding::Utf8 ? std::string_view(text) : encoded;
            const auto encodedAt = Clock::now();
            uint32_t error = 0;
            const std::wstring path =
                dir.Wide(L"bench" + std::to_wstring(static_cast<int>(row.encoding)) + L".txt");
            ASSERT_TRUE(AtomicWrite(SystemSaveFileCalls(), path, bytes, error, row.flush));
            row.encodeMs.push_back(ms(encodedAt - start));
            row.totalMs.push_back(ms(Clock::now() - start));
            row.bytes = bytes.size();
        }
    }
    for (Row& row : rows) {
        std::sort(row.encodeMs.begin(), row.encodeMs.end());
        std::sort(row.totalMs.begin(), row.totalMs.end());
        std::printf("save %-9ls %5.1f MB %-8s median %7.1f ms (encoding %5.1f)  min %7.1f  max %7.1f\n",
                    EncodingDisplayName(row.encoding), row.bytes / 1048576.0,
                    row.flush ? "flush" : "no-flush", row.totalMs[row.totalMs.size() / 2],
                    row.encodeMs[row.encodeMs.size() / 2], row.totalMs.front(), row.totalMs.back());
    }
}

}  // namespace
}  // namespace lumen
