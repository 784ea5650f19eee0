// Geometry of the message dialog from plain numbers, and its index rules: which button is the
// default and which one cancels, keyboard focus moves, the list with its "외 N개" row, where the
// dialog goes. Text sizes come through DialogTextMeasure, so all of it runs natively.
//
// Invariants of a DialogLayout (lengths are 96-DPI values scaled with Scale(length, dpi)):
//  - the dialog is 460 DIP wide; the button bar is its bottom 76 DIP;
//  - buttons are 32 DIP high, centred in the bar, at least 96 DIP wide, 8 DIP apart, the last one
//    ending 24 DIP from the right edge;
//  - at most 7 list rows of 24 DIP: with 8 or more items, 6 names and the count of the rest.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "ui/message_dialog.h"
#include "ui/popup_geometry.h"

namespace lumen::ui {

// Text sizes in device pixels.
class DialogTextMeasure {
public:
    virtual ~DialogTextMeasure() = default;
    // Height of the text word-wrapped to `width` in the title font (20 DIP, semibold).
    virtual int32_t TitleHeight(std::wstring_view text, int32_t width) const = 0;
    // Height of the text word-wrapped to `width` in the 14 DIP font.
    virtual int32_t BodyHeight(std::wstring_view text, int32_t width) const = 0;
    // Width of one line in the 14 DIP font.
    virtual int32_t BodyWidth(std::wstring_view text) const = 0;
};

struct DialogLayout {
    int32_t width = 0, height = 0;
    int32_t barTop = 0;                  // the button bar runs from here to the bottom
    PopupRect icon;                      // the 32 DIP icon square; empty without an icon
    PopupRect title, message;            // message is empty when there is none
    std::vector<std::wstring> listRows;  // the rows shown: names, then "외 N개" on overflow
    bool listOverflow = false;           // the last row is the count of the names left out
    std::vector<PopupRect> listRects;    // one per row, 24 DIP high, over the text width
    std::vector<PopupRect> buttons;      // one per label, left to right
};

DialogLayout LayoutDialog(const DialogContent& content, int32_t dpi, const DialogTextMeasure& measure);

// Up to 7 items as they are; 8 or more: the first 6 and "외 N개" for the N others.
std::vector<std::wstring> DialogListRows(const std::vector<std::wstring>& items);

// The default button clamped into the buttons; -1 without buttons.
int32_t DialogDefaultIndex(const DialogContent& content);
// The index Escape and closing return: cancelButton, or the last button when it is negative or past
// the end; -1 without buttons.
int32_t DialogCancelIndex(const DialogContent& content);
// The button after (or, backwards, before) `focused`, wrapping around.
int32_t NextDialogButton(int32_t focused, int32_t count, bool backwards);
// The button under a client point, -1 when none.
int32_t DialogButtonAt(const DialogLayout& layout, int32_t x, int32_t y);

// Top-left corner of a dialog of `size` centred on `around` and raised by 20 DIP (before it is kept
// inside the work area of the monitor that holds its centre).
PopupPoint CentreDialog(const PopupRect& around, PopupSize size, int32_t dpi);

}  // namespace lumen::ui
