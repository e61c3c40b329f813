#include "ui/label_ui.h"

namespace lumora {

std::string_view CLabelUI::GetClass() const { return "LabelUI"; }

bool CLabelUI::IsA(std::string_view kind) const {
    return UiText::EqualsNoCase(kind, "Label") || CControlUI::IsA(kind);
}

}  // namespace lumora
