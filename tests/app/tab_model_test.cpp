// The tab model: a random sequence of verbs checked against a plain list of ids after every step,
// the placement cases as tables, closed tabs, recent files and titles.
#include "app/tab_model.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>

namespace lumen {
namespace {

// A tab whose title carries an id, so the real list can be read back as ids.
std::unique_ptr<Tab> Make(int id, bool pinned = false, std::wstring path = {}) {
    auto tab = std::make_unique<Tab>();
    tab->title = std::to_wstring(id);
    tab->pinned = pinned;
    tab->path = std::move(path);
    return tab;
}

int Id(const Tab& tab) {
    return std::stoi(tab.title);
}

// Builds a list from a picture like "P1 P2 3 *4 5": P pinned, * active.
TabList Build(const std::string& picture) {
    TabList list;
    size_t at = 0;
    while (at < picture.size()) {
        size_t end = picture.find(' ', at);
        if (end == std::string::npos) end = picture.size();
        std::string word = picture.substr(at, end - at);
        at = end + 1;
        const bool active = word[0] == '*';
        if (active) word.erase(0, 1);
        const bool pinned = word[0] == 'P';
        if (pinned) word.erase(0, 1);
        if (active) list.active = list.Count();
        list.tabs.push_back(Make(std::stoi(word), pinned));
    }
    return list;
}

std::string Picture(const TabList& list) {
    std::string s;
    for (int i = 0; i < list.Count(); ++i) {
        if (i) s += ' ';
        if (i == list.active) s += '*';
        if (list.tabs[i]->pinned) s += 'P';
        s += std::to_string(Id(*list.tabs[i]));
    }
    return s;
}

TEST(TabModel, PlacementTable) {
    struct Case {
        const char* before;
        char verb;  // n: insert a new tab 9 where new tabs go, i: insert 9 at a, p: toggle pin, m: move
        int a, b;   // index for i and p; from/to for m
        const char* after;
    } cases[] = {
        {"1 *2 3", 'n', 0, 0, "1 *2 9 3"},
        {"P1 P2", 'n', 0, 0, "P1 P2 9"},
        {"P1 *P2 3", 'n', 0, 0, "P1 *P2 9 3"},
        {"P1 *2", 'n', 0, 0, "P1 *2 9"},
        {"1 *2 3", 'i', 1, 0, "1 9 *2 3"},
        {"P1 *2", 'i', 0, 0, "P1 9 *2"},
        {"P1 P2 *3 4 5 6 7", 'p', 6, 0, "P1 P2 P7 *3 4 5 6"},
        {"P1 P2 *P3 4", 'p', 0, 0, "P2 *P3 1 4"},
        {"P1 P2 P3 4 *5", 'm', 0, 4, "P2 P3 P1 4 *5"},  // a pinned tab stays in its group
        {"P1 *2 3 4", 'm', 3, 0, "P1 4 *2 3"},
        {"1 *2 3 4", 'm', 0, 2, "*2 3 1 4"},
        {"1 2 *3 4", 'm', 3, 1, "1 4 2 *3"},
        {"1 *2 3", 'm', 1, 1, "1 *2 3"},
    };
    for (const Case& c : cases) {
        TabList list = Build(c.before);
        if (c.verb == 'n') InsertTab(list, Make(9), InsertionIndex(list));
        if (c.verb == 'i') InsertTab(list, Make(9), c.a);
        if (c.verb == 'p') TogglePin(list, c.a);
        if (c.verb == 'm') MoveTab(list, c.a, c.b);
        EXPECT_EQ(Picture(list), c.after) << c.before << " " << c.verb << c.a << c.b;
    }
    TabList none = Build("P1 P2 3");  // no active tab: after the end, never among the pinned ones
    EXPECT_EQ(InsertionIndex(none), 3);
    none.tabs.pop_back();
    EXPECT_EQ(InsertionIndex(none), 2);
    EXPECT_EQ(InsertionIndex(Build("*1 2 3"), 1), 2) << "a batch's target wins over the active tab";
    EXPECT_EQ(InsertTab(none, Make(8, true), 9), 2) << "a pinned tab joins the end of the pinned group";
}

// The plain model: ids in order with a pinned flag, the active id and the closed ids.
struct Ref {
    std::vector<std::pair<int, bool>> tabs;
    int active = -1;
    std::vector<int> closed;
    int Pos(int id) const {
        for (size_t i = 0; i < tabs.size(); ++i)
            if (tabs[i].first == id) return static_cast<int>(i);
        return -1;
    }
    int PinnedOtherThan(int id) const {
        return static_cast<int>(
            std::count_if(tabs.begin(), tabs.end(), [&](auto& t) { return t.second && t.first != id; }));
    }
};

TEST(TabModel, RandomVerbsKeepInvariantsAndMatchPlainModel) {
    std::mt19937 rng(11);
    auto pick = [&](int n) { return static_cast<int>(rng() % static_cast<unsigned>(n)); };
    for (int run = 0; run < 40; ++run) {
        TabList list;
        Ref ref;
        int nextId = 1;
        InsertTab(list, Make(nextId), 0);
        Activate(list, 0);
        ref.tabs.push_back({nextId, false});
        ref.active = nextId++;
        for (int step = 0; step < 300; ++step) {
            const int n = list.Count(), verb = pick(6);
            const int i = pick(n), j = pick(n);
            const std::string before = Picture(list);
            if (verb == 0) {  // new tab (a memo or a file) after the active one
                const bool file = pick(2);
                const int at = InsertionIndex(list);
                const int placed = InsertTab(list, Make(nextId, false, file ? L"f" : L""), at);
                Activate(list, placed);
                const int refAt = std::max(ref.Pos(ref.active) + 1, ref.PinnedOtherThan(-1));
                ref.tabs.insert(ref.tabs.begin() + refAt, {nextId, false});
                ref.active = nextId++;
            } else if (verb == 1) {  // close: remember, remove, activate the neighbour
                Activate(list, i);
                const Tab& tab = *list.tabs[i];
                const int64_t lengths[] = {0, 7, kMaxClosedMemoBytes + 1};
                const int64_t length = lengths[pick(3)];
                const bool kept = !tab.path.empty() || length == 7;
                EXPECT_EQ(PushClosedTab(list, tab, length, [] { return std::string("text"); }), kept);
                if (kept) ref.closed.push_back(Id(tab));
                if (ref.closed.size() > kMaxClosedTabs) ref.closed.erase(ref.closed.begin());
                RemovedTab removed = RemoveTab(list, i);
                EXPECT_EQ(list.active, -1);
                ref.tabs.erase(ref.tabs.begin() + i);
                if (removed.next < 0) {
                    removed.next = InsertTab(list, Make(nextId), 0);
                    ref.tabs.push_back({nextId++, false});
                }
                Activate(list, removed.next);
                ref.active = ref.tabs[std::min<size_t>(i, ref.tabs.size() - 1)].first;
            } else if (verb == 2) {  // move within the group, as a drag does
                const int id = ref.tabs[i].first, others = ref.PinnedOtherThan(id);
                const int to = ref.tabs[i].second ? std::min(j, others) : std::max(j, others);
                EXPECT_EQ(MoveTab(list, i, j), to);
                auto moved = ref.tabs[i];
                ref.tabs.erase(ref.tabs.begin() + i);
                ref.tabs.insert(ref.tabs.begin() + to, moved);
            } else if (verb == 3) {  // pin or unpin: the tab lands at the border of the groups
                auto moved = ref.tabs[i];
                moved.second = !moved.second;
                ref.tabs.erase(ref.tabs.begin() + i);
                const int to = ref.PinnedOtherThan(moved.first);
                ref.tabs.insert(ref.tabs.begin() + to, moved);
                EXPECT_EQ(TogglePin(list, i), to);
            } else if (verb == 4) {  // reopen the newest closed tab as a new tab
                std::optional<ClosedTab> record = PopClosedTab(list);
                ASSERT_EQ(record.has_value(), !ref.closed.empty());
                if (!record) continue;
                EXPECT_EQ(std::stoi(record->title), ref.closed.back());
                ref.closed.pop_back();
                const int placed = InsertTab(list, Make(std::stoi(record->title)), InsertionIndex(list));
                Activate(list, placed);
                const int refAt = std::max(ref.Pos(ref.active) + 1, ref.PinnedOtherThan(-1));
                ref.tabs.insert(ref.tabs.begin() + refAt, {std::stoi(record->title), false});
                ref.active = std::stoi(record->title);
            } else {  // activate
                Activate(list, i);
                ref.active = ref.tabs[i].first;
            }
            // Invariants, then the whole state against the plain model.
            const int pinned = PinnedCount(list);
            for (int k = pinned; k < list.Count(); ++k)
                ASSERT_FALSE(list.tabs[k]->pinned) << before << " verb " << verb << " -> " << Picture(list);
            ASSERT_TRUE(list.Valid(list.active));
            ASSERT_LE(list.closedTabs.size(), kMaxClosedTabs);
            ASSERT_EQ(list.Count(), static_cast<int>(ref.tabs.size()));
            for (int k = 0; k < list.Count(); ++k) {
                ASSERT_EQ(Id(*list.tabs[k]), ref.tabs[k].first) << before << " verb " << verb;
                ASSERT_EQ(list.tabs[k]->pinned, ref.tabs[k].second);
            }
            ASSERT_EQ(Id(*list.Active()), ref.active)
                << before << " verb " << verb << " -> " << Picture(list);
            ASSERT_EQ(list.closedTabs.size(), ref.closed.size());
        }
    }
}

TEST(TabModel, ClosedTabsKeepTheNewestTwentyAndMemoTextByLength) {
    TabList list;
    for (int k = 0; k < 25; ++k)
        PushClosedTab(list, {L"C:\\f" + std::to_wstring(k), {}, {}});
    std::vector<std::wstring> reopened;
    while (auto record = PopClosedTab(list))
        reopened.push_back(record->path);
    ASSERT_EQ(reopened.size(), 20u);
    EXPECT_EQ(reopened.front(), L"C:\\f24");
    EXPECT_EQ(reopened.back(), L"C:\\f5");

    Tab memo;
    memo.title = L"제목";
    int reads = 0;
    auto read = [&] { return ++reads, std::string("본문"); };
    for (int64_t length : {int64_t{0}, kMaxClosedMemoBytes + 1})
        EXPECT_FALSE(PushClosedTab(list, memo, length, read)) << length;
    EXPECT_EQ(reads, 0) << "the text of a memo out of range is never read";
    EXPECT_TRUE(PushClosedTab(list, memo, kMaxClosedMemoBytes, read));
    EXPECT_EQ(list.closedTabs.back().text, "본문");
    EXPECT_EQ(list.closedTabs.back().title, L"제목");
    Tab file;
    file.path = L"C:\\a.txt";
    EXPECT_TRUE(PushClosedTab(list, file, 5, read));
    EXPECT_EQ(reads, 1) << "a file tab's text is never kept";
}

TEST(TabModel, PathsAndRecentFilesIgnoreCase) {
    TabList list = Build("1 *2");
    list.tabs[0]->path = L"C:\\Docs\\Ärger.TXT";
    EXPECT_EQ(FindTabByPath(list, L"c:\\docs\\ärger.txt"), 0);
    EXPECT_EQ(FindTabByPath(list, L"c:\\docs\\ärger.txt "), -1);
    EXPECT_EQ(FindTabByPath(list, L""), -1) << "memos have no path to match";

    std::vector<std::wstring> recent;
    for (int k = 0; k < 12; ++k)
        AddRecentFile(recent, L"C:\\f" + std::to_wstring(k));
    AddRecentFile(recent, L"c:\\F5");
    AddRecentFile(recent, L"");
    ASSERT_EQ(recent.size(), 10u);
    EXPECT_EQ(recent[0], L"c:\\F5");
    EXPECT_EQ(recent[1], L"C:\\f11");
    EXPECT_EQ(std::count(recent.begin(), recent.end(), L"C:\\f5"), 0);
}

TEST(TabModel, Titles) {
    struct Case {
        std::string text;
        std::wstring title;
    } cases[] = {
        {"", L""},
        {"\r\n \t\n\r\n \t 낱말 \t\r\nnext", L"낱말"},
        {std::string(60, 'x'), std::wstring(40, L'x')},
        {std::string(39, 'x') + "\xF0\x9F\x98\x80", std::wstring(39, L'x')},  // a pair is never cut
        {std::string(38, 'x') + "\xF0\x9F\x98\x80!", std::wstring(38, L'x') + L"\xD83D\xDE00"},
        {std::string(399, ' ') + "abc", L"a"},  // only the first 400 bytes are read
        {"a\rb", L"a"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(MemoTitleFromText(c.text), c.title) << c.text;

    Tab tab;
    EXPECT_EQ(TabTitle(tab), L"새 메모");
    EXPECT_EQ(WindowTitle(tab), L"새 메모 - 루멘판");
    tab.dirty = true;
    tab.title = L"메모";
    EXPECT_EQ(WindowTitle(tab), L"*메모 - 루멘판");
    for (const wchar_t* path : {L"C:\\dir\\memo.txt", L"C:/dir/memo.txt", L"memo.txt"}) {
        tab.path = path;
        EXPECT_EQ(TabTitle(tab), L"memo.txt");
    }
    tab.dirty = false;
    tab.modified = true;
    EXPECT_EQ(WindowTitle(tab), L"*memo.txt - 루멘판");
}

}  // namespace
}  // namespace lumen
