#include "hid/report_descriptor.h"

#include <algorithm>
#include <map>

#include "platform/logger.h"

namespace lumora {
namespace {

struct GlobalState {
    uint16_t usage_page = 0;
    int32_t logical_min = 0;
    uint32_t logical_max_raw = 0;
    int32_t logical_max_signed = 0;
    int32_t physical_min = 0;
    int32_t physical_max = 0;
    uint32_t report_size = 0;
    uint32_t report_count = 0;
    uint8_t report_id = 0;
};

struct LocalState {
    std::vector<uint32_t> usages;  // extended: page << 16 | usage when the page was given
    bool has_min = false, has_max = false;
    uint32_t usage_min = 0, usage_max = 0;
    int min_size = 0, max_size = 0;
    void Clear() { *this = LocalState{}; }
};

uint32_t Unsigned(const uint8_t* p, int size) {
    uint32_t v = 0;
    for (int i = size - 1; i >= 0; --i) v = (v << 8) | p[i];
    return v;
}

int32_t Signed(const uint8_t* p, int size) {
    const uint32_t v = Unsigned(p, size);
    switch (size) {
        case 1: return static_cast<int8_t>(v);
        case 2: return static_cast<int16_t>(v);
        case 4: return static_cast<int32_t>(v);
        default: return 0;
    }
}

}  // namespace

uint16_t HidField::UsageAt(uint32_t index) const {
    if (is_range) {
        const uint32_t u = static_cast<uint32_t>(usage_min) + index;
        return static_cast<uint16_t>(std::min<uint32_t>(u, usage_max));
    }
    if (usages.empty()) return 0;
    return usages[std::min<size_t>(index, usages.size() - 1)];
}

uint32_t HidField::UsageCount() const {
    if (is_range) return static_cast<uint32_t>(usage_max) - usage_min + 1;
    return static_cast<uint32_t>(usages.size());
}

bool HidCollectionInfo::HasInputReportId(uint8_t id) const {
    const auto& ids = report_ids[0];
    return std::find(ids.begin(), ids.end(), id) != ids.end();
}

bool ReportDescriptor::Fail(size_t offset, const char* reason) {
    collections_.clear();
    uses_report_ids_ = false;
    error_ = std::string(reason) + " at byte " + std::to_string(offset);
    LOG_WARNING("hid", "report descriptor refused: %s", error_.c_str());
    return false;
}

bool ReportDescriptor::Parse(const uint8_t* data, size_t size) {
    collections_.clear();
    uses_report_ids_ = false;
    error_.clear();
    if (data == nullptr || size == 0) return Fail(0, "empty descriptor");
    if (size > kMaxDescriptorBytes) return Fail(0, "descriptor too long");

    GlobalState global;
    std::vector<GlobalState> stack;
    LocalState local;
    int depth = 0;
    bool saw_unnumbered_field = false;
    size_t field_count = 0;
    // Bits used so far per (type, report ID); reports are numbered across collections.
    std::map<int, uint32_t> report_bits;

    size_t pos = 0;
    while (pos < size) {
        const size_t item_start = pos;
        const uint8_t prefix = data[pos++];
        if (prefix == 0xFE) {  // long item: skipped, but bounds-checked
            if (pos + 2 > size) return Fail(item_start, "truncated long item");
            const size_t len = data[pos];
            pos += 2;
            if (pos + len > size) return Fail(item_start, "truncated long item");
            pos += len;
            continue;
        }
        const int size_code = prefix & 0x03;
        const int item_size = size_code == 3 ? 4 : size_code;
        const int type = (prefix >> 2) & 0x03;
        const int tag = (prefix >> 4) & 0x0F;
        if (pos + static_cast<size_t>(item_size) > size) return Fail(item_start, "truncated item");
        const uint8_t* arg = data + pos;
        pos += static_cast<size_t>(item_size);
        const uint32_t uvalue = Unsigned(arg, item_size);
        const int32_t svalue = Signed(arg, item_size);

        if (type == 1) {  // global
            switch (tag) {
                case 0x0: global.usage_page = static_cast<uint16_t>(uvalue); break;
                case 0x1: global.logical_min = svalue; break;
                case 0x2: global.logical_max_raw = uvalue; global.logical_max_signed = svalue; break;
                case 0x3: global.physical_min = svalue; break;
                case 0x4: global.physical_max = svalue; break;
                case 0x7:
                    if (uvalue == 0 || uvalue > kMaxReportSize) return Fail(item_start, "bad report size");
                    global.report_size = uvalue;
                    break;
                case 0x8:
                    if (uvalue == 0 || uvalue > 0xFF) return Fail(item_start, "bad report ID");
                    global.report_id = static_cast<uint8_t>(uvalue);
                    uses_report_ids_ = true;
                    break;
                case 0x9:
                    if (uvalue > kMaxReportCount) return Fail(item_start, "report count too large");
                    global.report_count = uvalue;
                    break;
                case 0xA:
                    if (stack.size() >= static_cast<size_t>(kMaxDepth)) return Fail(item_start, "push too deep");
                    stack.push_back(global);
                    break;
                case 0xB:
                    if (stack.empty()) return Fail(item_start, "pop without push");
                    global = stack.back();
                    stack.pop_back();
                    break;
                default: break;  // unit, exponent: not needed
            }
            continue;
        }
        if (type == 2) {  // local
            switch (tag) {
                case 0x0:
                    if (local.usages.size() >= kMaxLocalUsages) return Fail(item_start, "too many usages");
                    local.usages.push_back(item_size == 4 ? uvalue : (uvalue & 0xFFFF));
                    break;
                case 0x1: local.has_min = true; local.usage_min = uvalue; local.min_size = item_size; break;
                case 0x2: local.has_max = true; local.usage_max = uvalue; local.max_size = item_size; break;
                default: break;  // designators, strings, delimiters
            }
            continue;
        }
        if (type == 3) return Fail(item_start, "reserved item type");

        // Main items.
        switch (tag) {
            case 0xA: {  // Collection
                if (depth >= kMaxDepth) return Fail(item_start, "collections nested too deep");
                if (depth == 0) {
                    if (collections_.size() >= kMaxCollections) return Fail(item_start, "too many collections");
                    HidCollectionInfo info;
                    uint32_t usage = local.usages.empty() ? (local.has_min ? local.usage_min : 0) : local.usages.front();
                    info.usage_page = (usage >> 16) ? static_cast<uint16_t>(usage >> 16) : global.usage_page;
                    info.usage = static_cast<uint16_t>(usage & 0xFFFF);
                    collections_.push_back(std::move(info));
                } else {
                    if (collections_.back().link_collections < 0xFFFF) ++collections_.back().link_collections;
                }
                ++depth;
                break;
            }
            case 0xC:  // End Collection
                if (depth == 0) return Fail(item_start, "end collection without collection");
                --depth;
                break;
            case 0x8:
            case 0x9:
            case 0xB: {  // Input, Output, Feature
                if (depth == 0) return Fail(item_start, "data item outside a collection");
                const HidReportType rtype = tag == 0x8 ? HidReportType::Input
                                           : tag == 0x9 ? HidReportType::Output
                                                        : HidReportType::Feature;
                if (global.report_size == 0 && global.report_count != 0) return Fail(item_start, "missing report size");
                const uint32_t bits = global.report_size * global.report_count;
                const int key = static_cast<int>(rtype) * 256 + global.report_id;
                uint32_t& used = report_bits[key];
                if (used + bits > kMaxReportBits) return Fail(item_start, "report too long");
                const uint32_t offset = used;
                used += bits;
                if (global.report_id == 0) saw_unnumbered_field = true;
                HidCollectionInfo& coll = collections_.back();
                auto& ids = coll.report_ids[static_cast<int>(rtype)];
                if (std::find(ids.begin(), ids.end(), global.report_id) == ids.end()) ids.push_back(global.report_id);

                const bool constant = (uvalue & 0x01) != 0;
                if (!constant && bits > 0) {
                    if (++field_count > kMaxFields) return Fail(item_start, "too many fields");
                    HidField f;
                    f.type = rtype;
                    f.report_id = global.report_id;
                    f.usage_page = global.usage_page;
                    f.is_array = (uvalue & 0x02) == 0;
                    f.is_button = f.is_array || global.report_size == 1;
                    f.bit_offset = offset;
                    f.bit_size = global.report_size;
                    f.count = global.report_count;
                    f.logical_min = global.logical_min;
                    // A non-negative minimum means the maximum is unsigned too.
                    f.logical_max = global.logical_min >= 0
                                        ? static_cast<int32_t>(std::min<uint32_t>(global.logical_max_raw, 0x7FFFFFFF))
                                        : global.logical_max_signed;
                    f.physical_min = global.physical_min;
                    f.physical_max = global.physical_max;
                    if (local.has_min || local.has_max) {
                        if (!(local.has_min && local.has_max)) return Fail(item_start, "usage range without both ends");
                        const uint32_t lo = local.usage_min & 0xFFFF, hi = local.usage_max & 0xFFFF;
                        if (lo > hi) return Fail(item_start, "usage minimum above maximum");
                        if (local.min_size == 4 && (local.usage_min >> 16)) f.usage_page = static_cast<uint16_t>(local.usage_min >> 16);
                        f.is_range = true;
                        f.usage_min = static_cast<uint16_t>(lo);
                        f.usage_max = static_cast<uint16_t>(hi);
                    } else if (!local.usages.empty()) {
                        if (local.usages.front() >> 16) f.usage_page = static_cast<uint16_t>(local.usages.front() >> 16);
                        for (uint32_t u : local.usages) f.usages.push_back(static_cast<uint16_t>(u & 0xFFFF));
                        f.usage_min = *std::min_element(f.usages.begin(), f.usages.end());
                        f.usage_max = *std::max_element(f.usages.begin(), f.usages.end());
                    }
                    coll.fields.push_back(std::move(f));
                }
                break;
            }
            default:
                return Fail(item_start, "unknown main item");
        }
        local.Clear();
    }
    if (depth != 0) return Fail(size, "unbalanced collections");
    if (collections_.empty()) return Fail(size, "no top-level collection");
    if (uses_report_ids_ && saw_unnumbered_field) return Fail(size, "mixed numbered and unnumbered reports");

    for (auto& coll : collections_) {
        for (int t = 0; t < 3; ++t) {
            uint32_t longest = 0;
            for (uint8_t id : coll.report_ids[t]) longest = std::max(longest, report_bits[t * 256 + id]);
            coll.report_length[t] = coll.report_ids[t].empty() ? 0 : static_cast<uint16_t>((longest + 7) / 8 + 1);
        }
    }
    return true;
}

}  // namespace lumora
