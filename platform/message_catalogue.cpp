#include "platform/message_catalogue.h"

#include "platform/logger.h"

namespace lumora {

MessageCatalogue& MessageCatalogue::Process() {
    static MessageCatalogue catalogue;
    return catalogue;
}

std::string MessageCatalogue::Fold(std::string_view name) {
    std::string folded(name);
    for (char& c : folded)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return folded;
}

std::uint32_t MessageCatalogue::Register(std::string_view name) {
    if (name.empty() || name.size() > kMaxNameLength) return 0;
    std::string key = Fold(name);
    std::lock_guard lock(mutex_);
    if (auto it = ids_.find(key); it != ids_.end()) return it->second;
    if (names_.size() > kLastId - kFirstId) {
        LOG_ERROR("messages", "registered-message range is used up; cannot register %.*s",
                  static_cast<int>(name.size()), name.data());
        return 0;
    }
    auto id = static_cast<std::uint32_t>(kFirstId + names_.size());
    names_.emplace_back(name);
    ids_.emplace(std::move(key), id);
    return id;
}

std::optional<std::uint32_t> MessageCatalogue::Find(std::string_view name) const {
    if (name.empty() || name.size() > kMaxNameLength) return std::nullopt;
    std::string key = Fold(name);
    std::lock_guard lock(mutex_);
    if (auto it = ids_.find(key); it != ids_.end()) return it->second;
    return std::nullopt;
}

std::optional<std::string> MessageCatalogue::NameOf(std::uint32_t id) const {
    if (!InRange(id)) return std::nullopt;
    std::lock_guard lock(mutex_);
    std::size_t index = id - kFirstId;
    if (index >= names_.size()) return std::nullopt;
    return names_[index];
}

std::size_t MessageCatalogue::Size() const {
    std::lock_guard lock(mutex_);
    return names_.size();
}

}  // namespace lumora
