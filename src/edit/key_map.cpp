#include "edit/key_map.h"

#include "edit/sci_messages.h"

namespace quill {

unsigned MapKey(uint32_t key, bool shift, bool control, bool alt) {
    if (control && alt) return 0;
    // Picks the command for the modifier state: plain, Shift, Control, Control+Shift, Alt, Alt+Shift.
    auto pick = [&](unsigned plain, unsigned withShift, unsigned withControl, unsigned withControlShift,
                    unsigned withAlt, unsigned withAltShift) -> unsigned {
        if (alt) return shift ? withAltShift : withAlt;
        if (control) return shift ? withControlShift : withControl;
        return shift ? withShift : plain;
    };
    switch (key) {
        case vk::Back:
            return pick(SCI_DELETEBACK, SCI_DELETEBACK, SCI_DELWORDLEFT, SCI_DELLINELEFT, SCI_UNDO, SCI_REDO);
        case vk::Tab:
            return pick(SCI_TAB, SCI_BACKTAB, 0, 0, 0, 0);
        case vk::Return:
            return pick(SCI_NEWLINE, SCI_NEWLINE, 0, 0, 0, 0);
        case vk::Escape:
            return SCI_CANCEL;
        case vk::Prior:
            return pick(SCI_PAGEUP, SCI_PAGEUPEXTEND, 0, 0, 0, 0);
        case vk::Next:
            return pick(SCI_PAGEDOWN, SCI_PAGEDOWNEXTEND, 0, 0, 0, 0);
        case vk::End:
            return pick(SCI_LINEENDWRAP, SCI_LINEENDWRAPEXTEND, SCI_DOCUMENTEND, SCI_DOCUMENTENDEXTEND,
                        SCI_LINEENDDISPLAY, SCI_LINEENDDISPLAYEXTEND);
        case vk::Home:
            return pick(SCI_VCHOMEWRAP, SCI_VCHOMEWRAPEXTEND, SCI_DOCUMENTSTART, SCI_DOCUMENTSTARTEXTEND,
                        SCI_HOMEDISPLAY, SCI_HOMEDISPLAYEXTEND);
        case vk::Left:
            return pick(SCI_CHARLEFT, SCI_CHARLEFTEXTEND, SCI_WORDLEFT, SCI_WORDLEFTEXTEND, 0, 0);
        case vk::Right:
            return pick(SCI_CHARRIGHT, SCI_CHARRIGHTEXTEND, SCI_WORDRIGHT, SCI_WORDRIGHTEXTEND, 0, 0);
        case vk::Up:
            return pick(SCI_LINEUP, SCI_LINEUPEXTEND, SCI_LINESCROLLUP, 0, 0, 0);
        case vk::Down:
            return pick(SCI_LINEDOWN, SCI_LINEDOWNEXTEND, SCI_LINESCROLLDOWN, 0, 0, 0);
        case vk::Insert:
            return pick(SCI_EDITTOGGLEOVERTYPE, SCI_PASTE, SCI_COPY, 0, 0, 0);
        case vk::Delete:
            return pick(SCI_CLEAR, SCI_CUT, SCI_DELWORDRIGHT, SCI_DELLINERIGHT, 0, 0);
        case 'A':
            return pick(0, 0, SCI_SELECTALL, 0, 0, 0);
        case 'C':
            return pick(0, 0, SCI_COPY, 0, 0, 0);
        case 'V':
            return pick(0, 0, SCI_PASTE, 0, 0, 0);
        case 'X':
            return pick(0, 0, SCI_CUT, 0, 0, 0);
        case 'D':
            return pick(0, 0, SCI_SELECTIONDUPLICATE, 0, 0, 0);
        case 'Y':
            return pick(0, 0, SCI_REDO, 0, 0, 0);
        case 'Z':
            return pick(0, 0, SCI_UNDO, SCI_REDO, 0, 0);
        case vk::Add:
            return pick(0, 0, SCI_ZOOMIN, SCI_ZOOMIN, 0, 0);
        case vk::Subtract:
            return pick(0, 0, SCI_ZOOMOUT, SCI_ZOOMOUT, 0, 0);
        default:
            return 0;
    }
}

bool TakesSystemKey(uint32_t key) {
    return key == vk::Back || key == vk::End || key == vk::Home;
}

}  // namespace quill
