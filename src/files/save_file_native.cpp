// Native stand-in for the save calls over POSIX, with the same error codes as the Windows build. A
// rename replaces a target that is held open, so Move and Replace are the same call here; a target
// without write permission stands for one with the read-only attribute.
#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>

#include "files/native_path.h"
#include "files/read_whole_file.h"
#include "files/save_file.h"

namespace lumen {
namespace {

uint32_t LastError() {
    return errno ? SystemErrorFromErrno(errno) : kErrorWriteFault;
}

bool WriteAll(int fd, std::string_view bytes, size_t chunk) {
    for (size_t done = 0; done < bytes.size();) {
        const ssize_t wrote = write(fd, bytes.data() + done, std::min(bytes.size() - done, chunk));
        if (wrote < 0 && errno == EINTR) continue;
        if (wrote <= 0) return false;
        done += static_cast<size_t>(wrote);
    }
    return true;
}

bool Finish(int fd, bool ok, uint32_t& error) {
    if (!ok) error = LastError();
    close(fd);
    return ok;
}

class PosixCalls final : public SaveFileCalls {
public:
    uint32_t ProcessId() override { return static_cast<uint32_t>(getpid()); }

    bool Exists(const std::wstring& path, bool& readOnly) override {
        struct stat info;
        if (stat(NativePath(path).c_str(), &info) != 0) return false;
        readOnly = !(info.st_mode & S_IWUSR);
        return true;
    }

    bool WriteNew(const std::wstring& path, std::string_view bytes, bool flush, uint32_t& error) override {
        errno = 0;
        const int fd = open(NativePath(path).c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
        if (fd < 0) {
            error = LastError();
            return false;
        }
        return Finish(fd, WriteAll(fd, bytes, kFileChunkBytes) && (!flush || fsync(fd) == 0), error);
    }

    bool Move(const std::wstring& from, const std::wstring& to, uint32_t& error) override {
        errno = 0;
        if (std::rename(NativePath(from).c_str(), NativePath(to).c_str()) == 0) return true;
        error = LastError();
        return false;
    }

    bool Replace(const std::wstring& target, const std::wstring& replacement, uint32_t& error) override {
        return Move(replacement, target, error);
    }

    void Delete(const std::wstring& path) override { unlink(NativePath(path).c_str()); }

    std::vector<std::wstring> TempNames(const std::wstring& folder) override {
        std::vector<std::wstring> names;
        DIR* dir = opendir(NativePath(folder).c_str());
        if (!dir) return names;
        constexpr std::string_view kHead = ".~lumenpad";
        while (const dirent* entry = readdir(dir)) {
            const std::string_view name = entry->d_name;
            // Only plain ASCII names can be ours.
            if (name.substr(0, kHead.size()) != kHead || std::any_of(name.begin(), name.end(), [](char c) {
                    return static_cast<unsigned char>(c) > 0x7F;
                }))
                continue;
            names.emplace_back(name.begin(), name.end());
        }
        closedir(dir);
        return names;
    }

    bool ProcessRunning(uint32_t processId) override {
        return processId > static_cast<uint32_t>(INT32_MAX) || kill(static_cast<pid_t>(processId), 0) == 0 ||
               errno != ESRCH;
    }

    bool Overwrite(const std::wstring& path, std::string_view bytes, bool flush, uint32_t& error) override {
        errno = 0;
        const int fd = open(NativePath(path).c_str(), O_WRONLY | O_CREAT | O_CLOEXEC, 0666);
        if (fd < 0) {
            error = LastError();
            return false;
        }
        const bool ok = WriteAll(fd, bytes, bytes.size()) &&
                        ftruncate(fd, static_cast<off_t>(bytes.size())) == 0 && (!flush || fsync(fd) == 0);
        return Finish(fd, ok, error);
    }
};

}  // namespace

SaveFileCalls& SystemSaveFileCalls() {
    static PosixCalls calls;
    return calls;
}

bool WriteNewFile(const std::wstring& path, std::string_view bytes, uint32_t* error) {
    uint32_t code = 0;
    const bool ok = SystemSaveFileCalls().WriteNew(path, bytes, false, code);
    if (error) *error = ok ? 0 : code;
    return ok;
}

}  // namespace lumen
