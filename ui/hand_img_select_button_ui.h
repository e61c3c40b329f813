#pragma once
// A selectable hand-image button; it behaves as an option.

#include "ui/option_ui.h"

namespace lumora {

class CHandImgSelectButtonUI : public COptionUI {
public:
    std::string_view GetClass() const override;
    bool IsA(std::string_view kind) const override;
};

}  // namespace lumora
