#pragma once
// The control classes the program registers with the UI library's factory at
// start-up, by class name and in a fixed order, so skins (and the sub-trees built
// without a builder callback) can name them.

#include <string_view>
#include <vector>

#include "ui/control_factory.h"

namespace lumora {

class ControlClasses {
public:
    struct Row {
        std::string_view name;
        CControlFactory::Creator create;
    };

    // In registration order.
    static const std::vector<Row>& Table();
    // Registers every row with CControlFactory::GetInstance(), in table order.
    static void RegisterAll();
};

}  // namespace lumora
