#pragma once
// What lumora-ctl and the running instance agree on: the commands with their
// argument counts, and the exit statuses the instance replies with. Header only,
// so the tool does not link the UI.

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string_view>

namespace lumora {

struct AutomationProtocol {
    static constexpr std::int32_t kOk = 0;
    static constexpr std::int32_t kNoInstance = 1;  // lumora-ctl only: nothing answers on the bus
    static constexpr std::int32_t kUsage = 2;
    static constexpr std::int32_t kFailed = 3;      // unknown control, refused action, bad value

    struct Command {
        std::string_view name;
        std::size_t minArgs;  // after the command word
        std::size_t maxArgs;
        std::string_view usage;
    };

    static constexpr std::array<Command, 6> kCommands = {{
        {"notify", 2, 3, "notify TYPE CONTROL [VALUE]"},
        {"set", 3, 3, "set CONTROL PROPERTY VALUE"},
        {"get", 2, 2, "get CONTROL PROPERTY"},
        {"tree", 0, 0, "tree"},
        {"modal", 1, 1, "modal ANSWER"},
        {"sim", 1, 8, "sim plug|unplug|event|fault|link|dump|list [DEVICE ...]"},
    }};

    static std::optional<Command> Find(std::string_view name) {
        for (const Command& command : kCommands)
            if (command.name == name) return command;
        return std::nullopt;
    }
};

}  // namespace lumora
