#include "tools/demo_sim/recording_device_io.h"

#include <cstdio>

#include "shared/last_error.h"
#include "shared/u16.h"
#include "shared/win/errors.h"

namespace tav::demo {
using namespace tav::setup;
namespace {

std::string Hex(uint32_t value) {
    char text[16];
    std::snprintf(text, sizeof text, "0x%X", value);
    return text;
}

}  // namespace

Handle RecordingDeviceIo::OpenDevice(const std::u16string& path, const DeviceOpenMode& mode) {
    const Handle device = m_inner.OpenDevice(path, mode);
    if (device == win::kNoHandle) {
        const uint32_t error = GetLastErrorCode();
        m_timeline.Note("wire",
                        "open failed (error " + std::to_string(error) + "): " + ToUtf8(path));
        SetLastErrorCode(error);
    }
    return device;
}

int RecordingDeviceIo::CloseHandle(Handle handle) {
    return m_inner.CloseHandle(handle);
}

int RecordingDeviceIo::DeviceIoControl(Handle device, uint32_t code, const void* inBuffer,
                                       uint32_t inSize, void* outBuffer, uint32_t outSize,
                                       uint32_t* pCount, Overlapped& ov) {
    m_timeline.Note("wire", "ioctl " + Hex(code) + " in " + std::to_string(inSize) + " bytes [" +
                                DescribeBytes(inBuffer, inSize) + "], reply up to " +
                                std::to_string(outSize));
    const int result =
        m_inner.DeviceIoControl(device, code, inBuffer, inSize, outBuffer, outSize, pCount, ov);
    return Started(result, ov, outBuffer, pCount);
}

int RecordingDeviceIo::WriteFile(Handle device, const void* buffer, uint32_t size, uint32_t* pCount,
                                 Overlapped& ov) {
    m_timeline.Note(
        "wire", "write " + std::to_string(size) + " bytes [" + DescribeBytes(buffer, size) + "]");
    return Started(m_inner.WriteFile(device, buffer, size, pCount, ov), ov, nullptr, pCount);
}

int RecordingDeviceIo::ReadFile(Handle device, void* buffer, uint32_t size, uint32_t* pCount,
                                Overlapped& ov) {
    m_timeline.Note("wire", "read up to " + std::to_string(size) + " bytes");
    return Started(m_inner.ReadFile(device, buffer, size, pCount, ov), ov, buffer, pCount);
}

int RecordingDeviceIo::CancelIo(Handle device) {
    m_timeline.Note("wire", "cancelled at the deadline");
    return m_inner.CancelIo(device);
}

int RecordingDeviceIo::GetOverlappedResult(Handle device, Overlapped& ov, uint32_t* pCount,
                                           int bWait) {
    const int result = m_inner.GetOverlappedResult(device, ov, pCount, bWait);
    const uint32_t error = GetLastErrorCode();
    if (bWait)
        m_afterWait();
    const auto pending = m_pending.find(&ov);
    if (pending != m_pending.end() && (result || error != win::kErrorIoIncomplete)) {
        Ended(result, pending->second, *pCount);
        m_pending.erase(pending);
    }
    SetLastErrorCode(error);
    return result;
}

Handle RecordingDeviceIo::CreateAutoResetEvent() {
    return m_inner.CreateAutoResetEvent();
}

int RecordingDeviceIo::ResetEvent(Handle event) {
    return m_inner.ResetEvent(event);
}

uint32_t RecordingDeviceIo::WaitForMultipleObjects(uint32_t count, const Handle* handles,
                                                   int bWaitAll, uint32_t timeoutMs) {
    const uint32_t result = m_inner.WaitForMultipleObjects(count, handles, bWaitAll, timeoutMs);
    const uint32_t error = GetLastErrorCode();
    m_afterWait();
    SetLastErrorCode(error);
    return result;
}

int RecordingDeviceIo::Started(int result, Overlapped& ov, const void* reply, uint32_t* pCount) {
    const uint32_t error = GetLastErrorCode();
    if (!result && error == win::kErrorIoPending)
        m_pending[&ov] = reply;
    else
        Ended(result, reply, *pCount);
    SetLastErrorCode(error);
    return result;
}

void RecordingDeviceIo::Ended(int result, const void* reply, uint32_t count) {
    if (!result) {
        m_timeline.Note("wire", "  failed, error " + std::to_string(GetLastErrorCode()));
    } else if (reply && count) {
        m_timeline.Note("wire", "  answered " + std::to_string(count) + " bytes [" +
                                    DescribeBytes(reply, count) + "]");
    } else {
        m_timeline.Note("wire", "  done, " + std::to_string(count) + " bytes");
    }
}

}  // namespace tav::demo
