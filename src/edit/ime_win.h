// The input-method messages of a QuillEdit window.
#pragma once

#include <windows.h>

#include "edit/view.h"

namespace quill {

// True with *result set when `message` was an input-method message (or the test hook) it handled.
bool ImeMessage(View& view, HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result);

}  // namespace quill
