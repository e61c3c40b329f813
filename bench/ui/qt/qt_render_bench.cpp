// What drawing the lighting preview costs: a 340-key page whose every key changes
// colour each frame (synchronised lighting at full speed), drawn by the Qt
// renderer on the offscreen platform; and the model's cost while the window is
// hidden, when nothing is drawn.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QCoreApplication>
#include <QPixmap>

#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "platform/logger.h"
#include "platform/message_loop.h"
#include "ui/control_factory.h"
#include "ui/device_key_button_ui.h"
#include "ui/paint_manager_ui.h"
#include "ui/qt/qt_renderer.h"
#include "ui/qt/qt_window.h"
#include "ui/window_impl_base.h"

namespace {

using namespace lumora;

constexpr int kRows = 17;
constexpr int kColumns = 20;

std::string KeyPageSkin() {
    std::string xml = R"(<Window size="1000,640"><VerticalLayout name="root" bkcolor="#FF0E1015">)"
                      R"(<SelectPanel name="device_key_light" bkcolor="#FF171A21">)";
    for (int row = 0; row < kRows; ++row) {
        for (int column = 0; column < kColumns; ++column) {
            const int x = 10 + column * 48;
            const int y = 10 + row * 36;
            xml += "<DeviceKeyButton name=\"key_" + std::to_string(row * kColumns + column) +
                   "\" float=\"true\" pos=\"" + std::to_string(x) + "," + std::to_string(y) + "," +
                   std::to_string(x + 44) + "," + std::to_string(y + 32) + "\" text=\"K\"/>";
        }
    }
    xml += "</SelectPanel></VerticalLayout></Window>";
    return xml;
}

class PageWindow : public WindowImplBase {
public:
    std::string GetWindowClassName() const override { return "BenchWnd"; }
    std::string GetSkinFile() const override { return KeyPageSkin(); }
};

struct Rig {
    Rig() {
        ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
        Logger::SetLevel(LogLevel::Off);
        for (auto& [name, creator] : CControlFactory::CustomControlClasses()) {
            CControlFactory::GetInstance().RegistControl(name, creator);
        }
        CPaintManagerUI::SetMessageLoop(&loop);
        renderer = QtRenderer::Install(argc, argv, loop);
        window.Create(nullptr, "bench", WS_VISIBLE, 0, 0, 0, 1000, 640);
        for (int i = 0; i < kRows * kColumns; ++i) {
            keys.push_back(dynamic_cast<CDeviceKeyButtonUI*>(window.FindControl("key_" + std::to_string(i))));
        }
        Settle();
    }
    ~Rig() {
        window.DestroyWindow();
        Settle();
        renderer.reset();
        CPaintManagerUI::SetMessageLoop(nullptr);
    }
    void Settle() {
        for (int i = 0; i < 10; ++i) QCoreApplication::processEvents();
        renderer->Flush();
        QCoreApplication::processEvents();
    }
    void Step(int frame) {
        for (std::size_t i = 0; i < keys.size(); ++i) {
            const auto v = static_cast<std::uint32_t>((frame * 7 + static_cast<int>(i)) & 0xFF);
            keys[i]->SetKeyColor(v | (255 - v) << 8 | (v / 2) << 16, 255);
        }
    }

    int argc = 1;
    char name[8] = "bench";
    char* argv[2] = {name, nullptr};
    MessageLoop loop;
    std::unique_ptr<QtRenderer> renderer;
    PageWindow window;
    std::vector<CDeviceKeyButtonUI*> keys;
};

Rig& TheRig() {
    static Rig rig;
    return rig;
}

// All 340 keys change, the frame is applied and painted.
void BM_LightingFrame340Keys(benchmark::State& state) {
    Rig& rig = TheRig();
    rig.window.ShowWindow(true);
    rig.Settle();
    int frame = 0;
    for (auto _ : state) {
        rig.Step(frame++);
        rig.renderer->Flush();
        QCoreApplication::processEvents();  // the repaint
    }
    if (rig.keys.size() != static_cast<std::size_t>(kRows * kColumns) || !rig.keys.back()) state.SkipWithError("page");
    state.counters["paints/frame"] =
        benchmark::Counter(static_cast<double>(rig.renderer->GetStats().paints) / std::max(1, frame));
    rig.renderer->ResetStats();
}
BENCHMARK(BM_LightingFrame340Keys)->Unit(benchmark::kMillisecond);

// The same without the repaint: reading the changed keys into their widgets.
void BM_ApplyFrame340Keys(benchmark::State& state) {
    Rig& rig = TheRig();
    rig.window.ShowWindow(true);
    rig.Settle();
    int frame = 0;
    for (auto _ : state) {
        rig.Step(frame++);
        rig.renderer->Flush();
    }
    QCoreApplication::processEvents();
}
BENCHMARK(BM_ApplyFrame340Keys)->Unit(benchmark::kMillisecond);

// The whole window drawn into an image (a screenshot).
void BM_GrabWindow340Keys(benchmark::State& state) {
    Rig& rig = TheRig();
    rig.window.ShowWindow(true);
    rig.Step(1);
    rig.Settle();
    QtWindow* window = rig.renderer->WindowFor(rig.window);
    for (auto _ : state) {
        QPixmap shot = window->grab();
        benchmark::DoNotOptimize(shot.cacheKey());
    }
}
BENCHMARK(BM_GrabWindow340Keys)->Unit(benchmark::kMillisecond);

// The same 340 changes while the window is hidden: only bookkeeping.
void BM_LightingFrame340KeysHidden(benchmark::State& state) {
    Rig& rig = TheRig();
    rig.window.ShowWindow(false);
    rig.Settle();
    int frame = 0;
    for (auto _ : state) {
        rig.Step(frame++);
        rig.renderer->Flush();
        QCoreApplication::processEvents();
    }
    rig.window.ShowWindow(true);
}
BENCHMARK(BM_LightingFrame340KeysHidden)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
