#include "profiles/json_file.h"

#include "platform/logger.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <memory>
#include <mutex>
#include <sstream>
#include <system_error>
#include <vector>

namespace lumora {
namespace {

constexpr const char* kTag = "profiles";

class FdGuard {
public:
    explicit FdGuard(int fd) : fd_(fd) {}
    ~FdGuard() {
        if (fd_ >= 0) ::close(fd_);
    }
    FdGuard(const FdGuard&) = delete;
    FdGuard& operator=(const FdGuard&) = delete;
    int get() const { return fd_; }
    // Closes now so the caller can see a deferred write error.
    int Close() {
        int rc = ::close(fd_);
        fd_ = -1;
        return rc;
    }

private:
    int fd_;
};

bool WriteAll(int fd, std::string_view bytes) {
    while (!bytes.empty()) {
        ssize_t n = ::write(fd, bytes.data(), bytes.size());
        if (n < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        bytes.remove_prefix(static_cast<std::size_t>(n));
    }
    return true;
}

// Temporary files of a process that died while writing (a crash, a kill) are removed so
// they do not pile up beside the profiles. A live writer's file is left alone.
void RemoveStaleTemporaries(const std::filesystem::path& folder, const std::string& prefix) {
    std::error_code ec;
    for (std::filesystem::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
        const std::string name = it->path().filename().string();
        if (name.size() <= prefix.size() || name.compare(0, prefix.size(), prefix) != 0) continue;
        const std::string pid = name.substr(prefix.size(), name.find('-', prefix.size()) - prefix.size());
        if (pid.empty() || pid.find_first_not_of("0123456789") != std::string::npos) continue;
        if (std::filesystem::exists("/proc/" + pid)) continue;
        std::error_code removeError;
        std::filesystem::remove(it->path(), removeError);
    }
}

std::int64_t FloorDiv(std::int64_t a, std::int64_t b) {
    std::int64_t q = a / b;
    if ((a % b != 0) && ((a < 0) != (b < 0))) --q;
    return q;
}

}  // namespace

std::string CJsonFile::readjsonFile(const std::filesystem::path& path) {
    // O_NONBLOCK keeps a FIFO at this path from blocking the open; only regular files are read.
    int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK);
    LOG_DEBUG(kTag, "readjsonFile 错误吗：：%d", fd < 0 ? errno : 0);
    if (fd < 0) return {};
    FdGuard guard(fd);

    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        LOG_WARNING(kTag, "not a regular file: %s", path.c_str());
        return {};
    }
    if (static_cast<std::uint64_t>(st.st_size) > kMaxFileSize) {
        LOG_WARNING(kTag, "file too large (%lld bytes), not read: %s", static_cast<long long>(st.st_size),
                    path.c_str());
        return {};
    }

    std::string text;
    text.resize(static_cast<std::size_t>(st.st_size));
    std::size_t got = 0;
    // Read to the end even if the size changed meanwhile, but never past the cap.
    for (;;) {
        if (got == text.size()) {
            if (text.size() > kMaxFileSize) {
                LOG_WARNING(kTag, "file grew beyond the size limit while reading: %s", path.c_str());
                return {};
            }
            text.resize(std::min<std::size_t>(text.size() + 4096, kMaxFileSize + 1));
        }
        ssize_t n = ::read(fd, text.data() + got, text.size() - got);
        if (n < 0) {
            if (errno == EINTR) continue;
            LOG_WARNING(kTag, "read failed (%s): %s", std::strerror(errno), path.c_str());
            return {};
        }
        if (n == 0) break;
        got += static_cast<std::size_t>(n);
    }
    text.resize(got);
    // The text ends at the first zero byte, as a C string would.
    if (auto zero = text.find('\0'); zero != std::string::npos) text.resize(zero);
    return text;
}

Json::Value CJsonFile::ParseJson(std::string_view text) {
    if (auto zero = text.find('\0'); zero != std::string_view::npos) text = text.substr(0, zero);
    if (text.empty()) return Json::Value();
    // Library defaults (comments allowed, nesting limited to 1000 levels). Comments are not
    // collected: the writer does not write them back.
    Json::CharReaderBuilder builder;
    builder["allowComments"] = true;
    builder["collectComments"] = false;
    Json::Value root;
    std::string errors;
    try {
        std::unique_ptr<Json::CharReader> reader(builder.newCharReader());
        if (!reader->parse(text.data(), text.data() + text.size(), &root, &errors)) {
            LOG_DEBUG(kTag, "JSON does not parse: %s", errors.c_str());
            return Json::Value();
        }
    } catch (const std::exception& e) {
        // Too deep nesting and similar limits are reported by exception.
        LOG_DEBUG(kTag, "JSON rejected: %s", e.what());
        return Json::Value();
    }
    return root;
}

Json::Value CJsonFile::ReadJson(const std::filesystem::path& path) {
    std::string text = readjsonFile(path);
    if (text.empty()) {
        LOG_DEBUG(kTag, "%s", path.c_str());
        return Json::Value();
    }
    Json::Value root = ParseJson(text);
    if (root.isNull()) LOG_WARNING(kTag, "not a JSON document: %s", path.c_str());
    return root;
}

std::string CJsonFile::StyledText(const Json::Value& value) {
    Json::StreamWriterBuilder builder;
    // With comments on, this writer would put every array on lines of its own; without them
    // short arrays of scalars stay on one line within the 74-column margin.
    builder["indentation"] = "   ";
    builder["commentStyle"] = "None";
    builder["emitUTF8"] = true;
    std::ostringstream out;
    std::unique_ptr<Json::StreamWriter> writer(builder.newStreamWriter());
    writer->write(value, &out);
    out << '\n';
    return std::move(out).str();
}

