#include "platform/settings_store.h"

#include "platform/logger.h"
#include "platform/paths.h"

#include <cerrno>
#include <cstdint>
#include <cstring>
#include <fcntl.h>
#include <memory>
#include <sstream>
#include <sys/stat.h>
#include <unistd.h>

#include <json/reader.h>
#include <json/writer.h>

namespace lumora {
namespace {

constexpr const char* kTag = "settings";

bool SameWithoutCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        char x = a[i], y = b[i];
        if (x >= 'A' && x <= 'Z') x = static_cast<char>(x - 'A' + 'a');
        if (y >= 'A' && y <= 'Z') y = static_cast<char>(y - 'A' + 'a');
        if (x != y) return false;
    }
    return true;
}

bool WriteAll(int fd, const std::string& text) {
    std::size_t at = 0;
    while (at < text.size()) {
        ssize_t n = write(fd, text.data() + at, text.size() - at);
        if (n < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        at += static_cast<std::size_t>(n);
    }
    return true;
}

}  // namespace

SettingsStore::SettingsStore() : SettingsStore(Paths::ProductConfigFolder() / kFileName) {}

SettingsStore::SettingsStore(std::filesystem::path file) : file_(std::move(file)) {}

SettingsStore::Stamp SettingsStore::StampOf(const std::filesystem::path& file) {
    struct stat st {};
    Stamp stamp;
    if (stat(file.c_str(), &st) != 0) return stamp;
    stamp.exists = true;
    stamp.device = st.st_dev;
    stamp.inode = st.st_ino;
    stamp.size = st.st_size;
    stamp.seconds = st.st_mtim.tv_sec;
    stamp.nanoseconds = st.st_mtim.tv_nsec;
    return stamp;
}

const Json::Value* SettingsStore::Member(const Json::Value& object, std::string_view name, std::string* actual) {
    if (!object.isObject()) return nullptr;
    for (auto it = object.begin(); it != object.end(); ++it) {
        std::string member = it.name();
        if (SameWithoutCase(member, name)) {
            if (actual) *actual = member;
            return &*it;
        }
    }
    return nullptr;
}

void SettingsStore::KeepDamagedAside(const std::string& reason) const {
    std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    char stamp[32];
    std::strftime(stamp, sizeof stamp, "%Y%m%d-%H%M%S", &local);
    std::string base = file_.string() + ".damaged-" + stamp;
    for (int attempt = 0; attempt < 100; ++attempt) {
        std::string aside = attempt == 0 ? base : base + "-" + std::to_string(attempt);
        struct stat st {};
        if (lstat(aside.c_str(), &st) == 0) continue;
        if (rename(file_.c_str(), aside.c_str()) == 0) {
            LOG_WARNING(kTag, "%s is damaged (%s); kept it as %s and started afresh", file_.c_str(), reason.c_str(),
                        aside.c_str());
            return;
        }
        break;
    }
    LOG_ERROR(kTag, "%s is damaged (%s) and cannot be moved aside: %s", file_.c_str(), reason.c_str(),
              std::strerror(errno));
}

void SettingsStore::Refresh() const {
    Stamp now = StampOf(file_);
    if (loaded_ && now == stamp_) return;
    loaded_ = true;
    document_ = Json::Value(Json::objectValue);
    stamp_ = now;
    if (!now.exists) return;

    int fd = open(file_.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        LOG_ERROR(kTag, "cannot read %s: %s", file_.c_str(), std::strerror(errno));
        return;
    }
    std::string text;
    std::string reason;
    char chunk[8192];
    for (;;) {
        ssize_t n = read(fd, chunk, sizeof chunk);
        if (n < 0) {
            if (errno == EINTR) continue;
            reason = std::string("read error: ") + std::strerror(errno);
            break;
        }
        if (n == 0) break;
        if (text.size() + static_cast<std::size_t>(n) > kMaxFileSize) {
            reason = "larger than " + std::to_string(kMaxFileSize) + " bytes";
            break;
        }
        text.append(chunk, static_cast<std::size_t>(n));
    }
    close(fd);
    if (reason.rfind("read error", 0) == 0) {
        // An I/O problem says nothing about the content: keep the file where it is.
        LOG_ERROR(kTag, "cannot read %s: %s", file_.c_str(), reason.c_str());
        return;
    }

    Json::Value parsed;
    if (reason.empty()) {
        Json::CharReaderBuilder builder;
        builder["collectComments"] = false;
        std::unique_ptr<Json::CharReader> reader(builder.newCharReader());
        std::string errors;
        if (!reader->parse(text.data(), text.data() + text.size(), &parsed, &errors)) {
            reason = "not valid JSON: " + errors;
            while (!reason.empty() && (reason.back() == '\n' || reason.back() == ' ')) reason.pop_back();
        } else if (!parsed.isObject()) {
            reason = "not a JSON object";
        } else {
            for (auto it = parsed.begin(); it != parsed.end(); ++it)
                if (!it->isObject()) {
                    reason = "key \"" + it.name() + "\" is not an object";
                    break;
                }
        }
    }
    if (!reason.empty()) {
        KeepDamagedAside(reason);
        stamp_ = StampOf(file_);
        return;
    }
    document_ = std::move(parsed);
}

