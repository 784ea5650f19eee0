// The application object: everything the shell owns, in one static instance that lives for the
// whole process. Plain data; the verbs that change it live with their concept (tabs_win.cpp,
// main_window_win.cpp, title_band_win.cpp, status_band_win.cpp, open_files_win.cpp).
//
// Invariants (outside start-up and the inside of a verb):
//  - `tabs` holds at least one tab and `tabs.active` indexes it; the active tab's `doc` is the
//    document the editor shows, and only it;
//  - `chrome.layout` is the band layout of the current client size, DPI, tab count and status texts;
//  - everything here is touched on the user-interface thread only.
#pragma once

#include <windows.h>

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "app/band_layout.h"
#include "app/tab_model.h"
#include "app/theme.h"
#include "edit/timer_restarts.h"
#include "files/background_writer.h"
#include "files/settings.h"
#include "tools/find_card_layout.h"
#include "ui/surface.h"
#include "ui/tooltip.h"

namespace lumen {

// Private messages of the main window.
inline constexpr UINT WMU_STARTED = WM_APP + 1;
inline constexpr UINT WMU_BENCH_DONE = WM_APP + 2;
inline constexpr UINT WMU_FIRST_PAINT = WM_APP + 3;
inline constexpr UINT WMU_RUN_TESTS = WM_APP + 4;
inline constexpr UINT WMU_OPEN_PENDING = WM_APP + 5;

// Timers of the main window, each with one handler in main_window_win.cpp.
enum TimerId : UINT_PTR {
    kTimerEdit = 1,           // after a text change: the autosave, backup and session step
    kTimerRecount = 2,        // the status bar's counter
    kTimerFindRefresh = 3,    // the find card's match highlighting
    kTimerStatusMessage = 4,  // end of a transient status message
    kTimerTooltip = 5,        // hover delay of the bands' tooltips
    kTimerFocusNotice = 6,    // end of the focus-mode notice
};

inline constexpr UINT kEditDelayMs = 1000;
inline constexpr UINT kEditDelayLargeMs = 3000;  // documents of kLargeDocumentBytes or more
inline constexpr int64_t kLargeDocumentBytes = 8'388'609;
inline constexpr UINT kRecountDelayMs = 150;
inline constexpr UINT kRecountAfterMoveMs = 120;
inline constexpr UINT kFindRefreshDelayMs = 300;
inline constexpr UINT kStatusMessageMs = 2500;

// The editor's direct-call function: the same as sending it the message.
using EditorFunction = intptr_t (*)(void* editor, unsigned message, uintptr_t wParam, intptr_t lParam);

// The title and status bands: geometry and pointer interaction.
struct ChromeState {
    BandLayout layout;
    int32_t scroll = 0;    // wanted scroll offset of the unpinned tabs (the layout clamps it)
    HitPart hover;         // under the pointer
    HitPart pressed;       // where the left button went down; part 0 when none
    HitPart tipFor;        // whose tooltip is pending or shown
    int32_t dragTab = -1;  // the tab held by the left button
    int32_t dragStartX = 0;
    bool dragging = false;
    int32_t captionHover = kHitNothing;  // kHitMinimize, kHitMaximize or kHitClose
    int32_t captionPressed = kHitNothing;
    bool trackingClient = false;  // a mouse-leave notification is requested
    bool trackingNonClient = false;
    bool windowActive = true;                   // the non-client area is drawn active
    int32_t textMargin = 0;                     // the editor's text margins in focus mode; 0: the default
    BandRect editorPlaced;                      // where the editor was last put
    int32_t clientWidth = 0, clientHeight = 0;  // from the last WM_SIZE
    unsigned invalidBands = 0;                  // bands invalidated since the last paint (BandMask)
};

// Timer 1 (the edit step), in GetTickCount milliseconds.
struct EditStepState {
    uint32_t lastChange = 0;      // the last text change of the active tab
    uint32_t oldestUnbacked = 0;  // the oldest change not yet backed up; meaningful while `unbacked`
    bool unbacked = false;
    uint32_t delay = 0;  // the pause after the last change that ends in the full step
    uint32_t due = 0;    // when the armed timer fires
    bool armed = false;
};

// A text of the status band with its width in the status font, measured again only when it changes.
struct MeasuredText {
    std::wstring text;
    int32_t width = -1;
};

// The texts of the status band.
struct StatusState {
    std::wstring positionText;
    std::wstring countText;
    std::wstring statusMessage;  // transient, cleared by kTimerStatusMessage
    // position, count, zoom, line breaks, encoding, autosave indicator; cleared when fonts change
    MeasuredText measured[6];
};

// The find card (tools/find_card.h): its windows, toggles, geometry and pointer state. The windows
// are created on first use and kept, hidden, until the main window goes.
struct FindCardState {
    HWND card = nullptr;
    HWND findEdit = nullptr, replaceEdit = nullptr;
    HWND lastFocusedEdit = nullptr;
    bool visible = false;
    bool matchCase = false, wholeWord = false;  // kept while the program runs, never saved
    FindMode mode = FindMode::Find;
    FindCardLayout layout;
    int32_t hotButton = -1, pressedButton = -1, tipButton = -1;
    bool trackingLeave = false;
    int32_t matchCount = -1;   // -1: not counted
    int32_t matchIndex = 0;    // 1-based match at the selection start, 0 none
    bool settingText = false;  // the card itself is writing a box: no search on its change
    HFONT editFont = nullptr;  // the font the boxes were given (the fonts are re-created per DPI)
    HBRUSH inputBrush = nullptr;
    Colour inputBrushColour = 0;
    ui::Surface surface;
};

struct App {
    HINSTANCE instance = nullptr;
    HWND hwnd = nullptr;
    HWND editor = nullptr;
    EditorFunction editorFn = nullptr;
    void* editorPtr = nullptr;
    // The accelerator table belongs to the command table (menus and shortcuts); null until it exists,
    // and every user of it checks.
    HACCEL accel = nullptr;
    uint32_t dpi = 96;

