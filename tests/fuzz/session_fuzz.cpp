// libFuzzer target for the session reader and the restore decision: any bytes must give a session
// that writes back to a text reading as the same session, and a restore plan whose tabs are all in
// range, with unique safe backup names and no memo that would come back empty by mistake.
// Built and run by scripts/fuzz.sh (not part of the test program).
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <set>
#include <string_view>

#include "files/backup_name.h"
#include "files/session.h"

namespace {

void Require(bool ok, const char* what) {
    if (ok) return;
    std::fprintf(stderr, "session fault: %s\n", what);
    std::abort();
}

void CheckPlan(const lumen::Session& session, bool restore) {
    const lumen::RestorePlan plan = lumen::PlanRestore(session, restore);
    const int count = static_cast<int>(plan.tabs.size());
    Require(plan.tabs.size() <= session.entries.size(), "more tabs than entries");
    Require(count == 0 ? plan.active == -1 : plan.active >= 0 && plan.active < count, "active out of range");
    std::set<std::wstring> names;
    for (const lumen::SessionEntry& t : plan.tabs) {
        Require(t.encoding >= 0 && t.encoding <= 4 && t.eol >= 0 && t.eol <= 2,
                "encoding or eol out of range");
        Require(t.anchor >= 0 && t.caret >= 0 && t.firstLine >= 0, "negative position");
        Require(!t.dirty || !t.backupName.empty(), "unsaved without a backup");
        if (!t.backupName.empty()) {
            Require(lumen::IsPlainBackupName(t.backupName), "backup name leaves the folder");
            Require(names.insert(t.backupName).second, "two tabs share a backup");
        }
        Require(!t.path.empty() || t.dirty || (restore && session.entries.size() == 1),
                "memo without text kept");
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const lumen::Session session = lumen::ParseSession(bytes);
    const int entries = static_cast<int>(session.entries.size());
    Require(session.active == 0 || (session.active > 0 && session.active < entries), "active not clamped");

    // One write normalises titles; from then on writing and reading change nothing.
    const std::string text = lumen::SessionText(session);
    const lumen::Session again = lumen::ParseSession(text);
    Require(again.entries.size() == session.entries.size() && again.active == session.active, "tabs lost");
    Require(lumen::SessionText(again) == text, "text does not read back");
    Require(lumen::ParseSession(lumen::SessionText(again)) == again, "session does not read back");

    CheckPlan(session, true);
    CheckPlan(session, false);
    return 0;
}
