#pragma once
// Lets the owner of a skin create the controls of element names the library does
// not know (custom controls, device pages, panels).

#include <memory>
#include <string_view>

namespace lumora {

class CControlUI;

class IDialogBuilderCallback {
public:
    virtual ~IDialogBuilderCallback() = default;
    // The element name as written in the skin; null when the name is not the callback's.
    virtual std::unique_ptr<CControlUI> CreateControl(std::string_view element_name) = 0;
};

}  // namespace lumora
