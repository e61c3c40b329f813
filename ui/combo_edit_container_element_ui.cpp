#include "ui/combo_edit_container_element_ui.h"

namespace lumora {

std::string_view CComboEditContainerElementUI::GetClass() const { return "ComboEditContainerElement"; }

bool CComboEditContainerElementUI::IsA(std::string_view kind) const { return UiText::EqualsNoCase(kind, "ComboEditContainerElement") || CListContainerElementUI::IsA(kind); }

}  // namespace lumora
