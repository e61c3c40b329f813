#include "ui/control_factory.h"

#include <algorithm>

#include "ui/audio_record_ui.h"
#include "ui/button_ui.h"
#include "ui/chart_view_ui.h"
#include "ui/check_box_ui.h"
#include "ui/circle_progress_ui.h"
#include "ui/color_palette_ui.h"
#include "ui/combo_edit_container_element_ui.h"
#include "ui/combo_ui.h"
#include "ui/container_ui.h"
#include "ui/device_key_button_ui.h"
#include "ui/edit_ui.h"
#include "ui/hand_img_button_ui.h"
#include "ui/hand_img_select_button_ui.h"
#include "ui/horizontal_layout_ui.h"
#include "ui/label_ui.h"
#include "ui/list_container_element_ui.h"
#include "ui/list_label_element_ui.h"
#include "ui/list_text_element_ui.h"
#include "ui/list_ui.h"
#include "ui/menu_element_ui.h"
#include "ui/menu_ui.h"
#include "ui/option_ui.h"
#include "ui/progress_ui.h"
#include "ui/redio_macro_button_ui.h"
#include "ui/rich_edit_ui.h"
#include "ui/select_panel_ui.h"
#include "ui/slider_ui.h"
#include "ui/tab_layout_ui.h"
#include "ui/text_ui.h"
#include "ui/vertical_layout_ui.h"
#include "ui/wnd_ui.h"

namespace lumora {

namespace {
template <typename T>
CControlFactory::Creator Make() {
    return [] { return std::unique_ptr<CControlUI>(std::make_unique<T>()); };
}
}  // namespace

CControlFactory& CControlFactory::GetInstance() {
    static CControlFactory factory;
    return factory;
}

CControlFactory::CControlFactory() {
    builtin_ = {
        {"Control", Make<CControlUI>()},
        {"Container", Make<CContainerUI>()},
        {"VerticalLayout", Make<CVerticalLayoutUI>()},
        {"HorizontalLayout", Make<CHorizontalLayoutUI>()},
        {"TabLayout", Make<CTabLayoutUI>()},
        {"Label", Make<CLabelUI>()},
        {"Text", Make<CTextUI>()},
        {"Button", Make<CButtonUI>()},
        {"Option", Make<COptionUI>()},
        {"CheckBox", Make<CCheckBoxUI>()},
        {"Edit", Make<CEditUI>()},
        {"RichEdit", Make<CRichEditUI>()},
        {"Progress", Make<CProgressUI>()},
        {"Slider", Make<CSliderUI>()},
        {"Combo", Make<CComboUI>()},
        {"List", Make<CListUI>()},
        {"ListLabelElement", Make<CListLabelElementUI>()},
        {"ListTextElement", Make<CListTextElementUI>()},
        {"ListContainerElement", Make<CListContainerElementUI>()},
        {"ColorPalette", Make<CColorPaletteUI>()},
        {"Menu", Make<CMenuUI>()},
        {"MenuElement", Make<CMenuElementUI>()},
    };
}

std::unique_ptr<CControlUI> CControlFactory::CreateBuiltin(std::string_view element_name) const {
    auto it = builtin_.find(element_name);
    return it == builtin_.end() ? nullptr : it->second();
}

bool CControlFactory::IsBuiltin(std::string_view element_name) const { return builtin_.count(element_name) != 0; }

std::unique_ptr<CControlUI> CControlFactory::CreateControl(std::string_view name) const {
    if (name.empty() || name.size() > 256) return nullptr;
    auto it = registered_.find(name);
    if (it == registered_.end()) it = registered_.find("C" + std::string(name) + "UI");
    return it == registered_.end() ? nullptr : it->second();
}

void CControlFactory::RegistControl(std::string_view class_name, Creator creator) {
    if (class_name.empty() || !creator) return;
    auto [it, inserted] = registered_.insert_or_assign(std::string(class_name), std::move(creator));
    if (inserted) order_.push_back(it->first);
}

bool CControlFactory::UnregistControl(std::string_view class_name) {
    auto it = registered_.find(class_name);
    if (it == registered_.end()) return false;
    order_.erase(std::remove_if(order_.begin(), order_.end(),
                                [&](const std::string& n) { return UiText::EqualsNoCase(n, class_name); }),
                 order_.end());
    registered_.erase(it);
    return true;
}

std::vector<std::string> CControlFactory::RegisteredNames() const { return order_; }

std::vector<std::pair<std::string, CControlFactory::Creator>> CControlFactory::CustomControlClasses() {
    return {
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
}

}  // namespace lumora
