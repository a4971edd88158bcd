// Finding the family's printers: which interface classes show one, how many, the first path.

#include "printer/link/device_setup.h"
#include "printer/link/interface_detail.h"
#include "printer/link/owned_handles.h"
#include "printer/link/printer_link.h"
#include "shared/last_error.h"
#include "shared/names.h"
#include "shared/u16.h"
#include "shared/win/errors.h"

namespace tav::setup {
namespace {

// Any USB device of vendor 1B7E whose product ID begins with 01.
constexpr char16_t kPrinterPathPrefix[] = u"\\\\?\\USB#Vid_1B7E&pid_01";
constexpr uint32_t kMaxInterfacesPerClass = 127;

bool IsSerialModeClass(const Guid& classGuid) {
    return classGuid == kGuidDevinterfaceComport || classGuid == kPrinterInterfaceClass;
}

// One matching interface in normal mode: the first one's path is kept.
void CountMatch(PrinterLink& link, const std::u16string& path, int& count) {
    if (count == 0) {
        link.pszDevicePath = path;
        if (path.empty())
            link.pszDevicePath.reset();
        else
            count = 1;
    } else if (!path.empty()) {
        ++count;
    }
}

// Walks the set; the count, or -1 with *pError on an enumeration error.
int WalkInterfaces(PrinterPlatform& sys, Handle set, const Guid& classGuid, PrinterLink& link,
                   bool restartMode, uint32_t* pError) {
    int count = 0;
    for (uint32_t index = 0; index < kMaxInterfacesPerClass; ++index) {
        win::DeviceInterfaceData data;
        if (!sys.setup.EnumDeviceInterfaces(set, classGuid, index, data)) {
            *pError = GetLastErrorCode();
            return *pError == win::kErrorNoMoreItems ? count : -1;
        }
        std::u16string path;
        if (!ReadInterfaceDetail(sys.setup, set, data, &path, nullptr)) {
            *pError = GetLastErrorCode();
            return -1;
        }
        if (!IsFamilyPrinterPath(path))
            continue;
        if (restartMode) {
            static_cast<void>(RestartDevice(sys, set, data));  // counted whatever the outcome
            ++count;
        } else {
            CountMatch(link, path, count);
        }
    }
    return count;
}

int ClassCount(PrinterPlatform& sys, const Guid& classGuid, PrinterLink& link, int bRestart) {
    return EnumPrinterInterfaces(sys, classGuid, link, bRestart);
}

// The serial-mode classes: the printer interface class only when the COM port class has none.
int SerialModeCount(PrinterPlatform& sys, PrinterLink& link, int bRestart) {
    const int count = ClassCount(sys, kGuidDevinterfaceComport, link, bRestart);
    if (count != 0)
        return count;
    return ClassCount(sys, kPrinterInterfaceClass, link, bRestart);
}

}  // namespace

bool IsFamilyPrinterPath(const std::u16string& path) {
    return StartsWithNoCase(path, kPrinterPathPrefix);
}

int EnumPrinterInterfaces(PrinterPlatform& sys, const Guid& classGuid, PrinterLink& link,
                          int bRestart) {
    const bool restartMode = bRestart && IsSerialModeClass(classGuid);
    const uint32_t flags = restartMode ? win::kDigcfDeviceInterface
                                       : (win::kDigcfPresent | win::kDigcfDeviceInterface);
    uint32_t error = win::kErrorSuccess;
    int count = -1;
    {
        UniqueDeviceInfoSet set(sys.setup, sys.setup.GetClassDevs(classGuid, flags));
        if (set.get() == win::kNoHandle)
            error = GetLastErrorCode();
        else
            count = WalkInterfaces(sys, set.get(), classGuid, link, restartMode, &error);
    }
    if (count >= 0)
        return count;
    link.pszDevicePath.reset();
    SetLastErrorCode(error);
    return -1;
}

int DiscoverPrinter(PrinterPlatform& sys, PrinterLink& link) {
    link.pszDevicePath.reset();
    link.bSerialMode = 1;
    const int a = ClassCount(sys, kGuidDevinterfaceUsbprint, link, 0);
    if (a < 0)
        return -1;
    if (a > 0)
        link.bSerialMode = 0;
    const int b = SerialModeCount(sys, link, 0);
    if (b < 0)
        return a;
    if (a != 0 || b != 0)
        return a + b;
    // Nothing present: restart serial-mode devices the system still has registered.
    if (SerialModeCount(sys, link, 1) == 0)
        return 0;
    return SerialModeCount(sys, link, 0);
}

}  // namespace tav::setup
