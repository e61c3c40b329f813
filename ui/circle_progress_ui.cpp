#include "ui/circle_progress_ui.h"

namespace lumora {

std::string_view CCircleProgressUI::GetClass() const { return "CircleProgress"; }

bool CCircleProgressUI::IsA(std::string_view kind) const { return UiText::EqualsNoCase(kind, "CircleProgress") || CProgressUI::IsA(kind); }

}  // namespace lumora
