#pragma once
// The program's start and end. Start-up, in order: the private fonts, the
// product message, the single-instance claim (a second start hands over to the
// running instance with UWM_PRODUCT_MSG, wParam 0, lParam 1, and ends), the UI
// library (instance path = program folder, resources from its "skin" folder, the
// control classes, the registered messages), the main window, then the bus. Run()
// runs the message loop until the main window is destroyed. Shutdown() undoes it
// all in reverse: bus, window, library, instance claim, fonts; every thread is
// joined by then.
//
// One LumoraApp per process at a time (the UI library's settings are process-wide).
// Build it, Start it, Run it and shut it down on one thread: it becomes the UI thread.
//
// A demo run (Options::demoDevices) puts emulated devices in place of the machine's
// HID devices before the main window starts looking for devices; lumora-ctl's "sim"
// commands then reach them.

#include <chrono>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/automation_commands.h"
#include "app/instance_bus.h"
#include "app/main_wnd.h"
#include "app/private_fonts.h"
#include "app/signal_watcher.h"
#include "platform/clock.h"
#include "platform/message_loop.h"
#include "platform/single_instance.h"
#include "sim/sim_rig.h"

namespace lumora {

class LumoraApp {
public:
    struct Options {
        // Where "skin" and "Font" are found; the executable's folder when empty.
        std::filesystem::path programFolder;
        // The loop's clock; the real one when null.
        std::shared_ptr<Clock> clock;
        // Close the window on SIGTERM, SIGINT and SIGHUP (the executable); the
        // signals must have been blocked before any thread started.
        bool watchSignals = false;
        // Time a second start waits for the running instance's bus.
        std::chrono::milliseconds handOverTimeout{5000};
        // Emulated devices by name (SimRig::Names()); none: the machine's own devices.
        std::optional<std::vector<std::string>> demoDevices;
        // Model the full-speed USB link of the emulated devices (the demo does).
        bool demoPacing = true;
        // Run the discovery thread; off, tests run the passes on the UI thread.
        bool startDiscovery = true;
        // Installs a window renderer once the UI library has its loop (the Qt one in the
        // executable); none keeps the program headless.
        std::function<void(MessageLoop&)> installRenderer;
    };

    enum class StartResult {
        Running,     // this is the instance: Run() next
        HandedOver,  // another instance runs and was told to come to the front
        Failed,      // see Error(); the process should exit non-zero
    };

    explicit LumoraApp(Options options);
    ~LumoraApp();
    LumoraApp(const LumoraApp&) = delete;
    LumoraApp& operator=(const LumoraApp&) = delete;

    StartResult Start();
    // Runs the loop until the main window is gone; returns the loop's exit code.
    int Run();
    // Idempotent; also called by the destructor.
    void Shutdown();

    // Start, Run and Shutdown; the process exit code (0 also when handed over).
    int Main();

    // What a second start does: tell the running instance, over its bus, to come to
    // the front (UWM_PRODUCT_MSG, wParam 0, lParam 1). false when it cannot be reached.
    static bool HandOver(std::chrono::milliseconds timeout);

    MessageLoop& Loop() { return loop_; }
    CMainWnd* MainWindow() { return window_.get(); }
    InstanceBus& Bus() { return bus_; }
    const PrivateFonts& Fonts() const { return fonts_; }
    const std::string& Error() const { return error_; }
    // The emulated devices of a demo run; null otherwise.
    SimRig* Rig() { return rig_.get(); }

private:
    void PrepareUiLibrary();

    Options options_;
    MessageLoop loop_;
    PrivateFonts fonts_;
    SingleInstance instance_;
    // Outlives the window: the pages close their transports before the devices go.
    std::unique_ptr<SimRig> rig_;
    std::unique_ptr<CMainWnd> window_;
    std::unique_ptr<AutomationCommands> automation_;
    InstanceBus bus_{loop_};
    SignalWatcher signals_;
    std::string error_;
    bool started_ = false;
};

}  // namespace lumora
