#include "sim/sim_device.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <ctime>

#include "hid/emulated_hello.h"
#include "platform/logger.h"

namespace lumora {
namespace {

constexpr int64_t kReportIntervalUs = 1000;  // full-speed interrupt endpoint: one report per ms
constexpr size_t kMaxRecorded = 8192;
constexpr size_t kMaxPacket = 8192;
constexpr size_t kMaxOutgoing = 4096;

}  // namespace

SimDevice::SimDevice(Config config)
    : config_(std::move(config)),
      model_(config_.model ? config_.model : std::make_shared<FirmwareModel>(config_.behind_receiver)),
      pacing_(config_.pacing) {
    wake_fd_ = ::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
    thread_ = std::thread([this] { Run(); });
}

SimDevice::~SimDevice() {
    {
        std::lock_guard lock(mutex_);
        stopping_ = true;
    }
    Wake();
    thread_.join();
    std::lock_guard lock(mutex_);
    CloseChannelsLocked();
    if (wake_fd_ >= 0) ::close(wake_fd_);
}

int64_t SimDevice::NowUs() {
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<int64_t>(now.tv_sec) * 1000000 + now.tv_nsec / 1000;
}

std::vector<uint8_t> SimDevice::Hello() const {
    EmulatedHello hello{config_.identity, config_.descriptor};
    return hello.Encode();
}

void SimDevice::Wake() {
    const uint64_t one = 1;
    if (wake_fd_ >= 0 && ::write(wake_fd_, &one, sizeof one) < 0 && errno != EAGAIN)
        LOG_ERROR("sim", "wake failed: errno %d", errno);
}

int SimDevice::Connect() {
    int pair[2];
    {
        std::lock_guard lock(mutex_);
        if (!plugged_ || stopping_) return -1;
        if (::socketpair(AF_UNIX, SOCK_SEQPACKET | SOCK_CLOEXEC | SOCK_NONBLOCK, 0, pair) != 0) {
            LOG_ERROR("sim", "socketpair failed: errno %d", errno);
            return -1;
        }
        const auto hello = Hello();
        if (::send(pair[0], hello.data(), hello.size(), MSG_NOSIGNAL) != static_cast<ssize_t>(hello.size())) {
            ::close(pair[0]);
            ::close(pair[1]);
            return -1;
        }
        channels_.push_back(pair[0]);
    }
    Wake();
    return pair[1];
}

bool SimDevice::Plugged() const {
    std::lock_guard lock(mutex_);
    return plugged_;
}

size_t SimDevice::OpenChannels() const {
    std::lock_guard lock(mutex_);
    return channels_.size();
}

void SimDevice::Plug() {
    std::lock_guard lock(mutex_);
    plugged_ = true;
}

void SimDevice::Unplug() {
    {
        std::lock_guard lock(mutex_);
        plugged_ = false;
        outgoing_.clear();
        CloseChannelsLocked();
    }
    Wake();
}

void SimDevice::SetPacing(bool on) {
    std::lock_guard lock(mutex_);
    pacing_ = on;
}

bool SimDevice::Pacing() const {
    std::lock_guard lock(mutex_);
    return pacing_;
}

void SimDevice::InjectFault(const SimFault& fault) {
    std::lock_guard lock(mutex_);
    SimFault f = fault;
    f.at_command = commands_seen_.load() + std::max<uint32_t>(fault.at_command, 1);
    faults_.push_back(f);
}

void SimDevice::ClearFaults() {
    std::lock_guard lock(mutex_);
    faults_.clear();
}

void SimDevice::SendInputReport(const std::vector<uint8_t>& report) {
    {
        std::lock_guard lock(mutex_);
        if (!plugged_ || report.empty() || report.size() > kMaxPacket) return;
        QueueLocked(report, NowUs());
    }
    Wake();
}

std::vector<SimDevice::Recorded> SimDevice::Recording() const {
    std::lock_guard lock(mutex_);
    return {recording_.begin(), recording_.end()};
}

void SimDevice::ClearRecording() {
    std::lock_guard lock(mutex_);
    recording_.clear();
}

void SimDevice::RecordLocked(char direction, const uint8_t* data, size_t size) {
    if (recording_.size() >= kMaxRecorded) recording_.pop_front();
    recording_.push_back({direction, std::vector<uint8_t>(data, data + size)});
}

// Closing a channel's fd here is safe against the firmware thread's poll set: the thread
// re-reads the set under the lock each pass and a closed fd only wakes it up once.
void SimDevice::CloseChannelsLocked() {
    for (int fd : channels_) ::close(fd);
    channels_.clear();
}

void SimDevice::QueueLocked(std::vector<uint8_t> bytes, int64_t earliest_us) {
    if (outgoing_.size() >= kMaxOutgoing) return;  // the host stopped reading: drop, as a full ring does
    int64_t due = earliest_us;
    if (!outgoing_.empty()) due = std::max(due, outgoing_.back().due_us);  // replies keep their order
    if (pacing_) {
        due = std::max(due, next_out_us_);
        next_out_us_ = due + kReportIntervalUs;
    }
    outgoing_.push_back({due, std::move(bytes)});
}

void SimDevice::HandleCommandLocked(const uint8_t* data, size_t size, int64_t now_us) {
    const uint32_t seen = ++commands_seen_;
    SimFault fault;
    bool faulty = false;
    for (auto it = faults_.begin(); it != faults_.end(); ++it) {
        if (it->at_command == seen) {
            fault = *it;
            faulty = true;
            faults_.erase(it);
            break;
        }
    }
    if (faulty && fault.kind == SimFault::Kind::Unplug) {
        LOG_INFO("sim", "%s pulled out during a transfer", config_.node.c_str());
        plugged_ = false;
        outgoing_.clear();
        CloseChannelsLocked();
        return;
    }
    auto reply = model_->Handle(data, size);
    if (!reply) return;
    int64_t earliest = now_us;
    if (faulty) {
        switch (fault.kind) {
            case SimFault::Kind::StatusFF: (*reply)[7] = 0xFF; break;
            case SimFault::Kind::StatusFE: (*reply)[7] = 0xFE; break;
            case SimFault::Kind::NoReply: return;
            case SimFault::Kind::WrongReply: {
                FirmwareModel::Report wrong = *reply;
                wrong[3] = static_cast<uint8_t>(wrong[3] == 0x55 ? 0x56 : 0x55);
                FirmwareModel::Seal(wrong);
                for (uint32_t i = 0; i < fault.count; ++i) QueueLocked({wrong.begin(), wrong.end()}, now_us);
                break;
            }
            case SimFault::Kind::LateReply: earliest = now_us + static_cast<int64_t>(fault.delay_ms) * 1000; break;
            case SimFault::Kind::LinkDown: (*reply)[3] = FirmwareModel::kLinkDown; break;
            case SimFault::Kind::Unplug: break;
        }
        FirmwareModel::Seal(*reply);
    }
    QueueLocked({reply->begin(), reply->end()}, earliest);
}

void SimDevice::Run() {
    std::vector<pollfd> fds;
    std::vector<uint8_t> packet(kMaxPacket);
    for (;;) {
        int timeout_ms = -1;
        {
            std::lock_guard lock(mutex_);
            if (stopping_) return;
            const int64_t now = NowUs();
            const bool may_take = !pacing_ || now >= next_in_us_;
            fds.assign(1, pollfd{wake_fd_, POLLIN, 0});
            for (int fd : channels_) fds.push_back(pollfd{fd, static_cast<short>(may_take ? POLLIN : 0), 0});
            int64_t wait_us = -1;
            if (!outgoing_.empty()) wait_us = std::max<int64_t>(0, outgoing_.front().due_us - now);
            if (!may_take && !channels_.empty()) {
                const int64_t until_take = next_in_us_ - now;
                wait_us = wait_us < 0 ? until_take : std::min(wait_us, until_take);
            }
            if (wait_us >= 0) timeout_ms = static_cast<int>((wait_us + 999) / 1000);
        }
        const int n = ::poll(fds.data(), fds.size(), timeout_ms);
        if (n < 0 && errno != EINTR) {
            LOG_ERROR("sim", "poll failed: errno %d", errno);
            return;
        }
        std::lock_guard lock(mutex_);
        if (stopping_) return;
        uint64_t drained = 0;
        while (::read(wake_fd_, &drained, sizeof drained) > 0) {
        }
        const int64_t now = NowUs();
        // Input reports that are due go to every open channel.
        while (!outgoing_.empty() && outgoing_.front().due_us <= now) {
            const auto& bytes = outgoing_.front().bytes;
            RecordLocked('R', bytes.data(), bytes.size());
            for (int fd : channels_) ::send(fd, bytes.data(), bytes.size(), MSG_DONTWAIT | MSG_NOSIGNAL);
            outgoing_.pop_front();
        }
        // Output reports: one per pass when paced.
        for (size_t i = 1; i < fds.size(); ++i) {
            if (fds[i].revents == 0) continue;
            const int fd = fds[i].fd;
            auto it = std::find(channels_.begin(), channels_.end(), fd);
            if (it == channels_.end()) continue;  // closed by an unplug meanwhile
            if (fds[i].revents & POLLIN) {
                const ssize_t got = ::recv(fd, packet.data(), packet.size(), MSG_DONTWAIT);
                if (got > 0) {
                    RecordLocked('W', packet.data(), static_cast<size_t>(got));
                    HandleCommandLocked(packet.data(), static_cast<size_t>(got), now);
                    if (pacing_) {
                        next_in_us_ = now + kReportIntervalUs;
                        break;
                    }
                    continue;
                }
                if (got < 0 && (errno == EAGAIN || errno == EINTR)) continue;
            }
            // The host closed its end (or an error): drop the channel.
            it = std::find(channels_.begin(), channels_.end(), fd);
            if (it != channels_.end()) {
                ::close(fd);
                channels_.erase(it);
            }
        }
    }
}

}  // namespace lumora
