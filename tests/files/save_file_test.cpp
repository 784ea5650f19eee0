// Saving user files over the real file calls of each build, with single calls made to fail: which
// way the save goes, what the target holds afterwards, and that no temporary file stays behind.
#include "files/save_file.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "files/read_whole_file.h"
#include "support/temp_folder.h"

namespace lumen {
namespace {

// The system's calls, logged as letters (W write temp, M move, R replace, D delete, O overwrite);
// a call whose letter is in `fail` fails with `error`. A failing temp write still writes half.
class FaultyCalls final : public SaveFileCalls {
public:
    FaultyCalls(std::string fail, uint32_t error) : fail_(std::move(fail)), error_(error) {}
    std::string log;

    uint32_t ProcessId() override { return real_.ProcessId(); }
    bool Exists(const std::wstring& path, bool& readOnly) override { return real_.Exists(path, readOnly); }
    bool WriteNew(const std::wstring& path, std::string_view bytes, bool flush, uint32_t& error) override {
        if (!Fails('W', error)) return real_.WriteNew(path, bytes, flush, error);
        uint32_t ignored = 0;
        real_.WriteNew(path, bytes.substr(0, bytes.size() / 2), flush, ignored);
        return false;
    }
    bool Move(const std::wstring& from, const std::wstring& to, uint32_t& error) override {
        return !Fails('M', error) && real_.Move(from, to, error);
    }
    bool Replace(const std::wstring& target, const std::wstring& replacement, uint32_t& error) override {
        return !Fails('R', error) && real_.Replace(target, replacement, error);
    }
    void Delete(const std::wstring& path) override {
        log += 'D';
        real_.Delete(path);
    }
    bool Overwrite(const std::wstring& path, std::string_view bytes, bool flush, uint32_t& error) override {
        return !Fails('O', error) && real_.Overwrite(path, bytes, flush, error);
    }

private:
    // Logs the call once and tells whether it is to fail.
    bool Fails(char call, uint32_t& error) {
        log += call;
        if (fail_.find(call) == std::string::npos) return false;
        error = error_;
        return true;
    }
    SaveFileCalls& real_ = SystemSaveFileCalls();
    std::string fail_;
    uint32_t error_;
};

TEST(AtomicWrite, FaultTable) {
    const std::string big(10 << 20, 'x');
    // clang-format off
    const struct { bool existed; const char* fail; uint32_t error; size_t size; bool ok; uint32_t result; const char* log; }
    cases[] = {
        {false, "", 0, 3, true, 0, "WM"},
        {true, "", 0, big.size(), true, 0, "WR"},
        // A full disk while writing the copy leaves the file as it was.
        {true, "W", kErrorDiskFull, 3, false, kErrorDiskFull, "WD"},
        {true, "W", kErrorHandleDiskFull, 3, false, kErrorHandleDiskFull, "WD"},
        // A folder that refuses the copy, or a target that cannot be swapped: overwritten in place.
        {true, "W", kErrorAccessDenied, 3, true, 0, "WDO"},
        {true, "R", kErrorAccessDenied, 3, true, 0, "WRDO"},
        {false, "M", kErrorAccessDenied, 3, true, 0, "WMDO"},
        {false, "W", kErrorPathNotFound, 0, true, 0, "WDO"},
        // Nothing works: the overwrite's own error.
        {true, "RO", 32, 3, false, 32, "WRDO"},
    };
    // clang-format on
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.fail) + " " + std::to_string(c.error));
        test::TempFolder dir;
        if (c.existed) dir.Write(L"a.txt", "old content");
        const std::string bytes = c.size == big.size() ? big : std::string(c.size, 'n');
        FaultyCalls calls(c.fail, c.error);
        uint32_t error = 99;
        EXPECT_EQ(AtomicWrite(calls, dir.Wide(L"a.txt"), bytes, error), c.ok);
        EXPECT_EQ(error, c.result);
        EXPECT_EQ(calls.log, c.log);
        EXPECT_EQ(dir.Read(L"a.txt"), c.ok ? bytes : c.existed ? "old content" : "");
        EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.Path(L"")), {}),
                  c.ok || c.existed ? 1 : 0);
    }
}

TEST(AtomicWrite, ReadOnlyTargetAndVanishedFolder) {
    test::TempFolder dir;
    dir.Write(L"ro.txt", "kept");
    namespace fs = std::filesystem;
    fs::permissions(dir.Path(L"ro.txt"), fs::perms::owner_write, fs::perm_options::remove);
    uint32_t error = 0;
    EXPECT_FALSE(AtomicWrite(dir.Wide(L"ro.txt"), "new", error));
    EXPECT_EQ(error, kErrorAccessDenied);
    fs::permissions(dir.Path(L"ro.txt"), fs::perms::owner_write, fs::perm_options::add);
    EXPECT_EQ(dir.Read(L"ro.txt"), "kept");

    EXPECT_FALSE(AtomicWrite(dir.Wide(L"gone\\a.txt"), "new", error));
    EXPECT_NE(error, 0u);
    EXPECT_EQ(std::distance(fs::directory_iterator(dir.Path(L"")), {}), 1);

    // The plain create-and-write, as the self-test uses it.
    EXPECT_TRUE(WriteNewFile(dir.Wide(L"ro.txt"), "plain", &error));
    EXPECT_EQ(dir.Read(L"ro.txt"), "plain");
    EXPECT_FALSE(WriteNewFile(dir.Wide(L"gone\\a.txt"), "x", &error));
    EXPECT_NE(error, 0u);
}

TEST(AtomicWrite, TemporaryNameBesideTheTarget) {
    EXPECT_EQ(SaveTempPath(L"C:\\notes\\a.txt", 4120), L"C:\\notes\\.~lumenpad4120.tmp");
    EXPECT_EQ(SaveTempPath(L"C:\\a/b.txt", 7), L"C:\\a\\.~lumenpad7.tmp");
    EXPECT_EQ(SaveTempPath(L"C:/x\\b.txt", 7), L"C:/x\\.~lumenpad7.tmp");
    EXPECT_EQ(SaveTempPath(L"b.txt", 1), L".\\.~lumenpad1.tmp");
    EXPECT_EQ(SaveTempPath(L"\\b.txt", 1), L"\\.~lumenpad1.tmp");
}

}  // namespace
}  // namespace lumen
