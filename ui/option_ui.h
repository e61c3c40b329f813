#pragma once
// A button with a selected state. Options of one group are exclusive: selecting one
// deselects the others, and only the newly selected one notifies "selectchanged".
// Without a group each change of state notifies. Selected(x, false) changes the
// state without any notification. An option bound to a tab layout
// (bindtablayoutname, bindtabindex) selects that page when it becomes selected.

#include "ui/button_ui.h"

namespace lumora {

class COptionUI : public CButtonUI {
public:
    std::string_view GetClass() const override;
    bool IsA(std::string_view kind) const override;

    bool IsSelected() const { return selected_; }
    virtual void Selected(bool selected, bool trigger_event = true);
    const std::string& GetGroup() const { return group_; }
    void SetGroup(std::string_view group);

    bool Activate() override;
    void SetManager(CPaintManagerUI* manager, CControlUI* parent, bool init) override;
    void SetAttribute(std::string_view name, std::string_view value) override;
    std::optional<std::string> GetProperty(std::string_view name) const override;
    bool SetProperty(std::string_view name, std::string_view value, std::string* error) override;
    std::vector<std::string> PropertyNames() const override;
    bool PerformUserAction(std::string_view type, std::string_view value, std::string* error) override;

private:
    void SelectBoundTab();

    bool selected_ = false;
    std::string group_;
    std::string bound_tab_;
    int bound_index_ = -1;
};

}  // namespace lumora
