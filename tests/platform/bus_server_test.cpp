#include "platform/bus_client.h"
#include "platform/bus_server.h"

#include "tests/platform/bus_test_support.h"

#include <gtest/gtest.h>

#include <cstring>
#include <deque>
#include <fstream>
#include <optional>
#include <poll.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <thread>
#include <unistd.h>

namespace lumora {
namespace {

using namespace std::chrono_literals;
using Bytes = std::vector<std::uint8_t>;
using testing::Collector;
using testing::LogCatcher;
using testing::RuntimeFolder;

constexpr auto kWait = 30s;  // generous: only reached when something is broken

int RawConnect(const std::filesystem::path& path) {
    int fd = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::strncpy(address.sun_path, path.c_str(), sizeof address.sun_path - 1);
    if (connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0) {
        close(fd);
        return -1;
    }
    return fd;
}

void RawSend(int fd, const Bytes& bytes) {
    ASSERT_EQ(send(fd, bytes.data(), bytes.size(), MSG_NOSIGNAL), static_cast<ssize_t>(bytes.size()));
}

// True once the server has closed the connection (whatever it sent first is skipped).
bool ClosedByServer(int fd) {
    char buffer[4096];
    auto deadline = std::chrono::steady_clock::now() + kWait;
    while (std::chrono::steady_clock::now() < deadline) {
        pollfd p{fd, POLLIN, 0};
        if (poll(&p, 1, 1000) <= 0) continue;
        ssize_t n = recv(fd, buffer, sizeof buffer, 0);
        if (n == 0 || (n < 0 && errno == ECONNRESET)) return true;
    }
    return false;
}

Bytes Encode(const BusFrame& frame) {
    Bytes bytes;
    frame.EncodeTo(bytes);
    return bytes;
}

Bytes Concat(std::initializer_list<Bytes> parts) {
    Bytes out;
    for (const Bytes& part : parts) out.insert(out.end(), part.begin(), part.end());
    return out;
}

class BusServerTest : public ::testing::Test {
protected:
    void StartServer(BusServer::Limits limits = {}) {
        server_ = std::make_unique<BusServer>(limits);
        server_->SetMessageHandler([this](const BusMessage& message) { messages_.Add(message); });
        ASSERT_TRUE(server_->Start(runtime_.Socket())) << server_->Error();
    }
    void TearDown() override {
        if (server_) server_->Stop();
    }
    std::unique_ptr<BusClient> Client(const std::string& name) {
        auto client = std::make_unique<BusClient>();
        EXPECT_TRUE(client->Connect(name, kWait, runtime_.Socket())) << client->Error();
        return client;
    }
    // A full round trip through a well-behaved client: the server is still serving.
    void ExpectServing(BusClient& client, std::uint64_t tag) {
        std::size_t before = messages_.Size();
        ASSERT_TRUE(client.Send("Game_End", tag, 0)) << client.Error();
        ASSERT_TRUE(messages_.WaitFor(before + 1));
        EXPECT_EQ(messages_.Items().back().wParam, tag);
    }

