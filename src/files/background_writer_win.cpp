#include <windows.h>

#include "files/background_writer.h"

namespace lumen {

void LowerThisThreadPriority() {
    SetThreadPriority(GetCurrentThread(), THREAD_PRIORITY_BELOW_NORMAL);
}

bool DeleteOwnFile(const std::wstring& path) {
    return DeleteFileW(path.c_str()) != 0;
}

}  // namespace lumen
