#include "edit/word_moves.h"

#include "edit/char_classes.h"

namespace quill {
namespace {

CharClass ClassAt(const Document& doc, int64_t position, int* width) {
    return ClassOf(doc.CharacterAt(position, width));
}

CharClass ClassBefore(const Document& doc, int64_t position, int* width) {
    return ClassOf(doc.CharacterBefore(position, width));
}

int64_t Clamp(const Document& doc, int64_t position) {
    return position < 0 ? 0 : position > doc.Length() ? doc.Length() : position;
}

int64_t BackOverRun(const Document& doc, int64_t p, CharClass cls) {
    int width = 0;
    while (p > 0 && ClassBefore(doc, p, &width) == cls)
        p -= width > 0 ? width : 1;
    return p;
}

int64_t ForwardOverRun(const Document& doc, int64_t p, CharClass cls) {
    const int64_t n = doc.Length();
    int width = 0;
    while (p < n && ClassAt(doc, p, &width) == cls)
        p += width > 0 ? width : 1;
    return p;
}

// One line break forward from p (which is on a CR or LF): CR LF as one.
int64_t OverBreakForward(const Document& doc, int64_t p) {
    if (doc.CharacterAt(p) == '\r' && doc.CharacterAt(p + 1) == '\n') return p + 2;
    return p + 1;
}

int64_t OverBreakBackward(const Document& doc, int64_t p) {
    if (doc.CharacterBefore(p) == '\n' && p >= 2 && doc.CharacterBefore(p - 1) == '\r') return p - 2;
    return p - 1;
}

}  // namespace

int64_t WordLeftTarget(const Document& doc, int64_t position) {
    int64_t p = BackOverRun(doc, Clamp(doc, position), CharClass::Space);
    if (p <= 0) return 0;
    int width = 0;
    const CharClass cls = ClassBefore(doc, p, &width);
    if (cls == CharClass::LineEnd) return OverBreakBackward(doc, p);
    return BackOverRun(doc, p, cls);
}

int64_t WordRightTarget(const Document& doc, int64_t position) {
    int64_t p = Clamp(doc, position);
    if (p >= doc.Length()) return p;
    int width = 0;
    const CharClass cls = ClassAt(doc, p, &width);
    if (cls == CharClass::LineEnd) {
        p = OverBreakForward(doc, p);
    } else if (cls != CharClass::Space) {
        p = ForwardOverRun(doc, p, cls);
    }
    return ForwardOverRun(doc, p, CharClass::Space);
}

int64_t WordRightEndTarget(const Document& doc, int64_t position) {
    // The run at the caret, blanks included; nothing at a line end.
    return RunEndAfter(doc, position);
}

int64_t RunStartBefore(const Document& doc, int64_t position) {
    const int64_t p = Clamp(doc, position);
    if (p <= 0) return 0;
    int width = 0;
    const CharClass cls = ClassBefore(doc, p, &width);
    if (cls == CharClass::LineEnd) return p;
    return BackOverRun(doc, p, cls);
}

int64_t RunEndAfter(const Document& doc, int64_t position) {
    const int64_t p = Clamp(doc, position);
    if (p >= doc.Length()) return p;
    int width = 0;
    const CharClass cls = ClassAt(doc, p, &width);
    if (cls == CharClass::LineEnd) return p;
    return ForwardOverRun(doc, p, cls);
}

Range64 WordAround(const Document& doc, int64_t position) {
    const int64_t p = Clamp(doc, position);
    int width = 0;
    CharClass cls;
    if (p < doc.Length() && ClassAt(doc, p, &width) != CharClass::LineEnd) {
        cls = ClassAt(doc, p, &width);
    } else if (p > 0) {
        cls = ClassBefore(doc, p, &width);
        if (cls == CharClass::LineEnd) return {p, p};
    } else {
        return {p, p};
    }
    return {BackOverRun(doc, p, cls), ForwardOverRun(doc, p, cls)};
}

}  // namespace quill
