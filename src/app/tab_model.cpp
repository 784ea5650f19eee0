#include "app/tab_model.h"

#include <algorithm>

#include "app/path_compare.h"
#include "files/code_page.h"

namespace lumen {

int PinnedCount(const TabList& list) {
    int n = 0;
    while (n < list.Count() && list.tabs[n]->pinned)
        ++n;
    return n;
}

int InsertionIndex(const TabList& list, int target) {
    if (!list.Valid(target)) target = list.active;
    const int index = list.Valid(target) ? target + 1 : list.Count();
    return std::max(index, PinnedCount(list));
}

int InsertTab(TabList& list, std::unique_ptr<Tab> tab, int index) {
    const int pinned = PinnedCount(list);
    index = tab->pinned ? std::clamp(index, 0, pinned) : std::clamp(index, pinned, list.Count());
    list.tabs.insert(list.tabs.begin() + index, std::move(tab));
    if (list.active >= index) ++list.active;
    return index;
}

bool Activate(TabList& list, int index) {
    if (!list.Valid(index)) return false;
    list.active = index;
    return true;
}

int MoveTab(TabList& list, int from, int to) {
    if (!list.Valid(from)) return -1;
    // The places the tab may take once it is out of the list: pinned tabs up to the count of the
    // other pinned ones, unpinned tabs from there on. Pinned tabs stay a prefix even while TogglePin
    // has flipped the flag of a tab that is not yet in its group.
    const int n = list.Count();
    int othersPinned = 0;
    for (int i = 0; i < n; ++i)
        othersPinned += i != from && list.tabs[i]->pinned;
    to = list.tabs[from]->pinned ? std::clamp(to, 0, othersPinned) : std::clamp(to, othersPinned, n - 1);
    if (to == from) return to;
    std::unique_ptr<Tab> tab = std::move(list.tabs[from]);
    list.tabs.erase(list.tabs.begin() + from);
    list.tabs.insert(list.tabs.begin() + to, std::move(tab));
    int& a = list.active;
    if (a == from) {
        a = to;
    } else if (from < a && a <= to) {
        --a;
    } else if (to <= a && a < from) {
        ++a;
    }
    return to;
}

int TogglePin(TabList& list, int index) {
    if (!list.Valid(index)) return -1;
    const int pinned = PinnedCount(list);
    Tab& tab = *list.tabs[index];
    tab.pinned = !tab.pinned;
    return MoveTab(list, index, tab.pinned ? pinned : pinned - 1);
}

RemovedTab RemoveTab(TabList& list, int index) {
    RemovedTab removed;
    if (!list.Valid(index)) return removed;
    removed.tab = std::move(list.tabs[index]);
    list.tabs.erase(list.tabs.begin() + index);
    list.active = -1;
    removed.next = list.tabs.empty() ? -1 : std::min(index, list.Count() - 1);
    return removed;
}

bool PushClosedTab(TabList& list, ClosedTab record) {
    if (record.path.empty() && record.text.empty()) return false;
    list.closedTabs.push_back(std::move(record));
    if (list.closedTabs.size() > kMaxClosedTabs)
        list.closedTabs.erase(list.closedTabs.begin(),
                              list.closedTabs.begin() + (list.closedTabs.size() - kMaxClosedTabs));
    return true;
}

std::optional<ClosedTab> PopClosedTab(TabList& list) {
    if (list.closedTabs.empty()) return std::nullopt;
    ClosedTab record = std::move(list.closedTabs.back());
    list.closedTabs.pop_back();
    return record;
}

int FindTabByPath(const TabList& list, std::wstring_view path) {
    if (path.empty()) return -1;
    for (int i = 0; i < list.Count(); ++i) {
        if (PathsEqualIgnoringCase(list.tabs[i]->path, path)) return i;
    }
    return -1;
}

void AddRecentFile(std::vector<std::wstring>& recent, const std::wstring& path) {
    if (path.empty()) return;
    std::erase_if(recent, [&](const std::wstring& entry) { return PathsEqualIgnoringCase(entry, path); });
    recent.insert(recent.begin(), path);
    if (recent.size() > kMaxRecentFiles) recent.resize(kMaxRecentFiles);
}

std::wstring TabTitle(const Tab& tab) {
    if (!tab.path.empty()) {
        const size_t slash = tab.path.find_last_of(L"\\/");
        return slash == std::wstring::npos ? tab.path : tab.path.substr(slash + 1);
    }
    return tab.title.empty() ? std::wstring(L"새 메모") : tab.title;
}

std::wstring MemoTitleFromText(std::string_view utf8) {
    const std::wstring text = Utf8ToWide(utf8.substr(0, kMemoTitleBytes));
    auto blank = [](wchar_t c) { return c == L' ' || c == L'\t'; };
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find_first_of(L"\r\n", start);
        if (end == std::wstring::npos) end = text.size();
        size_t first = start, last = end;
        while (first < last && blank(text[first]))
            ++first;
        while (last > first && blank(text[last - 1]))
            --last;
        if (first < last) {
            size_t length = std::min(last - first, kMemoTitleUnits);
            // Wide strings hold UTF-16 units on every build, so a high surrogate is recognised here.
            const wchar_t lastUnit = text[first + length - 1];
            if (length < last - first && lastUnit >= 0xD800 && lastUnit <= 0xDBFF) --length;
            return text.substr(first, length);
        }
        start = end + 1;
    }
    return {};
}

std::wstring WindowTitle(const Tab& tab) {
    return (IsUnsaved(tab) ? L"*" : L"") + TabTitle(tab) + L" - 루멘판";
}

}  // namespace lumen
