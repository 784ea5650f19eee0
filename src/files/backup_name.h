// Names of backup files. A tab gets its name the first time it needs a backup and keeps it until the
// backup is deleted; the file is BackupFolder() + "\" + name + ".txt".
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace lumen {

// "%08x%08x%04x": the high and low 32 bits of `fileTime` (100 ns units since 1601, UTC) and the low
// 16 bits of `counter`.
std::wstring FormatBackupName(uint64_t fileTime, uint32_t counter);

// A fresh name from the current system time and a process-wide counter that is raised by one before
// each use, so two names made within one clock tick still differ. Safe from any thread.
std::wstring MakeBackupName();

// The current system time as a file time.
uint64_t CurrentFileTime();

// True for a name that stays inside the backup folder whatever folder it is joined to: 1 to 64 ASCII
// letters, digits, "-", "_" or ".", not starting with ".". Every name this program makes qualifies;
// a session file naming anything else was not written by it.
bool IsPlainBackupName(std::wstring_view name);
inline constexpr size_t kMaxBackupNameUnits = 64;

// The backup file of `name` inside `backupFolder`.
std::wstring BackupFilePath(const std::wstring& backupFolder, const std::wstring& name);

}  // namespace lumen
