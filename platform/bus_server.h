#pragma once
// The running instance's end of the local message bus: a Unix stream socket (mode
// 0600) beside the instance lock. Start it only while holding the SingleInstance
// lock: it replaces a stale socket left by a dead instance, but refuses to replace
// one that still answers. Wire format in bus_frame.h.
//
// One thread ("bus") polls the listening socket, the clients and two eventfds (stop,
// wake). Clients must say Hello first and get a Welcome; every frame is checked by
// BusFrameDecoder. A client that sends a bad, oversized or truncated frame, stalls in
// the middle of a frame or before its Hello, or does not read what it is sent, is
// logged and disconnected; the others are not disturbed.
//
// Handlers run on the bus thread, one at a time, with no lock held: they may call
// SendTo, Broadcast and Reply, and should hand work over to the UI thread (Post)
// rather than block. They must not call Stop.

#include "platform/bus_frame.h"
#include "platform/bus_message.h"
#include "platform/bus_request.h"
#include "platform/worker_thread.h"

#include <atomic>
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <span>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

namespace lumora {

class BusServer {
public:
    using MessageHandler = std::function<void(const BusMessage&)>;
    // Answer each request once with Reply, from any thread, now or later.
    using RequestHandler = std::function<void(const BusRequest&)>;

    struct Limits {
        std::size_t maxClients = 32;
        // Bytes queued for one client that does not read; beyond it the client is dropped.
        std::size_t maxQueuedBytes = 4 * 1024 * 1024;
        // Requests of one client still waiting for their reply; one more drops the client.
        std::size_t maxPendingRequests = 16;
        // Time a client may take to say Hello, or to finish a frame it has begun.
        std::chrono::milliseconds stallTimeout{5000};
    };

    // Status of the automatic reply when no request handler is set.
    static constexpr std::int32_t kNoHandlerStatus = 1;

    BusServer();
    explicit BusServer(Limits limits);
    ~BusServer();
    BusServer(const BusServer&) = delete;
    BusServer& operator=(const BusServer&) = delete;

    // Handlers may be set or replaced at any time.
    void SetMessageHandler(MessageHandler handler);
    void SetRequestHandler(RequestHandler handler);

    // Binds Paths::BusSocketFile() (or the path given) and starts the bus thread.
    // False with Error() when the path is unusable, another server answers on it,
    // or the socket cannot be made.
    bool Start();
    bool Start(const std::filesystem::path& socketPath);
    // Stops and joins the bus thread, disconnects every client (after a last
    // non-blocking attempt to send what is queued for it) and removes the socket.
    void Stop();
    bool Running() const;

    // Queue a Message to every client with that name / to every client; returns how
    // many clients it was queued for (0 also when the message is invalid).
    std::size_t SendTo(std::string_view clientName, std::string_view message, std::uint64_t wParam,
                       std::int64_t lParam, std::span<const std::uint8_t> data = {});
    std::size_t Broadcast(std::string_view message, std::uint64_t wParam, std::int64_t lParam,
                          std::span<const std::uint8_t> data = {});
    // Answers request `requestId` of connection `client`; false when that client is
    // gone. Text over BusFrame::kMaxReplyText is cut, with a log line.
    bool Reply(std::uint64_t client, std::uint32_t requestId, std::int32_t status, std::string_view text);

    // Names of the clients that have said Hello, in connection order.
    std::vector<std::string> ClientNames() const;
    bool HasClient(std::string_view clientName) const;

    const std::filesystem::path& SocketPath() const { return socketPath_; }
    const std::string& Error() const { return error_; }

private:
    struct Client;
    struct Inbox;

    void Run(const StopEvent& stop);
    void AcceptClients();
    // Reads what is waiting and decodes it; false when the client must go.
    bool ReadFrom(Client& client, Inbox& inbox);
    bool HandleFrame(Client& client, BusFrame& frame, Inbox& inbox);
    bool WriteTo(Client& client);
    bool Queue(Client& client, const std::vector<std::uint8_t>& bytes);
    void Drop(std::uint64_t id, const std::string& reason, bool fault);
    void Deliver(Inbox& inbox);
    void Wake();
    void CloseAll();

    Limits limits_;
    std::filesystem::path socketPath_;
    std::string error_;
    int listenFd_ = -1;
    int wakeFd_ = -1;  // written under mutex_ while the bus thread is not running
    std::atomic<bool> stopping_{false};
    std::atomic<std::thread::id> busThread_{};
    std::vector<std::uint8_t> readBuffer_;  // bus thread only
    unsigned long long socketInode_ = 0;
    WorkerThread thread_{"bus"};

    mutable std::mutex mutex_;  // guards clients_ and nextId_
    std::map<std::uint64_t, std::unique_ptr<Client>> clients_;
    std::uint64_t nextId_ = 1;

    std::mutex handlerMutex_;
    MessageHandler onMessage_;
    RequestHandler onRequest_;
};

}  // namespace lumora
