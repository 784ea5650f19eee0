// The per-user data folder that holds the settings file, the session file and the backup folder:
// LOCALAPPDATA + "\Lumenpad", moved there from the earlier name "Scrivo" once if needed. Paths are
// wide strings with backslashes on every build (the native stand-ins translate them).
#pragma once

#include <optional>
#include <string>

namespace lumen {

// Environment values of this many UTF-16 units or more are not used as the base.
inline constexpr size_t kLocalAppDataLimit = 260;

// The folder that holds the data folder: the LOCALAPPDATA value, or "." (the current folder) when it
// is missing, empty or too long.
std::wstring DataFolderBase(const std::optional<std::wstring>& localAppData);

// Makes base + "\Lumenpad" ready and returns it: when it does not exist, the folder of the earlier
// name is moved there; then the folder and its "backup" folder are created. Every failure is
// ignored, so the program starts (with defaults) even where nothing can be created.
std::wstring PrepareDataFolder(const std::wstring& base);

// PrepareDataFolder of the LOCALAPPDATA base, computed once per process on first use (safe from any
// thread); later calls return the same path. No trailing backslash.
const std::wstring& DataFolder();

// DataFolder() + "\backup".
std::wstring BackupFolder();

// The few kernel calls the folder needs (Windows, and native stand-ins over POSIX).
namespace folder_calls {
std::optional<std::wstring> EnvironmentValue(const wchar_t* name);  // none when unset
bool Exists(const std::wstring& path);                              // GetFileAttributesW succeeds
bool Move(const std::wstring& from, const std::wstring& to);        // MoveFileW
bool CreateFolder(const std::wstring& path);                        // CreateDirectoryW
}  // namespace folder_calls

}  // namespace lumen
