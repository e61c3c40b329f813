#pragma once
// What a row of a list or combo has in common: its index in its owner, the owner,
// and its selected state. Clicking a row selects it in the owner ("itemselect"
// from the owner) and notifies "itemclick"; activating it (double click)
// notifies "itemactivate".

#include <string>
#include <string_view>

namespace lumora {

class CControlUI;
class CListOwnerUI;

class IListItemUI {
public:
    virtual ~IListItemUI() = default;

    int GetIndex() const { return index_; }
    void SetIndex(int index) { index_ = index; }
    CListOwnerUI* GetOwner() const { return owner_; }
    void SetOwner(CListOwnerUI* owner) { owner_ = owner; }
    bool IsSelected() const { return selected_; }
    // The owner's record of the selection; does not notify.
    void SetSelectedState(bool selected);
    // Selects this row in its owner, as a click does.
    bool Select(bool trigger_event = true);

protected:
    virtual CControlUI& ItemControl() = 0;
    // Shared handling of "click", "itemclick", "itemactivate" for rows; handled tells
    // whether the type was one of them.
    bool ItemUserAction(std::string_view type, std::string* error, bool& handled);

private:
    int index_ = -1;
    CListOwnerUI* owner_ = nullptr;
    bool selected_ = false;
};

}  // namespace lumora
