#include "ui/color_palette_ui.h"

namespace lumora {

namespace {
bool IsColourName(std::string_view name) {
    return UiText::EqualsNoCase(name, "colour") || UiText::EqualsNoCase(name, "color") ||
           UiText::EqualsNoCase(name, "selectcolor");
}
}  // namespace

std::string_view CColorPaletteUI::GetClass() const { return "ColorPaletteUI"; }

bool CColorPaletteUI::IsA(std::string_view kind) const {
    return UiText::EqualsNoCase(kind, "ColorPalette") || CControlUI::IsA(kind);
}

void CColorPaletteUI::SetSelectColor(std::uint32_t argb) {
    if (colour_ == argb) return;
    colour_ = argb;
    Invalidate();
}

bool CColorPaletteUI::PickColour(std::uint32_t argb, std::string* error) {
    if (!CheckReachable(error, true)) return false;
    SetSelectColor(argb);
    Notify("colorchanged");
    return true;
}

void CColorPaletteUI::SetAttribute(std::string_view name, std::string_view value) {
    if (IsColourName(name)) {
        SetSelectColor(UiText::ParseColour(value).value_or(0xFF000000));
    } else {
        CControlUI::SetAttribute(name, value);
    }
}

std::optional<std::string> CColorPaletteUI::GetProperty(std::string_view name) const {
    if (IsColourName(name)) return UiText::FormatColour(colour_);
    return CControlUI::GetProperty(name);
}

bool CColorPaletteUI::SetProperty(std::string_view name, std::string_view value, std::string* error) {
    if (IsColourName(name)) {
        const auto c = UiText::ParseColour(value);
        if (!c) return Fail(error, "not a colour: " + std::string(value));
        SetSelectColor(*c);
        return true;
    }
    return CControlUI::SetProperty(name, value, error);
}

std::vector<std::string> CColorPaletteUI::PropertyNames() const {
    auto names = CControlUI::PropertyNames();
    names.push_back("colour");
    return names;
}

bool CColorPaletteUI::PerformUserAction(std::string_view type, std::string_view value, std::string* error) {
    if (UiText::EqualsNoCase(type, "colorchanged")) {
        const auto c = UiText::ParseColour(value);
        if (!c) return Fail(error, "not a colour: " + std::string(value));
        return PickColour(*c, error);
    }
    return CControlUI::PerformUserAction(type, value, error);
}

}  // namespace lumora
