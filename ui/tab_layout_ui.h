#pragma once
// A container that shows one child at a time, chosen by index. Selecting notifies
// "tabselect" (wParam new index, lParam old index).

#include "ui/container_ui.h"

namespace lumora {

class CTabLayoutUI : public CContainerUI {
public:
    std::string_view GetClass() const override;
    bool IsA(std::string_view kind) const override;

    int GetCurSel() const { return cur_sel_; }
    // false for an index out of range; selecting the current item does nothing.
    virtual bool SelectItem(int index, bool trigger_event = true);
    bool SelectItem(CControlUI* control, bool trigger_event = true);

    void SetAttribute(std::string_view name, std::string_view value) override;
    std::optional<std::string> GetProperty(std::string_view name) const override;
    bool SetProperty(std::string_view name, std::string_view value, std::string* error) override;
    std::vector<std::string> PropertyNames() const override;

protected:
    void OnItemAdded(int index, CControlUI* control) override;
    void OnItemRemoved(int index, CControlUI* control) override;
    void OnItemsCleared() override;

private:
    int cur_sel_ = -1;
    int pending_sel_ = -1;
};

}  // namespace lumora
