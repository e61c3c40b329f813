#pragma once
// Creates controls by name. The library's own element names ("Button", "Option",
// "TabLayout", ...) are built in; the program registers its control classes by
// their class names ("CCircleProgressUI"). A skin element X is found as X or as
// "C" X "UI". Names are compared without regard to case.

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "ui/ui_text.h"

namespace lumora {

class CControlUI;

class CControlFactory {
public:
    using Creator = std::function<std::unique_ptr<CControlUI>()>;

    static CControlFactory& GetInstance();

    // The library's element names (Control, Container, VerticalLayout, ...).
    std::unique_ptr<CControlUI> CreateBuiltin(std::string_view element_name) const;
    bool IsBuiltin(std::string_view element_name) const;
    // A registered class, by its name or by element name X for "CXUI".
    std::unique_ptr<CControlUI> CreateControl(std::string_view name) const;
    // Registering a name again replaces its creator.
    void RegistControl(std::string_view class_name, Creator creator);
    bool UnregistControl(std::string_view class_name);
    std::vector<std::string> RegisteredNames() const;  // in registration order

    // The small custom controls of the program ("CCircleProgressUI", "CChartViewUI",
    // "CWndUI", "CSelectPanelUI", "CDeviceKeyButtonUI", "CHandImgButtonUI",
    // "CHandImgSelectButtonUI", "CRedioMacroButtonUI", "CAudioRecordUI",
    // "CComboEditContainerElementUI"), each a creator of that class.
    static std::vector<std::pair<std::string, Creator>> CustomControlClasses();

private:
    CControlFactory();

    std::map<std::string, Creator, UiText::LessNoCase> builtin_;
    std::map<std::string, Creator, UiText::LessNoCase> registered_;
    std::vector<std::string> order_;
};

}  // namespace lumora
