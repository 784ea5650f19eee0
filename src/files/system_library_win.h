// Functions of system libraries that only some commands need, loaded from the system folder on first
// use instead of being imported: every imported library is loaded (and initialised, pulling in its
// own imports) before the program's first line runs, and the common-dialog and shell libraries alone
// cost tens of milliseconds of start-up.
#pragma once

#include <windows.h>

namespace lumen {

// The function `name` of `library` (a file name in the system folder), or null when either is
// missing. Callers keep the result in a static: the library stays loaded for the process.
template <typename Function>
Function SystemFunction(const wchar_t* library, const char* name) {
    HMODULE module = LoadLibraryExW(library, nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
    if (!module) return nullptr;
    return reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(module, name)));
}

}  // namespace lumen
