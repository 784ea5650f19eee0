// Printing through the PostScript printer scripts/test.sh adds to the Wine prefix (named in
// LUMENPAD_TEST_PRINTER; skipped without it). The tests look at the printed pages: the glyph runs and
// colours in the PostScript, and page 1 rendered by ghostscript at the printer's resolution.
// One job at a time: the tests run in sequence in one process, one process per prefix.
#include <windows.h>
#include <winspool.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <memory>
#include <sstream>
#include <thread>

#include "files/code_page.h"
#include "files/print.h"
#include "support/temp_folder.h"

namespace lumen {
namespace {

std::wstring TestPrinter() {
    wchar_t name[256] = {};
    return GetEnvironmentVariableW(L"LUMENPAD_TEST_PRINTER", name, 256) ? name : L"";
}

using PrinterDc = std::unique_ptr<HDC__, decltype([](HDC dc) { DeleteDC(dc); })>;
PrinterDc OpenDc(const std::wstring& printer) {
    return PrinterDc(CreateDCW(L"WINSPOOL", printer.c_str(), nullptr, nullptr));
}

#define NEED_TEST_PRINTER()                                                                                  \
    const std::wstring printer = TestPrinter();                                                              \
    if (printer.empty()) GTEST_SKIP() << "LUMENPAD_TEST_PRINTER names no printer (scripts/test.sh sets it)"; \
    const PrinterDc dc = OpenDc(printer);                                                                    \
    ASSERT_NE(dc.get(), nullptr) << "no printer named by LUMENPAD_TEST_PRINTER"

// The page's numbers worked out from the printer: margins 20 mm and 18 mm from the paper's edge, an
// 8-point header font (H), the editor font at its size.
struct Sheet {
    int32_t dpi, width, height, offsetX, offsetY, mx, my, h, lineHeight;
    HFONT small, body;

