// The built-in key bindings.
#include "edit/key_map.h"

#include <gtest/gtest.h>

#include "edit/sci_messages.h"

namespace quill {
namespace {

struct Binding {
    uint32_t key;
    unsigned plain, shift, control, controlShift, alt, altShift;
};

TEST(MapKey, EveryBindingInEveryModifierState) {
    const Binding table[] = {
        {vk::Back, SCI_DELETEBACK, SCI_DELETEBACK, SCI_DELWORDLEFT, SCI_DELLINELEFT, SCI_UNDO, SCI_REDO},
        {vk::Tab, SCI_TAB, SCI_BACKTAB, 0, 0, 0, 0},
        {vk::Return, SCI_NEWLINE, SCI_NEWLINE, 0, 0, 0, 0},
        {vk::Escape, SCI_CANCEL, SCI_CANCEL, SCI_CANCEL, SCI_CANCEL, SCI_CANCEL, SCI_CANCEL},
        {vk::Prior, SCI_PAGEUP, SCI_PAGEUPEXTEND, 0, 0, 0, 0},
        {vk::Next, SCI_PAGEDOWN, SCI_PAGEDOWNEXTEND, 0, 0, 0, 0},
        {vk::End, SCI_LINEENDWRAP, SCI_LINEENDWRAPEXTEND, SCI_DOCUMENTEND, SCI_DOCUMENTENDEXTEND,
         SCI_LINEENDDISPLAY, SCI_LINEENDDISPLAYEXTEND},
        {vk::Home, SCI_VCHOMEWRAP, SCI_VCHOMEWRAPEXTEND, SCI_DOCUMENTSTART, SCI_DOCUMENTSTARTEXTEND,
         SCI_HOMEDISPLAY, SCI_HOMEDISPLAYEXTEND},
        {vk::Left, SCI_CHARLEFT, SCI_CHARLEFTEXTEND, SCI_WORDLEFT, SCI_WORDLEFTEXTEND, 0, 0},
        {vk::Right, SCI_CHARRIGHT, SCI_CHARRIGHTEXTEND, SCI_WORDRIGHT, SCI_WORDRIGHTEXTEND, 0, 0},
        {vk::Up, SCI_LINEUP, SCI_LINEUPEXTEND, SCI_LINESCROLLUP, 0, 0, 0},
        {vk::Down, SCI_LINEDOWN, SCI_LINEDOWNEXTEND, SCI_LINESCROLLDOWN, 0, 0, 0},
        {vk::Insert, SCI_EDITTOGGLEOVERTYPE, SCI_PASTE, SCI_COPY, 0, 0, 0},
        {vk::Delete, SCI_CLEAR, SCI_CUT, SCI_DELWORDRIGHT, SCI_DELLINERIGHT, 0, 0},
        {'A', 0, 0, SCI_SELECTALL, 0, 0, 0},
        {'C', 0, 0, SCI_COPY, 0, 0, 0},
        {'V', 0, 0, SCI_PASTE, 0, 0, 0},
        {'X', 0, 0, SCI_CUT, 0, 0, 0},
        {'D', 0, 0, SCI_SELECTIONDUPLICATE, 0, 0, 0},
        {'Y', 0, 0, SCI_REDO, 0, 0, 0},
        {'Z', 0, 0, SCI_UNDO, SCI_REDO, 0, 0},
        {vk::Add, 0, 0, SCI_ZOOMIN, SCI_ZOOMIN, 0, 0},
        {vk::Subtract, 0, 0, SCI_ZOOMOUT, SCI_ZOOMOUT, 0, 0},
        {'Q', 0, 0, 0, 0, 0, 0},
        {vk::ProcessKey, 0, 0, 0, 0, 0, 0},
    };
    for (const Binding& b : table) {
        SCOPED_TRACE(testing::Message() << "key 0x" << std::hex << b.key);
        EXPECT_EQ(MapKey(b.key, false, false, false), b.plain);
        EXPECT_EQ(MapKey(b.key, true, false, false), b.shift);
        EXPECT_EQ(MapKey(b.key, false, true, false), b.control);
        EXPECT_EQ(MapKey(b.key, true, true, false), b.controlShift);
        EXPECT_EQ(MapKey(b.key, false, false, true), b.alt);
        EXPECT_EQ(MapKey(b.key, true, false, true), b.altShift);
        // Control with Alt (AltGr on many keyboards) types characters; it must never run a command.
        EXPECT_EQ(MapKey(b.key, false, true, true), 0u);
        EXPECT_EQ(MapKey(b.key, true, true, true), 0u);
    }
}

TEST(MapKey, SystemKeysTakenOnlyForBackspaceEndAndHome) {
    for (uint32_t key = 0; key < 256; ++key) {
        const bool expected = key == vk::Back || key == vk::End || key == vk::Home;
        EXPECT_EQ(TakesSystemKey(key), expected) << key;
    }
}

}  // namespace
}  // namespace quill
