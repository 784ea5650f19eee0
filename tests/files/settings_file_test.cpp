// The settings file on disk: reading it whole, replacing it through a temporary file, and the rule
// that a file which exists but could not be read is never replaced. Runs on both builds, so the
// Windows calls and the native stand-ins answer the same cases.
#include <gtest/gtest.h>

#include "files/read_whole_file.h"
#include "files/replace_file.h"
#include "files/settings.h"
#include "files/settings_invariants.h"
#include "support/temp_folder.h"

namespace lumen {
namespace {

using test::TempFolder;

TEST(ReadWholeFile, ReadsBytesAndTimeOrReportsWhyNot) {
    TempFolder dir;
    const std::string bytes("a\0b\r\n\xFF", 6);
    dir.Write(L"f.bin", bytes);
    std::string got;
    uint32_t error = 99;
    uint64_t time = 0;
    ASSERT_TRUE(ReadWholeFile(dir.Wide(L"f.bin"), got, error, &time));
    EXPECT_EQ(got, bytes);
    EXPECT_EQ(error, 0u);
    EXPECT_GT(time, 116444736000000000ull);  // after 1970, in 100 ns units since 1601

    dir.Write(L"empty", "");
    ASSERT_TRUE(ReadWholeFile(dir.Wide(L"empty"), got, error));
    EXPECT_EQ(got, "");

    EXPECT_FALSE(ReadWholeFile(dir.Wide(L"missing"), got, error));
    EXPECT_EQ(error, kErrorFileNotFound);
    EXPECT_FALSE(ReadWholeFile(dir.Wide(), got, error));  // a folder
    EXPECT_EQ(error, kErrorAccessDenied);
}

TEST(ReplaceFileContent, CreatesAndReplacesLeavingNoTemporaryFile) {
    TempFolder dir;
    const std::wstring path = dir.Wide(L"own.txt");
    uint32_t error = 99;
    ASSERT_TRUE(ReplaceFileContent(path, "first", error));
    EXPECT_EQ(error, 0u);
    EXPECT_EQ(dir.Read(L"own.txt"), "first");
    dir.Write(L"own.txt.tmp", "left over by an interrupted write");
    ASSERT_TRUE(ReplaceFileContent(path, std::string(70000, 'z'), error));
    EXPECT_EQ(dir.Read(L"own.txt"), std::string(70000, 'z'));
    EXPECT_FALSE(dir.Exists(L"own.txt.tmp"));
    // No folder to write in: nothing is created, the error is reported.
    EXPECT_FALSE(ReplaceFileContent(dir.Wide(L"no\\own.txt"), "x", error));
    EXPECT_NE(error, 0u);
    EXPECT_FALSE(dir.Exists(L"no"));
}

TEST(SettingsFile, SavesAndLoadsTheWholeRecord) {
    TempFolder dir;
    const std::wstring path = dir.Wide(L"settings.ini");
    Settings saved;
    saved.font = L"나눔고딕코딩", saved.size = 12.5, saved.rect = {1, 2, 3, 4}, saved.recent = {L"C:\\x.txt"};
    ASSERT_TRUE(SaveSettingsFile(path, saved, SettingsLoad{}));
    EXPECT_EQ(dir.Read(L"settings.ini"), SettingsText(saved));
    EXPECT_FALSE(dir.Exists(L"settings.ini.tmp"));

    Settings loaded;
    const SettingsLoad result = LoadSettingsFile(path, loaded);
    EXPECT_TRUE(result.readOk && result.fileExisted && result.MayReplaceFile());
    EXPECT_EQ(result.error, 0u);
    EXPECT_EQ(loaded, saved);

    // The self-test and the benchmark never write.
    EXPECT_FALSE(SaveSettings(saved, SettingsSaveMode::SelfTest, result));
    EXPECT_FALSE(SaveSettings(saved, SettingsSaveMode::Bench, result));
}

TEST(SettingsFile, MissingFileLeavesTheRecordAsItIsAndMayBeCreated) {
    TempFolder dir;
    for (const wchar_t* name : {L"settings.ini", L"no-folder\\settings.ini"}) {
        Settings record;
        record.tab = 3;  // out of range: a failed read does not even fix ranges
        const SettingsLoad result = LoadSettingsFile(dir.Wide(name), record);
        EXPECT_FALSE(result.readOk || result.fileExisted);
        EXPECT_NE(result.error, 0u);
        EXPECT_TRUE(result.MayReplaceFile());
        EXPECT_EQ(record.tab, 3);
    }
}

TEST(SettingsFile, AFileThatCouldNotBeReadIsNeverReplaced) {
    TempFolder dir;
    // A folder in the file's place cannot be read on either build.
    std::filesystem::create_directory(dir.Path(L"settings.ini"));
    Settings record;
    record.theme = 5;
    const SettingsLoad result = LoadSettingsFile(dir.Wide(L"settings.ini"), record);
    EXPECT_TRUE(result.fileExisted);
    EXPECT_FALSE(result.readOk || result.MayReplaceFile());
    EXPECT_EQ(record.theme, 5);
    EXPECT_FALSE(SaveSettingsFile(dir.Wide(L"settings.ini"), record, result));
    EXPECT_FALSE(dir.Exists(L"settings.ini.tmp"));
    EXPECT_TRUE(std::filesystem::is_directory(dir.Path(L"settings.ini")));
}

}  // namespace
}  // namespace lumen
