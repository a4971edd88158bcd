#include "sim/firmware/tav_printer_firmware.h"
#include "sim/windows_values.h"

#include <algorithm>

#include "shared/names.h"
#include "shared/win/errors.h"

namespace tav::sim {

namespace {

constexpr uint32_t kIoctlGet1284Id = 0x220034;
constexpr uint32_t kIoctlVendorGet = 0x22003C;
constexpr uint8_t kStx = 0x02;
constexpr uint8_t kUsbClassBit = 0x01;

// The printer's own copy of what it expects: it is outside the utility.
const std::vector<uint8_t> kSettingsRequest = {0x10, 0x00, 0x00};
const std::vector<uint8_t> kSwitchBlockQuery = {0x12, 0x6C, 0xFF, 'T', 'A', 'V', 'S',
                                                'W',  'I',  'T',  'C', 'H', 'Q'};
const std::vector<uint8_t> kUsbSerialQuery = {0x12, 0x75, 0x02};
const std::vector<uint8_t> kUnitSerialQuery = {0x11, 0x40, 0x96, 0x69, 0x0F, 0xF0, 0x96,
                                               0x69, 0x0F, 0xF0, 0x96, 0x69, 0x0F, 0xF0,
                                               0x96, 0x69, 0x0F, 0xF0, 0x50, 0x00, 0x01};

bool EndsWithClosingPair(const std::vector<uint8_t>& d) {
    return d.size() >= 2 && d[d.size() - 2] == 0x12 && d[d.size() - 1] == 0x40;
}

bool IsResponseSet(const std::vector<uint8_t>& d) {
    return d.size() == 7 && d[0] == 0x12 && d[1] == 0x77 && d[2] == 0x85 && d[4] == 0x00 &&
           EndsWithClosingPair(d);
}

bool IsUsbSerialSet(const std::vector<uint8_t>& d) {
    return d.size() == 16 && d[0] == 0x12 && d[1] == 0x75 && (d[2] == 0x00 || d[2] == 0x01) &&
           d[13] == 0x00 && EndsWithClosingPair(d);
}

bool IsUsbClassSet(const std::vector<uint8_t>& d) {
    return d.size() == 6 && d[0] == 0x12 && d[1] == 0x75 && d[2] == 0x03 && EndsWithClosingPair(d);
}

// A block of `size` bytes whose filler bytes carry varied high nibbles, with one switch
// byte as a nibble pair at `offset` (bits 0-3 first).
std::vector<uint8_t> BlockWithSwitch(size_t size, size_t offset, uint8_t value) {
    std::vector<uint8_t> block(size);
    for (size_t i = 0; i < size; ++i)
        block[i] = static_cast<uint8_t>(0x40 + (i * 7) % 0x80);
    if (offset + 1 < size) {
        block[offset] = static_cast<uint8_t>(0x30 | (value & 0x0F));
        block[offset + 1] = static_cast<uint8_t>(0x20 | (value >> 4));
    }
    return block;
}

}  // namespace

TavPrinterFirmware::TavPrinterFirmware(DeviceTree& tree, VirtualClock& clock,
                                       TavPrinterIdentity identity)
    : m_tree(tree), m_clock(clock), m_identity(std::move(identity)) {}

void TavPrinterFirmware::Plug() {
    std::lock_guard<std::recursive_mutex> lock(m_mutex);
    PlugLocked();
}

void TavPrinterFirmware::PlugLocked() {
    SimDevice device;
    device.instanceId = m_identity.instanceId;
    device.setupClass = InPrinterClass() ? u"USB" : u"Ports";
    device.parentId = m_identity.parentId;
    device.hardwareIds = {u"USB\\VID_1B7E&PID_0101"};
    m_tree.AddDevice(device);
    if (InPrinterClass()) {
        m_tree.AddInterface(sdk::kUsbPrintInterface, m_identity.printerPath, m_identity.instanceId);
    } else {
        m_tree.AddInterface(sdk::kComPortInterface, m_identity.serialPath, m_identity.instanceId);
        if (m_identity.serialModeAlsoPrinterClass)
            m_tree.AddInterface(sdk::kPrinterDriverInterface, m_identity.printerClassPath,
                                m_identity.instanceId);
    }
    m_present = true;
    m_pendingReads.clear();  // a printer that comes back starts with nothing to send
}

void TavPrinterFirmware::Unplug() {
    std::lock_guard<std::recursive_mutex> lock(m_mutex);
    m_present = false;
    m_tree.SetDevicePresent(m_identity.instanceId, false);
}

bool TavPrinterFirmware::InPrinterClass() const {
    std::lock_guard<std::recursive_mutex> lock(m_mutex);
    return (m_usbClassSwitch & kUsbClassBit) != 0;
}

bool TavPrinterFirmware::Present() const {
    std::lock_guard<std::recursive_mutex> lock(m_mutex);
    return m_present;
}

void TavPrinterFirmware::SetDeviceId(std::string deviceId) {
    std::lock_guard<std::recursive_mutex> lock(m_mutex);
    m_deviceId = std::move(deviceId);
}

void TavPrinterFirmware::SetUnitSerial(std::string serial) {
    std::lock_guard<std::recursive_mutex> lock(m_mutex);
    m_unitSerial = std::move(serial);
}

void TavPrinterFirmware::SetResponseSwitch(uint8_t value) {
    std::lock_guard<std::recursive_mutex> lock(m_mutex);
    m_responseSwitch = value;
}

void TavPrinterFirmware::SetUsbClassSwitch(uint8_t value) {
    std::lock_guard<std::recursive_mutex> lock(m_mutex);
    m_usbClassSwitch = value;
}

void TavPrinterFirmware::SetUsbSerial(uint8_t mode, std::string manualText) {
    std::lock_guard<std::recursive_mutex> lock(m_mutex);
    m_usbSerialMode = mode;
    m_usbSerialText = std::move(manualText);
}

uint8_t TavPrinterFirmware::ResponseSwitch() const {
    std::lock_guard<std::recursive_mutex> lock(m_mutex);
    return m_responseSwitch;
}

uint8_t TavPrinterFirmware::UsbClassSwitch() const {
    std::lock_guard<std::recursive_mutex> lock(m_mutex);
    return m_usbClassSwitch;
}

std::string TavPrinterFirmware::UnitSerial() const {
    std::lock_guard<std::recursive_mutex> lock(m_mutex);
    return m_unitSerial;
}

std::string TavPrinterFirmware::UsbSerial() const {
    std::lock_guard<std::recursive_mutex> lock(m_mutex);
    return m_usbSerialMode == 0 ? m_unitSerial : m_usbSerialText;
}

void TavPrinterFirmware::PlanTextReply(TextReplyPlan plan) {
    std::lock_guard<std::recursive_mutex> lock(m_mutex);
    m_plannedReplies.push_back(std::move(plan));
}

std::vector<ReceivedRequest> TavPrinterFirmware::Received() const {
    std::lock_guard<std::recursive_mutex> lock(m_mutex);
    return m_received;
}

std::vector<std::vector<uint8_t>> TavPrinterFirmware::Writes() const {
    std::lock_guard<std::recursive_mutex> lock(m_mutex);
    std::vector<std::vector<uint8_t>> writes;
    for (const auto& r : m_received) {
        if (r.kind == ReceivedRequest::Kind::Write)
            writes.push_back(r.bytes);
    }
    return writes;
}

std::vector<uint32_t> TavPrinterFirmware::ReadSizes() const {
    std::lock_guard<std::recursive_mutex> lock(m_mutex);
    std::vector<uint32_t> sizes;
    for (const auto& r : m_received) {
        if (r.kind == ReceivedRequest::Kind::Read)
            sizes.push_back(r.size);
    }
    return sizes;
}

void TavPrinterFirmware::ClearReceived() {
    std::lock_guard<std::recursive_mutex> lock(m_mutex);
    m_received.clear();
}

int TavPrinterFirmware::Resets() const {
    std::lock_guard<std::recursive_mutex> lock(m_mutex);
    return m_resets;
}

std::vector<uint8_t> TavPrinterFirmware::SettingsBlockBytes() const {
    std::lock_guard<std::recursive_mutex> lock(m_mutex);
    return BlockWithSwitch(settingsBlockSize, 9, m_responseSwitch);
}

std::vector<uint8_t> TavPrinterFirmware::SwitchBlockBytes() const {
    std::lock_guard<std::recursive_mutex> lock(m_mutex);
    return BlockWithSwitch(switchBlockSize, 109, m_usbClassSwitch);
}

FirmwareReply TavPrinterFirmware::OnIoctl(uint32_t code, const std::vector<uint8_t>& request,
                                          uint32_t outSize) {
    std::lock_guard<std::recursive_mutex> lock(m_mutex);
    m_received.push_back({ReceivedRequest::Kind::Ioctl, code, request, outSize});
    FirmwareReply reply;
    if (code == kIoctlGet1284Id) {
        reply.data.assign(m_deviceId.begin(), m_deviceId.end());
        reply.data.push_back(0);
    } else if (code == kIoctlVendorGet && request == kSettingsRequest) {
        reply.data = SettingsBlockBytes();
        if (reply.data.size() > outSize)  // the driver reports a reply that did not fit
            reply.error = win::kErrorMoreData;
    } else {
        reply.error = win::kErrorInvalidFunction;
    }
    return reply;
}

FirmwareReply TavPrinterFirmware::OnWrite(const std::vector<uint8_t>& data) {
    FirmwareReply reply;
    bool resets = false;
    {
        std::lock_guard<std::recursive_mutex> lock(m_mutex);
        m_received.push_back({ReceivedRequest::Kind::Write, 0, data, 0});
        resets = HandleCommand(data);
        reply.delayMs = writeDelayMs;
    }
    // The clock runs the reset under its own lock and the reset takes ours, so ours is not
    // held while the reset is scheduled: the two locks are never taken in both orders.
    if (resets)
        ScheduleReset();
    return reply;
}

FirmwareReply TavPrinterFirmware::OnRead(uint32_t maxBytes) {
    std::lock_guard<std::recursive_mutex> lock(m_mutex);
    m_received.push_back({ReceivedRequest::Kind::Read, 0, {}, maxBytes});
    FirmwareReply reply;
    if (m_pendingReads.empty()) {
        reply.never = true;  // nothing to send: the read waits until cancelled
        return reply;
    }
    PendingRead& next = m_pendingReads.front();
    const size_t n = std::min<size_t>(maxBytes, next.bytes.size());
    reply.data.assign(next.bytes.begin(), next.bytes.begin() + static_cast<ptrdiff_t>(n));
    reply.delayMs = next.delayMs;
    next.bytes.erase(next.bytes.begin(), next.bytes.begin() + static_cast<ptrdiff_t>(n));
    if (next.bytes.empty())
        m_pendingReads.pop_front();
    return reply;
}

bool TavPrinterFirmware::HandleCommand(const std::vector<uint8_t>& d) {
    if (d == kUsbSerialQuery) {
        QueueTextReply(UsbSerial());
    } else if (d == kUnitSerialQuery) {
        QueueTextReply(m_unitSerial);
    } else if (d == kSwitchBlockQuery) {
        m_pendingReads.push_back({SwitchBlockBytes(), textReadDelayMs});
    } else if (IsResponseSet(d)) {
        m_responseSwitch = d[3];
        return true;
    } else if (IsUsbSerialSet(d)) {
        m_usbSerialMode = d[2];
        const auto field = d.begin() + 3;
        m_usbSerialText.assign(field, std::find(field, field + 10, uint8_t{0}));
        return true;
    } else if (IsUsbClassSet(d)) {
        m_usbClassSwitch = d[3];
        return true;
    }
    // Anything else (a wrong keyword, a malformed request) is ignored, as the printer does.
    return false;
}

void TavPrinterFirmware::QueueTextReply(const std::string& text) {
    if (!m_plannedReplies.empty()) {
        TextReplyPlan plan = std::move(m_plannedReplies.front());
        m_plannedReplies.pop_front();
        QueuePlan(plan);
        return;
    }
    std::vector<uint8_t> bytes = garbageBeforeStx;
    bytes.push_back(kStx);
    bytes.insert(bytes.end(), text.begin(), text.end());
    bytes.push_back(0x00);
    const size_t reads = std::max<size_t>(1, std::min(textReadCount, bytes.size()));
    const size_t piece = (bytes.size() + reads - 1) / reads;
    TextReplyPlan plan;
    plan.delayMs = textReadDelayMs;
    for (size_t at = 0; at < bytes.size(); at += piece) {
        const size_t end = std::min(bytes.size(), at + piece);
        plan.reads.emplace_back(bytes.begin() + static_cast<ptrdiff_t>(at),
                                bytes.begin() + static_cast<ptrdiff_t>(end));
    }
    QueuePlan(plan);
}

void TavPrinterFirmware::QueuePlan(const TextReplyPlan& plan) {
    for (const auto& read : plan.reads)
        m_pendingReads.push_back({read, plan.delayMs});
}

void TavPrinterFirmware::ScheduleReset() {
    {
        std::lock_guard<std::recursive_mutex> lock(m_mutex);
        ++m_resets;
    }
    m_clock.Schedule(leaveDelayMs, [this] {
        Unplug();
        m_clock.Schedule(returnDelayMs, [this] { Plug(); });
    });
}

}  // namespace tav::sim