    Sheet(HDC dc, const Settings& settings) {
        dpi = GetDeviceCaps(dc, LOGPIXELSY);
        width = GetDeviceCaps(dc, PHYSICALWIDTH);
        height = GetDeviceCaps(dc, PHYSICALHEIGHT);
        offsetX = GetDeviceCaps(dc, PHYSICALOFFSETX);
        offsetY = GetDeviceCaps(dc, PHYSICALOFFSETY);
        mx = MulDiv(200, GetDeviceCaps(dc, LOGPIXELSX), 254);
        my = MulDiv(180, dpi, 254);
        small =
            CreateFontW(-MulDiv(8, dpi, 72), 0, 0, 0, 400, 0, 0, 0, DEFAULT_CHARSET, 0, 0, 0, 0, L"Segoe UI");
        body = CreateFontW(-static_cast<int>(std::lround(dpi * settings.size / 72)), 0, 0, 0, settings.weight,
                           settings.italic, 0, 0, DEFAULT_CHARSET, 0, 0, 0, 0, settings.font.c_str());
        TEXTMETRICW tm{};
        SelectObject(dc, small);
        GetTextMetricsW(dc, &tm);
        h = tm.tmHeight;
        SelectObject(dc, body);
        GetTextMetricsW(dc, &tm);
        lineHeight = tm.tmHeight + tm.tmExternalLeading;
    }
    ~Sheet() {
        DeleteObject(small);
        DeleteObject(body);
    }
    int32_t LinesPerPage() const { return (height - 2 * my - 4 * h) / lineHeight; }
};

using Glyphs = std::vector<uint16_t>;

Glyphs GlyphsOf(HDC dc, HFONT font, std::wstring_view text) {
    SelectObject(dc, font);
    std::vector<WORD> glyphs(text.size());
    GetGlyphIndicesW(dc, text.data(), static_cast<int>(text.size()), glyphs.data(), 0);
    return {glyphs.begin(), glyphs.end()};
}

// A page of Wine's PostScript output: its source and its runs of glyphs ("/g0a4b glyphshow", a new
// run after each "moveto") with the colour in force. The text itself cannot be read back (the fonts
// carry no glyph names), so glyph indices are compared.
struct PsPage {
    std::string source;
    std::vector<std::pair<std::string, Glyphs>> runs;
    bool Has(const std::string& colour, const Glyphs& glyphs) const {
        return std::ranges::count(runs, std::pair(colour, glyphs)) > 0;
    }
    std::vector<Glyphs> RunsIn(const std::string& colour) const {
        std::vector<Glyphs> out;
        for (const auto& run : runs)
            if (run.first == colour) out.push_back(run.second);
        return out;
    }
};

std::vector<PsPage> ParsePostScript(const std::string& ps) {
    std::vector<PsPage> pages;
    std::istringstream in(ps);
    std::string line, colour;
    bool newRun = true;
    while (std::getline(in, line)) {
        if (line.starts_with("%%Page:")) pages.emplace_back();
        if (pages.empty()) continue;
        PsPage& page = pages.back();
        page.source += line + "\n";
        if (line.ends_with(" setrgbcolor")) colour = line.substr(0, line.size() - 12);
        if (line.ends_with(" moveto")) newRun = true;
        if (line.size() == 16 && line.starts_with("/g") && line.ends_with(" glyphshow")) {
            if (newRun) page.runs.push_back({colour, {}});
            newRun = false;
            page.runs.back().second.push_back(
                static_cast<uint16_t>(std::stoul(line.substr(2, 4), nullptr, 16)));
        }
    }
    return pages;
}

const std::string kGrey = "0.38 0.38 0.38", kBlack = "0.00 0.00 0.00", kRuleGrey = "0.78 0.78 0.78";

// A unix path for a Windows one (the renderer is a Linux program).
std::string UnixPath(const std::wstring& path) {
    using Fn = char*(CDECL*)(const wchar_t*);
    const auto toUnix = reinterpret_cast<Fn>(reinterpret_cast<void*>(
        GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "wine_get_unix_file_name")));
    char* unix = toUnix ? toUnix(path.c_str()) : nullptr;
    std::string result = unix ? unix : "";
    if (unix) HeapFree(GetProcessHeap(), 0, unix);
    return result;
}

// Page 1 of a PostScript file rendered by ghostscript at `dpi` into a file of `device`. A Linux
// program started from Wine cannot be waited for, so the output file is watched until it has at
// least `bytes` and stops growing.
bool RenderFirstPage(const std::wstring& ps, const std::wstring& out, const char* device, int32_t dpi,
                     uintmax_t bytes) {
    DeleteFileW(out.c_str());
    std::wstring line =
        L"Z:\\usr\\bin\\gs -q -dSAFER -dNOPAUSE -dBATCH -dFirstPage=1 -dLastPage=1 -sDEVICE=" +
        Utf8ToWide(device) + L" -r" + std::to_wstring(dpi) + L" -sOutputFile=" + Utf8ToWide(UnixPath(out)) +
        L" " + Utf8ToWide(UnixPath(ps));
    STARTUPINFOW si{};
    si.cb = sizeof(si);
    PROCESS_INFORMATION pi{};
    if (!CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi))
        return false;
    CloseHandle(pi.hProcess);
    CloseHandle(pi.hThread);
    std::error_code error;
    uintmax_t last = 0;
    for (int i = 0; i < 600; ++i, Sleep(100)) {
        const uintmax_t size = std::filesystem::file_size(std::filesystem::path(out), error);
        if (!error && size >= bytes && size == last) return true;
        last = error ? 0 : size;
    }
    return false;
}

struct Image {
    int32_t width = 0, height = 0;
    std::string rgb;
    COLORREF At(int32_t x, int32_t y) const {
        const auto* p = reinterpret_cast<const unsigned char*>(rgb.data()) + 3 * (size_t(y) * width + x);
        return RGB(p[0], p[1], p[2]);
    }
};

