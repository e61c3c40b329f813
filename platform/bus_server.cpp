#include "platform/bus_server.h"

#include "platform/bus_frame_decoder.h"
#include "platform/logger.h"
#include "platform/paths.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

namespace lumora {
namespace {

constexpr const char* kTag = "bus";
using Clock = std::chrono::steady_clock;

bool FillAddress(const std::filesystem::path& path, sockaddr_un& address) {
    const std::string& text = path.native();
    if (text.empty() || text.size() >= sizeof address.sun_path) return false;
    std::memset(&address, 0, sizeof address);
    address.sun_family = AF_UNIX;
    std::memcpy(address.sun_path, text.c_str(), text.size() + 1);
    return true;
}

}  // namespace

struct BusServer::Client {
    Client(int socket, std::uint64_t number) : fd(socket), id(number), decoder(BusFrame::kMaxClientPayload) {}
    int fd;
    std::uint64_t id;
    std::string name;
    bool greeted = false;
    BusFrameDecoder decoder;
    std::vector<std::uint8_t> out;
    std::size_t outAt = 0;
    std::size_t pendingRequests = 0;
    // Start of the current wait for a Hello or for the rest of a frame.
    Clock::time_point stallSince = Clock::now();
    bool stalling = true;
    std::string dropReason;  // set by other threads; the bus thread drops the client

