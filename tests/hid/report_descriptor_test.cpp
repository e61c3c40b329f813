#include "hid/report_descriptor.h"

#include <gtest/gtest.h>

#include "hid/hid_device.h"
#include "sim/sim_descriptors.h"

namespace lumora {
namespace {

TEST(ReportDescriptor, CommandInterfaceCollections) {
    ReportDescriptor d;
    ASSERT_TRUE(d.Parse(SimDescriptors::CommandInterface())) << d.Error();
    const auto& c = d.Collections();
    ASSERT_EQ(c.size(), 4u);
    EXPECT_TRUE(d.UsesReportIds());
    EXPECT_EQ(c[0].usage_page, 0x01);
    EXPECT_EQ(c[0].usage, 0x06);
    EXPECT_EQ(c[0].report_length[0], 1 + (8 + 120) / 8);
    EXPECT_EQ(c[1].usage, 0x80);
    EXPECT_EQ(c[1].report_length[0], 2);  // 3 buttons + 5 bits padding
    EXPECT_EQ(c[2].usage_page, 0x0C);
    EXPECT_EQ(c[2].usage, 0x01);
    EXPECT_EQ(c[2].report_length[0], 3);
    EXPECT_EQ(c[2].report_length[1], 0);
    EXPECT_EQ(c[3].usage_page, 0xFF1C);
    EXPECT_EQ(c[3].usage, 0x92);
    EXPECT_EQ(c[3].report_length[0], 64);
    EXPECT_EQ(c[3].report_length[1], 64);
    EXPECT_EQ(c[3].report_ids[0], std::vector<uint8_t>{4});
}

TEST(ReportDescriptor, HeadsetAndBootKeyboard) {
    ReportDescriptor headset;
    ASSERT_TRUE(headset.Parse(SimDescriptors::HeadsetInterface()));
    ASSERT_EQ(headset.Collections().size(), 1u);
    EXPECT_EQ(headset.Collections()[0].report_length[1], 64);  // the longest output report
    EXPECT_EQ(headset.Collections()[0].report_ids[1], (std::vector<uint8_t>{4, 0xFF}));

    ReportDescriptor boot;
    ASSERT_TRUE(boot.Parse(SimDescriptors::BootKeyboard()));
    EXPECT_FALSE(boot.UsesReportIds());
    const auto& k = boot.Collections().at(0);
    EXPECT_EQ(k.report_length[0], 9);  // 8 bytes + the zero ID byte Windows counts
    EXPECT_EQ(k.report_length[1], 2);
    EXPECT_EQ(k.report_ids[0], std::vector<uint8_t>{0});
}

// Report-ID-3 consumer report with usage 0x401, as the devices announce their own events.
TEST(ReportDescriptor, UnpacksButtonsAndValues) {
    ReportDescriptor d;
    ASSERT_TRUE(d.Parse(SimDescriptors::CommandInterface()));
    const HidCollectionInfo& consumer = d.Collections()[2];
    HidUsageData data[1];
    data[0].is_button = true;
    data[0].usage_page = 0x0C;
    data[0].report_id = 3;
    data[0].usage_min = 0;
    data[0].usage_max = 0xFFF;
    data[0].max_usage_length = 1;
    data[0].usages.assign(1, 0xEEEE);
    const uint8_t event[3] = {3, 0x01, 0x04};
    ASSERT_TRUE(HidDevice::UnpackReport(event, 3, HidReportType::Input, data, 1, consumer));
    EXPECT_EQ(data[0].status, kHidpStatusSuccess);
    EXPECT_TRUE(data[0].is_data_set);
    EXPECT_EQ(data[0].usages[0], 0x401);

    // Keyboard bitmap: modifiers 0xE1 (left shift) and key 0x04 ('a').
    const HidCollectionInfo& keyboard = d.Collections()[0];
    HidUsageData keys[1];
    keys[0].is_button = true;
    keys[0].usage_page = 0x07;
    keys[0].report_id = 1;
    keys[0].usage_min = 0;
    keys[0].usage_max = 0xFF;
    keys[0].max_usage_length = 4;
    keys[0].usages.assign(4, 0xEEEE);
    uint8_t report[17] = {1, 0x02, 0x10};
    ASSERT_TRUE(HidDevice::UnpackReport(report, sizeof report, HidReportType::Input, keys, 1, keyboard));
    EXPECT_EQ(keys[0].usages[0], 0xE1);
    EXPECT_EQ(keys[0].usages[1], 0x04);
    EXPECT_EQ(keys[0].usages[2], 0);  // end marker after the kept usages

    // A value usage of the vendor channel: the first data byte; missing usage fails the call.
    const HidCollectionInfo& vendor = d.Collections()[3];
    HidUsageData value[2];
    value[0].usage_page = 0xFF1C;
    value[0].report_id = 4;
    value[0].usage = 0x92;
    uint8_t reply[64] = {4, 0x7F};
    ASSERT_TRUE(HidDevice::UnpackReport(reply, 64, HidReportType::Input, value, 1, vendor));
    EXPECT_EQ(value[0].value, 0x7Fu);
    EXPECT_EQ(value[0].scaled_value, 0x7F);
    value[1] = value[0];
    value[1].usage = 0x93;
    EXPECT_FALSE(HidDevice::UnpackReport(reply, 64, HidReportType::Input, value, 2, vendor));
    EXPECT_EQ(value[1].status, kHidpStatusUsageNotFound);
    // Too short a report never reads past its end.
    EXPECT_FALSE(HidDevice::UnpackReport(reply, 5, HidReportType::Input, value, 1, vendor));
    EXPECT_EQ(value[0].status, kHidpStatusInvalidReportLength);
}

struct BadCase {
    const char* what;
    std::vector<uint8_t> bytes;
};

TEST(ReportDescriptor, RefusesHostileInput) {
    std::vector<uint8_t> deep;
    for (int i = 0; i < 17; ++i) deep.insert(deep.end(), {0xA1, 0x00});
    for (int i = 0; i < 17; ++i) deep.push_back(0xC0);
    std::vector<uint8_t> many;
    for (int i = 0; i < 40; ++i) many.insert(many.end(), {0x09, 0x01, 0xA1, 0x01, 0xC0});
    std::vector<uint8_t> pushes;
    for (int i = 0; i < 17; ++i) pushes.push_back(0xA4);
    std::vector<uint8_t> huge(5000, 0x00);

    const BadCase cases[] = {
        {"empty", {}},
        {"truncated item", {0x05, 0x01, 0x09}},
        {"truncated 4-byte item", {0x07, 0x01, 0x02}},
        {"truncated long item", {0xFE, 0x10, 0x00, 0x01}},
        {"unbalanced: no end", {0x05, 0x01, 0x09, 0x06, 0xA1, 0x01}},
        {"unbalanced: extra end", {0x09, 0x06, 0xA1, 0x01, 0xC0, 0xC0}},
        {"nested too deep", deep},
        {"too many collections", many},
        {"huge report count", {0xA1, 0x01, 0x75, 0x08, 0x96, 0xFF, 0xFF, 0x81, 0x02, 0xC0}},
        {"report too long", {0xA1, 0x01, 0x75, 0x20, 0x96, 0x00, 0x10, 0x81, 0x02, 0x96, 0x00, 0x10, 0x81, 0x02, 0xC0}},
        {"report size zero", {0xA1, 0x01, 0x75, 0x00, 0xC0}},
        {"report size 64", {0xA1, 0x01, 0x75, 0x40, 0xC0}},
        {"report ID zero", {0xA1, 0x01, 0x85, 0x00, 0xC0}},
        {"data outside a collection", {0x75, 0x08, 0x95, 0x01, 0x81, 0x02}},
        {"push too deep", pushes},
        {"pop without push", {0xB4}},
        {"usage minimum above maximum", {0xA1, 0x01, 0x19, 0x10, 0x29, 0x01, 0x75, 0x01, 0x95, 0x01, 0x81, 0x02, 0xC0}},
        {"mixed numbered and unnumbered", {0xA1, 0x01, 0x75, 0x08, 0x95, 0x01, 0x81, 0x02, 0x85, 0x01, 0x81, 0x02, 0xC0}},
        {"too long", huge},
        {"only globals", {0x05, 0x01, 0x15, 0x00}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        ReportDescriptor d;
        EXPECT_FALSE(d.Parse(c.bytes.data(), c.bytes.size()));
        EXPECT_FALSE(d.Error().empty());
        EXPECT_TRUE(d.Collections().empty());
    }
}

}  // namespace
}  // namespace lumora
