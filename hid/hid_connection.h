#pragma once
// One open device node: a pollable descriptor that carries one report per read or
// write with hidraw's framing (numbered reports start with their ID; unnumbered
// reports have no ID byte on read and a 0 byte on write), plus what the node is.

#include <cstdint>
#include <string>
#include <vector>

#include "hid/hid_types.h"

namespace lumora {

class HidConnection {
public:
    HidConnection(int fd, std::string node, HidIdentity identity, std::vector<uint8_t> descriptor);
    ~HidConnection();
    HidConnection(const HidConnection&) = delete;
    HidConnection& operator=(const HidConnection&) = delete;

    int Fd() const { return fd_; }
    const std::string& Node() const { return node_; }
    const HidIdentity& Identity() const { return identity_; }
    const std::vector<uint8_t>& Descriptor() const { return descriptor_; }

private:
    int fd_;
    std::string node_;
    HidIdentity identity_;
    std::vector<uint8_t> descriptor_;
};

}  // namespace lumora
