#pragma once
// A simulated printer of the family: it answers the IEEE 1284 device ID request, the vendor
// settings read, the switch block query (only with the right keyword), the two text
// queries, and the three set requests. A set request makes the printer leave the device
// tree and come back after a configurable virtual time; a USB class change brings it back
// in the other interface class. Every request it receives is kept, so tests can assert the
// exact bytes.

#include <cstdint>
#include <deque>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "sim/device_tree.h"
#include "sim/printer_firmware.h"
#include "sim/virtual_clock.h"

namespace tav::sim {

// Where the printer sits in the device tree. One device node; in printer-driver mode it
// presents a USB printing-class interface, in virtual-serial mode a COM port interface
// (and, when asked, the printer interface class too).
struct TavPrinterIdentity {
    std::u16string instanceId = u"USB\\VID_1B7E&PID_0101\\TAV0000001";
    std::u16string parentId = u"USB\\ROOT_HUB30\\4&1A2B3C4D&0&0";
    std::u16string printerPath =
        u"\\\\?\\USB#Vid_1B7E&pid_0101#TAV0000001#{28d78fad-5a12-11d1-ae5b-0000f803a8c2}";
    std::u16string serialPath =
        u"\\\\?\\USB#Vid_1B7E&pid_0101#TAV0000001#{86e0d1e0-8089-11d0-9ce4-08003e301f73}";
    std::u16string printerClassPath =
        u"\\\\?\\USB#Vid_1B7E&pid_0101#TAV0000001#{a4c7e912-3f58-4b06-9d2e-61b0f7c3d845}";
    bool serialModeAlsoPrinterClass = false;
};

// How one text reply travels: the bytes of each read, in order, each read completing
// after `delayMs`.
struct TextReplyPlan {
    std::vector<std::vector<uint8_t>> reads;
    uint32_t delayMs = 0;
};

// A request as the printer received it.
struct ReceivedRequest {
    enum class Kind { Ioctl, Write, Read };
    Kind kind;
    uint32_t code = 0;           // IOCTL code
    std::vector<uint8_t> bytes;  // IOCTL input or written bytes
    uint32_t size = 0;           // IOCTL output capacity or read size
};

class TavPrinterFirmware : public PrinterFirmware {
  public:
    TavPrinterFirmware(DeviceTree& tree, VirtualClock& clock, TavPrinterIdentity identity = {});

    // Adds the device node and the interface(s) of its current class to the tree / takes
    // the node out (its interfaces stay registered, absent).
    void Plug();
    void Unplug();

    const TavPrinterIdentity& Identity() const { return m_identity; }
    bool InPrinterClass() const;  // USB class bit set: printing-class device
    bool Present() const;

    // --- settings the printer keeps ---
    void SetDeviceId(std::string deviceId);
    void SetUnitSerial(std::string serial);
    void SetResponseSwitch(uint8_t value);
    // Takes effect at the next Plug (or reset).
    void SetUsbClassSwitch(uint8_t value);
    void SetUsbSerial(uint8_t mode, std::string manualText);
    uint8_t ResponseSwitch() const;
    uint8_t UsbClassSwitch() const;
    std::string UnitSerial() const;
    // What the USB serial query answers: the unit serial (Auto), the manual text, or empty.
    std::string UsbSerial() const;

    // --- behaviour ---
    uint32_t leaveDelayMs = 50;     // set request written -> printer leaves the tree
    uint32_t returnDelayMs = 2500;  // printer left -> printer back
    uint32_t textReadDelayMs = 20;  // each read of a built text reply
    size_t textReadCount = 2;       // a built text reply is split over this many reads
    std::vector<uint8_t> garbageBeforeStx;
    uint32_t writeDelayMs = 0;
    size_t settingsBlockSize = 82;  // length of the vendor reply
    size_t switchBlockSize = 128;   // length of the switch block reply
    // The next text queries are answered with these plans, in order, instead of the text.
    void PlanTextReply(TextReplyPlan plan);

    // --- what the printer received ---
    std::vector<ReceivedRequest> Received() const;
    std::vector<std::vector<uint8_t>> Writes() const;
    std::vector<uint32_t> ReadSizes() const;
    void ClearReceived();
    int Resets() const;

    // --- PrinterFirmware ---
    FirmwareReply OnIoctl(uint32_t code, const std::vector<uint8_t>& request,
                          uint32_t outSize) override;
    FirmwareReply OnWrite(const std::vector<uint8_t>& data) override;
    FirmwareReply OnRead(uint32_t maxBytes) override;

    // The settings block and switch block as the printer would send them now.
    std::vector<uint8_t> SettingsBlockBytes() const;
    std::vector<uint8_t> SwitchBlockBytes() const;

  private:
    struct PendingRead {
        std::vector<uint8_t> bytes;
        uint32_t delayMs;
    };

    // True when the command resets the printer (it leaves the bus and comes back).
    bool HandleCommand(const std::vector<uint8_t>& data);
    void QueueTextReply(const std::string& text);
    void QueuePlan(const TextReplyPlan& plan);
    void ScheduleReset();
    void PlugLocked();

    mutable std::recursive_mutex m_mutex;
    DeviceTree& m_tree;
    VirtualClock& m_clock;
    TavPrinterIdentity m_identity;

    std::string m_deviceId = "MFG:TAV;MDL:HX-P300;CMD:ESC/POS;CLS:PRINTER;DES:TAV HX-P300;";
    std::string m_unitSerial = "D8K0012345";
    uint8_t m_responseSwitch = 0x7A;
    uint8_t m_usbClassSwitch = 0x25;
    uint8_t m_usbSerialMode = 0;
    std::string m_usbSerialText;
    bool m_present = false;
    int m_resets = 0;

    std::deque<PendingRead> m_pendingReads;
    std::deque<TextReplyPlan> m_plannedReplies;
    std::vector<ReceivedRequest> m_received;
};

}  // namespace tav::sim
