#include "platform/bus_client.h"
#include "platform/bus_server.h"
#include "platform/paths.h"
#include "platform/single_instance.h"

#include "tests/platform/bus_test_support.h"

#include <gtest/gtest.h>

#include <csignal>
#include <fcntl.h>
#include <cstring>
#include <fstream>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace lumora {
namespace {

using namespace std::chrono_literals;
using testing::Collector;
using testing::LogCatcher;
using testing::RuntimeFolder;

TEST(SingleInstanceTest, OneHolderAtATime) {
    RuntimeFolder runtime;
    SingleInstance first;
    EXPECT_EQ(first.LockFile(), runtime.Lock());
    SingleInstance second;
    EXPECT_EQ(first.TryAcquire(), SingleInstance::Result::Acquired);
    EXPECT_EQ(first.TryAcquire(), SingleInstance::Result::Acquired);
    EXPECT_EQ(second.TryAcquire(), SingleInstance::Result::AlreadyRunning);
    EXPECT_FALSE(second.Held());
    first.Release();
    EXPECT_EQ(second.TryAcquire(), SingleInstance::Result::Acquired);
    EXPECT_TRUE(std::filesystem::exists(runtime.Lock()));
}

TEST(SingleInstanceTest, NoLockFileMeansFailureNotAClaim) {
    LogCatcher log;
    SingleInstance nowhere{std::filesystem::path()};
    EXPECT_EQ(nowhere.TryAcquire(), SingleInstance::Result::Failed);
    SingleInstance missingFolder("/nonexistent-folder/x.lock");
    EXPECT_EQ(missingFolder.TryAcquire(), SingleInstance::Result::Failed);
    EXPECT_FALSE(missingFolder.Error().empty());
}

// A process that takes the lock and binds the socket the way a running instance
// does, then is killed: what it leaves behind must not block the next start.
TEST(SingleInstanceTest, StaleLockAndSocketOfAKilledInstanceDoNotBlock) {
    RuntimeFolder runtime;
    int ready[2];
    ASSERT_EQ(pipe(ready), 0);
    pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        // No other thread runs at the fork, so the child may use the library.
        close(ready[0]);
        SingleInstance instance(runtime.Lock());
        if (instance.TryAcquire() != SingleInstance::Result::Acquired) _exit(2);
        int fd = socket(AF_UNIX, SOCK_STREAM, 0);
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        std::strncpy(address.sun_path, runtime.Socket().c_str(), sizeof address.sun_path - 1);
        if (bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 || listen(fd, 4) != 0) _exit(3);
        char ok = 1;
        if (write(ready[1], &ok, 1) != 1) _exit(4);
        for (;;) pause();
    }
    close(ready[1]);
    char ok = 0;
    ASSERT_EQ(read(ready[0], &ok, 1), 1) << "the child could not take the lock and socket";
    close(ready[0]);

    SingleInstance instance;
    EXPECT_EQ(instance.TryAcquire(), SingleInstance::Result::AlreadyRunning);
    {
        BusServer refused;
        LogCatcher log;
        EXPECT_FALSE(refused.Start());  // the child's socket still answers
    }

    ASSERT_EQ(kill(child, SIGKILL), 0);
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFSIGNALED(status));
    ASSERT_TRUE(std::filesystem::exists(runtime.Socket()));  // left behind

    EXPECT_EQ(instance.TryAcquire(), SingleInstance::Result::Acquired);
    BusServer server;
    Collector<BusMessage> messages;
    server.SetMessageHandler([&](const BusMessage& m) { messages.Add(m); });
    ASSERT_TRUE(server.Start()) << server.Error();
    BusClient second;
    ASSERT_TRUE(second.Connect("lumora", 30s)) << second.Error();
    ASSERT_TRUE(second.Send("Halvek Trine Keyboard", 0, 1));
    ASSERT_TRUE(messages.WaitFor(1));
    EXPECT_EQ(messages.Items()[0].lParam, 1);
    server.Stop();
}

struct ToolRun {
    int exitCode = -1;
    std::string errorText;
};

