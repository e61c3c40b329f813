#pragma once
// A pop-up menu built from a menu skin (<Menu> with <MenuElement> items, items
// nested for submenus). A click on an item posts WM_MENUCLICK to the window whose
// paint manager opened the menu, with a MenuCmd payload (item name, text, user
// data, check state) and lParam 1 when checked, and closes the menu. The menu also
// closes with its owner window. Headless, the point and alignment are recorded.

#include <map>
#include <string>
#include <string_view>

#include "ui/ui_rect.h"
#include "ui/window_impl_base.h"

namespace lumora {

class CMenuElementUI;

class CMenuWnd : public WindowImplBase {
public:
    using CheckMap = std::map<std::string, bool, std::less<>>;
    // Alignment flags, as the program passes them.
    static constexpr int kAlignLeft = 2;
    static constexpr int kAlignTop = 4;
    static constexpr int kAlignRight = 8;
    static constexpr int kAlignBottom = 16;

    // Builds and shows the menu. owner_element is the item of a parent menu (null
    // for a top menu); checks, when given, supplies and receives the check marks of
    // check items by item name. false when the menu skin cannot be built.
    bool Init(CMenuElementUI* owner_element, std::string_view xml, UiPoint point, CPaintManagerUI* owner_manager,
              CheckMap* checks = nullptr, int alignment = kAlignLeft | kAlignTop);

    UiPoint GetPoint() const { return point_; }
    int GetAlignment() const { return alignment_; }

    std::string GetWindowClassName() const override;
    std::string GetSkinFile() const override;
    void InitWindow() override;

    // Called by an item the user clicked.
    void OnItemClicked(CMenuElementUI& item);

private:
    std::string xml_;
    UiPoint point_;
    int alignment_ = kAlignLeft | kAlignTop;
    CheckMap* checks_ = nullptr;
    CWindowWnd::Handle owner_window_ = 0;
};

}  // namespace lumora