bool SettingsStore::Write(const Json::Value& document) {
    std::filesystem::path folder = file_.parent_path();
    if (!Paths::EnsureFolder(folder)) return false;
    Json::StreamWriterBuilder builder;
    builder["indentation"] = "   ";
    std::string text = Json::writeString(builder, document) + "\n";

    std::string temp = file_.string() + ".XXXXXX";
    int fd = mkostemp(temp.data(), O_CLOEXEC);
    if (fd < 0) {
        LOG_ERROR(kTag, "cannot create a temporary file beside %s: %s", file_.c_str(), std::strerror(errno));
        return false;
    }
    bool ok = WriteAll(fd, text) && fsync(fd) == 0;
    int saved = errno;
    ok = close(fd) == 0 && ok;
    if (ok && rename(temp.c_str(), file_.c_str()) != 0) {
        saved = errno;
        ok = false;
    }
    if (!ok) {
        unlink(temp.c_str());
        LOG_ERROR(kTag, "cannot write %s: %s", file_.c_str(), std::strerror(saved));
        return false;
    }
    // The rename itself must reach the disk too.
    int dir = open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dir >= 0) {
        fsync(dir);
        close(dir);
    }
    document_ = document;
    stamp_ = StampOf(file_);
    return true;
}

bool SettingsStore::HasKey(std::string_view key) const {
    std::lock_guard lock(mutex_);
    Refresh();
    return Member(document_, key, nullptr) != nullptr;
}

bool SettingsStore::CreateKey(std::string_view key) {
    if (key.empty()) return false;
    std::lock_guard lock(mutex_);
    Refresh();
    if (Member(document_, key, nullptr)) return true;
    Json::Value document = document_;
    document[std::string(key)] = Json::Value(Json::objectValue);
    return Write(document);
}

bool SettingsStore::RemoveKey(std::string_view key) {
    std::lock_guard lock(mutex_);
    Refresh();
    std::string actual;
    if (!Member(document_, key, &actual)) return false;
    Json::Value document = document_;
    document.removeMember(actual);
    return Write(document);
}

std::optional<std::string> SettingsStore::GetString(std::string_view key, std::string_view name) const {
    std::lock_guard lock(mutex_);
    Refresh();
    const Json::Value* values = Member(document_, key, nullptr);
    const Json::Value* value = values ? Member(*values, name, nullptr) : nullptr;
    if (!value || !value->isString()) return std::nullopt;
    return value->asString();
}

std::optional<std::int64_t> SettingsStore::GetInteger(std::string_view key, std::string_view name) const {
    std::lock_guard lock(mutex_);
    Refresh();
    const Json::Value* values = Member(document_, key, nullptr);
    const Json::Value* value = values ? Member(*values, name, nullptr) : nullptr;
    if (!value) return std::nullopt;
    if (value->type() == Json::intValue) return value->asInt64();
    if (value->type() == Json::uintValue && value->asUInt64() <= static_cast<Json::UInt64>(INT64_MAX))
        return value->asInt64();
    return std::nullopt;
}

bool SettingsStore::SetValue(std::string_view key, std::string_view name, const Json::Value& value, bool createKey) {
    if (key.empty() || name.empty()) return false;
    std::lock_guard lock(mutex_);
    Refresh();
    Json::Value document = document_;
    std::string keyName(key);
    if (!Member(document, key, &keyName)) {
        if (!createKey) return false;
        document[keyName] = Json::Value(Json::objectValue);
    }
    Json::Value& values = document[keyName];
    std::string valueName(name);
    Member(values, name, &valueName);
    values[valueName] = value;
    return Write(document);
}

bool SettingsStore::SetString(std::string_view key, std::string_view name, std::string_view value, bool createKey) {
    return SetValue(key, name, Json::Value(std::string(value)), createKey);
}

bool SettingsStore::SetInteger(std::string_view key, std::string_view name, std::int64_t value, bool createKey) {
    return SetValue(key, name, Json::Value(static_cast<Json::Int64>(value)), createKey);
}

bool SettingsStore::RemoveValue(std::string_view key, std::string_view name) {
    std::lock_guard lock(mutex_);
    Refresh();
    std::string keyName, valueName;
    const Json::Value* values = Member(document_, key, &keyName);
    if (!values || !Member(*values, name, &valueName)) return false;
    Json::Value document = document_;
    document[keyName].removeMember(valueName);
    return Write(document);
}

}  // namespace lumora
