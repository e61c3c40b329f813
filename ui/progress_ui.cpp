#include "ui/progress_ui.h"

#include <algorithm>

namespace lumora {

namespace {
int ClampInt(long long v) { return static_cast<int>(std::clamp<long long>(v, -1000000000LL, 1000000000LL)); }
}  // namespace

std::string_view CProgressUI::GetClass() const { return "ProgressUI"; }

bool CProgressUI::IsA(std::string_view kind) const {
    return UiText::EqualsNoCase(kind, "Progress") || CLabelUI::IsA(kind);
}

void CProgressUI::SetMinValue(int min) {
    min_ = min;
    if (max_ < min_) max_ = min_;
    SetValue(value_);
    Invalidate();
}

void CProgressUI::SetMaxValue(int max) {
    max_ = max;
    if (min_ > max_) min_ = max_;
    SetValue(value_);
    Invalidate();
}

void CProgressUI::SetValue(int value) {
    value = std::clamp(value, min_, max_);
    if (value == value_) return;
    value_ = value;
    Invalidate();
}

void CProgressUI::SetAttribute(std::string_view name, std::string_view value) {
    auto is = [&](std::string_view n) { return UiText::EqualsNoCase(name, n); };
    if (is("min")) {
        SetMinValue(ClampInt(UiText::ParseInt(value).value_or(0)));
    } else if (is("max")) {
        SetMaxValue(ClampInt(UiText::ParseInt(value).value_or(100)));
    } else if (is("value")) {
        SetValue(ClampInt(UiText::ParseInt(value).value_or(0)));
    } else if (is("hor")) {
        horizontal_ = UiText::ParseBool(value).value_or(true);
    } else {
        CLabelUI::SetAttribute(name, value);
    }
}

std::optional<std::string> CProgressUI::GetProperty(std::string_view name) const {
    auto is = [&](std::string_view n) { return UiText::EqualsNoCase(name, n); };
    if (is("min")) return std::to_string(min_);
    if (is("max")) return std::to_string(max_);
    if (is("value")) return std::to_string(value_);
    if (is("hor")) return UiText::FormatBool(horizontal_);
    return CLabelUI::GetProperty(name);
}

bool CProgressUI::SetProperty(std::string_view name, std::string_view value, std::string* error) {
    auto is = [&](std::string_view n) { return UiText::EqualsNoCase(name, n); };
    if (is("min") || is("max") || is("value")) {
        if (!IntValue(value, error)) return false;
    } else if (is("hor")) {
        if (!BoolValue(value, error)) return false;
    } else {
        return CLabelUI::SetProperty(name, value, error);
    }
    SetAttribute(name, value);
    return true;
}

std::vector<std::string> CProgressUI::PropertyNames() const {
    auto names = CLabelUI::PropertyNames();
    names.insert(names.end(), {"min", "max", "value", "hor"});
    return names;
}

}  // namespace lumora
