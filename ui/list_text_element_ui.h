#pragma once
// A list row with one text per column; column 0 is the row's text.

#include <vector>

#include "ui/list_label_element_ui.h"

namespace lumora {

class CListTextElementUI : public CListLabelElementUI {
public:
    std::string_view GetClass() const override;
    bool IsA(std::string_view kind) const override;
    std::string GetText(int column) const;
    void SetText(int column, std::string_view text);
    using CListLabelElementUI::GetText;
    using CListLabelElementUI::SetText;
    int GetColumnCount() const;

private:
    std::vector<std::string> columns_;  // columns 1 and up
};

}  // namespace lumora
