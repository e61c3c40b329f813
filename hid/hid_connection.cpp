#include "hid/hid_connection.h"

#include <unistd.h>

namespace lumora {

HidConnection::HidConnection(int fd, std::string node, HidIdentity identity, std::vector<uint8_t> descriptor)
    : fd_(fd), node_(std::move(node)), identity_(std::move(identity)), descriptor_(std::move(descriptor)) {}

HidConnection::~HidConnection() {
    if (fd_ >= 0) ::close(fd_);
}

}  // namespace lumora
