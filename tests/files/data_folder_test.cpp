// The data folder's one-time move from the program's earlier name, in a temporary folder on both
// builds (where LOCALAPPDATA leads is tested under Wine).
#include "files/data_folder.h"

#include <gtest/gtest.h>

#include "support/temp_folder.h"

namespace lumen {
namespace {

TEST(DataFolder, EarlierNameMovesOnceAndNeverOverANewFolder) {
    const struct {
        bool oldFolder, newFolder;
        const char* settingsFound;  // in Lumenpad afterwards, "" for none
    } cases[] = {{false, false, ""}, {true, false, "old"}, {true, true, "new"}, {false, true, "new"}};
    for (const auto& c : cases) {
        test::TempFolder base;
        if (c.oldFolder) {
            std::filesystem::create_directories(base.Path(L"Scrivo\\backup"));
            base.Write(L"Scrivo\\settings.ini", "old");
            base.Write(L"Scrivo\\backup\\01db2c5e9a3f4b1000a7.txt", "memo");
        }
        if (c.newFolder) {
            std::filesystem::create_directories(base.Path(L"Lumenpad"));
            base.Write(L"Lumenpad\\settings.ini", "new");
        }
        SCOPED_TRACE(testing::Message() << "old " << c.oldFolder << ", new " << c.newFolder);
        EXPECT_EQ(PrepareDataFolder(base.Wide()), base.Wide(L"Lumenpad"));
        EXPECT_TRUE(std::filesystem::is_directory(base.Path(L"Lumenpad\\backup")));
        EXPECT_EQ(base.Read(L"Lumenpad\\settings.ini"), c.settingsFound);
        EXPECT_EQ(base.Exists(L"Scrivo"), c.oldFolder && c.newFolder);
        EXPECT_EQ(base.Exists(L"Lumenpad\\backup\\01db2c5e9a3f4b1000a7.txt"), c.oldFolder && !c.newFolder);
    }
    // A base where nothing can be created: the path still comes back, and nothing is harmed.
    test::TempFolder dir;
    dir.Write(L"file", "not a folder");
    EXPECT_EQ(PrepareDataFolder(dir.Wide(L"file")), dir.Wide(L"file\\Lumenpad"));
    EXPECT_EQ(dir.Read(L"file"), "not a folder");
}

}  // namespace
}  // namespace lumen
