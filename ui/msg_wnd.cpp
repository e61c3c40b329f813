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
    // Plain but finished: the program's dark look, a caption to drag it by.
    return R"(<Window size="420,200" caption="0,0,0,36">
  <VerticalLayout name="root" bkcolor="#FF171A21" bordersize="1" bordercolor="#FF2C313C">
    <HorizontalLayout height="36" inset="14,0,0,0" bkcolor="#FF0E1015">
      <Label name="MessageTitle" textcolor="#FF00D8C8"/>
      <Button name="closebtn" width="40"/>
    </HorizontalLayout>
    <Text name="MessageText" textpadding="18,16,18,8"/>
    <HorizontalLayout height="56" inset="0,10,16,14" childpadding="10">
      <Control/>
      <Button name="confirm_btn" text="OK" width="96"/>
      <Button name="cancel_btn" text="Cancel" width="96"/>
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
