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

namespace {

bool OnLocalFixedDisk(const std::wstring& path) {
    wchar_t volume[MAX_PATH + 1];
    if (!GetVolumePathNameW(path.c_str(), volume, MAX_PATH + 1)) return false;
    return GetDriveTypeW(volume) == DRIVE_FIXED;
}

}  // namespace

bool ReadFileBytes(const std::wstring& path, FileBytes& out, uint32_t& error, uint64_t* lastWriteTime) {
    out = FileBytes{};
    if (!OnLocalFixedDisk(path)) return ReadWholeFile(path, out.copy, error, lastWriteTime);
    HANDLE file =
        CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                    nullptr, OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        error = GetLastError();
        return false;
    }
    LARGE_INTEGER size;
    FILETIME written;
    if (!GetFileSizeEx(file, &size) || (lastWriteTime && !GetFileTime(file, nullptr, nullptr, &written))) {
        error = GetLastError();
        CloseHandle(file);
        return false;
    }
    if (static_cast<uint64_t>(size.QuadPart) > kMaxReadableFileSize) {
        error = ERROR_FILE_TOO_LARGE;
        CloseHandle(file);
        return false;
    }
    if (lastWriteTime) *lastWriteTime = (uint64_t{written.dwHighDateTime} << 32) | written.dwLowDateTime;
    // An empty file cannot be mapped, and has nothing to map.
    HANDLE mapping =
        size.QuadPart > 0 ? CreateFileMappingW(file, nullptr, PAGE_READONLY, 0, 0, nullptr) : nullptr;
    const void* view = mapping ? MapViewOfFile(mapping, FILE_MAP_READ, 0, 0, 0) : nullptr;
    if (mapping) CloseHandle(mapping);  // the view keeps the section alive
    CloseHandle(file);
    if (!view) {
        if (size.QuadPart > 0) return ReadWholeFile(path, out.copy, error, lastWriteTime);
        error = 0;
        return true;
    }
    out.view = std::shared_ptr<const char>(static_cast<const char*>(view),
                                           [](const char* p) { UnmapViewOfFile(p); });
    out.viewSize = static_cast<size_t>(size.QuadPart);
    error = 0;
    return true;
}

}  // namespace lumen
