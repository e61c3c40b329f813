#include "devices/mp_device_power_ui.h"

#include <algorithm>
#include <cstring>

#include "hid/interface_slot.h"
#include "platform/logger.h"
#include "ui/progress_ui.h"

namespace lumora {

std::string_view CMpDevicePowerUI::GetClass() const { return "MpDevicePower"; }

bool CMpDevicePowerUI::IsA(std::string_view kind) const {
    return UiText::EqualsNoCase(kind, "MpDevicePower") || CHorizontalLayoutUI::IsA(kind);
}

void CMpDevicePowerUI::SetKind(int device_kind, int second_value) {
    device_kind_ = device_kind;
    second_value_ = second_value;
}

CControlUI* CMpDevicePowerUI::Child(CControlUI*& cache, std::string_view name) {
    if (!cache) cache = FindSubControl(name);
    return cache;
}

void CMpDevicePowerUI::ShowPowerStatus(const uint8_t* block, size_t length) {
    uint8_t buffer[kMaxInput] = {};
    if (block == nullptr && length > 0) {
        LOG_WARNING("power", "status block missing (%zu bytes announced)", length);
        length = 0;
    }
    if (length > 0) std::memcpy(buffer, block, std::min(length, kMaxInput));
    std::copy_n(buffer, kStatusSize, status_.begin());

    CControlUI* value = Child(value_, "device_power_value");
    CControlUI* logo = Child(wireless_logo_, "device_wuxian_logo");
    auto* progress = dynamic_cast<CProgressUI*>(Child(progress_, "device_Power_progress"));
    CControlUI* picture = Child(status_picture_, "device_power_status");
    CControlUI* phone = Child(phone_, "device_phone_type");
    if (!value || !logo || !progress || !picture || !phone) return;

    progress->SetValue(100 - buffer[0]);
    value->SetText(std::to_string(buffer[0]) + "%");

    const bool wireless = buffer[3] != 0;
    if (device_kind_ == kKindMouse) logo->SetVisible(wireless);

    switch (buffer[1]) {
    case 0:
        progress->SetVisible(true);
        picture->SetBkImage("file='power/powered.png'");
        break;
    case 1:
        progress->SetVisible(!wireless);
        picture->SetBkImage(wireless ? "file='power/wuxian_powering.png'" : "file='power/powering.png'");
        break;
    case 2:
        progress->SetVisible(true);
        picture->SetBkImage("file='power/power.png'");
        break;
    default:
        break;
    }

    if (device_kind_ == kKindMousePad) {
        static constexpr const char* kPhones[] = {"Phone_type_no_device", "Phone_type_iphone", "Phone_type_samsung",
                                                  "Phone_type_other"};
        const char* id = buffer[5] >= 1 && buffer[5] <= 3 ? kPhones[buffer[5]] : kPhones[0];
        phone->SetToolTip(id);
        phone->SetBkImage(std::string("file='power/") + id + ".png'");
    }
}

void CMpDevicePowerUI::ShowPowerLayout(int flag) {
    if (CControlUI* layout = Child(layout_, "device_power_Layout")) layout->SetVisible(flag != 0);
}

bool CMpDevicePowerUI::Activate() {
    if (!CHorizontalLayoutUI::Activate()) return false;
    Notify("selectchanged");
    return true;
}

}  // namespace lumora
