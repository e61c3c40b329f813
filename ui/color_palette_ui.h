#pragma once
// A colour picker; the user's choice notifies "colorchanged". Colours are ARGB.

#include <cstdint>

#include "ui/control_ui.h"

namespace lumora {

class CColorPaletteUI : public CControlUI {
public:
    std::string_view GetClass() const override;
    bool IsA(std::string_view kind) const override;

    std::uint32_t GetSelectColor() const { return colour_; }
    void SetSelectColor(std::uint32_t argb);
    // The user picks a colour.
    bool PickColour(std::uint32_t argb, std::string* error = nullptr);

    void SetAttribute(std::string_view name, std::string_view value) override;
    std::optional<std::string> GetProperty(std::string_view name) const override;
    bool SetProperty(std::string_view name, std::string_view value, std::string* error) override;
    std::vector<std::string> PropertyNames() const override;
    bool PerformUserAction(std::string_view type, std::string_view value, std::string* error) override;

private:
    std::uint32_t colour_ = 0xFF000000;
};

}  // namespace lumora