    std::string Label() const { return name.empty() ? "#" + std::to_string(id) : name + " #" + std::to_string(id); }
};

struct BusServer::Inbox {
    std::vector<BusMessage> messages;
    std::vector<BusRequest> requests;
};

BusServer::BusServer() : BusServer(Limits{}) {}

BusServer::BusServer(Limits limits) : limits_(limits), readBuffer_(BusFrameDecoder::kMaxChunk) {}

BusServer::~BusServer() { Stop(); }

void BusServer::SetMessageHandler(MessageHandler handler) {
    std::lock_guard lock(handlerMutex_);
    onMessage_ = std::move(handler);
}

void BusServer::SetRequestHandler(RequestHandler handler) {
    std::lock_guard lock(handlerMutex_);
    onRequest_ = std::move(handler);
}

bool BusServer::Start() { return Start(Paths::BusSocketFile()); }

bool BusServer::Start(const std::filesystem::path& socketPath) {
    error_.clear();
    if (thread_.Running() || listenFd_ >= 0) {
        error_ = "the bus is already running";
        return false;
    }
    sockaddr_un address{};
    if (!FillAddress(socketPath, address)) {
        error_ = socketPath.empty() ? "no runtime folder for the bus socket"
                                    : "bus socket path is too long: " + socketPath.string();
        LOG_ERROR(kTag, "%s", error_.c_str());
        return false;
    }

    struct stat st {};
    if (lstat(socketPath.c_str(), &st) == 0) {
        if (!S_ISSOCK(st.st_mode)) {
            error_ = socketPath.string() + " exists and is not a socket";
            LOG_ERROR(kTag, "%s", error_.c_str());
            return false;
        }
        // A socket that still answers belongs to a live server: never take it over.
        int probe = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
        if (probe >= 0) {
            int rc = connect(probe, reinterpret_cast<const sockaddr*>(&address), sizeof address);
            int saved = errno;
            close(probe);
            if (rc == 0 || saved == EAGAIN || saved == EINPROGRESS) {
                error_ = "another server answers on " + socketPath.string();
                LOG_ERROR(kTag, "%s", error_.c_str());
                return false;
            }
        }
        LOG_INFO(kTag, "removing stale socket %s", socketPath.c_str());
        if (unlink(socketPath.c_str()) != 0 && errno != ENOENT) {
            error_ = "cannot remove stale socket " + socketPath.string() + ": " + std::strerror(errno);
            LOG_ERROR(kTag, "%s", error_.c_str());
            return false;
        }
    }

    int fd = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    if (fd < 0) {
        error_ = std::string("cannot create the bus socket: ") + std::strerror(errno);
        LOG_ERROR(kTag, "%s", error_.c_str());
        return false;
    }
    // The runtime folder is private, so the moment between bind and chmod exposes nothing.
    if (bind(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0 ||
        chmod(socketPath.c_str(), 0600) != 0 || listen(fd, 16) != 0 || stat(socketPath.c_str(), &st) != 0) {
        error_ = "cannot listen on " + socketPath.string() + ": " + std::strerror(errno);
        LOG_ERROR(kTag, "%s", error_.c_str());
        close(fd);
        return false;
    }
    int wake = eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
    if (wake < 0) {
        error_ = std::string("cannot create the bus wake-up event: ") + std::strerror(errno);
        LOG_ERROR(kTag, "%s", error_.c_str());
        close(fd);
        unlink(socketPath.c_str());
        return false;
    }
    socketPath_ = socketPath;
    socketInode_ = st.st_ino;
    listenFd_ = fd;
    {
        std::lock_guard lock(mutex_);
        wakeFd_ = wake;
    }
    stopping_ = false;
    if (!thread_.Start([this](const StopEvent& stop) { Run(stop); })) {
        error_ = "cannot start the bus thread";
        CloseAll();
        return false;
    }
    LOG_INFO(kTag, "serving on %s", socketPath.c_str());
    return true;
}

void BusServer::Stop() {
    if (busThread_.load() == std::this_thread::get_id()) {
        LOG_ERROR(kTag, "Stop called from a bus handler; the bus ends when its owner stops it");
        stopping_ = true;
        return;
    }
    if (listenFd_ < 0) return;
    stopping_ = true;
    {
        std::lock_guard lock(mutex_);
        Wake();
    }
    thread_.Stop();
    CloseAll();
    LOG_INFO(kTag, "stopped");
}

bool BusServer::Running() const { return thread_.Running(); }

void BusServer::CloseAll() {
    std::lock_guard lock(mutex_);
    for (auto& [id, client] : clients_) {
        // One last non-blocking try, so a reply queued just before the stop (to the
        // request that ended the program) is not lost.
        if (client->outAt < client->out.size()) WriteTo(*client);
        close(client->fd);
    }
    clients_.clear();
    if (wakeFd_ >= 0) close(wakeFd_);
    wakeFd_ = -1;
    if (listenFd_ >= 0) {
        close(listenFd_);
        listenFd_ = -1;
        // Remove the socket only if it is still the one we bound.
        struct stat st {};
        if (lstat(socketPath_.c_str(), &st) == 0 && S_ISSOCK(st.st_mode) && st.st_ino == socketInode_)
            unlink(socketPath_.c_str());
    }
}

void BusServer::Wake() {
    if (wakeFd_ < 0) return;
    std::uint64_t one = 1;
    [[maybe_unused]] ssize_t n = write(wakeFd_, &one, sizeof one);
}

void BusServer::Run(const StopEvent& stop) {
    busThread_ = std::this_thread::get_id();
    std::vector<pollfd> fds;
    std::vector<std::uint64_t> ids;
    while (!stopping_ && !stop.IsSet()) {
        fds.clear();
        ids.clear();
        fds.push_back({stop.PollFd(), POLLIN, 0});
        fds.push_back({wakeFd_, POLLIN, 0});
        fds.push_back({listenFd_, POLLIN, 0});
        int timeout = -1;
        {
            std::lock_guard lock(mutex_);
            auto now = Clock::now();
            for (auto& [id, client] : clients_) {
                short events = POLLIN;
                if (client->outAt < client->out.size()) events |= POLLOUT;
                fds.push_back({client->fd, events, 0});
                ids.push_back(id);
                if (client->stalling || !client->dropReason.empty()) {
                    auto left = std::chrono::ceil<std::chrono::milliseconds>(client->stallSince +
                                                                             limits_.stallTimeout - now);
                    int ms = client->dropReason.empty() ? static_cast<int>(std::max<long long>(0, left.count())) : 0;
                    timeout = timeout < 0 ? ms : std::min(timeout, ms);
                }
            }
        }
        int ready = poll(fds.data(), fds.size(), timeout);
        if (ready < 0) {
            if (errno == EINTR) continue;
            LOG_ERROR(kTag, "poll failed: %s; the bus stops", std::strerror(errno));
            break;
        }
        if (stopping_ || stop.IsSet()) break;
        if (fds[1].revents & POLLIN) {
            std::uint64_t value = 0;
            [[maybe_unused]] ssize_t n = read(wakeFd_, &value, sizeof value);
        }
        if (fds[2].revents & POLLIN) AcceptClients();

        Inbox inbox;
        {
            std::lock_guard lock(mutex_);
            for (std::size_t i = 0; i < ids.size(); ++i) {
                short revents = fds[i + 3].revents;
                if (revents == 0) continue;
                auto it = clients_.find(ids[i]);
                if (it == clients_.end()) continue;
                Client& client = *it->second;
                if (revents & (POLLIN | POLLHUP | POLLERR)) {
                    if (!ReadFrom(client, inbox)) continue;  // already dropped
                }
                if ((revents & POLLOUT) && !WriteTo(client)) Drop(client.id, "write failed", true);
            }
            auto now = Clock::now();
            std::vector<std::pair<std::uint64_t, std::string>> doomed;
            for (auto& [id, client] : clients_) {
                if (!client->dropReason.empty())
                    doomed.emplace_back(id, client->dropReason);
                else if (client->stalling && now - client->stallSince >= limits_.stallTimeout)
                    doomed.emplace_back(id, client->greeted ? "frame left incomplete" : "no hello");
            }
            for (auto& [id, reason] : doomed) Drop(id, reason, true);
        }
        Deliver(inbox);
    }
    busThread_ = std::thread::id{};
}

void BusServer::AcceptClients() {
    for (;;) {
        int fd = accept4(listenFd_, nullptr, nullptr, SOCK_NONBLOCK | SOCK_CLOEXEC);
        if (fd < 0) {
            if (errno == EINTR) continue;
            if (errno == EMFILE || errno == ENFILE) {
                LOG_ERROR(kTag, "cannot accept a client: %s", std::strerror(errno));
                // The listener stays readable; do not spin on it.
                usleep(10000);
            }
            return;
        }
        ucred peer{};
        socklen_t size = sizeof peer;
        if (getsockopt(fd, SOL_SOCKET, SO_PEERCRED, &peer, &size) != 0 || (peer.uid != geteuid() && peer.uid != 0)) {
            LOG_WARNING(kTag, "refused a client of another user (uid %u)", static_cast<unsigned>(peer.uid));
            close(fd);
            continue;
        }
        std::lock_guard lock(mutex_);
        if (clients_.size() >= limits_.maxClients) {
            LOG_WARNING(kTag, "refused a client: already %zu clients", clients_.size());
            close(fd);
            continue;
        }
        std::uint64_t id = nextId_++;
        clients_.emplace(id, std::make_unique<Client>(fd, id));
        LOG_DEBUG(kTag, "client #%llu connected (pid %d)", static_cast<unsigned long long>(id), peer.pid);
    }
}

bool BusServer::ReadFrom(Client& client, Inbox& inbox) {
    // A few chunks per wake-up, so one busy client cannot starve the others.
    for (int round = 0; round < 4; ++round) {
        ssize_t n = recv(client.fd, readBuffer_.data(), readBuffer_.size(), MSG_DONTWAIT);
        if (n < 0) {
            if (errno == EINTR) continue;
            if (errno == EAGAIN || errno == EWOULDBLOCK) return true;
            if (errno != ECONNRESET) {
                Drop(client.id, std::string("read failed: ") + std::strerror(errno), true);
                return false;
            }
            // A peer that closes with our bytes unread resets the connection: an end all the same.
        }
        if (n <= 0) {
            if (client.decoder.Buffered() > 0)
                Drop(client.id, "connection closed in the middle of a frame (truncated frame)", true);
            else
                Drop(client.id, "closed", false);
            return false;
        }
        client.decoder.Feed(std::span<const std::uint8_t>(readBuffer_.data(), static_cast<std::size_t>(n)));
        bool progressed = false;
        for (;;) {
            BusFrame frame;
            auto status = client.decoder.Next(frame);
            if (status == BusFrameDecoder::Status::NeedMore) break;
            if (status == BusFrameDecoder::Status::Error) {
                Drop(client.id, "protocol error: " + client.decoder.Error(), true);
                return false;
            }
            progressed = true;
            if (!HandleFrame(client, frame, inbox)) return false;
        }
        if (client.decoder.Buffered() == 0) {
            client.stalling = !client.greeted;
        } else if (progressed || !client.stalling) {
            client.stalling = true;
            client.stallSince = Clock::now();
        }
        if (static_cast<std::size_t>(n) < readBuffer_.size()) return true;
    }
    return true;
}

bool BusServer::HandleFrame(Client& client, BusFrame& frame, Inbox& inbox) {
    if (!client.greeted) {
        if (frame.kind != BusFrameKind::Hello) {
            Drop(client.id, "protocol error: the first frame must be a hello", true);
            return false;
        }
        client.name = frame.name;
        client.greeted = true;
        LOG_INFO(kTag, "client %s connected", client.Label().c_str());
        std::vector<std::uint8_t> bytes;
        BusFrame::MakeWelcome().EncodeTo(bytes);
        return Queue(client, bytes);
    }
    switch (frame.kind) {
        case BusFrameKind::Message:
            inbox.messages.push_back(BusMessage{client.id, client.name, std::move(frame.name), frame.wParam,
                                                frame.lParam, std::move(frame.data)});
            return true;
        case BusFrameKind::Request:
            if (client.pendingRequests >= limits_.maxPendingRequests) {
                Drop(client.id, "too many requests waiting for a reply", true);
                return false;
            }
            ++client.pendingRequests;
            inbox.requests.push_back(BusRequest{client.id, client.name, frame.requestId, std::move(frame.args)});
            return true;
        default:
            Drop(client.id, "protocol error: unexpected frame kind " + std::to_string(static_cast<int>(frame.kind)),
                 true);
            return false;
    }
}

bool BusServer::WriteTo(Client& client) {
    while (client.outAt < client.out.size()) {
        ssize_t n = send(client.fd, client.out.data() + client.outAt, client.out.size() - client.outAt,
                         MSG_NOSIGNAL | MSG_DONTWAIT);
        if (n < 0) {
            if (errno == EINTR) continue;
            if (errno == EAGAIN || errno == EWOULDBLOCK) return true;
            return false;
        }
        client.outAt += static_cast<std::size_t>(n);
    }
    client.out.clear();
    client.outAt = 0;
    return true;
}

bool BusServer::Queue(Client& client, const std::vector<std::uint8_t>& bytes) {
    if (!client.dropReason.empty()) return false;
    if (client.out.size() - client.outAt + bytes.size() > limits_.maxQueuedBytes) {
        client.dropReason = "does not read what it is sent";
        Wake();
        return false;
    }
    if (client.outAt > 0 && client.outAt >= client.out.size() / 2) {
        client.out.erase(client.out.begin(), client.out.begin() + static_cast<std::ptrdiff_t>(client.outAt));
        client.outAt = 0;
    }
    client.out.insert(client.out.end(), bytes.begin(), bytes.end());
    Wake();
    return true;
}

void BusServer::Drop(std::uint64_t id, const std::string& reason, bool fault) {
    auto it = clients_.find(id);
    if (it == clients_.end()) return;
    if (fault)
        LOG_WARNING(kTag, "client %s disconnected: %s", it->second->Label().c_str(), reason.c_str());
    else
        LOG_INFO(kTag, "client %s %s", it->second->Label().c_str(), reason.c_str());
    close(it->second->fd);
    clients_.erase(it);
}

void BusServer::Deliver(Inbox& inbox) {
    if (inbox.messages.empty() && inbox.requests.empty()) return;
    MessageHandler onMessage;
    RequestHandler onRequest;
    {
        std::lock_guard lock(handlerMutex_);
        onMessage = onMessage_;
        onRequest = onRequest_;
    }
    for (const BusMessage& message : inbox.messages) {
        LOG_DEBUG(kTag, "message %s (%llu, %lld, %zu bytes) from %s", message.name.c_str(),
                  static_cast<unsigned long long>(message.wParam), static_cast<long long>(message.lParam),
                  message.data.size(), message.sender.c_str());
        if (onMessage) onMessage(message);
    }
    for (const BusRequest& request : inbox.requests) {
        if (onRequest)
            onRequest(request);
        else
            Reply(request.client, request.id, kNoHandlerStatus, "this instance takes no automation commands\n");
    }
}

std::size_t BusServer::SendTo(std::string_view clientName, std::string_view message, std::uint64_t wParam,
                              std::int64_t lParam, std::span<const std::uint8_t> data) {
    std::vector<std::uint8_t> bytes;
    std::string error;
    BusFrame frame = BusFrame::MakeMessage(message, wParam, lParam, std::vector<std::uint8_t>(data.begin(), data.end()));
    if (!frame.EncodeTo(bytes, &error)) {
        LOG_WARNING(kTag, "not sending %.*s: %s", static_cast<int>(std::min<std::size_t>(message.size(), 255)),
                    message.data(), error.c_str());
        return 0;
    }
    std::size_t count = 0;
    std::lock_guard lock(mutex_);
    for (auto& [id, client] : clients_)
        if (client->greeted && client->name == clientName && Queue(*client, bytes)) ++count;
    return count;
}

std::size_t BusServer::Broadcast(std::string_view message, std::uint64_t wParam, std::int64_t lParam,
                                 std::span<const std::uint8_t> data) {
    std::vector<std::uint8_t> bytes;
    std::string error;
    BusFrame frame = BusFrame::MakeMessage(message, wParam, lParam, std::vector<std::uint8_t>(data.begin(), data.end()));
    if (!frame.EncodeTo(bytes, &error)) {
        LOG_WARNING(kTag, "not broadcasting %.*s: %s", static_cast<int>(std::min<std::size_t>(message.size(), 255)),
                    message.data(), error.c_str());
        return 0;
    }
    std::size_t count = 0;
    std::lock_guard lock(mutex_);
    for (auto& [id, client] : clients_)
        if (client->greeted && Queue(*client, bytes)) ++count;
    return count;
}

bool BusServer::Reply(std::uint64_t clientId, std::uint32_t requestId, std::int32_t status, std::string_view text) {
    if (text.size() > BusFrame::kMaxReplyText) {
        LOG_WARNING(kTag, "reply to request %u cut from %zu to %zu bytes", requestId, text.size(),
                    BusFrame::kMaxReplyText);
        text = text.substr(0, BusFrame::kMaxReplyText);
    }
    std::vector<std::uint8_t> bytes;
    BusFrame::MakeReply(requestId, status, std::string(text)).EncodeTo(bytes);
    std::lock_guard lock(mutex_);
    auto it = clients_.find(clientId);
    if (it == clients_.end()) return false;
    Client& client = *it->second;
    if (client.pendingRequests > 0) --client.pendingRequests;
    return Queue(client, bytes);
}

std::vector<std::string> BusServer::ClientNames() const {
    std::vector<std::string> names;
    std::lock_guard lock(mutex_);
    for (const auto& [id, client] : clients_)
        if (client->greeted) names.push_back(client->name);
    return names;
}

bool BusServer::HasClient(std::string_view clientName) const {
    std::lock_guard lock(mutex_);
    for (const auto& [id, client] : clients_)
        if (client->greeted && client->name == clientName) return true;
    return false;
}

}  // namespace lumora
