#pragma once
// The base of the program's windows: a window whose content is a skin built into
// its own paint manager, with the notification pump, message filter, builder
// callback and text query interfaces.
//
// Message handling order: WM_CREATE/WM_CLOSE/WM_DESTROY first go to OnCreate,
// OnClose and OnDestroy (which leave WM_CLOSE and WM_DESTROY unhandled by
// default); anything not handled goes to HandleCustomMessage, then to the paint
// manager's message filters, then to the default handling (WM_CLOSE destroys).
//
// Notifications of the window's controls reach Notify, which runs the pump's
// handlers (OnNotify). "windowinit" arrives once, after the window is first shown.

#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "ui/dialog_builder_callback.h"
#include "ui/message_filter_ui.h"
#include "ui/notify_pump.h"
#include "ui/notify_ui.h"
#include "ui/paint_manager_ui.h"
#include "ui/query_control_text.h"
#include "ui/ui_load_error.h"
#include "ui/window_wnd.h"

namespace lumora {

class WindowImplBase : public CWindowWnd,
                       public CNotifyPump,
                       public INotifyUI,
                       public IMessageFilterUI,
                       public IDialogBuilderCallback,
                       public IQueryControlText {
public:
    WindowImplBase();
    ~WindowImplBase() override;

    // The skin: a resource id of the resource table or a file under the resource path.
    virtual std::string GetSkinFile() const = 0;
    // Used when the skin cannot be built (the error is still logged and kept).
    virtual std::string GetFallbackSkin() const { return {}; }
    // Called once the skin is attached, before the window is shown.
    virtual void InitWindow() {}

    void Notify(TNotifyUI& msg) override;
    virtual LRESULT HandleCustomMessage(const WindowMessage& msg, bool& handled);
    LRESULT MessageHandler(const WindowMessage& msg, bool& handled) override;
    std::unique_ptr<CControlUI> CreateControl(std::string_view element_name) override;
    std::optional<std::string> QueryControlText(std::string_view id, std::string_view type) override;

    CPaintManagerUI& GetPaintManager() { return m_pm; }
    const CPaintManagerUI& GetPaintManager() const { return m_pm; }
    CControlUI* FindControl(std::string_view name) const { return m_pm.FindControl(name); }
    const UiLoadError& GetSkinError() const { return skin_error_; }

    // Answers the topmost modal window as a user would: the name of one of its
    // controls clicks it; a number closes it with that result; "close" closes it as
    // its close box does (result 0, and the window may refuse).
    static bool AnswerModal(std::string_view answer, std::string* error = nullptr);

protected:
    LRESULT HandleMessage(const WindowMessage& msg) override;
    virtual LRESULT OnCreate(const WindowMessage& msg, bool& handled);
    virtual LRESULT OnClose(const WindowMessage& msg, bool& handled);
    virtual LRESULT OnDestroy(const WindowMessage& msg, bool& handled);
    void OnFirstShow() override;
    void OnWindowDestroyed() override;

    CPaintManagerUI m_pm;

private:
    UiLoadError skin_error_;
};

}  // namespace lumora
