#pragma once
// A vertical container of rows with at most one selected row: the model shared by
// lists and combo boxes. SelectItem notifies "itemselect" (wParam new index,
// lParam old index) unless told not to. Removing the selected row selects the
// nearest selectable row, with notification, as DuiLib does.

#include "ui/vertical_layout_ui.h"

namespace lumora {

class IListItemUI;

class CListOwnerUI : public CVerticalLayoutUI {
public:
    bool IsA(std::string_view kind) const override;

    int GetCurSel() const { return cur_sel_; }
    virtual bool SelectItem(int index, bool take_focus = false, bool trigger_event = true);
    IListItemUI* GetListItem(int index) const;
    // Only rows (list elements) are taken.
    CControlUI* AddAt(std::unique_ptr<CControlUI> control, int index) override;

    std::optional<std::string> GetProperty(std::string_view name) const override;
    bool SetProperty(std::string_view name, std::string_view value, std::string* error) override;
    std::vector<std::string> PropertyNames() const override;
    bool PerformUserAction(std::string_view type, std::string_view value, std::string* error) override;

protected:
    void OnItemAdded(int index, CControlUI* control) override;
    void OnItemRemoved(int index, CControlUI* control) override;
    void OnItemsCleared() override;
    virtual void OnSelectionShown(int /*index*/) {}
    int FindSelectable(int index) const;

private:
    void Reindex(int from);
    int cur_sel_ = -1;
};

}  // namespace lumora
