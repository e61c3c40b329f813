// lumora [--demo[=DEVICE,...]] [--headless] [--help] [--version]
// The program's entry: options, then start-up, the message loop and shutdown.
// Exit status: 0 after a normal end or a hand-over to the running instance,
// 1 when start-up failed, 2 for a bad command line.

#include <cstdio>

#include "app/command_line.h"
#include "app/lumora_app.h"
#include "app/signal_watcher.h"
#include "platform/logger.h"

int main(int argc, char** argv) {
    using lumora::CommandLine;
    const CommandLine line = CommandLine::Parse(argc, argv);
    if (!line.error.empty()) {
        std::fprintf(stderr, "lumora: %s\n%s", line.error.c_str(), CommandLine::Usage().c_str());
        return 2;
    }
    if (line.help) {
        std::fputs(CommandLine::Usage().c_str(), stdout);
        return 0;
    }
    if (line.version) {
        std::printf("lumora %s\n", LUMORA_VERSION);
        return 0;
    }
    if (!line.headless) LOG_WARNING("app", "no window renderer is built into this program yet: running headless");

    // Before any thread starts, so every thread inherits the mask and only the
    // watcher sees the signals.
    lumora::SignalWatcher::BlockSignals();
    lumora::LumoraApp::Options options;
    options.watchSignals = true;
    options.demoDevices = line.demo;
    lumora::LumoraApp app(options);
    const int code = app.Main();
    if (code != 0 && !app.Error().empty()) std::fprintf(stderr, "lumora: %s\n", app.Error().c_str());
    return code;
}
