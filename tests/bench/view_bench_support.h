// A view with no window behind it, for benchmarks of commands that drive the editor by messages.
#pragma once

#include <cstdint>
#include <memory>

#include "edit/font_fixed.h"
#include "edit/view.h"

namespace bench {

struct QuietHost final : quill::ViewHost {
    void StartTimer(int, uint32_t) override {}
    void StopTimer(int) override {}
    void InvalidateAll() override {}
    void InvalidateRect(int32_t, int32_t, int32_t, int32_t) override {}
    bool ScrollPixels(int32_t) override { return false; }
    void SetScrollBar(bool, const quill::ScrollValues&) override {}
    int32_t Dpi() override { return 96; }
};

inline intptr_t CallView(void* view, unsigned m, uintptr_t w, intptr_t l) {
    return static_cast<quill::View*>(view)->Message(m, w, l);
}

inline std::unique_ptr<quill::View> QuietView() {
    auto view = std::make_unique<quill::View>(std::make_unique<QuietHost>(),
                                              [] { return std::make_unique<quill::FixedFontSource>(); });
    view->SetClientSize(800, 600);
    return view;
}

}  // namespace bench
