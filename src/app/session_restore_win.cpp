#include "app/session_restore.h"

#include <windows.h>

#include <memory>

#include "app/app.h"
#include "files/read_whole_file.h"
#include "files/session.h"

namespace lumen {

bool RestoreSession(App& app) {
    const std::wstring path = SessionPath();
    const bool exists = GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
    if (!ShouldRestoreSession(app.settings.restore, exists, app.selfTest, app.secondary)) return true;
    std::string bytes;
    uint32_t error = 0;
    if (!ReadWholeFile(path, bytes, error)) return !exists || error == kErrorFileNotFound;
    const RestorePlan plan = PlanRestore(ParseSession(bytes), app.settings.restore);
    for (size_t i = 0; i < plan.tabs.size(); ++i) {
        const SessionEntry& e = plan.tabs[i];
        auto tab = std::make_unique<Tab>();
        tab->path = e.path;
        tab->title = e.title;
        tab->backupName = e.backupName;
        tab->dirty = e.dirty && !e.backupName.empty();
        tab->pinned = e.pinned;
        tab->encoding = static_cast<uint32_t>(e.encoding);
        tab->eol = static_cast<uint32_t>(e.eol);
        tab->anchor = e.anchor;
        tab->caret = e.caret;
        tab->firstLine = e.firstLine;
        // Pinned tabs stay in front even when the file had them elsewhere; the active index follows
        // its tab through later inserts.
        const int at = InsertTab(app.tabs, std::move(tab), app.tabs.Count());
        if (static_cast<int32_t>(i) == plan.active) app.tabs.active = at;
    }
    return true;
}

}  // namespace lumen
