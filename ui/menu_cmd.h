#pragma once
// The record a menu click carries to the window that opened the menu (payload of
// WM_MENUCLICK).

#include <string>

namespace lumora {

struct MenuCmd {
    std::string name;      // the item's control name: what the program acts on
    std::string text;
    std::string user_data;
    bool checked = false;
};

}  // namespace lumora
