#include "files/background_writer.h"

#include <system_error>
#include <utility>

#include "files/replace_file.h"

namespace lumen {
namespace {

class SystemFiles final : public WriterFiles {
public:
    void Write(const std::wstring& path, const std::string& bytes) override {
        uint32_t error = 0;
        ReplaceFileContent(path, bytes, error);
    }
    void Delete(const std::wstring& path) override { DeleteOwnFile(path); }
};

}  // namespace

WriterFiles& SystemWriterFiles() {
    static SystemFiles files;
    return files;
}

void BackgroundWriter::QueueWrite(std::wstring path, std::string bytes) {
    Queue(std::move(path), Job{std::move(bytes), false});
}

void BackgroundWriter::QueueDelete(std::wstring path) {
    Queue(std::move(path), Job{{}, true});
}

void BackgroundWriter::Queue(std::wstring path, Job job) {
    std::lock_guard lock(mutex_);
    if (auto queued = jobs_.find(path); queued != jobs_.end()) {
        KeepSpare(std::move(queued->second.bytes));
        queued->second = std::move(job);
    } else {
        jobs_.emplace(std::move(path), std::move(job));
    }
    if (!running_) {
        try {
            thread_ = std::thread([this] { Run(); });
            running_ = true;
        } catch (const std::system_error&) {
            // No thread now: the job waits for the next queue call or for Stop().
        }
    }
    wake_.notify_one();
}

bool BackgroundWriter::DoNextJob(std::unique_lock<std::mutex>& lock) {
    if (jobs_.empty()) return false;
    auto node = jobs_.extract(jobs_.begin());
    lock.unlock();
    if (node.mapped().remove)
        files_.Delete(node.key());
    else
        files_.Write(node.key(), node.mapped().bytes);
    lock.lock();
    KeepSpare(std::move(node.mapped().bytes));
    return true;
}

void BackgroundWriter::KeepSpare(std::string bytes) {
    if (bytes.capacity() >= kSpareMinBytes && bytes.capacity() > spare_.capacity()) spare_ = std::move(bytes);
}

std::string BackgroundWriter::TakeSpareBuffer() {
    std::lock_guard lock(mutex_);
    return std::move(spare_);
}

void BackgroundWriter::Run() {
    LowerThisThreadPriority();
    std::unique_lock lock(mutex_);
    for (;;) {
        wake_.wait(lock, [this] { return stop_ || !jobs_.empty(); });
        if (!DoNextJob(lock)) return;  // empty, so a stop was asked for
    }
}

void BackgroundWriter::Stop() {
    std::unique_lock lock(mutex_);
    stop_ = true;
    wake_.notify_one();
    const bool started = running_;
    running_ = true;  // queue calls meanwhile only add to the map; the loop below does their jobs
    if (started) {
        lock.unlock();
        thread_.join();
        lock.lock();
    }
    while (DoNextJob(lock)) {}
    running_ = false;
    stop_ = false;
}

}  // namespace lumen
