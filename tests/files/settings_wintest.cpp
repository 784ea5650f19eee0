// What only the real system shows: LOCALAPPDATA as the process sees it, a settings file locked or
// made read-only by someone else, and replacing a file that a reader holds open.
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

using test::TempFolder;

// Sets LOCALAPPDATA for one scope and puts the previous value back.
class LocalAppData {
public:
    explicit LocalAppData(const wchar_t* value) : old_(folder_calls::EnvironmentValue(L"LOCALAPPDATA")) {
        SetEnvironmentVariableW(L"LOCALAPPDATA", value);
    }
    ~LocalAppData() { SetEnvironmentVariableW(L"LOCALAPPDATA", old_ ? old_->c_str() : nullptr); }

private:
    std::optional<std::wstring> old_;
};

std::wstring BaseNow() {
    return DataFolderBase(folder_calls::EnvironmentValue(L"LOCALAPPDATA"));
}

TEST(DataFolderWin, LocalAppDataDecidesTheBase) {
    TempFolder dir;
    const std::wstring longest(259, L'a'), tooLong(260, L'a');
    {
        LocalAppData set(nullptr);
        EXPECT_EQ(BaseNow(), L".");
    }
    {
        LocalAppData set(L"");
        EXPECT_EQ(BaseNow(), L".");
    }
    {
        LocalAppData set(longest.c_str());
        EXPECT_EQ(BaseNow(), longest);
    }
    {
        LocalAppData set(tooLong.c_str());
        EXPECT_EQ(BaseNow(), L".");
    }
    // Computed once, whichever thread asks first; later changes of the variable do not move it.
    LocalAppData set(dir.Wide().c_str());
    std::vector<const std::wstring*> seen(8);
    std::vector<std::thread> threads;
    for (auto& slot : seen)
        threads.emplace_back([&slot] { slot = &DataFolder(); });
    for (auto& t : threads)
        t.join();
    for (const std::wstring* folder : seen)
        EXPECT_EQ(folder, &DataFolder());
    EXPECT_NE(GetFileAttributesW(BackupFolder().c_str()), INVALID_FILE_ATTRIBUTES) << BackupFolder().c_str();
    EXPECT_EQ(SettingsPath(), DataFolder() + L"\\settings.ini");
}

HANDLE Open(const std::wstring& path, DWORD access, DWORD share) {
    return CreateFileW(path.c_str(), access, share, nullptr, OPEN_EXISTING, 0, nullptr);
}

TEST(SettingsFileWin, ALockedFileIsNeitherReadNorReplaced) {
    TempFolder dir;
    const std::wstring path = dir.Wide(L"settings.ini");
    dir.Write(L"settings.ini", "tab=8\n");
    HANDLE lock = Open(path, GENERIC_READ, 0);
    ASSERT_NE(lock, INVALID_HANDLE_VALUE);
    Settings record;
    const SettingsLoad result = LoadSettingsFile(path, record);
    EXPECT_EQ(result.error, static_cast<uint32_t>(ERROR_SHARING_VIOLATION));
    EXPECT_TRUE(result.fileExisted && !result.readOk);
    EXPECT_EQ(record, Settings{});
    EXPECT_FALSE(SaveSettingsFile(path, record, result));
    CloseHandle(lock);
    EXPECT_EQ(dir.Read(L"settings.ini"), "tab=8\n");
    EXPECT_FALSE(dir.Exists(L"settings.ini.tmp"));
}

TEST(SettingsFileWin, AReadOnlyFileIsReadButKept) {
    TempFolder dir;
    const std::wstring path = dir.Wide(L"settings.ini");
    dir.Write(L"settings.ini", "tab=8\n");
    ASSERT_TRUE(SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_READONLY));
    Settings record;
    const SettingsLoad result = LoadSettingsFile(path, record);
    EXPECT_TRUE(result.readOk);
    EXPECT_EQ(record.tab, 8);
    record.tab = 2;
    EXPECT_FALSE(SaveSettingsFile(path, record, result));
    EXPECT_EQ(dir.Read(L"settings.ini"), "tab=8\n");
    EXPECT_FALSE(dir.Exists(L"settings.ini.tmp"));
    SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
}

TEST(ReplaceFileContentWin, ATargetHeldOpenEndsOldOrNewNeverTorn) {
    struct Case {
        const char* name;
        DWORD share;
        bool mustReplace;
    };
    // A reader that allows deletion (as every read of our own files does) must not block a write.
    const Case cases[] = {
        {"reader sharing read, write, delete", FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, true},
        {"reader sharing read and write", FILE_SHARE_READ | FILE_SHARE_WRITE, false},
    };
    for (const Case& c : cases) {
        TempFolder dir;
        const std::wstring path = dir.Wide(L"session.txt");
        dir.Write(L"session.txt", "old");
        HANDLE reader = Open(path, GENERIC_READ, c.share);
        ASSERT_NE(reader, INVALID_HANDLE_VALUE);
        uint32_t error = 0;
        const bool replaced = ReplaceFileContent(path, "new content", error);
        CloseHandle(reader);
        const std::string now = dir.Read(L"session.txt");
        EXPECT_EQ(now, replaced ? "new content" : "old") << c.name << ", error " << error;
        if (c.mustReplace) {
            EXPECT_TRUE(replaced) << c.name << ", error " << error;
        }
        EXPECT_FALSE(dir.Exists(L"session.txt.tmp")) << c.name;
    }
}

}  // namespace
}  // namespace lumen
