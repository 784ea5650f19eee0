#include "app/pending_commands.h"

#include "app/app.h"
#include "app/bands.h"
#include "app/main_window.h"

namespace lumen {

namespace {
void NotYet(App& app) {
    ShowStatusMessage(app, L"아직 없는 기능입니다");
}
}  // namespace

void ShowSettingsWindow(App& app) {
    NotYet(app);
}

void ShowAboutWindow(App& app) {
    NotYet(app);
}

void RegisterFileAssociation(App& app) {
    NotYet(app);
}

}  // namespace lumen
