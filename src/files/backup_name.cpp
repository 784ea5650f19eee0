#include "files/backup_name.h"

#include <atomic>
#include <chrono>
#include <cstdio>

namespace lumen {

std::wstring FormatBackupName(uint64_t fileTime, uint32_t counter) {
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%08x%08x%04x", static_cast<unsigned>(fileTime >> 32),
                  static_cast<unsigned>(fileTime & 0xFFFFFFFFu), static_cast<unsigned>(counter & 0xFFFFu));
    return std::wstring(buffer, buffer + 20);
}

uint64_t CurrentFileTime() {
    // The system clock counts from 1970 on every build (C++20); file times count from 1601.
    constexpr uint64_t kEpochDifference = 116444736000000000ull;
    const auto since1970 = std::chrono::system_clock::now().time_since_epoch();
    return kEpochDifference +
           static_cast<uint64_t>(std::chrono::duration_cast<std::chrono::nanoseconds>(since1970).count() /
                                 100);
}

std::wstring MakeBackupName() {
    static std::atomic<uint32_t> counter{0};
    const uint32_t n = counter.fetch_add(1, std::memory_order_relaxed) + 1;
    return FormatBackupName(CurrentFileTime(), n);
}

bool IsPlainBackupName(std::wstring_view name) {
    if (name.empty() || name.size() > kMaxBackupNameUnits || name[0] == L'.') return false;
    for (wchar_t c : name) {
        const bool ok = (c >= L'0' && c <= L'9') || (c >= L'a' && c <= L'z') || (c >= L'A' && c <= L'Z') ||
                        c == L'-' || c == L'_' || c == L'.';
        if (!ok) return false;
    }
    return true;
}

std::wstring BackupFilePath(const std::wstring& backupFolder, const std::wstring& name) {
    return backupFolder + L"\\" + name + L".txt";
}

}  // namespace lumen
