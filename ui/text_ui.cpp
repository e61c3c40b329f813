#include "ui/text_ui.h"

namespace lumora {

std::string_view CTextUI::GetClass() const { return "TextUI"; }

bool CTextUI::IsA(std::string_view kind) const { return UiText::EqualsNoCase(kind, "Text") || CLabelUI::IsA(kind); }

}  // namespace lumora
