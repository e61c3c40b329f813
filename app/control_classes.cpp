#include "app/control_classes.h"

#include <memory>

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
    // "CUpdateInfoListItemUI", "CDeviceOptionUI" and "CMpDevicePowerUI" before
    // "CComboEditContainerElementUI"; the settings panels and the device pages after it.
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
        {"CComboEditContainerElementUI", Make<CComboEditContainerElementUI>()},
    };
    return table;
}

void ControlClasses::RegisterAll() {
    CControlFactory& factory = CControlFactory::GetInstance();
    for (const Row& row : Table()) factory.RegistControl(row.name, row.create);
}

}  // namespace lumora
