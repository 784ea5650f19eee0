// Temporary files that saves cut off by a crash left in a folder are taken away by the next save
// into it, over the real file calls of each build; only the processes are made up.
#include <gtest/gtest.h>

#include <filesystem>
#include <set>

#include "files/save_file.h"
#include "support/temp_folder.h"

namespace lumen {
namespace {

// The system's calls, with a made-up set of running processes.
class Processes final : public SaveFileCalls {
public:
    explicit Processes(std::set<uint32_t> running) : running_(std::move(running)) {}
    uint32_t ProcessId() override { return 7; }
    bool Exists(const std::wstring& path, bool& readOnly) override { return real_.Exists(path, readOnly); }
    bool WriteNew(const std::wstring& path, std::string_view bytes, bool flush, uint32_t& error) override {
        return real_.WriteNew(path, bytes, flush, error);
    }
    bool Move(const std::wstring& from, const std::wstring& to, uint32_t& error) override {
        return real_.Move(from, to, error);
    }
    bool Replace(const std::wstring& target, const std::wstring& replacement, uint32_t& error) override {
        return real_.Replace(target, replacement, error);
    }
    void Delete(const std::wstring& path) override { real_.Delete(path); }
    bool Overwrite(const std::wstring& path, std::string_view bytes, bool flush, uint32_t& error) override {
        return real_.Overwrite(path, bytes, flush, error);
    }
    std::vector<std::wstring> TempNames(const std::wstring& folder) override {
        return real_.TempNames(folder);
    }
    bool ProcessRunning(uint32_t id) override { return running_.count(id) != 0; }

private:
    SaveFileCalls& real_ = SystemSaveFileCalls();
    std::set<uint32_t> running_;
};

TEST(SaveTempSweep, NextSaveRemovesOnlyTheTempsOfGoneProcesses) {
    test::TempFolder folder;
    // Process 12 is gone; 13 still runs (it may be saving right now); the rest are not our names.
    const std::wstring gone = L".~lumenpad12.tmp";
    const std::wstring kept[] = {L".~lumenpad13.tmp",          L".~lumenpad.tmp",
                                 L".~lumenpad1x.tmp",          L".~lumenpad12.tmp.txt",
                                 L".~lumenpad99999999999.tmp", L"a.txt"};
    for (const std::wstring& name : kept)
        folder.Write(name, "x");
    folder.Write(gone, "half a save");
    Processes calls({13});
    uint32_t error = 0;
    ASSERT_TRUE(AtomicWrite(calls, folder.Wide(L"a.txt"), "saved", error));
    EXPECT_FALSE(std::filesystem::exists(folder.Path(gone)));
    for (const std::wstring& name : kept)
        EXPECT_TRUE(std::filesystem::exists(folder.Path(name))) << std::filesystem::path(name).string();
    EXPECT_FALSE(std::filesystem::exists(folder.Path(L".~lumenpad7.tmp")));
}

TEST(SaveTempSweep, OwnersAndTheSystemsProcesses) {
    const struct {
        const wchar_t* name;
        std::optional<uint32_t> owner;
    } rows[] = {{L".~lumenpad0.tmp", 0u},          {L".~lumenpad4294967295.tmp", 4294967295u},
                {L".~lumenpad4294967296.tmp", {}}, {L".~lumenpad-1.tmp", {}},
                {L".~lumenpad12.TMP", {}},         {L"~lumenpad12.tmp", {}}};
    for (const auto& row : rows)
        EXPECT_EQ(SaveTempOwner(row.name), row.owner) << std::filesystem::path(row.name).string();
    SaveFileCalls& system = SystemSaveFileCalls();
    EXPECT_TRUE(system.ProcessRunning(system.ProcessId()));
    // Far beyond any process id either system hands out.
    EXPECT_FALSE(system.ProcessRunning(2147483644u));
}

}  // namespace
}  // namespace lumen
