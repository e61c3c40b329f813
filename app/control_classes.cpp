#include "app/control_classes.h"

#include <algorithm>
#include <string_view>

#include "devices/device_page_factory.h"
#include "platform/logger.h"

namespace lumora {

const std::vector<ControlClasses::Row>& ControlClasses::Table() {
    // The order of registration; the creators come from the layers that own the classes.
    // Rows of classes that come with later layers are inserted at their place:
    // "CUpdateInfoListItemUI" before "CDeviceOptionUI", the settings panels before
    // "COrvaneUSBDevice".
    static constexpr std::string_view kOrder[] = {
        "CCircleProgressUI",     "CChartViewUI",        "CWndUI",
        "CSelectPanelUI",        "CDeviceKeyButtonUI",  "CHandImgButtonUI",
        "CHandImgSelectButtonUI", "CRedioMacroButtonUI", "CAudioRecordUI",
        "CDeviceOptionUI",       "CMpDevicePowerUI",    "CComboEditContainerElementUI",
        "COrvaneUSBDevice",      "COrvaneMousePadDevice", "COrvaneHS6533Device",
    };
    static const std::vector<Row> table = [] {
        auto known = CControlFactory::CustomControlClasses();
        for (auto& entry : DeviceControlClasses()) known.push_back(std::move(entry));
        std::vector<Row> rows;
        for (std::string_view name : kOrder) {
            const auto it = std::find_if(known.begin(), known.end(), [&](const auto& e) { return e.first == name; });
            if (it == known.end()) {
                LOG_ERROR("app", "no creator for control class %.*s", static_cast<int>(name.size()), name.data());
                continue;
            }
            rows.push_back(Row{name, it->second});  // `name` views a literal; `known` goes away
        }
        return rows;
    }();
    return table;
}

void ControlClasses::RegisterAll() {
    CControlFactory& factory = CControlFactory::GetInstance();
    for (const Row& row : Table()) factory.RegistControl(row.name, row.create);
}

}  // namespace lumora
