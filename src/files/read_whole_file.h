// Reading a file whole into memory: the one read used for user files, backups and the system's own
// files. Errors are system error codes (32-bit, 0 for success) on every build.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

namespace lumen {

inline constexpr uint32_t kErrorFileNotFound = 2;
inline constexpr uint32_t kErrorPathNotFound = 3;
inline constexpr uint32_t kErrorAccessDenied = 5;
inline constexpr uint32_t kErrorWriteFault = 29;
inline constexpr uint32_t kErrorFileTooLarge = 223;

// Files above this size are refused with kErrorFileTooLarge: a byte string of it must stay indexable
// by a 32-bit int everywhere the text goes.
inline constexpr uint64_t kMaxReadableFileSize = 0x7FFF0000;
// Reads and writes go in pieces of at most this many bytes.
inline constexpr size_t kFileChunkBytes = size_t{64} << 20;

// Reads the file at `path` (shared for read, write and delete, so other programs may keep it open).
// On success `bytes` holds what was read and `error` is 0; `lastWriteTime`, when given, receives the
// file's last-write time in 100 ns units since 1601 (UTC). On failure returns false with the system
// error in `error`; `bytes` may then hold anything.
bool ReadWholeFile(const std::wstring& path, std::string& bytes, uint32_t& error,
                   uint64_t* lastWriteTime = nullptr);

// A whole file's bytes held for one use (opening a tab): a read-only view of the file where the
// system can map it, otherwise a copy. A view needs no fresh memory filled and no copy, which is most
// of the time of opening a large file.
struct FileBytes {
    std::shared_ptr<const char> view;  // the mapped view; released (unmapped) with the last owner
    size_t viewSize = 0;
    std::string copy;  // when the file was read instead

    std::string_view Bytes() const {
        return view ? std::string_view(view.get(), viewSize) : std::string_view(copy);
    }
};

// As ReadWholeFile, into `out`. A view is taken only of a file on a local fixed disk, where reading
// the mapped pages cannot fail half-way (as a network share can); elsewhere the file is read.
bool ReadFileBytes(const std::wstring& path, FileBytes& out, uint32_t& error,
                   uint64_t* lastWriteTime = nullptr);

}  // namespace lumen
