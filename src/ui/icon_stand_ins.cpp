#include "ui/icon_stand_ins.h"

namespace lumen::ui {

const IconStandIn& IconStandInFor(char32_t codePoint) {
    using L = IconStandIn::Line;
    static const IconStandIn kClose{{L{{{-0.4f, -0.4f}, {0.4f, 0.4f}}}, L{{{-0.4f, 0.4f}, {0.4f, -0.4f}}}},
                                    {}};
    static const IconStandIn kAdd{{L{{{-0.45f, 0}, {0.45f, 0}}}, L{{{0, -0.45f}, {0, 0.45f}}}}, {}};
    static const IconStandIn kMinimize{{L{{{-0.5f, 0}, {0.5f, 0}}}}, {}};
    static const IconStandIn kMaximize{
        {L{{{-0.45f, -0.45f}, {0.45f, -0.45f}, {0.45f, 0.45f}, {-0.45f, 0.45f}}, true}}, {}};
    // The front window, and the edge of the one behind it.
    static const IconStandIn kRestore{
        {L{{{-0.45f, -0.25f}, {0.25f, -0.25f}, {0.25f, 0.45f}, {-0.45f, 0.45f}}, true},
         L{{{-0.25f, -0.25f}, {-0.25f, -0.45f}, {0.45f, -0.45f}, {0.45f, 0.25f}, {0.25f, 0.25f}}}},
        {}};
    static const IconStandIn kChevronDown{{L{{{-0.45f, -0.2f}, {0, 0.25f}, {0.45f, -0.2f}}}}, {}};
    static const IconStandIn kChevronUp{{L{{{-0.45f, 0.2f}, {0, -0.25f}, {0.45f, 0.2f}}}}, {}};
    static const IconStandIn kChevronRight{{L{{{-0.2f, -0.45f}, {0.25f, 0}, {-0.2f, 0.45f}}}}, {}};
    static const IconStandIn kCheck{{L{{{-0.45f, 0}, {-0.15f, 0.3f}, {0.45f, -0.35f}}}}, {}};
    static const IconStandIn kMore{{}, {{-0.38f, 0}, {0, 0}, {0.38f, 0}}};
    static const IconStandIn kNone{};
    switch (codePoint) {
        case 0xE8BB:
            return kClose;
        case 0xE710:
            return kAdd;
        case 0xE921:
            return kMinimize;
        case 0xE922:
            return kMaximize;
        case 0xE923:
            return kRestore;
        case 0xE70D:
            return kChevronDown;
        case 0xE70E:
            return kChevronUp;
        case 0xE76C:
            return kChevronRight;
        case 0xE73E:
            return kCheck;
        case 0xE712:
            return kMore;
        default:
            return kNone;
    }
}

}  // namespace lumen::ui
