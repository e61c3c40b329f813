#pragma once
// A combo-box row that holds an edit field (and any other controls).

#include "ui/list_container_element_ui.h"

namespace lumora {

class CComboEditContainerElementUI : public CListContainerElementUI {
public:
    std::string_view GetClass() const override;
    bool IsA(std::string_view kind) const override;
};

}  // namespace lumora
