#pragma once
// A container whose children side by side, left to right (the renderer lays them out).

#include "ui/container_ui.h"

namespace lumora {

class CHorizontalLayoutUI : public CContainerUI {
public:
    std::string_view GetClass() const override;
    bool IsA(std::string_view kind) const override;
};

}  // namespace lumora
