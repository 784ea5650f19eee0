// Text output of a real QuillEdit window: a row that mixes fonts goes out in one call per font, and
// must show exactly what drawing every character on its own at its layout position shows; fonts
// kept selected between paints must follow a change of the text style.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <tuple>
#include <vector>

#include "edit/layout_support.h"
#include "edit/sci_messages.h"
#include "edit/view_window_support.h"

namespace quill {
namespace {

using test::Capture;
using test::EditorWindow;
using test::U8;

// Row 0 of `w` as the window draws it, and as drawing each unit alone draws it: the background,
// then every unit of the first line's first row with its own font, at its own x, by glyph index
// when it has one, in the order of the fonts' first appearance.
void CompareFirstRow(EditorWindow& w) {
    View& v = w.view();
    const Capture drawn = w.Print();
    const int32_t lh = v.LineHeight();
    const LineLayout& l = v.LayoutLine(0);
    const int32_t left = v.TextLeft();
    const int32_t width = v.ClientWidth();
    const uint32_t back = v.GetStyle(kStyleText).back;
    const uint32_t fore = v.GetStyle(kStyleText).fore;
    const Capture reference = test::CaptureDrawn(width, lh, [&](HDC dc, int32_t cw, int32_t ch) {
        const RECT all{0, 0, cw, ch};
        SetDCBrushColor(dc, back & 0xFFFFFF);
        FillRect(dc, &all, static_cast<HBRUSH>(GetStockObject(DC_BRUSH)));
        SetBkMode(dc, TRANSPARENT);
        SetTextAlign(dc, TA_LEFT | TA_BASELINE);
        SetTextColor(dc, fore & 0xFFFFFF);
        std::vector<int> order;
        for (size_t u = 0; u < l.chars.size(); ++u) {
            if (std::find(order.begin(), order.end(), l.fonts[u]) == order.end()) order.push_back(l.fonts[u]);
        }
        const RECT clip{left, 0, width, lh};
        for (int font : order) {
            HGDIOBJ old = SelectObject(dc, static_cast<HFONT>(v.TextFonts().Handle(font)));
            for (size_t u = 0; u < l.chars.size(); ++u) {
                if (l.fonts[u] != font || (l.flags[u] & (kUnitTab | kUnitBlank | kUnitMergedJamo))) continue;
                const int32_t x = left - v.XOffset() + l.xs[u];
                if (l.glyphs[u] != kNoGlyph) {
                    const WORD g = l.glyphs[u];
                    ExtTextOutW(dc, x, v.LineAscent(), ETO_GLYPH_INDEX | ETO_CLIPPED, &clip,
                                reinterpret_cast<const wchar_t*>(&g), 1, nullptr);
                } else {
                    const wchar_t c = static_cast<wchar_t>(l.chars[u]);
                    ExtTextOutW(dc, x, v.LineAscent(), ETO_CLIPPED, &clip, &c, 1, nullptr);
                }
            }
            SelectObject(dc, old);
        }
    });
    int differing = 0;
    for (int32_t y = 0; y < lh; ++y) {
        for (int32_t x = left; x < width - 20; ++x)  // the overlay bar strip aside
            differing += drawn.At(x, y) != reference.At(x, y) ? 1 : 0;
    }
    EXPECT_EQ(differing, 0);
    // And the row is not empty: the comparison saw text.
    EXPECT_GT(drawn.Count(left, 0, width, lh, [](uint32_t p) { return Capture::Luminance(p) < 100; }), 20);
}

// Also scrolled sideways: the characters still land on their places.
TEST(PaintText, MixedFontsDrawAsEachCharacterAtItsOwnPlace) {
    std::string repeated;
    for (int i = 0; i < 12; ++i)
        repeated += U8(u8"word 한국어 ");
    for (const auto& [text, width, xOffset] :
         {std::tuple{U8(u8"abc 가나다 def\tghi  한글 xyz 0123 中文 end"), 700, 0},
          std::tuple{repeated, 300, 137}}) {
        EditorWindow w(width, 100);
        ASSERT_TRUE(w.ok());
        w.SetText(text);
        w.view().SetXOffset(xOffset);
        ASSERT_EQ(w.view().XOffset(), xOffset);
        // The line must really mix fonts (Hangul comes from a fallback face) for the check to mean much.
        const LineLayout& l = w.view().LayoutLine(0);
        int fallback = 0;
        for (uint8_t f : l.fonts)
            fallback += f != 0 ? 1 : 0;
        EXPECT_GT(fallback, 0);
        CompareFirstRow(w);
    }
}

TEST(PaintText, AStyleChangeBetweenPaintsDrawsWithTheNewFont) {
    const std::string text = U8(u8"Fonts 글꼴 change 바뀜\r\nsecond 둘째");
    EditorWindow w(400, 120, 0, true);
    ASSERT_TRUE(w.ok());
    w.SetText(text);
    UpdateWindow(w.hwnd());  // a real paint: the fonts stay selected in the window's contexts
    const Capture before = w.Print();
    SendMessageW(w.hwnd(), SCI_STYLESETSIZE, 0, 16);
    SendMessageW(w.hwnd(), SCI_STYLESETBOLD, 0, 1);
    UpdateWindow(w.hwnd());
    const Capture after = w.Print();

    EditorWindow fresh(400, 120, 0, true);
    SendMessageW(fresh.hwnd(), SCI_STYLESETSIZE, 0, 16);
    SendMessageW(fresh.hwnd(), SCI_STYLESETBOLD, 0, 1);
    fresh.SetText(text);
    UpdateWindow(fresh.hwnd());
    const Capture expected = fresh.Print();
    EXPECT_TRUE(after.pixels == expected.pixels);
    EXPECT_FALSE(after.pixels == before.pixels);
}

}  // namespace
}  // namespace quill
