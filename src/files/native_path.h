// Native build only: the stand-ins for the kernel's file calls take the same wide, backslash-separated
// paths as the Windows build and report the same system error codes.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace lumen {

// UTF-16 path to a UTF-8 POSIX path, with every backslash turned into a slash.
std::string NativePath(std::wstring_view path);

// The system error code the Windows build reports for the same failure (2, 3, 5, 112 or 31).
uint32_t SystemErrorFromErrno(int err);

}  // namespace lumen
