#include "ui/rich_edit_ui.h"

namespace lumora {

CRichEditUI::CRichEditUI() { SetMaxChar(32767); }

std::string_view CRichEditUI::GetClass() const { return "RichEditUI"; }

bool CRichEditUI::IsA(std::string_view kind) const {
    return UiText::EqualsNoCase(kind, "RichEdit") || CEditUI::IsA(kind);
}

}  // namespace lumora
