// Pushing the palette and the settings into the main window and the editor control.
#pragma once

#include "app/app.h"

namespace lumen {

// Reads the desktop's theme, resolves the palette from it and the settings, and applies it.
void ResolveTheme(App& app);
// The palette into the window's frame, the system menus, the editor's scroll bars, styles and
// element colours; then margins and options; repaints.
void ApplyTheme(App& app);
// Text margins (the layout's value or 18 px), caret width, extra ascent and descent; then the
// line-number margin.
void UpdateEditorMargins(App& app);
// The line-number margin wide enough for the line count (width 0 with line numbers off).
void UpdateLineNumberWidth(App& app);
// Caret line, whitespace and line-end marks, scrolling past the end, tabs.
void ApplyEditorOptions(App& app);

}  // namespace lumen
