#pragma once
// How the window that builds device pages from skins creates the device layer's
// controls. Nothing is registered globally here: the main window's CreateControl
// callback calls CreateDevicePage, and start-up registers DeviceControlClasses with
// the control factory.

#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "ui/control_factory.h"

namespace lumora {

class CControlUI;

// A new page for the page elements "OrvaneKeyboardDevice", "OrvaneMouseDevice",
// "OrvaneMousePadDevice" and "OrvaneHS6533Device" (in any letter case); null otherwise.
std::unique_ptr<CControlUI> CreateDevicePage(std::string_view element_name);

// The device layer's classes by their registered names: "CDeviceOptionUI",
// "CMpDevicePowerUI", "COrvaneUSBDevice", "COrvaneMousePadDevice", "COrvaneHS6533Device".
std::vector<std::pair<std::string, CControlFactory::Creator>> DeviceControlClasses();

}  // namespace lumora
