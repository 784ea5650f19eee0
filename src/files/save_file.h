// Writing the user's files. A save never leaves a half-written file where a complete alternative
// exists: the bytes go to a temporary file beside the target (".~lumenpad<pid>.tmp"), are flushed to
// the disk and only then replace the target. When the folder refuses the temporary file or the target
// cannot be replaced (locked against renaming), the file is overwritten in place as a last resort;
// a full disk never gets that far, so the old file stays whole.
//
// Errors are system error codes (32-bit), 0 for success, on every build.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace lumen {

inline constexpr uint32_t kErrorHandleDiskFull = 39;
inline constexpr uint32_t kErrorDiskFull = 112;

// The file calls a save is made of. The system's set is the default; tests wrap it to make single
// calls fail (a full disk, a folder that refuses the temporary file, a target that cannot be replaced).
class SaveFileCalls {
public:
    virtual ~SaveFileCalls() = default;
    virtual uint32_t ProcessId() = 0;
    // False when the path names nothing (or cannot be asked about).
    virtual bool Exists(const std::wstring& path, bool& readOnly) = 0;
    // Creates or truncates the file (no sharing) and writes every byte, in chunks of at most
    // kFileChunkBytes; with `flush`, the bytes are on the disk before it returns.
    virtual bool WriteNew(const std::wstring& path, std::string_view bytes, bool flush, uint32_t& error) = 0;
    // Renames `from` to `to`, replacing a file there.
    virtual bool Move(const std::wstring& from, const std::wstring& to, uint32_t& error) = 0;
    // Swaps `replacement` in for the existing `target`, keeping the target's attributes.
    virtual bool Replace(const std::wstring& target, const std::wstring& replacement, uint32_t& error) = 0;
    virtual void Delete(const std::wstring& path) = 0;
    // Opens the file for writing with read sharing (created when missing), writes the bytes in one
    // call, cuts it after them and, with `flush`, puts it on the disk.
    virtual bool Overwrite(const std::wstring& path, std::string_view bytes, bool flush, uint32_t& error) = 0;
    // The names (without the folder) of the files in `folder` whose names start with ".~lumenpad".
    // Calls that cannot list a folder find none, and so leave every temporary file alone.
    virtual std::vector<std::wstring> TempNames(const std::wstring&) { return {}; }
    // False only when no process with that id exists (one the system will not tell about counts as
    // running).
    virtual bool ProcessRunning(uint32_t) { return true; }
};

SaveFileCalls& SystemSaveFileCalls();

// The target's folder (up to its last backslash or slash, "." when it has none) + "\.~lumenpad" +
// the process id + ".tmp".
std::wstring SaveTempPath(std::wstring_view target, uint32_t processId);

// The process id in a temporary file's name (".~lumenpad<pid>.tmp"), or nullopt for any other name.
std::optional<uint32_t> SaveTempOwner(std::wstring_view name);

// Writes `bytes` as the whole content of `path`. A read-only target fails with 5 and is not touched;
// a full disk while writing the temporary file fails with 112 or 39 and leaves the target as it was.
// No temporary file remains in any case; after a successful save, those in the folder whose process
// no longer exists (saves cut off by a crash) are removed too. `flush` exists for measuring what
// durability costs.
bool AtomicWrite(SaveFileCalls& calls, const std::wstring& path, std::string_view bytes, uint32_t& error,
                 bool flush = true);
bool AtomicWrite(const std::wstring& path, std::string_view bytes, uint32_t& error);

// Creates or truncates the file and writes every byte (not flushed). On failure `error` (and on
// Windows the thread's last error) is the cause, or 29 (write fault) when the system gave none.
bool WriteNewFile(const std::wstring& path, std::string_view bytes, uint32_t* error = nullptr);

}  // namespace lumen
