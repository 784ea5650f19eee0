// Who makes the program and what the About window says: the one place for the maker's name, web
// address and e-mail address, which the About window and the settings window's version line show.
#pragma once

namespace lumen {

inline constexpr wchar_t kProgramName[] = L"루멘판";
inline constexpr wchar_t kProgramVersion[] = L"1.1.1";
inline constexpr wchar_t kProgramDescription[] = L"누르면 바로 써지는 빠른 메모장";
inline constexpr wchar_t kMakerName[] = L"루멘판 만드는 사람들";
inline constexpr wchar_t kMakerWebText[] = L"lumenpad.example.org";
inline constexpr wchar_t kMakerWebAddress[] = L"https://lumenpad.example.org/";
inline constexpr wchar_t kMakerMail[] = L"hello@lumenpad.example.org";
inline constexpr wchar_t kAboutFooter[] = L"© 2026 루멘판 만드는 사람들";

#ifdef _WIN32
struct App;
// The About window over the active window of the program (the settings window when it is open).
void ShowAboutWindow(App& app);
#endif

}  // namespace lumen
