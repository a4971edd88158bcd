#include "sim/printer/sim_device_io.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "shared/last_error.h"
#include "shared/u16.h"
#include "shared/win/errors.h"
#include "sim/windows_values.h"

namespace tav::sim {
using namespace tav::setup;
namespace {

int Fail(uint32_t error) {
    SetLastErrorCode(error);
    return 0;
}

constexpr uint32_t kErrorSharingViolation = 32;

// CreateFileW's arguments as a device open takes them. Windows accepts many more rights,
// flags and attributes; the transport passes none of them, so they are refused with 87.
constexpr uint32_t kKnownAccess = sdk::kGenericRead | sdk::kGenericWrite;
constexpr uint32_t kKnownFlags = sdk::kFileFlagOverlapped;
// Share bits beyond these Windows itself refuses with 87.
constexpr uint32_t kKnownShare = sdk::kFileShareRead | sdk::kFileShareWrite | sdk::kFileShareDelete;

bool ValidOpenMode(const DeviceOpenMode& mode) {
    return (mode.access & ~kKnownAccess) == 0 && (mode.shareMode & ~kKnownShare) == 0 &&
           (mode.flags & ~kKnownFlags) == 0;
}

// The access a control code asks of its handle (CTL_CODE bits 14-15).
uint32_t AccessOfControlCode(uint32_t code) {
    switch ((code >> 14) & 3) {
        case 1:  // FILE_READ_ACCESS
            return sdk::kGenericRead;
        case 2:  // FILE_WRITE_ACCESS
            return sdk::kGenericWrite;
        case 3:
            return sdk::kGenericRead | sdk::kGenericWrite;
        default:  // FILE_ANY_ACCESS
            return 0;
    }
}

// Two opens of one file coexist when each one's share mode admits the other's access.
bool Admits(uint32_t shareMode, uint32_t access) {
    return (!(access & sdk::kGenericRead) || (shareMode & sdk::kFileShareRead)) &&
           (!(access & sdk::kGenericWrite) || (shareMode & sdk::kFileShareWrite));
}

std::string Hex(uint32_t value) {
    char text[16];
    std::snprintf(text, sizeof text, "0x%X", value);
    return text;
}

bool SamePath(const std::u16string& a, const std::u16string& b) {
    return a.size() == b.size() && StartsWithNoCase(a, b);
}

// The operation's id lives in the OVERLAPPED block, as Windows keeps its state there.
void StoreId(Overlapped& ov, uint64_t id) {
    std::memcpy(ov.block, &id, sizeof id);
}
uint64_t LoadId(const Overlapped& ov) {
    uint64_t id;
    std::memcpy(&id, ov.block, sizeof id);
    return id;
}

}  // namespace

SimDeviceIo::SimDeviceIo(VirtualClock& clock, SimTrace& trace, DeviceTree& tree)
    : m_clock(clock), m_trace(trace), m_tree(tree) {}

void SimDeviceIo::AttachFirmware(const std::u16string& deviceId,
                                 std::shared_ptr<PrinterFirmware> firmware) {
    m_firmware[deviceId] = std::move(firmware);
}

void SimDeviceIo::SetSpoolerHoldsDevice(bool held, uint32_t error) {
    m_spoolerHolds = held;
    m_holdError = error;
}

void SimDeviceIo::SetHolderActive(std::function<bool()> holderActive) {
    m_holderActive = std::move(holderActive);
}

size_t SimDeviceIo::OpenDeviceHandles() const {
    return m_devices.size();
}

size_t SimDeviceIo::OpenEvents() const {
    return m_events.size();
}

size_t SimDeviceIo::PendingOperations() const {
    return static_cast<size_t>(std::count_if(m_operations.begin(), m_operations.end(),
                                             [](const auto& op) { return !op.second.done; }));
}

bool SimDeviceIo::FindInterface(const std::u16string& path, SimInterface* pFound) const {
    for (const Guid& cls :
         {sdk::kUsbPrintInterface, sdk::kComPortInterface, sdk::kPrinterDriverInterface}) {
        for (const SimInterface& i : m_tree.Interfaces(cls, true)) {
            if (SamePath(i.path, path)) {
                *pFound = i;
                return true;
            }
        }
    }
    return false;
}

void SimDeviceIo::HoldOpen(const std::u16string& path, uint32_t access, uint32_t shareMode) {
    m_otherHolders.push_back(OpenDeviceHandle{path, {}, DeviceOpenMode{access, shareMode, 0}});
}

bool SimDeviceIo::SharingAllows(const std::u16string& path, const DeviceOpenMode& mode) const {
    auto admitted = [&](const OpenDeviceHandle& open) {
        return !SamePath(open.path, path) || (Admits(open.mode.shareMode, mode.access) &&
                                              Admits(mode.shareMode, open.mode.access));
    };
    for (const auto& [handle, open] : m_devices) {
        if (!admitted(open))
            return false;
    }
    return std::all_of(m_otherHolders.begin(), m_otherHolders.end(), admitted);
}

Handle SimDeviceIo::OpenDevice(const std::u16string& path, const DeviceOpenMode& mode) {
    if (auto error = m_trace.Enter("CreateFileW", ToUtf8(path) + " access=" + Hex(mode.access) +
                                                      " share=" + Hex(mode.shareMode) +
                                                      " flags=" + Hex(mode.flags)))
        return Fail(*error);
    if (!ValidOpenMode(mode))
        return Fail(win::kErrorInvalidParameter);
    SimInterface found;
    if (!FindInterface(path, &found))
        return Fail(win::kErrorFileNotFound);
    const auto device = m_tree.Device(found.deviceId);
    if (device && (!device->enabled || !device->inCurrentProfile))
        return Fail(win::kErrorFileNotFound);
    if (m_spoolerHolds && (!m_holderActive || m_holderActive()))
        return Fail(m_holdError);
    if (!SharingAllows(found.path, mode))
        return Fail(kErrorSharingViolation);
    const Handle handle = m_nextHandle++;
    m_devices[handle] = OpenDeviceHandle{found.path, found.deviceId, mode};
    return handle;
}

int SimDeviceIo::CloseHandle(Handle handle) {
    auto it = m_devices.find(handle);
    const bool isEvent = m_events.count(handle) != 0;
    const char* kind = isEvent ? "event" : it != m_devices.end() ? "device" : "invalid";
    if (auto error = m_trace.Enter("CloseHandle", kind))
        return Fail(*error);  // the handle stays open, as after a failed CloseHandle
    if (isEvent) {
        m_events.erase(handle);
        return 1;
    }
    if (it == m_devices.end())
        return Fail(win::kErrorInvalidHandle);
    m_devices.erase(it);
    for (auto& [id, op] : m_operations) {
        if (op.device == handle && !op.done) {
            ++m_abandoned;  // Windows cancels them; their buffers were left to them
            Finish(id, win::kErrorOperationAborted);
        }
    }
    return 1;
}

PrinterFirmware* SimDeviceIo::FirmwareOf(Handle device, uint32_t neededAccess, uint32_t* pError) {
    auto it = m_devices.find(device);
    if (it == m_devices.end()) {
        *pError = win::kErrorInvalidHandle;
        return nullptr;
    }
    if ((it->second.mode.access & neededAccess) != neededAccess) {
        *pError = win::kErrorAccessDenied;
        return nullptr;
    }
    auto fw = m_firmware.find(it->second.deviceId);
    if (fw == m_firmware.end() || !fw->second) {
        *pError = win::kErrorInvalidFunction;
        return nullptr;
    }
    return fw->second.get();
}

int SimDeviceIo::DeviceIoControl(Handle device, uint32_t code, const void* inBuffer,
                                 uint32_t inSize, void* outBuffer, uint32_t outSize,
                                 uint32_t* pCount, Overlapped& ov) {
    const std::string detail =
        Hex(code) + " in=" + std::to_string(inSize) + " out=" + std::to_string(outSize);
    if (auto error = m_trace.Enter("DeviceIoControl", detail))
        return Fail(*error);
    uint32_t error = 0;
    PrinterFirmware* firmware = FirmwareOf(device, AccessOfControlCode(code), &error);
    if (!firmware)
        return Fail(error);
    const auto* in = static_cast<const uint8_t*>(inBuffer);
    std::vector<uint8_t> request(in, in ? in + inSize : in);
    const FirmwareReply reply = firmware->OnIoctl(code, request, outSize);
    const uint32_t bytes = std::min<uint32_t>(static_cast<uint32_t>(reply.data.size()), outSize);
    return Start(device, reply, outBuffer, outSize, bytes, pCount, ov);
}

int SimDeviceIo::WriteFile(Handle device, const void* buffer, uint32_t size, uint32_t* pCount,
                           Overlapped& ov) {
    if (auto error = m_trace.Enter("WriteFile", std::to_string(size)))
        return Fail(*error);
    uint32_t error = 0;
    PrinterFirmware* firmware = FirmwareOf(device, sdk::kGenericWrite, &error);
    if (!firmware)
        return Fail(error);
    const auto* data = static_cast<const uint8_t*>(buffer);
    const FirmwareReply reply = firmware->OnWrite(std::vector<uint8_t>(data, data + size));
    return Start(device, reply, nullptr, 0, std::min(reply.accepted, size), pCount, ov);
}

int SimDeviceIo::ReadFile(Handle device, void* buffer, uint32_t size, uint32_t* pCount,
                          Overlapped& ov) {
    if (auto error = m_trace.Enter("ReadFile", std::to_string(size)))
        return Fail(*error);
    uint32_t error = 0;
    PrinterFirmware* firmware = FirmwareOf(device, sdk::kGenericRead, &error);
    if (!firmware)
        return Fail(error);
    const FirmwareReply reply = firmware->OnRead(size);
    const uint32_t bytes = std::min<uint32_t>(static_cast<uint32_t>(reply.data.size()), size);
    return Start(device, reply, buffer, size, bytes, pCount, ov);
}

int SimDeviceIo::Start(Handle device, const FirmwareReply& reply, void* out, uint32_t outSize,
                       uint32_t bytes, uint32_t* pCount, Overlapped& ov) {
    const bool atOnce = reply.delayMs == 0 && !reply.never;
    if (atOnce && reply.error != 0)
        return Fail(reply.error);
    Operation op;
    op.device = device;
    op.event = ov.hEvent;
    op.data.assign(reply.data.begin(),
                   reply.data.begin() + std::min<size_t>(reply.data.size(), outSize));
    op.out = out;
    op.bytes = bytes;
    op.error = reply.error;
    op.never = reply.never;
    const uint64_t id = m_nextOperation++;
    StoreId(ov, id);
    m_operations[id] = std::move(op);
    if (atOnce) {
        Finish(id, 0);
        m_operations.erase(id);  // nothing left to collect
        if (pCount)
            *pCount = bytes;
        return 1;
    }
    if (!reply.never) {
        m_operations[id].dueElapsed = m_clock.Elapsed() + reply.delayMs;
        m_operations[id].scheduleId =
            m_clock.Schedule(reply.delayMs, [this, id, error = reply.error] { Finish(id, error); });
    }
    if (!(m_devices[device].mode.flags & sdk::kFileFlagOverlapped))
        return CompleteSynchronously(id, pCount);
    return Fail(win::kErrorIoPending);
}

// A handle opened without FILE_FLAG_OVERLAPPED: the call returns only when the operation has
// ended, so neither a time-out nor a cancel can reach it.
int SimDeviceIo::CompleteSynchronously(uint64_t id, uint32_t* pCount) {
    Operation& op = m_operations[id];
    if (op.never) {
        ++m_foreverWaits;  // Windows would block here for good
        m_operations.erase(id);
        return Fail(win::kErrorIoIncomplete);
    }
    m_clock.Advance(static_cast<uint32_t>(op.dueElapsed - m_clock.Elapsed()));
    const Operation done = m_operations[id];
    m_operations.erase(id);
    if (pCount)
        *pCount = done.bytes;
    return done.error != 0 ? Fail(done.error) : 1;
}

// Delivers the reply (unless the operation failed or was cancelled) and signals its event.
void SimDeviceIo::Finish(uint64_t id, uint32_t error) {
    auto it = m_operations.find(id);
    if (it == m_operations.end() || it->second.done)
        return;
    Operation& op = it->second;
    if (op.scheduleId != 0)
        m_clock.Cancel(op.scheduleId);
    op.done = true;
    op.error = error;
    if (error == 0) {
        if (op.out && !op.data.empty())
            std::memcpy(op.out, op.data.data(), op.data.size());
    } else {
        op.bytes = 0;
    }
    Signal(op.event);
}

void SimDeviceIo::Signal(Handle event) {
    auto it = m_events.find(event);
    if (it != m_events.end())
        it->second = true;
}

int SimDeviceIo::CancelIo(Handle device) {
    if (auto error = m_trace.Enter("CancelIo"))
        return Fail(*error);
    if (!m_devices.count(device))
        return Fail(win::kErrorInvalidHandle);
    for (auto& [id, op] : m_operations) {
        if (op.device != device || op.done)
            continue;
        if (op.scheduleId != 0)
            m_clock.Cancel(op.scheduleId);
        op.never = false;
        if (m_cancelLatencyMs == 0) {
            Finish(id, win::kErrorOperationAborted);
        } else {
            op.dueElapsed = m_clock.Elapsed() + m_cancelLatencyMs;
            op.scheduleId = m_clock.Schedule(m_cancelLatencyMs, [this, opId = id] {
                Finish(opId, win::kErrorOperationAborted);
            });
        }
    }
    return 1;
}

SimDeviceIo::Operation* SimDeviceIo::OperationOf(const Overlapped& ov, uint64_t* pId) {
    *pId = LoadId(ov);
    auto it = m_operations.find(*pId);
    return it == m_operations.end() ? nullptr : &it->second;
}

int SimDeviceIo::GetOverlappedResult(Handle device, Overlapped& ov, uint32_t* pCount, int bWait) {
    if (auto error = m_trace.Enter("GetOverlappedResult", bWait ? "wait" : "nowait"))
        return Fail(*error);
    uint64_t id = 0;
    Operation* op = OperationOf(ov, &id);
    if (!op || op->device != device)
        return Fail(win::kErrorInvalidParameter);
    if (!op->done && !bWait)
        return Fail(win::kErrorIoIncomplete);
    if (!op->done && op->never) {
        ++m_foreverWaits;  // Windows would block here for good
        return Fail(win::kErrorIoIncomplete);
    }
    if (!op->done)
        m_clock.Advance(static_cast<uint32_t>(op->dueElapsed - m_clock.Elapsed()));
    op = &m_operations[id];
    *pCount = op->bytes;
    const uint32_t error = op->error;
    m_operations.erase(id);
    if (error != 0)
        return Fail(error);
    return 1;
}

Handle SimDeviceIo::CreateAutoResetEvent() {
    if (auto error = m_trace.Enter("CreateEventW"))
        return Fail(*error);
    const Handle handle = m_nextHandle++;
    m_events[handle] = false;
    return handle;
}

int SimDeviceIo::ResetEvent(Handle event) {
    if (auto error = m_trace.Enter("ResetEvent"))
        return Fail(*error);
    auto it = m_events.find(event);
    if (it == m_events.end())
        return Fail(win::kErrorInvalidHandle);
    it->second = false;
    return 1;
}

int SimDeviceIo::TakeSignalled(uint32_t count, const Handle* handles) {
    for (uint32_t i = 0; i < count; ++i) {
        auto it = m_events.find(handles[i]);
        if (it != m_events.end() && it->second) {
            it->second = false;  // auto-reset
            return static_cast<int>(i);
        }
    }
    return -1;
}

bool SimDeviceIo::EarliestDue(uint32_t count, const Handle* handles, uint64_t* pDue) const {
    bool found = false;
    for (const auto& [id, op] : m_operations) {
        if (op.done || op.never || std::find(handles, handles + count, op.event) == handles + count)
            continue;
        if (!found || op.dueElapsed < *pDue)
            *pDue = op.dueElapsed;
        found = true;
    }
    return found;
}

uint32_t SimDeviceIo::WaitForMultipleObjects(uint32_t count, const Handle* handles,
                                             int /*bWaitAll*/, uint32_t timeoutMs) {
    if (auto error = m_trace.Enter("WaitForMultipleObjects", std::to_string(timeoutMs))) {
        SetLastErrorCode(*error);
        return win::kWaitFailed;
    }
    for (uint32_t i = 0; i < count; ++i) {
        if (!m_events.count(handles[i])) {
            SetLastErrorCode(win::kErrorInvalidHandle);
            return win::kWaitFailed;
        }
    }
    const uint64_t deadline = m_clock.Elapsed() + timeoutMs;
    for (;;) {
        const int index = TakeSignalled(count, handles);
        if (index >= 0)
            return win::kWaitObject0 + static_cast<uint32_t>(index);
        const uint64_t now = m_clock.Elapsed();
        uint64_t due = 0;
        if (!EarliestDue(count, handles, &due) || due > deadline) {
            m_clock.Advance(static_cast<uint32_t>(deadline - now));
            const int late = TakeSignalled(count, handles);
            return late >= 0 ? win::kWaitObject0 + static_cast<uint32_t>(late) : win::kWaitTimeout;
        }
        m_clock.Advance(static_cast<uint32_t>(due - now));
    }
}

}  // namespace tav::sim
