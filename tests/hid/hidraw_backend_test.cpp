#include "hid/hidraw_backend.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "hid/hid_backends.h"
#include "hid/hid_device.h"
#include "sim/sim_descriptors.h"

namespace lumora {
namespace {
namespace fs = std::filesystem;

const std::string kSysfs = std::string(LUMORA_SOURCE_DIR) + "/tests/data/sysfs/class/hidraw";

TEST(HidrawBackend, EnumeratesOnePathPerTopLevelCollection) {
    HidrawBackend backend(kSysfs, "/dev");
    std::vector<std::string> paths;
    ASSERT_TRUE(backend.Enumerate(paths));
    // hidraw10 has no HID_ID and is skipped; numeric order, not text order.
    const std::vector<std::string> expected = {
        "/dev/hidraw0#vid_320f&pid_5055&mi_01&col01",
        "/dev/hidraw0#vid_320f&pid_5055&mi_01&col02",
        "/dev/hidraw1#vid_0c76&pid_1630&mi_03",
        "/dev/hidraw2#vid_046d&pid_c31c&mi_02",  // interface from HID_PHYS ".../input2"
    };
    EXPECT_EQ(paths, expected);
}

TEST(HidrawBackend, MissingClassFolderIsAnEmptyList) {
    HidrawBackend backend("/nonexistent/sys/class/hidraw", "/dev");
    std::vector<std::string> paths;
    EXPECT_TRUE(backend.Enumerate(paths));
    EXPECT_TRUE(paths.empty());
}

TEST(HidrawBackend, OwnsOnlyItsNodes) {
    HidrawBackend backend(kSysfs, "/dev");
    EXPECT_TRUE(backend.Owns("/dev/hidraw3#vid_320f&pid_5055&mi_01&col04"));
    EXPECT_FALSE(backend.Owns("/dev/hidrawx#vid_320f"));
    EXPECT_FALSE(backend.Owns("sim:keyboard#vid_320f"));
    EXPECT_FALSE(backend.Owns("/dev/sda"));
    // Present means: the node exists and sysfs still names the same device. No /dev node here.
    EXPECT_FALSE(backend.IsPresent("/dev/hidraw0#vid_320f&pid_5055&mi_01&col02"));
}

// A stand-in node (a plain file) where the kernel's ioctls fail: identity and descriptor
// come from sysfs, writes reach the node, and a node now naming another device is refused.
TEST(HidrawBackend, OpensThroughTheNodeWithSysfsIdentity) {
    const fs::path dev = fs::temp_directory_path() / ("lumora-dev-" + std::to_string(::getpid()));
    fs::create_directories(dev);
    std::ofstream(dev / "hidraw0").flush();
    auto backend = std::make_shared<HidrawBackend>(kSysfs, dev.string());
    const std::string path = dev.string() + "/hidraw0#vid_320f&pid_5055&mi_01&col02";
    EXPECT_TRUE(backend->IsPresent(path));
    EXPECT_EQ(backend->Open(dev.string() + "/hidraw0#vid_320f&pid_9999&mi_01&col02", true, true), nullptr);

    HidBackends::Set({backend});
    {
        HidDevice hid;
        ASSERT_TRUE(hid.Open(path, true, true, true, false));
        EXPECT_EQ(hid.Caps().usage_page, 0xFF1C);
        EXPECT_EQ(hid.Attributes().product_id, 0x5055);
        EXPECT_EQ(hid.InterfaceNumber(), 1u);
        uint8_t report[64] = {4, 1, 0, 1};
        EXPECT_EQ(hid.Write(report, 64, nullptr, 100), 1);
    }
    HidBackends::ResetToDefault();
    EXPECT_EQ(fs::file_size(dev / "hidraw0"), 64u);
    fs::remove(dev / "hidraw0");
    EXPECT_FALSE(backend->IsPresent(path));
    fs::remove_all(dev);
}

// A tree with more than eight interfaces: the path list grows and holds each path once.
TEST(HidrawBackend, ManyInterfacesThroughHidDevice) {
    const fs::path root = fs::temp_directory_path() / ("lumora-sysfs-" + std::to_string(::getpid()));
    fs::remove_all(root);
    const auto descriptor = SimDescriptors::BootKeyboard();
    for (int i = 0; i < 13; ++i) {
        const fs::path iface = root / "devices" / ("1-1:1." + std::to_string(i));
        const fs::path hid = iface / "0003:1234:0001.0001";
        fs::create_directories(hid);
        std::ofstream(iface / "bInterfaceNumber") << std::hex << i << "\n";
        std::ofstream(hid / "uevent") << "HID_ID=0003:00001234:00000001\nHID_NAME=k\n";
        std::ofstream(hid / "report_descriptor", std::ios::binary)
            .write(reinterpret_cast<const char*>(descriptor.data()), static_cast<std::streamsize>(descriptor.size()));
        const fs::path cls = root / "class" / ("hidraw" + std::to_string(i));
        fs::create_directories(cls);
        fs::create_directory_symlink(fs::relative(hid, cls), cls / "device");
    }
    HidBackends::Set({std::make_shared<HidrawBackend>((root / "class").string(), "/dev")});
    HidDevice device;
    ASSERT_TRUE(device.EnumeratePaths());
    EXPECT_EQ(device.PathCount(), 13u);
    std::vector<std::string> seen;
    while (const char* p = device.NextPath()) seen.push_back(p);
    EXPECT_EQ(seen.size(), 13u);
    EXPECT_EQ(seen.front(), "/dev/hidraw0#vid_1234&pid_0001&mi_00");
    EXPECT_EQ(seen.back(), "/dev/hidraw12#vid_1234&pid_0001&mi_0c");
    EXPECT_EQ(device.NextPath(), nullptr);
    device.FreePaths();
    EXPECT_EQ(device.NextPath(), nullptr);
    HidBackends::ResetToDefault();
    fs::remove_all(root);
}

}  // namespace
}  // namespace lumora
