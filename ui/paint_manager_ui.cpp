#include "ui/paint_manager_ui.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <functional>

#include "platform/logger.h"
#include "ui/container_ui.h"
#include "ui/control_ui.h"
#include "ui/message_filter_ui.h"
#include "ui/ui_renderer.h"
#include "ui/window_wnd.h"
#include "ui/window_wnd.h"

namespace lumora {

namespace {
constexpr const char* kTag = "ui";

struct SharedState {
    std::string instance_path;
    std::string resource_path;
    int resource_type = 1;
    std::atomic<MessageLoop*> loop{nullptr};
    IUiRenderer* renderer = nullptr;
    std::function<int()> loop_runner;
    std::vector<CPaintManagerUI*> managers;
    std::vector<std::string> font_files;
    std::map<int, UiFontInfo> fonts;
    std::optional<UiFontInfo> default_font;
    std::map<std::string, std::string, UiText::LessNoCase> styles;
    std::map<std::string, std::string, UiText::LessNoCase> defaults;
};

SharedState& Shared() {
    static SharedState state;
    return state;
}

// Visits the tree in DuiLib's lookup order below a parent: children (depth first)
// before the parent itself.
bool Walk(const CControlUI* node, const std::function<bool(CControlUI*)>& visit) {
    if (const CContainerUI* container = node->AsContainer()) {
        for (int i = 0; i < container->GetCount(); ++i) {
            if (Walk(container->GetItemAt(i), visit)) return true;
        }
    }
    return visit(const_cast<CControlUI*>(node));
}

// Pre-order (parent before children): "first in tree order" for window lookups.
void WalkPreOrder(CControlUI* node, const std::function<void(CControlUI*)>& visit) {
    visit(node);
    if (CContainerUI* container = node->AsContainer()) {
        for (int i = 0; i < container->GetCount(); ++i) WalkPreOrder(container->GetItemAt(i), visit);
    }
}
}  // namespace

CPaintManagerUI::CPaintManagerUI() : life_(std::make_shared<const int>(0)) { Shared().managers.push_back(this); }

CPaintManagerUI::~CPaintManagerUI() {
    auto& managers = Shared().managers;
    managers.erase(std::remove(managers.begin(), managers.end(), this), managers.end());
    RemoveAllTimers();
    life_.reset();
    focus_ = nullptr;
    notifiers_.clear();
    filters_.clear();
    // Controls reap themselves while they go; keep the lists valid until the end.
    if (root_) root_.reset();
    delayed_cleanup_.clear();
}

// --- process-wide

void CPaintManagerUI::SetInstancePath(std::string path) { Shared().instance_path = std::move(path); }
const std::string& CPaintManagerUI::GetInstancePath() { return Shared().instance_path; }
void CPaintManagerUI::SetResourcePath(std::string path) { Shared().resource_path = std::move(path); }
const std::string& CPaintManagerUI::GetResourcePath() { return Shared().resource_path; }
void CPaintManagerUI::SetResourceType(int type) { Shared().resource_type = type; }
int CPaintManagerUI::GetResourceType() { return Shared().resource_type; }
void CPaintManagerUI::SetMessageLoop(MessageLoop* loop) { Shared().loop.store(loop); }
MessageLoop* CPaintManagerUI::GetMessageLoop() { return Shared().loop.load(); }

void CPaintManagerUI::SetLoopRunner(std::function<int()> runner) { Shared().loop_runner = std::move(runner); }

int CPaintManagerUI::RunMessageLoop() {
    if (Shared().loop_runner) {
        const auto runner = Shared().loop_runner;
        return runner();
    }
    MessageLoop* loop = GetMessageLoop();
    if (!loop) {
        LOG_ERROR(kTag, "no message loop to run");
        return -1;
    }
    return loop->Run();
}

void CPaintManagerUI::SetRenderer(IUiRenderer* renderer) { Shared().renderer = renderer; }
IUiRenderer* CPaintManagerUI::GetRenderer() { return Shared().renderer; }
const std::vector<CPaintManagerUI*>& CPaintManagerUI::GetPaintManagers() { return Shared().managers; }

void CPaintManagerUI::SetAllDPI(int dpi) {
    for (CPaintManagerUI* manager : Shared().managers) manager->SetDPI(dpi);
}

void CPaintManagerUI::AddFontFile(const std::string& path) {
    Shared().font_files.push_back(path);
    if (IUiRenderer* renderer = GetRenderer()) renderer->FontFileAdded(path);
}

const std::vector<std::string>& CPaintManagerUI::GetFontFiles() { return Shared().font_files; }
void CPaintManagerUI::ClearFontFiles() { Shared().font_files.clear(); }

void CPaintManagerUI::ResetShared() {
    auto& shared = Shared();
    shared.fonts.clear();
    shared.default_font.reset();
    shared.styles.clear();
    shared.defaults.clear();
}

// --- window and tree

void CPaintManagerUI::Init(CWindowWnd* window, std::string name) {
    window_ = window;
    name_ = std::move(name);
}

bool CPaintManagerUI::AttachDialog(std::unique_ptr<CControlUI> root) {
    if (!root || root_ || root->GetParent()) return false;
    root_ = std::move(root);
    focus_ = nullptr;
    root_->SetManager(this, nullptr, true);
    names_dirty_ = true;
    TreeChanged(nullptr);
    return true;
}

std::unique_ptr<CControlUI> CPaintManagerUI::DetachDialog() {
    if (!root_) return nullptr;
    ReapTree(root_.get());
    root_->SetManager(nullptr, nullptr, false);
    names_dirty_ = true;
    TreeChanged(nullptr);
    return std::move(root_);
}

void CPaintManagerUI::SendWindowInit() {
    if (window_init_sent_ || !root_) return;
    window_init_sent_ = true;
    SendNotify(root_.get(), "windowinit");
}

// --- lookup

void CPaintManagerUI::RebuildNameIndex() const {
    names_.clear();
    if (root_) {
        WalkPreOrder(root_.get(), [this](CControlUI* c) {
            if (!c->GetName().empty()) names_.emplace(c->GetName(), c);
        });
    }
    names_dirty_ = false;
}

CControlUI* CPaintManagerUI::FindControl(std::string_view name) const {
    if (name.empty()) return nullptr;
    if (names_dirty_) RebuildNameIndex();
    auto it = names_.find(name);
    return it == names_.end() ? nullptr : it->second;
}

CControlUI* CPaintManagerUI::FindSubControlByName(const CControlUI* parent, std::string_view name) const {
    if (!parent || name.empty()) return nullptr;
    CControlUI* found = nullptr;
    Walk(parent, [&](CControlUI* c) {
        if (c->GetName() == name) {
            found = c;
            return true;
        }
        return false;
    });
    return found;
}

CControlUI* CPaintManagerUI::FindSubControlByClass(const CControlUI* parent, std::string_view class_name,
                                                   int index) const {
    if (!parent || index < 0) return nullptr;
    CControlUI* found = nullptr;
    int seen = 0;
    Walk(parent, [&](CControlUI* c) {
        if (UiText::EqualsNoCase(c->GetClass(), class_name) && seen++ == index) {
            found = c;
            return true;
        }
        return false;
    });
    return found;
}

std::vector<CControlUI*> CPaintManagerUI::FindSubControlsByClass(const CControlUI* parent,
                                                                 std::string_view class_name) const {
    std::vector<CControlUI*> out;
    if (!parent) return out;
    Walk(parent, [&](CControlUI* c) {
        if (UiText::EqualsNoCase(c->GetClass(), class_name)) out.push_back(c);
        return false;
    });
    return out;
}

// --- notifications

bool CPaintManagerUI::AddNotifier(INotifyUI* notifier) {
    if (!notifier || std::find(notifiers_.begin(), notifiers_.end(), notifier) != notifiers_.end()) return false;
    notifiers_.push_back(notifier);
    return true;
}

bool CPaintManagerUI::RemoveNotifier(INotifyUI* notifier) {
    auto it = std::find(notifiers_.begin(), notifiers_.end(), notifier);
    if (it == notifiers_.end()) return false;
    notifiers_.erase(it);
    return true;
}

void CPaintManagerUI::SendNotify(TNotifyUI& msg, bool async) {
    if (msg.pSender) msg.sVirtualWnd = msg.pSender->GetVirtualWnd();
    if (MessageLoop* loop = GetMessageLoop()) {
        msg.dwTimestamp = static_cast<std::uint64_t>(
            std::chrono::duration_cast<std::chrono::milliseconds>(loop->GetClock().Now().time_since_epoch()).count());
    }
    if (async) {
        MessageLoop* loop = GetMessageLoop();
        if (!loop) {
            LOG_WARNING(kTag, "async notification \"%s\" sent synchronously: no message loop", msg.sType.c_str());
        } else {
            std::weak_ptr<const int> self = life_;
            std::weak_ptr<const int> sender;
            if (msg.pSender) sender = msg.pSender->LifeToken();
            const bool had_sender = msg.pSender != nullptr;
            loop->Post([this, self, sender, had_sender, copy = msg]() mutable {
                if (self.expired() || (had_sender && sender.expired())) return;
                // A sender taken out of this tree meanwhile is not reported either.
                if (had_sender && copy.pSender->GetManager() != this) return;
                SendNotify(copy, false);
            });
            return;
        }
    }
    std::weak_ptr<const int> self = life_;
    const std::vector<INotifyUI*> snapshot = notifiers_;
    for (INotifyUI* notifier : snapshot) {
        if (self.expired()) return;  // a notifier destroyed the window
        if (std::find(notifiers_.begin(), notifiers_.end(), notifier) == notifiers_.end()) continue;
        notifier->Notify(msg);
    }
}

void CPaintManagerUI::SendNotify(CControlUI* control, std::string_view type, std::uintptr_t wParam,
                                 std::intptr_t lParam, bool async) {
    TNotifyUI msg;
    msg.sType = type;
    msg.pSender = control;
    msg.wParam = wParam;
    msg.lParam = lParam;
    SendNotify(msg, async);
}

// --- message filters

bool CPaintManagerUI::AddMessageFilter(IMessageFilterUI* filter) {
    if (!filter || std::find(filters_.begin(), filters_.end(), filter) != filters_.end()) return false;
    filters_.push_back(filter);
    return true;
}

bool CPaintManagerUI::RemoveMessageFilter(IMessageFilterUI* filter) {
    auto it = std::find(filters_.begin(), filters_.end(), filter);
    if (it == filters_.end()) return false;
    filters_.erase(it);
    return true;
}

bool CPaintManagerUI::MessageHandler(const WindowMessage& msg, LRESULT& result) {
    std::weak_ptr<const int> self = life_;
    const std::vector<IMessageFilterUI*> snapshot = filters_;
    for (IMessageFilterUI* filter : snapshot) {
        if (self.expired()) return true;
        if (std::find(filters_.begin(), filters_.end(), filter) == filters_.end()) continue;
        bool handled = false;
        const LRESULT r = filter->MessageHandler(msg, handled);
        if (handled) {
            result = r;
            return true;
        }
    }
    return false;
}

// --- timers

bool CPaintManagerUI::SetTimer(CControlUI* control, unsigned id, unsigned elapse_ms) {
    if (!control) return false;
    MessageLoop* loop = GetMessageLoop();
    if (!loop) {
        LOG_ERROR(kTag, "timer %u of \"%s\" not set: no message loop", id, control->GetName().c_str());
        return false;
    }
    MessageLoop::TimerId loop_id = 0;
    for (const auto& entry : timers_) {
        if (entry.control == control && entry.id == id) loop_id = entry.loop_id;
    }
    if (loop_id == 0) {
        loop_id = loop->NewTimerId();
        timers_.push_back(TimerEntry{control, id, loop_id});
    }
    std::weak_ptr<const int> self = life_;
    std::weak_ptr<const int> alive = control->LifeToken();
    loop->SetTimer(loop_id, std::chrono::milliseconds(elapse_ms), MessageLoop::TimerMode::Repeating,
                   [self, alive, control, id] {
                       if (self.expired() || alive.expired()) return;
                       TEventUI event;
                       event.Type = UiEventType::Timer;
                       event.pSender = control;
                       event.wParam = id;
                       control->DoEvent(event);
                   });
    return true;
}

bool CPaintManagerUI::KillTimer(CControlUI* control, unsigned id) {
    for (auto it = timers_.begin(); it != timers_.end(); ++it) {
        if (it->control == control && it->id == id) {
            if (MessageLoop* loop = GetMessageLoop()) loop->KillTimer(it->loop_id);
            timers_.erase(it);
            return true;
        }
    }
    return false;
}

void CPaintManagerUI::KillTimer(CControlUI* control) {
    MessageLoop* loop = GetMessageLoop();
    for (auto it = timers_.begin(); it != timers_.end();) {
        if (it->control == control) {
            if (loop) loop->KillTimer(it->loop_id);
            it = timers_.erase(it);
        } else {
            ++it;
        }
    }
}

void CPaintManagerUI::RemoveAllTimers() {
    if (MessageLoop* loop = GetMessageLoop()) {
        for (const auto& entry : timers_) loop->KillTimer(entry.loop_id);
    }
    timers_.clear();
}

bool CPaintManagerUI::HasTimer(const CControlUI* control, unsigned id) const {
    return std::any_of(timers_.begin(), timers_.end(),
                       [&](const TimerEntry& e) { return e.control == control && e.id == id; });
}

// --- focus

void CPaintManagerUI::SetFocus(CControlUI* control) {
    if (control == focus_) return;
    if (control && control->GetManager() != this) return;
    CControlUI* old = focus_;
    focus_ = control;
    std::weak_ptr<const int> self = life_;
    if (old) {
        TEventUI event;
        event.Type = UiEventType::KillFocus;
        event.pSender = old;
        old->DoEvent(event);
        SendNotify(old, "killfocus");
        if (self.expired()) return;
    }
    if (control && focus_ == control) {
        TEventUI event;
        event.Type = UiEventType::SetFocus;
        event.pSender = control;
        control->DoEvent(event);
        SendNotify(control, "setfocus");
    }
}

// --- option groups

bool CPaintManagerUI::AddOptionGroup(std::string_view group, CControlUI* control) {
    if (group.empty() || !control) return false;
    auto& members = option_groups_[std::string(group)];
    if (std::find(members.begin(), members.end(), control) != members.end()) return false;
    members.push_back(control);
    return true;
}

const std::vector<CControlUI*>* CPaintManagerUI::GetOptionGroup(std::string_view group) const {
    auto it = option_groups_.find(group);
    return it == option_groups_.end() ? nullptr : &it->second;
}

void CPaintManagerUI::RemoveOptionGroup(std::string_view group, CControlUI* control) {
    auto it = option_groups_.find(group);
    if (it == option_groups_.end()) return;
    auto& members = it->second;
    members.erase(std::remove(members.begin(), members.end(), control), members.end());
    if (members.empty()) option_groups_.erase(it);
}

void CPaintManagerUI::RemoveAllOptionGroups() { option_groups_.clear(); }

// --- DPI

void CPaintManagerUI::SetDPI(int dpi) {
    dpi = std::clamp(dpi, 48, 960);
    if (dpi == dpi_) return;
    const int old = dpi_;
    dpi_ = dpi;
    // As in DuiLib the window keeps its logical size: its pixel size follows the DPI.
    if (window_ && window_->IsWindow() && !window_->IsZoomed()) {
        const UiRect r = window_->GetWindowRect();
        window_->MoveWindow(UiRect{r.left, r.top, r.left + r.Width() * dpi / old, r.top + r.Height() * dpi / old});
    }
    if (IUiRenderer* renderer = GetRenderer()) renderer->ManagerChanged(*this);
}

void CPaintManagerUI::ResetDPIAssets() {
    if (IUiRenderer* renderer = GetRenderer()) renderer->ManagerChanged(*this);
}

// --- fonts

void CPaintManagerUI::AddFont(int id, std::string face, int size, bool bold, bool underline, bool italic,
                              bool shared) {
    UiFontInfo font{id, std::move(face), size, bold, underline, italic, shared};
    if (shared) {
        Shared().fonts[id] = font;
    } else {
        fonts_[id] = font;
    }
    if (IUiRenderer* renderer = GetRenderer()) renderer->ManagerChanged(*this);
}

void CPaintManagerUI::SetDefaultFont(std::string face, int size, bool bold, bool underline, bool italic,
                                     bool shared) {
    UiFontInfo font{-1, std::move(face), size, bold, underline, italic, shared};
    if (shared) {
        Shared().default_font = font;
    } else {
        default_font_ = font;
    }
    if (IUiRenderer* renderer = GetRenderer()) renderer->ManagerChanged(*this);
}

const UiFontInfo* CPaintManagerUI::GetFont(int id) const {
    if (id == -1) return GetDefaultFontInfo();
    if (auto it = fonts_.find(id); it != fonts_.end()) return &it->second;
    const auto& shared = Shared().fonts;
    if (auto it = shared.find(id); it != shared.end()) return &it->second;
    return nullptr;
}

const UiFontInfo* CPaintManagerUI::GetDefaultFontInfo() const {
    if (default_font_) return &*default_font_;
    if (Shared().default_font) return &*Shared().default_font;
    return nullptr;
}

void CPaintManagerUI::RemoveAllFonts(bool shared) {
    if (shared) {
        Shared().fonts.clear();
        Shared().default_font.reset();
    } else {
        fonts_.clear();
        default_font_.reset();
    }
    if (IUiRenderer* renderer = GetRenderer()) renderer->ManagerChanged(*this);
}

std::vector<UiFontInfo> CPaintManagerUI::GetFonts() const {
    std::map<int, UiFontInfo> merged = Shared().fonts;
    for (const auto& [id, font] : fonts_) merged[id] = font;
    std::vector<UiFontInfo> out;
    for (const auto& [id, font] : merged) out.push_back(font);
    return out;
}

// --- styles and defaults

void CPaintManagerUI::AddStyle(std::string_view name, std::string_view attributes, bool shared) {
    auto& table = shared ? Shared().styles : styles_;
    table[std::string(name)] = std::string(attributes);
}

const std::string* CPaintManagerUI::GetStyle(std::string_view name) const {
    if (auto it = styles_.find(name); it != styles_.end()) return &it->second;
    const auto& shared = Shared().styles;
    if (auto it = shared.find(name); it != shared.end()) return &it->second;
    return nullptr;
}

void CPaintManagerUI::AddDefaultAttributeList(std::string_view class_name, std::string_view attributes, bool shared) {
    auto& table = shared ? Shared().defaults : defaults_;
    table[std::string(class_name)] = std::string(attributes);
}

const std::string* CPaintManagerUI::GetDefaultAttributeList(std::string_view class_name) const {
    if (auto it = defaults_.find(class_name); it != defaults_.end()) return &it->second;
    const auto& shared = Shared().defaults;
    if (auto it = shared.find(class_name); it != shared.end()) return &it->second;
    return nullptr;
}

void CPaintManagerUI::AddImage(std::string_view name, std::string_view attributes) {
    images_[std::string(name)] = std::string(attributes);
}

const std::string* CPaintManagerUI::GetImage(std::string_view name) const {
    auto it = images_.find(name);
    return it == images_.end() ? nullptr : &it->second;
}

void CPaintManagerUI::SetWindowAttribute(std::string_view name, std::string_view value) {
    window_attributes_[std::string(name)] = std::string(value);
}

std::optional<std::string> CPaintManagerUI::GetWindowAttribute(std::string_view name) const {
    auto it = window_attributes_.find(name);
    if (it == window_attributes_.end()) return std::nullopt;
    return it->second;
}

void CPaintManagerUI::SetInitSize(int width, int height) {
    init_width_ = std::max(0, width);
    init_height_ = std::max(0, height);
}

// --- bookkeeping

void CPaintManagerUI::InitControl(CControlUI* /*control*/) { names_dirty_ = true; }

void CPaintManagerUI::ReapObjects(CControlUI* control) {
    if (!control) return;
    KillTimer(control);
    for (auto it = option_groups_.begin(); it != option_groups_.end();) {
        auto& members = it->second;
        members.erase(std::remove(members.begin(), members.end(), control), members.end());
        it = members.empty() ? option_groups_.erase(it) : std::next(it);
    }
    if (focus_ == control) focus_ = nullptr;
    names_dirty_ = true;
}

void CPaintManagerUI::ReapTree(CControlUI* root) {
    if (!root) return;
    WalkPreOrder(root, [this](CControlUI* c) { ReapObjects(c); });
}

void CPaintManagerUI::AddDelayedCleanup(std::unique_ptr<CControlUI> control) {
    if (!control) return;
    delayed_cleanup_.push_back(std::move(control));
    MessageLoop* loop = GetMessageLoop();
    if (!loop || cleanup_posted_) return;
    cleanup_posted_ = true;
    std::weak_ptr<const int> self = life_;
    loop->Post([this, self] {
        if (!self.expired()) FlushDelayedCleanup();
    });
}

void CPaintManagerUI::FlushDelayedCleanup() {
    cleanup_posted_ = false;
    std::vector<std::unique_ptr<CControlUI>> doomed;
    doomed.swap(delayed_cleanup_);
    doomed.clear();
}

void CPaintManagerUI::Invalidate(CControlUI* control) {
    if (IUiRenderer* renderer = GetRenderer()) renderer->ControlChanged(*control);
}

void CPaintManagerUI::TreeChanged(CControlUI* container) {
    names_dirty_ = true;
    if (IUiRenderer* renderer = GetRenderer()) renderer->TreeChanged(*this, container);
}

}  // namespace lumora
