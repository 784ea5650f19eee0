#include "ui/tooltip_layout.h"

#include "app/theme.h"

namespace lumen::ui {

int32_t TipWrapWidth(int32_t dpi) {
    return Scale(460, dpi);
}

PopupSize TipSize(PopupSize text, int32_t dpi) {
    // One pixel more than measured: GDI's wrapped extent can round the last glyph's overhang away.
    return PopupSize{text.width + 1 + 2 * Scale(10, dpi), text.height + 2 * Scale(6, dpi)};
}

PopupRect TipTextRect(PopupSize size, int32_t dpi) {
    return PopupRect{Scale(10, dpi), Scale(6, dpi), size.width - Scale(10, dpi), size.height - Scale(6, dpi)};
}

PopupPoint PlaceTip(PopupPoint anchor, PopupSize size, const PopupRect& work, int32_t dpi) {
    const int32_t x = ClampStart(anchor.x, size.width, work.left, work.right);
    const int32_t y =
        anchor.y + size.height > work.bottom ? anchor.y - size.height - Scale(36, dpi) : anchor.y;
    return PopupPoint{x, y};
}

}  // namespace lumen::ui
