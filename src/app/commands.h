// The command table: every action that is not typing is a 16-bit command number, and this one table
// says, per number, its menu label, the shortcut text the menus show, its icon, how the focus is
// treated afterwards and which handler runs it. Menus, the accelerator table, the dispatcher and the
// tests read it; nothing lists the commands a second time.
//
// Groups: 100..165 single commands; 200..204 choose the save encoding; 220..224 reopen with an
// encoding; 300..308 a tab by number; 400..409 a recent file; 500 and up belong to the open-tabs menu
// (never dispatched); 990 and 991 test hooks. Numbers in no row only return the focus to the editor.
#pragma once

#include <cstdint>

namespace lumen {

struct App;

// How the dispatcher treats the keyboard focus around a command.
enum CommandFlags : uint8_t {
    kFocusEditorAfter = 0,  // the default: the editor has the focus afterwards
    kKeepsFocus = 1,        // the command places the focus itself (the find card)
    kOnlyFromEditor = 2,    // ignored unless the editor or the main window has the focus
};

// X(first, last, Handler, label, shortcut, glyph, flags): one row per command, or per run of numbers
// that share a handler and have no labels of their own (tabs by number, recent files).
// clang-format off
#define LUMEN_COMMAND_TABLE(X)                                                              \
    X(100, 100, NewTab,          L"새 탭",                   L"Ctrl+N",        0xE710, 0) \
    X(101, 101, Open,            L"열기...",                 L"Ctrl+O",        0xE8E5, 0) \
    X(102, 102, Save,            L"저장",                    L"Ctrl+S",        0xE74E, 0) \
    X(103, 103, SaveAs,          L"다른 이름으로 저장...",   L"Ctrl+Shift+S",  0xE792, 0) \
    X(104, 104, SaveAll,         L"모두 저장",               L"Ctrl+Alt+S",    0,      0) \
    X(105, 105, CloseActiveTab,  L"탭 닫기",                 L"Ctrl+W",        0xE8BB, 0) \
    X(106, 106, ReopenClosed,    L"닫은 탭 다시 열기",       L"Ctrl+Shift+T",  0xE7A7, 0) \
    X(107, 107, NextTab,         L"다음 탭",                 L"Ctrl+Tab",      0,      0) \
    X(108, 108, PreviousTab,     L"이전 탭",                 L"Ctrl+Shift+Tab", 0,     0) \
    X(109, 109, FindCard,        L"찾기",                    L"Ctrl+F",        0xE721, kKeepsFocus) \
    X(110, 110, FindCard,        L"바꾸기",                  L"Ctrl+H",        0xE8AC, kKeepsFocus) \
    X(111, 111, FindCard,        L"줄 이동",                 L"Ctrl+G",        0,      kKeepsFocus) \
    X(112, 112, FindCard,        L"다음 찾기",               L"F3",            0,      kKeepsFocus) \
    X(113, 113, FindCard,        L"이전 찾기",               L"Shift+F3",      0,      kKeepsFocus) \
    X(114, 114, InsertTimeDate,  L"시간/날짜 넣기",          L"F5",            0xE787, 0) \
    X(115, 115, WordWrap,        L"자동 줄 바꿈",            L"Alt+Z",         0,      0) \
    X(116, 116, LineNumbers,     L"줄 번호",                 L"",              0,      0) \
    X(117, 117, ZoomIn,          L"확대",                    L"Ctrl++",        0xE8A3, 0) \
    X(118, 118, ZoomOut,         L"축소",                    L"Ctrl+-",        0xE71F, 0) \
    X(119, 119, ZoomReset,       L"기본 크기",               L"Ctrl+0",        0,      0) \
    X(120, 120, Font,            L"글꼴...",                 L"",              0,      0) \
    X(121, 121, ThemeChoice,     L"시스템 설정 따르기",      L"",              0,      0) \
    X(122, 122, ThemeChoice,     L"밝게",                    L"",              0,      0) \
    X(123, 123, ThemeChoice,     L"어둡게",                  L"",              0,      0) \
    X(126, 126, Associate,       L"텍스트 파일 연결...",     L"",              0,      0) \
    X(127, 127, AboutWindow,     L"정보",                    L"",              0xE946, 0) \
    X(128, 128, Quit,            L"끝내기",                  L"Alt+F4",        0,      0) \
    X(129, 129, EditorEdit,      L"실행 취소",               L"Ctrl+Z",        0xE7A7, 0) \
    X(130, 130, EditorEdit,      L"다시 실행",               L"Ctrl+Y",        0xE7A6, 0) \
    X(131, 131, EditorEdit,      L"잘라내기",                L"Ctrl+X",        0xE8C6, 0) \
    X(132, 132, EditorEdit,      L"복사",                    L"Ctrl+C",        0xE8C8, 0) \
    X(133, 133, EditorEdit,      L"붙여넣기",                L"Ctrl+V",        0xE77F, 0) \
    X(134, 134, EditorEdit,      L"삭제",                    L"Del",           0xE74D, 0) \
    X(135, 135, EditorEdit,      L"모두 선택",               L"Ctrl+A",        0xE8B3, 0) \
    X(136, 136, CloseActiveTab,  L"탭 닫기",                 L"Ctrl+W",        0xE8BB, 0) \
    X(137, 137, CloseOthers,     L"다른 탭 모두 닫기",       L"",              0,      0) \
    X(138, 138, CloseOthers,     L"오른쪽 탭 모두 닫기",     L"",              0,      0) \
    X(139, 139, CopyPath,        L"전체 경로 복사",          L"",              0xE8C8, 0) \
    X(140, 140, OpenFolder,      L"파일 위치 열기",          L"",              0xE838, 0) \
    X(141, 141, LineBreaks,      L"Windows (CRLF)",          L"",              0,      0) \
    X(142, 142, LineBreaks,      L"Unix (LF)",               L"",              0,      0) \
    X(143, 143, LineBreaks,      L"Mac (CR)",                L"",              0,      0) \
    X(144, 144, Topmost,         L"항상 위에 표시",          L"",              0,      0) \
    X(145, 145, LineTools,       L"줄 정렬 (오름차순)",      L"",              0xE8CB, 0) \
    X(146, 146, LineTools,       L"줄 정렬 (내림차순)",      L"",              0xE8CB, 0) \
    X(147, 147, LineTools,       L"중복 줄 제거",            L"",              0,      0) \
    X(148, 148, LineTools,       L"대문자로",                L"",              0,      0) \
    X(149, 149, LineTools,       L"소문자로",                L"",              0,      0) \
    X(150, 150, WebSearch,       L"웹에서 검색",             L"Ctrl+E",        0xE774, 0) \
    X(151, 151, Pin,             L"탭 고정",                 L"",              0xE718, 0) \
    X(152, 152, SettingsWindow,  L"설정",                    L"Ctrl+,",        0xE713, 0) \
    X(153, 153, LineTools,       L"줄 위로 이동",            L"Alt+↑",         0,      kOnlyFromEditor) \
    X(154, 154, LineTools,       L"줄 아래로 이동",          L"Alt+↓",         0,      kOnlyFromEditor) \
    X(155, 155, LineTools,       L"줄 삭제",                 L"Ctrl+Shift+K",  0,      kOnlyFromEditor) \
    X(156, 156, LineTools,       L"줄 합치기",               L"Ctrl+J",        0,      kOnlyFromEditor) \
    X(157, 157, DuplicateLine,   L"줄 복제",                 L"Ctrl+D",        0,      0) \
    X(158, 158, LineTools,       L"줄 끝 공백 제거",         L"",              0,      0) \
    X(159, 159, LineTools,       L"탭을 공백으로",           L"",              0,      0) \
    X(160, 160, LineTools,       L"들여쓰기 공백을 탭으로",  L"",              0,      0) \
    X(161, 161, LineTools,       L"빈 줄 제거",              L"",              0,      0) \
    X(162, 162, FocusMode,       L"집중 모드",               L"F11",           0,      0) \
    X(163, 163, OpenTabsMenu,    L"열린 탭 모두 보기",       L"Ctrl+Shift+A",  0,      0) \
    X(164, 164, ClearRecent,     L"목록 지우기",             L"",              0,      0) \
    X(165, 165, Print,           L"인쇄...",                 L"Ctrl+P",        0xE749, 0) \
    X(200, 200, SaveEncoding,    L"UTF-8",                   L"",              0,      0) \
    X(201, 201, SaveEncoding,    L"UTF-8 (BOM)",             L"",              0,      0) \
    X(202, 202, SaveEncoding,    L"UTF-16 LE",               L"",              0,      0) \
    X(203, 203, SaveEncoding,    L"UTF-16 BE",               L"",              0,      0) \
    X(204, 204, SaveEncoding,    L"ANSI",                    L"",              0,      0) \
    X(220, 220, ReopenEncoding,  L"UTF-8",                   L"",              0,      0) \
    X(221, 221, ReopenEncoding,  L"UTF-8 (BOM)",             L"",              0,      0) \
    X(222, 222, ReopenEncoding,  L"UTF-16 LE",               L"",              0,      0) \
    X(223, 223, ReopenEncoding,  L"UTF-16 BE",               L"",              0,      0) \
    X(224, 224, ReopenEncoding,  L"ANSI",                    L"",              0,      0) \
    X(300, 308, TabByNumber,     L"",                        L"",              0,      0) \
    X(400, 409, RecentFile,      L"",                        L"",              0,      0) \
    X(990, 990, TestHoverTip,    L"",                        L"",              0,      0) \
    X(991, 991, TestMainMenu,    L"",                        L"",              0,      0)
// clang-format on

// Command numbers the shell names in code (the rest are only in the table).
enum CommandId : uint16_t {
    kCmdNewTab = 100,
    kCmdOpen = 101,
    kCmdSave = 102,
    kCmdSaveAs = 103,
    kCmdSaveAll = 104,
    kCmdCloseTab = 105,
    kCmdReopenClosed = 106,
    kCmdNextTab = 107,
    kCmdPreviousTab = 108,
    kCmdFind = 109,
    kCmdReplace = 110,
    kCmdGoToLine = 111,
    kCmdFindNext = 112,
    kCmdFindPrevious = 113,
    kCmdTimeDate = 114,
    kCmdWordWrap = 115,
    kCmdLineNumbers = 116,
    kCmdZoomIn = 117,
    kCmdZoomOut = 118,
    kCmdZoomReset = 119,
    kCmdThemeSystem = 121,
    kCmdAbout = 127,
    kCmdQuit = 128,
    kCmdUndo = 129,
    kCmdRedo = 130,
    kCmdCut = 131,
    kCmdCopy = 132,
    kCmdPaste = 133,
    kCmdDelete = 134,
    kCmdSelectAll = 135,
    kCmdCloseTabMenu = 136,
    kCmdCloseOthers = 137,
    kCmdCloseRight = 138,
    kCmdCopyPath = 139,
    kCmdOpenFolder = 140,
    kCmdEolCrlf = 141,
    kCmdEolLf = 142,
    kCmdEolCr = 143,
    kCmdTopmost = 144,
    kCmdWebSearch = 150,
    kCmdPin = 151,
    kCmdSettings = 152,
    kCmdFocusMode = 162,
    kCmdOpenTabsMenu = 163,
    kCmdClearRecent = 164,
    kCmdPrint = 165,
    kCmdSaveEncoding = 200,    // + TextEncoding
    kCmdReopenEncoding = 220,  // + TextEncoding
    kCmdTabByNumber = 300,     // + index for the first eight tabs
    kCmdLastTab = 308,
    kCmdRecentFile = 400,  // + position in the list
    kCmdOpenTabsItem = 500,
    kCmdTestHoverTip = 990,
    kCmdTestMainMenu = 991,
};

struct CommandInfo {
    uint16_t first = 0, last = 0;
    const wchar_t* label = L"";
    const wchar_t* shortcut = L"";
    uint16_t glyph = 0;
    uint8_t flags = 0;
};

// The row that holds `id`, or null.
const CommandInfo* FindCommand(int id);
// Every row, in number order.
const CommandInfo* CommandRows(int* count);

// The tab a switching command activates with `count` tabs and `active` the active index: next (107)
// and previous (108) wrap around, 300..307 name the first eight tabs, 308 the last. -1 when the
// command activates nothing (a tab by number beyond the last, or not a switching command).
int TabForCommand(int id, int count, int active);

// The zoom level SetZoom sends: clamped to 4 - (integer part of the font size) .. 40, so the
// effective size never falls below 4 points.
int32_t ClampZoom(int32_t level, double fontSize);

#ifdef _WIN32
// Runs command `id` with the focus rule of its row.
void DispatchCommand(App& app, int id);
#endif

}  // namespace lumen
