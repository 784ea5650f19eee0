#include "ui/message_dialog_layout.h"

#include <algorithm>

#include "app/theme.h"

namespace lumen::ui {
namespace {

constexpr size_t kMaxListRows = 7;

}  // namespace

std::vector<std::wstring> DialogListRows(const std::vector<std::wstring>& items) {
    if (items.size() <= kMaxListRows) return items;
    std::vector<std::wstring> rows(items.begin(), items.begin() + (kMaxListRows - 1));
    rows.push_back(L"외 " + std::to_wstring(items.size() - (kMaxListRows - 1)) + L"개");
    return rows;
}

DialogLayout LayoutDialog(const DialogContent& content, int32_t dpi, const DialogTextMeasure& measure) {
    DialogLayout layout;
    const int32_t pad = Scale(24, dpi);
    const int32_t iconColumn = content.icon != kDialogIconNone ? Scale(44, dpi) : 0;
    layout.width = Scale(460, dpi);
    const int32_t textLeft = pad + iconColumn;
    const int32_t textRight = layout.width - pad;
    const int32_t textWidth = textRight - textLeft;
    if (content.icon != kDialogIconNone)
        layout.icon = PopupRect{pad, pad, pad + Scale(32, dpi), pad + Scale(32, dpi)};

    layout.title = PopupRect{textLeft, pad, textRight, pad + measure.TitleHeight(content.title, textWidth)};
    int32_t bottom = layout.title.bottom;
    if (!content.message.empty()) {
        const int32_t top = bottom + Scale(8, dpi);
        layout.message =
            PopupRect{textLeft, top, textRight, top + measure.BodyHeight(content.message, textWidth)};
        bottom = layout.message.bottom;
    }
    if (!content.items.empty()) {
        layout.listRows = DialogListRows(content.items);
        layout.listOverflow = content.items.size() > kMaxListRows;
        int32_t y = bottom + Scale(12, dpi);
        for (size_t i = 0; i < layout.listRows.size(); ++i) {
            layout.listRects.push_back(PopupRect{textLeft, y, textRight, y + Scale(24, dpi)});
            y += Scale(24, dpi);
        }
        bottom = y;
    }

    const int32_t bar = Scale(76, dpi);
    layout.height = std::max(bottom, Scale(36 + 24, dpi)) + bar + pad;
    layout.barTop = layout.height - bar;

    // Right to left from the last button.
    const int32_t buttonHeight = Scale(32, dpi);
    const int32_t top = layout.barTop + (bar - buttonHeight) / 2;
    layout.buttons.resize(content.buttons.size());
    int32_t right = layout.width - pad;
    for (size_t i = content.buttons.size(); i-- > 0;) {
        const int32_t w = std::max(measure.BodyWidth(content.buttons[i]) + Scale(32, dpi), Scale(96, dpi));
        layout.buttons[i] = PopupRect{right - w, top, right, top + buttonHeight};
        right -= w + Scale(8, dpi);
    }
    return layout;
}

int32_t DialogDefaultIndex(const DialogContent& content) {
    const auto n = static_cast<int32_t>(content.buttons.size());
    return n == 0 ? -1 : std::clamp(content.defaultButton, 0, n - 1);
}

int32_t DialogCancelIndex(const DialogContent& content) {
    const auto n = static_cast<int32_t>(content.buttons.size());
    if (n == 0) return -1;
    return content.cancelButton < 0 || content.cancelButton >= n ? n - 1 : content.cancelButton;
}

int32_t NextDialogButton(int32_t focused, int32_t count, bool backwards) {
    if (count <= 0) return -1;
    const int32_t from = std::clamp(focused, 0, count - 1);
    return backwards ? (from + count - 1) % count : (from + 1) % count;
}

int32_t DialogButtonAt(const DialogLayout& layout, int32_t x, int32_t y) {
    for (size_t i = 0; i < layout.buttons.size(); ++i) {
        if (layout.buttons[i].Contains(x, y)) return static_cast<int32_t>(i);
    }
    return -1;
}

PopupPoint CentreDialog(const PopupRect& around, PopupSize size, int32_t dpi) {
    return PopupPoint{around.left + (around.Width() - size.width) / 2,
                      around.top + (around.Height() - size.height) / 2 - Scale(20, dpi)};
}

}  // namespace lumen::ui
