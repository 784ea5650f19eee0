#include "files/print_layout.h"

#include <algorithm>

namespace lumen {
namespace {

// The system's MulDiv for the non-negative values used here: a * b / c rounded half up.
int32_t MulDivRound(int32_t a, int32_t b, int32_t c) {
    if (c <= 0) return 0;
    return static_cast<int32_t>((static_cast<int64_t>(a) * b + c / 2) / c);
}

bool IsHighSurrogate(wchar_t c) {
    return c >= 0xD800 && c <= 0xDBFF;
}
bool IsLowSurrogate(wchar_t c) {
    return c >= 0xDC00 && c <= 0xDFFF;
}

// The fit count of the whole of `rest` without measuring all of it: a 2 MB line would otherwise be
// measured whole for every printed line. A prefix's fit does not depend on what follows it, so a
// window that does not fill up gives the answer; one that does is doubled. `window` carries the
// last good size over to the next piece.
size_t FitOfRest(std::wstring_view rest, int32_t width, PrintMeasure& measure, size_t& window) {
    for (;;) {
        const size_t probe = std::min(window, rest.size());
        const size_t fit = std::min(measure.FitCount(rest.substr(0, probe), width), probe);
        if (fit < probe || probe == rest.size()) return fit;
        window *= 2;
    }
}

// Where the piece starting at `rest` ends: everything when it fits, else the fitting count moved
// back after a space in its second half, or off the middle of a surrogate pair.
size_t PieceLength(std::wstring_view rest, int32_t width, PrintMeasure& measure, size_t& window) {
    const size_t fit = FitOfRest(rest, width, measure, window);
    if (fit >= rest.size()) return rest.size();
    const size_t k = std::max<size_t>(fit, 1);
    for (size_t p = k; p > k / 2; --p)
        if (rest[p - 1] == L' ') return p;
    if (IsHighSurrogate(rest[k - 1]) && IsLowSurrogate(rest[k])) return k > 1 ? k - 1 : 2;
    return k;
}

void WrapLine(PrintLayout& layout, size_t start, int32_t width, PrintMeasure& measure, size_t& window) {
    const size_t end = layout.text.size();
    if (start == end) {
        layout.lines.push_back({start, 0, false});
        return;
    }
    for (size_t pos = start; pos < end;) {
        const std::wstring_view rest(layout.text.data() + pos, end - pos);
        const size_t length = PieceLength(rest, width, measure, window);
        layout.lines.push_back({pos, length, pos != start});
        pos += length;
        // Enough to hold the next piece and see that it ends: about twice what fitted this time.
        window = std::max<size_t>(64, 2 * length + 16);
    }
}

}  // namespace

PrintFrame MakePrintFrame(const PaperGeometry& paper, int32_t smallHeight, int32_t lineHeight) {
    // 20 mm and 18 mm in tenths of a millimetre; the device's origin is the printable area's corner.
    const int32_t mx = MulDivRound(200, paper.dpiX, 254), my = MulDivRound(180, paper.dpiY, 254);
    PrintFrame f;
    f.margins.left = mx - paper.printableLeft;
    f.margins.top = my - paper.printableTop;
    f.margins.right = std::max(paper.paperWidth - mx - paper.printableLeft, f.margins.left + 1);
    f.margins.bottom = paper.paperHeight - my - paper.printableTop;
    const PrintRect& m = f.margins;
    const int32_t h = smallHeight;
    f.header = {m.left, m.top, m.right, m.top + h};
    const int32_t ruleTop = m.top + h + h / 3;
    f.rule = {m.left, ruleTop, m.right, ruleTop + std::max(1, paper.dpiY / 150)};
    f.footer = {m.left, m.bottom - h, m.right, m.bottom};
    f.bodyTop = m.top + 2 * h;
    f.lineHeight = std::max(1, lineHeight);
    f.linesPerPage = std::max(1, (m.bottom - m.top - 4 * h) / f.lineHeight);
    return f;
}

PrintLayout LayOutPrintText(std::wstring_view text, int32_t tabWidth, int32_t width, PrintMeasure& measure) {
    const size_t tab = static_cast<size_t>(std::max(1, tabWidth));
    PrintLayout layout;
    layout.text.reserve(text.size());
    size_t window = 64;
    size_t i = 0;
    for (;;) {
        const size_t lineStart = layout.text.size();
        for (;;) {
            const size_t stop = std::min(text.find_first_of(L"\t\r\n", i), text.size());
            layout.text.append(text.substr(i, stop - i));
            i = stop;
            if (i == text.size() || text[i] != L'\t') break;
            layout.text.append(tab - (layout.text.size() - lineStart) % tab, L' ');
            ++i;
        }
        WrapLine(layout, lineStart, width, measure, window);
        if (i == text.size()) break;
        i += (text[i] == L'\r' && i + 1 < text.size() && text[i + 1] == L'\n') ? 2 : 1;
    }
    return layout;
}

int32_t PrintPageCount(size_t lines, int32_t linesPerPage) {
    const size_t per = static_cast<size_t>(std::max(1, linesPerPage));
    return static_cast<int32_t>(std::max<size_t>(1, (lines + per - 1) / per));
}

std::wstring PrintFooterText(int32_t page, int32_t pages) {
    return std::to_wstring(page) + L" / " + std::to_wstring(pages);
}

std::wstring PrintStatusText(int32_t pages) {
    if (pages <= 0) return L"인쇄하지 못했습니다";
    return std::to_wstring(pages) + L"쪽을 인쇄했습니다";
}

}  // namespace lumen
