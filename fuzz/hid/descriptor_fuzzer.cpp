// Feeds arbitrary bytes to the report-descriptor parser, then unpacks a report made of
// the same bytes against every collection it accepted, and decodes them as an emulator hello.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "hid/emulated_hello.h"
#include "hid/hid_device.h"
#include "hid/report_descriptor.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace lumora;
    EmulatedHello::Decode(data, size);
    ReportDescriptor descriptor;
    if (!descriptor.Parse(data, size)) return 0;
    for (const HidCollectionInfo& c : descriptor.Collections()) {
        for (int t = 0; t < 3; ++t) {
            const auto type = static_cast<HidReportType>(t);
            std::vector<HidUsageData> elements;
            for (const HidField& f : c.fields) {
                if (f.type != type) continue;
                HidUsageData d;
                d.is_button = f.is_button;
                d.usage_page = f.usage_page;
                d.report_id = f.report_id;
                d.usage_min = f.usage_min;
                d.usage_max = f.usage_max;
                d.usage = f.usage_min;
                d.max_usage_length = f.count;
                d.usages.assign(f.count, 0);
                elements.push_back(std::move(d));
            }
            // Reports of every length up to the declared one, from the fuzz bytes.
            std::vector<uint8_t> report(c.report_length[t] + 1, 0);
            for (size_t i = 0; i < report.size() && i < size; ++i) report[i] = data[size - 1 - i];
            if (!elements.empty()) report[0] = static_cast<uint8_t>(elements[0].report_id);
            for (size_t len : {size_t{1}, report.size() / 2, report.size() - 1, report.size()})
                if (len > 0)
                    HidDevice::UnpackReport(report.data(), static_cast<uint32_t>(len), type, elements.data(),
                                            static_cast<uint32_t>(elements.size()), c);
        }
    }
    return 0;
}
