#pragma once
// A place in the tree where a renderer may embed a native window. Headless it is a
// plain control of its own class.

#include "ui/control_ui.h"

namespace lumora {

class CWndUI : public CControlUI {
public:
    std::string_view GetClass() const override;
    bool IsA(std::string_view kind) const override;
};

}  // namespace lumora
