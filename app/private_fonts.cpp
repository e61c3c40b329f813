#include "app/private_fonts.h"

#include <fstream>

#include "platform/logger.h"
#include "ui/paint_manager_ui.h"

namespace lumora {

namespace {
constexpr const char* kTag = "app";
}

PrivateFonts::~PrivateFonts() { Remove(); }

bool PrivateFonts::Usable(const std::filesystem::path& file) {
    std::error_code error;
    if (!std::filesystem::is_regular_file(file, error) || std::filesystem::file_size(file, error) == 0 || error)
        return false;
    std::ifstream in(file, std::ios::binary);
    char first = 0;
    return static_cast<bool>(in.read(&first, 1));
}

void PrivateFonts::Load(const std::filesystem::path& programFolder) {
    for (std::string_view relative : kFiles) {
        const std::filesystem::path file = programFolder / relative;
        if (!Usable(file)) {
            LOG_DEBUG(kTag, "font %s not loaded: missing or unreadable", file.c_str());
            continue;
        }
        CPaintManagerUI::AddFontFile(file.string());
        loaded_.push_back(file);
        LOG_DEBUG(kTag, "font %s loaded", file.c_str());
    }
}

void PrivateFonts::Remove() {
    if (loaded_.empty()) return;
    // The library keeps one list of private fonts, and ours are all of it.
    CPaintManagerUI::ClearFontFiles();
    loaded_.clear();
}

}  // namespace lumora
