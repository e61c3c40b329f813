#pragma once
// A top-level window of the program as a model: handle, owner, title, position,
// visibility, minimised/maximised/topmost state, window timers, messages and
// modal runs. A renderer shows it; headless it is only recorded.
//
// Messages: SendMessage (UI thread) handles at once; PostMessage queues on the
// message loop; PostMessageTo/SendMessageTo reach a window by handle from any
// thread and do nothing once the window is gone.
//
// Closing: Close(result) posts WM_CLOSE with the result in wParam. A window may
// refuse WM_CLOSE by handling it; otherwise the default handling destroys it
// (WM_DESTROY, then OnFinalMessage). Windows owned by a window are destroyed
// with it.
//
// Modal: ShowModal shows the window, disables its owner and runs a nested loop
// until the window is destroyed; it returns the wParam of the last WM_CLOSE it saw
// (0 when the loop quit first). Without a user, a modal responder (tests,
// automation) answers each modal window once it is initialised.

#include <any>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <stop_token>
#include <string>
#include <string_view>
#include <vector>

#include "platform/message_loop.h"
#include "ui/ui_rect.h"
#include "ui/window_message.h"

namespace lumora {

class CWindowWnd {
public:
    using Handle = std::uint64_t;
    using ModalResponder = std::function<void(CWindowWnd& modal)>;

    CWindowWnd();
    // Destroy the window (Close or DestroyWindow) before deleting the object; a
    // window still alive here is only unregistered, without messages.
    virtual ~CWindowWnd();
    CWindowWnd(const CWindowWnd&) = delete;
    CWindowWnd& operator=(const CWindowWnd&) = delete;

    virtual std::string GetWindowClassName() const = 0;

    Handle GetHWND() const { return handle_; }
    bool IsWindow() const { return handle_ != 0; }
    static CWindowWnd* FromHandle(Handle handle);
    // Live windows in creation order.
    static std::vector<CWindowWnd*> AllWindows();
    static CWindowWnd* FindWindow(std::string_view class_name, std::string_view title);

    // false when the window exists already or WM_CREATE answered -1.
    bool Create(CWindowWnd* owner, std::string_view title, std::uint32_t style, std::uint32_t ex_style, int x, int y,
                int width, int height);
    void ShowWindow(bool show = true, bool take_focus = true);
    int ShowModal();
    void Close(int result = 1);
    void DestroyWindow();
    void CenterWindow();

    LRESULT SendMessage(std::uint32_t message, std::uintptr_t wParam = 0, std::intptr_t lParam = 0,
                        std::any payload = {});
    bool PostMessage(std::uint32_t message, std::uintptr_t wParam = 0, std::intptr_t lParam = 0,
                     std::any payload = {});
    static bool PostMessageTo(Handle handle, WindowMessage msg);
    // The result, or nothing when the window is gone or the loop is quitting (or
    // stop was requested before the UI thread took the message).
    static std::optional<LRESULT> SendMessageTo(Handle handle, WindowMessage msg, std::stop_token stop = {});

    // Window timers: repeating WM_TIMER with wParam id until killed.
    bool SetTimer(unsigned id, unsigned elapse_ms);
    bool KillTimer(unsigned id);

    // --- state
    const std::string& GetTitle() const { return title_; }
    void SetTitle(std::string_view title);
    bool IsWindowVisible() const { return visible_; }
    bool IsIconic() const { return iconic_; }
    bool IsZoomed() const { return zoomed_; }
    bool IsTopmost() const { return topmost_; }
    void SetTopmost(bool topmost);
    bool IsWindowEnabled() const { return enabled_; }
    void EnableWindow(bool enabled);
    UiRect GetWindowRect() const { return rect_; }
    void MoveWindow(const UiRect& rect);
    std::uint32_t GetStyle() const { return style_; }
    std::uint32_t GetExStyle() const { return ex_style_; }
    int GetIcon() const { return icon_; }
    void SetIcon(int resource);
    CWindowWnd* GetOwner() const;
    Handle GetOwnerHandle() const { return owner_; }

    // --- modal windows
    bool IsModal() const { return modal_ != nullptr; }
    static CWindowWnd* TopModal();
    static void SetModalResponder(ModalResponder responder);

    // --- screen
    static UiRect GetMonitorRect(const CWindowWnd* window);
    // The screen used without a renderer (1920 x 1080 unless set).
    static void SetHeadlessScreen(const UiRect& rect);

protected:
    // Default handling of what the window leaves unhandled.
    virtual LRESULT HandleMessage(const WindowMessage& msg);
    LRESULT DefWindowProc(const WindowMessage& msg);
    // Last call for a destroyed window; the object may be deleted here.
    virtual void OnFinalMessage(Handle /*handle*/) {}
    // The first time the window is shown (posted, as the first paint is).
    virtual void OnFirstShow() {}
    // Called after WM_DESTROY was handled, before OnFinalMessage.
    virtual void OnWindowDestroyed() {}

private:
    struct ModalState {
        int result = 0;
    };
    LRESULT Dispatch(const WindowMessage& msg);
    void Changed();

    Handle handle_ = 0;
    Handle owner_ = 0;
    std::string title_;
    std::uint32_t style_ = 0;
    std::uint32_t ex_style_ = 0;
    UiRect rect_;
    bool visible_ = false;
    bool iconic_ = false;
    bool zoomed_ = false;
    bool topmost_ = false;
    bool enabled_ = true;
    bool first_shown_ = false;
    int icon_ = 0;
    std::shared_ptr<ModalState> modal_;
    std::map<unsigned, MessageLoop::TimerId> timers_;
};

}  // namespace lumora
