#include <windows.h>
#include <commdlg.h>

#include <algorithm>
#include <cmath>

#include "files/code_page.h"
#include "files/print.h"
#include "files/print_layout.h"
#include "ui/tooltip.h"
#include "files/system_library_win.h"

namespace lumen {
namespace {

constexpr COLORREF kHeaderColour = RGB(96, 96, 96);
constexpr COLORREF kRuleColour = RGB(200, 200, 200);
constexpr COLORREF kBodyColour = RGB(0, 0, 0);

StartPageHook g_startPageHook = nullptr;

// Fit counts from the body font selected into the printer context.
class DcMeasure : public PrintMeasure {
public:
    explicit DcMeasure(HDC dc) : dc_(dc) {}
    size_t FitCount(std::wstring_view text, int32_t width) override {
        int fit = 0;
        SIZE size{};
        if (!GetTextExtentExPointW(dc_, text.data(), static_cast<int>(text.size()), width, &fit, nullptr,
                                   &size))
            return 0;
        return static_cast<size_t>(std::max(fit, 0));
    }

private:
    HDC dc_;
};

HFONT MakeFont(int32_t height, int32_t weight, bool italic, const wchar_t* face) {
    return CreateFontW(height, 0, 0, 0, weight, italic, FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                       CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE, face);
}

int32_t FontHeight(HDC dc, HFONT font, bool withLeading) {
    SelectObject(dc, font);
    TEXTMETRICW tm{};
    GetTextMetricsW(dc, &tm);
    return tm.tmHeight + (withLeading ? tm.tmExternalLeading : 0);
}

void DrawInRect(HDC dc, std::wstring_view text, const PrintRect& box, UINT format) {
    RECT r{box.left, box.top, box.right, box.bottom};
    DrawTextW(dc, text.data(), static_cast<int>(text.size()), &r, format | DT_SINGLELINE | DT_NOPREFIX);
}

struct PageInk {
    const PrintFrame& frame;
    const PrintLayout& layout;
    HFONT body, small;
    HBRUSH rule;
    const std::wstring& title;
    const std::wstring& date;
    int32_t pages;
};

void DrawPage(HDC dc, const PageInk& ink, int32_t page) {
    const PrintFrame& f = ink.frame;
    SetBkMode(dc, TRANSPARENT);
    SelectObject(dc, ink.small);
    SetTextColor(dc, kHeaderColour);
    DrawInRect(dc, ink.title, f.header, DT_LEFT | DT_END_ELLIPSIS);
    DrawInRect(dc, ink.date, f.header, DT_RIGHT);
    RECT rule{f.rule.left, f.rule.top, f.rule.right, f.rule.bottom};
    FillRect(dc, &rule, ink.rule);
    DrawInRect(dc, PrintFooterText(page, ink.pages), f.footer, DT_CENTER);

    SelectObject(dc, ink.body);
    SetTextColor(dc, kBodyColour);
    const size_t per = static_cast<size_t>(f.linesPerPage);
    const size_t first = static_cast<size_t>(page - 1) * per;
    for (size_t i = first; i < std::min(first + per, ink.layout.lines.size()); ++i) {
        const std::wstring_view line = ink.layout.Line(i);
        if (!line.empty())
            ExtTextOutW(dc, f.margins.left, f.LineTop(i - first), 0, nullptr, line.data(),
                        static_cast<UINT>(line.size()), nullptr);
    }
}

// The pages of the started document; false after a printer error, with the job aborted.
bool PrintPages(HDC dc, const PageInk& ink) {
    for (int32_t page = 1; page <= ink.pages; ++page) {
        const int started = g_startPageHook ? g_startPageHook(dc, page) : StartPage(dc);
        if (started <= 0) {
            AbortDoc(dc);
            return false;
        }
        DrawPage(dc, ink, page);
        if (EndPage(dc) <= 0) {
            AbortDoc(dc);
            return false;
        }
    }
    return true;
}

using PrintDlgExFn = HRESULT(WINAPI*)(PRINTDLGEXW*);

PrintDlgExFn PrintDialogFunction() {
    static const auto function = SystemFunction<PrintDlgExFn>(L"comdlg32.dll", "PrintDlgExW");
    return function;
}

}  // namespace

void SetStartPageHook(StartPageHook hook) {
    g_startPageHook = hook;
}

std::wstring PrintDateText() {
    wchar_t date[128] = {};
    if (!GetDateFormatEx(LOCALE_NAME_USER_DEFAULT, DATE_SHORTDATE, nullptr, nullptr, date, 128, nullptr))
        return {};
    return date;
}

int32_t PrintText(HDC dc, std::wstring_view text, const wchar_t* output, const std::wstring& title,
                  const Settings& settings) {
    PaperGeometry paper;
    paper.dpiX = GetDeviceCaps(dc, LOGPIXELSX);
    paper.dpiY = GetDeviceCaps(dc, LOGPIXELSY);
    paper.paperWidth = GetDeviceCaps(dc, PHYSICALWIDTH);
    paper.paperHeight = GetDeviceCaps(dc, PHYSICALHEIGHT);
    paper.printableLeft = GetDeviceCaps(dc, PHYSICALOFFSETX);
    paper.printableTop = GetDeviceCaps(dc, PHYSICALOFFSETY);

    const auto bodyHeight = static_cast<int32_t>(std::lround(paper.dpiY * settings.size / 72.0));
    HFONT body = MakeFont(-bodyHeight, settings.weight, settings.italic, settings.font.c_str());
    HFONT small = MakeFont(-MulDiv(8, paper.dpiY, 72), FW_NORMAL, false, L"Segoe UI");
    HBRUSH ruleBrush = CreateSolidBrush(kRuleColour);
    HGDIOBJ oldFont = SelectObject(dc, small);
    const int32_t smallHeight = FontHeight(dc, small, false);
    const int32_t lineHeight = FontHeight(dc, body, true);  // leaves the body font selected
    const PrintFrame frame = MakePrintFrame(paper, smallHeight, lineHeight);

    DcMeasure measure(dc);
    const PrintLayout layout = LayOutPrintText(text, settings.tab, frame.Width(), measure);
    const int32_t pages = PrintPageCount(layout.lines.size(), frame.linesPerPage);
    const std::wstring date = PrintDateText();
    const PageInk ink{frame, layout, body, small, ruleBrush, title, date, pages};

    DOCINFOW doc{};
    doc.cbSize = sizeof(doc);
    doc.lpszDocName = title.c_str();
    doc.lpszOutput = output;
    bool ok = StartDocW(dc, &doc) > 0;
    // A job whose end fails (its output could not be written) has printed nothing either.
    if (ok) ok = PrintPages(dc, ink) && EndDoc(dc) > 0;

    SelectObject(dc, oldFont);
    DeleteObject(body);
    DeleteObject(small);
    DeleteObject(ruleBrush);
    return ok ? pages : 0;
}

PrintOutcome PrintDocument(const PrintRequest& request) {
    PrintOutcome outcome;
    if (request.tip) ui::HideTip(*request.tip);
    const bool hasSelection = !request.selection.empty();
    const PrintDlgExFn printDialog = PrintDialogFunction();
    if (!printDialog || !request.settings) return outcome;

    PRINTDLGEXW pd{};
    pd.lStructSize = sizeof(pd);
    pd.hwndOwner = request.owner;
    pd.Flags = PD_RETURNDC | PD_NOPAGENUMS | PD_NOCURRENTPAGE | (hasSelection ? 0 : PD_NOSELECTION);
    pd.nCopies = 1;
    pd.nStartPage = START_PAGE_GENERAL;
    const HRESULT result = printDialog(&pd);
    if (SUCCEEDED(result) && pd.dwResultAction == PD_RESULT_PRINT && pd.hDC) {
        const bool selectionChosen = hasSelection && (pd.Flags & PD_SELECTION);
        const std::wstring text = Utf8ToWide(selectionChosen ? request.selection : request.text);
        // Printing a long document takes a while on the user-interface thread.
        HCURSOR previous = SetCursor(LoadCursorW(nullptr, IDC_WAIT));
        outcome.attempted = true;
        outcome.pages = PrintText(pd.hDC, text, nullptr, request.title, *request.settings);
        outcome.status = PrintStatusText(outcome.pages);
        SetCursor(previous);
    }
    if (pd.hDC) DeleteDC(pd.hDC);
    if (pd.hDevMode) GlobalFree(pd.hDevMode);
    if (pd.hDevNames) GlobalFree(pd.hDevNames);
    return outcome;
}

std::optional<int32_t> PrintTextToPrinter(const std::wstring& printer, std::wstring_view text,
                                          const std::wstring& output, const std::wstring& title,
                                          const Settings& settings) {
    HDC dc = CreateDCW(L"WINSPOOL", printer.c_str(), nullptr, nullptr);
    if (!dc) return std::nullopt;
    const int32_t pages = PrintText(dc, text, output.c_str(), title, settings);
    DeleteDC(dc);
    return pages;
}

}  // namespace lumen
