// CPU time of `lumora --headless --demo[=...]` while it idles with its devices plugged:
// the program (and its emulated devices, which run in the same process) is started
// beside this benchmark with private XDG folders, given time to find its devices,
// then measured for 10 s from /proc/<pid>/stat. The counter cpu_percent is the share
// of one core.

#include <benchmark/benchmark.h>

#include <chrono>
#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <spawn.h>
#include <string>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

#include "platform/bus_client.h"
#include "platform/paths.h"

extern char** environ;

namespace lumora {
namespace {

using namespace std::chrono_literals;

constexpr auto kSettle = 3s;
constexpr auto kMeasure = 10s;

// utime + stime of the process, in clock ticks; -1 when it cannot be read.
long long CpuTicks(pid_t pid) {
    std::ifstream in("/proc/" + std::to_string(pid) + "/stat");
    std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    // The command name is in parentheses and may hold blanks: count fields after it.
    const size_t close = text.rfind(')');
    if (close == std::string::npos) return -1;
    std::istringstream fields(text.substr(close + 2));
    std::string field;
    long long utime = -1, stime = -1;
    for (int i = 3; fields >> field; ++i) {  // field 3 is the state
        if (i == 14) utime = std::stoll(field);
        if (i == 15) {
            stime = std::stoll(field);
            break;
        }
    }
    return utime < 0 || stime < 0 ? -1 : utime + stime;
}

class Instance {
public:
    explicit Instance(const std::string& demo) {
        char pattern[] = "/tmp/lumora-bench-XXXXXX";
        if (!mkdtemp(pattern)) return;
        folder_ = pattern;
        for (const char* sub : {"run", "config", "data"}) std::filesystem::create_directories(folder_ / sub);
        chmod((folder_ / "run").c_str(), 0700);
        std::vector<std::string> env;
        for (char** e = environ; *e; ++e) {
            const std::string_view entry = *e;
            if (!entry.starts_with("XDG_") && !entry.starts_with("LUMORA_LOG")) env.emplace_back(entry);
        }
        env.push_back("XDG_RUNTIME_DIR=" + (folder_ / "run").string());
        env.push_back("XDG_CONFIG_HOME=" + (folder_ / "config").string());
        env.push_back("XDG_DATA_HOME=" + (folder_ / "data").string());
        const std::string program = (Paths::ExecutableFolder() / "lumora").string();
        std::vector<std::string> args = {program, "--headless", demo};
        std::vector<char*> argv, envp;
        for (auto& a : args) argv.push_back(a.data());
        argv.push_back(nullptr);
        for (auto& e : env) envp.push_back(e.data());
        envp.push_back(nullptr);
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
        posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
        if (posix_spawn(&pid_, program.c_str(), &actions, nullptr, argv.data(), envp.data()) != 0) pid_ = -1;
        posix_spawn_file_actions_destroy(&actions);
    }
    ~Instance() {
        if (pid_ > 0) {
            kill(pid_, SIGTERM);
            waitpid(pid_, nullptr, 0);
        }
        std::error_code ignored;
        if (!folder_.empty()) std::filesystem::remove_all(folder_, ignored);
    }
    // Waits until it answers on its bus.
    bool Up() {
        if (pid_ <= 0) return false;
        BusClient client;
        return client.Connect("bench", 30s, folder_ / "run" / "Halvek Trine Keyboard.sock");
    }
    pid_t Pid() const { return pid_; }

private:
    std::filesystem::path folder_;
    pid_t pid_ = -1;
};

void BM_DemoIdleCpu(benchmark::State& state, const std::string& demo) {
    for (auto _ : state) {
        Instance instance(demo);
        if (!instance.Up()) {
            state.SkipWithError("lumora did not come up");
            return;
        }
        std::this_thread::sleep_for(kSettle);  // devices found, pages connected
        const long long before = CpuTicks(instance.Pid());
        const auto start = std::chrono::steady_clock::now();
        std::this_thread::sleep_for(kMeasure);
        const long long after = CpuTicks(instance.Pid());
        const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        if (before < 0 || after < 0) {
            state.SkipWithError("cannot read /proc/<pid>/stat");
            return;
        }
        const double cpu = static_cast<double>(after - before) / static_cast<double>(sysconf(_SC_CLK_TCK));
        state.SetIterationTime(seconds);
        state.counters["cpu_seconds"] = cpu;
        state.counters["cpu_percent"] = 100.0 * cpu / seconds;
    }
}

BENCHMARK_CAPTURE(BM_DemoIdleCpu, all_devices, std::string("--demo"))->Iterations(1)->UseManualTime()->Unit(benchmark::kSecond);
BENCHMARK_CAPTURE(BM_DemoIdleCpu, keyboard_only, std::string("--demo=keyboard"))->Iterations(1)->UseManualTime()->Unit(benchmark::kSecond);
BENCHMARK_CAPTURE(BM_DemoIdleCpu, headset_only, std::string("--demo=headset"))->Iterations(1)->UseManualTime()->Unit(benchmark::kSecond);

}  // namespace
}  // namespace lumora

BENCHMARK_MAIN();
