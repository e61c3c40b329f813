#pragma once
// The automation commands of lumora-ctl, carried out on the UI thread the way a user
// would act: "notify" delivers a user action to a control, "set" and "get" change
// and read its properties, "tree" lists every window with its controls, "modal"
// answers the open modal window. Controls are found by CMainWnd::FindAutomationControl.

#include <string>
#include <vector>

#include "platform/bus_request.h"

namespace lumora {

class CMainWnd;

class AutomationCommands {
public:
    explicit AutomationCommands(CMainWnd& main) : main_(main) {}

    // args as lumora-ctl sends them: the command word and its arguments.
    // UI thread only.
    BusReply Execute(const std::vector<std::string>& args);

private:
    static BusReply Failed(std::string reason);

    CMainWnd& main_;
};

}  // namespace lumora
