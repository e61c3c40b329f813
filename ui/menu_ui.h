#pragma once
// The root of a menu's tree (the <Menu> element of a menu file).

#include "ui/vertical_layout_ui.h"

namespace lumora {

class CMenuUI : public CVerticalLayoutUI {
public:
    std::string_view GetClass() const override;
    bool IsA(std::string_view kind) const override;
};

}  // namespace lumora
