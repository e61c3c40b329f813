#include "ui/list_text_element_ui.h"

#include <algorithm>

namespace lumora {

namespace {
constexpr int kMaxColumns = 64;
}

std::string_view CListTextElementUI::GetClass() const { return "ListTextElementUI"; }

bool CListTextElementUI::IsA(std::string_view kind) const {
    return UiText::EqualsNoCase(kind, "ListTextElement") || CListLabelElementUI::IsA(kind);
}

std::string CListTextElementUI::GetText(int column) const {
    if (column == 0) return CListLabelElementUI::GetText();
    if (column < 1 || column > static_cast<int>(columns_.size())) return {};
    return columns_[static_cast<std::size_t>(column - 1)];
}

void CListTextElementUI::SetText(int column, std::string_view text) {
    if (column == 0) {
        CListLabelElementUI::SetText(text);
        return;
    }
    if (column < 1 || column >= kMaxColumns) return;
    if (static_cast<int>(columns_.size()) < column) columns_.resize(static_cast<std::size_t>(column));
    columns_[static_cast<std::size_t>(column - 1)] = text;
    Invalidate();
}

int CListTextElementUI::GetColumnCount() const { return 1 + static_cast<int>(columns_.size()); }

}  // namespace lumora
