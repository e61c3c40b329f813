#include "ui/edit_ui.h"

#include <algorithm>
#include <cctype>

#include "ui/resource_manager.h"

namespace lumora {

CEditUI::CEditUI() = default;

std::string_view CEditUI::GetClass() const { return "EditUI"; }

bool CEditUI::IsA(std::string_view kind) const { return UiText::EqualsNoCase(kind, "Edit") || CLabelUI::IsA(kind); }

void CEditUI::SetMaxChar(int max_char) { max_char_ = std::max(0, max_char); }
void CEditUI::SetNumberOnly(bool on) { number_only_ = on; }
void CEditUI::SetReadOnly(bool on) {
    read_only_ = on;
    Invalidate();
}
void CEditUI::SetPasswordMode(bool on) {
    password_ = on;
    Invalidate();
}

std::string CEditUI::GetTipValue() const {
    if (IsResourceText()) return CResourceManager::GetInstance().Text(tip_);
    return tip_;
}

void CEditUI::SetTipValue(std::string_view tip) {
    tip_ = tip;
    Invalidate();
}

std::string CEditUI::FilterInput(std::string_view text) const {
    std::string out;
    int chars = 0;
    for (std::size_t i = 0; i < text.size();) {
        const unsigned char lead = static_cast<unsigned char>(text[i]);
        std::size_t len = 1;
        if (lead >= 0xF0) {
            len = 4;
        } else if (lead >= 0xE0) {
            len = 3;
        } else if (lead >= 0xC0) {
            len = 2;
        }
        len = std::min(len, text.size() - i);
        const bool digit = len == 1 && std::isdigit(lead);
        if (!number_only_ || digit) {
            if (chars >= max_char_) break;
            out.append(text.substr(i, len));
            ++chars;
        }
        i += len;
    }
    return out;
}

bool CEditUI::TypeText(std::string_view text, std::string* error) {
    if (!CheckReachable(error, false)) return false;
    if (read_only_) return Fail(error, "field is read-only: " + GetName());
    if (!IsFocused()) SetFocus();
    SetText(FilterInput(text));
    Notify("textchanged");
    return true;
}

void CEditUI::SetAttribute(std::string_view name, std::string_view value) {
    auto is = [&](std::string_view n) { return UiText::EqualsNoCase(name, n); };
    if (is("maxchar")) {
        SetMaxChar(static_cast<int>(std::clamp<long long>(UiText::ParseInt(value).value_or(255), 0, 1 << 20)));
    } else if (is("numberonly")) {
        SetNumberOnly(UiText::ParseBool(value).value_or(false));
    } else if (is("readonly")) {
        SetReadOnly(UiText::ParseBool(value).value_or(false));
    } else if (is("password")) {
        SetPasswordMode(UiText::ParseBool(value).value_or(false));
    } else if (is("tipvalue")) {
        SetTipValue(value);
    } else {
        CLabelUI::SetAttribute(name, value);
    }
}

std::optional<std::string> CEditUI::GetProperty(std::string_view name) const {
    auto is = [&](std::string_view n) { return UiText::EqualsNoCase(name, n); };
    if (is("maxchar")) return std::to_string(max_char_);
    if (is("numberonly")) return UiText::FormatBool(number_only_);
    if (is("readonly")) return UiText::FormatBool(read_only_);
    if (is("password")) return UiText::FormatBool(password_);
    if (is("tipvalue")) return GetTipValue();
    return CLabelUI::GetProperty(name);
}

bool CEditUI::SetProperty(std::string_view name, std::string_view value, std::string* error) {
    auto is = [&](std::string_view n) { return UiText::EqualsNoCase(name, n); };
    if (is("maxchar")) {
        if (!IntValue(value, error)) return false;
    } else if (is("numberonly") || is("readonly") || is("password")) {
        if (!BoolValue(value, error)) return false;
    } else if (!is("tipvalue")) {
        return CLabelUI::SetProperty(name, value, error);
    }
    SetAttribute(name, value);
    return true;
}

std::vector<std::string> CEditUI::PropertyNames() const {
    auto names = CLabelUI::PropertyNames();
    names.insert(names.end(), {"maxchar", "numberonly", "readonly", "password", "tipvalue"});
    return names;
}

bool CEditUI::PerformUserAction(std::string_view type, std::string_view value, std::string* error) {
    if (UiText::EqualsNoCase(type, "textchanged")) return TypeText(value, error);
    if (UiText::EqualsNoCase(type, "return")) {
        if (!CheckReachable(error, false)) return false;
        Notify("return");
        return true;
    }
    return CLabelUI::PerformUserAction(type, value, error);
}

}  // namespace lumora
