#include "app/command_line.h"

#include "sim/sim_rig.h"

namespace lumora {

CommandLine CommandLine::Parse(const std::vector<std::string>& args) {
    CommandLine line;
    for (const std::string& arg : args) {
        if (arg == "--headless") {
            line.headless = true;
        } else if (arg == "--demo" || arg.starts_with("--demo=")) {
            std::vector<std::string> names;
            std::string error;
            const std::string_view list = arg == "--demo" ? std::string_view() : std::string_view(arg).substr(7);
            if (arg != "--demo" && list.empty()) {
                if (line.error.empty()) line.error = "--demo= names no device";
            } else if (!SimRig::ParseDeviceList(list, &names, &error)) {
                if (line.error.empty()) line.error = "--demo: " + error;
            } else {
                line.demo = std::move(names);
            }
        } else if (arg == "--help" || arg == "-h") {
            line.help = true;
        } else if (arg == "--version") {
            line.version = true;
        } else if (line.error.empty()) {
            line.error = (arg.size() > 1 && arg[0] == '-' ? "unknown option " : "unexpected argument ") + arg;
        }
    }
    return line;
}

CommandLine CommandLine::Parse(int argc, const char* const* argv) {
    std::vector<std::string> args;
    for (int i = 1; i < argc; ++i) args.emplace_back(argv[i]);
    return Parse(args);
}

std::string CommandLine::Usage() {
    return "usage: lumora [--demo[=DEVICE,...]] [--headless] [--help] [--version]\n"
           "Configures the keyboard, mouse, mouse pad and headset of the Halvek Trine family.\n"
           "  --demo      run with emulated devices instead of the machine's (all of them, or the\n"
           "              ones named: keyboard, keyboard-receiver, mouse, mouse-receiver,\n"
           "              mousepad, headset); lumora-ctl sim plugs and unplugs them\n"
           "  --headless  run without showing a window (driven by lumora-ctl)\n"
           "  --help      show this text\n"
           "  --version   show the version\n"
           "A second start hands over to the running instance and exits.\n";
}

}  // namespace lumora
