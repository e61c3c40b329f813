#pragma once
// The JSON file layer: every document of the program is read and written here.
// Reading never throws and never trusts the file; writing is whole and atomic.

#include <json/json.h>

#include <cstddef>
#include <filesystem>
#include <string>
#include <string_view>

namespace lumora {

class CJsonFile {
public:
    // Files larger than this are not profiles; they are refused rather than read whole.
    static constexpr std::size_t kMaxFileSize = 32u * 1024u * 1024u;
    // How many ".corrupt-" copies of one file are kept beside it.
    static constexpr std::size_t kCorruptCopiesKept = 3;

    // Whole content of a regular file, or empty when it cannot be opened or fully read.
    static std::string readjsonFile(const std::filesystem::path& path);

    // Parsed document (comments allowed, text cut at the first zero byte);
    // null when the text is empty or does not parse.
    static Json::Value ReadJson(const std::filesystem::path& path);

    // Parses text the same way as ReadJson; null on failure.
    static Json::Value ParseJson(std::string_view text);

    // The styled text (3-blank indentation) with one line end, as WriteJson writes it.
    static std::string StyledText(const Json::Value& value);

    // Writes the styled document atomically: temporary file in the same folder,
    // flushed to disk, then renamed over the target. False (and a log line) on failure;
    // the previous file is then untouched.
    [[nodiscard]] static bool WriteJson(const std::filesystem::path& path, const Json::Value& value);

    // Atomic replacement of a file's bytes; the primitive under WriteJson.
    [[nodiscard]] static bool WriteFileAtomically(const std::filesystem::path& path, std::string_view bytes);

    // Renames a damaged file to "<name>.corrupt-<timestamp>" so a repair never destroys it,
    // and removes the oldest such copies beyond kCorruptCopiesKept. Returns the new path,
    // or an empty path when the file could not be moved.
    static std::filesystem::path KeepAside(const std::filesystem::path& path);

    // Local-time stamp "Y_MM_DD_hh_mm_ss_mmm"; never the same text twice in one process.
    static std::string MakeTimestampId();

    // The file name without folder and extension.
    static std::string FileTitle(const std::filesystem::path& path);
};

}  // namespace lumora
