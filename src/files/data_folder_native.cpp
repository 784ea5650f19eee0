// Native stand-ins for the data folder's kernel calls, over POSIX.
#include <sys/stat.h>

#include <cstdio>
#include <cstdlib>

#include "files/code_page.h"
#include "files/data_folder.h"
#include "files/native_path.h"

namespace lumen::folder_calls {

std::optional<std::wstring> EnvironmentValue(const wchar_t* name) {
    const char* value = std::getenv(WideToUtf8(name).c_str());
    if (!value) return std::nullopt;
    return Utf8ToWide(value);
}

bool Exists(const std::wstring& path) {
    struct stat info;
    return stat(NativePath(path).c_str(), &info) == 0;
}

bool Move(const std::wstring& from, const std::wstring& to) {
    // MoveFileW never replaces an existing target; rename would replace an empty folder.
    if (Exists(to)) return false;
    return std::rename(NativePath(from).c_str(), NativePath(to).c_str()) == 0;
}

bool CreateFolder(const std::wstring& path) {
    return mkdir(NativePath(path).c_str(), 0777) == 0;
}

}  // namespace lumen::folder_calls
