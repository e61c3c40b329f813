#include "ui/select_panel_ui.h"

namespace lumora {

std::string_view CSelectPanelUI::GetClass() const { return "SelectPanel"; }

bool CSelectPanelUI::IsA(std::string_view kind) const { return UiText::EqualsNoCase(kind, "SelectPanel") || CContainerUI::IsA(kind); }

}  // namespace lumora
