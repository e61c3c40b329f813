#include "ui/hand_img_button_ui.h"

namespace lumora {

std::string_view CHandImgButtonUI::GetClass() const { return "HandImgButton"; }

bool CHandImgButtonUI::IsA(std::string_view kind) const { return UiText::EqualsNoCase(kind, "HandImgButton") || CButtonUI::IsA(kind); }

}  // namespace lumora
