#pragma once
// The message window: a modal window owned by the caller's window that shows a
// title in "MessageTitle" and a text in "MessageText" (both language identifiers,
// shown in the current language; unknown identifiers show as they stand) and
// ends with 1 on "confirm_btn" and 0 on "cancel_btn", "closebtn" or closing.
// Skin "XML_MSG"; when it cannot be built a plain built-in layout with the same
// control names is used, so a question can always be asked and answered.

#include <string>
#include <string_view>

#include "ui/window_impl_base.h"

namespace lumora {

class CMsgWnd : public WindowImplBase {
public:
    // Shows the message modally and returns 1 (confirmed) or 0.
    static int ShowMessage(CWindowWnd* owner, std::string_view title, std::string_view text);

    void SetMessage(std::string_view title, std::string_view text);

    std::string GetWindowClassName() const override;
    std::string GetSkinFile() const override;
    std::string GetFallbackSkin() const override;
    void InitWindow() override;
    void Notify(TNotifyUI& msg) override;

private:
    void ShowTexts();

    std::string title_;
    std::string text_;
};

}  // namespace lumora
