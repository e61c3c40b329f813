// lumora-ctl COMMAND [ARGUMENT...]
// Drives the running Lumora instance over the local bus, the way a user would:
//   notify TYPE CONTROL [VALUE]   deliver a user action ("click", "selectchanged", ...)
//   set CONTROL PROPERTY VALUE    change a property of a control
//   get CONTROL PROPERTY          print a property of a control
//   tree                          print every window with its controls
//   modal ANSWER                  answer the open modal window (a control name, a result, or "close")
//   sim COMMAND DEVICE ...        drive the emulated devices of a demo run (plug, unplug, event,
//                                 fault, link, dump, list)
// CONTROL is "name" or "scope:name" (scope "main" or a device page kind).
// Output is plain text, one value per line. Exit status: 0 success, 1 no running
// instance, 2 bad command line, 3 the instance refused or failed.

#include <chrono>
#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

#include "app/automation_protocol.h"
#include "platform/bus_client.h"

namespace {

using lumora::AutomationProtocol;

constexpr std::chrono::milliseconds kConnectTimeout{1000};
// Commands run on the instance's UI thread; a modal window it opens answers at once.
constexpr std::chrono::milliseconds kReplyTimeout{30000};

void PrintUsage(FILE* out) {
    std::fputs("usage: lumora-ctl COMMAND [ARGUMENT...]\n", out);
    for (const auto& command : AutomationProtocol::kCommands)
        std::fprintf(out, "  lumora-ctl %.*s\n", static_cast<int>(command.usage.size()), command.usage.data());
    std::fputs("CONTROL is a control name, or SCOPE:NAME with SCOPE main or a device page kind\n"
               "(keyboard, mouse, MousePad, HD); a bare name means the selected page, then the main window.\n",
               out);
}

}  // namespace

int main(int argc, char** argv) {
    std::vector<std::string> args(argv + 1, argv + argc);
    if (args.size() == 1 && (args[0] == "--help" || args[0] == "-h")) {
        PrintUsage(stdout);
        return AutomationProtocol::kOk;
    }
    if (args.empty()) {
        PrintUsage(stderr);
        return AutomationProtocol::kUsage;
    }
    const auto command = AutomationProtocol::Find(args[0]);
    if (!command) {
        std::fprintf(stderr, "lumora-ctl: unknown command %s\n", args[0].c_str());
        PrintUsage(stderr);
        return AutomationProtocol::kUsage;
    }
    const std::size_t count = args.size() - 1;
    if (count < command->minArgs || count > command->maxArgs) {
        std::fprintf(stderr, "usage: lumora-ctl %.*s\n", static_cast<int>(command->usage.size()),
                     command->usage.data());
        return AutomationProtocol::kUsage;
    }

    lumora::BusClient client;
    if (!client.Connect("lumora-ctl", kConnectTimeout)) {
        if (client.NoInstance()) {
            std::fprintf(stderr, "lumora-ctl: Lumora is not running (%s)\n", client.Error().c_str());
            return AutomationProtocol::kNoInstance;
        }
        std::fprintf(stderr, "lumora-ctl: cannot reach Lumora: %s\n", client.Error().c_str());
        return AutomationProtocol::kFailed;
    }
    const auto reply = client.Request(args, kReplyTimeout);
    if (!reply) {
        std::fprintf(stderr, "lumora-ctl: no answer from Lumora: %s\n", client.Error().c_str());
        return AutomationProtocol::kFailed;
    }
    if (reply->status == AutomationProtocol::kOk) {
        std::fwrite(reply->text.data(), 1, reply->text.size(), stdout);
        return AutomationProtocol::kOk;
    }
    std::fprintf(stderr, "lumora-ctl: %s", reply->text.c_str());
    if (reply->text.empty() || reply->text.back() != '\n') std::fputc('\n', stderr);
    // Statuses outside the documented ones still mean failure.
    if (reply->status == AutomationProtocol::kUsage) return AutomationProtocol::kUsage;
    return AutomationProtocol::kFailed;
}
