#pragma once
// Only one copy of the program runs per user: the running one holds an exclusive
// flock on a lock file in the runtime folder. The kernel drops the lock when the
// holder dies, so a file left behind by a killed instance never blocks a new one;
// the file itself is never deleted (deleting lock files races with new lockers).

#include <filesystem>
#include <string>

namespace lumora {

class SingleInstance {
public:
    enum class Result {
        Acquired,        // this process is the running instance
        AlreadyRunning,  // another process holds the lock
        Failed,          // no lock could be taken (no runtime folder, I/O error); see Error()
    };

    // Lock file Paths::InstanceLockFile() unless given.
    SingleInstance();
    explicit SingleInstance(std::filesystem::path lockFile);
    ~SingleInstance();
    SingleInstance(const SingleInstance&) = delete;
    SingleInstance& operator=(const SingleInstance&) = delete;

    // Tries once, without waiting. Acquired again when this object already holds it.
    Result TryAcquire();
    // Drops the claim (also done by the destructor and by process end).
    void Release();
    bool Held() const { return fd_ >= 0; }

    const std::filesystem::path& LockFile() const { return lockFile_; }
    const std::string& Error() const { return error_; }

private:
    std::filesystem::path lockFile_;
    std::string error_;
    int fd_ = -1;
};

}  // namespace lumora
