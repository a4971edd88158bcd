#include "operation_log.h"

#include "shared/last_error.h"
#include "shared/win/errors.h"

namespace tav::pipetest {
using namespace tav::setup;

std::vector<std::string> OperationLog::Take() {
    std::vector<std::string> entries;
    entries.swap(m_entries);
    m_pending.clear();
    return entries;
}

int OperationLog::DeviceIoControl(Handle device, uint32_t code, const void* inBuffer,
                                  uint32_t inSize, void* outBuffer, uint32_t outSize,
                                  uint32_t* pCount, Overlapped& ov) {
    const int result =
        m_inner.DeviceIoControl(device, code, inBuffer, inSize, outBuffer, outSize, pCount, ov);
    return Started(result, "ioctl " + std::to_string(outSize), ov, *pCount);
}

int OperationLog::WriteFile(Handle device, const void* buffer, uint32_t size, uint32_t* pCount,
                            Overlapped& ov) {
    const int result = m_inner.WriteFile(device, buffer, size, pCount, ov);
    return Started(result, "write " + std::to_string(size), ov, *pCount);
}

int OperationLog::ReadFile(Handle device, void* buffer, uint32_t size, uint32_t* pCount,
                           Overlapped& ov) {
    const int result = m_inner.ReadFile(device, buffer, size, pCount, ov);
    return Started(result, "read " + std::to_string(size), ov, *pCount);
}

int OperationLog::GetOverlappedResult(Handle device, Overlapped& ov, uint32_t* pCount, int bWait) {
    const int result = m_inner.GetOverlappedResult(device, ov, pCount, bWait);
    const uint32_t error = GetLastErrorCode();
    const auto pending = m_pending.find(&ov);
    if (pending != m_pending.end() && (result || error != win::kErrorIoIncomplete)) {
        Ended(pending->second, result, *pCount);
        m_pending.erase(pending);
    }
    SetLastErrorCode(error);
    return result;
}

int OperationLog::Started(int result, const std::string& what, Overlapped& ov, uint32_t count) {
    const uint32_t error = GetLastErrorCode();
    m_entries.push_back(what);
    if (!result && error == win::kErrorIoPending)
        m_pending[&ov] = m_entries.size() - 1;
    else
        Ended(m_entries.size() - 1, result, count);
    SetLastErrorCode(error);
    return result;
}

void OperationLog::Ended(size_t entry, int result, uint32_t count) {
    m_entries[entry] += result ? " -> " + std::to_string(count)
                               : " -> failed " + std::to_string(GetLastErrorCode());
}

}  // namespace tav::pipetest
