#include "ui/slider_ui.h"

#include <algorithm>

namespace lumora {

std::string_view CSliderUI::GetClass() const { return "SliderUI"; }

bool CSliderUI::IsA(std::string_view kind) const {
    return UiText::EqualsNoCase(kind, "Slider") || CProgressUI::IsA(kind);
}

bool CSliderUI::MoveTo(int value, std::string* error) {
    if (!CheckReachable(error, true)) return false;
    SetValue(value);
    Notify("movevaluechanged");
    return true;
}

bool CSliderUI::ReleaseAt(int value, std::string* error) {
    if (!CheckReachable(error, true)) return false;
    SetValue(value);
    Notify("valuechanged");
    return true;
}

void CSliderUI::SetAttribute(std::string_view name, std::string_view value) {
    if (UiText::EqualsNoCase(name, "step")) {
        step_ = static_cast<int>(std::clamp<long long>(UiText::ParseInt(value).value_or(1), 1, 1000000));
    } else {
        CProgressUI::SetAttribute(name, value);
    }
}

std::optional<std::string> CSliderUI::GetProperty(std::string_view name) const {
    if (UiText::EqualsNoCase(name, "step")) return std::to_string(step_);
    return CProgressUI::GetProperty(name);
}

bool CSliderUI::PerformUserAction(std::string_view type, std::string_view value, std::string* error) {
    const bool move = UiText::EqualsNoCase(type, "movevaluechanged");
    if (move || UiText::EqualsNoCase(type, "valuechanged")) {
        const auto n = IntValue(value, error);
        if (!n) return false;
        const int v = static_cast<int>(std::clamp<long long>(*n, GetMinValue(), GetMaxValue()));
        return move ? MoveTo(v, error) : ReleaseAt(v, error);
    }
    return CProgressUI::PerformUserAction(type, value, error);
}

}  // namespace lumora
