#pragma once
// A notification of the control tree ("click", "selectchanged", "valuechanged", ...)
// and the interface of its receivers. Notifications are the only way controls tell
// the program that the user did something.

#include <cstdint>
#include <string>

namespace lumora {

class CControlUI;

struct TNotifyUI {
    std::string sType;
    std::string sVirtualWnd;   // "virtualwnd" of the sender or its nearest ancestor
    CControlUI* pSender = nullptr;
    std::uint64_t dwTimestamp = 0;  // loop clock, milliseconds
    std::uintptr_t wParam = 0;
    std::intptr_t lParam = 0;
};

class INotifyUI {
public:
    virtual ~INotifyUI() = default;
    virtual void Notify(TNotifyUI& msg) = 0;
};

}  // namespace lumora
