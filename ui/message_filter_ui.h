#pragma once
// A window's message filter: sees each message before the default handling.

#include "ui/window_message.h"

namespace lumora {

class IMessageFilterUI {
public:
    virtual ~IMessageFilterUI() = default;
    // Set handled to stop the message here; the return value is then its result.
    virtual LRESULT MessageHandler(const WindowMessage& msg, bool& handled) = 0;
};

}  // namespace lumora
