// Native stand-ins for the writer's two system calls. Linux gives each thread its own nice value,
// which is what a below-normal thread priority amounts to there.
#include <sys/resource.h>
#include <sys/syscall.h>
#include <unistd.h>

#include "files/background_writer.h"
#include "files/native_path.h"

namespace lumen {

void LowerThisThreadPriority() {
    const auto thread = static_cast<id_t>(syscall(SYS_gettid));
    setpriority(PRIO_PROCESS, thread, getpriority(PRIO_PROCESS, thread) + 1);
}

bool DeleteOwnFile(const std::wstring& path) {
    return unlink(NativePath(path).c_str()) == 0;
}

}  // namespace lumen
