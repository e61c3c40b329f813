#pragma once
// A label for longer, wrapped text.

#include "ui/label_ui.h"

namespace lumora {

class CTextUI : public CLabelUI {
public:
    std::string_view GetClass() const override;
    bool IsA(std::string_view kind) const override;
};

}  // namespace lumora
