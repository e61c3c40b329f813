#pragma once
// The program's registry: values under key paths ("SOFTWARE\Halvek Trine Keyboard",
// value "LANGUAGE"), kept in one JSON document, by default
// $XDG_CONFIG_HOME/Halvek Trine Keyboard/settings.json:
//
//   { "SOFTWARE\\Halvek Trine Keyboard" : { "LANGUAGE" : 520 } }
//
// Key paths and value names compare without ASCII case, as the registry's do.
// Values are strings or integers; other JSON kinds found in the file are left alone.
// Every change rewrites the whole file atomically (temporary file in the same folder,
// fsync, rename). A file that cannot be read as such a document is renamed aside
// ("settings.json.damaged-<time>") and never overwritten. Reads see changes other
// processes made to the file. Safe to use from any thread.

#include <cstdint>
#include <ctime>
#include <filesystem>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>

#include <json/value.h>

namespace lumora {

class SettingsStore {
public:
    static constexpr std::string_view kFileName = "settings.json";
    // A larger file is not a settings file of ours: kept aside like a damaged one.
    static constexpr std::uintmax_t kMaxFileSize = 1024 * 1024;

    // Paths::ProductConfigFolder()/settings.json unless given.
    SettingsStore();
    explicit SettingsStore(std::filesystem::path file);

    bool HasKey(std::string_view key) const;
    // Creates an empty key; true when it exists afterwards (written to the file).
    bool CreateKey(std::string_view key);
    // Removes a key with its values; false when it was not there or the write failed.
    bool RemoveKey(std::string_view key);

    // Nothing when the key or value is missing or holds another type.
    std::optional<std::string> GetString(std::string_view key, std::string_view name) const;
    std::optional<std::int64_t> GetInteger(std::string_view key, std::string_view name) const;

    // Write the value, creating the key unless `createKey` is false (then a missing key
    // fails, as opening a registry key for writing does). False when the file could
    // not be written; the previous file is then untouched.
    bool SetString(std::string_view key, std::string_view name, std::string_view value, bool createKey = true);
    bool SetInteger(std::string_view key, std::string_view name, std::int64_t value, bool createKey = true);
    bool RemoveValue(std::string_view key, std::string_view name);

    const std::filesystem::path& File() const { return file_; }

private:
    struct Stamp {
        bool exists = false;
        unsigned long long device = 0, inode = 0;
        long long size = 0, seconds = 0, nanoseconds = 0;
        bool operator==(const Stamp&) const = default;
    };

    // Rereads the file when it changed on disk since the last read. Caller holds mutex_.
    void Refresh() const;
    void KeepDamagedAside(const std::string& reason) const;
    bool Write(const Json::Value& document);
    bool SetValue(std::string_view key, std::string_view name, const Json::Value& value, bool createKey);
    // Member of `object` whose name matches without case; null when none.
    static const Json::Value* Member(const Json::Value& object, std::string_view name, std::string* actual);
    static Stamp StampOf(const std::filesystem::path& file);

    std::filesystem::path file_;
    mutable std::mutex mutex_;
    mutable Json::Value document_{Json::objectValue};
    mutable Stamp stamp_;
    mutable bool loaded_ = false;
};

}  // namespace lumora
