// The tab verbs of the window: each changes the tab model (tab_model.h) and then does what the change
// needs on screen: swap the editor's document, restore the view, repaint, retitle.
#pragma once

#include <cstdint>

#include "app/app.h"
#include "edit/notification.h"

namespace lumen {

// A new editor document of length 0 (owned by the caller: one reference).
void* CreateEditorDocument(App& app);
// A fresh, loaded, empty memo with the default encoding and line breaks of the settings.
std::unique_ptr<Tab> MakeMemoTab(App& app);

// Creates an empty memo after the active tab (never among the pinned ones), activates it and returns
// its index.
int NewTab(App& app);
// Shows tab `index`: the old tab's view is saved, the new one loaded if needed and shown.
void ActivateTab(App& app, int index);
void SaveViewState(App& app, Tab& tab);
void RestoreViewState(App& app, Tab& tab);
// Shows the active tab's document in the editor with its line breaks and view.
void ShowActiveDocument(App& app);

void UpdateWindowTitle(App& app);
// A memo's title from its first non-blank line; repaints when it changed.
void UpdateMemoTitle(App& app, Tab& tab);

// Closes a tab; false when it stays open (the user cancelled, or it could not be saved).
bool CloseTab(App& app, int index, bool ask);
void ReopenClosedTab(App& app);
void TogglePin(App& app, int index);
// Moves a tab (a drag); the active tab stays the same tab.
void MoveTab(App& app, int from, int to);

// After the tab list or a tab's state changed: re-lay out and repaint the title band. The session
// file's save is requested from here too once the session exists.
void TabsChanged(App& app);

// Editor notifications for the active tab.
void OnSavePoint(App& app, bool reached);
void OnTextModified(App& app, const quill::Notification& n);

}  // namespace lumen
