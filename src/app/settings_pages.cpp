#include "app/settings_pages.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "app/about.h"

namespace lumen {
namespace {

using ui::SettingPage;
using ui::SettingRow;

SettingRow Switch(uint32_t id, const wchar_t* label, bool on, const wchar_t* description = L"") {
    SettingRow row;
    row.kind = ui::kSettingSwitch;
    row.id = id;
    row.label = label;
    row.description = description;
    row.on = on;
    return row;
}

SettingRow Choice(uint32_t id, const wchar_t* label, std::vector<std::wstring> options, int32_t selected,
                  const wchar_t* description = L"") {
    SettingRow row;
    row.kind = ui::kSettingChoice;
    row.id = id;
    row.label = label;
    row.description = description;
    row.options = std::move(options);
    row.selected = selected;
    return row;
}

SettingRow Button(uint32_t id, const wchar_t* label, const wchar_t* text, std::wstring description) {
    SettingRow row;
    row.kind = ui::kSettingButton;
    row.id = id;
    row.label = label;
    row.description = std::move(description);
    row.buttonText = text;
    return row;
}

// Out-of-range values act as 0, as the palette treats them.
int32_t InRangeOr0(int32_t value, int32_t last) {
    return value < 0 || value > last ? 0 : value;
}

}  // namespace

int32_t TabWidthChoice(int32_t tab) {
    return tab == 2 ? 0 : tab == 4 ? 1 : 2;
}

int32_t TabWidthOfChoice(int32_t choice) {
    return choice == 0 ? 2 : choice == 1 ? 4 : 8;
}

std::wstring FontDescription(const Settings& s) {
    const double size =
        std::isfinite(s.size) ? std::clamp(s.size, kMinFontSize, kMaxFontSize) : kDefaultFontSize;
    wchar_t number[16];
    std::swprintf(number, 16, size == std::floor(size) ? L"%.0f" : L"%.1f", size);
    const std::wstring face = s.font.empty() ? std::wstring(kDefaultFontFace) : s.font;
    return face + FontStyleSuffix(s.weight, s.italic) + L" · " + number + L"pt";
}

std::wstring AccentDescription(int32_t selected) {
    return selected == kAccentDesktop ? L"Windows 강조 색을 따릅니다" : L"맨 끝은 Windows 강조 색";
}

std::wstring VersionLine() {
    return std::wstring(L"버전 ") + kProgramVersion + L" · " + kMakerName + L" · " + kMakerWebText;
}

std::vector<uint32_t> AccentSwatches(bool dark, Colour desktopAccent) {
    std::vector<uint32_t> swatches;
    for (int32_t i = 0; i < kAccentDesktop; ++i)
        swatches.push_back(AccentPreset(i, dark));
    swatches.push_back(desktopAccent);
    return swatches;
}

std::vector<SettingPage> BuildSettingsPages(const Settings& s, bool dark, Colour desktopAccent) {
    std::vector<SettingPage> pages(4);

    pages[0].title = L"편집기";
    pages[0].glyph = 0xE70F;
    pages[0].rows = {
        Switch(kSetWrap, L"자동 줄 바꿈", s.wrap, L"긴 줄을 창 너비에 맞춰 접습니다 (Alt+Z)"),
        Switch(kSetLineNumbers, L"줄 번호", s.lines),
        Switch(kSetCaretLine, L"현재 줄 강조", s.caretline),
        Switch(kSetAutoIndent, L"자동 들여쓰기", s.autoindent,
               L"Enter를 누르면 윗줄의 들여쓰기를 이어 갑니다"),
        Switch(kSetSpaces, L"탭 대신 공백 입력", s.spaces),
        Choice(kSetTabWidth, L"탭 크기", {L"2", L"4", L"8"}, TabWidthChoice(s.tab)),
        Switch(kSetWhitespace, L"공백 문자 표시", s.ws),
        Switch(kSetEolMarks, L"줄 끝 문자 표시", s.eolmark),
        Switch(kSetPastEnd, L"마지막 줄 아래로 스크롤", s.pastend),
    };

    const int32_t accent = InRangeOr0(s.accent, kAccentDesktop);
    SettingRow accentRow;
    accentRow.kind = ui::kSettingAccent;
    accentRow.id = kSetAccent;
    accentRow.label = L"강조 색";
    accentRow.description = AccentDescription(accent);
    accentRow.selected = accent;
    accentRow.swatches = AccentSwatches(dark, desktopAccent);
    pages[1].title = L"보기";
    pages[1].glyph = 0xE790;
    pages[1].rows = {
        Choice(kSetTheme, L"테마", {L"시스템", L"밝게", L"어둡게"}, InRangeOr0(s.theme, kThemeDark),
               L"시스템을 고르면 Windows 설정을 따릅니다"),
        accentRow,
        Button(kSetFont, L"글꼴", L"글꼴 변경...", FontDescription(s)),
        Switch(kSetHint, L"빈 메모 안내 문구", s.hint, L"빈 메모에 '여기에 입력하세요'를 흐리게 표시합니다"),
        Switch(kSetTopmost, L"항상 위에 표시", s.topmost),
    };

    pages[2].title = L"파일";
    pages[2].glyph = 0xE8A5;
    pages[2].rows = {
        Switch(kSetAutosave, L"자동 저장", s.autosave, L"파일로 저장된 탭은 입력을 멈추면 1초 뒤 저장합니다"),
        Switch(kSetRestore, L"시작할 때 이전 메모 복원", s.restore, L"끄면 닫을 때 저장 여부를 묻습니다"),
        Choice(kSetKeepLast, L"마지막 탭을 닫으면", {L"창 닫기", L"빈 메모 남기기"}, s.keeplast ? 1 : 0),
        Choice(kSetNewEol, L"새 메모 줄 바꿈", {L"CRLF", L"LF"}, s.neweol == 2 ? 1 : 0,
               L"Windows는 CRLF, macOS·Linux는 LF"),
        Choice(kSetNewEncoding, L"새 메모 인코딩", {L"UTF-8", L"UTF-8 (BOM)"}, s.newenc != 0 ? 1 : 0),
    };

    pages[3].title = L"일반";
    pages[3].glyph = 0xE713;
    pages[3].rows = {
        Button(kSetRegister, L"Windows 메모장 대신 사용하기", L"등록...",
               L"txt 등 텍스트 파일을 루멘판으로 엽니다"),
        Button(kSetAbout, L"루멘판 정보", L"정보", VersionLine()),
    };
    return pages;
}

std::optional<uint32_t> ApplySettingToRecord(Settings& s, uint32_t id, int32_t value) {
    const bool on = value != 0;
    switch (id) {
        case kSetLineNumbers:
            s.lines = on;
            return kEffectLineNumbers;
        case kSetCaretLine:
            s.caretline = on;
            return kEffectEditorOptions;
        case kSetWhitespace:
            s.ws = on;
            return kEffectEditorOptions;
        case kSetEolMarks:
            s.eolmark = on;
            return kEffectEditorOptions;
        case kSetWrap:
            s.wrap = on;
            return kEffectWrap;
        case kSetPastEnd:
            s.pastend = on;
            return kEffectEditorOptions;
        case kSetAutoIndent:
            s.autoindent = on;
            return kEffectNone;
        case kSetSpaces:
            s.spaces = on;
            return kEffectEditorOptions;
        case kSetTabWidth:
            s.tab = TabWidthOfChoice(value);
            return kEffectEditorOptions;
        case kSetTheme:
            s.theme = std::clamp(value, kThemeSystem, kThemeDark);
            return kEffectPalette;
        case kSetAccent:
            s.accent = std::clamp(value, 0, kAccentDesktop);
            return kEffectPalette;
        case kSetFont:
            return kEffectFontDialog;
        case kSetHint:
            s.hint = on;
            return kEffectHint;
        case kSetNewEol:
            s.neweol = on ? 2 : 0;
            return kEffectNone;
        case kSetNewEncoding:
            s.newenc = on ? 1 : 0;
            return kEffectNone;
        case kSetAutosave:
            s.autosave = on;
            return kEffectAutosave;
        case kSetRestore:
            s.restore = on;
            return kEffectNone;
        case kSetKeepLast:
            s.keeplast = on;
            return kEffectNone;
        case kSetTopmost:
            s.topmost = on;
            return kEffectTopmost;
        case kSetRegister:
            return kEffectRegister;
        case kSetTechnology:
            s.dwrite = on;
            return kEffectTechnology;
        case kSetAbout:
            return kEffectAbout;
        default:
            return std::nullopt;
    }
}

}  // namespace lumen
