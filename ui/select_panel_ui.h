#pragma once
// The panel of a device picture whose children (the key and light buttons) the
// device page enumerates and recognises by class name.

#include "ui/container_ui.h"

namespace lumora {

class CSelectPanelUI : public CContainerUI {
public:
    std::string_view GetClass() const override;
    bool IsA(std::string_view kind) const override;
};

}  // namespace lumora
