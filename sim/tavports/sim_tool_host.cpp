#include "sim/tavports/sim_tool_host.h"

#include "shared/last_error.h"
#include "shared/win/errors.h"

namespace tav::sim {
using namespace tav::portsvc;

bool SimToolHost::GetDeviceInstanceId(PlatformHandle set, const win::DevInfoData& devInfo,
                                      std::u16string* instanceId) {
    if (auto error = m_trace.Enter("SetupDiGetDeviceInstanceIdW")) {
        SetLastErrorCode(*error);
        return false;
    }
    auto id = m_setupDi.DeviceIdOf(set, devInfo);
    if (!id)
        return false;
    *instanceId = *id;
    return true;
}

bool SimToolHost::IsAdministrator() {
    if (auto error = m_trace.Enter("CheckTokenMembership")) {
        SetLastErrorCode(*error);
        return false;
    }
    return administrator;
}

std::string SimToolHost::ErrorText(uint32_t error) {
    switch (error) {
        case win::kErrorFileNotFound:
            return "The system cannot find the file specified.";
        case win::kErrorAccessDenied:
            return "Access is denied.";
        case win::kErrorInvalidHandle:
            return "The handle is invalid.";
        case win::kErrorInvalidParameter:
            return "The parameter is incorrect.";
        case win::kErrorMoreData:
            return "More data is available.";
        case win::kErrorUnsupportedType:
            return "Data of this type is not supported.";
        default:
            return "Unknown error " + std::to_string(error) + ".";
    }
}

bool SimConsole::ReadLine(std::string* line) {
    ++prompts;
    if (input.empty())
        return false;
    *line = input.front();
    input.pop_front();
    return true;
}

}  // namespace tav::sim
