#include "devices/device_page_factory.h"

#include "devices/device_option_ui.h"
#include "devices/mp_device_power_ui.h"
#include "devices/orvane_hs6533_device.h"
#include "devices/orvane_keyboard_device.h"
#include "devices/orvane_mouse_device.h"
#include "devices/orvane_mouse_pad_device.h"
#include "devices/orvane_usb_device.h"
#include "ui/ui_text.h"

namespace lumora {
namespace {
template <typename T>
CControlFactory::Creator Make() {
    return [] { return std::unique_ptr<CControlUI>(std::make_unique<T>()); };
}
}  // namespace

std::unique_ptr<CControlUI> CreateDevicePage(std::string_view element_name) {
    static const std::pair<std::string_view, CControlFactory::Creator> kPages[] = {
        {"OrvaneMousePadDevice", Make<COrvaneMousePadDevice>()},
        {"OrvaneHS6533Device", Make<COrvaneHS6533Device>()},
        {"OrvaneMouseDevice", Make<COrvaneMouseDevice>()},
        {"OrvaneKeyboardDevice", Make<COrvaneKeyboardDevice>()},
    };
    for (const auto& [name, create] : kPages)
        if (UiText::EqualsNoCase(element_name, name)) return create();
    return nullptr;
}

std::vector<std::pair<std::string, CControlFactory::Creator>> DeviceControlClasses() {
    return {
        {"CDeviceOptionUI", Make<CDeviceOptionUI>()},
        {"CMpDevicePowerUI", Make<CMpDevicePowerUI>()},
        {"COrvaneUSBDevice", Make<COrvaneUSBDevice>()},
        {"COrvaneMousePadDevice", Make<COrvaneMousePadDevice>()},
        {"COrvaneHS6533Device", Make<COrvaneHS6533Device>()},
    };
}

}  // namespace lumora
