#pragma once
// The options of the lumora executable:
// lumora [--demo[=DEVICE,...]] [--headless] [--help] [--version].

#include <optional>
#include <string>
#include <vector>

namespace lumora {

class CommandLine {
public:
    bool headless = false;
    // --demo: emulated devices by name (all six for a bare --demo).
    std::optional<std::vector<std::string>> demo;
    bool help = false;
    bool version = false;
    // Set when the arguments could not be understood; the program then exits with 2.
    std::string error;

    static CommandLine Parse(const std::vector<std::string>& args);
    static CommandLine Parse(int argc, const char* const* argv);
    static std::string Usage();
};

}  // namespace lumora
