// Start-up side of the session file: the tabs of the last run come back as unloaded tabs (read from
// their backup or their file when first shown), before the files of the command line are opened.
#pragma once

namespace lumen {

struct App;

// Outside the self-test and second instances, when the `restore` setting is on or a session file
// was left anyway: appends the session's tabs and makes its active tab the active index (not shown
// yet). False when the session file exists but could not be read, so the backups it may name are
// not accounted for and must not be pruned.
bool RestoreSession(App& app);

}  // namespace lumen
