// Painting of the find card (find_card_paint_win.cpp), used by its window procedure.
#pragma once

#include <string>

#include "app/app.h"

namespace lumen {

// The whole card from App::find.layout, drawn on the card's surface and copied in one block.
void PaintFindCard(App& app, HDC target);
// The go-to-line hint ("1–1,234") at the right end of the find box's EDIT, drawn after the EDIT
// painted itself, while the box holds fewer than 6 characters.
void PaintGoToHint(App& app, HWND edit);
// The tooltip of a button.
std::wstring FindButtonTip(const App& app, int32_t button);

}  // namespace lumen
