// The application logo: a page with a coloured header band and three text lines, drawn with the
// surface's rounded rectangles on a 16-unit grid so it is sharp at any size.
#pragma once

#include "ui/surface.h"

namespace lumen {

void DrawLogo(ui::Surface& surface, float left, float top, float size);

}  // namespace lumen
