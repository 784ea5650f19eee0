// Native stand-in for ReplaceFileContent: write, fsync, rename, as the Windows build does with its
// own calls. A POSIX rename replaces a target that is held open, so no second way is needed; a target
// without write permission stands for one with the read-only attribute and is refused likewise.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>

#include "files/native_path.h"
#include "files/read_whole_file.h"
#include "files/replace_file.h"

namespace lumen {
namespace {

bool WriteFlushed(const std::string& path, std::string_view bytes, uint32_t& error) {
    const int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
    if (fd < 0) {
        error = SystemErrorFromErrno(errno);
        return false;
    }
    size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t wrote = write(fd, bytes.data() + done, std::min(bytes.size() - done, kFileChunkBytes));
        if (wrote < 0 && errno == EINTR) continue;
        if (wrote <= 0) break;
        done += static_cast<size_t>(wrote);
    }
    const bool ok = done == bytes.size() && fsync(fd) == 0;
    if (!ok) error = errno ? SystemErrorFromErrno(errno) : kErrorWriteFault;
    close(fd);
    return ok;
}

}  // namespace

bool ReplaceFileContent(const std::wstring& path, std::string_view bytes, uint32_t& error) {
    const std::string target = NativePath(path), temp = target + ".tmp";
    struct stat info;
    if (stat(target.c_str(), &info) == 0 && !(info.st_mode & S_IWUSR)) {
        error = kErrorAccessDenied;
        return false;
    }
    errno = 0;
    if (!WriteFlushed(temp, bytes, error)) {
        unlink(temp.c_str());
        return false;
    }
    if (std::rename(temp.c_str(), target.c_str()) != 0) {
        error = SystemErrorFromErrno(errno);
        unlink(temp.c_str());
        return false;
    }
    error = 0;
    return true;
}

}  // namespace lumen
