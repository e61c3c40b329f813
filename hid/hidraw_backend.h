#pragma once
// The kernel's hidraw nodes. Enumeration reads sysfs (root given, so tests use a fake
// tree); opening uses the node in /dev and asks the kernel for descriptor and identity.

#include <string>

#include "hid/hid_backend.h"

namespace lumora {

class HidrawBackend : public HidBackend {
public:
    explicit HidrawBackend(std::string sysfs_root = "/sys/class/hidraw", std::string dev_root = "/dev");

    bool Owns(std::string_view path) const override;
    bool Enumerate(std::vector<std::string>& paths) override;
    std::unique_ptr<HidConnection> Open(std::string_view path, bool read, bool write) override;
    bool IsPresent(std::string_view path) override;

    struct NodeInfo {
        HidIdentity identity;
        std::vector<uint8_t> descriptor;
    };
    // What sysfs says about hidrawN; false when the entry is unreadable.
    bool ReadNodeInfo(const std::string& node_name, NodeInfo& info, bool with_descriptor) const;

private:
    std::string sysfs_root_;
    std::string dev_root_;
};

}  // namespace lumora
