// Closing tabs in groups and quitting: the save questions, saving the tabs asked about in order, and
// the final writes of the session, backups and settings. The decisions themselves (which tabs are
// asked about, what the quit writes) are app/quit_decisions.h; this carries them out.
#pragma once

#include <string>
#include <vector>

namespace lumen {

struct App;

// The save question for one tab (by its tab title) and for several (listed): kAnswerSave,
// kAnswerDontSave or kAnswerCancel.
int AskSaveOne(App& app, const std::wstring& title);
int AskSaveMany(App& app, const std::vector<int>& tabIndexes);

// "다른 탭 모두 닫기" (rightOnly false) and "오른쪽 탭 모두 닫기" (true); pinned tabs stay.
void CloseOtherTabs(App& app, int index, bool rightOnly);

// WM_CLOSE (false) and the end of the Windows session (true). True when the window may be
// destroyed: the final writes are then on disk (the background writer has finished).
bool QuitFlow(App& app, bool endingSession);

}  // namespace lumen
