#include <windows.h>

#include <algorithm>

#include "files/read_whole_file.h"

namespace lumen {

bool ReadWholeFile(const std::wstring& path, std::string& bytes, uint32_t& error, uint64_t* lastWriteTime) {
    HANDLE file =
        CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                    nullptr, OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        error = GetLastError();
        return false;
    }
    auto fail = [&](DWORD code) {
        error = code;
        CloseHandle(file);
        return false;
    };
    LARGE_INTEGER size;
    if (!GetFileSizeEx(file, &size)) return fail(GetLastError());
    if (lastWriteTime) {
        FILETIME written;
        if (!GetFileTime(file, nullptr, nullptr, &written)) return fail(GetLastError());
        *lastWriteTime = (uint64_t{written.dwHighDateTime} << 32) | written.dwLowDateTime;
    }
    if (static_cast<uint64_t>(size.QuadPart) > kMaxReadableFileSize) return fail(ERROR_FILE_TOO_LARGE);

    bytes.resize(static_cast<size_t>(size.QuadPart));
    size_t done = 0;
    while (done < bytes.size()) {
        const DWORD want = static_cast<DWORD>(std::min(bytes.size() - done, kFileChunkBytes));
        DWORD got = 0;
        if (!ReadFile(file, bytes.data() + done, want, &got, nullptr)) return fail(GetLastError());
        if (got == 0) break;  // the file shrank while it was read
        done += got;
    }
    bytes.resize(done);
    CloseHandle(file);
    error = 0;
    return true;
}

}  // namespace lumen
