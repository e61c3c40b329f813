#include "hid/hid_device.h"

#include <poll.h>
#include <sys/eventfd.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <ctime>

#include "hid/hid_backends.h"
#include "hid/hid_path.h"
#include "hid/hid_share_table.h"
#include "hid/hid_trace.h"
#include "platform/logger.h"

namespace lumora {
namespace {

// The raw read buffer is sized for the longest report the node may deliver.
constexpr size_t kMaxRawReport = ReportDescriptor::kMaxReportBits / 8 + 1;
constexpr uint32_t kMaxDataElements = 4096;

long ElapsedMs(const timespec& start) {
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return (now.tv_sec - start.tv_sec) * 1000L + (now.tv_nsec - start.tv_nsec) / 1000000L;
}

uint32_t ExtractBits(const uint8_t* data, size_t data_bytes, uint32_t bit_offset, uint32_t bit_size) {
    uint32_t value = 0;
    for (uint32_t i = 0; i < bit_size; ++i) {
        const uint32_t bit = bit_offset + i;
        if (bit / 8 >= data_bytes) break;
        if (data[bit / 8] & (1u << (bit % 8))) value |= 1u << i;
    }
    return value;
}

int32_t SignExtend(uint32_t value, uint32_t bits) {
    if (bits == 0 || bits >= 32) return static_cast<int32_t>(value);
    const uint32_t sign = 1u << (bits - 1);
    return static_cast<int32_t>((value ^ sign) - sign);
}

bool FieldFits(const HidField& f, uint32_t length) {
    const uint64_t end_bits = static_cast<uint64_t>(f.bit_offset) + static_cast<uint64_t>(f.bit_size) * f.count;
    return length >= 1 && (end_bits + 7) / 8 + 1 <= length;
}

// Usages of one page that are "on" in the report, in field order.
uint32_t CollectUsages(const uint8_t* report, uint32_t length, HidReportType type, uint16_t page,
                       const HidCollectionInfo& info, std::vector<uint16_t>& out, size_t limit) {
    uint32_t status = kHidpStatusUsageNotFound;
    const uint8_t id = report[0];
    const uint8_t* payload = report + 1;
    const size_t payload_bytes = length - 1;
    for (const HidField& f : info.fields) {
        if (f.type != type || f.report_id != id || !f.is_button || f.usage_page != page) continue;
        if (!FieldFits(f, length)) return kHidpStatusInvalidReportLength;
        status = kHidpStatusSuccess;
        for (uint32_t slot = 0; slot < f.count; ++slot) {
            const uint32_t raw = ExtractBits(payload, payload_bytes, f.bit_offset + slot * f.bit_size, f.bit_size);
            uint16_t usage = 0;
            if (f.is_array) {
                const int64_t v = f.logical_min < 0 ? SignExtend(raw, f.bit_size) : static_cast<int64_t>(raw);
                if (v < f.logical_min || v > f.logical_max) continue;
                const uint64_t index = static_cast<uint64_t>(v - f.logical_min);
                if (index >= f.UsageCount()) continue;
                usage = f.UsageAt(static_cast<uint32_t>(index));
            } else {
                if (raw == 0) continue;
                usage = f.UsageAt(slot);
            }
            if (usage == 0) continue;  // usage 0 is "no event"
            if (out.size() >= limit) return kHidpStatusBufferTooSmall;
            out.push_back(usage);
        }
    }
    return status;
}

const HidField* FindValueField(const HidCollectionInfo& info, HidReportType type, uint8_t id, uint16_t page,
                               uint16_t usage, uint32_t* slot) {
    for (const HidField& f : info.fields) {
        if (f.type != type || f.report_id != id || f.is_button || f.usage_page != page) continue;
        if (f.is_range) {
            if (usage >= f.usage_min && usage <= f.usage_max) {
                *slot = std::min<uint32_t>(usage - f.usage_min, f.count ? f.count - 1 : 0);
                return &f;
            }
        } else {
            for (size_t i = 0; i < f.usages.size(); ++i) {
                if (f.usages[i] == usage) {
                    *slot = std::min<uint32_t>(static_cast<uint32_t>(i), f.count ? f.count - 1 : 0);
                    return &f;
                }
            }
        }
    }
    return nullptr;
}

}  // namespace

HidDevice::HidDevice() {
    abort_fd_ = ::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
    if (abort_fd_ < 0) LOG_ERROR("hid", "eventfd failed: errno %d", errno);
}

HidDevice::~HidDevice() {
    Close();
    FreePaths();
    if (abort_fd_ >= 0) ::close(abort_fd_);
}

bool HidDevice::EnumeratePaths() {
    cursor_ = 0;
    paths_.clear();
    std::vector<std::string> found;
    for (const auto& backend : HidBackends::All()) {
        if (!backend->Enumerate(found)) {
            paths_.clear();
            return false;
        }
    }
    paths_ = std::move(found);
    return true;
}

const char* HidDevice::NextPath() {
    if (cursor_ >= paths_.size()) return nullptr;
    return paths_[cursor_++].c_str();
}

void HidDevice::FreePaths() {
    paths_.clear();
    paths_.shrink_to_fit();
    cursor_ = 0;
}

bool HidDevice::IsOpen() const {
    std::lock_guard lock(state_mutex_);
    return connection_ != nullptr;
}

bool HidDevice::IsPathPresent(std::string_view path) {
    auto backend = HidBackends::For(path);
    return backend && backend->IsPresent(path);
}

bool HidDevice::Open(std::string_view path, bool read, bool write, bool overlapped, bool exclusive) {
    if (path.size() + 1 > kMaxPath) return false;
    Close();
    open_read_ = read;
    open_write_ = write;
    open_overlapped_ = overlapped;
    open_exclusive_ = exclusive;
    path_.assign(path);
    if (abort_fd_ < 0) return false;

    auto backend = HidBackends::For(path);
    if (!backend) return false;
    const std::string node(path.substr(0, path.find('#')));
    if (!HidShareTable::Instance().Acquire(node, write, exclusive)) {
        LOG_DEBUG("hid", "%s is in exclusive use", node.c_str());
        return false;
    }
    std::unique_ptr<HidConnection> connection = backend->Open(path, read, write);
    if (!connection || !LoadCapabilities(*connection)) {
        HidShareTable::Instance().Release(node, write, exclusive);
        ClearCapabilities();
        return false;
    }
    share_node_ = node;
    std::lock_guard lock(state_mutex_);
    connection_ = std::move(connection);
    return true;
}

bool HidDevice::LoadCapabilities(const HidConnection& connection) {
    ReportDescriptor descriptor;
    if (!descriptor.Parse(connection.Descriptor())) {
        LOG_WARNING("hid", "%s: unusable report descriptor (%s)", path_.c_str(), descriptor.Error().c_str());
        return false;
    }
    collection_number_ = PathCollectionNumber(path_);
    interface_number_ = PathInterfaceNumber(path_);
    const auto& collections = descriptor.Collections();
    const size_t index = collection_number_ == 0 ? 0 : collection_number_ - 1;
    if (index >= collections.size() || (collection_number_ == 0 && collections.size() > 1)) {
        LOG_WARNING("hid", "%s: no such top-level collection", path_.c_str());
        return false;
    }
    preparsed_ = collections[index];
    uses_report_ids_ = descriptor.UsesReportIds();
    attributes_ = {connection.Identity().vendor_id, connection.Identity().product_id,
                   connection.Identity().version_number};

    caps_ = HidCaps{};
    caps_.usage_page = preparsed_.usage_page;
    caps_.usage = preparsed_.usage;
    caps_.number_link_collection_nodes = preparsed_.link_collections;
    caps_.input_report_byte_length = preparsed_.report_length[0];
    caps_.output_report_byte_length = preparsed_.report_length[1];
    caps_.feature_report_byte_length = preparsed_.report_length[2];

    for (int t = 0; t < 3; ++t) {
        const auto type = static_cast<HidReportType>(t);
        PerType& per = types_[t];
        per = PerType{};
        per.report_buffer.assign(preparsed_.report_length[t], 0);
        uint32_t count = 0;
        for (const HidField& f : preparsed_.fields) {
            if (f.type != type) continue;
            if (f.is_button) {
                per.button_caps.push_back({f.usage_page, f.report_id, f.is_range || f.usages.size() > 1,
                                           f.usage_min, f.usage_max});
                ++count;
            } else {
                HidValueCaps v{f.usage_page, f.report_id, f.is_range, f.usage_min, f.usage_max,
                               static_cast<uint16_t>(f.bit_size), static_cast<uint16_t>(f.count),
                               f.logical_min, f.logical_max, f.physical_min, f.physical_max};
                if (f.is_range || f.usages.size() <= 1) {
                    per.value_caps.push_back(v);
                    count += f.is_range ? f.UsageCount() : 1;
                } else {
                    for (uint16_t u : f.usages) {
                        v.usage_min = v.usage_max = u;
                        per.value_caps.push_back(v);
                        ++count;
                    }
                }
            }
        }
        count = std::min(count, kMaxDataElements);
        per.data.reserve(count);
        for (const HidButtonCaps& b : per.button_caps) {
            if (per.data.size() >= count) break;
            // The longest usage list this page can produce in this report type.
            uint32_t max_len = 0;
            for (const HidField& f : preparsed_.fields)
                if (f.type == type && f.is_button && f.usage_page == b.usage_page)
                    max_len += f.is_array ? f.count : std::min(f.count, f.UsageCount() ? f.count : 0u);
            max_len = std::min<uint32_t>(max_len, ReportDescriptor::kMaxReportCount);
            HidUsageData d;
            d.is_button = true;
            d.usage_page = b.usage_page;
            d.report_id = b.report_id;
            d.usage_min = b.usage_min;
            d.usage_max = b.usage_max;
            d.max_usage_length = max_len;
            d.usages.assign(max_len, 0);
            per.data.push_back(std::move(d));
        }
        for (const HidValueCaps& v : per.value_caps) {
            for (uint32_t u = v.usage_min; u <= v.usage_max && per.data.size() < count; ++u) {
                HidUsageData d;
                d.usage_page = v.usage_page;
                d.report_id = v.report_id;
                d.usage = static_cast<uint16_t>(u);
                per.data.push_back(std::move(d));
            }
        }
        const auto nb = static_cast<uint16_t>(std::min<size_t>(per.button_caps.size(), 0xFFFF));
        const auto nv = static_cast<uint16_t>(std::min<size_t>(per.value_caps.size(), 0xFFFF));
        const auto nd = static_cast<uint16_t>(std::min<size_t>(per.data.size(), 0xFFFF));
        if (t == 0) { caps_.number_input_button_caps = nb; caps_.number_input_value_caps = nv; caps_.number_input_data_indices = nd; }
        if (t == 1) { caps_.number_output_button_caps = nb; caps_.number_output_value_caps = nv; caps_.number_output_data_indices = nd; }
        if (t == 2) { caps_.number_feature_button_caps = nb; caps_.number_feature_value_caps = nv; caps_.number_feature_data_indices = nd; }
    }
    read_scratch_.assign(kMaxRawReport + 1, 0);
    return true;
}

void HidDevice::ClearCapabilities() {
    for (auto& per : types_) per = PerType{};
    read_scratch_ = {};
    caps_ = HidCaps{};
    attributes_ = HidAttributes{};
    preparsed_ = HidCollectionInfo{};
    interface_number_ = 0;
    collection_number_ = 0;
}

std::shared_ptr<HidConnection> HidDevice::StopTransfers(bool take_connection) {
    std::unique_lock lock(state_mutex_);
    idle_.wait(lock, [this] { return !aborting_; });
    if (active_transfers_ == 0 && !take_connection) return nullptr;
    // New transfers wait while this runs, so the ones in flight are the only ones to stop.
    aborting_ = true;
    if (active_transfers_ > 0) {
        const uint64_t one = 1;
        if (::write(abort_fd_, &one, sizeof one) < 0) LOG_ERROR("hid", "abort signal failed: errno %d", errno);
        idle_.wait(lock, [this] { return active_transfers_ == 0; });
        uint64_t drained = 0;
        while (::read(abort_fd_, &drained, sizeof drained) > 0) {
        }
    }
    std::shared_ptr<HidConnection> taken;
    if (take_connection) taken = std::move(connection_);
    aborting_ = false;
    idle_.notify_all();
    return taken;
}

void HidDevice::Abort() { StopTransfers(false); }

void HidDevice::Close() {
    std::shared_ptr<HidConnection> closing = StopTransfers(true);
    if (closing) {
        HidShareTable::Instance().Release(share_node_, open_write_, open_exclusive_);
        share_node_.clear();
    }
    closing.reset();
    ClearCapabilities();
}

std::shared_ptr<HidConnection> HidDevice::BeginTransfer() {
    std::unique_lock lock(state_mutex_);
    idle_.wait(lock, [this] { return !aborting_; });
    if (!connection_) return nullptr;
    ++active_transfers_;
    return connection_;
}

void HidDevice::EndTransfer() {
    std::lock_guard lock(state_mutex_);
    --active_transfers_;
    idle_.notify_all();
}

bool HidDevice::WaitReady(int fd, short events, uint32_t timeout_ms, const timespec& start, short* revents) {
    for (;;) {
        int wait_ms = -1;
        if (timeout_ms != kInfinite) {
            const long left = static_cast<long>(timeout_ms) - ElapsedMs(start);
            if (left <= 0) return false;
            wait_ms = static_cast<int>(std::min<long>(left, 0x7FFFFFFF));
        }
        pollfd fds[2] = {{abort_fd_, POLLIN, 0}, {fd, events, 0}};
        const int n = ::poll(fds, 2, wait_ms);
        if (n < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        if (n == 0) return false;
        if (fds[0].revents & POLLIN) return false;  // aborted
        *revents = fds[1].revents;
        return true;
    }
}

int HidDevice::Read(uint8_t* buffer, uint32_t length, uint32_t* bytes_read, uint32_t timeout_ms) {
    if (bytes_read) *bytes_read = 0;
    auto connection = BeginTransfer();
    if (!connection) return 0;
    read_in_progress_ = true;
    const uint32_t report_length = caps_.input_report_byte_length;
    int result = 0;
    timespec start{};
    clock_gettime(CLOCK_MONOTONIC, &start);
    if (buffer == nullptr || report_length == 0 || length < report_length) {
        LOG_WARNING("hid", "%s: read buffer of %u bytes for %u-byte reports", path_.c_str(), length, report_length);
    } else {
        for (;;) {
            short revents = 0;
            if (!WaitReady(connection->Fd(), POLLIN, timeout_ms, start, &revents)) break;
            if (!(revents & POLLIN)) break;  // hang-up or error: the device is gone
            // Numbered reports arrive with their ID; unnumbered ones get the 0 ID byte Windows shows.
            uint8_t* raw = uses_report_ids_ ? read_scratch_.data() : read_scratch_.data() + 1;
            read_scratch_[0] = 0;
            const ssize_t n = ::read(connection->Fd(), raw, kMaxRawReport);
            if (n < 0 && (errno == EAGAIN || errno == EINTR)) continue;
            if (n <= 0) break;
            const size_t got = static_cast<size_t>(n) + (uses_report_ids_ ? 0 : 1);
            HidTrace::Record(path_, 'R', read_scratch_.data(), got);
            if (uses_report_ids_ && !preparsed_.HasInputReportId(read_scratch_[0])) continue;  // other collection
            const size_t copy = std::min<size_t>(got, report_length);
            std::memcpy(buffer, read_scratch_.data(), copy);
            std::memset(buffer + copy, 0, report_length - copy);
            if (bytes_read) *bytes_read = report_length;
            result = 1;
            break;
        }
    }
    read_in_progress_ = false;
    EndTransfer();
    return result;
}

int HidDevice::Write(const uint8_t* buffer, uint32_t length, uint32_t* bytes_written, uint32_t timeout_ms) {
    if (bytes_written) *bytes_written = 0;
    auto connection = BeginTransfer();
    if (!connection) return 0;
    write_in_progress_ = true;
    int result = 0;
    timespec start{};
    clock_gettime(CLOCK_MONOTONIC, &start);
    // A collection may declare output reports of several lengths: any report of ours up to
    // the longest goes, with its own ID (0 when unnumbered) in the first byte.
    const bool known_id = buffer != nullptr && length > 0 &&
                          std::find(preparsed_.report_ids[1].begin(), preparsed_.report_ids[1].end(), buffer[0]) !=
                              preparsed_.report_ids[1].end();
    if (!known_id || length > caps_.output_report_byte_length || !open_write_) {
        LOG_WARNING("hid", "%s: write of %u bytes refused (output reports up to %u bytes)", path_.c_str(), length,
                    caps_.output_report_byte_length);
    } else {
        for (;;) {
            short revents = 0;
            if (!WaitReady(connection->Fd(), POLLOUT, timeout_ms, start, &revents)) break;
            if (!(revents & POLLOUT)) break;
            const ssize_t n = ::write(connection->Fd(), buffer, length);
            if (n < 0 && (errno == EAGAIN || errno == EINTR)) continue;
            if (n == static_cast<ssize_t>(length)) {
                HidTrace::Record(path_, 'W', buffer, length);
                if (bytes_written) *bytes_written = length;
                result = 1;
            }
            break;
        }
    }
    write_in_progress_ = false;
    EndTransfer();
    return result;
}

bool HidDevice::UnpackReport(const uint8_t* report, uint32_t length, HidReportType type) {
    auto& data = types_[Index(type)].data;
    return UnpackReport(report, length, type, data.data(), static_cast<uint32_t>(data.size()), preparsed_);
}

bool HidDevice::UnpackReport(const uint8_t* report, uint32_t length, HidReportType type, HidUsageData* data,
                             uint32_t data_length, const HidCollectionInfo& preparsed) {
    if (report == nullptr || length == 0 || (data == nullptr && data_length > 0)) return false;
    const uint8_t id = report[0];
    const uint32_t required = preparsed.report_length[Index(type)];
    std::vector<uint16_t> found;
    for (uint32_t i = 0; i < data_length; ++i) {
        HidUsageData& d = data[i];
        if (d.report_id != id) continue;
        if (d.is_button) {
            found.clear();
            d.status = length < required ? kHidpStatusInvalidReportLength
                                         : CollectUsages(report, length, type, d.usage_page, preparsed, found,
                                                         d.max_usage_length);
            size_t kept = 0;
            for (uint16_t u : found)
                if (u >= d.usage_min && u <= d.usage_max && kept < d.usages.size()) d.usages[kept++] = u;
            if (kept < d.usages.size()) d.usages[kept] = 0;
        } else {
            uint32_t slot = 0;
            const HidField* f = FindValueField(preparsed, type, id, d.usage_page, d.usage, &slot);
            if (length < required) d.status = kHidpStatusInvalidReportLength;
            else if (!f) d.status = kHidpStatusUsageNotFound;
            else if (!FieldFits(*f, length)) d.status = kHidpStatusInvalidReportLength;
            else d.status = kHidpStatusSuccess;
            if (d.status != kHidpStatusSuccess) return false;
            d.value = ExtractBits(report + 1, length - 1, f->bit_offset + slot * f->bit_size, f->bit_size);
            // Scaled value: physical range when given, else the logical range itself.
            const int64_t lmin = f->logical_min, lmax = f->logical_max;
            int64_t pmin = f->physical_min, pmax = f->physical_max;
            if (pmin == 0 && pmax == 0) {
                pmin = lmin;
                pmax = lmax;
            }
            const int64_t v = lmin < 0 ? SignExtend(d.value, f->bit_size) : static_cast<int64_t>(d.value);
            if (lmin >= lmax || pmin > pmax) d.scaled_value = 0;
            else if (v < lmin || v > lmax) d.scaled_value = 0;
            else d.scaled_value = static_cast<int32_t>(pmin + (v - lmin) * (pmax - pmin) / (lmax - lmin));
        }
        d.is_data_set = true;
    }
    return true;
}

}  // namespace lumora
