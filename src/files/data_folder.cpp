#include "files/data_folder.h"

namespace lumen {

std::wstring DataFolderBase(const std::optional<std::wstring>& localAppData) {
    if (!localAppData || localAppData->empty() || localAppData->size() >= kLocalAppDataLimit) return L".";
    return *localAppData;
}

std::wstring PrepareDataFolder(const std::wstring& base) {
    std::wstring folder = base + L"\\Lumenpad";
    // The program's earlier name: its settings, session and backups move along in one step.
    if (!folder_calls::Exists(folder)) folder_calls::Move(base + L"\\Scrivo", folder);
    folder_calls::CreateFolder(folder);
    folder_calls::CreateFolder(folder + L"\\backup");
    return folder;
}

const std::wstring& DataFolder() {
    static const std::wstring folder =
        PrepareDataFolder(DataFolderBase(folder_calls::EnvironmentValue(L"LOCALAPPDATA")));
    return folder;
}

std::wstring BackupFolder() {
    return DataFolder() + L"\\backup";
}

}  // namespace lumen
