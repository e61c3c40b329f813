#include "ui/window_wnd.h"

#include <algorithm>

#include "platform/logger.h"
#include "ui/paint_manager_ui.h"
#include "ui/ui_renderer.h"

namespace lumora {

namespace {
constexpr const char* kTag = "ui";

struct Registry {
    std::map<CWindowWnd::Handle, CWindowWnd*> windows;
    std::vector<CWindowWnd::Handle> order;
    std::vector<CWindowWnd::Handle> modal_stack;
    CWindowWnd::Handle next = 1;
    CWindowWnd::ModalResponder responder;
    UiRect screen{0, 0, 1920, 1080};
};

Registry& Windows() {
    static Registry registry;
    return registry;
}
}  // namespace

CWindowWnd::CWindowWnd() = default;

CWindowWnd::~CWindowWnd() {
    if (MessageLoop* loop = CPaintManagerUI::GetMessageLoop()) {
        for (const auto& [id, loop_id] : timers_) loop->KillTimer(loop_id);
    }
    if (handle_ != 0) {
        LOG_WARNING(kTag, "window \"%s\" deleted without being destroyed", title_.c_str());
        auto& registry = Windows();
        registry.windows.erase(handle_);
        registry.order.erase(std::remove(registry.order.begin(), registry.order.end(), handle_), registry.order.end());
        registry.modal_stack.erase(std::remove(registry.modal_stack.begin(), registry.modal_stack.end(), handle_),
                                   registry.modal_stack.end());
        if (IUiRenderer* renderer = CPaintManagerUI::GetRenderer()) renderer->WindowDestroyed(*this);
    }
}

CWindowWnd* CWindowWnd::FromHandle(Handle handle) {
    auto& windows = Windows().windows;
    auto it = windows.find(handle);
    return it == windows.end() ? nullptr : it->second;
}

std::vector<CWindowWnd*> CWindowWnd::AllWindows() {
    std::vector<CWindowWnd*> out;
    for (Handle h : Windows().order) {
        if (CWindowWnd* w = FromHandle(h)) out.push_back(w);
    }
    return out;
}

CWindowWnd* CWindowWnd::FindWindow(std::string_view class_name, std::string_view title) {
    for (CWindowWnd* w : AllWindows()) {
        if ((class_name.empty() || w->GetWindowClassName() == class_name) && (title.empty() || w->title_ == title)) {
            return w;
        }
    }
    return nullptr;
}

bool CWindowWnd::Create(CWindowWnd* owner, std::string_view title, std::uint32_t style, std::uint32_t ex_style,
                        int x, int y, int width, int height) {
    if (handle_ != 0) return false;
    auto& registry = Windows();
    handle_ = registry.next++;
    owner_ = owner && owner->IsWindow() ? owner->GetHWND() : 0;
    title_ = title;
    style_ = style;
    ex_style_ = ex_style;
    rect_ = UiRect{x, y, x + std::max(0, width), y + std::max(0, height)};
    registry.windows[handle_] = this;
    registry.order.push_back(handle_);
    if (IUiRenderer* renderer = CPaintManagerUI::GetRenderer()) renderer->WindowCreated(*this);
    WindowMessage create;
    create.message = WM_CREATE;
    if (Dispatch(create) == -1) {
        DestroyWindow();
        return false;
    }
    if (style & WS_VISIBLE) ShowWindow(true);
    return true;
}

void CWindowWnd::Changed() {
    if (IUiRenderer* renderer = CPaintManagerUI::GetRenderer()) renderer->WindowChanged(*this);
}

void CWindowWnd::ShowWindow(bool show, bool /*take_focus*/) {
    if (!IsWindow()) return;
    const bool was = visible_;
    visible_ = show;
    if (was != show) {
        Changed();
        SendMessage(WM_SHOWWINDOW, show ? 1 : 0);
    }
    if (show && !first_shown_) {
        first_shown_ = true;
        const Handle handle = handle_;
        if (MessageLoop* loop = CPaintManagerUI::GetMessageLoop()) {
            loop->Post([handle] {
                if (CWindowWnd* w = FromHandle(handle)) w->OnFirstShow();
            });
        } else {
            OnFirstShow();
        }
    }
}

int CWindowWnd::ShowModal() {
    if (!IsWindow()) return -1;
    MessageLoop* loop = CPaintManagerUI::GetMessageLoop();
    if (!loop) {
        LOG_ERROR(kTag, "modal window \"%s\" needs a message loop", title_.c_str());
        return -1;
    }
    if (modal_) return -1;  // already running modally
    auto state = std::make_shared<ModalState>();
    modal_ = state;
    const Handle handle = handle_;
    const Handle owner = owner_;
    if (CWindowWnd* o = FromHandle(owner)) o->EnableWindow(false);
    auto& registry = Windows();
    registry.modal_stack.push_back(handle);
    ShowWindow(true);
    if (registry.responder) {
        // Posted after the first-show work, so the window is initialised when asked.
        loop->Post([handle] {
            CWindowWnd* w = FromHandle(handle);
            auto responder = Windows().responder;
            if (w && w->IsModal() && responder) responder(*w);
        });
    }
    loop->RunUntil([handle] { return FromHandle(handle) == nullptr; });
    auto& stack = Windows().modal_stack;
    stack.erase(std::remove(stack.begin(), stack.end(), handle), stack.end());
    if (CWindowWnd* o = FromHandle(owner)) o->EnableWindow(true);
    // The window object may be gone here (OnFinalMessage may delete it).
    if (CWindowWnd* w = FromHandle(handle)) w->modal_.reset();
    return state->result;
}

void CWindowWnd::Close(int result) {
    if (!IsWindow()) return;
    PostMessage(WM_CLOSE, static_cast<std::uintptr_t>(result));
}

void CWindowWnd::DestroyWindow() {
    if (!IsWindow()) return;
    const Handle handle = handle_;
    // Owned windows go first, as on the desktop.
    for (CWindowWnd* w : AllWindows()) {
        if (w->owner_ == handle && w != this) w->DestroyWindow();
    }
    if (!FromHandle(handle)) return;
    WindowMessage destroy;
    destroy.message = WM_DESTROY;
    Dispatch(destroy);
    if (!FromHandle(handle)) return;
    if (MessageLoop* loop = CPaintManagerUI::GetMessageLoop()) {
        for (const auto& [id, loop_id] : timers_) loop->KillTimer(loop_id);
    }
    timers_.clear();
    visible_ = false;
    modal_.reset();
    OnWindowDestroyed();
    auto& registry = Windows();
    registry.windows.erase(handle);
    registry.order.erase(std::remove(registry.order.begin(), registry.order.end(), handle), registry.order.end());
    handle_ = 0;
    if (IUiRenderer* renderer = CPaintManagerUI::GetRenderer()) renderer->WindowDestroyed(*this);
    OnFinalMessage(handle);
}

void CWindowWnd::CenterWindow() {
    if (!IsWindow()) return;
    UiRect area = GetMonitorRect(this);
    if (CWindowWnd* owner = GetOwner(); owner && owner->IsWindowVisible() && !owner->IsIconic()) {
        area = owner->GetWindowRect();
    }
    const int w = rect_.Width();
    const int h = rect_.Height();
    const int x = area.left + (area.Width() - w) / 2;
    const int y = area.top + (area.Height() - h) / 2;
    MoveWindow(UiRect{x, y, x + w, y + h});
}

LRESULT CWindowWnd::Dispatch(const WindowMessage& msg) {
    if (msg.message == WM_CLOSE && modal_) modal_->result = static_cast<int>(msg.wParam);
    return HandleMessage(msg);
}

LRESULT CWindowWnd::SendMessage(std::uint32_t message, std::uintptr_t wParam, std::intptr_t lParam,
                                std::any payload) {
    if (!IsWindow()) return 0;
    WindowMessage msg{message, wParam, lParam, std::move(payload)};
    return Dispatch(msg);
}

bool CWindowWnd::PostMessage(std::uint32_t message, std::uintptr_t wParam, std::intptr_t lParam, std::any payload) {
    if (!IsWindow()) return false;
    return PostMessageTo(handle_, WindowMessage{message, wParam, lParam, std::move(payload)});
}

bool CWindowWnd::PostMessageTo(Handle handle, WindowMessage msg) {
    MessageLoop* loop = CPaintManagerUI::GetMessageLoop();
    if (!loop || handle == 0) return false;
    loop->Post([handle, msg = std::move(msg)] {
        if (CWindowWnd* w = FromHandle(handle)) w->Dispatch(msg);
    });
    return true;
}

std::optional<LRESULT> CWindowWnd::SendMessageTo(Handle handle, WindowMessage msg, std::stop_token stop) {
    MessageLoop* loop = CPaintManagerUI::GetMessageLoop();
    if (!loop || handle == 0) return std::nullopt;
    std::optional<LRESULT> result;
    const bool ran = loop->Send(
        [&] {
            if (CWindowWnd* w = FromHandle(handle)) result = w->Dispatch(msg);
        },
        stop);
    if (!ran) return std::nullopt;
    return result;
}

bool CWindowWnd::SetTimer(unsigned id, unsigned elapse_ms) {
    MessageLoop* loop = CPaintManagerUI::GetMessageLoop();
    if (!loop || !IsWindow()) return false;
    auto it = timers_.find(id);
    const MessageLoop::TimerId loop_id = it != timers_.end() ? it->second : loop->NewTimerId();
    timers_[id] = loop_id;
    const Handle handle = handle_;
    loop->SetTimer(loop_id, std::chrono::milliseconds(elapse_ms), MessageLoop::TimerMode::Repeating, [handle, id] {
        if (CWindowWnd* w = FromHandle(handle)) w->Dispatch(WindowMessage{WM_TIMER, id, 0, {}});
    });
    return true;
}

bool CWindowWnd::KillTimer(unsigned id) {
    auto it = timers_.find(id);
    if (it == timers_.end()) return false;
    if (MessageLoop* loop = CPaintManagerUI::GetMessageLoop()) loop->KillTimer(it->second);
    timers_.erase(it);
    return true;
}

void CWindowWnd::SetTitle(std::string_view title) {
    title_ = title;
    Changed();
}

void CWindowWnd::SetTopmost(bool topmost) {
    topmost_ = topmost;
    Changed();
}

void CWindowWnd::EnableWindow(bool enabled) {
    enabled_ = enabled;
    Changed();
}

void CWindowWnd::MoveWindow(const UiRect& rect) {
    rect_ = rect;
    Changed();
}

void CWindowWnd::SetIcon(int resource) {
    icon_ = resource;
    Changed();
}

CWindowWnd* CWindowWnd::GetOwner() const { return FromHandle(owner_); }

CWindowWnd* CWindowWnd::TopModal() {
    auto& stack = Windows().modal_stack;
    for (auto it = stack.rbegin(); it != stack.rend(); ++it) {
        if (CWindowWnd* w = FromHandle(*it)) return w;
    }
    return nullptr;
}

void CWindowWnd::SetModalResponder(ModalResponder responder) { Windows().responder = std::move(responder); }

UiRect CWindowWnd::GetMonitorRect(const CWindowWnd* window) {
    if (window) {
        if (IUiRenderer* renderer = CPaintManagerUI::GetRenderer()) {
            if (auto rect = renderer->MonitorRect(*window)) return *rect;
        }
    }
    return Windows().screen;
}

void CWindowWnd::SetHeadlessScreen(const UiRect& rect) { Windows().screen = rect; }

LRESULT CWindowWnd::HandleMessage(const WindowMessage& msg) { return DefWindowProc(msg); }

LRESULT CWindowWnd::DefWindowProc(const WindowMessage& msg) {
    switch (msg.message) {
        case WM_CLOSE:
            DestroyWindow();
            return 0;
        case WM_SYSCOMMAND:
            switch (msg.wParam & 0xFFF0) {
                case SC_MINIMIZE:
                    iconic_ = true;
                    Changed();
                    return 0;
                case SC_MAXIMIZE:
                    iconic_ = false;
                    zoomed_ = true;
                    ShowWindow(true);
                    Changed();
                    return 0;
                case SC_RESTORE:
                    // Restores a minimised window, else a maximised one, and shows a hidden one.
                    if (iconic_) {
                        iconic_ = false;
                    } else {
                        zoomed_ = false;
                    }
                    ShowWindow(true);
                    Changed();
                    return 0;
                case SC_CLOSE:
                    SendMessage(WM_CLOSE);
                    return 0;
                default:
                    return 0;
            }
        default:
            return 0;
    }
}

}  // namespace lumora
