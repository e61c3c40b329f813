#include "platform/bus_client.h"

#include "platform/logger.h"
#include "platform/paths.h"

#include <cerrno>
#include <cstring>
#include <poll.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <thread>
#include <unistd.h>

namespace lumora {
namespace {

using Clock = std::chrono::steady_clock;

int MillisecondsLeft(Clock::time_point deadline) {
    auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - Clock::now()).count();
    return left <= 0 ? 0 : static_cast<int>(std::min<long long>(left, 1 << 30));
}

}  // namespace

BusClient::BusClient() = default;

BusClient::~BusClient() { Close(); }

void BusClient::Close() {
    if (fd_ >= 0) close(fd_);
    fd_ = -1;
    decoder_ = BusFrameDecoder(BusFrame::kMaxServerPayload);
    queued_.clear();
}

bool BusClient::Fail(std::string reason) {
    error_ = std::move(reason);
    LOG_DEBUG("bus-client", "%s", error_.c_str());
    Close();
    return false;
}

bool BusClient::Connect(std::string_view clientName, std::chrono::milliseconds timeout) {
    return Connect(clientName, timeout, Paths::BusSocketFile());
}

bool BusClient::Connect(std::string_view clientName, std::chrono::milliseconds timeout,
                        const std::filesystem::path& socketPath) {
    Close();
    error_.clear();
    noInstance_ = false;
    if (!BusFrame::ValidClientName(clientName)) return Fail("client name must be 1-64 printable ASCII characters");
    const std::string& path = socketPath.native();
    sockaddr_un address{};
    if (path.empty()) {
        noInstance_ = true;
        return Fail("no runtime folder, so no bus to connect to");
    }
    if (path.size() >= sizeof address.sun_path) return Fail("bus socket path is too long: " + path);
    address.sun_family = AF_UNIX;
    std::memcpy(address.sun_path, path.c_str(), path.size() + 1);

    auto deadline = Clock::now() + timeout;
    for (;;) {
        int fd = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
        if (fd < 0) return Fail(std::string("cannot create a socket: ") + std::strerror(errno));
        if (connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0) {
            fd_ = fd;
            break;
        }
        int saved = errno;
        close(fd);
        // Nothing listening (yet): no socket, or a stale one left by a dead instance.
        bool absent = saved == ENOENT || saved == ECONNREFUSED;
        if (!absent && saved != EAGAIN) return Fail("cannot connect to " + path + ": " + std::strerror(saved));
        if (Clock::now() >= deadline) {
            noInstance_ = absent;
            return Fail(absent ? "no running instance listens on " + path
                               : "the instance at " + path + " accepts no connections");
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }

    if (!WriteFrame(BusFrame::MakeHello(clientName), deadline)) return false;
    std::optional<BusFrame> answer = ReadFrame(deadline);
    if (!answer) {
        if (error_.empty()) return Fail("no welcome from the instance in time");
        return false;
    }
    if (answer->kind != BusFrameKind::Welcome) return Fail("the instance answered the hello with something else");
    return true;
}

bool BusClient::WriteFrame(const BusFrame& frame, Clock::time_point deadline) {
    if (fd_ < 0) {
        error_ = "not connected";
        return false;
    }
    std::vector<std::uint8_t> bytes;
    std::string error;
    // An invalid frame is refused before anything is written: the connection stays usable.
    if (!frame.EncodeTo(bytes, &error)) {
        error_ = error;
        return false;
    }
    std::size_t at = 0;
    while (at < bytes.size()) {
        ssize_t n = send(fd_, bytes.data() + at, bytes.size() - at, MSG_NOSIGNAL | MSG_DONTWAIT);
        if (n > 0) {
            at += static_cast<std::size_t>(n);
            continue;
        }
        if (n < 0 && errno == EINTR) continue;
        if (n < 0 && errno != EAGAIN && errno != EWOULDBLOCK)
            return Fail(std::string("send failed: ") + std::strerror(errno));
        pollfd p{fd_, POLLOUT, 0};
        int ready = poll(&p, 1, MillisecondsLeft(deadline));
        if (ready < 0 && errno == EINTR) continue;
        // Half a frame is on the wire: the stream cannot be used any more.
        if (ready <= 0) return Fail("the instance does not take the message in time");
    }
    return true;
}

std::optional<BusFrame> BusClient::ReadFrame(Clock::time_point deadline) {
    std::vector<std::uint8_t> chunk(BusFrameDecoder::kMaxChunk);
    for (;;) {
        if (fd_ < 0) {
            if (error_.empty()) error_ = "not connected";
            return std::nullopt;
        }
        BusFrame frame;
        auto status = decoder_.Next(frame);
        if (status == BusFrameDecoder::Status::Frame) return frame;
        if (status == BusFrameDecoder::Status::Error) {
            Fail("protocol error from the instance: " + decoder_.Error());
            return std::nullopt;
        }
        pollfd p{fd_, POLLIN, 0};
        int ready = poll(&p, 1, MillisecondsLeft(deadline));
        if (ready < 0) {
            if (errno == EINTR) continue;
            Fail(std::string("poll failed: ") + std::strerror(errno));
            return std::nullopt;
        }
        if (ready == 0) return std::nullopt;  // time-out; connection still fine
        ssize_t n = recv(fd_, chunk.data(), chunk.size(), MSG_DONTWAIT);
        if (n < 0) {
            if (errno == EINTR || errno == EAGAIN || errno == EWOULDBLOCK) continue;
            Fail(std::string("receive failed: ") + std::strerror(errno));
            return std::nullopt;
        }
        if (n == 0) {
            Fail("the instance closed the connection");
            return std::nullopt;
        }
        decoder_.Feed(std::span<const std::uint8_t>(chunk.data(), static_cast<std::size_t>(n)));
    }
}

bool BusClient::Send(std::string_view message, std::uint64_t wParam, std::int64_t lParam,
                     std::span<const std::uint8_t> data) {
    BusFrame frame =
        BusFrame::MakeMessage(message, wParam, lParam, std::vector<std::uint8_t>(data.begin(), data.end()));
    return WriteFrame(frame, Clock::now() + kSendTimeout);
}

std::optional<BusMessage> BusClient::Receive(std::chrono::milliseconds timeout) {
    auto deadline = Clock::now() + timeout;
    for (;;) {
        if (!queued_.empty()) {
            BusMessage message = std::move(queued_.front());
            queued_.pop_front();
            return message;
        }
        std::optional<BusFrame> frame = ReadFrame(deadline);
        if (!frame) return std::nullopt;
        if (frame->kind != BusFrameKind::Message) {
            // Replies nobody waits for any more are dropped; anything else is wrong.
            if (frame->kind == BusFrameKind::Reply) continue;
            Fail("unexpected frame kind from the instance");
            return std::nullopt;
        }
        return BusMessage{0, {}, std::move(frame->name), frame->wParam, frame->lParam, std::move(frame->data)};
    }
}

std::optional<BusReply> BusClient::Request(const std::vector<std::string>& args, std::chrono::milliseconds timeout) {
    auto deadline = Clock::now() + timeout;
    std::uint32_t id = nextRequest_++;
    if (!WriteFrame(BusFrame::MakeRequest(id, args), std::min(deadline, Clock::now() + kSendTimeout)))
        return std::nullopt;
    for (;;) {
        std::optional<BusFrame> frame = ReadFrame(deadline);
        if (!frame) {
            if (fd_ >= 0) error_ = "no reply from the instance in time";
            return std::nullopt;
        }
        if (frame->kind == BusFrameKind::Reply) {
            if (frame->requestId == id) return BusReply{frame->status, std::move(frame->text)};
            continue;  // a late reply to an earlier request that timed out
        }
        if (frame->kind != BusFrameKind::Message) {
            Fail("unexpected frame kind from the instance");
            return std::nullopt;
        }
        if (queued_.size() >= kMaxQueuedMessages) queued_.pop_front();
        queued_.push_back(BusMessage{0, {}, std::move(frame->name), frame->wParam, frame->lParam,
                                     std::move(frame->data)});
    }
}

}  // namespace lumora