Image ReadPpm(const std::string& bytes) {
    Image image;
    std::istringstream in(bytes);
    std::string magic;
    int maxValue = 0;
    std::getline(in, magic);
    while (in.peek() == '#') {  // ghostscript's comment line
        std::string comment;
        std::getline(in, comment);
    }
    in >> image.width >> image.height >> maxValue;
    in.get();
    if (magic != "P6" || maxValue != 255) return {};
    image.rgb = bytes.substr(static_cast<size_t>(in.tellg()));
    if (image.rgb.size() < 3u * image.width * image.height) return {};
    return image;
}

// The box of the pixels of one colour in rows [top, bottom), inclusive; right < 0 when there are none.
struct Box {
    int32_t left = INT32_MAX, top = INT32_MAX, right = -1, bottom = -1;
};
// The driver writes colours with two decimals (96 becomes 0.38, drawn as 97).
bool Near(COLORREF a, COLORREF b) {
    return std::abs(GetRValue(a) - GetRValue(b)) <= 2 && std::abs(GetGValue(a) - GetGValue(b)) <= 2 &&
           std::abs(GetBValue(a) - GetBValue(b)) <= 2;
}
Box InkBox(const Image& image, int32_t top, int32_t bottom, COLORREF colour) {
    Box box;
    for (int32_t y = std::max(top, 0); y < std::min(bottom, image.height); ++y)
        for (int32_t x = 0; x < image.width; ++x)
            if (Near(image.At(x, y), colour)) {
                box.left = std::min(box.left, x), box.right = std::max(box.right, x);
                box.top = std::min(box.top, y), box.bottom = std::max(box.bottom, y);
            }
    return box;
}

// Page 1 rendered at the printer's own resolution: the header, rule, footer and body where the
// page's numbers put them, each in its colour. LUMENPAD_PRINT_SHOT=<file.png> also
// saves the page at 100 dpi to look at.
void CheckRenderedFirstPage(const Sheet& s, const std::wstring& ps, const test::TempFolder& dir,
                            int32_t bodyRows) {
    ASSERT_TRUE(RenderFirstPage(ps, dir.Wide(L"page1.ppm"), "ppmraw", s.dpi, 3ull * s.width * s.height))
        << "ghostscript (Z:\\usr\\bin\\gs) rendered nothing";
    wchar_t shot[MAX_PATH] = {};
    if (GetEnvironmentVariableW(L"LUMENPAD_PRINT_SHOT", shot, MAX_PATH))
        RenderFirstPage(ps, shot, "png16m", 100, 1);
    const Image page = ReadPpm(dir.Read(L"page1.ppm"));
    ASSERT_EQ(page.width, s.width);
    ASSERT_EQ(page.height, s.height);

    // Paper coordinates (the rendered page is the whole sheet).
    const int32_t left = s.mx, right = s.width - s.mx, top = s.my, bottom = s.height - s.my;
    const COLORREF grey = RGB(96, 96, 96), ruleGrey = RGB(200, 200, 200), black = RGB(0, 0, 0);

    const int32_t ruleTop = top + s.h + s.h / 3;
    const Box rule = InkBox(page, 0, page.height, ruleGrey);
    EXPECT_NEAR(rule.left, left, 1);
    EXPECT_NEAR(rule.right, right - 1, 1);
    EXPECT_NEAR(rule.top, ruleTop, 1);
    EXPECT_NEAR(rule.bottom, ruleTop + std::max(1, s.dpi / 150) - 1, 1);

    const Box head = InkBox(page, 0, ruleTop, grey);
    EXPECT_GE(head.top, top - 1);
    EXPECT_LT(head.bottom, top + s.h);
    EXPECT_NEAR(head.left, left, 6) << "the title from the left margin";
    EXPECT_NEAR(head.right, right, 6) << "the date up to the right margin";
    const Box foot = InkBox(page, ruleTop + 1, page.height, grey);
    EXPECT_GE(foot.top, bottom - s.h - 1) << "no grey but the footer below the rule";
    EXPECT_LE(foot.bottom, bottom);
    EXPECT_NEAR((foot.left + foot.right + 1) / 2.0, (left + right) / 2.0, 6) << "\"1 / 1\" centred";
    const Box body = InkBox(page, 0, page.height, black);
    EXPECT_GE(body.top, top + 2 * s.h - 1);
    EXPECT_LT(body.top, top + 2 * s.h + s.lineHeight);
    EXPECT_NEAR(body.left, left, 6);
    EXPECT_GT(body.bottom, top + 2 * s.h + (bodyRows - 1) * s.lineHeight);
    EXPECT_LT(body.bottom, top + 2 * s.h + bodyRows * s.lineHeight);
}

