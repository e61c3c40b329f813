#include "ui/wnd_ui.h"

namespace lumora {

std::string_view CWndUI::GetClass() const { return "Wnd"; }

bool CWndUI::IsA(std::string_view kind) const { return UiText::EqualsNoCase(kind, "Wnd") || CControlUI::IsA(kind); }

}  // namespace lumora
