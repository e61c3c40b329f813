#pragma once
// One item of a menu. An item with item children is a submenu; clicking a leaf
// item sends the menu command (its name) to the window that opened the menu and
// closes the menu. An item with checkitem="true" toggles its check mark.

#include "ui/list_container_element_ui.h"

namespace lumora {

class CMenuElementUI : public CListContainerElementUI {
public:
    std::string_view GetClass() const override;
    bool IsA(std::string_view kind) const override;

    bool IsCheckItem() const { return check_item_; }
    bool GetChecked() const { return checked_; }
    void SetChecked(bool checked);
    bool HasSubMenu() const;

    bool Activate() override;
    void SetAttribute(std::string_view name, std::string_view value) override;
    std::optional<std::string> GetProperty(std::string_view name) const override;
    bool SetProperty(std::string_view name, std::string_view value, std::string* error) override;
    bool PerformUserAction(std::string_view type, std::string_view value, std::string* error) override;

private:
    bool check_item_ = false;
    bool checked_ = false;
};

}  // namespace lumora
