#include "app/lumora_app.h"

#include "app/control_classes.h"
#include "platform/bus_client.h"
#include "platform/logger.h"
#include "platform/message_catalogue.h"
#include "platform/paths.h"
#include "platform/registered_messages.h"
#include "ui/paint_manager_ui.h"
#include "ui/resource_manager.h"

namespace lumora {

namespace {
constexpr const char* kTag = "app";
}

LumoraApp::LumoraApp(Options options) : options_(std::move(options)), loop_(options_.clock) {}

LumoraApp::~LumoraApp() { Shutdown(); }

LumoraApp::StartResult LumoraApp::Start() {
    if (started_) {
        error_ = "already started";
        return StartResult::Failed;
    }
    started_ = true;
    if (options_.programFolder.empty()) options_.programFolder = Paths::ExecutableFolder();
    if (options_.programFolder.empty()) {
        error_ = "cannot find the program's folder";
        return StartResult::Failed;
    }

    fonts_.Load(options_.programFolder);

    const std::uint32_t product = RegisteredMessages::UWM_PRODUCT_MSG();
    LOG_INFO(kTag, "软件标示：%u", product);
    if (!MessageCatalogue::InRange(product)) {
        error_ = "cannot register the product message";
        return StartResult::Failed;
    }

    switch (instance_.TryAcquire()) {
        case SingleInstance::Result::AlreadyRunning:
            HandOver(options_.handOverTimeout);
            return StartResult::HandedOver;
        case SingleInstance::Result::Failed:
            // As with a failed mutex, start anyway: a program that cannot lock is still usable.
            LOG_WARNING(kTag, "starting without the single-instance lock: %s", instance_.Error().c_str());
            break;
        case SingleInstance::Result::Acquired:
            break;
    }

    PrepareUiLibrary();

    if (options_.demoDevices) {
        rig_ = std::make_unique<SimRig>(options_.demoPacing);
        std::string error;
        if (!rig_->Create(*options_.demoDevices, &error)) {
            error_ = "demo: " + error;
            return StartResult::Failed;
        }
        LOG_INFO(kTag, "demo with %zu emulated devices", rig_->Created().size());
    }

    CMainWnd::Options windowOptions;
    windowOptions.startDiscovery = options_.startDiscovery;
    windowOptions.versionText = LUMORA_VERSION;
    window_ = std::make_unique<CMainWnd>(windowOptions);
    if (!window_->CreateMainWindow()) {
        const UiLoadError& skin = window_->GetSkinError();
        error_ = "the main window could not be built";
        if (!skin.Empty()) error_ += ": " + skin.ToString();
        return StartResult::Failed;
    }
    automation_ = std::make_unique<AutomationCommands>(*window_, rig_.get());
    window_->SetBus(&bus_.Server());
    if (!bus_.Start(window_->GetHWND(), automation_.get()))
        LOG_ERROR(kTag, "other programs cannot reach this instance: %s", bus_.Server().Error().c_str());

    if (options_.watchSignals) {
        const bool watching = signals_.Start([this](int /*signal*/) {
            loop_.Post([this] {
                // Destroying the window ends the loop through its own clean-up.
                if (window_ && window_->IsWindow())
                    window_->DestroyWindow();
                else
                    loop_.Quit(0);
            });
        });
        if (!watching) SignalWatcher::UnblockSignals();
    }
    return StartResult::Running;
}

void LumoraApp::PrepareUiLibrary() {
    CPaintManagerUI::SetMessageLoop(&loop_);
    if (options_.installRenderer) options_.installRenderer(loop_);
    std::string instance = options_.programFolder.string();
    if (instance.back() != '/') instance += '/';
    CPaintManagerUI::SetInstancePath(instance);
    CPaintManagerUI::SetResourceType(1);
    CPaintManagerUI::SetResourcePath(CPaintManagerUI::GetInstancePath() + "skin/");
    // A missing table is the library's to report; the main window then names what it lacks.
    CResourceManager::GetInstance().LoadResource("res.xml");
    ControlClasses::RegisterAll();
    if (!RegisteredMessages::RegisterAll()) LOG_ERROR(kTag, "not every registered message could be registered");
}

bool LumoraApp::HandOver(std::chrono::milliseconds timeout) {
    BusClient client;
    if (!client.Connect("lumora", timeout)) {
        LOG_WARNING(kTag, "another instance holds the lock but cannot be reached: %s", client.Error().c_str());
        return false;
    }
    if (!client.Send(RegisteredMessages::kProductName, 0, 1)) {
        LOG_WARNING(kTag, "cannot hand over to the running instance: %s", client.Error().c_str());
        return false;
    }
    LOG_INFO(kTag, "another instance runs; it was asked to come to the front");
    return true;
}

int LumoraApp::Run() {
    if (!window_ || !window_->IsWindow()) return 1;
    // With a renderer its own event loop drives ours.
    return CPaintManagerUI::RunMessageLoop();
}

void LumoraApp::Shutdown() {
    if (!started_) return;
    started_ = false;
    signals_.Stop();
    bus_.Stop();
    if (window_) {
        window_->SetBus(nullptr);
        if (window_->IsWindow()) window_->DestroyWindow();
    }
    automation_.reset();
    window_.reset();
    rig_.reset();
    CResourceManager::GetInstance().Release();
    if (CPaintManagerUI::GetMessageLoop() == &loop_) CPaintManagerUI::SetMessageLoop(nullptr);
    CPaintManagerUI::ResetShared();
    instance_.Release();
    fonts_.Remove();
}

int LumoraApp::Main() {
    switch (Start()) {
        case StartResult::HandedOver:
            Shutdown();
            return 0;
        case StartResult::Failed:
            Shutdown();
            return 1;
        case StartResult::Running:
            break;
    }
    const int code = Run();
    Shutdown();
    return code;
}

}  // namespace lumora
