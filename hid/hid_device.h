#pragma once
// One HID interface in use: the enumerator (path list) and the open interface with
// its capabilities, report buffers and time-limited, abortable reads and writes.
//
// Threads: one thread reads and one thread writes a record at a time; Open, Close
// and Abort may come from any thread while a transfer waits: the transfer returns 0
// at once, and Close waits until it has left before the node is closed.

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <vector>

#include "hid/hid_connection.h"
#include "hid/hid_types.h"
#include "hid/report_descriptor.h"

namespace lumora {

class HidDevice {
public:
    static constexpr size_t kMaxPath = 260;  // including the terminator

    HidDevice();
    ~HidDevice();
    HidDevice(const HidDevice&) = delete;
    HidDevice& operator=(const HidDevice&) = delete;

    // Path list.
    bool EnumeratePaths();
    // Next path of the list, or null at its end; valid until the list is rebuilt or freed.
    const char* NextPath();
    void FreePaths();
    uint32_t PathCount() const { return static_cast<uint32_t>(paths_.size()); }

    bool Open(std::string_view path, bool read, bool write, bool overlapped, bool exclusive);
    void Close();
    // Interrupts a read or write waiting right now; no effect on later ones.
    void Abort();
    bool IsOpen() const;

    // 1 when a report was read (zero-padded to the input report length), 0 otherwise.
    int Read(uint8_t* buffer, uint32_t length, uint32_t* bytes_read, uint32_t timeout_ms);
    // 1 when the whole report was written, 0 otherwise. The first byte is the report ID.
    int Write(const uint8_t* buffer, uint32_t length, uint32_t* bytes_written, uint32_t timeout_ms);

    // Fills the data array of that report type from one report; false when a value usage failed.
    static bool UnpackReport(const uint8_t* report, uint32_t length, HidReportType type, HidUsageData* data,
                             uint32_t data_length, const HidCollectionInfo& preparsed);
    // Same, for this record's own data array of the type.
    bool UnpackReport(const uint8_t* report, uint32_t length, HidReportType type);

    // The path still leads to the same present device (discovery's probe).
    static bool IsPathPresent(std::string_view path);

    const std::string& Path() const { return path_; }
    const HidCaps& Caps() const { return caps_; }
    const HidAttributes& Attributes() const { return attributes_; }
    uint32_t InterfaceNumber() const { return interface_number_; }
    uint32_t CollectionNumber() const { return collection_number_; }
    const HidCollectionInfo& Preparsed() const { return preparsed_; }
    const std::vector<HidUsageData>& Data(HidReportType type) const { return types_[Index(type)].data; }
    std::vector<HidUsageData>& Data(HidReportType type) { return types_[Index(type)].data; }
    const std::vector<HidButtonCaps>& ButtonCaps(HidReportType type) const { return types_[Index(type)].button_caps; }
    const std::vector<HidValueCaps>& ValueCaps(HidReportType type) const { return types_[Index(type)].value_caps; }
    std::vector<uint8_t>& ReportBuffer(HidReportType type) { return types_[Index(type)].report_buffer; }

private:
    struct PerType {
        std::vector<uint8_t> report_buffer;
        std::vector<HidButtonCaps> button_caps;
        std::vector<HidValueCaps> value_caps;
        std::vector<HidUsageData> data;
    };
    static size_t Index(HidReportType type) { return static_cast<size_t>(type); }

    bool LoadCapabilities(const HidConnection& connection);
    void ClearCapabilities();
    // Interrupts the transfers in flight and waits until they left; optionally takes the node.
    std::shared_ptr<HidConnection> StopTransfers(bool take_connection);
    // Registers a transfer; null when the record is closed.
    std::shared_ptr<HidConnection> BeginTransfer();
    void EndTransfer();
    // Waits for the fd or the abort signal; true when the fd is ready.
    bool WaitReady(int fd, short events, uint32_t timeout_ms, const struct timespec& start, short* revents);

    std::vector<std::string> paths_;
    uint32_t cursor_ = 0;

    bool open_read_ = false;
    bool open_write_ = false;
    bool open_overlapped_ = false;
    bool open_exclusive_ = false;

    mutable std::mutex state_mutex_;
    std::condition_variable idle_;
    std::shared_ptr<HidConnection> connection_;  // guarded by state_mutex_
    int active_transfers_ = 0;                   // guarded by state_mutex_
    bool aborting_ = false;                      // guarded by state_mutex_
    int abort_fd_ = -1;                          // eventfd; readable while an abort is pending

    std::string path_;
    std::string share_node_;
    HidCaps caps_{};
    HidAttributes attributes_{};
    HidCollectionInfo preparsed_;
    bool uses_report_ids_ = false;
    PerType types_[3];
    std::vector<uint8_t> read_scratch_;  // the raw report as the node delivers it
    uint32_t interface_number_ = 0;
    uint32_t collection_number_ = 0;
    std::atomic<bool> read_in_progress_{false};
    std::atomic<bool> write_in_progress_{false};
};

}  // namespace lumora