// Every page carries the title, the date, "p / n" in grey and the rule; the black runs are the
// printed lines in order, each once, `per` to a page; a rendered page 1 has everything in its place.
TEST(PrintWin, PagesCarryHeaderRuleFooterAndEveryLineOnce) {
    NEED_TEST_PRINTER();
    const Settings settings;
    const Sheet sheet(dc.get(), settings);
    const int32_t per = sheet.LinesPerPage();
    ASSERT_GT(per, 10);
    std::wstring numbered = L"\t인쇄 시험", breaks[] = {L"\r\n", L"\r", L"\n"};
    std::vector<std::wstring> numberedLines{L"    인쇄 시험"};
    for (int32_t i = 1; i <= 2 * per; ++i) {
        numbered += breaks[i % 3] + L"인쇄 시험 줄 " + std::to_wstring(i);
        numberedLines.push_back(L"인쇄 시험 줄 " + std::to_wstring(i));
    }
    const struct {
        const char* name;
        std::wstring text;
        std::vector<std::wstring> lines;  // the printed lines that are not empty
        int32_t pages;
        int32_t renderRows = 0;  // page 1 is rendered and checked down to this many body rows
    } cases[] = {
        {"empty document", L"", {}, 1},
        {"numbered lines over three pages, mixed breaks", numbered, numberedLines, 3},
        {"Korean lines, the third empty",
         L"가을 하늘 공활한데 높고 구름 없이\r\n밝은 달은 우리 가슴 일편단심일세\r\n\r\n"
         L"무궁화 삼천리 화려 강산 대한 사람 대한으로 길이 보전하세",
         {L"가을 하늘 공활한데 높고 구름 없이", L"밝은 달은 우리 가슴 일편단심일세",
          L"무궁화 삼천리 화려 강산 대한 사람 대한으로 길이 보전하세"},
         1,
         4},
    };
    test::TempFolder dir;
    const std::wstring title = L"시험 문서.txt";
    std::ostringstream rule;  // the rule's rectangle as the driver writes it, in device units
    rule << sheet.mx - sheet.offsetX << " " << sheet.my - sheet.offsetY + sheet.h + sheet.h / 3 << " moveto\n"
         << sheet.width - 2 * sheet.mx << " 0 rlineto\n0 " << std::max(1, sheet.dpi / 150) << " rlineto\n";
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const std::wstring file = L"case" + std::to_wstring(&c - cases) + L".ps";  // no spaces: gs reads it
        EXPECT_EQ(PrintTextToPrinter(printer, c.text, dir.Wide(file), title, settings), c.pages);
        const std::vector<PsPage> pages = ParsePostScript(dir.Read(file));
        ASSERT_EQ(pages.size(), static_cast<size_t>(c.pages));
        std::vector<Glyphs> body;
        for (int32_t p = 1; p <= c.pages; ++p) {
            SCOPED_TRACE(p);
            const PsPage& page = pages[p - 1];
            EXPECT_TRUE(page.Has(kGrey, GlyphsOf(dc.get(), sheet.small, title))) << "title";
            EXPECT_TRUE(page.Has(kGrey, GlyphsOf(dc.get(), sheet.small, PrintDateText()))) << "date";
            const std::wstring footer = std::to_wstring(p) + L" / " + std::to_wstring(c.pages);
            EXPECT_TRUE(page.Has(kGrey, GlyphsOf(dc.get(), sheet.small, footer))) << "footer";
            EXPECT_EQ(page.RunsIn(kGrey).size(), 3u) << "nothing else in grey";
            EXPECT_NE(page.source.find(rule.str()), std::string::npos) << "the rule's rectangle";
            EXPECT_NE(page.source.find(kRuleGrey + " setrgbcolor\nfill"), std::string::npos) << "its grey";
            const std::vector<Glyphs> black = page.RunsIn(kBlack);
            EXPECT_LE(black.size(), static_cast<size_t>(per));
            body.insert(body.end(), black.begin(), black.end());
        }
        std::vector<Glyphs> expected;
        for (const std::wstring& line : c.lines)
            expected.push_back(GlyphsOf(dc.get(), sheet.body, line));
        EXPECT_EQ(body, expected);
        if (c.renderRows) CheckRenderedFirstPage(sheet, dir.Wide(file), dir, c.renderRows);
    }
}

