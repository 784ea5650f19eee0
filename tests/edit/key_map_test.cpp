// The built-in key bindings: rules that hold for every key rather than a copy of the table.
#include "edit/key_map.h"

#include <gtest/gtest.h>

#include "edit/control_support.h"
#include "edit/sci_messages.h"

namespace quill {
namespace {

TEST(MapKey, EveryBindingIsACommandAndControlWithAltNeverMaps) {
    test::Control c;
    int bound = 0;
    for (uint32_t key = 0; key < 256; ++key) {
        for (int state = 0; state < 8; ++state) {
            const bool shift = state & 1, control = state & 2, alt = state & 4;
            const unsigned command = MapKey(key, shift, control, alt);
            if (control && alt) {
                EXPECT_EQ(command, 0u) << key;  // AltGr types characters
                continue;
            }
            if (command == 0) continue;
            ++bound;
            EXPECT_TRUE(c.view->ExecuteCommand(command)) << "key " << key << " state " << state;
        }
    }
    EXPECT_GT(bound, 50);
    // A few bindings with no pattern to them.
    EXPECT_EQ(MapKey(vk::Back, false, false, true), SCI_UNDO);
    EXPECT_EQ(MapKey(vk::Back, true, false, true), SCI_REDO);
    EXPECT_EQ(MapKey('Z', true, true, false), SCI_REDO);
    EXPECT_EQ(MapKey(vk::Insert, true, false, false), SCI_PASTE);
    EXPECT_EQ(MapKey(vk::Home, false, false, false), SCI_VCHOMEWRAP);
    EXPECT_EQ(MapKey(vk::End, true, false, true), SCI_LINEENDDISPLAYEXTEND);
    EXPECT_EQ(MapKey(vk::Escape, true, true, false), SCI_CANCEL);
    EXPECT_EQ(MapKey(vk::ProcessKey, false, false, false), 0u);
}

TEST(MapKey, SystemKeysTakenOnlyForBackspaceEndAndHome) {
    for (uint32_t key = 0; key < 256; ++key) {
        const bool expected = key == vk::Back || key == vk::End || key == vk::Home;
        EXPECT_EQ(TakesSystemKey(key), expected) << key;
    }
}

}  // namespace
}  // namespace quill
