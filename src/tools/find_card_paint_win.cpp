// Painting the find card: shadow, body, framed boxes, counter and buttons on the card's own surface,
// all from App::find.layout, then one copy to the window; and the go-to-line hint inside its EDIT.
#include "tools/find_card_paint.h"

#include <cmath>

#include "app/bands.h"
#include "edit/sci_messages.h"
#include "tools/find_card_layout.h"

namespace lumen {

namespace {

constexpr char32_t kGlyphChevronDown = 0xE70D, kGlyphChevronUp = 0xE70E, kGlyphClose = 0xE8BB;

RECT ToRect(const BandRect& b) {
    return RECT{b.left, b.top, b.right, b.bottom};
}

float F(int32_t v) {
    return static_cast<float>(v);
}

struct Painter {
    App& app;
    ui::Surface& s;
    const Palette& p;
    const FindCardLayout& l;
    float Dip(float v) const { return ScaleF(v, l.dpi); }

    void RoundRect(const BandRect& r, float radius, Colour colour, float inset = 0) {
        ui::FillRoundRect(s, F(r.left) + inset, F(r.top) + inset, F(r.right) - inset, F(r.bottom) - inset,
                          radius - inset, colour);
    }

    void Shadow(const BandRect& body) {
        const float k = p.dark ? 0.6f : 0.24f;
        const float reach = Dip(8);
        const float down = Dip(8) / 3.0f;
        for (int32_t i = l.Scale(8); i >= 1; --i) {
            const float fi = F(i);
            const float fade = 1.0f - fi / (reach + 1.0f);
            const float opacity = 2.2f * k * fade * fade / reach;
            ui::FillRoundRect(s, F(body.left) - fi, F(body.top) - fi + down, F(body.right) + fi,
                              F(body.bottom) + fi + down, reach + fi, 0x000000, opacity);
        }
    }

    void Box(const BandRect& box, HWND edit) {
        if (box.Empty()) return;
        RoundRect(box, Dip(4), p.inputBorder);
        RoundRect(box, Dip(4), p.inputBack, 1);
        if (edit && GetFocus() == edit) {
            const float inset = Dip(3);
            ui::FillRoundRect(s, F(box.left) + inset, F(box.bottom) - 1 - Dip(2), F(box.right) - inset,
                              F(box.bottom) - 1, Dip(1), p.accent);
        } else {
            ui::FillRect(s, RECT{box.left + l.Scale(4), box.bottom - 1, box.right - l.Scale(4), box.bottom},
                         MixColor(p.inputBorder, p.text, 0.25));
        }
    }

    void Counter() {
        const FindCardState& f = app.find;
        if (l.counter.Empty() || f.matchCount < 0) return;
        DrawBandText(s, CounterText(f.matchCount, f.matchIndex), ToRect(l.counter), app.fonts.smallFont,
                     f.matchCount == 0 ? p.error : p.dimText, DT_RIGHT);
    }

    void Stroke(std::initializer_list<ui::PointF> points, float cx, float cy, float width, Colour colour) {
        ui::PointF moved[4];
        int32_t n = 0;
        for (const ui::PointF& q : points)
            moved[n++] = {cx + Dip(q.x), cy + Dip(q.y)};
        ui::StrokePolyline(s, moved, n, false, width, colour);
    }

    bool HasGlyph(HFONT font, char32_t code) {
        const wchar_t unit = static_cast<wchar_t>(code);
        WORD index = 0xFFFF;
        const HGDIOBJ old = SelectObject(s.dc, font);
        const bool present =
            GetGlyphIndicesW(s.dc, &unit, 1, &index, GGI_MARK_NONEXISTING_GLYPHS) != GDI_ERROR &&
            index != 0xFFFF;
        SelectObject(s.dc, old);
        return present;
    }

    // An icon-font glyph, or the same shape drawn when the font lacks it.
    void Icon(char32_t code, const BandRect& r, float cx, float cy, Colour colour) {
        if (HasGlyph(app.fonts.iconFontLarge, code)) {
            ui::DrawGlyph(s, code, ToRect(r), app.fonts.iconFontLarge, colour);
        } else if (code == kGlyphClose) {
            Stroke({{-4.5f, -4.5f}, {4.5f, 4.5f}}, cx, cy, Dip(1.2f), colour);
            Stroke({{-4.5f, 4.5f}, {4.5f, -4.5f}}, cx, cy, Dip(1.2f), colour);
        } else {
            const float d = code == kGlyphChevronDown ? 1.0f : -1.0f;
            Stroke({{-4.5f, -2.25f * d}, {0, 2.25f * d}, {4.5f, -2.25f * d}}, cx, cy, Dip(1.2f), colour);
        }
    }

