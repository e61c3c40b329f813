#include "app/automation_commands.h"

#include "app/automation_protocol.h"
#include "app/main_wnd.h"
#include "platform/logger.h"
#include "sim/sim_rig.h"
#include "ui/control_tree_dump.h"
#include "ui/control_ui.h"

namespace lumora {

namespace {
constexpr const char* kTag = "automation";

std::string UsageText() {
    std::string text = "usage:";
    for (const auto& command : AutomationProtocol::kCommands) text += "\n  " + std::string(command.usage);
    return text + "\n";
}
}  // namespace

BusReply AutomationCommands::Failed(std::string reason) {
    return BusReply{AutomationProtocol::kFailed, std::move(reason) + "\n"};
}

BusReply AutomationCommands::Execute(const std::vector<std::string>& args) {
    if (args.empty()) return BusReply{AutomationProtocol::kUsage, UsageText()};
    const auto command = AutomationProtocol::Find(args[0]);
    if (!command) return BusReply{AutomationProtocol::kUsage, "unknown command " + args[0] + "\n" + UsageText()};
    const std::size_t count = args.size() - 1;
    if (count < command->minArgs || count > command->maxArgs)
        return BusReply{AutomationProtocol::kUsage, "usage: " + std::string(command->usage) + "\n"};
    LOG_DEBUG(kTag, "%s", args[0].c_str());

    std::string error;
    if (command->name == "tree") return BusReply{AutomationProtocol::kOk, ControlTreeDump::DumpWindows()};
    if (command->name == "sim") {
        if (!rig_) return Failed("this instance runs no emulated devices (start it with --demo)");
        const SimRig::CommandResult result = rig_->Execute(args);
        const std::int32_t status = result.status == SimRig::kOk      ? AutomationProtocol::kOk
                                    : result.status == SimRig::kUsage ? AutomationProtocol::kUsage
                                                                      : AutomationProtocol::kFailed;
        std::string text = result.text;
        if (!text.empty() && text.back() != '\n') text += '\n';
        return BusReply{status, text};
    }
    if (command->name == "modal") {
        if (!WindowImplBase::AnswerModal(args[1], &error)) return Failed(error);
        return BusReply{AutomationProtocol::kOk, {}};
    }

    const std::string& controlName = command->name == "notify" ? args[2] : args[1];
    CControlUI* control = main_.FindAutomationControl(controlName, &error);
    if (!control) return Failed(error);

    if (command->name == "notify") {
        const std::string value = count == 3 ? args[3] : std::string();
        if (!control->PerformUserAction(args[1], value, &error)) return Failed(error);
        return BusReply{AutomationProtocol::kOk, {}};
    }
    if (command->name == "set") {
        if (!control->SetProperty(args[2], args[3], &error)) return Failed(error);
        return BusReply{AutomationProtocol::kOk, {}};
    }
    // get
    auto value = control->GetProperty(args[2]);
    if (!value) return Failed("no property " + args[2] + " on " + controlName);
    return BusReply{AutomationProtocol::kOk, *value + "\n"};
}

}  // namespace lumora
