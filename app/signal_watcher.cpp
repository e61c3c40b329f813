#include "app/signal_watcher.h"

#include <cerrno>
#include <csignal>
#include <cstring>
#include <poll.h>
#include <pthread.h>
#include <sys/signalfd.h>
#include <unistd.h>

#include "platform/logger.h"

namespace lumora {

namespace {
constexpr const char* kTag = "app";

sigset_t WatchedSignals() {
    sigset_t set;
    sigemptyset(&set);
    sigaddset(&set, SIGTERM);
    sigaddset(&set, SIGINT);
    sigaddset(&set, SIGHUP);
    return set;
}
}  // namespace

SignalWatcher::~SignalWatcher() { Stop(); }

bool SignalWatcher::BlockSignals() {
    sigset_t set = WatchedSignals();
    return pthread_sigmask(SIG_BLOCK, &set, nullptr) == 0;
}

void SignalWatcher::UnblockSignals() {
    sigset_t set = WatchedSignals();
    pthread_sigmask(SIG_UNBLOCK, &set, nullptr);
}

bool SignalWatcher::Start(Handler handler) {
    if (fd_ >= 0) return false;
    sigset_t set = WatchedSignals();
    fd_ = signalfd(-1, &set, SFD_CLOEXEC | SFD_NONBLOCK);
    if (fd_ < 0) {
        LOG_ERROR(kTag, "cannot watch for termination signals: %s", std::strerror(errno));
        return false;
    }
    const int fd = fd_;
    const bool started = thread_.Start([fd, handler = std::move(handler)](const StopEvent& stop) {
        pollfd fds[2] = {{fd, POLLIN, 0}, {stop.PollFd(), POLLIN, 0}};
        while (!stop.IsSet()) {
            // Without a stop fd, look at the event now and then.
            const int ready = poll(fds, fds[1].fd >= 0 ? 2 : 1, fds[1].fd >= 0 ? -1 : 100);
            if (ready < 0 && errno != EINTR) {
                LOG_ERROR(kTag, "signal watch failed: %s", std::strerror(errno));
                return;
            }
            if (ready <= 0 || !(fds[0].revents & POLLIN)) continue;
            signalfd_siginfo info{};
            while (read(fd, &info, sizeof info) == static_cast<ssize_t>(sizeof info)) {
                LOG_INFO(kTag, "signal %u received", info.ssi_signo);
                handler(static_cast<int>(info.ssi_signo));
            }
        }
    });
    if (!started) {
        close(fd_);
        fd_ = -1;
    }
    return started;
}

void SignalWatcher::Stop() {
    thread_.Stop();
    if (fd_ >= 0) close(fd_);
    fd_ = -1;
}

}  // namespace lumora
