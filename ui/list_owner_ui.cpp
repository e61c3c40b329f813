#include "ui/list_owner_ui.h"

#include "platform/logger.h"
#include "ui/list_item_ui.h"

namespace lumora {

bool CListOwnerUI::IsA(std::string_view kind) const {
    return UiText::EqualsNoCase(kind, "IListOwner") || CVerticalLayoutUI::IsA(kind);
}

IListItemUI* CListOwnerUI::GetListItem(int index) const { return dynamic_cast<IListItemUI*>(GetItemAt(index)); }

CControlUI* CListOwnerUI::AddAt(std::unique_ptr<CControlUI> control, int index) {
    if (!control) return nullptr;
    if (!dynamic_cast<IListItemUI*>(control.get())) {
        LOG_WARNING("ui", "%s \"%s\" takes only list rows; %s ignored", std::string(GetClass()).c_str(),
                    GetName().c_str(), std::string(control->GetClass()).c_str());
        return nullptr;
    }
    return CVerticalLayoutUI::AddAt(std::move(control), index);
}

void CListOwnerUI::Reindex(int from) {
    for (int i = std::max(0, from); i < GetCount(); ++i) {
        if (IListItemUI* item = GetListItem(i)) item->SetIndex(i);
    }
}

void CListOwnerUI::OnItemAdded(int index, CControlUI* control) {
    if (auto* item = dynamic_cast<IListItemUI*>(control)) {
        item->SetOwner(this);
        item->SetSelectedState(false);
    }
    Reindex(index);
    if (cur_sel_ >= index) ++cur_sel_;
}

void CListOwnerUI::OnItemRemoved(int index, CControlUI* control) {
    if (auto* item = dynamic_cast<IListItemUI*>(control)) {
        item->SetOwner(nullptr);
        item->SetSelectedState(false);
    }
    Reindex(index);
    if (index == cur_sel_) {
        cur_sel_ = -1;
        const int next = FindSelectable(index);
        if (next >= 0) SelectItem(next, false, true);
    } else if (index < cur_sel_) {
        --cur_sel_;
    }
}

void CListOwnerUI::OnItemsCleared() { cur_sel_ = -1; }

int CListOwnerUI::FindSelectable(int index) const {
    const int count = GetCount();
    if (count == 0) return -1;
    if (index >= count) index = count - 1;
    if (index < 0) index = 0;
    auto selectable = [&](int i) {
        const CControlUI* c = GetItemAt(i);
        return c && c->GetVisibleFlag() && c->IsEnabled();
    };
    for (int i = index; i < count; ++i) {
        if (selectable(i)) return i;
    }
    for (int i = index - 1; i >= 0; --i) {
        if (selectable(i)) return i;
    }
    return -1;
}

bool CListOwnerUI::SelectItem(int index, bool /*take_focus*/, bool trigger_event) {
    if (index == cur_sel_) return true;
    const int old = cur_sel_;
    if (old >= 0) {
        if (IListItemUI* item = GetListItem(old)) item->SetSelectedState(false);
        cur_sel_ = -1;
    }
    if (index < 0 || index >= GetCount()) {
        Invalidate();
        return false;
    }
    IListItemUI* item = GetListItem(index);
    if (!item) return false;
    cur_sel_ = index;
    item->SetSelectedState(true);
    OnSelectionShown(index);
    Invalidate();
    if (trigger_event) Notify("itemselect", static_cast<std::uintptr_t>(index), old);
    return true;
}

std::optional<std::string> CListOwnerUI::GetProperty(std::string_view name) const {
    if (UiText::EqualsNoCase(name, "cursel")) return std::to_string(cur_sel_);
    return CVerticalLayoutUI::GetProperty(name);
}

bool CListOwnerUI::SetProperty(std::string_view name, std::string_view value, std::string* error) {
    if (UiText::EqualsNoCase(name, "cursel")) {
        const auto n = IntValue(value, error);
        if (!n) return false;
        if (*n < -1 || *n >= GetCount()) return Fail(error, "no item " + std::string(value));
        SelectItem(static_cast<int>(*n), false, false);
        return true;
    }
    return CVerticalLayoutUI::SetProperty(name, value, error);
}

std::vector<std::string> CListOwnerUI::PropertyNames() const {
    auto names = CVerticalLayoutUI::PropertyNames();
    names.push_back("cursel");
    return names;
}

bool CListOwnerUI::PerformUserAction(std::string_view type, std::string_view value, std::string* error) {
    if (UiText::EqualsNoCase(type, "itemselect")) {
        if (!CheckReachable(error, true)) return false;
        const auto n = IntValue(value, error);
        if (!n) return false;
        const CControlUI* row = (*n >= 0 && *n < GetCount()) ? GetItemAt(static_cast<int>(*n)) : nullptr;
        if (!row) return Fail(error, "no item " + std::string(value) + " in " + GetName());
        if (!row->GetVisibleFlag() || !row->IsEnabled()) return Fail(error, "item cannot be selected: " + std::string(value));
        SelectItem(static_cast<int>(*n), true, true);
        return true;
    }
    return CVerticalLayoutUI::PerformUserAction(type, value, error);
}

}  // namespace lumora
