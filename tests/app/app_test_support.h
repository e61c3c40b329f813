#pragma once
// Shared set-up of the app suites: a program folder made for each test (the real
// skin and default data), private XDG folders, and LumoraApp started in this process
// on a loop whose clock the test may step.

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <string>

#include "app/automation_commands.h"
#include "app/lumora_app.h"
#include "app/main_wnd.h"
#include "platform/manual_clock.h"
#include "tests/platform/bus_test_support.h"
#include "ui/paint_manager_ui.h"

namespace lumora::testing {

inline constexpr auto kWait = std::chrono::seconds(30);  // only reached when something is broken

class AppFixture : public ::testing::Test {
protected:
    void SetUp() override {
        const std::filesystem::path data = std::filesystem::path(LUMORA_SOURCE_DIR) / "data";
        std::filesystem::copy(data / "skin", program_ / "skin", std::filesystem::copy_options::recursive);
        std::filesystem::copy(data / "DefaultData", program_ / "DefaultData",
                              std::filesystem::copy_options::recursive);
    }
    void TearDown() override {
        app_.reset();
        CPaintManagerUI::SetRenderer(nullptr);
    }

    void WriteProgramFile(const std::string& relative, const std::string& text) {
        const auto path = program_ / relative;
        std::filesystem::create_directories(path.parent_path());
        std::ofstream(path, std::ios::binary | std::ios::trunc) << text;
    }

    // Starts the program; `before_init` runs once the window exists, before it initialises.
    LumoraApp& Start(LumoraApp::Options options = {}, const std::function<void(CMainWnd&)>& before_init = {}) {
        options.programFolder = program_.Path();
        app_ = std::make_unique<LumoraApp>(options);
        EXPECT_EQ(app_->Start(), LumoraApp::StartResult::Running) << app_->Error();
        if (before_init && app_->MainWindow()) before_init(*app_->MainWindow());
        app_->Loop().RunUntilIdle();  // first show: "windowinit"
        return *app_;
    }
    CMainWnd& Main() { return *app_->MainWindow(); }

    // Runs the UI loop until done() holds; false when it did not within kWait.
    bool PumpUntil(const std::function<bool()>& done) {
        MessageLoop& loop = app_->Loop();
        bool timedOut = false;
        const auto timer = loop.NewTimerId();
        loop.SetTimer(timer, kWait, MessageLoop::TimerMode::OneShot, [&] { timedOut = true; });
        loop.RunUntil([&] { return timedOut || done(); });
        loop.KillTimer(timer);
        return done();
    }

    BusReply Ctl(const std::vector<std::string>& args) {
        return AutomationCommands(Main(), app_->Rig()).Execute(args);
    }

    TempFolder program_;
    TempFolder home_;
    RuntimeFolder runtime_;
    ScopedEnv config_{"XDG_CONFIG_HOME", (home_ / "config").string()};
    ScopedEnv data_{"XDG_DATA_HOME", (home_ / "data").string()};
    std::unique_ptr<LumoraApp> app_;
};

}  // namespace lumora::testing
