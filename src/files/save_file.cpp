#include "files/save_file.h"

#include "files/read_whole_file.h"

namespace lumen {

namespace {

std::wstring FolderOf(std::wstring_view path) {
    const size_t slash = path.find_last_of(L"\\/");
    return slash == std::wstring_view::npos ? L"." : std::wstring(path.substr(0, slash));
}

// A save cut off by a crash leaves its temporary file beside the user's file; the next save into the
// folder takes it away once its process is gone (never one of a process that may still be saving).
void RemoveLeftTemps(SaveFileCalls& calls, const std::wstring& path) {
    const std::wstring folder = FolderOf(path);
    const uint32_t self = calls.ProcessId();
    for (const std::wstring& name : calls.TempNames(folder)) {
        const std::optional<uint32_t> owner = SaveTempOwner(name);
        if (owner && *owner != self && !calls.ProcessRunning(*owner)) calls.Delete(folder + L"\\" + name);
    }
}

}  // namespace

std::wstring SaveTempPath(std::wstring_view target, uint32_t processId) {
    return FolderOf(target) + L"\\.~lumenpad" + std::to_wstring(processId) + L".tmp";
}

std::optional<uint32_t> SaveTempOwner(std::wstring_view name) {
    constexpr std::wstring_view kHead = L".~lumenpad", kTail = L".tmp";
    if (name.size() <= kHead.size() + kTail.size() || name.substr(0, kHead.size()) != kHead ||
        name.substr(name.size() - kTail.size()) != kTail)
        return std::nullopt;
    const std::wstring_view digits = name.substr(kHead.size(), name.size() - kHead.size() - kTail.size());
    if (digits.size() > 10) return std::nullopt;
    uint64_t id = 0;
    for (wchar_t c : digits) {
        if (c < L'0' || c > L'9') return std::nullopt;
        id = id * 10 + static_cast<uint64_t>(c - L'0');
    }
    if (id > UINT32_MAX) return std::nullopt;
    return static_cast<uint32_t>(id);
}

bool AtomicWrite(SaveFileCalls& calls, const std::wstring& path, std::string_view bytes, uint32_t& error,
                 bool flush) {
    bool readOnly = false;
    const bool existed = calls.Exists(path, readOnly);
    if (existed && readOnly) {
        error = kErrorAccessDenied;
        return false;
    }
    const std::wstring temp = SaveTempPath(path, calls.ProcessId());
    uint32_t stepError = 0;
    if (calls.WriteNew(temp, bytes, flush, stepError)) {
        const bool swapped =
            existed ? calls.Replace(path, temp, stepError) : calls.Move(temp, path, stepError);
        if (swapped) {
            error = 0;
            RemoveLeftTemps(calls, path);
            return true;
        }
        calls.Delete(temp);
    } else {
        calls.Delete(temp);
        // Overwriting in place would fail the same way, half-way through the user's file.
        if (stepError == kErrorDiskFull || stepError == kErrorHandleDiskFull) {
            error = stepError;
            return false;
        }
    }
    if (!calls.Overwrite(path, bytes, flush, error)) return false;
    error = 0;
    RemoveLeftTemps(calls, path);
    return true;
}

bool AtomicWrite(const std::wstring& path, std::string_view bytes, uint32_t& error) {
    return AtomicWrite(SystemSaveFileCalls(), path, bytes, error);
}

}  // namespace lumen
