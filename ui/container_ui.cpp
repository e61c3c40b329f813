#include "ui/container_ui.h"

#include <algorithm>

#include "ui/paint_manager_ui.h"

namespace lumora {

CContainerUI::CContainerUI() = default;

CContainerUI::~CContainerUI() {
    // Children go first, while this container is still whole.
    while (!items_.empty()) items_.pop_back();
}

std::string_view CContainerUI::GetClass() const { return "ContainerUI"; }

bool CContainerUI::IsA(std::string_view kind) const {
    return UiText::EqualsNoCase(kind, "Container") || CControlUI::IsA(kind);
}

CControlUI* CContainerUI::GetItemAt(int index) const {
    if (index < 0 || index >= GetCount()) return nullptr;
    return items_[static_cast<std::size_t>(index)].get();
}

int CContainerUI::GetItemIndex(const CControlUI* control) const {
    for (std::size_t i = 0; i < items_.size(); ++i) {
        if (items_[i].get() == control) return static_cast<int>(i);
    }
    return -1;
}

bool CContainerUI::SetItemIndex(CControlUI* control, int index) {
    const int from = GetItemIndex(control);
    if (from < 0 || index < 0 || index >= GetCount()) return false;
    auto owned = std::move(items_[static_cast<std::size_t>(from)]);
    items_.erase(items_.begin() + from);
    items_.insert(items_.begin() + index, std::move(owned));
    if (GetManager()) {
        GetManager()->NamesChanged();
        GetManager()->TreeChanged(this);
    }
    return true;
}

CControlUI* CContainerUI::Add(std::unique_ptr<CControlUI> control) {
    return AddAt(std::move(control), GetCount());
}

CControlUI* CContainerUI::AddAt(std::unique_ptr<CControlUI> control, int index) {
    if (!control || control->GetParent()) return nullptr;
    if (index < 0 || index > GetCount()) return nullptr;
    CControlUI* raw = control.get();
    items_.insert(items_.begin() + index, std::move(control));
    raw->SetManager(GetManager(), this, true);
    OnItemAdded(index, raw);
    if (GetManager()) GetManager()->TreeChanged(this);
    return raw;
}

std::unique_ptr<CControlUI> CContainerUI::Detach(CControlUI* control) {
    const int index = GetItemIndex(control);
    if (index < 0) return nullptr;
    CPaintManagerUI* manager = GetManager();
    if (manager) manager->ReapTree(control);
    auto owned = std::move(items_[static_cast<std::size_t>(index)]);
    items_.erase(items_.begin() + index);
    owned->SetManager(nullptr, nullptr, false);
    OnItemRemoved(index, owned.get());
    if (manager) manager->TreeChanged(this);
    return owned;
}

void CContainerUI::DisposeRemoved(std::unique_ptr<CControlUI> control, CPaintManagerUI* manager) {
    if (!control) return;
    if (manager) {
        manager->AddDelayedCleanup(std::move(control));
    }
    // Without a window nothing can be running on the control: it goes now.
}

bool CContainerUI::Remove(CControlUI* control) {
    CPaintManagerUI* manager = GetManager();
    auto owned = Detach(control);
    if (!owned) return false;
    DisposeRemoved(std::move(owned), manager);
    return true;
}

bool CContainerUI::RemoveAt(int index) {
    CControlUI* control = GetItemAt(index);
    return control && Remove(control);
}

void CContainerUI::RemoveAll() {
    CPaintManagerUI* manager = GetManager();
    std::vector<std::unique_ptr<CControlUI>> removed;
    removed.swap(items_);
    for (auto& child : removed) {
        if (manager) manager->ReapTree(child.get());
        child->SetManager(nullptr, nullptr, false);
    }
    OnItemsCleared();
    if (manager) manager->TreeChanged(this);
    for (auto& child : removed) DisposeRemoved(std::move(child), manager);
}

CControlUI* CContainerUI::FindSubControl(std::string_view name) const {
    for (const auto& child : items_) {
        if (child->GetName() == name) return child.get();
        if (const CContainerUI* c = child->AsContainer()) {
            if (CControlUI* found = c->FindSubControl(name)) return found;
        }
    }
    return nullptr;
}

void CContainerUI::SetMouseChildEnabled(bool on) {
    mouse_child_enabled_ = on;
    Invalidate();
}

void CContainerUI::SetChildPadding(int padding) {
    child_padding_ = padding;
    Invalidate();
}

void CContainerUI::SetInset(const UiRect& inset) {
    inset_ = inset;
    Invalidate();
}

void CContainerUI::SetManager(CPaintManagerUI* manager, CControlUI* parent, bool init) {
    CControlUI::SetManager(manager, parent, init);
    for (auto& child : items_) child->SetManager(manager, this, init);
}

void CContainerUI::SetAttribute(std::string_view name, std::string_view value) {
    if (UiText::EqualsNoCase(name, "childpadding")) {
        SetChildPadding(static_cast<int>(UiText::ParseInt(value).value_or(0)));
    } else if (UiText::EqualsNoCase(name, "inset")) {
        SetInset(UiText::ParseRect(value).value_or(UiRect{}));
    } else if (UiText::EqualsNoCase(name, "mousechild")) {
        SetMouseChildEnabled(UiText::ParseBool(value).value_or(true));
    } else {
        CControlUI::SetAttribute(name, value);
    }
}

std::optional<std::string> CContainerUI::GetProperty(std::string_view name) const {
    if (UiText::EqualsNoCase(name, "count")) return std::to_string(GetCount());
    if (UiText::EqualsNoCase(name, "mousechild")) return UiText::FormatBool(mouse_child_enabled_);
    if (UiText::EqualsNoCase(name, "childpadding")) return std::to_string(child_padding_);
    if (UiText::EqualsNoCase(name, "inset")) return UiText::FormatRect(inset_);
    return CControlUI::GetProperty(name);
}

bool CContainerUI::SetProperty(std::string_view name, std::string_view value, std::string* error) {
    if (UiText::EqualsNoCase(name, "count")) return Fail(error, "property is read-only: count");
    if (UiText::EqualsNoCase(name, "mousechild")) {
        if (!BoolValue(value, error)) return false;
        SetAttribute(name, value);
        return true;
    }
    if (UiText::EqualsNoCase(name, "childpadding")) {
        if (!IntValue(value, error)) return false;
        SetAttribute(name, value);
        return true;
    }
    if (UiText::EqualsNoCase(name, "inset")) {
        if (!UiText::ParseRect(value)) return Fail(error, "not a rectangle: " + std::string(value));
        SetAttribute(name, value);
        return true;
    }
    return CControlUI::SetProperty(name, value, error);
}

std::vector<std::string> CContainerUI::PropertyNames() const {
    auto names = CControlUI::PropertyNames();
    names.insert(names.end(), {"count", "mousechild", "childpadding", "inset"});
    return names;
}

}  // namespace lumora
