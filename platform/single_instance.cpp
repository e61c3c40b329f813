#include "platform/single_instance.h"

#include "platform/logger.h"
#include "platform/paths.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

namespace lumora {

SingleInstance::SingleInstance() : SingleInstance(Paths::InstanceLockFile()) {}

SingleInstance::SingleInstance(std::filesystem::path lockFile) : lockFile_(std::move(lockFile)) {}

SingleInstance::~SingleInstance() { Release(); }

SingleInstance::Result SingleInstance::TryAcquire() {
    if (fd_ >= 0) return Result::Acquired;
    error_.clear();
    if (lockFile_.empty()) {
        error_ = "no runtime folder for the instance lock";
        LOG_ERROR("instance", "%s", error_.c_str());
        return Result::Failed;
    }
    int fd = open(lockFile_.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
    if (fd < 0) {
        error_ = "cannot open " + lockFile_.string() + ": " + std::strerror(errno);
        LOG_ERROR("instance", "%s", error_.c_str());
        return Result::Failed;
    }
    int rc;
    do {
        rc = flock(fd, LOCK_EX | LOCK_NB);
    } while (rc != 0 && errno == EINTR);
    if (rc != 0) {
        int saved = errno;
        close(fd);
        if (saved == EWOULDBLOCK) {
            LOG_INFO("instance", "another instance holds %s", lockFile_.c_str());
            return Result::AlreadyRunning;
        }
        error_ = "cannot lock " + lockFile_.string() + ": " + std::strerror(saved);
        LOG_ERROR("instance", "%s", error_.c_str());
        return Result::Failed;
    }
    fd_ = fd;
    // The holder's pid, for people looking at the folder; nothing reads it back.
    std::string pid = std::to_string(getpid()) + "\n";
    if (ftruncate(fd_, 0) != 0 || pwrite(fd_, pid.data(), pid.size(), 0) != static_cast<ssize_t>(pid.size()))
        LOG_DEBUG("instance", "cannot write the pid into %s", lockFile_.c_str());
    LOG_INFO("instance", "holding %s", lockFile_.c_str());
    return Result::Acquired;
}

void SingleInstance::Release() {
    if (fd_ < 0) return;
    flock(fd_, LOCK_UN);
    close(fd_);
    fd_ = -1;
}

}  // namespace lumora
