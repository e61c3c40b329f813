#pragma once
// The base of every control in the tree: identity, text (literal or a language
// identifier), state flags, geometry attributes, images and colours, user data,
// timers, and the generic attribute/property interface that skins and automation
// use. The model is headless: a renderer, if any, is told about changes.

#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "ui/event_ui.h"
#include "ui/ui_rect.h"
#include "ui/ui_text.h"

namespace lumora {

class CContainerUI;
class CPaintManagerUI;

class CControlUI {
public:
    CControlUI();
    virtual ~CControlUI();
    CControlUI(const CControlUI&) = delete;
    CControlUI& operator=(const CControlUI&) = delete;

    // Class name as reported to the program ("ButtonUI", "DeviceKeyButton", ...).
    virtual std::string_view GetClass() const;
    // Kind test by interface name ("Control", "Button", "Option", "Container", "ListItem", ...).
    virtual bool IsA(std::string_view kind) const;
    virtual CContainerUI* AsContainer() { return nullptr; }
    const CContainerUI* AsContainer() const { return const_cast<CControlUI*>(this)->AsContainer(); }

    // --- identity
    const std::string& GetName() const { return name_; }
    void SetName(std::string_view name);

    // --- text. In resource-text mode the text is a language identifier and GetText
    // gives the current language's text, re-resolved whenever it is read.
    virtual std::string GetText() const;
    virtual void SetText(std::string_view text);
    const std::string& GetTextSource() const { return text_; }
    bool IsResourceText() const { return resource_text_; }
    void SetResourceText(bool on);
    std::string GetToolTip() const;
    void SetToolTip(std::string_view tip);

    // --- state
    // Visible only when it and every ancestor are visible.
    virtual bool IsVisible() const;
    bool GetVisibleFlag() const { return visible_; }
    virtual void SetVisible(bool visible);
    virtual bool IsEnabled() const { return enabled_; }
    virtual void SetEnabled(bool enabled);
    // Enabled and every ancestor enabled: what the user can operate.
    bool IsEnabledInTree() const;
    bool IsMouseEnabled() const { return mouse_enabled_; }
    void SetMouseEnabled(bool on);
    bool IsKeyboardEnabled() const { return keyboard_enabled_; }
    void SetKeyboardEnabled(bool on);
    bool IsFocused() const;
    void SetFocus();

    // --- data
    const std::string& GetUserData() const { return user_data_; }
    void SetUserData(std::string_view data);
    std::uintptr_t GetTag() const { return tag_; }
    void SetTag(std::uintptr_t tag) { tag_ = tag; }

    // --- look
    std::uint32_t GetBkColor() const { return bk_color_; }
    void SetBkColor(std::uint32_t argb);
    const std::string& GetBkImage() const { return bk_image_; }
    void SetBkImage(std::string_view image);
    const std::string& GetForeImage() const { return fore_image_; }
    void SetForeImage(std::string_view image);
    const std::string& GetStyleName() const { return style_; }
    // Applies the named style (an attribute list) of the control's paint manager, or
    // of style_source while the control has none yet; otherwise it is applied when
    // the control joins a window.
    void SetStyle(std::string_view style_name, const CPaintManagerUI* style_source = nullptr);

    // --- geometry (recorded; the renderer lays out)
    UiRect GetPadding() const { return padding_; }
    void SetPadding(const UiRect& padding);
    int GetFixedWidth() const { return fixed_width_; }
    void SetFixedWidth(int width);
    int GetFixedHeight() const { return fixed_height_; }
    void SetFixedHeight(int height);
    bool IsFloat() const { return float_; }
    void SetFloat(bool on);
    UiRect GetPos() const { return pos_; }
    void SetPos(const UiRect& pos);
    std::string GetVirtualWnd() const;
    void SetVirtualWnd(std::string_view name) { virtual_wnd_ = name; }

    // --- tree
    CControlUI* GetParent() const { return parent_; }
    CPaintManagerUI* GetManager() const { return manager_; }
    // Called by containers and the paint manager when the control enters or leaves a tree.
    virtual void SetManager(CPaintManagerUI* manager, CControlUI* parent, bool init);
    // For async notifications and timers: expires when the control is destroyed.
    std::weak_ptr<const int> LifeToken() const { return life_; }

    // --- attributes as in skins. Unknown names are kept (a renderer may use them).
    virtual void SetAttribute(std::string_view name, std::string_view value);
    void ApplyAttributeList(std::string_view list);
    virtual std::optional<std::string> GetAttribute(std::string_view name) const;

    // --- automation: properties by name as text
    virtual std::optional<std::string> GetProperty(std::string_view name) const;
    // false (with a reason) for unknown names, bad values or read-only properties.
    virtual bool SetProperty(std::string_view name, std::string_view value, std::string* error);
    virtual std::vector<std::string> PropertyNames() const;
    // Delivers what a user would do: "click", "setfocus", "killfocus", "selectchanged",
    // "textchanged", "valuechanged", "itemselect", ... The control must be reachable
    // (visible, enabled); what each type means depends on the control.
    virtual bool PerformUserAction(std::string_view type, std::string_view value, std::string* error);

    // --- events
    virtual void DoEvent(TEventUI& event);
    // The user activated the control; false when it cannot be activated.
    virtual bool Activate();

    // --- timers (DuiLib's SetTimer: repeating until killed, delivered as "timer")
    bool SetTimer(unsigned id, unsigned elapse_ms);
    bool KillTimer(unsigned id);
    void KillAllTimers();

    // Tells the renderer that the control's look changed.
    void Invalidate();

protected:
    void Notify(std::string_view type, std::uintptr_t wParam = 0, std::intptr_t lParam = 0);
    // Reachable by the user for mouse actions: visible, enabled, mouse reaches it.
    bool CheckReachable(std::string* error, bool needs_mouse) const;
    static bool Fail(std::string* error, std::string text);
    static std::optional<bool> BoolValue(std::string_view value, std::string* error);
    static std::optional<long long> IntValue(std::string_view value, std::string* error);
    const std::map<std::string, std::string, UiText::LessNoCase>& ExtraAttributes() const { return extra_; }

private:
    std::shared_ptr<const int> life_;
    CPaintManagerUI* manager_ = nullptr;
    CControlUI* parent_ = nullptr;

    std::string name_;
    std::string text_;
    std::string tooltip_;
    bool resource_text_ = false;
    bool visible_ = true;
    bool enabled_ = true;
    bool mouse_enabled_ = true;
    bool keyboard_enabled_ = true;
    std::string user_data_;
    std::uintptr_t tag_ = 0;
    std::uint32_t bk_color_ = 0;
    std::string bk_image_;
    std::string fore_image_;
    std::string style_;
    bool style_pending_ = false;
    UiRect padding_;
    UiRect pos_;
    int fixed_width_ = 0;
    int fixed_height_ = 0;
    bool float_ = false;
    std::string virtual_wnd_;
    std::map<std::string, std::string, UiText::LessNoCase> extra_;
};

}  // namespace lumora
