#include "devices/device_option_ui.h"

#include "hid/interface_slot.h"
#include "ui/paint_manager_ui.h"
#include "ui/tab_layout_ui.h"

namespace lumora {

std::string_view CDeviceOptionUI::GetClass() const { return "DeviceOption"; }

bool CDeviceOptionUI::IsA(std::string_view kind) const {
    return UiText::EqualsNoCase(kind, "DeviceOption") || COptionUI::IsA(kind);
}

void CDeviceOptionUI::BindTabLayout(std::string_view layout, int index) {
    page_layout_ = layout;
    page_index_ = index;
    SetAttribute("bindtablayoutname", layout);
    SetAttribute("bindtabindex", std::to_string(index));
}

void CDeviceOptionUI::BindPowerLayout(std::string_view layout, int index) {
    power_layout_ = layout;
    power_index_ = index;
}

void CDeviceOptionUI::SetDeviceKind(int kind) {
    device_kind_ = kind;
    const char* icon = "device";
    switch (kind) {
    case kKindKeyboard:
    case kKindKeyboardReceiver: icon = "keyboard"; break;
    case kKindMouse:
    case kKindMouseReceiver: icon = "mouse"; break;
    case kKindMousePad: icon = "mousepad"; break;
    case kKindHeadset: icon = "headset"; break;
    default: break;
    }
    const std::string base = std::string("file='common/device_ico/") + icon;
    SetAttribute("normalimage", base + "_normal.png'");
    SetAttribute("hotimage", base + "_hot.png'");
    SetAttribute("selectedimage", base + "_selected.png'");
}

void CDeviceOptionUI::SetLabel(std::string_view label) {
    label_ = label;
    SetText(label);
}

void CDeviceOptionUI::Selected(bool selected, bool trigger_event) {
    COptionUI::Selected(selected, trigger_event);
    if (!IsSelected() || power_layout_.empty() || power_index_ < 0 || !GetManager()) return;
    if (auto* power = dynamic_cast<CTabLayoutUI*>(GetManager()->FindControl(power_layout_)))
        power->SelectItem(power_index_);
}

std::optional<std::string> CDeviceOptionUI::GetProperty(std::string_view name) const {
    if (UiText::EqualsNoCase(name, "devicekind")) return std::to_string(device_kind_);
    if (UiText::EqualsNoCase(name, "tabindex")) return std::to_string(tab_index_);
    if (UiText::EqualsNoCase(name, "label")) return label_;
    return COptionUI::GetProperty(name);
}

std::vector<std::string> CDeviceOptionUI::PropertyNames() const {
    auto names = COptionUI::PropertyNames();
    names.insert(names.end(), {"devicekind", "tabindex", "label"});
    return names;
}

}  // namespace lumora
