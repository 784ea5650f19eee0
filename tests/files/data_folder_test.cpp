// Where the data folder goes and its one-time move from the program's earlier name, in a temporary
// folder on both builds.
#include "files/data_folder.h"

#include <gtest/gtest.h>

#include "files/settings.h"
#include "files/settings_invariants.h"  // also how a record prints
#include "support/temp_folder.h"

namespace lumen {
namespace {

using test::TempFolder;

TEST(DataFolder, BaseComesFromLocalAppDataWhenUsable) {
    EXPECT_EQ(DataFolderBase(std::nullopt), L".");
    EXPECT_EQ(DataFolderBase(L""), L".");
    EXPECT_EQ(DataFolderBase(L"C:\\Users\\민지\\AppData\\Local"), L"C:\\Users\\민지\\AppData\\Local");
    EXPECT_EQ(DataFolderBase(std::wstring(259, L'a')), std::wstring(259, L'a'));
    EXPECT_EQ(DataFolderBase(std::wstring(260, L'a')), L".");
}

struct MoveCase {
    const char* name;
    bool oldFolder, newFolder;
    const char* settingsFound;  // content of Lumenpad\settings.ini afterwards, "" when none
    bool oldKept;
};

TEST(DataFolder, EarlierNameMovesOnceAndNeverOverANewFolder) {
    const MoveCase cases[] = {
        {"fresh start", false, false, "", false},
        {"only the old folder: moved whole", true, false, "old", false},
        {"both: the new one wins, the old one stays", true, true, "new", true},
        {"only the new folder", false, true, "new", false},
    };
    for (const MoveCase& c : cases) {
        TempFolder base;
        if (c.oldFolder) {
            std::filesystem::create_directories(base.Path(L"Scrivo\\backup"));
            base.Write(L"Scrivo\\settings.ini", "old");
            base.Write(L"Scrivo\\session.txt", "session");
            base.Write(L"Scrivo\\backup\\01db2c5e9a3f4b1000a7.txt", "memo");
        }
        if (c.newFolder) {
            std::filesystem::create_directories(base.Path(L"Lumenpad"));
            base.Write(L"Lumenpad\\settings.ini", "new");
        }
        EXPECT_EQ(PrepareDataFolder(base.Wide()), base.Wide(L"Lumenpad")) << c.name;
        EXPECT_TRUE(std::filesystem::is_directory(base.Path(L"Lumenpad\\backup"))) << c.name;
        EXPECT_EQ(base.Read(L"Lumenpad\\settings.ini"), c.settingsFound) << c.name;
        EXPECT_EQ(base.Exists(L"Scrivo"), c.oldKept) << c.name;
        if (c.oldFolder && !c.newFolder) {
            EXPECT_EQ(base.Read(L"Lumenpad\\session.txt"), "session");
            EXPECT_EQ(base.Read(L"Lumenpad\\backup\\01db2c5e9a3f4b1000a7.txt"), "memo");
        }
    }
}

TEST(DataFolder, NothingCanBeCreatedYetTheSettingsLoadAsDefaults) {
    TempFolder dir;
    dir.Write(L"file", "a file where the base folder should be");
    const std::wstring folder = PrepareDataFolder(dir.Wide(L"file"));
    EXPECT_EQ(folder, dir.Wide(L"file\\Lumenpad"));
    EXPECT_EQ(dir.Read(L"file"), "a file where the base folder should be");

    Settings record;
    const SettingsLoad result = LoadSettingsFile(folder + L"\\settings.ini", record);
    EXPECT_EQ(record, Settings{});
    EXPECT_TRUE(result.MayReplaceFile());
}

}  // namespace
}  // namespace lumen
