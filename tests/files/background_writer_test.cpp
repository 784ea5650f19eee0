// The background writer over a fake file system: the job map's rules while the thread is busy, and a
// random run of jobs from several threads (with stops in between) against a plain model; then once
// over the real files.
#include "files/background_writer.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <random>

#include "files/code_page.h"
#include "support/temp_folder.h"

namespace lumen {
namespace {

// Files in a map and a log of the calls. While `held`, a call waits (with `waiting` set) until released.
class FakeFiles final : public WriterFiles {
public:
    void Write(const std::wstring& path, const std::string& bytes) override { Do(path, &bytes); }
    void Delete(const std::wstring& path) override { Do(path, nullptr); }
    void Hold(bool on) {
        std::lock_guard lock(mutex_);
        held_ = on;
        changed_.notify_all();
    }
    void WaitHeld() {
        std::unique_lock lock(mutex_);
        changed_.wait(lock, [this] { return waiting_; });
    }

    std::map<std::wstring, std::string> files;
    std::vector<std::string> log;
    bool overlapped = false, onCallerThread = false;
    std::thread::id caller = std::this_thread::get_id();

private:
    void Do(const std::wstring& path, const std::string* bytes) {
        std::unique_lock lock(mutex_);
        overlapped |= busy_, onCallerThread |= std::this_thread::get_id() == caller;
        busy_ = waiting_ = true;
        changed_.notify_all();
        changed_.wait(lock, [this] { return !held_; });
        bytes ? void(files[path] = *bytes) : void(files.erase(path));
        log.push_back((bytes ? "w " : "d ") + WideToUtf8(path) + (bytes ? "=" + *bytes : ""));
        busy_ = waiting_ = false;
    }
    std::mutex mutex_;
    std::condition_variable changed_;
    bool held_ = false, waiting_ = false, busy_ = false;
};

TEST(BackgroundWriter, NewestJobPerPathInPathOrder) {
    FakeFiles fake;
    BackgroundWriter writer(fake);
    fake.Hold(true);
    writer.QueueWrite(L"m", "1");
    fake.WaitHeld();  // the thread is busy with "m"; everything below waits in the map
    writer.QueueWrite(L"z", "1");
    writer.QueueWrite(L"b", "1");
    writer.QueueWrite(L"b", "2");
    writer.QueueWrite(L"c", "never");
    writer.QueueDelete(L"c");
    writer.QueueDelete(L"a");
    writer.QueueWrite(L"m", "2");  // the running job is not replaced: the new one follows it
    fake.Hold(false);
    writer.Stop();
    EXPECT_EQ(fake.log, (std::vector<std::string>{"w m=1", "d a", "w b=2", "d c", "w m=2", "w z=1"}));
    EXPECT_FALSE(fake.onCallerThread);
}

// The memory of a written or replaced job comes back for the next copy: the largest buffer is kept,
// small ones are not, and taking it leaves none.
TEST(BackgroundWriter, SpareBufferIsTheLargestFinishedOne) {
    FakeFiles fake;
    BackgroundWriter writer(fake);
    const size_t big = BackgroundWriter::kSpareMinBytes;
    writer.QueueWrite(L"a", std::string(big, 'a'));
    writer.QueueWrite(L"b", std::string(10, 'b'));
    writer.Stop();
    std::string spare = writer.TakeSpareBuffer();
    EXPECT_GE(spare.capacity(), big);
    EXPECT_EQ(writer.TakeSpareBuffer().capacity(), std::string().capacity());
    fake.Hold(true);
    writer.QueueWrite(L"m", "busy");
    fake.WaitHeld();
    writer.QueueWrite(L"c", std::string(2 * big, 'c'));
    writer.QueueWrite(L"c", "replaced");  // the replaced job's memory is kept at once
    EXPECT_GE(writer.TakeSpareBuffer().capacity(), 2 * big);
    fake.Hold(false);
    writer.Stop();
    EXPECT_EQ(fake.files[L"c"], "replaced");
}

TEST(BackgroundWriter, JobsFromManyThreadsMatchAModel) {
    FakeFiles fake;
    std::map<std::wstring, std::string> model;
    {
        BackgroundWriter writer(fake);
        constexpr int kThreads = 4, kJobs = 400;
        std::vector<std::map<std::wstring, std::string>> expected(kThreads);
        std::vector<std::thread> threads;
        for (int t = 0; t < kThreads; ++t) {
            threads.emplace_back([&, t] {
                std::mt19937 random(t);
                for (int j = 0; j < kJobs; ++j) {
                    const std::wstring path = std::to_wstring(t) + L"/" + std::to_wstring(random() % 5);
                    if (random() % 4 == 0) {
                        writer.QueueDelete(path);
                        expected[t].erase(path);
                    } else {
                        const std::string bytes = std::to_string(j) + std::string(random() % 100, 'x');
                        writer.QueueWrite(path, bytes);
                        expected[t][path] = bytes;
                    }
                    if (j % 50 == 0) std::this_thread::yield();
                }
            });
        }
        for (int i = 0; i < 20; ++i)
            writer.Stop();  // stops while jobs arrive; later jobs restart it
        for (auto& thread : threads)
            thread.join();
        writer.Stop();
        for (auto& e : expected)
            model.insert(e.begin(), e.end());
        EXPECT_EQ(fake.files, model);
        // A job queued after Stop() is done by a new thread or by the destructor's Stop().
        writer.QueueWrite(L"after", "x");
        model[L"after"] = "x";
    }
    EXPECT_EQ(fake.files, model);
    EXPECT_FALSE(fake.overlapped);
}

TEST(BackgroundWriter, WritesAndDeletesRealFiles) {
    test::TempFolder dir;
    dir.Write(L"old.txt", "old");
    dir.Write(L"gone.txt", "gone");
    BackgroundWriter writer;
    writer.QueueWrite(dir.Wide(L"old.txt"), "new");
    writer.QueueWrite(dir.Wide(L"big.txt"), std::string(1 << 20, 'b'));
    writer.QueueDelete(dir.Wide(L"gone.txt"));
    writer.QueueWrite(dir.Wide(L"no-folder\\x.txt"), "lost quietly");
    writer.Stop();
    EXPECT_EQ(dir.Read(L"old.txt"), "new");
    EXPECT_EQ(dir.Read(L"big.txt"), std::string(1 << 20, 'b'));
    EXPECT_FALSE(dir.Exists(L"gone.txt"));
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.Path(L"")), {}), 2);
}

}  // namespace
}  // namespace lumen