ToolRun RunLumoraMsg(std::vector<std::string> args) {
    std::string tool = (Paths::ExecutableFolder() / "lumora-msg").string();
    args.insert(args.begin(), tool);
    std::vector<char*> argv;
    for (auto& a : args) argv.push_back(a.data());
    argv.push_back(nullptr);
    int err[2];
    if (pipe2(err, O_CLOEXEC) != 0) return {};
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, err[1], 2);
    pid_t pid = 0;
    int rc = posix_spawn(&pid, tool.c_str(), &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    close(err[1]);
    ToolRun run;
    if (rc != 0) {
        close(err[0]);
        run.errorText = "cannot start " + tool;
        return run;
    }
    char buffer[1024];
    ssize_t n;
    while ((n = read(err[0], buffer, sizeof buffer)) > 0) run.errorText.append(buffer, static_cast<std::size_t>(n));
    close(err[0]);
    int status = 0;
    waitpid(pid, &status, 0);
    run.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return run;
}

TEST(LumoraMsgTest, SendsToTheRunningInstance) {
    RuntimeFolder runtime;
    std::filesystem::path data = runtime.Path() / "record.bin";
    std::ofstream(data, std::ios::binary) << std::string("\x01\x02\x00\x03", 4);

    BusServer server;
    Collector<BusMessage> messages;
    server.SetMessageHandler([&](const BusMessage& m) { messages.Add(m); });
    ASSERT_TRUE(server.Start()) << server.Error();

    ToolRun run = RunLumoraMsg({"Game_Kill", "2", "-0x10", "--data", data.string()});
    EXPECT_EQ(run.exitCode, 0) << run.errorText;
    run = RunLumoraMsg({"Halvek Trine Keyboard"});
    EXPECT_EQ(run.exitCode, 0) << run.errorText;
    ASSERT_TRUE(messages.WaitFor(2));
    auto got = messages.Items();
    EXPECT_EQ(got[0].sender, "lumora-msg");
    EXPECT_EQ(got[0].name, "Game_Kill");
    EXPECT_EQ(got[0].wParam, 2u);
    EXPECT_EQ(got[0].lParam, -16);
    EXPECT_EQ(got[0].data, (std::vector<std::uint8_t>{1, 2, 0, 3}));
    EXPECT_EQ(got[1].name, "Halvek Trine Keyboard");
    EXPECT_EQ(got[1].wParam, 0u);
    EXPECT_EQ(got[1].lParam, 0);
    server.Stop();
}

TEST(LumoraMsgTest, ReportsMistakesAndAMissingInstance) {
    RuntimeFolder runtime;
    std::filesystem::path big = runtime.Path() / "big.bin";
    std::ofstream(big, std::ios::binary) << std::string(BusFrame::kMaxDataBlock + 1, 'x');
    struct Case {
        std::vector<std::string> args;
        int exitCode;
        const char* says;
    };
    const Case cases[] = {
        {{"Game_Start"}, 1, "not running"},
        {{}, 2, "usage"},
        {{"Game_Start", "1", "2", "3"}, 2, "usage"},
        {{"Game_Start", "-1"}, 2, "WPARAM"},
        {{"Game_Start", "1", "12abc"}, 2, "LPARAM"},
        {{"Game_Start", "--data"}, 2, "usage"},
        {{"Game_Start", "--verbose"}, 2, "unknown option"},
        {{"bad\tname"}, 2, "message name"},
        {{"Game_Start", "--data", big.string()}, 3, "larger than"},
        {{"Game_Start", "--data", (runtime.Path() / "missing").string()}, 3, "cannot open"},
    };
    for (const Case& c : cases) {
        ToolRun run = RunLumoraMsg(c.args);
        std::string joined;
        for (const auto& a : c.args) joined += a + " ";
        EXPECT_EQ(run.exitCode, c.exitCode) << joined << run.errorText;
        EXPECT_NE(run.errorText.find(c.says), std::string::npos) << joined << run.errorText;
    }
}

}  // namespace
}  // namespace lumora
