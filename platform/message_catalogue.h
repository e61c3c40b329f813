#pragma once
// Registered messages: a name gives the same id for the life of the process, and
// different names give different ids, all within 0xC000-0xFFFF like the window
// messages other programs register. Names compare without ASCII case, as the
// system's atom table does. Safe to use from any thread.

#include <cstdint>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace lumora {

class MessageCatalogue {
public:
    static constexpr std::uint32_t kFirstId = 0xC000;
    static constexpr std::uint32_t kLastId = 0xFFFF;
    static constexpr std::size_t kMaxNameLength = 255;

    // The catalogue every part of the program shares.
    static MessageCatalogue& Process();

    // The id of the name, registering it on first use. 0 when the name is empty,
    // longer than kMaxNameLength, or the id range is used up.
    std::uint32_t Register(std::string_view name);
    // The id of a name already registered; nothing otherwise (never registers, so
    // names arriving from other processes cannot fill the catalogue).
    std::optional<std::uint32_t> Find(std::string_view name) const;
    // The name as first registered for an id.
    std::optional<std::string> NameOf(std::uint32_t id) const;
    std::size_t Size() const;

    static bool InRange(std::uint32_t id) { return id >= kFirstId && id <= kLastId; }

private:
    static std::string Fold(std::string_view name);

    mutable std::mutex mutex_;
    std::unordered_map<std::string, std::uint32_t> ids_;  // folded name -> id
    std::vector<std::string> names_;                      // id - kFirstId -> name
};

}  // namespace lumora
