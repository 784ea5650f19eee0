#include <windows.h>

#include <shellapi.h>
#include <shlobj.h>

#include "app/theme.h"
#include "files/file_association.h"
#include "ui/message_dialog.h"
#include "files/system_library_win.h"

namespace lumen {

void RegisterFileAssociations(HWND owner, const Palette& palette, int32_t dpi) {
    wchar_t path[260] = {};
    const DWORD length = GetModuleFileNameW(nullptr, path, 260);
    // Failed writes are not reported: the dialog below says what to do next either way.
    for (const RegistryValue& v : FileAssociationValues(std::wstring(path, length))) {
        const wchar_t* name = v.name.empty() ? nullptr : v.name.c_str();
        if (v.none) {
            RegSetKeyValueW(HKEY_CURRENT_USER, v.key.c_str(), name, REG_NONE, nullptr, 0);
        } else {
            const auto bytes = static_cast<DWORD>((v.data.size() + 1) * sizeof(wchar_t));
            RegSetKeyValueW(HKEY_CURRENT_USER, v.key.c_str(), name, REG_SZ, v.data.c_str(), bytes);
        }
    }
    static const auto changeNotify =
        SystemFunction<decltype(&SHChangeNotify)>(L"shell32.dll", "SHChangeNotify");
    if (changeNotify) changeNotify(SHCNE_ASSOCCHANGED, SHCNF_IDLIST, nullptr, nullptr);

    ui::DialogContent content;
    content.icon = ui::kDialogIconInformation;
    content.title = L"루멘판을 텍스트 편집기로 등록했습니다";
    content.message = L"이어서 열리는 Windows 설정에서 루멘판을 고른 뒤 .txt 등의 기본 앱으로 지정하세요.";
    content.buttons = {L"Windows 설정 열기", L"닫기"};
    if (ui::ShowMessageDialog(owner, content, palette, dpi) != 0) return;
    static const auto shellExecute =
        SystemFunction<decltype(&ShellExecuteW)>(L"shell32.dll", "ShellExecuteW");
    if (shellExecute) shellExecute(owner, nullptr, kDefaultAppsPage, nullptr, nullptr, SW_SHOWNORMAL);
}

}  // namespace lumen
