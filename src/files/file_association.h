// Registering the program, for the current user only, as an editor of common text file types: it is
// then offered in the shell's open-with list and in the Windows default-apps settings, where the user
// makes the final choice. Nothing here changes a file type's default handler, asks for elevation or
// removes the registration.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#ifdef _WIN32
#include <windows.h>
#endif

namespace lumen {

struct Palette;

inline constexpr wchar_t kProgId[] = L"Lumenpad.Document";
inline constexpr wchar_t kApplicationKey[] = L"Lumenpad.exe";
inline constexpr wchar_t kRegisteredName[] = L"Lumenpad";
inline constexpr wchar_t kDefaultAppsPage[] = L"ms-settings:defaultapps?registeredAppUser=Lumenpad";

// One value under the current user's hive; `none` values have no data (REG_NONE), the others are
// strings (REG_SZ). An empty name is the key's unnamed value.
struct RegistryValue {
    std::wstring key, name;
    bool none = false;
    std::wstring data;
    bool operator==(const RegistryValue&) const = default;
};

// The text extensions offered, in the order they are registered.
const std::vector<std::wstring>& AssociatedExtensions();

// Every value to write for the program at `programPath`, in the order of writing: the seven fixed
// ones, three per extension, then the registered-application entry. The path is quoted, so spaces
// and any other characters in it reach the shell whole.
std::vector<RegistryValue> FileAssociationValues(const std::wstring& programPath);

#ifdef _WIN32
// Writes every value (a value that cannot be written does not stop the others), tells the shell that
// associations changed, and offers to open the default-apps page in a message dialog over `owner`.
void RegisterFileAssociations(HWND owner, const Palette& palette, int32_t dpi);
#endif

}  // namespace lumen
