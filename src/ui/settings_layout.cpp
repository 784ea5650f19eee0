#include "ui/settings_layout.h"

#include <algorithm>

#include "app/theme.h"

namespace lumen::ui {
namespace {

PopupRect Intersect(const PopupRect& a, const PopupRect& b) {
    const PopupRect r{std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right),
                      std::min(a.bottom, b.bottom)};
    return r.Empty() ? PopupRect{} : r;
}

// A box of `w` x `h` ending at `right`, centred on `centreY`.
PopupRect EndingAt(int32_t right, int32_t centreY, int32_t w, int32_t h) {
    return {right - w, centreY - h / 2, right, centreY - h / 2 + h};
}

void LayoutControl(const SettingRow& row, int32_t index, SettingRowLayout& r, SettingsLayout& l,
                   const SettingsTextMeasure& measure) {
    const int32_t dpi = l.dpi;
    const int32_t edge = r.card.right - Scale(16, dpi);
    const int32_t centreY = (r.card.top + r.card.bottom) / 2;
    auto target = [&](const PopupRect& rect, int32_t value) {
        l.targets.push_back({Intersect(rect, l.content), kSettingTargetRow, index, value});
    };
    switch (row.kind) {
        case kSettingSwitch: {
            r.control = EndingAt(edge, centreY, Scale(40, dpi), Scale(20, dpi));
            const int32_t textRight = r.control.left - Scale(10, dpi);
            r.stateText = {textRight - Scale(40, dpi), r.card.top, textRight, r.card.bottom};
            target({r.control.left - Scale(48, dpi), r.card.top, r.card.right, r.card.bottom}, 0);
            break;
        }
        case kSettingChoice: {
            std::vector<int32_t> widths;
            int32_t total = 0;
            for (const std::wstring& option : row.options) {
                widths.push_back(std::max(measure.BodyWidth(option) + Scale(24, dpi), Scale(56, dpi)));
                total += widths.back();
            }
            const int32_t inset = Scale(2, dpi);
            r.control = EndingAt(edge, centreY, total + 2 * inset, Scale(34, dpi));
            int32_t x = r.control.left + inset;
            for (size_t i = 0; i < widths.size(); ++i) {
                r.parts.push_back({x, r.control.top + inset, x + widths[i], r.control.bottom - inset});
                target(r.parts.back(), static_cast<int32_t>(i));
                x += widths[i];
            }
            break;
        }
        case kSettingButton: {
            const int32_t w = std::max(measure.BodyWidth(row.buttonText) + Scale(32, dpi), Scale(96, dpi));
            r.control = {edge - w, centreY - Scale(16, dpi), edge, centreY + Scale(16, dpi)};
            target(r.control, 0);
            break;
        }
        case kSettingAccent: {
            const auto n = static_cast<int32_t>(row.swatches.size());
            const int32_t disc = Scale(26, dpi), step = disc + Scale(12, dpi);
            const int32_t left = edge - (n > 0 ? n * disc + (n - 1) * Scale(12, dpi) : 0);
            r.control = {left, centreY - disc / 2, edge, centreY - disc / 2 + disc};
            for (int32_t i = 0; i < n; ++i) {
                r.parts.push_back({left + i * step, r.control.top, left + i * step + disc, r.control.bottom});
                target(r.parts.back().Inflate(Scale(4, dpi)), i);
            }
            break;
        }
        default:
            break;
    }
}

}  // namespace

SettingsLayout LayoutSettings(const std::vector<SettingPage>& pages, int32_t page, int32_t scroll,
                              int32_t width, int32_t height, int32_t dpi,
                              const SettingsTextMeasure& measure) {
    SettingsLayout l;
    l.width = width;
    l.height = height;
    l.dpi = dpi;
    auto s = [dpi](int32_t length) { return Scale(length, dpi); };
    l.logo = {s(20), s(18), s(40), s(38)};
    l.title = {s(52), 0, std::max(s(52), width / 2), s(56)};
    l.close = {width - s(46), 0, width, s(40)};
    l.targets.push_back({l.close, kSettingTargetClose, 0, 0});
    for (size_t i = 0; i < pages.size(); ++i) {
        const int32_t top = s(64) + static_cast<int32_t>(i) * s(44);
        l.pages.push_back({s(12), top, s(204), top + s(40)});
        l.targets.push_back({l.pages.back(), kSettingTargetPage, static_cast<int32_t>(i), 0});
    }
    l.pageTitle = {s(224), s(56), std::max(s(224), width - s(28)), s(96)};
    l.content = {s(220), s(108), std::max(s(220), width), std::max(s(108), height - s(20))};
    if (page < 0 || page >= static_cast<int32_t>(pages.size())) return l;

    const std::vector<SettingRow>& rows = pages[static_cast<size_t>(page)].rows;
    const int32_t firstTop = s(108) - scroll;
    int32_t top = firstTop;
    for (size_t i = 0; i < rows.size(); ++i) {
        const SettingRow& row = rows[i];
        const bool described = !row.description.empty();
        SettingRowLayout r;
        r.card = {s(224), top, std::max(s(224), width - s(28)), top + s(described ? 68 : 56)};
        const int32_t textLeft = r.card.left + s(20);
        if (described) {
            r.label = {textLeft, r.card.top + s(13), r.card.right, r.card.top + s(35)};
            r.description = {textLeft, r.card.top + s(35), r.card.right, r.card.top + s(55)};
        } else {
            r.label = {textLeft, r.card.top, r.card.right, r.card.bottom};
        }
        LayoutControl(row, static_cast<int32_t>(i), r, l, measure);
        // Texts stop before the control (the switch's state word included).
        const int32_t textRight = (row.kind == kSettingSwitch ? r.stateText.left : r.control.left) - s(12);
        r.label.right = std::max(textLeft, textRight);
        if (described) r.description.right = r.label.right;
        top = r.card.bottom + s(4);
        l.rows.push_back(std::move(r));
    }
    l.contentHeight = l.rows.empty() ? 0 : l.rows.back().card.bottom - firstTop;
    return l;
}

int32_t SettingTargetAt(const SettingsLayout& layout, int32_t x, int32_t y) {
    for (size_t i = 0; i < layout.targets.size(); ++i)
        if (!layout.targets[i].rect.Empty() && layout.targets[i].rect.Contains(x, y))
            return static_cast<int32_t>(i);
    return -1;
}

std::optional<int32_t> SettingClickValue(const SettingRow& row, const SettingTarget& target) {
    switch (row.kind) {
        case kSettingSwitch:
            return row.on ? 0 : 1;
        case kSettingChoice:
        case kSettingAccent:
            if (target.value == row.selected) return std::nullopt;
            return target.value;
        default:
            return 0;
    }
}

int32_t ClampSettingsScroll(int32_t scroll, int32_t contentHeight, int32_t clientHeight, int32_t dpi) {
    return std::clamp(scroll, 0, std::max(0, contentHeight + Scale(128, dpi) - clientHeight));
}

int32_t StepSettingsPage(int32_t page, int32_t count, bool backwards) {
    if (count <= 0) return 0;
    return ((backwards ? page - 1 : page + 1) % count + count) % count;
}

}  // namespace lumen::ui
