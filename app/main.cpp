// lumora [--demo[=DEVICE,...]] [--headless] [--help] [--version]
// The program's entry: options, then start-up, the message loop and shutdown.
// Exit status: 0 after a normal end or a hand-over to the running instance,
// 1 when start-up failed, 2 for a bad command line.

#include <cstdio>
#include <memory>

#include "app/command_line.h"
#include "app/lumora_app.h"
#include "app/signal_watcher.h"
#include "platform/logger.h"
#ifdef LUMORA_WITH_QT
#include "ui/qt/qt_renderer.h"
#endif

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
#ifdef LUMORA_WITH_QT
    std::unique_ptr<lumora::QtRenderer> renderer;
    if (!line.headless) {
        std::string why;
        if (!lumora::QtRenderer::DisplayAvailable(&why)) {
            std::fprintf(stderr, "lumora: no display to show the window on (%s).\n"
                                 "Run it with --headless to use it without a window.\n", why.c_str());
            return 1;
        }
    }
#else
    if (!line.headless) LOG_WARNING("app", "this build has no window renderer (Qt 6 was not found): running headless");
#endif

    // Before any thread starts, so every thread inherits the mask and only the
    // watcher sees the signals.
    lumora::SignalWatcher::BlockSignals();
    lumora::LumoraApp::Options options;
    options.watchSignals = true;
    options.demoDevices = line.demo;
#ifdef LUMORA_WITH_QT
    if (!line.headless)
        options.installRenderer = [&](lumora::MessageLoop& loop) { renderer = lumora::QtRenderer::Install(argc, argv, loop); };
#endif
    lumora::LumoraApp app(options);
    const int code = app.Main();
#ifdef LUMORA_WITH_QT
    // The windows are gone with the app's shutdown; the renderer (and Qt) go last.
    renderer.reset();
#endif
    if (code != 0 && !app.Error().empty()) std::fprintf(stderr, "lumora: %s\n", app.Error().c_str());
    return code;
}
