// The one thread that writes and deletes the system's own files (settings, session, backups), so the
// user-interface thread never waits for the disk for them.
//
// Jobs wait in a map keyed by path (ordered by UTF-16 code units): a job replaces any job still queued
// for its path, so only the newest content of each file is written, and jobs of different paths run
// in path order. A write goes to the name followed by ".tmp", is flushed to the disk and is then
// moved over the file, so a crash leaves the old file or the new one. Failures are silent.
//
// The thread starts with the first job and runs at below-normal priority. Stop() returns only after
// every queued job is done, so the final writes at quit are on disk when the process ends.
#pragma once

#include <condition_variable>
#include <map>
#include <mutex>
#include <string>
#include <thread>

namespace lumen {

// The file work of the writer, replaceable in tests.
class WriterFiles {
public:
    virtual ~WriterFiles() = default;
    // Replaces the file's content through `path` + ".tmp", flushed before the move.
    virtual void Write(const std::wstring& path, const std::string& bytes) = 0;
    virtual void Delete(const std::wstring& path) = 0;
};

// The real file calls.
WriterFiles& SystemWriterFiles();

class BackgroundWriter {
public:
    explicit BackgroundWriter(WriterFiles& files = SystemWriterFiles()) : files_(files) {}
    ~BackgroundWriter() { Stop(); }
    BackgroundWriter(const BackgroundWriter&) = delete;
    BackgroundWriter& operator=(const BackgroundWriter&) = delete;

    // Both take their arguments over (no copy of the bytes) and may be called from any thread.
    void QueueWrite(std::wstring path, std::string bytes);
    void QueueDelete(std::wstring path);

    // The memory of a finished or replaced write, for the next copy of a text to reuse: a fresh
    // allocation of megabytes costs a page fault per page on first touch (tens of milliseconds for
    // 10 MB under Wine), while a reused buffer is already mapped. Empty when none is kept; the
    // largest one is kept, once it has at least kSpareMinBytes.
    std::string TakeSpareBuffer();
    static constexpr size_t kSpareMinBytes = size_t{1} << 16;

    // Finishes every queued job, then ends the thread; called from one thread at a time. Jobs queued
    // later start a new thread. When no thread could be started the jobs wait, and Stop() does them.
    void Stop();

private:
    struct Job {
        std::string bytes;
        bool remove = false;
    };
    void Queue(std::wstring path, Job job);
    void Run();
    // Takes the first job out of the map and carries it out with the lock released; false when the
    // map is empty.
    bool DoNextJob(std::unique_lock<std::mutex>& lock);

    WriterFiles& files_;
    std::mutex mutex_;
    std::condition_variable wake_;
    std::map<std::wstring, Job> jobs_;  // guarded by mutex_
    void KeepSpare(std::string bytes);  // called with mutex_ held
    std::string spare_;                 // guarded by mutex_
    bool stop_ = false;                 // guarded by mutex_
    bool running_ = false;              // a thread was started and not yet joined; guarded by mutex_
    std::thread thread_;                // started under mutex_, joined only by Stop()
};

// Lowers the calling thread's priority below normal (the writer's own thread calls it).
void LowerThisThreadPriority();
// Deletes one of the system's own files; false when it could not (a missing file included).
bool DeleteOwnFile(const std::wstring& path);

}  // namespace lumen
