#include "hid/hidraw_backend.h"

#include <fcntl.h>
#include <linux/hidraw.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "hid/hid_path.h"
#include "hid/report_descriptor.h"
#include "platform/logger.h"

namespace lumora {
namespace fs = std::filesystem;
namespace {

constexpr size_t kMaxSysfsText = 16384;

bool ReadSmallFile(const fs::path& path, std::string& out, size_t limit) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return false;
    out.assign(limit, '\0');
    in.read(out.data(), static_cast<std::streamsize>(limit));
    out.resize(static_cast<size_t>(in.gcount()));
    return true;
}

// "hidraw12" -> 12; -1 for anything else.
int NodeNumber(std::string_view name) {
    if (name.rfind("hidraw", 0) != 0 || name.size() == 6 || name.size() > 12) return -1;
    int n = 0;
    for (char c : name.substr(6)) {
        if (c < '0' || c > '9') return -1;
        n = n * 10 + (c - '0');
    }
    return n;
}

// Splits "<dev_root>/hidrawN#..." into the node name "hidrawN".
std::string NodeNameOf(std::string_view path, const std::string& dev_root) {
    const std::string_view node = path.substr(0, path.find('#'));
    if (node.size() <= dev_root.size() + 1 || node.substr(0, dev_root.size()) != dev_root ||
        node[dev_root.size()] != '/')
        return {};
    std::string name(node.substr(dev_root.size() + 1));
    return NodeNumber(name) >= 0 ? name : std::string();
}

}  // namespace

HidrawBackend::HidrawBackend(std::string sysfs_root, std::string dev_root)
    : sysfs_root_(std::move(sysfs_root)), dev_root_(std::move(dev_root)) {}

bool HidrawBackend::Owns(std::string_view path) const { return !NodeNameOf(path, dev_root_).empty(); }

bool HidrawBackend::ReadNodeInfo(const std::string& node_name, NodeInfo& info, bool with_descriptor) const {
    const fs::path device = fs::path(sysfs_root_) / node_name / "device";
    std::string uevent;
    if (!ReadSmallFile(device / "uevent", uevent, kMaxSysfsText)) return false;
    info.identity = HidIdentity{};
    std::string phys;
    std::istringstream lines(uevent);
    for (std::string line; std::getline(lines, line);) {
        if (line.rfind("HID_ID=", 0) == 0) {
            unsigned bus = 0, vendor = 0, product = 0;
            if (std::sscanf(line.c_str() + 7, "%x:%x:%x", &bus, &vendor, &product) != 3) return false;
            info.identity.vendor_id = static_cast<uint16_t>(vendor);
            info.identity.product_id = static_cast<uint16_t>(product);
        } else if (line.rfind("HID_NAME=", 0) == 0) {
            info.identity.name = line.substr(9, 256);
        } else if (line.rfind("HID_PHYS=", 0) == 0) {
            phys = line.substr(9, 256);
        }
    }
    if (info.identity.vendor_id == 0 && info.identity.product_id == 0) return false;

    // The USB interface is the HID device's parent; other buses have none.
    std::error_code ec;
    const fs::path real = fs::canonical(device, ec);
    std::string number;
    if (!ec && ReadSmallFile(real.parent_path() / "bInterfaceNumber", number, 16) && !number.empty()) {
        info.identity.interface_number = static_cast<int>(std::strtol(number.c_str(), nullptr, 16));
    } else if (auto at = phys.rfind("/input"); at != std::string::npos) {
        info.identity.interface_number = std::atoi(phys.c_str() + at + 6);
    }
    if (info.identity.interface_number < 0) info.identity.interface_number = 0;

    if (with_descriptor) {
        std::string bytes;
        if (!ReadSmallFile(device / "report_descriptor", bytes, ReportDescriptor::kMaxDescriptorBytes + 1)) return false;
        info.descriptor.assign(bytes.begin(), bytes.end());
    }
    return true;
}

