#include "ui/msg_wnd.h"

#include "ui/control_ui.h"

namespace lumora {

int CMsgWnd::ShowMessage(CWindowWnd* owner, std::string_view title, std::string_view text) {
    CMsgWnd window;
    window.SetMessage(title, text);
    if (!window.Create(owner, "", 0, 0, 0, 0, 0, 0)) return 0;
    window.CenterWindow();
    const int result = window.ShowModal();
    if (window.IsWindow()) window.DestroyWindow();  // the loop quit while it was open
    return result == 1 ? 1 : 0;
}

void CMsgWnd::SetMessage(std::string_view title, std::string_view text) {
    title_ = title;
    text_ = text;
    ShowTexts();
}

std::string CMsgWnd::GetWindowClassName() const { return "MsgWnd"; }

std::string CMsgWnd::GetSkinFile() const { return "XML_MSG"; }

std::string CMsgWnd::GetFallbackSkin() const {
    return R"(<Window size="400,200">
  <VerticalLayout name="root">
    <HorizontalLayout height="30">
      <Label name="MessageTitle"/>
      <Button name="closebtn" width="30"/>
    </HorizontalLayout>
    <Text name="MessageText"/>
    <HorizontalLayout height="40">
      <Button name="confirm_btn" text="OK"/>
      <Button name="cancel_btn" text="Cancel"/>
    </HorizontalLayout>
  </VerticalLayout>
</Window>)";
}

void CMsgWnd::InitWindow() { ShowTexts(); }

void CMsgWnd::ShowTexts() {
    if (CControlUI* title = FindControl("MessageTitle")) {
        title->SetResourceText(true);
        title->SetText(title_);
    }
    if (CControlUI* text = FindControl("MessageText")) {
        text->SetResourceText(true);
        text->SetText(text_);
    }
}

void CMsgWnd::Notify(TNotifyUI& msg) {
    if (msg.sType == "click" && msg.pSender) {
        const std::string& name = msg.pSender->GetName();
        if (name == "confirm_btn") {
            Close(1);
            return;
        }
        if (name == "cancel_btn" || name == "closebtn") {
            Close(0);
            return;
        }
    }
    WindowImplBase::Notify(msg);
}

}  // namespace lumora
