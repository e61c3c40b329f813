#include "ui/tab_layout_ui.h"

namespace lumora {

std::string_view CTabLayoutUI::GetClass() const { return "TabLayoutUI"; }

bool CTabLayoutUI::IsA(std::string_view kind) const {
    return UiText::EqualsNoCase(kind, "TabLayout") || CContainerUI::IsA(kind);
}

void CTabLayoutUI::OnItemAdded(int index, CControlUI* control) {
    if (pending_sel_ >= 0) {
        // "selectedid" named a page the skin had not built yet.
        if (index == pending_sel_) {
            pending_sel_ = -1;
            cur_sel_ = index;
            for (int i = 0; i < GetCount(); ++i) GetItemAt(i)->SetVisible(i == index);
            return;
        }
        control->SetVisible(false);
        return;
    }
    if (cur_sel_ < 0) {
        if (control->GetVisibleFlag()) cur_sel_ = index;
        return;
    }
    if (index <= cur_sel_) ++cur_sel_;
    control->SetVisible(false);
}

void CTabLayoutUI::OnItemRemoved(int index, CControlUI* /*control*/) {
    if (cur_sel_ < 0) return;
    if (index < cur_sel_) {
        --cur_sel_;
    } else if (index == cur_sel_) {
        // The shown page went away: show the one now at that place, or the last.
        cur_sel_ = -1;
        const int count = GetCount();
        if (count > 0) {
            const int next = index < count ? index : count - 1;
            cur_sel_ = next;
            GetItemAt(next)->SetVisible(true);
        }
    }
}

void CTabLayoutUI::OnItemsCleared() {
    cur_sel_ = -1;
    pending_sel_ = -1;
}

bool CTabLayoutUI::SelectItem(int index, bool trigger_event) {
    if (index == cur_sel_) return true;
    if (index < 0 || index >= GetCount()) return false;
    const int old = cur_sel_;
    cur_sel_ = index;
    for (int i = 0; i < GetCount(); ++i) GetItemAt(i)->SetVisible(i == index);
    if (trigger_event) Notify("tabselect", static_cast<std::uintptr_t>(index), old);
    return true;
}

bool CTabLayoutUI::SelectItem(CControlUI* control, bool trigger_event) {
    const int index = GetItemIndex(control);
    return index >= 0 && SelectItem(index, trigger_event);
}

void CTabLayoutUI::SetAttribute(std::string_view name, std::string_view value) {
    if (UiText::EqualsNoCase(name, "selectedid")) {
        const auto n = UiText::ParseInt(value).value_or(0);
        if (n >= 0 && n < GetCount()) {
            SelectItem(static_cast<int>(n), false);
        } else if (n >= GetCount() && n < 100000) {
            // Children come later in the skin: remember the wanted page.
            pending_sel_ = static_cast<int>(n);
        }
    } else {
        CContainerUI::SetAttribute(name, value);
    }
}

std::optional<std::string> CTabLayoutUI::GetProperty(std::string_view name) const {
    if (UiText::EqualsNoCase(name, "cursel") || UiText::EqualsNoCase(name, "selectedid")) {
        return std::to_string(cur_sel_);
    }
    return CContainerUI::GetProperty(name);
}

bool CTabLayoutUI::SetProperty(std::string_view name, std::string_view value, std::string* error) {
    if (UiText::EqualsNoCase(name, "cursel") || UiText::EqualsNoCase(name, "selectedid")) {
        const auto n = IntValue(value, error);
        if (!n) return false;
        if (*n < 0 || *n >= GetCount() || !SelectItem(static_cast<int>(*n), false)) {
            return Fail(error, "no item " + std::string(value));
        }
        return true;
    }
    return CContainerUI::SetProperty(name, value, error);
}

std::vector<std::string> CTabLayoutUI::PropertyNames() const {
    auto names = CContainerUI::PropertyNames();
    names.push_back("cursel");
    return names;
}

}  // namespace lumora
