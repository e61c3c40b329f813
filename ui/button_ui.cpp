#include "ui/button_ui.h"

namespace lumora {

std::string_view CButtonUI::GetClass() const { return "ButtonUI"; }

bool CButtonUI::IsA(std::string_view kind) const { return UiText::EqualsNoCase(kind, "Button") || CLabelUI::IsA(kind); }

bool CButtonUI::Activate() {
    if (!CLabelUI::Activate()) return false;
    Notify("click");
    return true;
}

}  // namespace lumora
