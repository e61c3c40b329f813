#include "ui/check_box_ui.h"

namespace lumora {

std::string_view CCheckBoxUI::GetClass() const { return "CheckBoxUI"; }

bool CCheckBoxUI::IsA(std::string_view kind) const {
    return UiText::EqualsNoCase(kind, "CheckBox") || COptionUI::IsA(kind);
}

}  // namespace lumora
