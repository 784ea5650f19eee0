// What only the real system shows: LOCALAPPDATA as the process sees it, a settings file locked or made
// read-only by someone else, and replacing a file that a reader holds open.
#include <windows.h>

#include <gtest/gtest.h>

#include <thread>
#include <vector>

#include "files/data_folder.h"
#include "files/replace_file.h"
#include "files/settings.h"
#include "files/settings_invariants.h"
#include "support/temp_folder.h"

namespace lumen {
namespace {

TEST(DataFolderWin, LocalAppDataDecidesTheBaseOnceForAllThreads) {
    test::TempFolder dir;
    const auto old = folder_calls::EnvironmentValue(L"LOCALAPPDATA");
    const std::wstring longest(259, L'a'), tooLong(260, L'a');
    const struct {
        const wchar_t* value;
        std::wstring base;
    } cases[] = {{nullptr, L"."}, {L"", L"."}, {longest.c_str(), longest}, {tooLong.c_str(), L"."}};
    for (const auto& c : cases) {
        SetEnvironmentVariableW(L"LOCALAPPDATA", c.value);
        EXPECT_EQ(DataFolderBase(folder_calls::EnvironmentValue(L"LOCALAPPDATA")), c.base);
    }
    SetEnvironmentVariableW(L"LOCALAPPDATA", dir.Wide().c_str());
    std::vector<const std::wstring*> seen(8);
    std::vector<std::thread> threads;
    for (auto& slot : seen)
        threads.emplace_back([&slot] { slot = &DataFolder(); });
    for (auto& t : threads)
        t.join();
    SetEnvironmentVariableW(L"LOCALAPPDATA", old ? old->c_str() : nullptr);
    for (const std::wstring* folder : seen)
        EXPECT_EQ(folder, &DataFolder());
    EXPECT_NE(GetFileAttributesW(BackupFolder().c_str()), INVALID_FILE_ATTRIBUTES);
    EXPECT_EQ(SettingsPath(), DataFolder() + L"\\settings.ini");
}

TEST(SettingsFileWin, ALockedOrReadOnlyFileIsNeverReplaced) {
    const struct {
        const char* name;
        bool readOnly;  // else locked by another handle without sharing
    } cases[] = {{"locked", false}, {"read-only", true}};
    for (const auto& c : cases) {
        test::TempFolder dir;
        const std::wstring path = dir.Wide(L"settings.ini");
        dir.Write(L"settings.ini", "tab=8\n");
        HANDLE lock = INVALID_HANDLE_VALUE;
        if (c.readOnly)
            SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_READONLY);
        else
            lock = CreateFileW(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
        Settings record;
        const SettingsLoad result = LoadSettingsFile(path, record);
        EXPECT_EQ(result.readOk, c.readOnly) << c.name;
        EXPECT_EQ(result.error, c.readOnly ? 0u : static_cast<uint32_t>(ERROR_SHARING_VIOLATION)) << c.name;
        EXPECT_EQ(record.tab, c.readOnly ? 8 : 4) << c.name;
        record.tab = 2;
        EXPECT_FALSE(SaveSettingsFile(path, record, result)) << c.name;
        if (lock != INVALID_HANDLE_VALUE) CloseHandle(lock);
        SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
        EXPECT_EQ(dir.Read(L"settings.ini"), "tab=8\n") << c.name;
        EXPECT_FALSE(dir.Exists(L"settings.ini.tmp")) << c.name;
    }
}

TEST(ReplaceFileContentWin, ATargetHeldOpenEndsOldOrNewNeverTorn) {
    // A reader that allows deletion (as every read of our own files does) must not block a write;
    // one that does not may, but then the old file stays whole.
    const struct {
        DWORD share;
        bool mustReplace;
    } cases[] = {{FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, true},
                 {FILE_SHARE_READ | FILE_SHARE_WRITE, false}};
    for (const auto& c : cases) {
        test::TempFolder dir;
        const std::wstring path = dir.Wide(L"session.txt");
        dir.Write(L"session.txt", "old");
        HANDLE reader = CreateFileW(path.c_str(), GENERIC_READ, c.share, nullptr, OPEN_EXISTING, 0, nullptr);
        ASSERT_NE(reader, INVALID_HANDLE_VALUE);
        uint32_t error = 0;
        const bool replaced = ReplaceFileContent(path, "new", error);
        CloseHandle(reader);
        EXPECT_EQ(dir.Read(L"session.txt"), replaced ? "new" : "old") << c.share << ", error " << error;
        EXPECT_TRUE(replaced || !c.mustReplace) << c.share << ", error " << error;
        EXPECT_FALSE(dir.Exists(L"session.txt.tmp")) << c.share;
    }
}

}  // namespace
}  // namespace lumen
