// Costs of the command channel through the emulated link and the real HID code.
#include <benchmark/benchmark.h>

#include <vector>

#include "sim/sim_host.h"
#include "transport/device_transport.h"

namespace lumora {
namespace {

const char* kPath = "sim:bench#vid_320f&pid_5055&mi_01&col04";

// One request/reply round trip (BeginConfig) with the link pacing off: the software cost.
void BM_TransactRoundTrip(benchmark::State& state) {
    SimHost host;
    auto config = SimHost::CommandDevice("bench");
    config.pacing = false;
    host.Add(config);
    DeviceTransport t;
    if (!t.Open(kPath, false)) {
        state.SkipWithError("open failed");
        return;
    }
    for (auto _ : state) {
        if (t.BeginConfig() != 1) state.SkipWithError("command failed");
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_TransactRoundTrip)->UseRealTime();

// A 170-LED frame (510 bytes, 10 reports) over a paced full-speed link.
void BM_StreamLightFrame170(benchmark::State& state) {
    SimHost host;
    host.Add(SimHost::CommandDevice("bench"));
    DeviceTransport t;
    if (!t.Open(kPath, false)) {
        state.SkipWithError("open failed");
        return;
    }
    std::vector<uint8_t> frame(510, 0x40);
    int64_t reports = 0;
    for (auto _ : state) {
        if (t.StreamLightFrame(frame.data(), frame.size()) != 1) state.SkipWithError("frame failed");
        reports += 10;
    }
    state.counters["reports_per_s"] = benchmark::Counter(static_cast<double>(reports), benchmark::Counter::kIsRate);
    state.counters["link_limit_per_s"] = 1000;
}
BENCHMARK(BM_StreamLightFrame170)->UseRealTime()->MinTime(2.0);

// Framing and checksum of one report.
void BM_SealReport(benchmark::State& state) {
    uint8_t report[64] = {0x04, 0, 0, 0x06, 56, 0x10, 0x00};
    for (int i = 8; i < 64; ++i) report[i] = static_cast<uint8_t>(i * 3);
    for (auto _ : state) {
        report[8]++;
        DeviceTransport::Seal(report);
        benchmark::DoNotOptimize(report);
    }
}
BENCHMARK(BM_SealReport);

}  // namespace
}  // namespace lumora

BENCHMARK_MAIN();