bool HidrawBackend::Enumerate(std::vector<std::string>& paths) {
    std::error_code ec;
    fs::directory_iterator it(sysfs_root_, ec);
    if (ec) {
        // No hidraw class at all (no HID devices ever seen): an empty list, not a failure.
        return ec == std::errc::no_such_file_or_directory;
    }
    std::vector<std::pair<int, std::string>> nodes;
    for (const auto& entry : it) {
        const std::string name = entry.path().filename().string();
        const int n = NodeNumber(name);
        if (n >= 0) nodes.emplace_back(n, name);
    }
    std::sort(nodes.begin(), nodes.end());
    for (const auto& [number, name] : nodes) {
        NodeInfo info;
        ReportDescriptor parsed;
        // An interface we cannot read or parse is skipped; the others still count.
        if (!ReadNodeInfo(name, info, true) || !parsed.Parse(info.descriptor)) {
            LOG_DEBUG("hid", "skipping %s", name.c_str());
            continue;
        }
        const size_t collections = parsed.Collections().size();
        const std::string node = dev_root_ + "/" + name;
        for (size_t c = 1; c <= collections; ++c) {
            paths.push_back(node + ComposePathSuffix(info.identity.vendor_id, info.identity.product_id,
                                                     info.identity.interface_number,
                                                     collections > 1 ? static_cast<int>(c) : 0));
        }
    }
    return true;
}

std::unique_ptr<HidConnection> HidrawBackend::Open(std::string_view path, bool read, bool write) {
    const std::string name = NodeNameOf(path, dev_root_);
    if (name.empty() || (!read && !write)) return nullptr;
    const std::string node = dev_root_ + "/" + name;
    const int mode = read && write ? O_RDWR : (write ? O_WRONLY : O_RDONLY);
    const int fd = ::open(node.c_str(), mode | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        LOG_DEBUG("hid", "open %s failed: errno %d", node.c_str(), errno);
        return nullptr;
    }
    HidIdentity identity;
    std::vector<uint8_t> descriptor;
    hidraw_devinfo devinfo{};
    int desc_size = 0;
    if (::ioctl(fd, HIDIOCGRAWINFO, &devinfo) == 0 && ::ioctl(fd, HIDIOCGRDESCSIZE, &desc_size) == 0 &&
        desc_size > 0 && desc_size <= HID_MAX_DESCRIPTOR_SIZE) {
        hidraw_report_descriptor desc{};
        desc.size = static_cast<uint32_t>(desc_size);
        if (::ioctl(fd, HIDIOCGRDESC, &desc) == 0) descriptor.assign(desc.value, desc.value + desc.size);
        identity.vendor_id = static_cast<uint16_t>(devinfo.vendor);
        identity.product_id = static_cast<uint16_t>(devinfo.product);
        char raw_name[256] = {};
        if (::ioctl(fd, HIDIOCGRAWNAME(sizeof raw_name - 1), raw_name) >= 0) identity.name = raw_name;
    }
    NodeInfo info;
    if (ReadNodeInfo(name, info, descriptor.empty())) {
        identity.interface_number = info.identity.interface_number;
        if (descriptor.empty()) {
            descriptor = std::move(info.descriptor);
            identity = info.identity;
        }
    }
    // The node number may have been reused by another device since the path was listed.
    if (descriptor.empty() || identity.vendor_id != PathVendorId(path) || identity.product_id != PathProductId(path)) {
        ::close(fd);
        return nullptr;
    }
    if (identity.interface_number < 0) identity.interface_number = PathInterfaceNumber(path);
    return std::make_unique<HidConnection>(fd, node, std::move(identity), std::move(descriptor));
}

bool HidrawBackend::IsPresent(std::string_view path) {
    const std::string name = NodeNameOf(path, dev_root_);
    if (name.empty()) return false;
    struct stat st{};
    if (::stat((dev_root_ + "/" + name).c_str(), &st) != 0) return false;
    NodeInfo info;
    return ReadNodeInfo(name, info, false) && info.identity.vendor_id == PathVendorId(path) &&
           info.identity.product_id == PathProductId(path);
}

}  // namespace lumora
