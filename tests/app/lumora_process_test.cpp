// The real executables as a user and a script meet them: lumora started as a
// process (each test with its own runtime, config and data folders) and driven with
// lumora-ctl, raw bus clients and signals.

#include "platform/bus_frame.h"
#include "platform/paths.h"
#include "tests/platform/temp_folder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <fstream>
#include <sstream>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

extern char** environ;

namespace lumora {
namespace {

using namespace std::chrono_literals;
using testing::TempFolder;

constexpr auto kWait = 30s;  // only reached when something is broken

struct ToolRun {
    int exitCode = -1;
    std::string out;
    std::string err;
};

std::string ReadFile(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

class ProcessTest : public ::testing::Test {
protected:
    void SetUp() override {
        std::filesystem::create_directories(temp_ / "run");
        chmod((temp_ / "run").c_str(), 0700);
    }
    void TearDown() override {
        for (pid_t pid : running_) {
            kill(pid, SIGKILL);
            waitpid(pid, nullptr, 0);
        }
    }

    static std::filesystem::path Bin(const std::string& name) { return Paths::ExecutableFolder() / name; }
    std::filesystem::path Socket() const { return temp_ / "run" / "Halvek Trine Keyboard.sock"; }

    // The environment of the children: ours, with private XDG folders.
    std::vector<std::string> Environment(const std::vector<std::string>& extra) const {
        std::vector<std::string> env;
        for (char** e = environ; *e; ++e) {
            std::string_view entry = *e;
            if (entry.starts_with("XDG_") || entry.starts_with("LUMORA_LOG")) continue;
            env.emplace_back(entry);
        }
        env.push_back("XDG_RUNTIME_DIR=" + (temp_ / "run").string());
        env.push_back("XDG_CONFIG_HOME=" + (temp_ / "config").string());
        env.push_back("XDG_DATA_HOME=" + (temp_ / "data").string());
        env.insert(env.end(), extra.begin(), extra.end());
        return env;
    }

    pid_t Spawn(const std::filesystem::path& program, std::vector<std::string> args, const std::string& label,
                const std::vector<std::string>& extraEnv = {}) {
        args.insert(args.begin(), program.string());
        std::vector<char*> argv;
        for (auto& a : args) argv.push_back(a.data());
        argv.push_back(nullptr);
        std::vector<std::string> env = Environment(extraEnv);
        std::vector<char*> envp;
        for (auto& e : env) envp.push_back(e.data());
        envp.push_back(nullptr);
        const std::string out = (temp_ / (label + ".out")).string();
        const std::string err = (temp_ / (label + ".err")).string();
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
        posix_spawn_file_actions_addopen(&actions, 1, out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        posix_spawn_file_actions_addopen(&actions, 2, err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        pid_t pid = -1;
        const int rc = posix_spawn(&pid, program.c_str(), &actions, nullptr, argv.data(), envp.data());
        posix_spawn_file_actions_destroy(&actions);
        EXPECT_EQ(rc, 0) << "cannot start " << program;
        if (rc != 0) return -1;
        running_.push_back(pid);
        return pid;
    }

    // Exit status; 128 + signal when killed, -1 when it did not end within kWait.
    int WaitExit(pid_t pid) {
        const auto deadline = std::chrono::steady_clock::now() + kWait;
        for (;;) {
            int status = 0;
            const pid_t done = waitpid(pid, &status, WNOHANG);
            if (done == pid) {
                running_.erase(std::remove(running_.begin(), running_.end(), pid), running_.end());
                return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
            }
            if (done < 0 || std::chrono::steady_clock::now() > deadline) return -1;
            std::this_thread::sleep_for(5ms);
        }
    }

    ToolRun Run(const std::filesystem::path& program, const std::vector<std::string>& args,
                const std::vector<std::string>& extraEnv = {}) {
        const std::string label = "tool" + std::to_string(++runs_);
        ToolRun run;
        const pid_t pid = Spawn(program, args, label, extraEnv);
        if (pid < 0) return run;
        run.exitCode = WaitExit(pid);
        run.out = ReadFile(temp_ / (label + ".out"));
        run.err = ReadFile(temp_ / (label + ".err"));
        return run;
    }
    ToolRun Ctl(const std::vector<std::string>& args) { return Run(Bin("lumora-ctl"), args); }

    // Starts `lumora --headless` (or the program given) and waits until it answers on the
    // bus with its window shown.
    pid_t StartInstance(const std::string& label, const std::filesystem::path& program = Bin("lumora"),
                        std::vector<std::string> args = {"--headless"}) {
        const pid_t pid = Spawn(program, args, label, {"LUMORA_LOG=info"});
        const auto deadline = std::chrono::steady_clock::now() + kWait;
        // The window shows once the first device scan is over.
        while (std::chrono::steady_clock::now() < deadline) {
            const ToolRun tree = Ctl({"tree"});
            if (tree.exitCode == 0 && tree.out.find("MainWnd \"Halvek Trine 1.02\" visible") != std::string::npos)
                return pid;
            if (waitpid(pid, nullptr, WNOHANG) == pid) break;
        }
        ADD_FAILURE() << label << " did not come up: " << ReadFile(temp_ / (label + ".err"));
        return pid;
    }

    // Waits until the file holds the text.
    bool WaitForText(const std::filesystem::path& file, const std::string& text) {
        const auto deadline = std::chrono::steady_clock::now() + kWait;
        while (std::chrono::steady_clock::now() < deadline) {
            if (ReadFile(file).find(text) != std::string::npos) return true;
            std::this_thread::sleep_for(10ms);
        }
        return false;
    }

    TempFolder temp_;
    std::vector<pid_t> running_;
    int runs_ = 0;
};

TEST_F(ProcessTest, SecondStartHandsOverToTheRunningInstance) {
    const pid_t first = StartInstance("first");
    const ToolRun second = Run(Bin("lumora"), {"--headless"});
    EXPECT_EQ(second.exitCode, 0) << second.err;
    // The first got UWM_PRODUCT_MSG with wParam 0 and lParam 1.
    EXPECT_TRUE(WaitForText(temp_ / "first.err", "软件标示 ")) << ReadFile(temp_ / "first.err");
    EXPECT_NE(ReadFile(temp_ / "first.err").find("，0d1d"), std::string::npos);
    // The close button only hides the window; the program keeps running in the tray.
    const ToolRun close = Ctl({"notify", "click", "main:closebtn"});
    EXPECT_EQ(close.exitCode, 0) << close.err;
    EXPECT_EQ(Ctl({"get", "main:closebtn", "visible"}).out, "true\n");
    ASSERT_EQ(kill(first, SIGTERM), 0);
    EXPECT_EQ(WaitExit(first), 0) << ReadFile(temp_ / "first.err");
    EXPECT_FALSE(std::filesystem::exists(Socket()));
}

TEST_F(ProcessTest, KilledInstanceDoesNotBlockTheNextStart) {
    const pid_t killed = StartInstance("killed");
    ASSERT_EQ(kill(killed, SIGKILL), 0);
    ASSERT_EQ(WaitExit(killed), 128 + SIGKILL);
    ASSERT_TRUE(std::filesystem::exists(Socket()));  // left behind, with the lock file

    const pid_t next = StartInstance("next");
    const ToolRun tree = Ctl({"tree"});
    EXPECT_EQ(tree.exitCode, 0) << tree.err;
    // SIGTERM closes the window and shuts down in order.
    ASSERT_EQ(kill(next, SIGTERM), 0);
    EXPECT_EQ(WaitExit(next), 0) << ReadFile(temp_ / "next.err");
    EXPECT_FALSE(std::filesystem::exists(Socket()));
}

TEST_F(ProcessTest, CtlRoundTrips) {
    const pid_t instance = StartInstance("instance");
    struct Case {
        std::vector<std::string> args;
        int exitCode;
        std::string out;  // whole standard output when the command succeeds
        std::string err;  // part of the error output when it fails
    };
    const Case cases[] = {
        {{"get", "No_device_Link", "text"}, 0,
         "No device connected. Plug in your keyboard, mouse, mouse pad or headset.\n", ""},
        {{"set", "main:title_label", "text", "Two words"}, 0, "", ""},
        {{"get", "main:title_label", "text"}, 0, "Two words\n", ""},
        {{"get", "no_such_control", "text"}, 3, "", "no control no_such_control"},
        {{"set", "title_label", "visible", "sometimes"}, 3, "", "not a boolean"},
        {{"modal", "confirm_btn"}, 3, "", "no modal window"},
        {{"get", "title_label"}, 2, "", "usage"},
        {{"sim", "plug", "mouse"}, 3, "", "runs no emulated devices"},
        {{}, 2, "", "usage"},
    };
    for (const Case& c : cases) {
        std::string joined;
        for (const auto& a : c.args) joined += a + " ";
        const ToolRun run = Ctl(c.args);
        EXPECT_EQ(run.exitCode, c.exitCode) << joined << run.err;
        if (c.exitCode == 0)
            EXPECT_EQ(run.out, c.out) << joined;
        else
            EXPECT_NE(run.err.find(c.err), std::string::npos) << joined << run.err;
    }
    const ToolRun tree = Ctl({"tree"});
    EXPECT_EQ(tree.exitCode, 0);
    EXPECT_NE(tree.out.find("window 1 MainWnd \"Halvek Trine 1.02\" visible\n"), std::string::npos) << tree.out;
    EXPECT_NE(tree.out.find("LabelUI \"title_label\" text=\"Two words\""), std::string::npos) << tree.out;

    ASSERT_EQ(kill(instance, SIGTERM), 0);
    EXPECT_EQ(WaitExit(instance), 0) << ReadFile(temp_ / "instance.err");
    const ToolRun none = Ctl({"tree"});
    EXPECT_EQ(none.exitCode, 1);
    EXPECT_NE(none.err.find("not running"), std::string::npos) << none.err;
}

// The tab of a device as `lumora-ctl tree` lists it, with its state.
std::string TabLine(const std::string& tree, const std::string& label) {
    const std::string key = "DeviceOption \"device_select\" text=\"" + label + "\"";
    const size_t at = tree.find(key);
    if (at == std::string::npos) return {};
    return tree.substr(at, tree.find('\n', at) - at);
}

TEST_F(ProcessTest, DemoDevicesComeAndGoWithLumoraCtlSim) {
    const pid_t demo = StartInstance("demo", Bin("lumora"), {"--headless", "--demo=mouse,mousepad"});
    // A tab is shown once its device is found; hidden ones say so.
    auto tabShown = [&](const std::string& label) {
        const std::string line = TabLine(Ctl({"tree"}).out, label);
        return !line.empty() && line.find("hidden") == std::string::npos;
    };
    auto waitTab = [&](const std::string& label, bool shown) {
        const auto deadline = std::chrono::steady_clock::now() + kWait;
        while (std::chrono::steady_clock::now() < deadline) {
            if (tabShown(label) == shown) return true;
            std::this_thread::sleep_for(20ms);
        }
        return false;
    };
    EXPECT_TRUE(waitTab("Mouse", true));
    EXPECT_TRUE(waitTab("Mouse pad", true));
    EXPECT_FALSE(tabShown("Keyboard"));
    EXPECT_EQ(Ctl({"get", "MousePad:mousepad_device_key_light", "visible"}).exitCode, 0);

    const ToolRun unplug = Ctl({"sim", "unplug", "mousepad"});
    EXPECT_EQ(unplug.exitCode, 0) << unplug.err;
    EXPECT_TRUE(waitTab("Mouse pad", false));
    EXPECT_EQ(Ctl({"sim", "plug", "mousepad"}).exitCode, 0);
    EXPECT_TRUE(waitTab("Mouse pad", true));

    const ToolRun notCreated = Ctl({"sim", "plug", "keyboard"});
    EXPECT_EQ(notCreated.exitCode, 3);
    EXPECT_NE(notCreated.err.find("not part of this demo"), std::string::npos) << notCreated.err;
    EXPECT_EQ(Ctl({"sim", "plug", "toaster"}).exitCode, 2);
    const ToolRun dump = Ctl({"sim", "dump", "mouse"});
    EXPECT_EQ(dump.exitCode, 0) << dump.err;
    EXPECT_NE(dump.out.find("0x221c"), std::string::npos) << dump.out;

    ASSERT_EQ(kill(demo, SIGTERM), 0);
    EXPECT_EQ(WaitExit(demo), 0) << ReadFile(temp_ / "demo.err");
}

int RawConnect(const std::filesystem::path& path) {
    const int fd = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::strncpy(address.sun_path, path.c_str(), sizeof address.sun_path - 1);
    if (connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0) {
        close(fd);
        return -1;
    }
    return fd;
}

bool RawSend(int fd, const std::vector<std::uint8_t>& bytes) {
    return send(fd, bytes.data(), bytes.size(), MSG_NOSIGNAL) == static_cast<ssize_t>(bytes.size());
}

std::vector<std::uint8_t> Encode(const BusFrame& frame) {
    std::vector<std::uint8_t> bytes;
    frame.EncodeTo(bytes);
    return bytes;
}

TEST_F(ProcessTest, GarbageOnTheBusCannotCrashOrHangIt) {
    const pid_t instance = StartInstance("instance");
    const std::vector<std::uint8_t> hello = Encode(BusFrame::MakeHello("vandal"));
    const std::vector<std::uint8_t> message = Encode(BusFrame::MakeMessage("Game_Start", 1, 2, {9, 9, 9}));
    std::vector<std::uint8_t> oversized = {'L', 'B', 1, 3, 0xFF, 0xFF, 0xFF, 0x7F};
    std::vector<std::uint8_t> truncated = hello;
    truncated.insert(truncated.end(), message.begin(), message.begin() + static_cast<long>(message.size() / 2));
    std::vector<std::uint8_t> unknown = hello;
    const auto stranger = Encode(BusFrame::MakeMessage("Not_Registered_Anywhere", 0, 0));
    unknown.insert(unknown.end(), stranger.begin(), stranger.end());
    const std::vector<std::vector<std::uint8_t>> payloads = {
        {'G', 'E', 'T', ' ', '/', ' ', 'H', 'T', 'T', 'P', '/', '1', '.', '1', '\r', '\n', 0, 0xFF},
        oversized,
        truncated,
        unknown,
    };
    for (const auto& bytes : payloads) {
        const int fd = RawConnect(Socket());
        ASSERT_GE(fd, 0);
        EXPECT_TRUE(RawSend(fd, bytes));
        close(fd);
    }
    // One that says nothing and stays connected through the shutdown.
    const int silent = RawConnect(Socket());
    ASSERT_GE(silent, 0);

    const ToolRun get = Ctl({"get", "main:closebtn", "visible"});
    EXPECT_EQ(get.exitCode, 0) << get.err;
    EXPECT_EQ(get.out, "true\n");
    ASSERT_EQ(kill(instance, SIGTERM), 0);
    EXPECT_EQ(WaitExit(instance), 0) << ReadFile(temp_ / "instance.err");
    ::close(silent);
}

// A program folder of its own: the executable beside a skin folder and no "Font" folder.
TEST_F(ProcessTest, ProgramFolderWithoutFontsStartsAndAMalformedSkinIsReported) {
    const std::filesystem::path folder = temp_ / "program";
    std::filesystem::create_directories(folder);
    std::filesystem::copy(Bin("skin"), folder / "skin", std::filesystem::copy_options::recursive);
    std::filesystem::copy_file(Bin("lumora"), folder / "lumora");
    ASSERT_FALSE(std::filesystem::exists(folder / "Font"));

    const pid_t instance = StartInstance("fontless", folder / "lumora");
    ASSERT_EQ(kill(instance, SIGTERM), 0);
    EXPECT_EQ(WaitExit(instance), 0) << ReadFile(temp_ / "fontless.err");

    std::ofstream(folder / "skin" / "main.xml", std::ios::trunc) << "<Window size=\"800,572\">\n"
                                                                 << "  <VerticalLayout name=\"root\">\n"
                                                                 << "    <Button name=\"closebtn\"\n"
                                                                 << "  </VerticalLayout>\n"
                                                                 << "</Window>\n";
    const ToolRun broken = Run(folder / "lumora", {"--headless"});
    EXPECT_EQ(broken.exitCode, 1) << broken.err;
    EXPECT_NE(broken.err.find((folder / "skin" / "main.xml").string() + ":4:"), std::string::npos) << broken.err;
    EXPECT_FALSE(std::filesystem::exists(Socket()));
}

TEST_F(ProcessTest, CommandLines) {
    struct Case {
        std::string program;
        std::vector<std::string> args;
        int exitCode;
        std::string says;  // part of the output (standard output, then error output)
    };
    const Case cases[] = {
        {"lumora", {"--help"}, 0, "usage: lumora [--demo[=DEVICE,...]] [--headless] [--help] [--version]"},
        {"lumora", {"--version"}, 0, "lumora 1.02\n"},
        {"lumora", {"--demo=mouse,toaster"}, 2, "unknown device 'toaster'"},
        {"lumora-ctl", {"--help"}, 0, "notify TYPE CONTROL [VALUE]"},
        {"lumora-ctl", {"tree"}, 1, "not running"},
    };
    for (const Case& c : cases) {
        const ToolRun run = Run(Bin(c.program), c.args);
        EXPECT_EQ(run.exitCode, c.exitCode) << c.program << " " << run.err;
        EXPECT_NE((run.out + run.err).find(c.says), std::string::npos) << c.program << ": " << run.out << run.err;
    }
}

}  // namespace
}  // namespace lumora