TEST(PrintWin, PrinterErrorsAbortTheJob) {
    NEED_TEST_PRINTER();
    const Settings settings;
    const Sheet sheet(dc.get(), settings);
    std::wstring twoPages;
    for (int32_t i = 0; i <= sheet.LinesPerPage(); ++i)
        twoPages += L"줄\n";
    test::TempFolder dir;
    const struct {
        const char* name;
        std::wstring file;
        StartPageHook hook;
    } cases[] = {
        {"output folder missing", L"missing\\out.ps", nullptr},
        {"first page cannot start", L"first.ps", [](HDC, int32_t) { return SP_ERROR; }},
        {"second page cannot start", L"second.ps",
         [](HDC dc, int32_t page) { return page == 2 ? 0 : StartPage(dc); }},
        {"the printer works again", L"after.ps", nullptr},
    };
    for (const auto& c : cases) {
        const PrinterDc fresh = OpenDc(printer);  // Wine's context does not start a job after an aborted one
        SetStartPageHook(c.hook);
        const int32_t pages = PrintText(fresh.get(), twoPages, dir.Wide(c.file).c_str(), L"t", settings);
        SetStartPageHook(nullptr);
        const bool works = c.file == L"after.ps";
        EXPECT_EQ(pages, works ? 2 : 0) << c.name;
        EXPECT_EQ(dir.Read(c.file).find("%%Trailer") != std::string::npos, works) << c.name;
    }
}

// The print dialog as the user answers it: found among the thread's windows, its choices read, then OK
// or closed.
struct DialogAnswer {
    bool print = true;
    std::atomic<int> selectionEnabled{-1}, pagesEnabled{-1};
};

PrintOutcome PrintWithDialog(const PrintRequest& request, DialogAnswer& answer) {
    const DWORD thread = GetCurrentThreadId();
    std::thread answerer([&] {
        HWND dialog = nullptr;
        for (int i = 0; i < 500 && !dialog; ++i, Sleep(10))
            EnumThreadWindows(
                thread,
                [](HWND hwnd, LPARAM found) {
                    wchar_t cls[16] = {};
                    GetClassNameW(hwnd, cls, 16);
                    if (wcscmp(cls, L"#32770") != 0 || !IsWindowVisible(hwnd)) return TRUE;
                    *reinterpret_cast<HWND*>(found) = hwnd;
                    return FALSE;
                },
                reinterpret_cast<LPARAM>(&dialog));
        if (!dialog) return;
        constexpr int kSelection = 0x421, kPages = 0x422;
        answer.selectionEnabled = IsWindowEnabled(GetDlgItem(dialog, kSelection));
        answer.pagesEnabled = IsWindowEnabled(GetDlgItem(dialog, kPages));
        PostMessageW(dialog, answer.print ? WM_COMMAND : WM_CLOSE, answer.print ? IDOK : 0, 0);
    });
    PrintOutcome outcome = PrintDocument(request);
    answerer.join();
    return outcome;
}

// The file the test printer's port writes every job into.
std::wstring PortFile(const std::wstring& printer) {
    HANDLE handle = nullptr;
    if (!OpenPrinterW(const_cast<wchar_t*>(printer.c_str()), &handle, nullptr)) return {};
    DWORD needed = 0;
    GetPrinterW(handle, 2, nullptr, 0, &needed);
    std::string buffer(needed, '\0');
    std::wstring port;
    if (GetPrinterW(handle, 2, reinterpret_cast<BYTE*>(buffer.data()), needed, &needed))
        port = reinterpret_cast<PRINTER_INFO_2W*>(buffer.data())->pPortName;
    ClosePrinter(handle);
    return port;
}

