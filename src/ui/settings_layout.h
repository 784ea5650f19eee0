// Geometry of the settings window from plain numbers, used both to paint and to hit-test, and its
// input rules (the value a click sends, page stepping, scroll limits). Text widths come through
// SettingsTextMeasure, so all of it runs natively.
//
// Lengths are 96-DPI values scaled with Scale(length, dpi):
//  - the header band is 56 high with the close button (46 x 40) in its top-right corner;
//  - page entries start at y = 64, x 12..204, 40 high, 44 apart;
//  - the page title sits at x = 224, y 56..96; cards start at y = 108 minus the scroll offset, are
//    56 high (68 with a description), 4 apart, and end 28 before the right edge; what shows of them
//    is clipped to x >= 220 and 108 <= y < height - 20, and so are their hit targets.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

#include "ui/popup_geometry.h"
#include "ui/settings_window.h"

namespace lumen::ui {

class SettingsTextMeasure {
public:
    virtual ~SettingsTextMeasure() = default;
    // Width of one line in the 14 DIP body font, device pixels.
    virtual int32_t BodyWidth(std::wstring_view text) const = 0;
};

// SettingTarget::kind
inline constexpr int32_t kSettingTargetPage = 1;
inline constexpr int32_t kSettingTargetRow = 2;
inline constexpr int32_t kSettingTargetClose = 3;

struct SettingTarget {
    PopupRect rect;     // empty when clipped away: never hit
    int32_t kind = 0;   // kSettingTarget*
    int32_t index = 0;  // page or row
    int32_t value = 0;  // row: the segment or swatch index; 0 otherwise
    bool operator==(const SettingTarget&) const = default;
};

struct SettingRowLayout {
    PopupRect card;
    PopupRect label, description;  // description empty without one
    PopupRect control;             // switch pill, button, the choice's frame or the swatches' span
    PopupRect stateText;           // switch: where "켬" or "끔" ends
    std::vector<PopupRect> parts;  // choice segments or swatch discs
};

struct SettingsLayout {
    int32_t width = 0, height = 0, dpi = 96;
    PopupRect logo, title, close;
    std::vector<PopupRect> pages;  // page-list entries
    PopupRect pageTitle;
    PopupRect content;  // the clip of the cards
    std::vector<SettingRowLayout> rows;
    int32_t contentHeight = 0;           // of the cards, from the first card's top to the last one's bottom
    std::vector<SettingTarget> targets;  // close, pages, then the rows' controls
};

SettingsLayout LayoutSettings(const std::vector<SettingPage>& pages, int32_t page, int32_t scroll,
                              int32_t width, int32_t height, int32_t dpi, const SettingsTextMeasure& measure);

// The first target whose rectangle holds the point; -1 for none.
int32_t SettingTargetAt(const SettingsLayout& layout, int32_t x, int32_t y);

// The value a click on `target` of `row` hands to the apply function: the opposite switch state, the
// segment or swatch index, 0 for a button; nothing when it is the one already selected.
std::optional<int32_t> SettingClickValue(const SettingRow& row, const SettingTarget& target);

// The scroll offset kept within 0 .. contentHeight + 128 DIP - clientHeight.
int32_t ClampSettingsScroll(int32_t scroll, int32_t contentHeight, int32_t clientHeight, int32_t dpi);

// The page after (or before) `page`, wrapping around.
int32_t StepSettingsPage(int32_t page, int32_t count, bool backwards);

}  // namespace lumen::ui
