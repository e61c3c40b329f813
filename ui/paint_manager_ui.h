#pragma once
// One window's control tree and everything around it: name lookup, notifiers and
// the notification pump, message filters, per-control timers, focus, option
// groups, DPI, fonts, named styles and class defaults. Process-wide settings (the
// instance and resource paths, the message loop, the renderer, shared fonts and
// styles, loaded font files) are static, as in DuiLib.
//
// Everything here runs on the UI thread. Worker threads reach the tree only by
// posting or sending work through the message loop.

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/message_loop.h"
#include "ui/notify_ui.h"
#include "ui/ui_text.h"
#include "ui/window_message.h"

namespace lumora {

class CControlUI;
class CWindowWnd;
class IMessageFilterUI;
class IUiRenderer;

struct UiFontInfo {
    int id = -1;
    std::string face;
    int size = 0;
    bool bold = false;
    bool underline = false;
    bool italic = false;
    bool shared = false;

    bool operator==(const UiFontInfo&) const = default;
};

class CPaintManagerUI {
public:
    CPaintManagerUI();
    ~CPaintManagerUI();
    CPaintManagerUI(const CPaintManagerUI&) = delete;
    CPaintManagerUI& operator=(const CPaintManagerUI&) = delete;

    // --- process-wide
    static void SetInstancePath(std::string path);
    static const std::string& GetInstancePath();
    // The skin folder; relative skin and language files are found under it.
    static void SetResourcePath(std::string path);
    static const std::string& GetResourcePath();
    // 1 = plain files (the only kind this library reads).
    static void SetResourceType(int type);
    static int GetResourceType();
    // The loop windows, timers and modal windows use. Set once before any window.
    static void SetMessageLoop(MessageLoop* loop);
    static MessageLoop* GetMessageLoop();
    // Runs the loop until quit; returns its exit code (-1 without a loop). With a
    // loop runner installed (a renderer whose event loop drives ours) it runs that.
    static int RunMessageLoop();
    static void SetLoopRunner(std::function<int()> runner);
    static void SetRenderer(IUiRenderer* renderer);
    static IUiRenderer* GetRenderer();
    static const std::vector<CPaintManagerUI*>& GetPaintManagers();
    static void SetAllDPI(int dpi);
    // Private font files handed to the renderer; recorded so headless runs show them.
    static void AddFontFile(const std::string& path);
    static const std::vector<std::string>& GetFontFiles();
    static void ClearFontFiles();
    // Forgets process-wide styles, defaults and shared fonts (tests, shutdown).
    static void ResetShared();

    // --- window and tree
    void Init(CWindowWnd* window, std::string name = {});
    CWindowWnd* GetPaintWindow() const { return window_; }
    const std::string& GetName() const { return name_; }
    // Takes the root; false when a root is already attached or the root is null.
    bool AttachDialog(std::unique_ptr<CControlUI> root);
    std::unique_ptr<CControlUI> DetachDialog();
    CControlUI* GetRoot() const { return root_.get(); }
    // Sends "windowinit" once, the first time the window is shown with a root.
    void SendWindowInit();
    bool IsWindowInitSent() const { return window_init_sent_; }

    // --- lookup: the first control in tree order with that name
    CControlUI* FindControl(std::string_view name) const;
    CControlUI* FindSubControlByName(const CControlUI* parent, std::string_view name) const;
    CControlUI* FindSubControlByClass(const CControlUI* parent, std::string_view class_name, int index = 0) const;
    std::vector<CControlUI*> FindSubControlsByClass(const CControlUI* parent, std::string_view class_name) const;

    // --- notifications
    bool AddNotifier(INotifyUI* notifier);
    bool RemoveNotifier(INotifyUI* notifier);
    // Fills type-independent fields (timestamp, virtual window) and hands the
    // message to every notifier in order. Async ones are delivered on the next loop
    // pass, and dropped if the sender is gone by then.
    void SendNotify(TNotifyUI& msg, bool async = false);
    void SendNotify(CControlUI* control, std::string_view type, std::uintptr_t wParam = 0, std::intptr_t lParam = 0,
                    bool async = false);

    // --- message filters (run by the window before its default handling)
    bool AddMessageFilter(IMessageFilterUI* filter);
    bool RemoveMessageFilter(IMessageFilterUI* filter);
    // true when a filter handled the message; result is then its answer.
    bool MessageHandler(const WindowMessage& msg, LRESULT& result);

