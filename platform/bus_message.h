#pragma once
// A registered message travelling on the local bus.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace lumora {

struct BusMessage {
    // WM_COPYDATA records travel under this name, wParam = dwData, record = data.
    static constexpr std::string_view kCopyDataName = "WM_COPYDATA";

    // Server side: the sending connection's id and the name it introduced itself
    // with. On a client both are empty: messages come from the running instance.
    std::uint64_t client = 0;
    std::string sender;
    // The registered name; resolve it with MessageCatalogue::Find, which never
    // registers names that arrive from outside.
    std::string name;
    std::uint64_t wParam = 0;
    std::int64_t lParam = 0;
    std::vector<std::uint8_t> data;
};

}  // namespace lumora
