#pragma once
// A chart area of the skin. Nothing in the program feeds it yet; it is a plain
// control of its own class so skins that place one build.

#include "ui/control_ui.h"

namespace lumora {

class CChartViewUI : public CControlUI {
public:
    std::string_view GetClass() const override;
    bool IsA(std::string_view kind) const override;
};

}  // namespace lumora
