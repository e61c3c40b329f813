#include "ui/window_impl_base.h"

#include "platform/logger.h"
#include "ui/control_ui.h"
#include "ui/dialog_builder.h"
#include "ui/ui_text.h"

namespace lumora {

namespace {
constexpr const char* kTag = "ui";
}

WindowImplBase::WindowImplBase() = default;

WindowImplBase::~WindowImplBase() {
    m_pm.RemoveNotifier(this);
    m_pm.RemoveMessageFilter(this);
}

void WindowImplBase::Notify(TNotifyUI& msg) { NotifyPump(msg); }

LRESULT WindowImplBase::HandleCustomMessage(const WindowMessage& /*msg*/, bool& handled) {
    handled = false;
    return 0;
}

LRESULT WindowImplBase::MessageHandler(const WindowMessage& /*msg*/, bool& handled) {
    handled = false;
    return 0;
}

std::unique_ptr<CControlUI> WindowImplBase::CreateControl(std::string_view /*element_name*/) { return nullptr; }

std::optional<std::string> WindowImplBase::QueryControlText(std::string_view /*id*/, std::string_view /*type*/) {
    return std::nullopt;
}

LRESULT WindowImplBase::HandleMessage(const WindowMessage& msg) {
    bool handled = true;
    LRESULT result = 0;
    switch (msg.message) {
        case WM_CREATE:
            result = OnCreate(msg, handled);
            break;
        case WM_CLOSE:
            result = OnClose(msg, handled);
            break;
        case WM_DESTROY:
            result = OnDestroy(msg, handled);
            break;
        default:
            handled = false;
            break;
    }
    if (handled) return result;
    result = HandleCustomMessage(msg, handled);
    if (handled) return result;
    if (m_pm.MessageHandler(msg, result)) return result;
    return CWindowWnd::HandleMessage(msg);
}

LRESULT WindowImplBase::OnCreate(const WindowMessage& /*msg*/, bool& handled) {
    handled = true;
    m_pm.Init(this, GetWindowClassName());
    CDialogBuilder builder;
    std::unique_ptr<CControlUI> root = builder.Create(GetSkinFile(), {}, this, &m_pm);
    skin_error_ = root ? UiLoadError{} : builder.GetError();
    if (!root) {
        const std::string fallback = GetFallbackSkin();
        if (!fallback.empty()) {
            LOG_WARNING(kTag, "%s: skin %s not built, using the built-in layout", GetWindowClassName().c_str(),
                        GetSkinFile().c_str());
            root = builder.Create(fallback, {}, this, &m_pm);
        }
    }
    if (!root) {
        LOG_ERROR(kTag, "%s: window not created: %s", GetWindowClassName().c_str(), skin_error_.ToString().c_str());
        return -1;
    }
    m_pm.AttachDialog(std::move(root));
    m_pm.AddNotifier(this);
    m_pm.AddMessageFilter(this);
    if (m_pm.GetInitWidth() > 0 && m_pm.GetInitHeight() > 0) {
        const UiRect r = GetWindowRect();
        MoveWindow(UiRect{r.left, r.top, r.left + m_pm.GetInitWidth(), r.top + m_pm.GetInitHeight()});
    }
    InitWindow();
    return 0;
}

LRESULT WindowImplBase::OnClose(const WindowMessage& /*msg*/, bool& handled) {
    handled = false;
    return 0;
}

LRESULT WindowImplBase::OnDestroy(const WindowMessage& /*msg*/, bool& handled) {
    handled = false;
    return 0;
}

void WindowImplBase::OnFirstShow() { m_pm.SendWindowInit(); }

void WindowImplBase::OnWindowDestroyed() {
    m_pm.RemoveAllTimers();
    m_pm.RemoveNotifier(this);
    m_pm.RemoveMessageFilter(this);
}

bool WindowImplBase::AnswerModal(std::string_view answer, std::string* error) {
    auto fail = [&](std::string text) {
        if (error) *error = std::move(text);
        return false;
    };
    auto* modal = dynamic_cast<WindowImplBase*>(CWindowWnd::TopModal());
    if (!modal) return fail("no modal window");
    if (CControlUI* control = modal->FindControl(answer)) return control->PerformUserAction("click", {}, error);
    if (UiText::EqualsNoCase(answer, "close")) {
        modal->PostMessage(WM_CLOSE, 0);
        return true;
    }
    if (auto n = UiText::ParseInt(answer)) {
        modal->Close(static_cast<int>(*n));
        return true;
    }
    return fail("no control " + std::string(answer) + " in " + modal->GetWindowClassName());
}

}  // namespace lumora
