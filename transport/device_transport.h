#pragma once
// A device page's command channel: 64-byte requests with report ID 4, a 16-bit additive
// checksum and a command byte, each answered by a reply that echoes the command byte
// and carries a status byte. Wired devices go through the primary record (1000 ms),
// devices behind the 2.4 GHz receiver through the secondary one (5000 ms).
//
// Locks, always in this order: command lock (or light lock), exchange lock, I/O lock.
// The exchange lock keeps one request and its reply together, so that two threads can
// never take each other's replies; light frames only try it and drop the page when a
// command holds it.

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <mutex>
#include <string_view>

#include "hid/hid_device.h"

namespace lumora {

class DeviceTransport {
public:
    // Result codes of the command operations.
    static constexpr int kSuccess = 1;
    static constexpr int kNoReply = 0;  // nothing sent, or reading the reply failed
    static constexpr int kWriteFailed = -1;
    static constexpr int kWirelessUnreachable = -101;
    static constexpr int kStatusFF = -102;
    static constexpr int kStatusFE = -103;
    static constexpr int kBadBank = -201;

    static constexpr size_t kReportSize = 64;
    static constexpr uint8_t kReportId = 0x04;
    static constexpr uint8_t kPageWired = 56;
    static constexpr uint8_t kPageWireless = 24;
    static constexpr uint32_t kWiredTimeoutMs = 1000;
    static constexpr uint32_t kWirelessTimeoutMs = 5000;
    static constexpr int kModeWireless = 2;

    DeviceTransport() = default;
    ~DeviceTransport();
    DeviceTransport(const DeviceTransport&) = delete;
    DeviceTransport& operator=(const DeviceTransport&) = delete;

    // Opens the record for the path (secondary when wireless) for reading and writing,
    // sets the mode and the opened flag; false when the interface could not be opened.
    bool Open(std::string_view path, bool wireless);
    // Clears opened (commands return 0 from then on), interrupts a waiting transfer and closes both records.
    void Close();

    void SetTransportMode(int mode);
    bool SetBlockSize(uint16_t size);

    int Transact(const uint8_t* request, size_t request_length, uint8_t* reply, size_t reply_length,
                 uint32_t* bytes_read = nullptr);
    int TransactQuiet(const uint8_t* request, size_t request_length, uint8_t* reply, size_t reply_length);

    int BeginConfig();
    int EndConfig();
    int ReadDeviceInfo(uint8_t* destination);  // 34 bytes
    int ReadSettings(uint8_t* destination, size_t length, uint16_t base_offset);
    int WriteSettings(const uint8_t* source, size_t length, uint16_t base_offset);
    int ReadKeyMap(uint8_t* destination);  // block size bytes
    int WriteKeyMap(const uint8_t* source, int bank);
    int WriteLightData(const uint8_t* source, size_t length, uint32_t block_index, uint32_t block_length);
    int StreamLightFrame(const uint8_t* source, size_t length);
    int WriteMacroData(const uint8_t* source, size_t length);
    int WriteBlock56(const uint8_t* source, size_t length);
    int ReadStatus(uint8_t* destination, size_t length, uint16_t address);
    int ReadKeyLedMap(uint8_t* destination);  // block size / 3 bytes
    int ClaimLighting();
    bool QueryWirelessLink();

    // Fills bytes 1 and 2 of a 64-byte report with the checksum of bytes 3 to 63.
    static void Seal(uint8_t* report);
    static uint16_t Checksum(const uint8_t* report);

    bool Opened() const { return opened_.load(); }
    void SetOpened(bool opened) { opened_ = opened; }
    bool Busy() const { return busy_.load() > 0; }
    bool Synced() const { return synced_.load(); }
    void SetSynced(bool synced) { synced_ = synced; }
    bool Wireless() const { return wireless_.load(); }
    uint8_t PageSize() const { return page_size_.load(); }
    uint16_t BlockSize() const { return block_size_.load(); }

    HidDevice& Primary() { return primary_; }
    HidDevice& Secondary() { return secondary_; }
    std::mutex& IoLock() { return io_lock_; }
    std::mutex& SecondIoLock() { return second_io_lock_; }
    std::mutex& CommandLock() { return command_lock_; }
    std::mutex& LightLock() { return light_lock_; }

private:
    enum class Direction { Read, Write };
    // One command of one or more pages. `destination` for reads, `source` for writes.
    // `whole` is held around all pages, `per_page` around each one (either may be null).
    int Paged(uint8_t code, Direction direction, uint8_t* destination, const uint8_t* source, size_t length,
              uint32_t base_offset, size_t page_size, std::mutex* whole, std::mutex* per_page);
    int Simple(uint8_t code);
    // TransactQuiet with the exchange lock already held.
    int ExchangeQuiet(const uint8_t* request, size_t request_length, uint8_t* reply, size_t reply_length);
    static int Judge(int result, const uint8_t* reply);
    static void Dump(const char* title, const uint8_t* report);

    std::atomic<uint16_t> block_size_{512};
    std::atomic<int> busy_{0};  // transactions running (commands without the command lock may overlap)
    std::atomic<bool> opened_{false};
    std::atomic<bool> synced_{false};
    HidDevice primary_;
    HidDevice secondary_;
    std::mutex io_lock_;
    std::mutex second_io_lock_;
    std::mutex command_lock_;
    std::mutex light_lock_;
    std::mutex exchange_lock_;
    std::atomic<bool> wireless_{false};
    std::atomic<uint8_t> page_size_{kPageWireless};
};

}  // namespace lumora
