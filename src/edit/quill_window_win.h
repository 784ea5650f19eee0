// The "QuillEdit" window class: a child window that owns one quill::View and turns the system's
// messages into calls of it.
#pragma once

#include <windows.h>

#include "edit/view.h"
#include "edit/view_host_win.h"

namespace quill {

inline constexpr wchar_t kQuillEditClass[] = L"QuillEdit";

// Registers the class once per process; an existing registration counts as success.
bool RegisterQuillEditClass(HINSTANCE instance);

// The view behind a QuillEdit window (null for other windows or after destruction).
View* ViewFromWindow(HWND hwnd);

// The direct-call function: the same as sending the message to the view's window.
intptr_t QuillDirectFunction(void* view, unsigned message, uintptr_t wParam, intptr_t lParam);

// Paints the rows that meet `update` (and, when given, the update region) into the off-screen
// surface and copies them to dc. Rows outside the region are neither drawn nor copied, so a
// change that invalidates a row and a scroll-bar strip repaints just those.
void PaintView(View& view, HDC dc, const RECT& update, HRGN region = nullptr);

}  // namespace quill
