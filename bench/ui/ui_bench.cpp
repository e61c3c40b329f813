// Costs on the UI thread that grow with the skin: building a keyboard-sized page,
// looking controls up by name (the main window's router does it per notification),
// and the message loop's per-task overhead.
#include <benchmark/benchmark.h>

#include <memory>
#include <string>

#include "platform/logger.h"
#include "platform/manual_clock.h"
#include "platform/message_loop.h"
#include "ui/control_factory.h"
#include "ui/container_ui.h"
#include "ui/control_ui.h"
#include "ui/dialog_builder.h"
#include "ui/paint_manager_ui.h"

namespace {

// A page like the keyboard's: 170 key buttons and 170 light buttons in rows.
std::string KeyboardSkin() {
    static const bool registered = [] {
        for (auto& [name, creator] : lumora::CControlFactory::CustomControlClasses()) {
            lumora::CControlFactory::GetInstance().RegistControl(name, creator);
        }
        return true;
    }();
    (void)registered;
    std::string xml = "<Window><VerticalLayout name=\"root\"><SelectPanel name=\"panel\">";
    for (int row = 0; row < 17; ++row) {
        xml += "<HorizontalLayout>";
        for (int i = 0; i < 10; ++i) {
            const int n = row * 10 + i;
            xml += "<Button name=\"key_" + std::to_string(n) + "\" text=\"K\" normalimage=\"k.png\"/>";
            xml += "<Button name=\"light_" + std::to_string(n) + "\" bkcolor=\"#FF000000\"/>";
        }
        xml += "</HorizontalLayout>";
    }
    xml += "</SelectPanel></VerticalLayout></Window>";
    return xml;
}

void BM_BuildKeyboardPage(benchmark::State& state) {
    lumora::Logger::SetLevel(lumora::LogLevel::Off);
    const std::string skin = KeyboardSkin();
    for (auto _ : state) {
        lumora::CDialogBuilder builder;
        auto root = builder.Create(skin);
        if (!root || !root->AsContainer() || root->AsContainer()->GetCount() != 1) state.SkipWithError("skin not built");
        benchmark::DoNotOptimize(root.get());
    }
}
BENCHMARK(BM_BuildKeyboardPage);

void BM_FindControlByName(benchmark::State& state) {
    lumora::CPaintManagerUI pm;
    lumora::CDialogBuilder builder;
    pm.AttachDialog(builder.Create(KeyboardSkin()));
    if (!pm.FindControl("light_169")) state.SkipWithError("skin not built");
    int i = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(pm.FindControl("light_" + std::to_string(i++ % 170)));
    }
}
BENCHMARK(BM_FindControlByName);

void BM_LoopPostAndProcess(benchmark::State& state) {
    lumora::MessageLoop loop(std::make_shared<lumora::ManualClock>());
    int counter = 0;
    for (auto _ : state) {
        for (int i = 0; i < 100; ++i) loop.Post([&counter] { ++counter; });
        loop.ProcessDue();
    }
    benchmark::DoNotOptimize(counter);
    state.SetItemsProcessed(state.iterations() * 100);
}
BENCHMARK(BM_LoopPostAndProcess);

}  // namespace

BENCHMARK_MAIN();
