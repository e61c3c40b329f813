#pragma once
// An option without a group: each click toggles it.

#include "ui/option_ui.h"

namespace lumora {

class CCheckBoxUI : public COptionUI {
public:
    std::string_view GetClass() const override;
    bool IsA(std::string_view kind) const override;
    bool GetCheck() const { return IsSelected(); }
    void SetCheck(bool check, bool trigger_event = true) { Selected(check, trigger_event); }
};

}  // namespace lumora
