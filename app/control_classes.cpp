#include "app/control_classes.h"

#include <memory>

#include "devices/device_option_ui.h"
#include "devices/mp_device_power_ui.h"
#include "devices/orvane_hs6533_device.h"
#include "devices/orvane_mouse_pad_device.h"
#include "devices/orvane_usb_device.h"
#include "ui/audio_record_ui.h"
#include "ui/chart_view_ui.h"
#include "ui/circle_progress_ui.h"
#include "ui/combo_edit_container_element_ui.h"
#include "ui/device_key_button_ui.h"
#include "ui/hand_img_button_ui.h"
#include "ui/hand_img_select_button_ui.h"
#include "ui/redio_macro_button_ui.h"
#include "ui/select_panel_ui.h"
#include "ui/wnd_ui.h"

namespace lumora {

namespace {
template <typename T>
CControlFactory::Creator Make() {
    return [] { return std::unique_ptr<CControlUI>(std::make_unique<T>()); };
}
}  // namespace

const std::vector<ControlClasses::Row>& ControlClasses::Table() {
    // Rows of classes that come with later layers are inserted at their place:
    // "CUpdateInfoListItemUI" before "CDeviceOptionUI", the settings panels before
    // "COrvaneUSBDevice".
    static const std::vector<Row> table = {
        {"CCircleProgressUI", Make<CCircleProgressUI>()},
        {"CChartViewUI", Make<CChartViewUI>()},
        {"CWndUI", Make<CWndUI>()},
        {"CSelectPanelUI", Make<CSelectPanelUI>()},
        {"CDeviceKeyButtonUI", Make<CDeviceKeyButtonUI>()},
        {"CHandImgButtonUI", Make<CHandImgButtonUI>()},
        {"CHandImgSelectButtonUI", Make<CHandImgSelectButtonUI>()},
        {"CRedioMacroButtonUI", Make<CRedioMacroButtonUI>()},
        {"CAudioRecordUI", Make<CAudioRecordUI>()},
        {"CDeviceOptionUI", Make<CDeviceOptionUI>()},
        {"CMpDevicePowerUI", Make<CMpDevicePowerUI>()},
        {"CComboEditContainerElementUI", Make<CComboEditContainerElementUI>()},
        {"COrvaneUSBDevice", Make<COrvaneUSBDevice>()},
        {"COrvaneMousePadDevice", Make<COrvaneMousePadDevice>()},
        {"COrvaneHS6533Device", Make<COrvaneHS6533Device>()},
    };
    return table;
}

void ControlClasses::RegisterAll() {
    CControlFactory& factory = CControlFactory::GetInstance();
    for (const Row& row : Table()) factory.RegistControl(row.name, row.create);
}

}  // namespace lumora
