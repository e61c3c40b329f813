#pragma once
// A control that shows a text. Text layout attributes (align, textcolor, font,
// textpadding, showhtml, ...) are kept as attributes for the renderer.

#include "ui/control_ui.h"

namespace lumora {

class CLabelUI : public CControlUI {
public:
    std::string_view GetClass() const override;
    bool IsA(std::string_view kind) const override;
};

}  // namespace lumora
