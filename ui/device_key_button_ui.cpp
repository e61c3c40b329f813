#include "ui/device_key_button_ui.h"

#include <algorithm>

namespace lumora {

namespace {
bool IsColourName(std::string_view name) {
    return UiText::EqualsNoCase(name, "colour") || UiText::EqualsNoCase(name, "color") ||
           UiText::EqualsNoCase(name, "keycolor");
}
}  // namespace

std::string_view CDeviceKeyButtonUI::GetClass() const { return "DeviceKeyButton"; }

bool CDeviceKeyButtonUI::IsA(std::string_view kind) const {
    return UiText::EqualsNoCase(kind, "DeviceKeyButton") || CButtonUI::IsA(kind);
}

void CDeviceKeyButtonUI::SetKeyColor(std::uint32_t colour, int brightness) {
    brightness = std::clamp(brightness, 0, 255);
    if (colour == colour_ && brightness == brightness_) return;
    colour_ = colour;
    brightness_ = brightness;
    Invalidate();
}

void CDeviceKeyButtonUI::SetLit(bool lit) {
    if (lit_ == lit) return;
    lit_ = lit;
    Invalidate();
}

void CDeviceKeyButtonUI::SetAttribute(std::string_view name, std::string_view value) {
    if (IsColourName(name)) {
        SetKeyColor(UiText::ParseColour(value).value_or(0));
    } else if (UiText::EqualsNoCase(name, "brightness")) {
        SetBrightness(static_cast<int>(std::clamp<long long>(UiText::ParseInt(value).value_or(0), 0, 255)));
    } else if (UiText::EqualsNoCase(name, "lit")) {
        SetLit(UiText::ParseBool(value).value_or(false));
    } else {
        CButtonUI::SetAttribute(name, value);
    }
}

std::optional<std::string> CDeviceKeyButtonUI::GetProperty(std::string_view name) const {
    if (IsColourName(name)) return UiText::FormatColour(colour_);
    if (UiText::EqualsNoCase(name, "brightness")) return std::to_string(brightness_);
    if (UiText::EqualsNoCase(name, "lit")) return UiText::FormatBool(lit_);
    return CButtonUI::GetProperty(name);
}

bool CDeviceKeyButtonUI::SetProperty(std::string_view name, std::string_view value, std::string* error) {
    if (IsColourName(name)) {
        if (!UiText::ParseColour(value)) return Fail(error, "not a colour: " + std::string(value));
    } else if (UiText::EqualsNoCase(name, "brightness")) {
        const auto n = IntValue(value, error);
        if (!n) return false;
        if (*n < 0 || *n > 255) return Fail(error, "brightness is 0..255");
    } else if (UiText::EqualsNoCase(name, "lit")) {
        if (!BoolValue(value, error)) return false;
    } else {
        return CButtonUI::SetProperty(name, value, error);
    }
    SetAttribute(name, value);
    return true;
}

std::vector<std::string> CDeviceKeyButtonUI::PropertyNames() const {
    auto names = CButtonUI::PropertyNames();
    names.insert(names.end(), {"colour", "brightness", "lit"});
    return names;
}

}  // namespace lumora
