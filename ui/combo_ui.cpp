#include "ui/combo_ui.h"

namespace lumora {

std::string_view CComboUI::GetClass() const { return "ComboUI"; }

bool CComboUI::IsA(std::string_view kind) const { return UiText::EqualsNoCase(kind, "Combo") || CListOwnerUI::IsA(kind); }

std::string CComboUI::GetText() const {
    if (const CControlUI* row = GetItemAt(GetCurSel())) return row->GetText();
    return CListOwnerUI::GetText();
}

}  // namespace lumora
