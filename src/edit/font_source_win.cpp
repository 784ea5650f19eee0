// GDI behind a font set: the nine fonts live in one memory device context used only for
// measuring; the painter selects the same handles into its own context.
#include <windows.h>

#include <cwctype>

#include "edit/font_set.h"

namespace quill {
namespace {

bool SameFace(const wchar_t* a, const wchar_t* b) {
    for (; *a && *b; ++a, ++b) {
        if (std::towlower(*a) != std::towlower(*b)) return false;
    }
    return *a == *b;
}

// A face exists when GDI creates it under that name, or when the system maps the name to another
// installed face (FontSubstitutes), which GDI reports under the substitute's name.
bool FaceAvailable(HDC dc, const std::wstring& face) {
    wchar_t got[LF_FACESIZE] = {};
    GetTextFaceW(dc, LF_FACESIZE, got);
    if (SameFace(got, face.c_str())) return true;
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, L"Software\\Microsoft\\Windows NT\\CurrentVersion\\FontSubstitutes",
                      0, KEY_READ, &key) != ERROR_SUCCESS)
        return false;
    wchar_t value[LF_FACESIZE + 8] = {};
    DWORD size = sizeof(value) - sizeof(wchar_t);
    DWORD type = 0;
    const bool mapped = RegQueryValueExW(key, face.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(value),
                                         &size) == ERROR_SUCCESS &&
                        type == REG_SZ;
    RegCloseKey(key);
    if (!mapped) return false;
    // "Face,charset" entries name the face before the comma.
    for (wchar_t* p = value; *p; ++p) {
        if (*p == L',') *p = 0;
    }
    return SameFace(got, value);
}

class GdiFontSource final : public FontSource {
public:
    GdiFontSource() : dc_(CreateCompatibleDC(nullptr)) { original_ = GetCurrentObject(dc_, OBJ_FONT); }
    ~GdiFontSource() override {
        CloseAll();
        if (dc_) DeleteDC(dc_);
    }

    FontMetrics Open(const FontDesc& desc) override {
        CloseAll();
        desc_ = desc;
        fonts_[0] = Create(desc.face);
        FontMetrics m;
        if (Select(0)) {
            TEXTMETRICW tm{};
            if (GetTextMetricsW(dc_, &tm)) {
                m.ascent = tm.tmAscent;
                m.descent = tm.tmDescent;
                m.averageCharWidth = tm.tmAveCharWidth;
            }
        }
        return m;
    }

    bool OpenFallback(int index, const std::wstring& face) override {
        if (index <= 0 || index >= kFontCount) return false;
        HFONT font = Create(face);
        if (!font) return false;
        const HGDIOBJ old = SelectObject(dc_, font);
        const bool exists = FaceAvailable(dc_, face);
        SelectObject(dc_, old);
        if (!exists) {
            DeleteObject(font);
            return false;
        }
        fonts_[index] = font;
        return true;
    }

    uint16_t GlyphIndex(int font, char16_t ch) override {
        if (!Select(font)) return kNoGlyph;
        WORD glyph = 0xFFFF;
        const wchar_t c = static_cast<wchar_t>(ch);
        if (GetGlyphIndicesW(dc_, &c, 1, &glyph, GGI_MARK_NONEXISTING_GLYPHS) == GDI_ERROR) return kNoGlyph;
        return glyph;
    }

    int32_t Extent(int font, const char16_t* units, size_t count) override {
        if (count == 0 || !Select(font)) return 0;
        SIZE size{};
        if (!GetTextExtentPoint32W(dc_, reinterpret_cast<const wchar_t*>(units), static_cast<int>(count),
                                   &size))
            return 0;
        return size.cx;
    }

    void* Handle(int font) override { return font >= 0 && font < kFontCount ? fonts_[font] : nullptr; }

private:
    HFONT Create(const std::wstring& face) {
        LOGFONTW lf{};
        lf.lfHeight = desc_.height;
        lf.lfWeight = desc_.weight;
        lf.lfItalic = desc_.italic ? TRUE : FALSE;
        lf.lfCharSet = DEFAULT_CHARSET;
        lf.lfOutPrecision = OUT_TT_PRECIS;
        lf.lfClipPrecision = CLIP_DEFAULT_PRECIS;
        lf.lfQuality = DEFAULT_QUALITY;
        lf.lfPitchAndFamily = DEFAULT_PITCH;
        lstrcpynW(lf.lfFaceName, face.c_str(), LF_FACESIZE);
        return CreateFontIndirectW(&lf);
    }

    bool Select(int font) {
        if (font < 0 || font >= kFontCount || !fonts_[font]) font = 0;
        if (!fonts_[font]) return false;
        if (selected_ != font) {
            SelectObject(dc_, fonts_[font]);
            selected_ = font;
        }
        return true;
    }

    void CloseAll() {
        if (dc_ && original_) SelectObject(dc_, original_);
        selected_ = -1;
        for (HFONT& f : fonts_) {
            if (f) DeleteObject(f);
            f = nullptr;
        }
    }

    HDC dc_ = nullptr;
    HGDIOBJ original_ = nullptr;
    FontDesc desc_;
    HFONT fonts_[kFontCount] = {};
    int selected_ = -1;
};

}  // namespace

std::unique_ptr<FontSource> MakeSystemFontSource() {
    return std::make_unique<GdiFontSource>();
}

}  // namespace quill
