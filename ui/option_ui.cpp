#include "ui/option_ui.h"

#include "ui/paint_manager_ui.h"
#include "ui/tab_layout_ui.h"

namespace lumora {

std::string_view COptionUI::GetClass() const { return "OptionUI"; }

bool COptionUI::IsA(std::string_view kind) const { return UiText::EqualsNoCase(kind, "Option") || CButtonUI::IsA(kind); }

void COptionUI::SetGroup(std::string_view group) {
    if (group_ == group) return;
    if (GetManager() && !group_.empty()) GetManager()->RemoveOptionGroup(group_, this);
    group_ = group;
    if (GetManager() && !group_.empty()) GetManager()->AddOptionGroup(group_, this);
}

void COptionUI::SetManager(CPaintManagerUI* manager, CControlUI* parent, bool init) {
    CButtonUI::SetManager(manager, parent, init);
    if (init && manager && !group_.empty()) manager->AddOptionGroup(group_, this);
}

void COptionUI::Selected(bool selected, bool trigger_event) {
    if (selected_ == selected) return;
    selected_ = selected;
    Invalidate();
    CPaintManagerUI* manager = GetManager();
    if (manager && !group_.empty()) {
        if (selected_) {
            if (const auto* members = manager->GetOptionGroup(group_)) {
                const std::vector<CControlUI*> others = *members;
                for (CControlUI* other : others) {
                    if (other == this) continue;
                    if (auto* option = dynamic_cast<COptionUI*>(other)) option->Selected(false, trigger_event);
                }
            }
            if (trigger_event) Notify("selectchanged");
        }
    } else if (manager && trigger_event) {
        Notify("selectchanged");
    }
    if (selected_) SelectBoundTab();
}

void COptionUI::SelectBoundTab() {
    if (bound_tab_.empty() || bound_index_ < 0 || !GetManager()) return;
    if (auto* tab = dynamic_cast<CTabLayoutUI*>(GetManager()->FindControl(bound_tab_))) tab->SelectItem(bound_index_);
}

bool COptionUI::Activate() {
    if (!CButtonUI::Activate()) return false;
    if (!group_.empty()) {
        Selected(true);
    } else {
        Selected(!selected_);
    }
    return true;
}

void COptionUI::SetAttribute(std::string_view name, std::string_view value) {
    if (UiText::EqualsNoCase(name, "group")) {
        SetGroup(value);
    } else if (UiText::EqualsNoCase(name, "selected")) {
        Selected(UiText::ParseBool(value).value_or(false), false);
    } else if (UiText::EqualsNoCase(name, "bindtablayoutname")) {
        bound_tab_ = value;
    } else if (UiText::EqualsNoCase(name, "bindtabindex")) {
        bound_index_ = static_cast<int>(UiText::ParseInt(value).value_or(-1));
    } else {
        CButtonUI::SetAttribute(name, value);
    }
}

std::optional<std::string> COptionUI::GetProperty(std::string_view name) const {
    if (UiText::EqualsNoCase(name, "selected")) return UiText::FormatBool(selected_);
    if (UiText::EqualsNoCase(name, "group")) return group_;
    if (UiText::EqualsNoCase(name, "bindtablayoutname")) return bound_tab_;
    if (UiText::EqualsNoCase(name, "bindtabindex")) return std::to_string(bound_index_);
    return CButtonUI::GetProperty(name);
}

bool COptionUI::SetProperty(std::string_view name, std::string_view value, std::string* error) {
    if (UiText::EqualsNoCase(name, "selected")) {
        const auto b = BoolValue(value, error);
        if (!b) return false;
        Selected(*b, false);
        return true;
    }
    if (UiText::EqualsNoCase(name, "bindtabindex")) {
        if (!IntValue(value, error)) return false;
        SetAttribute(name, value);
        return true;
    }
    if (UiText::EqualsNoCase(name, "group") || UiText::EqualsNoCase(name, "bindtablayoutname")) {
        SetAttribute(name, value);
        return true;
    }
    return CButtonUI::SetProperty(name, value, error);
}

std::vector<std::string> COptionUI::PropertyNames() const {
    auto names = CButtonUI::PropertyNames();
    names.insert(names.end(), {"selected", "group", "bindtablayoutname", "bindtabindex"});
    return names;
}

bool COptionUI::PerformUserAction(std::string_view type, std::string_view value, std::string* error) {
    if (UiText::EqualsNoCase(type, "selectchanged")) {
        if (!CheckReachable(error, true)) return false;
        if (!value.empty()) {
            const auto wanted = BoolValue(value, error);
            if (!wanted) return false;
            if (*wanted == selected_) return true;  // already so: the user changes nothing
            if (!*wanted && !group_.empty()) return Fail(error, "an option of a group is cleared by selecting another");
        }
        Activate();
        return true;
    }
    return CButtonUI::PerformUserAction(type, value, error);
}

}  // namespace lumora
