#include "platform/paths.h"

#include "platform/logger.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <pwd.h>
#include <sys/stat.h>
#include <sys/types.h>
#include <unistd.h>
#include <vector>

namespace lumora {
namespace {

constexpr const char* kTag = "paths";

// A folder we may keep a lock and a socket in: a real directory (no symlink), ours,
// and closed to group and others.
bool IsPrivateFolder(const std::filesystem::path& folder, bool repairMode) {
    struct stat st {};
    if (lstat(folder.c_str(), &st) != 0) return false;
    if (!S_ISDIR(st.st_mode) || st.st_uid != geteuid()) return false;
    if ((st.st_mode & 077) != 0) {
        if (!repairMode || chmod(folder.c_str(), 0700) != 0) return false;
    }
    return true;
}

}  // namespace

std::filesystem::path Paths::ExecutableFolder() {
    std::vector<char> buffer(256);
    for (;;) {
        ssize_t n = readlink("/proc/self/exe", buffer.data(), buffer.size());
        if (n < 0) {
            LOG_ERROR(kTag, "cannot read /proc/self/exe: %s", std::strerror(errno));
            return {};
        }
        if (static_cast<size_t>(n) < buffer.size())
            return std::filesystem::path(std::string(buffer.data(), static_cast<size_t>(n))).parent_path();
        if (buffer.size() >= 65536) return {};
        buffer.resize(buffer.size() * 2);
    }
}

std::filesystem::path Paths::HomeFolder() {
    if (const char* home = std::getenv("HOME"); home && home[0] == '/') return home;
    long size = sysconf(_SC_GETPW_R_SIZE_MAX);
    std::vector<char> buffer(size > 0 ? static_cast<size_t>(size) : 16384);
    passwd entry{};
    passwd* found = nullptr;
    if (getpwuid_r(geteuid(), &entry, buffer.data(), buffer.size(), &found) == 0 && found && found->pw_dir &&
        found->pw_dir[0] == '/')
        return found->pw_dir;
    return {};
}

std::filesystem::path Paths::XdgFolder(const char* variable, std::string_view fallbackUnderHome) {
    if (const char* value = std::getenv(variable); value && value[0] == '/') return value;
    std::filesystem::path home = HomeFolder();
    if (home.empty()) return {};
    return home / fallbackUnderHome;
}

std::filesystem::path Paths::DataHome() { return XdgFolder("XDG_DATA_HOME", ".local/share"); }

std::filesystem::path Paths::ConfigHome() { return XdgFolder("XDG_CONFIG_HOME", ".config"); }

std::filesystem::path Paths::RuntimeFolder() {
    if (const char* value = std::getenv("XDG_RUNTIME_DIR"); value && value[0] == '/') {
        if (IsPrivateFolder(value, false)) return value;
        LOG_WARNING(kTag, "XDG_RUNTIME_DIR %s is not a private folder of this user; using a fallback", value);
    }
    std::filesystem::path base = "/tmp";
    if (const char* tmp = std::getenv("TMPDIR"); tmp && tmp[0] == '/') base = tmp;
    std::filesystem::path folder = base / ("lumora-" + std::to_string(geteuid()));
    if (mkdir(folder.c_str(), 0700) != 0 && errno != EEXIST) {
        LOG_ERROR(kTag, "cannot create runtime folder %s: %s", folder.c_str(), std::strerror(errno));
        return {};
    }
    // Someone else may have made it first to catch our socket: never use it then.
    if (!IsPrivateFolder(folder, true)) {
        LOG_ERROR(kTag, "runtime folder %s is not a private folder owned by this user", folder.c_str());
        return {};
    }
    return folder;
}

std::filesystem::path Paths::ProductDataFolder() {
    std::filesystem::path home = DataHome();
    return home.empty() ? home : home / kProductName;
}

std::filesystem::path Paths::ProductConfigFolder() {
    std::filesystem::path home = ConfigHome();
    return home.empty() ? home : home / kProductName;
}

std::filesystem::path Paths::InstanceLockFile() {
    std::filesystem::path folder = RuntimeFolder();
    return folder.empty() ? folder : folder / (std::string(kProductName) + ".lock");
}

std::filesystem::path Paths::BusSocketFile() {
    std::filesystem::path folder = RuntimeFolder();
    return folder.empty() ? folder : folder / (std::string(kProductName) + ".sock");
}

bool Paths::EnsureFolder(const std::filesystem::path& folder) {
    if (folder.empty()) return false;
    std::error_code error;
    std::filesystem::create_directories(folder, error);
    if (std::filesystem::is_directory(folder, error)) return true;
    LOG_ERROR(kTag, "cannot create folder %s: %s", folder.c_str(), error.message().c_str());
    return false;
}

}  // namespace lumora
