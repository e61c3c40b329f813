#include "ui/hand_img_select_button_ui.h"

namespace lumora {

std::string_view CHandImgSelectButtonUI::GetClass() const { return "HandImgSelectButton"; }

bool CHandImgSelectButtonUI::IsA(std::string_view kind) const { return UiText::EqualsNoCase(kind, "HandImgSelectButton") || COptionUI::IsA(kind); }

}  // namespace lumora
