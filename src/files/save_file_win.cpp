#include <windows.h>

#include <algorithm>

#include "files/read_whole_file.h"
#include "files/save_file.h"

namespace lumen {
namespace {

uint32_t LastErrorOr(uint32_t fallback) {
    const DWORD error = GetLastError();
    return error ? error : fallback;
}

// Wine's ReplaceFileW moves the target aside, deletes it and only then moves the replacement in: a
// crash in between leaves no file under the target's name at all (the crash test caught it). Its
// MoveFileExW is a single rename, which never does. The system's own ReplaceFileW swaps the file in
// without such a gap and keeps the target's identity and attributes, so there it stays first.
bool RunningOnWine() {
    static const bool wine = GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "wine_get_version") != nullptr;
    return wine;
}

// Closes the handle and reports the last error of a failed step (closing must not change it).
bool Finish(HANDLE file, bool ok, uint32_t& error) {
    if (!ok) error = LastErrorOr(kErrorWriteFault);
    CloseHandle(file);
    if (!ok) SetLastError(error);
    return ok;
}

class SystemCalls final : public SaveFileCalls {
public:
    uint32_t ProcessId() override { return GetCurrentProcessId(); }

    bool Exists(const std::wstring& path, bool& readOnly) override {
        const DWORD attributes = GetFileAttributesW(path.c_str());
        if (attributes == INVALID_FILE_ATTRIBUTES) return false;
        readOnly = (attributes & FILE_ATTRIBUTE_READONLY) != 0;
        return true;
    }

    bool WriteNew(const std::wstring& path, std::string_view bytes, bool flush, uint32_t& error) override {
        HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                  FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file == INVALID_HANDLE_VALUE) {
            error = LastErrorOr(kErrorWriteFault);
            return false;
        }
        SetLastError(0);
        bool ok = true;
        for (size_t done = 0; ok && done < bytes.size();) {
            const DWORD want = static_cast<DWORD>(std::min(bytes.size() - done, kFileChunkBytes));
            DWORD wrote = 0;
            ok = WriteFile(file, bytes.data() + done, want, &wrote, nullptr) && wrote == want;
            done += wrote;
        }
        if (ok && flush) ok = FlushFileBuffers(file);
        return Finish(file, ok, error);
    }

    bool Move(const std::wstring& from, const std::wstring& to, uint32_t& error) override {
        if (MoveFileExW(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
            return true;
        error = LastErrorOr(kErrorAccessDenied);
        return false;
    }

    bool Replace(const std::wstring& target, const std::wstring& replacement, uint32_t& error) override {
        if (RunningOnWine() && MoveFileExW(replacement.c_str(), target.c_str(),
                                           MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
            return true;
        if (ReplaceFileW(target.c_str(), replacement.c_str(), nullptr, REPLACEFILE_IGNORE_MERGE_ERRORS,
                         nullptr, nullptr))
            return true;
        error = LastErrorOr(kErrorAccessDenied);
        return false;
    }

    void Delete(const std::wstring& path) override { DeleteFileW(path.c_str()); }

    std::vector<std::wstring> TempNames(const std::wstring& folder) override {
        std::vector<std::wstring> names;
        WIN32_FIND_DATAW found;
        HANDLE find = FindFirstFileExW((folder + L"\\.~lumenpad*").c_str(), FindExInfoBasic, &found,
                                       FindExSearchNameMatch, nullptr, 0);
        if (find == INVALID_HANDLE_VALUE) return names;
        do {
            if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) names.emplace_back(found.cFileName);
        } while (FindNextFileW(find, &found));
        FindClose(find);
        return names;
    }

    bool ProcessRunning(uint32_t processId) override {
        HANDLE process = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, processId);
        if (!process) return GetLastError() != ERROR_INVALID_PARAMETER;
        DWORD code = 0;
        const bool running = !GetExitCodeProcess(process, &code) || code == STILL_ACTIVE;
        CloseHandle(process);
        return running;
    }

    bool Overwrite(const std::wstring& path, std::string_view bytes, bool flush, uint32_t& error) override {
        HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, OPEN_ALWAYS,
                                  FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file == INVALID_HANDLE_VALUE) {
            error = LastErrorOr(kErrorWriteFault);
            return false;
        }
        SetLastError(0);
        DWORD wrote = 0;
        bool ok = bytes.size() <= MAXDWORD &&
                  WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &wrote, nullptr) &&
                  wrote == bytes.size() && SetEndOfFile(file);
        if (ok && flush) ok = FlushFileBuffers(file);
        return Finish(file, ok, error);
    }
};

}  // namespace

SaveFileCalls& SystemSaveFileCalls() {
    static SystemCalls calls;
    return calls;
}

bool WriteNewFile(const std::wstring& path, std::string_view bytes, uint32_t* error) {
    uint32_t code = 0;
    const bool ok = SystemSaveFileCalls().WriteNew(path, bytes, false, code);
    if (error) *error = ok ? 0 : code;
    if (!ok) SetLastError(code);
    return ok;
}

}  // namespace lumen