    bool secondary = false;  // a second instance: no session, no pruning of backups
    bool win11 = false;
    bool bench = false;
    bool selfTest = false;  // also the performance test
    bool closing = false;   // the quit flow's final writes run
    bool started = false;   // WMU_STARTED was handled
    bool firstPaintPending = true;
    bool showPending = false;  // shown without activation; brought to the front after the first paint
    bool focusMode = false;
    WINDOWPLACEMENT focusPlacement{};  // where the window was before focus mode, and its style
    LONG_PTR focusStyle = 0;
    HWND lastFocus = nullptr;  // the child that had the focus when the window was last deactivated

    std::wstring benchArg;
    std::wstring testPath;
    std::vector<std::wstring> startupFiles;

    Settings settings;
    SettingsLoad settingsLoad;  // whether the settings file may be replaced
    Palette palette;
    std::optional<Colour> desktopAccent;  // for the settings window's swatch
    UiFonts fonts;
    ui::Surface surface;      // the bands are painted here and copied in one blit
    HDC measureDc = nullptr;  // text measurement for the band layout

    // The background writer of the system's own files, and the session text last handed to it.
    BackgroundWriter writer;
    std::string lastSessionText;
    EditStepState editStep;
    bool backupsAccountedFor = true;  // false when a session file could not be read: no pruning

    // Batches of paths handed over by second launches, oldest first; one per WMU_OPEN_PENDING.
    std::vector<std::vector<std::wstring>> pendingOpens;

    TabList tabs;
    ChromeState chrome;
    StatusState status;
    ui::TipWindow tip;
    ui::TipWindow notice;  // the focus-mode notice
    // Timers restarted on every key (the edit step, the counter) only record the restart; an
    // early tick re-arms for the rest of the period.
    quill::TimerRestarts timers;
    std::wstring shownTitle;  // the window title last set

    FindCardState find;
    // The command table arrives with its own part of the program.
};

// The one application object, created on first use.
App& TheApp();

// A message to the editor through its direct function.
inline intptr_t Ed(App& app, unsigned message, uintptr_t wParam = 0, intptr_t lParam = 0) {
    return app.editorFn(app.editorPtr, message, wParam, lParam);
}
template <typename T>
inline intptr_t Ed(App& app, unsigned message, uintptr_t wParam, T* pointer) {
    return app.editorFn(app.editorPtr, message, wParam, reinterpret_cast<intptr_t>(pointer));
}

}  // namespace lumen