bool CJsonFile::WriteJson(const std::filesystem::path& path, const Json::Value& value) {
    std::string text;
    try {
        text = StyledText(value);
    } catch (const std::exception& e) {
        LOG_ERROR(kTag, "cannot format document for %s: %s", path.c_str(), e.what());
        return false;
    }
    return WriteFileAtomically(path, text);
}

bool CJsonFile::WriteFileAtomically(const std::filesystem::path& path, std::string_view bytes) {
    static std::atomic<unsigned> counter{0};
    if (path.filename().empty()) {
        LOG_ERROR(kTag, "cannot write a file without a name: %s", path.c_str());
        return false;
    }
    std::filesystem::path folder = path.parent_path();
    if (folder.empty()) folder = ".";
    // Hidden, and not ending in the document's extension, so folder scans never take it for one.
    // (Appended piece by piece: g++ 12 at -O3 misreports "." + string as an overlapping copy.)
    std::string tempPrefix = ".";
    tempPrefix += path.filename().string();
    tempPrefix += ".tmp-";
    RemoveStaleTemporaries(folder, tempPrefix);
    std::string tempName =
        tempPrefix + std::to_string(::getpid()) + "-" + std::to_string(counter.fetch_add(1));
    std::filesystem::path temp = folder / tempName;

    int fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOCTTY, 0666);
    if (fd < 0) {
        LOG_ERROR(kTag, "cannot create %s: %s", temp.c_str(), std::strerror(errno));
        return false;
    }
    FdGuard guard(fd);
    // The replacement keeps the permissions the user gave the file.
    struct stat old {};
    if (::stat(path.c_str(), &old) == 0 && S_ISREG(old.st_mode)) ::fchmod(fd, old.st_mode & 07777);
    auto fail = [&](const char* what) {
        int err = errno;
        if (guard.get() >= 0) guard.Close();
        ::unlink(temp.c_str());
        LOG_ERROR(kTag, "%s failed for %s: %s", what, path.c_str(), std::strerror(err));
        return false;
    };
    if (!WriteAll(fd, bytes)) return fail("write");
    if (::fsync(fd) != 0) return fail("fsync");
    if (guard.Close() != 0) return fail("close");
    if (::rename(temp.c_str(), path.c_str()) != 0) return fail("rename");
    return true;
}

std::filesystem::path CJsonFile::KeepAside(const std::filesystem::path& path) {
    const std::string prefix = path.filename().string() + ".corrupt-";
    std::filesystem::path target = path;
    target += ".corrupt-" + MakeTimestampId();
    if (::rename(path.c_str(), target.c_str()) != 0) {
        LOG_ERROR(kTag, "cannot keep damaged file %s aside: %s", path.c_str(), std::strerror(errno));
        return {};
    }
    LOG_WARNING(kTag, "damaged file kept as %s", target.c_str());

    std::vector<std::filesystem::path> copies;
    std::error_code ec;
    std::filesystem::path folder = path.parent_path().empty() ? "." : path.parent_path();
    for (std::filesystem::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
        const std::string name = it->path().filename().string();
        if (name.size() > prefix.size() && name.compare(0, prefix.size(), prefix) == 0)
            copies.push_back(it->path());
    }
    if (copies.size() > kCorruptCopiesKept) {
        // The time stamps sort in time order, so the oldest come first.
        std::sort(copies.begin(), copies.end());
        for (std::size_t i = 0; i + kCorruptCopiesKept < copies.size(); ++i) {
            std::filesystem::remove(copies[i], ec);
            if (ec) LOG_WARNING(kTag, "cannot remove old copy %s: %s", copies[i].c_str(), ec.message().c_str());
        }
    }
    return target;
}

std::string CJsonFile::MakeTimestampId() {
    // Local wall-clock milliseconds; kept strictly increasing so that two calls in one
    // millisecond, or a clock set back (also the repeated hour when summer time ends),
    // never give the same identifier.
    static std::mutex mutex;
    static std::int64_t last = INT64_MIN;

    const std::int64_t epochMs = std::chrono::duration_cast<std::chrono::milliseconds>(
                                     std::chrono::system_clock::now().time_since_epoch())
                                     .count();
    std::time_t seconds = static_cast<std::time_t>(FloorDiv(epochMs, 1000));
    std::tm local{};
    localtime_r(&seconds, &local);
    std::int64_t localMs = epochMs + static_cast<std::int64_t>(local.tm_gmtoff) * 1000;
    {
        std::lock_guard lock(mutex);
        if (localMs <= last) localMs = last + 1;
        last = localMs;
    }
    std::time_t localSeconds = static_cast<std::time_t>(FloorDiv(localMs, 1000));
    int millis = static_cast<int>(localMs - static_cast<std::int64_t>(localSeconds) * 1000);
    std::tm t{};
    gmtime_r(&localSeconds, &t);
    char buffer[200];
    std::snprintf(buffer, sizeof buffer, "%d_%02d_%02d_%02d_%02d_%02d_%03d", t.tm_year + 1900, t.tm_mon + 1,
                  t.tm_mday, t.tm_hour, t.tm_min, t.tm_sec, millis);
    return buffer;
}

std::string CJsonFile::FileTitle(const std::filesystem::path& path) { return path.stem().string(); }

}  // namespace lumora
