#include "app/saving.h"

namespace lumen {

std::wstring SuggestedSaveName(const std::wstring& path, const std::wstring& memoTitle) {
    std::wstring name;
    if (!path.empty()) {
        const size_t slash = path.find_last_of(L"\\/");
        name = slash == std::wstring::npos ? path : path.substr(slash + 1);
    } else {
        name = memoTitle.empty() ? L"새 메모" : memoTitle;
    }
    for (wchar_t& c : name)
        if (std::wstring_view(L"\\/:*?\"<>|").find(c) != std::wstring_view::npos) c = L'_';
    if (path.empty() && name.find(L'.') == std::wstring::npos) name += L".txt";
    return name;
}

}  // namespace lumen
