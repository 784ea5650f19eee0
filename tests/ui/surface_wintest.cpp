// The surface on a real DIB section: it only grows, GDI text and the software shapes share its
// pixels in drawing order, wrapped text reports its height, and an icon the font lacks is drawn as
// lines or left out.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <set>
#include <vector>

#include "app/theme.h"
#include "ui/surface.h"

namespace lumen::ui {
namespace {

constexpr uint32_t kWhitePixel = 0xFFFFFF;

// Pixels in [x0, x1) x [y0, y1) that `keep` accepts.
template <class Keep>
int32_t Count(const Surface& s, int32_t x0, int32_t y0, int32_t x1, int32_t y1, Keep keep) {
    int32_t n = 0;
    for (int32_t y = y0; y < y1; ++y) {
        for (int32_t x = x0; x < x1; ++x)
            n += keep(s.pixels[y * s.width + x] & 0xFFFFFF);
    }
    return n;
}

bool Ink(uint32_t p) {
    return p != kWhitePixel;
}

TEST(Surface, OnlyGrows) {
    Surface s;
    ASSERT_TRUE(EnsureSurface(s, 100, 50));
    EXPECT_EQ(s.width, 100);
    EXPECT_EQ(s.height, 50);
    EXPECT_EQ(GetBkMode(s.dc), TRANSPARENT);
    EXPECT_EQ(GetCurrentObject(s.dc, OBJ_BITMAP), s.bitmap);
    // 32 bits, top-down: a GDI fill of the top row is the first 100 words of the pixels.
    PatBlt(s.dc, 0, 0, 100, 1, WHITENESS);
    GdiFlush();
    EXPECT_EQ(s.pixels[0] & 0xFFFFFF, 0xFFFFFFu);
    EXPECT_EQ(s.pixels[100] & 0xFFFFFF, 0u);

    // Narrower but taller: each side takes the larger size.
    ASSERT_TRUE(EnsureSurface(s, 60, 80));
    EXPECT_EQ(s.width, 100);
    EXPECT_EQ(s.height, 80);
    EXPECT_EQ(GetCurrentObject(s.dc, OBJ_BITMAP), s.bitmap);

    // Smaller: the same bitmap and pixels; a paint still clips to its own client size.
    const HBITMAP bitmap = s.bitmap;
    uint32_t* const pixels = s.pixels;
    ASSERT_TRUE(PrepareSurface(s, 10, 10));
    EXPECT_EQ(s.bitmap, bitmap);
    EXPECT_EQ(s.pixels, pixels);
    EXPECT_EQ(s.width, 100);
    EXPECT_EQ(s.clip.right, 10);
    EXPECT_EQ(s.clip.bottom, 10);
    FillRect(s, RECT{0, 0, 100, 80}, 0x0000FF);
    EXPECT_EQ(s.pixels[9 * s.width + 9], 0xFF0000u);
    EXPECT_EQ(s.pixels[9 * s.width + 10], 0u);
    EXPECT_EQ(s.pixels[10 * s.width + 9], 0u);
}

TEST(Surface, TextAndShapesShareThePixelsInDrawingOrder) {
    UiFonts fonts = CreateUiFonts(96);
    Surface s;
    ASSERT_TRUE(PrepareSurface(s, 240, 120));
    FillRect(s, RECT{0, 0, 240, 120}, 0xFFFFFF);
    TEXTMETRICW tm{};
    const HGDIOBJ old = SelectObject(s.dc, fonts.uiFont);
    GetTextMetricsW(s.dc, &tm);
    SelectObject(s.dc, old);

    const std::wstring line = L"Lumenpad 루멘판 text";
    EXPECT_EQ(DrawWrappedText(s, line, RECT{4, 4, 236, 116}, fonts.uiFont, 0x000000), tm.tmHeight);
    const std::wstring words = L"one two three four five six seven eight nine ten eleven twelve";
    const int32_t wrapped = DrawWrappedText(s, words, RECT{4, 30, 120, 116}, fonts.uiFont, 0x000000);
    EXPECT_GE(wrapped, 3 * tm.tmHeight);
    EXPECT_EQ(wrapped % tm.tmHeight, 0);
    EXPECT_GT(Count(s, 4, 30, 120, 30 + wrapped, Ink), 50);
    EXPECT_EQ(Count(s, 120, 30, 240, 120, Ink), 0);  // wrapped inside its rectangle

    // A shape right after the text, without an explicit flush, covers it completely.
    FillRoundRect(s, 0, 0, 60, 120, 0, 0x0000FF);
    EXPECT_EQ(Count(s, 0, 0, 60, 120, [](uint32_t p) { return p != 0xFF0000; }), 0);
    EXPECT_GT(Count(s, 60, 4, 120, 4 + tm.tmHeight, Ink), 10);
}

// The ink's bounding box in the 64 x 64 corner: left, top, right, bottom (right <= left: none).
std::array<int32_t, 4> InkBox(const Surface& s) {
    std::array<int32_t, 4> box{64, 64, 0, 0};
    for (int32_t y = 0; y < 64; ++y) {
        for (int32_t x = 0; x < 64; ++x) {
            if (!Ink(s.pixels[y * s.width + x])) continue;
            box = {std::min(box[0], x), std::min(box[1], y), std::max(box[2], x + 1),
                   std::max(box[3], y + 1)};
        }
    }
    return box;
}

TEST(Surface, GlyphsAreCentredAndAMissingOneIsLeftOut) {
    UiFonts fonts = CreateUiFonts(96);
    Surface s;
    ASSERT_TRUE(PrepareSurface(s, 64, 64));
    FillRect(s, RECT{0, 0, 64, 64}, 0xFFFFFF);
    DrawGlyph(s, U'H', RECT{0, 0, 64, 64}, fonts.uiFont, 0x000000);
    std::array<int32_t, 4> box = InkBox(s);
    ASSERT_LT(box[0], box[2]);
    EXPECT_NEAR((box[0] + box[2]) / 2.0, 32, 2);
    EXPECT_NEAR((box[1] + box[3]) / 2.0, 32, 4);  // the cell is centred, not the ink

    // The chrome's icons: the face's glyphs where it exists, else line drawings one em across; each
    // centred, and no two alike.
    std::set<std::vector<uint32_t>> pictures;
    for (char32_t glyph : {0xE8BB, 0xE710, 0xE921, 0xE922, 0xE923, 0xE70D, 0xE70E, 0xE76C, 0xE73E, 0xE712}) {
        FillRect(s, RECT{0, 0, 64, 64}, 0xFFFFFF);
        DrawGlyph(s, glyph, RECT{0, 0, 64, 64}, fonts.iconFontLarge, 0x000000);
        box = InkBox(s);
        SCOPED_TRACE(static_cast<uint32_t>(glyph));
        ASSERT_LT(box[0], box[2]);
        EXPECT_NEAR((box[0] + box[2]) / 2.0, 32, 2);
        EXPECT_NEAR((box[1] + box[3]) / 2.0, 32, 3);
        EXPECT_GE(std::max(box[2] - box[0], box[3] - box[1]), 8);
        std::vector<uint32_t> picture(s.pixels, s.pixels + 64 * s.width);
        EXPECT_TRUE(pictures.insert(std::move(picture)).second);
    }
    // Where the face lacks a character with no drawing of its own, nothing is drawn (no box), though
    // text output would borrow it from a linked font.
    FillRect(s, RECT{0, 0, 64, 64}, 0xFFFFFF);
    DrawGlyph(s, U'가', RECT{0, 0, 64, 64}, fonts.iconFontLarge, 0x000000);
    EXPECT_EQ(Count(s, 0, 0, 64, 64, Ink), 0);
}

}  // namespace
}  // namespace lumen::ui
