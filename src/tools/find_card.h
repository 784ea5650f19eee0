// The find card ("Lumenpad.FindCard"): a small custom-drawn panel over the top-right corner of the
// editor with three modes: find, replace (a second row with the replacement and its buttons) and go
// to line. Its text boxes are system EDIT controls; the frame, buttons, counter and shadow are
// painted on its own surface from the layout record of find_card_layout.h, which hit-testing
// searches too. The searches themselves are in find_search.h.
//
// Its state is App::find. The card is hidden, not destroyed, between uses, so the texts and toggles
// stay; the match highlights (editor indicator 8) exist only while it is shown.
#pragma once

#include "app/app.h"

namespace lumen {

inline constexpr wchar_t kFindCardClass[] = L"Lumenpad.FindCard";

// Shows the card in a mode (creating it on first use), seeds the find box from a short one-line
// selection, focuses a box and counts the matches (no counting in go-to-line mode).
void OpenFindCard(App& app, FindMode mode);
// Hides the card, removes the highlights and gives the focus back to the editor.
void CloseFindCard(App& app);
bool IsFindCardOpen(const App& app);

// Find next / previous (F3, Shift+F3): opens the card in find mode when it is hidden, in go-to-line
// mode or its find box is empty; otherwise searches and then, unless the focus is in one of the
// card's boxes, puts the focus on the editor.
void FindNextFromCommand(App& app, bool forward);
// Replace (Ctrl+H): replace mode, or back to find mode when the card already shows replace mode and
// the focus is not in the editor.
void OpenReplaceFromCommand(App& app);

// The card's operations (its buttons and keys call them as well).
bool FindNext(App& app, bool forward, bool incremental);
void RecountMatches(App& app);
void ReplaceOne(App& app);
void ReplaceAll(App& app);
void GoToLine(App& app);

// ---- what the main window calls ----
// After every layout of the main window: follows the editor's corner, DPI and fonts.
void PlaceFindCard(App& app);
// A text change in the editor: restarts timer 3 while the card is shown.
void OnFindCardTextChanged(App& app);
// Timer 3: recounts and rehighlights.
void OnFindRefreshTimer(App& app);
// Another tab is shown: recounts at once while the card is shown.
void OnFindCardTabShown(App& app);
// Escape while the editor has the focus: closes the card and returns true when it is shown.
bool FindCardEscape(App& app);
// The palette changed: repaints the card and its boxes.
void RepaintFindCard(App& app);

}  // namespace lumen
