// Size and place of a tip window from plain numbers: the text measured at most 460 DIP wide, padded
// by 10 DIP left and right and 6 DIP top and bottom, kept on the monitor and flipped above its anchor
// near the bottom.
#pragma once

#include <cstdint>

#include "ui/popup_geometry.h"

namespace lumen::ui {

// The widest a tip's text is wrapped to, in device pixels.
int32_t TipWrapWidth(int32_t dpi);
// The window size for a text measured (wrapped) at `text`.
PopupSize TipSize(PopupSize text, int32_t dpi);
// Where the text is drawn inside a tip of `size` (client coordinates).
PopupRect TipTextRect(PopupSize size, int32_t dpi);
// Top-left corner: the anchor's x kept inside the work area; the anchor's y, or, when the tip would
// pass the bottom of the work area, its height plus 36 DIP above the anchor.
PopupPoint PlaceTip(PopupPoint anchor, PopupSize size, const PopupRect& work, int32_t dpi);

}  // namespace lumen::ui
