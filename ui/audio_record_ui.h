#pragma once
// The audio spectrum display of a page. What it shows comes with audio-reactive
// lighting; until then it is a plain control of its own class.

#include "ui/control_ui.h"

namespace lumora {

class CAudioRecordUI : public CControlUI {
public:
    std::string_view GetClass() const override;
    bool IsA(std::string_view kind) const override;
};

}  // namespace lumora
