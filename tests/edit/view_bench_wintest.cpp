// Timings of the real window under Wine (disabled in normal runs). Run with
//   wine lumen_tests.exe --gtest_also_run_disabled_tests --gtest_filter='ViewBench.*'
// A 100,000-line (~10 MB) document and a 2 MB single line: first paint of a 980x700 view, paint
// after a page down, and relayout plus repaint after one typed character at the end and middle.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "edit/layout_support.h"
#include "edit/loader.h"
#include "edit/view_window_support.h"

namespace quill {
namespace {

using test::EditorWindow;
using test::U8;

double NowMs() {
    LARGE_INTEGER f, c;
    QueryPerformanceFrequency(&f);
    QueryPerformanceCounter(&c);
    return static_cast<double>(c.QuadPart) * 1000.0 / static_cast<double>(f.QuadPart);
}

void Report(const char* name, double ms) {
    std::printf("%-48s %10.3f ms\n", name, ms);
    std::fflush(stdout);
}

void Load(EditorWindow& w, const std::string& text) {
    ILoader* loader = CreateLoader(static_cast<int64_t>(text.size()));
    loader->AddData(text.data(), static_cast<int64_t>(text.size()));
    Document* doc = loader->ConvertToDocument();
    w.view().SetDocument(doc);
    doc->Release();
}

// Paints what is invalid now, synchronously, and returns the time taken.
double Paint(EditorWindow& w) {
    const double t0 = NowMs();
    UpdateWindow(w.hwnd());
    return NowMs() - t0;
}

double Repaint(EditorWindow& w) {
    InvalidateRect(w.hwnd(), nullptr, FALSE);
    return Paint(w);
}

// Average and worst time of typing one character at `where` (a function of the document) and
// painting the result.
template <typename Where>
void Typing(EditorWindow& w, const char* name, Where where, int count = 50) {
    double total = 0, worst = 0;
    for (int i = 0; i < count; ++i) {
        const double t0 = NowMs();
        const int64_t at = where(w.doc());
        w.doc().InsertString(at, "x", 1);
        w.view().SetSelection(at + 1, at + 1);
        UpdateWindow(w.hwnd());
        const double t = NowMs() - t0;
        total += t;
        worst = std::max(worst, t);
    }
    Report((std::string(name) + " (avg)").c_str(), total / count);
    Report((std::string(name) + " (worst)").c_str(), worst);
}

TEST(ViewBench, DISABLED_HundredThousandLines) {
    std::string text;
    text.reserve(11 << 20);
    for (int i = 0; i < 100000; ++i) {
        text += U8(u8"루멘판 성능 시험 줄 ") + std::to_string(i) +
                " The quick brown fox jumps over the lazy dog, again and again.\t0123456789\r\n";
    }
    std::printf("document: %.2f MB, %lld lines\n", static_cast<double>(text.size()) / (1 << 20), 100000LL);
    EditorWindow w(980, 700, 0, true);
    ASSERT_TRUE(w.ok());
    w.view().SetMargin(0, 48, 1);
    const double t0 = NowMs();
    Load(w, text);
    Report("load into view", NowMs() - t0);
    Report("first paint 980x700", Paint(w));
    Report("full repaint", Repaint(w));
    double pages = 0;
    for (int i = 0; i < 20; ++i) {
        const double s = NowMs();
        w.view().ScrollToRow(w.view().TopRow() + w.view().LinesOnScreen() - 1);
        UpdateWindow(w.hwnd());
        pages += NowMs() - s;
    }
    Report("page down + paint (avg of 20)", pages / 20);
    w.view().ScrollToRow(w.view().MaxTopRow());
    Paint(w);
    Typing(w, "type at end", [](Document& d) { return d.Length(); });
    w.view().ScrollToRow(50000);
    Paint(w);
    Typing(w, "type in middle", [](Document& d) { return d.LineStart(50010) + 10; });

    w.view().SetWrapMode(kWrapWord);
    const double wrap0 = NowMs();
    Paint(w);
    Report("wrap on: first paint (estimates)", NowMs() - wrap0);
    const double wrapAll = NowMs();
    w.view().FinishWrapping();
    Report("wrap on: wrap every line", NowMs() - wrapAll);
    Report("wrap on: full repaint", Repaint(w));
    Typing(w, "wrap on: type in middle", [](Document& d) { return d.LineStart(50010) + 10; });
}

TEST(ViewBench, DISABLED_TwoMegabyteLine) {
    std::string line;
    line.reserve(2 << 20);
    while (line.size() < (2u << 20))
        line += U8(u8"가나다라마바사 abcdefg 0123456789 ");
    for (int32_t mode : {kWrapNone, kWrapWord}) {
        const char* tag = mode == kWrapNone ? "2 MB line, wrap off: " : "2 MB line, wrap on: ";
        EditorWindow w(980, 700, 0, true);
        w.view().SetWrapMode(mode);
        Load(w, line);
        Report((std::string(tag) + "first paint").c_str(), Paint(w));
        Report((std::string(tag) + "full repaint").c_str(), Repaint(w));
        const uint64_t before = w.view().layoutsMade;
        if (mode == kWrapNone) {
            w.view().SetXOffset(static_cast<int32_t>(w.view().LayoutLine(0).Width() - 500));
        } else {
            w.view().ScrollToRow(w.view().MaxTopRow());
        }
        Paint(w);
        Typing(w, (std::string(tag) + "type at end").c_str(), [](Document& d) { return d.Length(); });
        w.view().SetXOffset(0);
        w.view().ScrollToRow(0);
        Paint(w);
        Typing(w, (std::string(tag) + "type at start").c_str(), [](Document&) { return int64_t{3}; });
        Typing(w, (std::string(tag) + "type in middle").c_str(),
               [](Document& d) { return d.MovePositionOutsideChar(d.Length() / 2, 1); });
        // Laid out once on load, then only patched.
        EXPECT_LE(w.view().layoutsMade - before, 2u);
    }
}

}  // namespace
}  // namespace quill
