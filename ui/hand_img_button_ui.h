#pragma once
// A button drawn with a hand image; it behaves as a button.

#include "ui/button_ui.h"

namespace lumora {

class CHandImgButtonUI : public CButtonUI {
public:
    std::string_view GetClass() const override;
    bool IsA(std::string_view kind) const override;
};

}  // namespace lumora
