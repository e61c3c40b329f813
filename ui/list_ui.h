#pragma once
// A list of rows with one selection. Headless scrolling is recorded: "top", "end"
// or "row N" (the row last brought into view).

#include "ui/list_owner_ui.h"

namespace lumora {

class CListUI : public CListOwnerUI {
public:
    std::string_view GetClass() const override;
    bool IsA(std::string_view kind) const override;

    void EnsureVisible(int index);
    void ScrollToTop();
    void ScrollToEnd();
    const std::string& GetScrollState() const { return scroll_; }

    std::optional<std::string> GetProperty(std::string_view name) const override;

protected:
    void OnSelectionShown(int index) override { EnsureVisible(index); }

private:
    std::string scroll_ = "top";
};

}  // namespace lumora
