// The settings file on disk: reading whole, replacing through a temporary file, and never replacing a
// file that exists but could not be read. Runs on both builds: the Windows calls and the native
// stand-ins answer the same cases.
#include <gtest/gtest.h>

#include "files/read_whole_file.h"
#include "files/replace_file.h"
#include "files/settings.h"
#include "files/settings_invariants.h"
#include "support/temp_folder.h"

namespace lumen {
namespace {

TEST(ReadWholeFile, ReadsBytesAndTimeOrSaysWhyNot) {
    test::TempFolder dir;
    const std::string bytes("a\0b\r\n\xFF", 6);
    dir.Write(L"f", bytes);
    std::string got;
    uint32_t error = 99;
    uint64_t time = 0;
    ASSERT_TRUE(ReadWholeFile(dir.Wide(L"f"), got, error, &time));
    EXPECT_EQ(got, bytes);
    EXPECT_EQ(error, 0u);
    EXPECT_GT(time, 116444736000000000ull);  // after 1970, in 100 ns units since 1601
    EXPECT_FALSE(ReadWholeFile(dir.Wide(L"missing"), got, error));
    EXPECT_EQ(error, kErrorFileNotFound);
    EXPECT_FALSE(ReadWholeFile(dir.Wide(), got, error));  // a folder
    EXPECT_EQ(error, kErrorAccessDenied);
}

TEST(ReplaceFileContent, CreatesAndReplacesLeavingNoTemporaryFile) {
    test::TempFolder dir;
    uint32_t error = 99;
    ASSERT_TRUE(ReplaceFileContent(dir.Wide(L"own"), "first", error));
    EXPECT_EQ(error, 0u);
    dir.Write(L"own.tmp", "left by an interrupted write");
    ASSERT_TRUE(ReplaceFileContent(dir.Wide(L"own"), std::string(70000, 'z'), error));
    EXPECT_EQ(dir.Read(L"own"), std::string(70000, 'z'));
    EXPECT_FALSE(dir.Exists(L"own.tmp"));
    EXPECT_FALSE(ReplaceFileContent(dir.Wide(L"no\\own"), "x", error));  // no folder to write in
    EXPECT_NE(error, 0u);
}

TEST(SettingsFile, SavedRecordLoadsBack) {
    test::TempFolder dir;
    const std::wstring path = dir.Wide(L"settings.ini");
    Settings saved;
    saved.font = L"나눔고딕코딩", saved.size = 12.5, saved.recent = {L"C:\\x.txt"};
    ASSERT_TRUE(SaveSettingsFile(path, saved, SettingsLoad{}));
    EXPECT_EQ(dir.Read(L"settings.ini"), SettingsText(saved));
    Settings loaded;
    const SettingsLoad result = LoadSettingsFile(path, loaded);
    EXPECT_TRUE(result.readOk && result.fileExisted && result.MayReplaceFile());
    EXPECT_EQ(loaded, saved);
    // The self-test and the benchmark never write.
    EXPECT_FALSE(SaveSettings(saved, SettingsSaveMode::SelfTest, result));
    EXPECT_FALSE(SaveSettings(saved, SettingsSaveMode::Bench, result));
}

TEST(SettingsFile, AFileThatCouldNotBeReadLeavesTheRecordAndIsNeverReplaced) {
    test::TempFolder dir;
    // A folder in the file's place exists but cannot be read, on either build.
    std::filesystem::create_directory(dir.Path(L"folder.ini"));
    const struct {
        const wchar_t* name;
        bool existed;
    } cases[] = {{L"missing.ini", false}, {L"no\\settings.ini", false}, {L"folder.ini", true}};
    for (const auto& c : cases) {
        Settings record;
        record.tab = 3;  // out of range: a failed read does not even fix ranges
        const SettingsLoad result = LoadSettingsFile(dir.Wide(c.name), record);
        EXPECT_EQ(result.fileExisted, c.existed);
        EXPECT_FALSE(result.readOk);
        EXPECT_EQ(record.tab, 3);
        EXPECT_EQ(result.MayReplaceFile(), !c.existed);
    }
    EXPECT_FALSE(SaveSettingsFile(dir.Wide(L"folder.ini"), Settings{}, SettingsLoad{true, false, 5}));
    EXPECT_FALSE(dir.Exists(L"folder.ini.tmp"));
    EXPECT_TRUE(std::filesystem::is_directory(dir.Path(L"folder.ini")));
}

}  // namespace
}  // namespace lumen
