// The native build has no system fonts: the view measures with the fixed-width stand-in.
#include "edit/font_fixed.h"

namespace quill {

std::unique_ptr<FontSource> MakeSystemFontSource() {
    return std::make_unique<FixedFontSource>();
}

}  // namespace quill
