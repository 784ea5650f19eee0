#include "tools/find_search.h"

#include "edit/sci_messages.h"
#include "edit/search.h"
#include "tools/find_card_layout.h"

namespace lumen {
namespace {

using namespace quill;

uintptr_t W(int64_t v) {
    return static_cast<uintptr_t>(v);
}

intptr_t L(std::string_view text) {
    return reinterpret_cast<intptr_t>(text.data());
}

// Searches the target (start, end) for the needle; the match start, or -1.
int64_t SearchIn(const EditorLink& ed, int64_t start, int64_t end, std::string_view needle) {
    ed(SCI_SETTARGETRANGE, W(start), static_cast<intptr_t>(end));
    return ed(SCI_SEARCHINTARGET, needle.size(), L(needle));
}

}  // namespace

uint32_t FindFlags(bool matchCase, bool wholeWord) {
    return (matchCase ? SCFIND_MATCHCASE : 0) | (wholeWord ? SCFIND_WHOLEWORD : 0);
}

void ClearMatchHighlights(const EditorLink& ed) {
    ed(SCI_SETINDICATORCURRENT, kFindIndicator);
    ed(SCI_INDICATORCLEARRANGE, 0, ed(SCI_GETLENGTH));
}

MatchCount CountMatches(const EditorLink& ed, std::string_view needle, uint32_t flags) {
    ClearMatchHighlights(ed);
    MatchCount m;
    const int64_t length = ed(SCI_GETLENGTH);
    if (needle.empty() || length > kFindCountLimitBytes) return m;
    ed(SCI_SETSEARCHFLAGS, flags);
    const int64_t selection = ed(SCI_GETSELECTIONSTART);
    m.count = 0;
    int64_t p = 0;
    do {
        const int64_t start = SearchIn(ed, p, length, needle);
        if (start < 0) break;
        const int64_t end = ed(SCI_GETTARGETEND);
        p = end;
        ++m.count;
        if (start == selection) m.index = m.count;
        ed(SCI_INDICATORFILLRANGE, W(start), static_cast<intptr_t>(end - start));
        if (end <= start) p = start + 1;
    } while (m.count < kFindCountCap);
    return m;
}

FindOutcome FindNextMatch(const EditorLink& ed, std::string_view needle, uint32_t flags, bool forward,
                          bool incremental) {
    if (needle.empty()) return FindOutcome::NotFound;
    ed(SCI_SETSEARCHFLAGS, flags);
    const int64_t length = ed(SCI_GETLENGTH);
    const int64_t s = ed(SCI_GETSELECTIONSTART), e = ed(SCI_GETSELECTIONEND);
    bool wrapped = false;
    int64_t start = forward ? SearchIn(ed, incremental ? s : e, length, needle) : SearchIn(ed, s, 0, needle);
    if (start < 0) {
        wrapped = true;
        start = forward ? SearchIn(ed, 0, length, needle) : SearchIn(ed, length, 0, needle);
        if (start < 0) return FindOutcome::NotFound;
    }
    const int64_t end = ed(SCI_GETTARGETEND);
    ed(SCI_SETSEL, W(start), static_cast<intptr_t>(end));
    ed(SCI_SCROLLRANGE, W(end), static_cast<intptr_t>(start));
    return wrapped ? FindOutcome::FoundAfterWrap : FindOutcome::Found;
}

bool ReplaceSelectedMatch(const EditorLink& ed, std::string_view needle, std::string_view replacement,
                          uint32_t flags) {
    if (needle.empty()) return false;
    ed(SCI_SETSEARCHFLAGS, flags);
    const int64_t s = ed(SCI_GETSELECTIONSTART), e = ed(SCI_GETSELECTIONEND);
    if (s == e || SearchIn(ed, s, e, needle) != s || ed(SCI_GETTARGETEND) != e) return false;
    ed(SCI_REPLACETARGET, replacement.size(), L(replacement));
    const int64_t caret = ed(SCI_GETTARGETEND);
    ed(SCI_SETSEL, W(caret), static_cast<intptr_t>(caret));
    return true;
}

int64_t ReplaceEveryMatch(const EditorLink& ed, std::string_view needle, std::string_view replacement,
                          uint32_t flags) {
    if (needle.empty()) return 0;
    // The highlights are counted again afterwards; without them every replacement is cheaper.
    ClearMatchHighlights(ed);
    ed(SCI_SETSEARCHFLAGS, flags);
    ed(SCI_BEGINUNDOACTION);
    int64_t replaced = 0, p = 0;
    while (SearchIn(ed, p, ed(SCI_GETLENGTH), needle) >= 0) {
        ed(SCI_REPLACETARGET, replacement.size(), L(replacement));
        p = ed(SCI_GETTARGETEND);  // after the inserted text
        ++replaced;
    }
    ed(SCI_ENDUNDOACTION);
    return replaced;
}

std::wstring ReplacedMessage(int64_t replaced) {
    return replaced > 0 ? std::to_wstring(replaced) + L"개를 바꿨습니다" : L"바꿀 항목이 없습니다";
}

std::optional<std::string> SelectionSeed(const EditorLink& ed) {
    const int64_t s = ed(SCI_GETSELECTIONSTART), e = ed(SCI_GETSELECTIONEND);
    if (s == e || e - s >= 512) return std::nullopt;
    std::string text(static_cast<size_t>(e - s) + 1, '\0');
    TextRangeFull range{{static_cast<intptr_t>(s), static_cast<intptr_t>(e)}, text.data()};
    text.resize(static_cast<size_t>(ed(SCI_GETTEXTRANGEFULL, 0, reinterpret_cast<intptr_t>(&range))));
    if (text.find_first_of("\r\n") != std::string::npos) return std::nullopt;
    return text;
}

}  // namespace lumen
