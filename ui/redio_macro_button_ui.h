#pragma once
// The macro recording button; it behaves as a button.

#include "ui/button_ui.h"

namespace lumora {

class CRedioMacroButtonUI : public CButtonUI {
public:
    std::string_view GetClass() const override;
    bool IsA(std::string_view kind) const override;
};

}  // namespace lumora
