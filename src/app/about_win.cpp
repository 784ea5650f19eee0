#include "app/about.h"

#include <string>

#include "app/app.h"
#include "app/bands.h"
#include "ui/about_window.h"

namespace lumen {

void ShowAboutWindow(App& app) {
    if (ui::OpenAboutWindow()) return;
    HideTooltip(app);
    ui::AboutContent content;
    content.name = kProgramName;
    content.version = std::wstring(L"버전 ") + kProgramVersion;
    content.description = kProgramDescription;
    content.footer = kAboutFooter;
    content.rows[0] = {L"제작", kMakerName, L""};
    content.rows[1] = {L"웹사이트", kMakerWebText, kMakerWebAddress};
    content.rows[2] = {L"이메일", kMakerMail, std::wstring(L"mailto:") + kMakerMail};
    ui::ShowAboutWindow(app.hwnd, app.palette, static_cast<int32_t>(app.dpi), content);
}

}  // namespace lumen
