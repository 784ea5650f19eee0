#include "files/native_path.h"

#include <cerrno>

#include "files/code_page.h"

namespace lumen {

std::string NativePath(std::wstring_view path) {
    std::string out = WideToUtf8(path);
    for (char& c : out)
        if (c == '\\') c = '/';
    return out;
}

uint32_t SystemErrorFromErrno(int err) {
    switch (err) {
        case ENOENT:
            return 2;  // ERROR_FILE_NOT_FOUND
        case ENOTDIR:
            return 3;  // ERROR_PATH_NOT_FOUND
        case EACCES:
        case EPERM:
        case EISDIR:
        case EROFS:
            return 5;  // ERROR_ACCESS_DENIED
        case ENOSPC:
            return 112;  // ERROR_DISK_FULL
        case EFBIG:
            return 223;  // ERROR_FILE_TOO_LARGE
        default:
            return 31;  // ERROR_GEN_FAILURE
    }
}

}  // namespace lumen