std::string ReadAndRemove(const std::wstring& file) {
    std::ifstream in(std::filesystem::path(file), std::ios::binary);
    std::string bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    in.close();
    DeleteFileW(file.c_str());
    return bytes;
}

TEST(PrintWin, DialogPrintsTheDocumentOrTheSelection) {
    NEED_TEST_PRINTER();
    const std::wstring port = PortFile(printer);
    ASSERT_FALSE(port.empty());
    ReadAndRemove(port);
    const Settings settings;
    const Sheet sheet(dc.get(), settings);
    std::string whole = "첫 줄 전체 문서";
    for (int32_t i = 0; i < sheet.LinesPerPage(); ++i)
        whole += "\r\n줄";
    HWND owner = CreateWindowExW(0, L"STATIC", L"owner", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 300, 200,
                                 nullptr, nullptr, nullptr, nullptr);
    const struct {
        const char* name;
        std::string selection;
        bool print;
        int32_t pages;
        std::wstring firstLine;  // printed on page 1
    } cases[] = {
        {"cancelled", "", false, 0, L""},
        {"whole document, no selection to choose", "", true, 2, L"첫 줄 전체 문서"},
        // Choosing the selection cannot be tested here: Wine's PrintDlgExW never reports PD_SELECTION,
        // even with its selection button checked.
        {"selection offered but not chosen", "선택", true, 2, L"첫 줄 전체 문서"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        DialogAnswer answer;
        answer.print = c.print;
        const PrintOutcome outcome =
            PrintWithDialog({owner, whole, c.selection, L"제목.txt", &settings}, answer);
        EXPECT_EQ(answer.selectionEnabled, c.selection.empty() ? 0 : 1);
        EXPECT_EQ(answer.pagesEnabled, 0);
        EXPECT_EQ(outcome.attempted, c.print);
        EXPECT_EQ(outcome.pages, c.pages);
        EXPECT_EQ(outcome.status, c.print ? std::to_wstring(c.pages) + L"쪽을 인쇄했습니다" : L"");
        const std::vector<PsPage> pages = ParsePostScript(ReadAndRemove(port));
        ASSERT_EQ(pages.size(), static_cast<size_t>(c.pages));
        if (c.pages) {
            EXPECT_EQ(pages[0].RunsIn(kBlack).at(0), GlyphsOf(dc.get(), sheet.body, c.firstLine));
            EXPECT_TRUE(pages[0].Has(kGrey, GlyphsOf(dc.get(), sheet.small, L"제목.txt")))
                << "the tab's title";
        }
    }
    DestroyWindow(owner);
}

// Time to print the 100,000-line (~10 MB) text into a file:
//   wine lumen_tests.exe --gtest_also_run_disabled_tests --gtest_filter='PrintBench.*'
TEST(PrintBench, DISABLED_HundredThousandLines) {
    NEED_TEST_PRINTER();
    std::wstring text;
    for (int line = 0; line < 100000; ++line)
        text += L"줄 " + std::to_wstring(line) +
                L": 빠른 갈색 여우가 게으른 개를 뛰어넘는다 The quick brown fox\r\n";
    test::TempFolder dir;
    for (int run = 0; run < 3; ++run) {
        const auto start = std::chrono::steady_clock::now();
        const std::optional<int32_t> pages =
            PrintTextToPrinter(printer, text, dir.Wide(L"big.ps"), L"big", {});
        const double s = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        std::printf("print %zu MB of UTF-8: %d pages in %.2f s, PostScript %.1f MB\n",
                    WideToUtf8(text).size() >> 20, pages.value_or(-1), s,
                    std::filesystem::file_size(dir.Path(L"big.ps")) / 1048576.0);
    }
}

}  // namespace
}  // namespace lumen
