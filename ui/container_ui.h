#pragma once
// A control that owns child controls, in order. Removing a child while the tree
// belongs to a window defers its destruction to the next loop pass, so a handler
// may remove the very control whose notification it is handling.

#include <memory>
#include <vector>

#include "ui/control_ui.h"

namespace lumora {

class CContainerUI : public CControlUI {
public:
    CContainerUI();
    ~CContainerUI() override;

    std::string_view GetClass() const override;
    bool IsA(std::string_view kind) const override;
    CContainerUI* AsContainer() override { return this; }

    int GetCount() const { return static_cast<int>(items_.size()); }
    CControlUI* GetItemAt(int index) const;
    int GetItemIndex(const CControlUI* control) const;
    bool SetItemIndex(CControlUI* control, int index);

    // Return the added control, or null when it could not be added.
    virtual CControlUI* Add(std::unique_ptr<CControlUI> control);
    virtual CControlUI* AddAt(std::unique_ptr<CControlUI> control, int index);
    virtual bool Remove(CControlUI* control);
    bool RemoveAt(int index);
    virtual void RemoveAll();
    // Takes a child out of the tree without destroying it.
    virtual std::unique_ptr<CControlUI> Detach(CControlUI* control);

    // First control of that name below this one, in tree order.
    CControlUI* FindSubControl(std::string_view name) const;

    bool IsMouseChildEnabled() const { return mouse_child_enabled_; }
    void SetMouseChildEnabled(bool on);
    int GetChildPadding() const { return child_padding_; }
    void SetChildPadding(int padding);
    UiRect GetInset() const { return inset_; }
    void SetInset(const UiRect& inset);

    void SetManager(CPaintManagerUI* manager, CControlUI* parent, bool init) override;
    void SetAttribute(std::string_view name, std::string_view value) override;
    std::optional<std::string> GetProperty(std::string_view name) const override;
    bool SetProperty(std::string_view name, std::string_view value, std::string* error) override;
    std::vector<std::string> PropertyNames() const override;

protected:
    // Hooks for containers with a model of their own (tabs, lists, combos).
    virtual void OnItemAdded(int /*index*/, CControlUI* /*control*/) {}
    virtual void OnItemRemoved(int /*index*/, CControlUI* /*control*/) {}
    virtual void OnItemsCleared() {}
    void DisposeRemoved(std::unique_ptr<CControlUI> control, CPaintManagerUI* manager);

private:
    std::vector<std::unique_ptr<CControlUI>> items_;
    bool mouse_child_enabled_ = true;
    int child_padding_ = 0;
    UiRect inset_;
};

}  // namespace lumora
