#include <windows.h>

#include "app/command_line.h"

namespace lumen {

std::wstring FullPath(const std::wstring& arg) {
    constexpr DWORD kCapacity = 32768;
    std::wstring buffer(kCapacity, L'\0');
    const DWORD length = GetFullPathNameW(arg.c_str(), kCapacity, buffer.data(), nullptr);
    if (length == 0 || length >= kCapacity) return arg;
    buffer.resize(length);
    return buffer;
}

}  // namespace lumen
