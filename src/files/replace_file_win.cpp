#include <windows.h>

#include <algorithm>

#include "files/read_whole_file.h"
#include "files/replace_file.h"

namespace lumen {
namespace {

uint32_t LastErrorOr(uint32_t fallback) {
    const DWORD error = GetLastError();
    return error ? error : fallback;
}

// Creates or truncates the file and writes every byte to the disk before returning.
bool WriteFlushed(const std::wstring& path, std::string_view bytes, uint32_t& error) {
    HANDLE file =
        CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        error = LastErrorOr(kErrorWriteFault);
        return false;
    }
    bool ok = true;
    for (size_t done = 0; ok && done < bytes.size();) {
        const DWORD want = static_cast<DWORD>(std::min(bytes.size() - done, kFileChunkBytes));
        DWORD wrote = 0;
        ok = WriteFile(file, bytes.data() + done, want, &wrote, nullptr) && wrote == want;
        done += wrote;
    }
    ok = ok && FlushFileBuffers(file);
    if (!ok) error = LastErrorOr(kErrorWriteFault);
    CloseHandle(file);
    return ok;
}

}  // namespace

bool ReplaceFileContent(const std::wstring& path, std::string_view bytes, uint32_t& error) {
    // Windows refuses to move over a read-only file; Wine does not. Checking first keeps the user's
    // read-only mark meaningful everywhere, and writes no temporary file in vain.
    const DWORD attributes = GetFileAttributesW(path.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY)) {
        error = kErrorAccessDenied;
        return false;
    }
    const std::wstring temp = path + L".tmp";
    if (!WriteFlushed(temp, bytes, error)) {
        DeleteFileW(temp.c_str());
        return false;
    }
    if (MoveFileExW(temp.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        error = 0;
        return true;
    }
    error = LastErrorOr(kErrorAccessDenied);
    // A target that a reader holds open cannot be renamed over, but it can be swapped out.
    if (attributes != INVALID_FILE_ATTRIBUTES &&
        ReplaceFileW(path.c_str(), temp.c_str(), nullptr, REPLACEFILE_IGNORE_MERGE_ERRORS, nullptr,
                     nullptr)) {
        error = 0;
        return true;
    }
    DeleteFileW(temp.c_str());
    return false;
}

}  // namespace lumen
