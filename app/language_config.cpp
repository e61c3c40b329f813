#include "app/language_config.h"

#include <limits>

#include "platform/logger.h"
#include "profiles/json_file.h"

namespace lumora {

namespace {
constexpr const char* kTag = "language";
// The list names a handful of languages; anything longer is not our file.
constexpr Json::ArrayIndex kMaxEntries = 256;

int IntField(const Json::Value& element, const char* key) {
    const Json::Value& v = element[key];
    if (v.isInt()) return v.asInt();
    return 0;
}

std::string StringField(const Json::Value& element, const char* key) {
    const Json::Value& v = element[key];
    return v.isString() ? v.asString() : std::string();
}
}  // namespace

bool LanguageConfig::Load(const std::filesystem::path& file) {
    entries_.clear();
    const Json::Value document = CJsonFile::ReadJson(file);
    if (!document.isObject() || !document["Language"].isArray()) {
        LOG_WARNING(kTag, "no language list in %s", file.c_str());
        return false;
    }
    const Json::Value& list = document["Language"];
    if (list.size() > kMaxEntries) {
        LOG_WARNING(kTag, "%s lists %u languages; it is not a language list", file.c_str(), list.size());
        return false;
    }
    for (const Json::Value& element : list) {
        if (!element.isObject()) {
            entries_.push_back(Entry{});
            continue;
        }
        entries_.push_back(Entry{IntField(element, "Language_ID"), StringField(element, "Language_name"),
                                 StringField(element, "Language_file")});
    }
    return true;
}

LanguageConfig::Entry LanguageConfig::At(int index) const {
    if (index < 0 || static_cast<size_t>(index) >= entries_.size()) return {};
    return entries_[static_cast<size_t>(index)];
}

std::optional<int> LanguageConfig::IndexOf(int id) const {
    for (size_t i = 0; i < entries_.size() && i < static_cast<size_t>(std::numeric_limits<int>::max()); ++i)
        if (entries_[i].id == id) return static_cast<int>(i);
    return std::nullopt;
}

}  // namespace lumora
