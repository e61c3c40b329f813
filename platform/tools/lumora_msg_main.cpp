// lumora-msg NAME [WPARAM [LPARAM]] [--data FILE]
// Sends a registered message to the running Lumora instance over the local bus
// (game integrations, scripts). Exit status: 0 sent, 1 no running instance,
// 2 bad command line, 3 any other failure.

#include "platform/bus_client.h"
#include "platform/bus_frame.h"

#include <cerrno>
#include <charconv>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <string>
#include <string_view>
#include <type_traits>
#include <vector>

namespace {

constexpr int kSent = 0;
constexpr int kNoInstance = 1;
constexpr int kUsage = 2;
constexpr int kFailed = 3;

void PrintUsage(FILE* out) {
    std::fprintf(out,
                 "usage: lumora-msg NAME [WPARAM [LPARAM]] [--data FILE]\n"
                 "Sends the registered message NAME to the running Lumora instance.\n"
                 "WPARAM and LPARAM are integers (decimal, or hexadecimal with 0x); both default to 0.\n"
                 "--data FILE sends the file's bytes (at most %zu) as the message's data block.\n",
                 lumora::BusFrame::kMaxDataBlock);
}

// Decimal or 0x-hexadecimal, with an optional minus sign; the whole text must be the number.
template <typename T>
bool ParseNumber(std::string_view text, T& value) {
    bool negative = !text.empty() && text.front() == '-';
    if (negative) text.remove_prefix(1);
    int base = 10;
    if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
        base = 16;
        text.remove_prefix(2);
    }
    if (text.empty()) return false;
    std::uint64_t magnitude = 0;
    auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), magnitude, base);
    if (error != std::errc() || end != text.data() + text.size()) return false;
    if constexpr (std::is_signed_v<T>) {
        if (negative) {
            if (magnitude > static_cast<std::uint64_t>(INT64_MAX) + 1) return false;
            value = static_cast<T>(0 - magnitude);  // two's complement, also for INT64_MIN
            return true;
        }
        if (magnitude > static_cast<std::uint64_t>(INT64_MAX)) return false;
    } else if (negative) {
        return false;
    }
    value = static_cast<T>(magnitude);
    return true;
}

bool ReadDataFile(const char* path, std::vector<std::uint8_t>& data) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        std::fprintf(stderr, "lumora-msg: cannot open %s: %s\n", path, std::strerror(errno));
        return false;
    }
    const std::size_t limit = lumora::BusFrame::kMaxDataBlock;
    data.resize(limit + 1);
    in.read(reinterpret_cast<char*>(data.data()), static_cast<std::streamsize>(data.size()));
    if (in.bad()) {
        std::fprintf(stderr, "lumora-msg: cannot read %s\n", path);
        return false;
    }
    auto got = static_cast<std::size_t>(in.gcount());
    if (got > limit) {
        std::fprintf(stderr, "lumora-msg: %s is larger than the %zu bytes a message can carry\n", path, limit);
        return false;
    }
    data.resize(got);
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    std::vector<std::string_view> positional;
    const char* dataFile = nullptr;
    for (int i = 1; i < argc; ++i) {
        std::string_view arg = argv[i];
        if (arg == "--help" || arg == "-h") {
            PrintUsage(stdout);
            return kSent;
        }
        if (arg == "--data") {
            if (i + 1 >= argc || dataFile) {
                PrintUsage(stderr);
                return kUsage;
            }
            dataFile = argv[++i];
        } else if (arg.size() > 1 && arg[0] == '-' && arg[1] == '-') {
            std::fprintf(stderr, "lumora-msg: unknown option %s\n", argv[i]);
            PrintUsage(stderr);
            return kUsage;
        } else {
            positional.push_back(arg);
        }
    }
    if (positional.empty() || positional.size() > 3) {
        PrintUsage(stderr);
        return kUsage;
    }
    std::string_view name = positional[0];
    if (!lumora::BusFrame::ValidMessageName(name)) {
        std::fprintf(stderr, "lumora-msg: a message name is 1 to %zu printable ASCII characters\n",
                     lumora::BusFrame::kMaxMessageName);
        return kUsage;
    }
    std::uint64_t wParam = 0;
    std::int64_t lParam = 0;
    if (positional.size() > 1 && !ParseNumber(positional[1], wParam)) {
        std::fprintf(stderr, "lumora-msg: WPARAM must be a non-negative integer: %.*s\n",
                     static_cast<int>(positional[1].size()), positional[1].data());
        return kUsage;
    }
    if (positional.size() > 2 && !ParseNumber(positional[2], lParam)) {
        std::fprintf(stderr, "lumora-msg: LPARAM must be an integer: %.*s\n", static_cast<int>(positional[2].size()),
                     positional[2].data());
        return kUsage;
    }
    std::vector<std::uint8_t> data;
    if (dataFile && !ReadDataFile(dataFile, data)) return kFailed;

    lumora::BusClient client;
    if (!client.Connect("lumora-msg", std::chrono::milliseconds(1000))) {
        if (client.NoInstance()) {
            std::fprintf(stderr, "lumora-msg: Lumora is not running (%s)\n", client.Error().c_str());
            return kNoInstance;
        }
        std::fprintf(stderr, "lumora-msg: cannot reach Lumora: %s\n", client.Error().c_str());
        return kFailed;
    }
    if (!client.Send(name, wParam, lParam, data)) {
        std::fprintf(stderr, "lumora-msg: sending failed: %s\n", client.Error().c_str());
        return kFailed;
    }
    return kSent;
}
