#pragma once
// The header of one device tab: an option of the tab group that knows its device page,
// the page's tab index, the device kind (for its icons) and its label. Selecting it shows
// the page in the bound page layout and the page's power panel in the bound power layout.

#include <string>

#include "ui/option_ui.h"

namespace lumora {

class COrvaneUSBDevice;

class CDeviceOptionUI : public COptionUI {
public:
    std::string_view GetClass() const override;
    bool IsA(std::string_view kind) const override;

    // The layout of the pages ("device_switch") and the page's index in it.
    void BindTabLayout(std::string_view layout, int index);
    const std::string& GetBindTabLayoutName() const { return page_layout_; }
    int GetBindTabIndex() const { return page_index_; }
    // The layout of the power panels ("device_power_switch") and the panel's index in it
    // (-1: the page shows no power panel).
    void BindPowerLayout(std::string_view layout, int index);
    const std::string& GetPowerLayoutName() const { return power_layout_; }
    int GetPowerIndex() const { return power_index_; }

    // Device kind 1, 2, 3, 7 (9 and 6 show as their wired devices); picks the icons.
    void SetDeviceKind(int kind);
    int GetDeviceKind() const { return device_kind_; }
    // The label: the kind name, a text identifier of the language files.
    void SetLabel(std::string_view label);
    const std::string& GetLabel() const { return label_; }
    void SetPage(COrvaneUSBDevice* page) { page_ = page; }
    COrvaneUSBDevice* GetPage() const { return page_; }
    void SetTabIndex(int index) { tab_index_ = index; }
    int GetTabIndex() const { return tab_index_; }

    void Selected(bool selected, bool trigger_event = true) override;
    std::optional<std::string> GetProperty(std::string_view name) const override;
    std::vector<std::string> PropertyNames() const override;

private:
    std::string page_layout_;
    int page_index_ = -1;
    std::string power_layout_;
    int power_index_ = -1;
    int device_kind_ = 0;
    std::string label_;
    COrvaneUSBDevice* page_ = nullptr;
    int tab_index_ = -1;
};

}  // namespace lumora
