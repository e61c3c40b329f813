#pragma once
// A fresh folder per test, with the user's data and config folders pointed into it so a
// test never touches the real ones.

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <unistd.h>

namespace lumora::test {

class TempFolder {
public:
    TempFolder() {
        std::string pattern = (std::filesystem::temp_directory_path() / "lumora-profiles-XXXXXX").string();
        if (!::mkdtemp(pattern.data())) std::abort();
        root_ = pattern;
        for (const char* var : {"XDG_DATA_HOME", "XDG_CONFIG_HOME", "XDG_CACHE_HOME", "XDG_RUNTIME_DIR"}) {
            std::filesystem::create_directories(root_ / var);
            ::setenv(var, (root_ / var).c_str(), 1);
        }
    }
    ~TempFolder() {
        std::error_code ec;
        std::filesystem::remove_all(root_, ec);
    }
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    const std::filesystem::path& Path() const { return root_; }
    std::filesystem::path operator/(const std::string& name) const { return root_ / name; }

    static void Write(const std::filesystem::path& path, const std::string& bytes) {
        std::ofstream out(path, std::ios::binary | std::ios::trunc);
        out << bytes;
    }
    static std::string Read(const std::filesystem::path& path) {
        std::ifstream in(path, std::ios::binary);
        return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    }
    // Names of the folder's entries that start with prefix.
    std::size_t CountStartingWith(const std::string& prefix) const {
        std::size_t n = 0;
        for (const auto& e : std::filesystem::directory_iterator(root_))
            if (e.path().filename().string().rfind(prefix, 0) == 0) ++n;
        return n;
    }

private:
    std::filesystem::path root_;
};

// The shipped default profiles of the source tree.
inline std::filesystem::path ShippedDefaultData() {
    return std::filesystem::path(LUMORA_SOURCE_DIR) / "data" / "DefaultData";
}

}  // namespace lumora::test
