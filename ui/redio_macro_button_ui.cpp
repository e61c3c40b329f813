#include "ui/redio_macro_button_ui.h"

namespace lumora {

std::string_view CRedioMacroButtonUI::GetClass() const { return "RedioMacroButton"; }

bool CRedioMacroButtonUI::IsA(std::string_view kind) const { return UiText::EqualsNoCase(kind, "RedioMacroButton") || CButtonUI::IsA(kind); }

}  // namespace lumora
