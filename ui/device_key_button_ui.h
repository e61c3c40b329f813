#pragma once
// A key or light button of a device picture. Besides being a button it keeps a
// colour value (red | blue << 8 | green << 16, as the device page hands it over)
// and a brightness (0..255) for the renderer to draw the key lit with.

#include <cstdint>

#include "ui/button_ui.h"

namespace lumora {

class CDeviceKeyButtonUI : public CButtonUI {
public:
    std::string_view GetClass() const override;
    bool IsA(std::string_view kind) const override;

    std::uint32_t GetKeyColor() const { return colour_; }
    int GetBrightness() const { return brightness_; }
    // One change, one redraw.
    void SetKeyColor(std::uint32_t colour, int brightness);
    void SetKeyColor(std::uint32_t colour) { SetKeyColor(colour, brightness_); }
    void SetBrightness(int brightness) { SetKeyColor(colour_, brightness); }
    bool IsLit() const { return lit_; }
    void SetLit(bool lit);

    void SetAttribute(std::string_view name, std::string_view value) override;
    std::optional<std::string> GetProperty(std::string_view name) const override;
    bool SetProperty(std::string_view name, std::string_view value, std::string* error) override;
    std::vector<std::string> PropertyNames() const override;

private:
    std::uint32_t colour_ = 0;
    int brightness_ = 0;
    bool lit_ = false;
};

}  // namespace lumora
