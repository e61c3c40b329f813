#pragma once
// A multi-line text field with the same input rules as the edit.

#include "ui/edit_ui.h"

namespace lumora {

class CRichEditUI : public CEditUI {
public:
    CRichEditUI();
    std::string_view GetClass() const override;
    bool IsA(std::string_view kind) const override;
};

}  // namespace lumora
