#pragma once
// A label the user can click: activation notifies "click". Its state images
// (normalimage, hotimage, pushedimage, disabledimage, ...) are attributes.

#include "ui/label_ui.h"

namespace lumora {

class CButtonUI : public CLabelUI {
public:
    std::string_view GetClass() const override;
    bool IsA(std::string_view kind) const override;
    bool Activate() override;
};

}  // namespace lumora
