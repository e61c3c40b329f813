#include "app/about_wnd.h"

#include "ui/control_ui.h"

namespace lumora {

void CAboutWnd::SetVersionText(std::string_view text) {
    version_ = text;
    ShowVersion();
}

std::string CAboutWnd::GetWindowClassName() const { return "AboutWnd"; }

std::string CAboutWnd::GetSkinFile() const { return "XML_ABOUT"; }

std::string CAboutWnd::GetFallbackSkin() const {
    return R"(<Window size="800,572">
  <VerticalLayout name="root">
    <HorizontalLayout height="30"><Control/><Button name="closebtn" width="30" text="X"/></HorizontalLayout>
    <Label name="about_product" text="Halvek Trine"/>
    <Label name="about_version"/>
  </VerticalLayout>
</Window>)";
}

void CAboutWnd::InitWindow() { ShowVersion(); }

void CAboutWnd::ShowVersion() {
    if (CControlUI* label = FindControl("about_version")) label->SetText(version_);
}

void CAboutWnd::Notify(TNotifyUI& msg) {
    if (msg.sType == "click" && msg.pSender && msg.pSender->GetName() == "closebtn") {
        Close(0);
        return;
    }
    WindowImplBase::Notify(msg);
}

}  // namespace lumora
