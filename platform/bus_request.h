#pragma once
// An automation command sent over the bus, and the reply it gets.

#include <cstdint>
#include <string>
#include <vector>

namespace lumora {

struct BusRequest {
    std::uint64_t client = 0;  // connection to answer with BusServer::Reply
    std::string sender;        // the client's name
    std::uint32_t id = 0;      // request id to echo in the reply
    std::vector<std::string> args;
};

struct BusReply {
    std::int32_t status = 0;  // exit status for the command line: 0 = success
    std::string text;         // plain text, one value per line
};

}  // namespace lumora
