// The program's questions and error messages: one custom-drawn modal dialog ("Lumenpad.Dialog") with
// a title, a message, an optional list (such as file names) and a row of buttons. The call returns
// the index of the button chosen. The dialog disables its owner while shown and runs its own message
// loop on the calling (user-interface) thread, so the owner's timers and painting go on.
//
// Test and bench modes never show a modal window: they install an answerer, and every question then
// takes the answerer's reply without any window being created.
// Geometry and the index rules live in message_dialog_layout.h.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#ifdef _WIN32
#include <windows.h>
#endif

namespace lumen {
struct Palette;
}

namespace lumen::ui {

// Dialog icons.
inline constexpr uint32_t kDialogIconNone = 0;
inline constexpr uint32_t kDialogIconInformation = 1;
inline constexpr uint32_t kDialogIconQuestion = 2;
inline constexpr uint32_t kDialogIconWarning = 3;
inline constexpr uint32_t kDialogIconError = 4;

struct DialogContent {
    std::wstring title;  // first, bold text; also the window title
    std::wstring message;
    std::vector<std::wstring> items;    // an optional list under the message
    std::vector<std::wstring> buttons;  // labels, left to right
    int32_t defaultButton = 0;          // focused at first, filled with the accent; clamped to the buttons
    int32_t cancelButton = -1;          // Escape and closing the window; negative: the last button
    int32_t dangerButton = -1;          // filled with the error colour; -1 none
    uint32_t icon = kDialogIconNone;
};

#ifdef _WIN32

struct DialogLayout;

// Shows the dialog modally and returns the index of the button chosen, or the cancel index when it was
// dismissed (Escape, closing, WM_QUIT, which is posted again afterwards, or the window destroyed by
// someone else). -1 at once when there are no buttons. With an answerer installed, returns its reply
// and shows nothing.
int32_t ShowMessageDialog(HWND owner, const DialogContent& content, const Palette& palette, int32_t dpi);

// Installs the process-wide answerer that replaces the dialog (an empty function removes it). Set it
// from the user-interface thread before any question can be asked.
void SetDialogAnswerer(std::function<int32_t(const DialogContent&)> answerer);

// The dialog's geometry as ShowMessageDialog lays it out at `dpi`, measured with its fonts.
DialogLayout MeasureMessageDialog(const DialogContent& content, int32_t dpi);

#endif

}  // namespace lumen::ui