    RuntimeFolder runtime_;
    Collector<BusMessage> messages_;
    std::unique_ptr<BusServer> server_;
};

TEST_F(BusServerTest, SocketIsPrivateAndRemovedOnStop) {
    StartServer();
    struct stat st {};
    ASSERT_EQ(lstat(runtime_.Socket().c_str(), &st), 0);
    EXPECT_TRUE(S_ISSOCK(st.st_mode));
    EXPECT_EQ(st.st_mode & 0777, 0600u);
    server_->Stop();
    EXPECT_FALSE(std::filesystem::exists(runtime_.Socket()));
    EXPECT_FALSE(server_->Running());
}

TEST_F(BusServerTest, ClientsNameThemselvesAndMessagesArriveWhole) {
    StartServer();
    auto tool = Client("WorkTool");
    EXPECT_EQ(server_->ClientNames(), std::vector<std::string>{"WorkTool"});
    EXPECT_TRUE(server_->HasClient("WorkTool"));

    Bytes block(BusFrame::kMaxDataBlock);
    for (std::size_t i = 0; i < block.size(); ++i) block[i] = static_cast<std::uint8_t>(i * 31);
    ASSERT_TRUE(tool->Send("Halvek Trine Keyboard", 0, 1));
    ASSERT_TRUE(tool->Send("WM_COPYDATA", 2, -7, block));
    ASSERT_TRUE(messages_.WaitFor(2));
    auto got = messages_.Items();
    EXPECT_EQ(got[0].sender, "WorkTool");
    EXPECT_EQ(got[0].name, "Halvek Trine Keyboard");
    EXPECT_EQ(got[0].wParam, 0u);
    EXPECT_EQ(got[0].lParam, 1);
    EXPECT_TRUE(got[0].data.empty());
    EXPECT_EQ(got[1].name, "WM_COPYDATA");
    EXPECT_EQ(got[1].lParam, -7);
    EXPECT_EQ(got[1].data, block);
    EXPECT_EQ(got[0].client, got[1].client);

    // Refused locally: nothing reaches the server and the connection stays usable.
    EXPECT_FALSE(tool->Send("Game_Start", 0, 0, Bytes(BusFrame::kMaxDataBlock + 1)));
    EXPECT_FALSE(tool->Send("", 0, 0));
    EXPECT_TRUE(tool->Connected());
    ExpectServing(*tool, 42);
}

TEST_F(BusServerTest, BroadcastReachesAllAndSendToOnlyTheNamedClient) {
    StartServer();
    auto tool = Client("WorkTool");
    auto audio = Client("AudioRecord");
    EXPECT_EQ(server_->SendTo("WorkTool", "WM_COPYDATA", 5, 0, Bytes(1024, 4)), 1u);
    EXPECT_EQ(server_->SendTo("Nobody", "WM_COPYDATA", 5, 0), 0u);
    EXPECT_EQ(server_->Broadcast("{4695579F-999A-41d4-9FAF-EFFCE93EBF16}", 1, 1), 2u);

    auto first = tool->Receive(kWait);
    ASSERT_TRUE(first) << tool->Error();
    EXPECT_EQ(first->name, "WM_COPYDATA");
    EXPECT_EQ(first->wParam, 5u);
    EXPECT_EQ(first->data, Bytes(1024, 4));
    auto second = tool->Receive(kWait);
    ASSERT_TRUE(second);
    EXPECT_EQ(second->name, "{4695579F-999A-41d4-9FAF-EFFCE93EBF16}");
    // The other client's first message is the broadcast: the directed one never came.
    auto other = audio->Receive(kWait);
    ASSERT_TRUE(other);
    EXPECT_EQ(other->name, "{4695579F-999A-41d4-9FAF-EFFCE93EBF16}");
    EXPECT_EQ(other->lParam, 1);
}

TEST_F(BusServerTest, RequestsAreAnsweredFromAnotherThread) {
    StartServer();
    // The app answers on its UI thread; a queue and a thread stand in for it here.
    std::mutex mutex;
    std::condition_variable arrived;
    std::deque<BusRequest> pending;
    bool done = false;
    server_->SetRequestHandler([&](const BusRequest& request) {
        server_->Broadcast("Game_Kill", 3, 0);  // arrives before the reply
        std::lock_guard lock(mutex);
        pending.push_back(request);
        arrived.notify_all();
    });
    std::thread ui([&] {
        std::unique_lock lock(mutex);
        for (;;) {
            arrived.wait(lock, [&] { return done || !pending.empty(); });
            if (pending.empty()) return;
            BusRequest request = pending.front();
            pending.pop_front();
            std::string text = request.sender + ":";
            for (const auto& arg : request.args) text += " [" + arg + "]";
            server_->Reply(request.client, request.id, static_cast<int>(request.args.size()), text + "\n");
        }
    });

    auto ctl = Client("lumora-ctl");
    auto reply = ctl->Request({"get", "DPI_slider_2", "value"}, kWait);
    ASSERT_TRUE(reply) << ctl->Error();
    EXPECT_EQ(reply->status, 3);
    EXPECT_EQ(reply->text, "lumora-ctl: [get] [DPI_slider_2] [value]\n");
    reply = ctl->Request({}, kWait);
    ASSERT_TRUE(reply);
    EXPECT_EQ(reply->status, 0);
    // Messages that came while waiting are kept.
    for (int i = 0; i < 2; ++i) {
        auto kept = ctl->Receive(kWait);
        ASSERT_TRUE(kept);
        EXPECT_EQ(kept->name, "Game_Kill");
    }
    {
        std::lock_guard lock(mutex);
        done = true;
        arrived.notify_all();
    }
    ui.join();
}

// A reply the owner queued just before stopping (the request that closes the
// program) still reaches its client.
TEST_F(BusServerTest, ReplyQueuedBeforeStopIsDelivered) {
    StartServer();
    Collector<BusRequest> requests;
    server_->SetRequestHandler([&](const BusRequest& request) { requests.Add(request); });
    auto ctl = Client("lumora-ctl");
    std::optional<BusReply> reply;
    std::thread caller([&] { reply = ctl->Request({"notify", "click", "closebtn"}, kWait); });
    ASSERT_TRUE(requests.WaitFor(1));
    const BusRequest request = requests.Items()[0];
    EXPECT_TRUE(server_->Reply(request.client, request.id, 0, "bye\n"));
    server_->Stop();
    caller.join();
    ASSERT_TRUE(reply) << ctl->Error();
    EXPECT_EQ(reply->text, "bye\n");
}

TEST_F(BusServerTest, RequestWithoutAHandlerGetsAFailureReply) {
    StartServer();
    auto ctl = Client("lumora-ctl");
    auto reply = ctl->Request({"tree"}, kWait);
    ASSERT_TRUE(reply) << ctl->Error();
    EXPECT_EQ(reply->status, BusServer::kNoHandlerStatus);
    EXPECT_FALSE(reply->text.empty());
}

TEST_F(BusServerTest, BadClientsAreDroppedAndOthersKeepBeingServed) {
    StartServer();
    LogCatcher log;
    auto good = Client("WorkTool");
    Bytes hello = Encode(BusFrame::MakeHello("raw"));
    Bytes message = Encode(BusFrame::MakeMessage("Game_Start", 1, 2, Bytes(100, 1)));
    Bytes bigHeader = {'L', 'B', 1, 3, 0xFF, 0xFF, 0xFF, 0x7F};
    Bytes badKind = {'L', 'B', 1, 9, 0, 0, 0, 0};
    struct Case {
        const char* what;
        Bytes bytes;
        bool closeAfterSending;
    };
    const Case cases[] = {
        {"garbage", Bytes{'G', 'E', 'T', ' ', '/', '\r', '\n'}, false},
        {"message before hello", message, false},
        {"oversized frame", Concat({hello, bigHeader}), false},
        {"unknown kind", Concat({hello, badKind}), false},
        {"second hello", Concat({hello, hello}), false},
        {"welcome from a client", Concat({hello, Encode(BusFrame::MakeWelcome())}), false},
        {"reply from a client", Concat({hello, Encode(BusFrame::MakeReply(1, 0, "x"))}), false},
        {"truncated frame", Concat({hello, Bytes(message.begin(), message.begin() + 40)}), true},
        {"truncated header", Concat({hello, Bytes{'L', 'B', 1}}), true},
    };
    std::uint64_t tag = 100;
    int truncated = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        int fd = RawConnect(runtime_.Socket());
        ASSERT_GE(fd, 0);
        RawSend(fd, c.bytes);
        if (c.closeAfterSending) {
            close(fd);
            EXPECT_TRUE(log.WaitFor("truncated frame", ++truncated));
        } else {
            EXPECT_TRUE(ClosedByServer(fd));
            close(fd);
        }
        ExpectServing(*good, ++tag);
    }
    for (const auto& m : messages_.Items()) EXPECT_EQ(m.sender, "WorkTool");  // nothing from the raw clients
    EXPECT_EQ(server_->ClientNames(), std::vector<std::string>{"WorkTool"});
}

TEST_F(BusServerTest, StalledClientsAreDropped) {
    BusServer::Limits limits;
    limits.stallTimeout = 200ms;
    StartServer(limits);
    LogCatcher log;
    auto good = Client("WorkTool");

    int silent = RawConnect(runtime_.Socket());  // never says hello
    int halfway = RawConnect(runtime_.Socket());
    ASSERT_GE(silent, 0);
    ASSERT_GE(halfway, 0);
    Bytes message = Encode(BusFrame::MakeMessage("Game_Start", 1, 2));
    RawSend(halfway, Concat({Encode(BusFrame::MakeHello("slow")), Bytes(message.begin(), message.begin() + 12)}));
    EXPECT_TRUE(ClosedByServer(silent));
    EXPECT_TRUE(ClosedByServer(halfway));
    EXPECT_TRUE(log.WaitFor("no hello"));
    EXPECT_TRUE(log.WaitFor("frame left incomplete"));
    close(silent);
    close(halfway);
    ExpectServing(*good, 7);
}

TEST_F(BusServerTest, ClientThatDoesNotReadIsDropped) {
    BusServer::Limits limits;
    limits.maxQueuedBytes = 256 * 1024;
    StartServer(limits);
    LogCatcher log;
    auto reader = Client("reader");
    int deaf = RawConnect(runtime_.Socket());
    ASSERT_GE(deaf, 0);
    RawSend(deaf, Encode(BusFrame::MakeHello("deaf")));
    // The deaf client is only known once its hello was handled.
    auto deadline = std::chrono::steady_clock::now() + kWait;
    while (!server_->HasClient("deaf") && std::chrono::steady_clock::now() < deadline) std::this_thread::sleep_for(1ms);
    ASSERT_TRUE(server_->HasClient("deaf"));

    Bytes block(BusFrame::kMaxDataBlock, 3);
    int received = 0;
    // Socket buffers take some; the queue limit must end it well before 4000 messages.
    for (int i = 0; i < 4000 && server_->HasClient("deaf"); ++i) {
        server_->SendTo("deaf", "Game_Start", 0, 0, block);
        if (server_->Broadcast("Game_End", static_cast<std::uint64_t>(i), 0) > 0) {
            auto m = reader->Receive(kWait);
            ASSERT_TRUE(m) << reader->Error();
            ++received;
        }
    }
    EXPECT_TRUE(log.WaitFor("does not read"));
    EXPECT_FALSE(server_->HasClient("deaf"));
    close(deaf);
    EXPECT_GT(received, 0);
    ExpectServing(*reader, 9);
}

TEST_F(BusServerTest, ClientsBeyondTheLimitAreTurnedAway) {
    BusServer::Limits limits;
    limits.maxClients = 2;
    StartServer(limits);
    LogCatcher log;
    auto one = Client("one");
    auto two = Client("two");
    BusClient three;
    EXPECT_FALSE(three.Connect("three", kWait, runtime_.Socket()));
    EXPECT_FALSE(three.NoInstance());
    one.reset();
    // A freed place is taken again once the server has seen the first client go.
    BusClient again;
    auto deadline = std::chrono::steady_clock::now() + kWait;
    while (!again.Connect("again", kWait, runtime_.Socket()) && std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(5ms);
    EXPECT_TRUE(again.Connected());
}

TEST_F(BusServerTest, NeverTakesOverALiveSocket) {
    StartServer();
    BusServer second;
    LogCatcher log;
    EXPECT_FALSE(second.Start(runtime_.Socket()));
    EXPECT_NE(second.Error().find("another server"), std::string::npos);
    auto tool = Client("WorkTool");
    ExpectServing(*tool, 1);
}

TEST_F(BusServerTest, RefusesAPathThatIsNoSocket) {
    std::ofstream(runtime_.Socket()) << "not a socket";
    BusServer server;
    LogCatcher log;
    EXPECT_FALSE(server.Start(runtime_.Socket()));
    EXPECT_TRUE(std::filesystem::exists(runtime_.Socket()));
}

TEST_F(BusServerTest, ClientReportsWhenNoInstanceRuns) {
    BusClient client;
    EXPECT_FALSE(client.Connect("lumora-msg", 50ms, runtime_.Socket()));
    EXPECT_TRUE(client.NoInstance());
    EXPECT_NE(client.Error().find("no running instance"), std::string::npos);
}

TEST_F(BusServerTest, ClientSeesTheServerGo) {
    StartServer();
    auto tool = Client("WorkTool");
    server_->Stop();
    EXPECT_FALSE(tool->Receive(kWait));
    EXPECT_FALSE(tool->Connected());
    EXPECT_NE(tool->Error().find("closed"), std::string::npos);
}

}  // namespace
}  // namespace lumora
