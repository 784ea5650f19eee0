#include "files/save_file.h"

#include "files/read_whole_file.h"

namespace lumen {

std::wstring SaveTempPath(std::wstring_view target, uint32_t processId) {
    const size_t slash = target.find_last_of(L"\\/");
    const std::wstring folder =
        slash == std::wstring_view::npos ? L"." : std::wstring(target.substr(0, slash));
    return folder + L"\\.~lumenpad" + std::to_wstring(processId) + L".tmp";
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
    return true;
}

bool AtomicWrite(const std::wstring& path, std::string_view bytes, uint32_t& error) {
    return AtomicWrite(SystemSaveFileCalls(), path, bytes, error);
}

}  // namespace lumen
