// Native stand-in for ReadWholeFile over POSIX calls; same results and error codes as the Windows build.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>

#include "files/native_path.h"
#include "files/read_whole_file.h"

namespace lumen {

bool ReadWholeFile(const std::wstring& path, std::string& bytes, uint32_t& error, uint64_t* lastWriteTime) {
    const int fd = open(NativePath(path).c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        error = SystemErrorFromErrno(errno);
        return false;
    }
    auto fail = [&](uint32_t code) {
        error = code;
        close(fd);
        return false;
    };
    struct stat info;
    if (fstat(fd, &info) != 0) return fail(SystemErrorFromErrno(errno));
    if (S_ISDIR(info.st_mode)) return fail(kErrorAccessDenied);  // as opening a folder fails on Windows
    if (lastWriteTime) {
        // Seconds since 1970 to 100 ns units since 1601.
        constexpr uint64_t kEpochDifference = 116444736000000000ull;
        *lastWriteTime = kEpochDifference + static_cast<uint64_t>(info.st_mtim.tv_sec) * 10000000ull +
                         static_cast<uint64_t>(info.st_mtim.tv_nsec) / 100;
    }
    if (static_cast<uint64_t>(info.st_size) > kMaxReadableFileSize) return fail(kErrorFileTooLarge);

    bytes.resize(static_cast<size_t>(info.st_size));
    size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t got = read(fd, bytes.data() + done, std::min(bytes.size() - done, kFileChunkBytes));
        if (got < 0) {
            if (errno == EINTR) continue;
            return fail(SystemErrorFromErrno(errno));
        }
        if (got == 0) break;
        done += static_cast<size_t>(got);
    }
    bytes.resize(done);
    close(fd);
    error = 0;
    return true;
}

// The native build has no use for a view: the tests of what reads the bytes run on a copy.
bool ReadFileBytes(const std::wstring& path, FileBytes& out, uint32_t& error, uint64_t* lastWriteTime) {
    out = FileBytes{};
    return ReadWholeFile(path, out.copy, error, lastWriteTime);
}

}  // namespace lumen
