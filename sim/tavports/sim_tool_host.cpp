#include "sim/tavports/sim_tool_host.h"

#include <algorithm>

#include "shared/last_error.h"
#include "shared/u16.h"
#include "shared/win/errors.h"
#include "shared/win/pnp.h"

namespace tav::sim {
using namespace tav::portsvc;

namespace {

constexpr uint32_t kErrorResourceTypeNotFound = 1813;

// The folder part of a full path: everything before its last backslash.
std::u16string FolderOf(const std::u16string& path) {
    size_t cut = path.rfind(u'\\');
    return cut == std::u16string::npos ? std::u16string() : path.substr(0, cut);
}

}  // namespace

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
        case win::kErrorPathNotFound:
            return "The system cannot find the path specified.";
        case win::kErrorServiceDoesNotExist:
            return "The specified service does not exist as an installed service.";
        case kErrorResourceTypeNotFound:
            return "The specified resource type cannot be found in the image file.";
        default:
            return "Unknown error " + std::to_string(error) + ".";
    }
}

PlatformHandle SimToolHost::CreateNamedMutex(const char16_t* sddl, const char16_t* name) {
    // ConvertStringSecurityDescriptorToSecurityDescriptorW refuses no descriptor at all.
    if (sddl == nullptr || *sddl == 0) {
        SetLastErrorCode(win::kErrorInvalidParameter);
        return win::kNoHandle;
    }
    // Making a Global\ object takes SeCreateGlobalPrivilege, which only services and
    // administrators hold; opening one that exists does not.
    if (!administrator && m_sync.UtilityMutexState() == UtilityMutex::kAbsent) {
        SetLastErrorCode(win::kErrorAccessDenied);
        return win::kNoHandle;
    }
    return m_sync.CreateNamedMutex(name);
}

uint32_t SimToolHost::GetDevNodeStatus(PlatformHandle set, const win::DevInfoData& devInfo,
                                       uint32_t* status, uint32_t* problem) {
    if (auto error = m_trace.Enter("CM_Get_DevNode_Status"))
        return *error;
    auto id = m_setupDi.DeviceIdOf(set, devInfo);
    if (!id)
        return win::kCrInvalidDevnode;
    auto device = m_tree.Device(*id);
    if (!device || !device->present)
        return win::kCrNoSuchDevinst;
    *problem = device->problem;
    *status = device->problem ? win::kDnHasProblem : win::kDnDriverLoaded | win::kDnStarted;
    return win::kCrSuccess;
}

bool SimToolHost::ComputerName(std::u16string* name) {
    if (auto error = m_trace.Enter("GetComputerNameExW")) {
        SetLastErrorCode(*error);
        return false;
    }
    *name = computerName;
    return true;
}

bool SimToolHost::QueryService(const char16_t* name, uint32_t* state, std::u16string* commandLine) {
    if (auto error = m_trace.Enter("QueryServiceStatus", ToUtf8(name))) {
        SetLastErrorCode(*error);
        return false;
    }
    if (!serviceState || !EqualsNoCase(name, u"Tavportsvc")) {
        SetLastErrorCode(win::kErrorServiceDoesNotExist);
        return false;
    }
    *state = *serviceState;
    *commandLine = serviceCommandLine;
    return true;
}

bool SimToolHost::FileVersion(const std::u16string& path, uint16_t parts[4]) {
    if (auto error = m_trace.Enter("GetFileVersionInfoW", ToUtf8(path))) {
        SetLastErrorCode(*error);
        return false;
    }
    for (const auto& [file, version] : fileVersions) {
        if (EqualsNoCase(file, path)) {
            std::copy(version.begin(), version.end(), parts);
            return true;
        }
    }
    SetLastErrorCode(win::kErrorFileNotFound);
    return false;
}

uint32_t SimToolHost::WriteNewFile(const std::u16string& path, const std::string& bytes) {
    if (auto error = m_trace.Enter("CreateFileW", ToUtf8(path)))
        return *error;
    for (const std::u16string& folder : folders) {
        if (EqualsNoCase(folder, FolderOf(path))) {
            files[path] = bytes;
            return win::kErrorSuccess;
        }
    }
    return win::kErrorPathNotFound;
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
