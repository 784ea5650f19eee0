// The tab model: a random sequence of verbs checked against a plain list of ids after every step,
// the placement cases it does not reach, closed tabs, paths, recent files and titles.
#include "app/tab_model.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>

namespace lumen {
namespace {

using Plain = std::vector<std::pair<int, bool>>;  // ids and pinned flags in display order

// A tab carries its id in its title; even ids are file tabs.
std::unique_ptr<Tab> Make(int id, bool pinned = false) {
    auto tab = std::make_unique<Tab>();
    tab->title = std::to_wstring(id);
    tab->path = id % 2 ? L"" : L"f";
    tab->pinned = pinned;
    return tab;
}

// "P1 *2 3": P pinned, * active (by id).
std::string Picture(const Plain& tabs, int activeId) {
    std::string s;
    for (const auto& [id, pinned] : tabs)
        s += (s.empty() ? "" : " ") + std::string(id == activeId ? "*" : "") + (pinned ? "P" : "") +
             std::to_string(id);
    return s;
}
std::string Picture(const TabList& list) {
    Plain tabs;
    for (const auto& tab : list.tabs)
        tabs.push_back({std::stoi(tab->title), tab->pinned});
    return Picture(tabs, list.Active() ? std::stoi(list.Active()->title) : -1);
}
TabList Build(const std::string& picture) {
    TabList list;
    for (size_t at = 0; at < picture.size(); at = picture.find(' ', at) + 1) {
        if (picture[at] == '*') list.active = list.Count(), ++at;
        const bool pinned = picture[at] == 'P';
        list.tabs.push_back(Make(std::stoi(picture.substr(at + pinned)), pinned));
        if (picture.find(' ', at) == std::string::npos) break;
    }
    return list;
}

// Placement the random run below does not reach: a chosen target, no active tab, inserts at an index.
TEST(TabModel, PlacementTable) {
    // n: a new tab 9 where new tabs go (after target a when a >= 0), i: insert 9 at a (I: pinned).
    const struct {
        const char* before;
        char verb;
        int a;
        const char* after;
    } cases[] = {{"*1 2 3", 'n', 1, "*1 2 9 3"},
                 {"P1 P2", 'n', -1, "P1 P2 9"},  // no active tab
                 {"1 *2 3", 'i', 1, "1 9 *2 3"},
                 {"P1 *2", 'I', 9, "P1 P9 *2"}};
    for (const auto& c : cases) {
        TabList list = Build(c.before);
        if (c.verb == 'n') InsertTab(list, Make(9), InsertionIndex(list, c.a));
        if (c.verb == 'i' || c.verb == 'I') InsertTab(list, Make(9, c.verb == 'I'), c.a);
        EXPECT_EQ(Picture(list), c.after) << c.before << " " << c.verb << c.a;
    }
}

TEST(TabModel, RandomVerbsMatchPlainModel) {
    std::mt19937 rng(11);
    auto pick = [&](size_t n) { return static_cast<int>(rng() % n); };
    for (int run = 0; run < 40; ++run) {
        TabList list;
        Plain ref;  // the plain model: ids with pinned flags, the active id and the closed ids
        int active = 0, nextId = 1;
        std::vector<int> closed;
        auto pinnedBut = [&](int id) {
            return static_cast<int>(
                std::count_if(ref.begin(), ref.end(), [&](auto& t) { return t.second && t.first != id; }));
        };
        auto add = [&](int id) {  // where new tabs go: after the active tab, never among the pinned
            Activate(list, InsertTab(list, Make(id), InsertionIndex(list)));
            auto at = std::find_if(ref.begin(), ref.end(), [&](auto& t) { return t.first == active; });
            ref.insert(ref.begin() + std::max<int>(at - ref.begin() + (at != ref.end()), pinnedBut(0)),
                       {id, false});
            active = id;
        };
        add(nextId++);
        for (int step = 0; step < 300; ++step) {
            const std::string before = Picture(list);
            const int verb = pick(6), i = pick(ref.size()), j = pick(ref.size()), id = ref[i].first;
            if (verb == 0) add(nextId++);
            if (verb == 1) {  // close: remember, remove, activate the neighbour (a fresh memo when none)
                Activate(list, i);
                const int64_t length = pick(3) == 0 ? 7 : pick(2) ? 0 : kMaxClosedMemoBytes + 1;
                const bool kept = id % 2 == 0 || length == 7;
                EXPECT_EQ(PushClosedTab(list, *list.tabs[i], length, [] { return std::string("text"); }),
                          kept);
                if (kept) closed.push_back(id);
                if (closed.size() > kMaxClosedTabs) closed.erase(closed.begin());
                RemovedTab removed = RemoveTab(list, i);
                EXPECT_EQ(list.active, -1);
                ref.erase(ref.begin() + i);
                if (removed.next < 0)
                    removed.next = InsertTab(list, Make(nextId), 0), ref.push_back({nextId++, false});
                Activate(list, removed.next);
                active = ref[std::min<int>(i, ref.size() - 1)].first;
            }
            if (verb == 2 || verb == 3) {  // move within the group, or pin/unpin to the groups' border
                auto tab = ref[i];
                tab.second ^= verb == 3;
                const int border = pinnedBut(id);
                const int to = verb == 3 ? border : tab.second ? std::min(j, border) : std::max(j, border);
                EXPECT_EQ(verb == 3 ? TogglePin(list, i) : MoveTab(list, i, j), to);
                ref.erase(ref.begin() + i);
                ref.insert(ref.begin() + to, tab);
            }
            if (verb == 4 && !closed.empty()) {  // reopen the newest closed tab
                EXPECT_EQ(PopClosedTab(list)->title, std::to_wstring(closed.back()));
                add(closed.back());
                closed.pop_back();
            }
            if (verb == 5) Activate(list, i), active = id;
            for (int k = PinnedCount(list); k < list.Count(); ++k)
                ASSERT_FALSE(list.tabs[k]->pinned) << before << " verb " << verb;
            ASSERT_EQ(Picture(list), Picture(ref, active))
                << before << " verb " << verb << " on " << i << "," << j;
            ASSERT_EQ(list.closedTabs.size(), closed.size());
        }
    }
}

TEST(TabModel, ClosedTabsKeepTheNewestTwentyAndMemoTextInRange) {
    TabList list;
    for (int k = 0; k < 25; ++k)
        PushClosedTab(list, {L"f" + std::to_wstring(k), {}, {}});
    std::wstring order;
    while (auto record = PopClosedTab(list))
        order += record->path;
    EXPECT_EQ(order, L"f24f23f22f21f20f19f18f17f16f15f14f13f12f11f10f9f8f7f6f5");
    Tab memo;
    int reads = 0;
    auto read = [&] { return ++reads, std::string("본문"); };
    EXPECT_FALSE(PushClosedTab(list, memo, 0, read) ||
                 PushClosedTab(list, memo, kMaxClosedMemoBytes + 1, read));
    EXPECT_TRUE(reads == 0 && PushClosedTab(list, memo, kMaxClosedMemoBytes, read));
    EXPECT_EQ(list.closedTabs.back().text, "본문");
}

TEST(TabModel, PathsRecentFilesAndTitles) {
    TabList list = Build("1 *2");
    list.tabs[0]->path = L"C:\\Docs\\Ärger.TXT";
    EXPECT_EQ(FindTabByPath(list, L"c:\\docs\\ärger.txt"), 0);
    EXPECT_EQ(FindTabByPath(list, L"c:\\docs\\ärger.txt "), -1);
    EXPECT_EQ(FindTabByPath(list, L""), -1) << "memos have no path to match";
    std::vector<std::wstring> recent, expected = {L"C", L"k", L"j", L"i", L"h", L"g", L"f", L"e", L"d", L"b"};
    for (const wchar_t* path : {L"a", L"b", L"c", L"d", L"e", L"f", L"g", L"h", L"i", L"j", L"k", L"C", L""})
        AddRecentFile(recent, path);
    EXPECT_EQ(recent, expected) << "newest first, at most 10, no two equal ignoring case";

    const std::pair<std::string, std::wstring> memos[] = {
        {"", L""},
        {"\r\n \t\n\r\n \t 낱말 \t\r\nnext", L"낱말"},
        {std::string(60, 'x'), std::wstring(40, L'x')},
        {std::string(39, 'x') + "\xF0\x9F\x98\x80", std::wstring(39, L'x')},  // a pair is never cut
        {std::string(38, 'x') + "\xF0\x9F\x98\x80!", std::wstring(38, L'x') + L"\xD83D\xDE00"},
        {std::string(399, ' ') + "abc", L"a"},  // only the first 400 bytes are read
        {"a\rb", L"a"},
    };
    for (const auto& [text, title] : memos)
        EXPECT_EQ(MemoTitleFromText(text), title) << text;
    Tab tab;
    const std::wstring memo = WindowTitle(tab);
    tab.dirty = true;
    tab.path = L"C:\\dir/memo.txt";
    EXPECT_EQ(memo + WindowTitle(tab), L"새 메모 - 루멘판*memo.txt - 루멘판");
    tab.path = L"C:/dir\\a.txt";
    EXPECT_EQ(TabTitle(tab), L"a.txt");
}

}  // namespace
}  // namespace lumen
