// The quit and close-others decisions as tables of tab lists and settings, the questions' exact
// texts, and the session the tab list writes.
#include "app/quit_decisions.h"

#include <gtest/gtest.h>

#include <sstream>

#include "files/code_page.h"

namespace lumen {
namespace {

// "P f1 *M2:b": P pinned, f/m a file tab ("C:\1") or a memo (titled "2"), capital when unsaved,
// ":" and a backup name, "*" the active tab.
TabList Tabs(const std::string& picture) {
    TabList list;
    std::istringstream in(picture);
    for (std::string t; in >> t;) {
        auto tab = std::make_unique<Tab>();
        if (t[0] == '*') list.active = list.Count(), t.erase(0, 1);
        if (t[0] == 'P') tab->pinned = true, t.erase(0, 1);
        const size_t colon = t.find(':');
        const std::wstring id(t.begin() + 1, t.begin() + std::min(colon, t.size()));
        (tolower(t[0]) == 'f' ? tab->path : tab->title) = tolower(t[0]) == 'f' ? L"C:\\" + id : id;
        tab->modified = isupper(t[0]);
        if (colon != std::string::npos) tab->backupName.assign(t.begin() + colon + 1, t.end());
        list.tabs.push_back(std::move(tab));
    }
    return list;
}

std::string Join(const std::vector<int>& v) {
    std::string out;
    for (int i : v)
        out += (out.empty() ? "" : ",") + std::to_string(i);
    return out.empty() ? "-" : out;
}

std::string Describe(const QuitPlan& plan) {
    static const char* writes[] = {"none", "stop", "settings", "keep", "drop"};
    std::string out = std::string(plan.keep ? "K " : "") + "ask " + Join(plan.question.tabs) + " " +
                      writes[static_cast<int>(plan.writes)];
    for (const auto& name : plan.backupsToDelete)
        out += " -" + WideToUtf8(name);
    return out;
}

TEST(QuitDecisions, QuitTable) {
    // Context letters: r restore on, e Windows session ending, s second instance, t self-test, b bench.
    // clang-format off
    const struct { const char* tabs; const char* context; bool activeEmpty; const char* plan; } cases[] = {
        {"F1:b1 *M2:b2 m3", "r", false, "K ask - keep"},
        {"F1:b1 *M2:b2 m3:b3", "", false, "ask 0,1 drop -b1 -b2 -b3"},
        {"*M1:b1 F2", "", true, "ask 1 drop -b1"},  // an empty active memo is not asked about
        {"M1 *F2", "", true, "ask 0,1 drop"},       // only the active memo counts as empty
        {"f1 *m2", "", false, "ask - drop"},
        {"F1 M2", "e", false, "K ask - keep"},      // Windows ending: never asks, keeps everything
        {"F1", "rs", false, "ask 0 settings"},      // a second instance never keeps the session
        {"F1", "es", false, "ask - settings"},
        {"F1", "rt", false, "K ask - stop"},
        {"F1:b", "t", false, "ask 0 stop"},
        {"F1:b M2", "b", false, "ask - none"},
    };
    // clang-format on
    for (const auto& c : cases) {
        const std::string k = c.context;
        QuitContext context;
        context.restore = k.find('r') != std::string::npos;
        context.endingSession = k.find('e') != std::string::npos;
        context.secondary = k.find('s') != std::string::npos;
        context.selfTest = k.find('t') != std::string::npos;
        context.bench = k.find('b') != std::string::npos;
        EXPECT_EQ(Describe(PlanQuit(context, Tabs(c.tabs), c.activeEmpty)), c.plan) << c.tabs << " " << k;
    }
}

TEST(QuitDecisions, CloseOthersTable) {
    // clang-format off
    const struct { const char* tabs; int index; bool rightOnly; bool activeEmpty; const char* targets, *asked; int kept; }
    cases[] = {
        {"Pf1 F2 *f3 f4 M5", 2, false, false, "4,3,1", "1,4", 1},
        {"Pf1 F2 *f3 f4 M5", 2, true, false, "4,3", "4", 2},
        {"Pf1 F2 *f3 f4 M5", 0, false, false, "4,3,2,1", "1,4", 0},
        {"f1 f2 *f3", 2, true, false, "-", "-", 2},        // nothing to the right of the last tab
        {"PF1 PF2 *M3 f4", 3, false, true, "2", "-", 2},  // an empty active memo goes unasked
        {"f1 f2", 5, false, false, "-", "-", -1},
    };
    // clang-format on
    for (const auto& c : cases) {
        const CloseOthersPlan plan = PlanCloseOthers(Tabs(c.tabs), c.index, c.rightOnly, c.activeEmpty);
        EXPECT_EQ(Join(plan.targets), c.targets) << c.tabs << " " << c.index;
        EXPECT_EQ(Join(plan.question.tabs), c.asked) << c.tabs << " " << c.index;
        EXPECT_EQ(plan.keptIndex, c.kept) << c.tabs << " " << c.index;
    }
}

TEST(QuitDecisions, QuestionTextsAndSession) {
    const TabList list = Tabs("F1:b1 *M2:b2 M");
    const ui::DialogContent one = SaveQuestionFor(list, {0}).dialog;
    EXPECT_EQ(one.title, L"'1'의 변경 내용을 저장할까요?");
    EXPECT_EQ(one.message, L"저장하지 않으면 변경 내용이 사라집니다.");
    EXPECT_EQ(one.buttons, (std::vector<std::wstring>{L"저장", L"저장 안 함", L"취소"}));
    const ui::DialogContent many = SaveQuestionFor(list, {0, 1, 2}).dialog;
    EXPECT_EQ(many.title, L"저장하지 않은 메모가 3개 있습니다");
    EXPECT_EQ(many.message, L"닫기 전에 변경 내용을 저장할까요?");
    EXPECT_EQ(many.items, (std::vector<std::wstring>{L"C:\\1", L"2 (새 메모)", L"새 메모 (새 메모)"}));
    EXPECT_EQ(many.buttons, (std::vector<std::wstring>{L"모두 저장", L"저장 안 함", L"취소"}));
    for (const auto& d : {one, many}) {
        EXPECT_EQ(d.defaultButton, kAnswerSave);
        EXPECT_EQ(d.cancelButton, kAnswerCancel);
        EXPECT_EQ(d.icon, ui::kDialogIconNone);
    }
    EXPECT_FALSE(SaveQuestionFor(list, {}).Asks());

    // A backup name is written only while its tab is unsaved; a file tab has no title.
    TabList tabs = Tabs("Pf1:old *M2:b2");
    tabs.tabs[0]->title = L"stale";
    tabs.tabs[1]->encoding = 2, tabs.tabs[1]->eol = 1, tabs.tabs[1]->caret = 9, tabs.tabs[1]->firstLine = 3;
    const Session s = SessionOfTabs(tabs);
    EXPECT_EQ(s.active, 1);
    ASSERT_EQ(s.entries.size(), 2u);
    EXPECT_EQ(s.entries[0], (SessionEntry{L"C:\\1", L"", false, 0, 0, 0, 0, 0, L"", true}));
    EXPECT_EQ(s.entries[1], (SessionEntry{L"", L"b2", true, 2, 1, 0, 9, 3, L"2", false}));
}

}  // namespace
}  // namespace lumen
