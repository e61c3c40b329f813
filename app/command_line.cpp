#include "app/command_line.h"

namespace lumora {

CommandLine CommandLine::Parse(const std::vector<std::string>& args) {
    CommandLine line;
    for (const std::string& arg : args) {
        if (arg == "--headless") {
            line.headless = true;
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
    return "usage: lumora [--headless] [--help] [--version]\n"
           "Configures the keyboard, mouse, mouse pad and headset of the Halvek Trine family.\n"
           "  --headless  run without showing a window (driven by lumora-ctl)\n"
           "  --help      show this text\n"
           "  --version   show the version\n"
           "A second start hands over to the running instance and exits.\n";
}

}  // namespace lumora
