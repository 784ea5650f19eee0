#include "files/file_association.h"

namespace lumen {

const std::vector<std::wstring>& AssociatedExtensions() {
    static const std::vector<std::wstring> extensions = {
        L".txt", L".log", L".ini", L".md", L".csv", L".json", L".xml", L".cfg", L".conf", L".yaml", L".yml"};
    return extensions;
}

std::vector<RegistryValue> FileAssociationValues(const std::wstring& programPath) {
    const std::wstring open = L"\"" + programPath + L"\" \"%1\"";
    const std::wstring icon = L"\"" + programPath + L"\",0";
    const std::wstring progId = std::wstring(L"Software\\Classes\\") + kProgId;
    const std::wstring application = std::wstring(L"Software\\Classes\\Applications\\") + kApplicationKey;
    const std::wstring capabilities = L"Software\\Lumenpad\\Capabilities";
    std::vector<RegistryValue> values = {
        {progId, L"", false, L"텍스트 문서"},
        {progId + L"\\DefaultIcon", L"", false, icon},
        {progId + L"\\shell\\open\\command", L"", false, open},
        {application, L"FriendlyAppName", false, L"루멘판"},
        {application + L"\\shell\\open\\command", L"", false, open},
        {capabilities, L"ApplicationName", false, L"루멘판"},
        {capabilities, L"ApplicationDescription", false, L"빠른 메모장"},
    };
    for (const std::wstring& extension : AssociatedExtensions()) {
        values.push_back({L"Software\\Classes\\" + extension + L"\\OpenWithProgids", kProgId, true, L""});
        values.push_back({application + L"\\SupportedTypes", extension, false, L""});
        values.push_back({capabilities + L"\\FileAssociations", extension, false, kProgId});
    }
    values.push_back({L"Software\\RegisteredApplications", kRegisteredName, false, capabilities});
    return values;
}

}  // namespace lumen
