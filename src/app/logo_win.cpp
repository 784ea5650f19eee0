#include "app/logo.h"

namespace lumen {

void DrawLogo(ui::Surface& surface, float left, float top, float size) {
    const float u = size / 16.0f;
    auto box = [&](float x0, float y0, float x1, float y1, float radius, COLORREF colour,
                   bool roundBottom = true) {
        ui::FillRoundRect(surface, left + x0 * u, top + y0 * u, left + x1 * u, top + y1 * u, radius * u,
                          colour, 1.0f, roundBottom);
    };
    box(1.5f, 0.5f, 14.5f, 15.5f, 2.5f, 0xCEC2BA);  // outline
    box(2, 1, 14, 15, 2, 0xFCFAFA);                 // page
    box(2, 1, 14, 5, 2, 0xD2781E, false);           // header band
    box(4, 7, 12, 8.2f, 0.6f, 0xB0A096);            // text lines
    box(4, 9.6f, 12, 10.8f, 0.6f, 0xB0A096);
    box(4, 12.2f, 9.5f, 13.4f, 0.6f, 0xB0A096);
}

}  // namespace lumen
