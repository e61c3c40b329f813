#include "ui/control_ui.h"

#include <algorithm>

#include "ui/container_ui.h"
#include "ui/paint_manager_ui.h"
#include "ui/resource_manager.h"
#include "ui/window_wnd.h"

namespace lumora {

namespace {
const std::vector<std::string>& BaseProperties() {
    static const std::vector<std::string> names = {
        "name",      "class",   "text",     "textid", "resourcetext", "tooltip", "visible", "shown",
        "enabled",   "mouse",   "keyboard", "focused", "userdata",    "tag",     "bkcolor", "bkimage",
        "foreimage", "style",   "width",    "height",  "float",       "pos",     "padding", "virtualwnd"};
    return names;
}
}  // namespace

CControlUI::CControlUI() : life_(std::make_shared<const int>(0)) {}

CControlUI::~CControlUI() {
    if (manager_) manager_->ReapObjects(this);
}

std::string_view CControlUI::GetClass() const { return "ControlUI"; }

bool CControlUI::IsA(std::string_view kind) const { return UiText::EqualsNoCase(kind, "Control"); }

void CControlUI::SetName(std::string_view name) {
    if (name_ == name) return;
    name_ = name;
    if (manager_) manager_->NamesChanged();
}

std::string CControlUI::GetText() const {
    if (resource_text_) return CResourceManager::GetInstance().Text(text_);
    return text_;
}

void CControlUI::SetText(std::string_view text) {
    if (text_ == text) return;
    text_ = text;
    Invalidate();
}

void CControlUI::SetResourceText(bool on) {
    if (resource_text_ == on) return;
    resource_text_ = on;
    Invalidate();
}

std::string CControlUI::GetToolTip() const {
    if (resource_text_) return CResourceManager::GetInstance().Text(tooltip_);
    return tooltip_;
}

void CControlUI::SetToolTip(std::string_view tip) {
    tooltip_ = tip;
    Invalidate();
}

bool CControlUI::IsVisible() const {
    for (const CControlUI* c = this; c; c = c->parent_) {
        if (!c->visible_) return false;
    }
    return true;
}

void CControlUI::SetVisible(bool visible) {
    if (visible_ == visible) return;
    visible_ = visible;
    if (!visible && manager_) {
        // A hidden control cannot keep the focus (nor can one inside a hidden container).
        CControlUI* focus = manager_->GetFocus();
        for (CControlUI* c = focus; c; c = c->parent_) {
            if (c == this) {
                manager_->SetFocus(nullptr);
                break;
            }
        }
    }
    Invalidate();
}

void CControlUI::SetEnabled(bool enabled) {
    if (enabled_ == enabled) return;
    enabled_ = enabled;
    Invalidate();
}

bool CControlUI::IsEnabledInTree() const {
    for (const CControlUI* c = this; c; c = c->parent_) {
        if (!c->enabled_) return false;
    }
    return true;
}

void CControlUI::SetMouseEnabled(bool on) {
    mouse_enabled_ = on;
    Invalidate();
}

void CControlUI::SetKeyboardEnabled(bool on) {
    keyboard_enabled_ = on;
    Invalidate();
}

bool CControlUI::IsFocused() const { return manager_ && manager_->GetFocus() == this; }

void CControlUI::SetFocus() {
    if (manager_) manager_->SetFocus(this);
}

void CControlUI::SetUserData(std::string_view data) { user_data_ = data; }

void CControlUI::SetBkColor(std::uint32_t argb) {
    if (bk_color_ == argb) return;
    bk_color_ = argb;
    Invalidate();
}

void CControlUI::SetBkImage(std::string_view image) {
    if (bk_image_ == image) return;
    bk_image_ = image;
    Invalidate();
}

void CControlUI::SetForeImage(std::string_view image) {
    if (fore_image_ == image) return;
    fore_image_ = image;
    Invalidate();
}

void CControlUI::SetStyle(std::string_view style_name, const CPaintManagerUI* style_source) {
    style_ = style_name;
    const CPaintManagerUI* source = manager_ ? manager_ : style_source;
    style_pending_ = source == nullptr;
    if (!source) return;
    if (const std::string* list = source->GetStyle(style_name)) {
        const std::string copy = *list;  // applying may add styles
        ApplyAttributeList(copy);
    }
}

void CControlUI::SetPadding(const UiRect& padding) {
    padding_ = padding;
    Invalidate();
}

void CControlUI::SetFixedWidth(int width) {
    fixed_width_ = std::max(0, width);
    Invalidate();
}

void CControlUI::SetFixedHeight(int height) {
    fixed_height_ = std::max(0, height);
    Invalidate();
}

void CControlUI::SetFloat(bool on) {
    float_ = on;
    Invalidate();
}

void CControlUI::SetPos(const UiRect& pos) {
    pos_ = pos;
    Invalidate();
}

std::string CControlUI::GetVirtualWnd() const {
    for (const CControlUI* c = this; c; c = c->parent_) {
        if (!c->virtual_wnd_.empty()) return c->virtual_wnd_;
    }
    return {};
}

void CControlUI::SetManager(CPaintManagerUI* manager, CControlUI* parent, bool init) {
    manager_ = manager;
    parent_ = parent;
    if (init && manager) manager->InitControl(this);
    // A style named before the control reached a manager is applied now.
    if (init && manager && style_pending_) SetStyle(std::string(style_));
}

void CControlUI::SetAttribute(std::string_view name, std::string_view value) {
    auto is = [&](std::string_view n) { return UiText::EqualsNoCase(name, n); };
    if (is("name")) {
        SetName(value);
    } else if (is("text")) {
        SetText(value);
    } else if (is("tooltip")) {
        SetToolTip(value);
    } else if (is("resourcetext")) {
        SetResourceText(UiText::ParseBool(value).value_or(false));
    } else if (is("visible")) {
        SetVisible(UiText::ParseBool(value).value_or(true));
    } else if (is("enabled")) {
        SetEnabled(UiText::ParseBool(value).value_or(true));
    } else if (is("mouse")) {
        SetMouseEnabled(UiText::ParseBool(value).value_or(true));
    } else if (is("keyboard")) {
        SetKeyboardEnabled(UiText::ParseBool(value).value_or(true));
    } else if (is("userdata")) {
        SetUserData(value);
    } else if (is("tag")) {
        SetTag(static_cast<std::uintptr_t>(UiText::ParseInt(value).value_or(0)));
    } else if (is("bkcolor")) {
        SetBkColor(UiText::ParseColour(value).value_or(0));
    } else if (is("bkimage")) {
        SetBkImage(value);
    } else if (is("foreimage")) {
        SetForeImage(value);
    } else if (is("style")) {
        SetStyle(value);
    } else if (is("padding")) {
        SetPadding(UiText::ParseRect(value).value_or(UiRect{}));
    } else if (is("width")) {
        SetFixedWidth(static_cast<int>(std::clamp<long long>(UiText::ParseInt(value).value_or(0), 0, 1000000)));
    } else if (is("height")) {
        SetFixedHeight(static_cast<int>(std::clamp<long long>(UiText::ParseInt(value).value_or(0), 0, 1000000)));
    } else if (is("float")) {
        // "true" or a relative float description: any value but false means floating.
        SetFloat(UiText::ParseBool(value).value_or(true));
    } else if (is("pos")) {
        const auto rect = UiText::ParseRect(value).value_or(UiRect{});
        SetPos(rect);
        if (fixed_width_ == 0) fixed_width_ = std::max(0, rect.Width());
        if (fixed_height_ == 0) fixed_height_ = std::max(0, rect.Height());
    } else if (is("virtualwnd")) {
        SetVirtualWnd(value);
    } else {
        extra_[std::string(name)] = std::string(value);
        Invalidate();
    }
}

void CControlUI::ApplyAttributeList(std::string_view list) {
    for (const auto& [name, value] : UiText::ParseAttributeList(list)) SetAttribute(name, value);
}

std::optional<std::string> CControlUI::GetAttribute(std::string_view name) const {
    auto it = extra_.find(name);
    if (it != extra_.end()) return it->second;
    return std::nullopt;
}

std::optional<std::string> CControlUI::GetProperty(std::string_view name) const {
    auto is = [&](std::string_view n) { return UiText::EqualsNoCase(name, n); };
    if (is("name")) return name_;
    if (is("class")) return std::string(GetClass());
    if (is("text")) return GetText();
    if (is("textid")) return text_;
    if (is("resourcetext")) return UiText::FormatBool(resource_text_);
    if (is("tooltip")) return GetToolTip();
    if (is("visible")) return UiText::FormatBool(visible_);
    if (is("shown")) return UiText::FormatBool(IsVisible());
    if (is("enabled")) return UiText::FormatBool(enabled_);
    if (is("mouse")) return UiText::FormatBool(mouse_enabled_);
    if (is("keyboard")) return UiText::FormatBool(keyboard_enabled_);
    if (is("focused")) return UiText::FormatBool(IsFocused());
    if (is("userdata")) return user_data_;
    if (is("tag")) return std::to_string(tag_);
    if (is("bkcolor")) return UiText::FormatColour(bk_color_);
    if (is("bkimage")) return bk_image_;
    if (is("foreimage")) return fore_image_;
    if (is("style")) return style_;
    if (is("width")) return std::to_string(fixed_width_);
    if (is("height")) return std::to_string(fixed_height_);
    if (is("float")) return UiText::FormatBool(float_);
    if (is("pos")) return UiText::FormatRect(pos_);
    if (is("padding")) return UiText::FormatRect(padding_);
    if (is("virtualwnd")) return GetVirtualWnd();
    return GetAttribute(name);
}

bool CControlUI::Fail(std::string* error, std::string text) {
    if (error) *error = std::move(text);
    return false;
}

std::optional<bool> CControlUI::BoolValue(std::string_view value, std::string* error) {
    auto b = UiText::ParseBool(value);
    if (!b) Fail(error, "not a boolean: " + std::string(value));
    return b;
}

std::optional<long long> CControlUI::IntValue(std::string_view value, std::string* error) {
    auto n = UiText::ParseInt(value);
    if (!n) Fail(error, "not a number: " + std::string(value));
    return n;
}

bool CControlUI::SetProperty(std::string_view name, std::string_view value, std::string* error) {
    auto is = [&](std::string_view n) { return UiText::EqualsNoCase(name, n); };
    if (is("class") || is("shown") || is("focused") || is("textid")) {
        return Fail(error, "property is read-only: " + std::string(name));
    }
    if (is("visible") || is("enabled") || is("mouse") || is("keyboard") || is("resourcetext") || is("float")) {
        if (!BoolValue(value, error)) return false;
    } else if (is("width") || is("height") || is("tag")) {
        if (!IntValue(value, error)) return false;
    } else if (is("bkcolor")) {
        if (!UiText::ParseColour(value)) return Fail(error, "not a colour: " + std::string(value));
    } else if (is("pos") || is("padding")) {
        if (!UiText::ParseRect(value)) return Fail(error, "not a rectangle: " + std::string(value));
    } else {
        const auto& names = BaseProperties();
        const bool known = std::any_of(names.begin(), names.end(),
                                        [&](const std::string& n) { return UiText::EqualsNoCase(n, name); });
        if (!known && extra_.find(name) == extra_.end()) {
            return Fail(error, "no property " + std::string(name) + " on " + std::string(GetClass()));
        }
    }
    SetAttribute(name, value);
    return true;
}

std::vector<std::string> CControlUI::PropertyNames() const {
    std::vector<std::string> names = BaseProperties();
    for (const auto& [k, v] : extra_) names.push_back(k);
    return names;
}

bool CControlUI::CheckReachable(std::string* error, bool needs_mouse) const {
    if (!manager_) return Fail(error, "control is not in a window");
    if (const CWindowWnd* window = manager_->GetPaintWindow(); window && !window->IsWindowEnabled()) {
        return Fail(error, "window is disabled (a modal window is open): " + name_);
    }
    if (!IsVisible()) return Fail(error, "control is not visible: " + name_);
    if (!IsEnabledInTree()) return Fail(error, "control is disabled: " + name_);
    if (needs_mouse) {
        if (!mouse_enabled_) return Fail(error, "control takes no mouse input: " + name_);
        for (const CControlUI* c = parent_; c; c = c->parent_) {
            const CContainerUI* container = c->AsContainer();
            if (container && !container->IsMouseChildEnabled()) {
                return Fail(error, "control takes no mouse input: " + name_);
            }
        }
    }
    return true;
}

bool CControlUI::PerformUserAction(std::string_view type, std::string_view value, std::string* error) {
    auto is = [&](std::string_view n) { return UiText::EqualsNoCase(type, n); };
    if (is("setfocus")) {
        if (!CheckReachable(error, false)) return false;
        SetFocus();
        return true;
    }
    if (is("killfocus")) {
        if (!CheckReachable(error, false)) return false;
        // The user enters the control and leaves it again.
        if (!IsFocused()) SetFocus();
        if (manager_ && IsFocused()) manager_->SetFocus(nullptr);
        return true;
    }
    if (is("click")) {
        if (!CheckReachable(error, true)) return false;
        if (!Activate()) return Fail(error, "control cannot be clicked: " + name_);
        return true;
    }
    // Notifications of custom kinds ("click_select_end", ...) go out as they are;
    // the value, when numeric, travels as wParam.
    if (!CheckReachable(error, true)) return false;
    Notify(type, static_cast<std::uintptr_t>(UiText::ParseInt(value).value_or(0)));
    return true;
}

void CControlUI::DoEvent(TEventUI& event) {
    if (event.Type == UiEventType::Timer) Notify("timer", event.wParam, event.lParam);
}

bool CControlUI::Activate() { return IsVisible() && IsEnabledInTree(); }

bool CControlUI::SetTimer(unsigned id, unsigned elapse_ms) {
    return manager_ && manager_->SetTimer(this, id, elapse_ms);
}

bool CControlUI::KillTimer(unsigned id) { return manager_ && manager_->KillTimer(this, id); }

void CControlUI::KillAllTimers() {
    if (manager_) manager_->KillTimer(this);
}

void CControlUI::Invalidate() {
    if (manager_) manager_->Invalidate(this);
}

void CControlUI::Notify(std::string_view type, std::uintptr_t wParam, std::intptr_t lParam) {
    if (manager_) manager_->SendNotify(this, type, wParam, lParam);
}

}  // namespace lumora
