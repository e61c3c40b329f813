#include "hid/hid_path.h"

#include <gtest/gtest.h>

namespace lumora {
namespace {

struct PathCase {
    const char* path;
    uint16_t vendor, product, interface_number, collection;
};

TEST(HidPath, ReadsTheFourNumbers) {
    const PathCase cases[] = {
        {"/dev/hidraw3#vid_320f&pid_5055&mi_01&col04", 0x320F, 0x5055, 1, 4},
        {"\\\\?\\hid#VID_320F&PID_5055&MI_01&Col04#7&1a2b", 0x320F, 0x5055, 1, 4},
        {"/dev/hidraw1#vid_0c76&pid_1630&mi_03", 0x0C76, 0x1630, 3, 0},
        {"/dev/hidraw9", 0, 0, 0, 0},
        {"sim:mouse#vid_320f&pid_5055&mi_01&col0z", 0x320F, 0x5055, 1, 0},
        {"x#vid_12345&pid_&mi_ff", 0x2345, 0, 0xFF, 0},  // low 16 bits; a marker with no digits reads 0
        {"", 0, 0, 0, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.path);
        EXPECT_EQ(PathVendorId(c.path), c.vendor);
        EXPECT_EQ(PathProductId(c.path), c.product);
        EXPECT_EQ(PathInterfaceNumber(c.path), c.interface_number);
        EXPECT_EQ(PathCollectionNumber(c.path), c.collection);
    }
}

TEST(HidPath, ComposedSuffixReadsBack) {
    EXPECT_EQ(ComposePathSuffix(0x320F, 0x5055, 1, 4), "#vid_320f&pid_5055&mi_01&col04");
    EXPECT_EQ(ComposePathSuffix(0x0C76, 0x1630, 3, 0), "#vid_0c76&pid_1630&mi_03");
    const std::string path = "/dev/hidraw7" + ComposePathSuffix(0xABCD, 0x1234, 2, 0x11);
    EXPECT_EQ(PathVendorId(path), 0xABCD);
    EXPECT_EQ(PathCollectionNumber(path), 0x11);
}

}  // namespace
}  // namespace lumora
