// Printing the active document or its selection as plain text through GDI: the editor font at its
// point size, long lines wrapped, tabs expanded, a small grey header (title, date, a thin rule) and a
// centred "p / n" footer on every page. The page layout itself is files/print_layout.h.
//
// Nothing here reads the application object: the shell passes the owner window, the text, the
// selection, the tab's title and the settings.
#pragma once

#include <windows.h>

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "files/settings.h"

namespace lumen {
namespace ui {
struct TipWindow;
}

// Prints `text` (UTF-16) on the printer context `dc` with the body font and tab width of `settings`
// and `title` in the header; into the file `output` when given (otherwise where the printer's port
// says). Returns the pages printed, 0 when the job could not be started or was aborted on a printer
// error (the job is then abandoned, nothing half printed is kept).
int32_t PrintText(HDC dc, std::wstring_view text, const wchar_t* output, const std::wstring& title,
                  const Settings& settings);

struct PrintRequest {
    HWND owner = nullptr;        // owns the print dialog
    std::string_view text;       // the whole document, UTF-8
    std::string_view selection;  // the selected text, UTF-8; empty when nothing is selected
    std::wstring title;          // the tab's title
    const Settings* settings = nullptr;
    ui::TipWindow* tip = nullptr;  // hidden before the dialog opens
};

struct PrintOutcome {
    bool attempted = false;  // the user chose to print (false: cancelled, or the dialog failed)
    int32_t pages = 0;
    std::wstring status;  // the status message to show; empty when nothing was attempted
};

// The print command: the system print dialog (page ranges and the current page disabled, the
// selection choice only with a selection), then PrintText of the chosen text.
PrintOutcome PrintDocument(const PrintRequest& request);

// Prints `text` into the file `output` on the printer named `printer`; nullopt when there is no such
// printer (no device context), else the pages printed as PrintText returns them.
std::optional<int32_t> PrintTextToPrinter(const std::wstring& printer, std::wstring_view text,
                                          const std::wstring& output, const std::wstring& title,
                                          const Settings& settings);

// Today's date in the user's short date format, as the header shows it.
std::wstring PrintDateText();

// Tests: called instead of StartPage for page `page` (1-based) while set; nullptr restores StartPage.
using StartPageHook = int (*)(HDC dc, int32_t page);
void SetStartPageHook(StartPageHook hook);

}  // namespace lumen
