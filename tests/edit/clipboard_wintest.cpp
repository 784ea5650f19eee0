// The clipboard through the system, with a real window as its owner.
#include "edit/clipboard_win.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstring>
#include <thread>

namespace quill {
namespace {

class ClipboardTest : public testing::Test {
protected:
    void SetUp() override {
        hwnd_ = CreateWindowW(L"STATIC", L"clipboard owner", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                              GetModuleHandleW(nullptr), nullptr);
        ASSERT_NE(hwnd_, nullptr);
    }
    void TearDown() override { DestroyWindow(hwnd_); }
    HWND hwnd_ = nullptr;
};

// An empty copy leaves what was there.
TEST_F(ClipboardTest, HangulAndLineBreaksRoundTripAndEmptyTextIsNotCopied) {
    const std::string text = "첫 줄 abc\r\n둘째\n셋째\r끝 \xF0\x9F\x98\x80";
    ASSERT_TRUE(CopyTextToClipboard(hwnd_, text));
    EXPECT_TRUE(ClipboardHasText());
    EXPECT_FALSE(CopyTextToClipboard(hwnd_, ""));
    std::string back;
    ASSERT_TRUE(ReadClipboardText(hwnd_, &back));
    EXPECT_EQ(back, text) << "line breaks are not converted either way";
}

TEST_F(ClipboardTest, ReadStopsAtTheFirstNul) {
    // Another program may leave text followed by garbage after a NUL in a larger block.
    const wchar_t raw[] = L"before\0after";
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, sizeof raw);
    std::memcpy(GlobalLock(block), raw, sizeof raw);
    GlobalUnlock(block);
    ASSERT_TRUE(OpenClipboardWithRetry(hwnd_));
    EmptyClipboard();
    ASSERT_NE(SetClipboardData(CF_UNICODETEXT, block), nullptr);
    CloseClipboard();
    std::string back;
    ASSERT_TRUE(ReadClipboardText(hwnd_, &back));
    EXPECT_EQ(back, "before");
}

TEST_F(ClipboardTest, NoTextOnTheClipboard) {
    ASSERT_TRUE(OpenClipboardWithRetry(hwnd_));
    EmptyClipboard();
    CloseClipboard();
    EXPECT_FALSE(ClipboardHasText());
    std::string back = "stale";
    EXPECT_FALSE(ReadClipboardText(hwnd_, &back));
    EXPECT_TRUE(back.empty());
}

TEST_F(ClipboardTest, BusyClipboardGivesUpAfterTheRetries) {
    // Another thread holds the clipboard open for longer than all the retries take.
    std::atomic<bool> held{false}, release{false};
    std::thread holder([&] {
        HWND other = CreateWindowW(L"STATIC", L"holder", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                                   GetModuleHandleW(nullptr), nullptr);
        held = OpenClipboard(other) != FALSE;
        while (held && !release)
            Sleep(1);
        if (held) CloseClipboard();
        DestroyWindow(other);
        held = false;
        release = true;
    });
    while (!held && !release)
        Sleep(1);
    if (!held) {
        holder.join();
        GTEST_SKIP() << "the system let no other thread hold the clipboard";
    }
    const DWORD start = GetTickCount();
    std::string back;
    EXPECT_FALSE(ReadClipboardText(hwnd_, &back));
    EXPECT_FALSE(CopyTextToClipboard(hwnd_, "x"));
    const DWORD elapsed = GetTickCount() - start;
    release = true;
    holder.join();
    EXPECT_GE(elapsed, 2u * (kClipboardTries - 1) * kClipboardRetryMs / 2) << "both calls retried";
    // Once released, the clipboard works again.
    EXPECT_TRUE(CopyTextToClipboard(hwnd_, "free"));
}

}  // namespace
}  // namespace quill
