#pragma once
// A drop-down choice of rows. Its text is the text of the selected row. Choosing
// a row notifies "itemselect" (wParam new index, lParam old index).

#include "ui/list_owner_ui.h"

namespace lumora {

class CComboUI : public CListOwnerUI {
public:
    std::string_view GetClass() const override;
    bool IsA(std::string_view kind) const override;
    std::string GetText() const override;
};

}  // namespace lumora