    void IconButton(int32_t i, bool hot, bool pressed) {
        const FindCardState& f = app.find;
        const BandRect& r = l.buttons[i];
        const bool on = (i == kFindMatchCase && f.matchCase) || (i == kFindWholeWord && f.wholeWord);
        Colour face = p.text;
        if (on) {
            Colour fill = p.accent;
            if (pressed) {
                fill = MixColor(fill, 0x000000, 0.15);
            } else if (hot) {
                fill = MixColor(fill, p.dark ? 0x000000 : 0xFFFFFF, 0.10);
            }
            RoundRect(r, Dip(4), fill);
            face = p.onAccent;
        } else if (hot) {
            RoundRect(r, Dip(4), pressed ? p.surfacePressed : p.surfaceHover);
        }
        const float cx = F(r.left + r.right) / 2, cy = F(r.top + r.bottom) / 2;
        switch (i) {
            case kFindToggleReplace:
                Icon(f.mode == FindMode::Replace ? kGlyphChevronUp : kGlyphChevronDown, r, cx, cy, face);
                break;
            case kFindPrevious:
            case kFindNextButton: {
                const float d = i == kFindPrevious ? -1.0f : 1.0f;
                Stroke({{0, -6}, {0, 6}}, cx, cy, Dip(1.3f), face);
                Stroke({{-4.5f, 1.5f * d}, {0, 6 * d}, {4.5f, 1.5f * d}}, cx, cy, Dip(1.3f), face);
                break;
            }
            case kFindMatchCase:
                DrawBandText(s, L"Aa", ToRect(r), app.fonts.uiFont, face, DT_CENTER);
                break;
            case kFindWholeWord: {
                RECT text = ToRect(r);
                text.bottom -= l.Scale(3);
                DrawBandText(s, L"ab", text, app.fonts.smallFont, face, DT_CENTER);
                Stroke({{-7, 3.5f}, {-7, 6}, {7, 6}, {7, 3.5f}}, cx, cy, Dip(1.1f), face);
                break;
            }
            case kFindClose:
                Icon(kGlyphClose, r, cx, cy, face);
                break;
        }
    }

    void TextButton(int32_t i, bool hot, bool pressed) {
        const BandRect& r = l.buttons[i];
        const wchar_t* label = i == kFindReplaceOne   ? L"바꾸기"
                               : i == kFindReplaceAll ? L"모두 바꾸기"
                                                      : L"이동";
        Colour face = p.text;
        if (i == kFindGoTo) {
            Colour fill = p.accent;
            if (pressed) {
                fill = MixColor(fill, 0x000000, 0.20);
            } else if (hot) {
                fill = MixColor(fill, p.dark ? 0x000000 : 0xFFFFFF, 0.10);
            }
            RoundRect(r, Dip(4), fill);
            face = p.onAccent;
        } else {
            const Colour fill = pressed  ? p.surfacePressed
                                : hot    ? p.surfaceHover
                                : p.dark ? 0x373737
                                         : 0xFFFFFF;
            RoundRect(r, Dip(4), p.inputBorder);
            RoundRect(r, Dip(4), fill, 1);
        }
        DrawBandText(s, label, ToRect(r), app.fonts.uiFont, face, DT_CENTER);
    }

    void Paint(const RECT& client) {
        const FindCardState& f = app.find;
        ui::FillRect(s, client, p.editorBack);
        const BandRect body = l.Body();
        if (!p.highContrast) Shadow(body);
        RoundRect(body, Dip(8), p.surfaceBorder);
        RoundRect(body, Dip(8), p.surface, 1);
        Box(l.findBox, f.findEdit);
        Box(l.replaceBox, f.replaceEdit);
        Counter();
        for (int32_t i = 0; i < kFindButtonCount; ++i) {
            if (l.buttons[i].Empty()) continue;
            const bool hot = f.hotButton == i;
            const bool pressed = hot && f.pressedButton == i;
            if (i <= kFindClose) {
                IconButton(i, hot, pressed);
            } else {
                TextButton(i, hot, pressed);
            }
        }
    }
};

}  // namespace

void PaintFindCard(App& app, HDC target) {
    RECT client{};
    GetClientRect(app.find.card, &client);
    ui::Surface& s = app.find.surface;
    if (!ui::PrepareSurface(s, std::max<LONG>(client.right, 1), std::max<LONG>(client.bottom, 1))) return;
    Painter{app, s, app.palette, app.find.layout}.Paint(client);
    ui::PresentSurface(s, target, client);
}

void PaintGoToHint(App& app, HWND edit) {
    if (GetWindowTextLengthW(edit) >= 6 || !app.editorFn) return;
    const std::wstring hint = LineRangeHint(Ed(app, quill::SCI_GETLINECOUNT));
    RECT r{};
    GetClientRect(edit, &r);
    const FindCardLayout& l = app.find.layout;
    r.left = std::max(r.left, r.right - l.Scale(90));
    HDC dc = GetDC(edit);
    if (!dc) return;
    // Painted over what the EDIT drew (its background only: the text is far shorter than the box).
    HBRUSH back = CreateSolidBrush(app.palette.inputBack);
    FillRect(dc, &r, back);
    DeleteObject(back);
    const HGDIOBJ old = SelectObject(dc, app.fonts.smallFont);
    SetTextColor(dc, app.palette.dimText);
    SetBkMode(dc, TRANSPARENT);
    DrawTextW(dc, hint.c_str(), static_cast<int>(hint.size()), &r,
              DT_RIGHT | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
    SelectObject(dc, old);
    ReleaseDC(edit, dc);
}

std::wstring FindButtonTip(const App& app, int32_t button) {
    static const wchar_t* const kTips[kFindButtonCount] = {
        L"바꾸기 열기 (Ctrl+H)", L"이전 찾기 (Shift+F3)",     L"다음 찾기 (F3)",
        L"대/소문자 구분",       L"단어 단위로 찾기",         L"닫기 (Esc)",
        L"바꾸기 (Enter)",       L"모두 바꾸기 (Ctrl+Enter)", L"이동 (Enter)"};
    if (button < 0 || button >= kFindButtonCount) return {};
    if (button == kFindToggleReplace && app.find.mode == FindMode::Replace) return L"바꾸기 닫기 (Ctrl+H)";
    return kTips[button];
}

}  // namespace lumen
