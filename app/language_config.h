#pragma once
// "Language.config" in the default-data folder: the languages the program offers,
// in order. A language index is a position in this list; the settings store keeps
// the language's identifier.
//
//   { "Language" : [ { "Language_ID" : 520, "Language_name" : "English",
//                      "Language_file" : "lan_en.xml" }, ... ] }

#include <cstddef>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace lumora {

class LanguageConfig {
public:
    static constexpr std::string_view kFileName = "Language.config";

    struct Entry {
        int id = 0;
        std::string name;
        std::string file;
    };

    // Reads the list; false (and no entries) when the file is missing or is not such a
    // document. An element with a field of the wrong type reads that field as 0 or "".
    bool Load(const std::filesystem::path& file);

    const std::vector<Entry>& Entries() const { return entries_; }
    // The entry at `index`; an empty one (identifier 0) outside the list.
    Entry At(int index) const;
    // The first position with this identifier.
    std::optional<int> IndexOf(int id) const;

private:
    std::vector<Entry> entries_;
};

}  // namespace lumora
