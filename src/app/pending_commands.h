// Entry points of the commands whose windows or tools are not part of this build yet: the settings
// window (152), the About window (127) and the file association (126). Each says so in the status band; the
// real work replaces the body.
#pragma once

namespace lumen {

struct App;

void ShowSettingsWindow(App& app);
void ShowAboutWindow(App& app);
void RegisterFileAssociation(App& app);

}  // namespace lumen