    // --- per-control timers: repeating until killed; each firing reaches the
    // control's DoEvent (which notifies "timer" by default)
    bool SetTimer(CControlUI* control, unsigned id, unsigned elapse_ms);
    bool KillTimer(CControlUI* control, unsigned id);
    void KillTimer(CControlUI* control);
    void RemoveAllTimers();
    bool HasTimer(const CControlUI* control, unsigned id) const;

    // --- focus: "killfocus" to the old control, then "setfocus" to the new one
    CControlUI* GetFocus() const { return focus_; }
    void SetFocus(CControlUI* control);

    // --- option groups
    bool AddOptionGroup(std::string_view group, CControlUI* control);
    const std::vector<CControlUI*>* GetOptionGroup(std::string_view group) const;
    void RemoveOptionGroup(std::string_view group, CControlUI* control);
    void RemoveAllOptionGroups();

    // --- DPI
    int GetDPI() const { return dpi_; }
    // Also scales the window (unless maximised) so it keeps its logical size.
    void SetDPI(int dpi);
    void ResetDPIAssets();
    int GetScale() const { return dpi_ * 100 / 96; }
    int ScaleValue(int value) const { return value * dpi_ / 96; }

    // --- fonts (id -1 is the default font)
    void AddFont(int id, std::string face, int size, bool bold, bool underline, bool italic, bool shared);
    void SetDefaultFont(std::string face, int size, bool bold, bool underline, bool italic, bool shared);
    const UiFontInfo* GetFont(int id) const;
    const UiFontInfo* GetDefaultFontInfo() const;
    void RemoveAllFonts(bool shared);
    std::vector<UiFontInfo> GetFonts() const;

    // --- styles, class defaults, images, window attributes from the skin
    void AddStyle(std::string_view name, std::string_view attributes, bool shared);
    const std::string* GetStyle(std::string_view name) const;
    void AddDefaultAttributeList(std::string_view class_name, std::string_view attributes, bool shared);
    const std::string* GetDefaultAttributeList(std::string_view class_name) const;
    void AddImage(std::string_view name, std::string_view attributes);
    const std::string* GetImage(std::string_view name) const;
    void SetWindowAttribute(std::string_view name, std::string_view value);
    std::optional<std::string> GetWindowAttribute(std::string_view name) const;
    void SetInitSize(int width, int height);
    int GetInitWidth() const { return init_width_; }
    int GetInitHeight() const { return init_height_; }

    // --- bookkeeping called by controls and containers
    void InitControl(CControlUI* control);
    void ReapObjects(CControlUI* control);
    void ReapTree(CControlUI* root);
    void NamesChanged() { names_dirty_ = true; }
    void AddDelayedCleanup(std::unique_ptr<CControlUI> control);
    void Invalidate(CControlUI* control);
    void TreeChanged(CControlUI* container);

private:
    struct TimerEntry {
        CControlUI* control;
        unsigned id;
        MessageLoop::TimerId loop_id;
    };
    void RebuildNameIndex() const;
    void FlushDelayedCleanup();

    CWindowWnd* window_ = nullptr;
    std::string name_;
    std::unique_ptr<CControlUI> root_;
    bool window_init_sent_ = false;
    CControlUI* focus_ = nullptr;

    mutable std::map<std::string, CControlUI*, std::less<>> names_;
    mutable bool names_dirty_ = true;

    std::vector<INotifyUI*> notifiers_;
    std::vector<IMessageFilterUI*> filters_;
    std::vector<TimerEntry> timers_;
    std::map<std::string, std::vector<CControlUI*>, std::less<>> option_groups_;
    std::vector<std::unique_ptr<CControlUI>> delayed_cleanup_;
    bool cleanup_posted_ = false;
    std::shared_ptr<const int> life_;

    int dpi_ = 96;
    std::map<int, UiFontInfo> fonts_;
    std::optional<UiFontInfo> default_font_;
    std::map<std::string, std::string, UiText::LessNoCase> styles_;
    std::map<std::string, std::string, UiText::LessNoCase> defaults_;
    std::map<std::string, std::string, UiText::LessNoCase> images_;
    std::map<std::string, std::string, UiText::LessNoCase> window_attributes_;
    int init_width_ = 0;
    int init_height_ = 0;
};

}  // namespace lumora
