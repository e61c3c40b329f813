#pragma once
// The automation commands of lumora-ctl, carried out on the UI thread the way a user
// would act: "notify" delivers a user action to a control, "set" and "get" change
// and read its properties, "tree" lists every window with its controls, "modal"
// answers the open modal window, "sim" drives the emulated devices of a demo run.
// Controls are found by CMainWnd::FindAutomationControl.

#include <string>
#include <vector>

#include "platform/bus_request.h"

namespace lumora {

class CMainWnd;
class SimRig;

class AutomationCommands {
public:
    // `rig`: the emulated devices of a demo run, or null.
    explicit AutomationCommands(CMainWnd& main, SimRig* rig = nullptr) : main_(main), rig_(rig) {}

    // args as lumora-ctl sends them: the command word and its arguments.
    // UI thread only.
    BusReply Execute(const std::vector<std::string>& args);

private:
    static BusReply Failed(std::string reason);

    CMainWnd& main_;
    SimRig* rig_;
};

}  // namespace lumora
