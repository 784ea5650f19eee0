// The Windows side of a view: what the view asks of its window (timers, invalidation, scroll bars,
// notifications, the system caret, the clipboard) and the off-screen surface it paints into.
#pragma once

#include <windows.h>

#include <climits>

#include "edit/timer_restarts.h"
#include "edit/view.h"

namespace quill {

class WinViewHost final : public ViewHost {
public:
    explicit WinViewHost(HWND hwnd) : hwnd_(hwnd) {}
    ~WinViewHost() override;

    void StartTimer(int id, uint32_t milliseconds) override;
    void StopTimer(int id) override;
    void InvalidateAll() override;
    void InvalidateRect(int32_t left, int32_t top, int32_t right, int32_t bottom) override;
    bool ScrollPixels(int32_t dy) override;
    void SetScrollBar(bool vertical, const ScrollValues& values) override;
    int32_t Dpi() override;
    void* SystemHandle() override { return hwnd_; }
    void Notify(Notification& notification) override;
    void PostUpdate() override;
    void TakeFocus() override;
    void MoveSystemCaret(int32_t x, int32_t y) override;
    void PositionImeWindows(int32_t x, int32_t y, int32_t lineHeight) override;  // ime_win.cpp
    void CompleteImeComposition() override;
    uint32_t ButtonFaceColour() override;
    bool CopyToClipboard(const std::string& utf8) override;
    bool ReadClipboard(std::string* utf8) override;
    bool ClipboardHasText() override;

    HWND hwnd() const { return hwnd_; }
    // Invalidations are remembered within one outermost message to the control, up to its own
    // paint or scroll: between messages anything may validate the window. Messages the parent
    // sends back while it handles a notification (reading the text, the caret) keep them, so an
    // edit and the caret move that follows its notification invalidate the row once. (A parent
    // that validates the control's window itself from inside a notification is not seen.)
    void ForgetInvalidated() { invalidated_ = RECT{0, 0, 0, 0}; }
    // Counts nested messages; the outermost one starts with nothing remembered.
    void EnterMessage() {
        if (messageDepth_++ == 0) ForgetInvalidated();
    }
    void LeaveMessage() { --messageDepth_; }
    // Whether the update region is known to be a plain rectangle: everything was invalidated since
    // the last paint, or one rectangle was. Then the paint's bounding box is the region and it need
    // not be asked for (anything the system added only makes the box larger, which is still
    // correct). Reading starts the count again.
    bool TakeRectangularUpdate() {
        const bool known = allInvalid_ || invalidations_ == 1;
        allInvalid_ = false;
        invalidations_ = 0;
        return known;
    }

    // A tick of a system timer: false when it only re-armed a lazily restarted timer and the view
    // must not see it.
    bool TimerTick(int id);
    // The system caret follows MoveSystemCaret once per message, and only when it moved: a page
    // move scrolls and moves the caret, which often leaves it where it was on the screen.
    void FlushSystemCaret();
    // The system caret was created or destroyed: its position is unknown.
    void ForgetSystemCaret() { caretShown_ = {INT_MIN, INT_MIN}; }

    // The off-screen 32-bit top-down bitmap, grown to at least width x height (never shrunk).
    bool EnsureSurface(int32_t width, int32_t height);
    HDC surfaceDc() const { return memDc_; }
    // A device context drawing into the same pixels as surfaceDc() with `font` selected. Each
    // font keeps a context of its own, so a row that alternates between a font and its fallback
    // does not select fonts back and forth (selecting a font costs far more than drawing a run).
    HDC FontDc(HFONT font);
    // Leaves no font selected in any context. Fonts otherwise stay selected from one paint to
    // the next: selecting one costs more than drawing a row with it.
    void ReleaseFonts() override;
    uint32_t* surfaceBits() const { return bits_; }
    int32_t surfaceWidth() const { return surfaceWidth_; }
    int32_t surfaceHeight() const { return surfaceHeight_; }

    // Click series of the left button.
    int clickCount = 0;
    DWORD lastClickTime = 0;
    POINT lastClick{};
    // Whether the system was asked to tell the window when the pointer leaves it.
    bool trackingLeave = false;

private:
    void FreeSurface();

    struct FontContext {
        HDC dc = nullptr;
        HBITMAP bitmap = nullptr;
        HGDIOBJ oldBitmap = nullptr;
        HGDIOBJ oldFont = nullptr;
        HFONT font = nullptr;
        uint64_t used = 0;
    };
    // The text font, its fallback and the line-number font; further fonts take turns. Each
    // context maps the pixels once more, so there are no more than a paint commonly needs.
    static constexpr int kFontContexts = 3;
    bool MapContext(FontContext& c);

    HWND hwnd_;
    HDC memDc_ = nullptr;
    HBITMAP bitmap_ = nullptr;
    HGDIOBJ oldBitmap_ = nullptr;
    HANDLE section_ = nullptr;
    RECT invalidated_{0, 0, 0, 0};
    bool allInvalid_ = false;
    int invalidations_ = 0;  // separate areas invalidated since the last paint
    int messageDepth_ = 0;
    TimerRestarts timers_;
    POINT caretWanted_{INT_MIN, INT_MIN};
    POINT caretShown_{INT_MIN, INT_MIN};
    FontContext fontDcs_[kFontContexts];
    uint64_t fontUses_ = 0;
    uint32_t* bits_ = nullptr;
    int32_t surfaceWidth_ = 0;
    int32_t surfaceHeight_ = 0;
};

}  // namespace quill
