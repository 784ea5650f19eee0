// Entry points of the commands whose windows or tools are not part of this build yet: the find card
// (109..113), printing (165), the settings window (152), the About window (127) and the file
// association (126). Each says so in the status band; the real work replaces the body.
#pragma once

namespace lumen {

struct App;

// 109 find, 110 replace, 111 go to line, 112 find next, 113 find previous.
void FindCardCommand(App& app, int id);
void PrintActiveTab(App& app);
void ShowSettingsWindow(App& app);
void ShowAboutWindow(App& app);
void RegisterFileAssociation(App& app);

}  // namespace lumen
