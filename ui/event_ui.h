#pragma once
// An event the paint manager delivers to one control (DoEvent).

#include <cstdint>

namespace lumora {

class CControlUI;

enum class UiEventType { Timer, SetFocus, KillFocus };

struct TEventUI {
    UiEventType Type = UiEventType::Timer;
    CControlUI* pSender = nullptr;
    std::uintptr_t wParam = 0;   // timer id for Timer
    std::intptr_t lParam = 0;
};

}  // namespace lumora
