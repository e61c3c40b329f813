#pragma once
// A list row showing one text.

#include "ui/control_ui.h"
#include "ui/list_item_ui.h"

namespace lumora {

class CListLabelElementUI : public CControlUI, public IListItemUI {
public:
    std::string_view GetClass() const override;
    bool IsA(std::string_view kind) const override;
    bool Activate() override;
    void SetAttribute(std::string_view name, std::string_view value) override;
    std::optional<std::string> GetProperty(std::string_view name) const override;
    bool PerformUserAction(std::string_view type, std::string_view value, std::string* error) override;

protected:
    CControlUI& ItemControl() override { return *this; }
};

}  // namespace lumora
