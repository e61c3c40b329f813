#pragma once
// The program's one top-level window. At this stage it hosts the skin "XML_MAIN",
// runs until it is closed (its destruction ends the message loop), comes to the
// front when a second start hands over with UWM_PRODUCT_MSG, and tells automation
// where a control named on the command line lives.
//
// Extending it: new skin elements are rows of ElementTable(); notifications are
// routed in Notify, window messages in HandleCustomMessage; device pages make
// themselves known to automation through SelectedPage() and FindPage().

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "ui/window_impl_base.h"

namespace lumora {

class BusServer;

class CMainWnd : public WindowImplBase {
public:
    static constexpr std::string_view kClassName = "MainWnd";
    static constexpr std::string_view kSkin = "XML_MAIN";
    static constexpr std::string_view kTitle = "Halvek Trine 1.02";
    static constexpr int kWidth = 800;
    static constexpr int kHeight = 572;
    // WS_POPUP, WS_VISIBLE, WS_CLIPSIBLINGS, WS_CLIPCHILDREN, WS_CAPTION, WS_SYSMENU,
    // WS_MINIMIZEBOX: no resize border, no maximise box.
    static constexpr std::uint32_t kStyle = 0x96CA0000;
    static constexpr int kIconResource = 107;
    // The language file loaded when the window starts.
    static constexpr std::string_view kLanguageFile = "lan_en.xml";
    // Scopes of automation control names besides "main": the page kind names.
    static constexpr std::array<std::string_view, 4> kPageKinds = {"keyboard", "mouse", "MousePad", "HD"};

    // One skin element the window's CreateControl turns into an object. Element
    // names compare without case; any name not in the table gives nothing.
    struct ElementRow {
        std::string_view element;
        std::function<std::unique_ptr<CControlUI>(CMainWnd&)> create;
    };
    static const std::vector<ElementRow>& ElementTable();

    CMainWnd();
    ~CMainWnd() override;

    // Creates the window the way start-up does: no owner, title, style and size
    // above, icon 107, centred. false when the skin could not be built (GetSkinError()
    // names file and line).
    bool CreateMainWindow();

    std::string GetWindowClassName() const override;
    std::string GetSkinFile() const override;
    void InitWindow() override;
    std::unique_ptr<CControlUI> CreateControl(std::string_view element_name) override;
    void Notify(TNotifyUI& msg) override;
    LRESULT HandleCustomMessage(const WindowMessage& msg, bool& handled) override;

    // Shows the window again if it was hidden or minimised and raises it.
    void BringToFront();

    // The running instance's bus, for messages to other programs; null without one.
    void SetBus(BusServer* bus) { bus_ = bus; }
    BusServer* GetBus() const { return bus_; }

    // --- automation
    // CONTROL as lumora-ctl takes it: "name", or "scope:name" with scope "main", a
    // page kind, or the class name of another open window ("MsgWnd"). A bare name is
    // looked up on the selected page first, then in the main window. null (with the
    // reason) when there is no such control.
    CControlUI* FindAutomationControl(std::string_view control, std::string* error) const;
    // The page of the selected device tab; null while there is none.
    CControlUI* SelectedPage() const;
    // The page of a kind ("keyboard", "mouse", "MousePad", "HD"); null while it does not exist.
    CControlUI* FindPage(std::string_view kind) const;

    // UWM_PRODUCT_MSG as received (tests and diagnostics).
    int ProductMessageCount() const { return product_messages_; }
    std::intptr_t LastProductLParam() const { return last_product_lparam_; }

protected:
    LRESULT OnDestroy(const WindowMessage& msg, bool& handled) override;

private:
    static std::unique_ptr<CControlUI> BuildSubTree(CMainWnd& window, std::string_view file);
    void UpdateNoDeviceIndicator();

    BusServer* bus_ = nullptr;
    int product_messages_ = 0;
    std::intptr_t last_product_lparam_ = 0;
};

}  // namespace lumora
