#pragma once
// The one table of the service's trace events: module, number, level, arguments and the
// text an administrator reads. Trace points name an event of this table; the decoding files
// (<message GUID>.tmf) are generated from kTraceEvents, so a number, level or argument type
// exists only here. The texts are for the decoding file; the service sends none of them.

#include <cstddef>
#include <cstdint>

#include "shared/guid.h"
#include "shared/win/trace.h"

namespace tav::portsvc {

// {6F2D8B14-C3A7-4E95-B0D2-7A41E9C6F538}
inline constexpr Guid kTraceControlGuid = {
    0x6F2D8B14, 0xC3A7, 0x4E95, {0xB0, 0xD2, 0x7A, 0x41, 0xE9, 0xC6, 0xF5, 0x38}};
// Message GUID of the service module (reconcile pass, device event loop).
inline constexpr Guid kServiceModuleMessageGuid = {
    0x2B9E4F71, 0xD8C5, 0x4A02, {0x8E, 0x63, 0xC1, 0x5F, 0x0A, 0x7B, 0x94, 0xD2}};
// Message GUID of the device module (interface walk, port installer).
inline constexpr Guid kDeviceModuleMessageGuid = {
    0x9A7C31E6, 0xE4B8, 0x4D57, {0xA1, 0xF9, 0x3C, 0x62, 0xD0, 0x8E, 0x5B, 0x17}};

inline constexpr uint32_t kTraceFlagGeneral = 1;

enum class TraceModule { kService, kDevice };

// How an argument travels: a 32-bit integer (4 bytes), a UTF-16 text with its NUL, or a
// narrow text with its NUL.
enum class TraceArgKind : uint8_t { kU32, kU16Text, kNarrowText };

struct TraceArgDef {
    const char* name;
    TraceArgKind kind;
};

inline constexpr size_t kTraceMaxArgs = 3;

struct TraceEventDef {
    TraceModule module;
    uint16_t number;
    uint8_t level;
    const char* function;  // where it is emitted
    // The message; %1, %2, ... stand for the arguments in order.
    const char* text;
    size_t argCount;
    TraceArgDef args[kTraceMaxArgs];
};

namespace trace_def {
constexpr TraceArgDef kError{"error", TraceArgKind::kU32};
constexpr TraceEventDef Service(uint16_t number, uint8_t level, const char* function,
                                const char* text) {
    return {TraceModule::kService, number, level, function, text, 0, {}};
}
constexpr TraceEventDef Service(uint16_t number, uint8_t level, const char* function,
                                const char* text, TraceArgDef a) {
    return {TraceModule::kService, number, level, function, text, 1, {a}};
}
constexpr TraceEventDef Device(uint16_t number, uint8_t level, const char* function,
                               const char* text) {
    return {TraceModule::kDevice, number, level, function, text, 0, {}};
}
constexpr TraceEventDef Device(uint16_t number, uint8_t level, const char* function,
                               const char* text, TraceArgDef a) {
    return {TraceModule::kDevice, number, level, function, text, 1, {a}};
}
constexpr TraceArgDef U16(const char* name) {
    return {name, TraceArgKind::kU16Text};
}
}  // namespace trace_def

// Events of the service module.
namespace service_event {
using namespace trace_def;
inline constexpr TraceEventDef kCreateLinkKeyFailed =
    Service(10, win::kTraceLevelError, "WritePortLink",
            "Cannot create or open the port's link key: error %1", kError);
inline constexpr TraceEventDef kSetLinkValueFailed =
    Service(11, win::kTraceLevelError, "WritePortLink",
            "Cannot set the port's SymbolicLink value: error %1", kError);
inline constexpr TraceEventDef kPortDevInfoFailed =
    Service(12, win::kTraceLevelError, "AddPortEntry",
            "Cannot get the port's device data: error %1", kError);
inline constexpr TraceEventDef kPortKeyOpenFailed =
    Service(13, win::kTraceLevelError, "AddPortEntry",
            "Cannot open the port's hardware key: error %1", kError);
inline constexpr TraceEventDef kPortLinkUnreadable =
    Service(14, win::kTraceLevelError, "AddPortEntry",
            "Cannot read the port's SymbolicLink value: error %1", kError);
inline constexpr TraceEventDef kStopLockWaitFailed =
    Service(15, win::kTraceLevelError, "StopHook",
            "Waiting for the reconcile lock failed: error %1", kError);
inline constexpr TraceEventDef kProgramFilesNotFound = Service(
    16, win::kTraceLevelError, "ReconcilePorts", "The 32-bit program files folder is not found");
inline constexpr TraceEventDef kLockWaitFailed =
    Service(19, win::kTraceLevelError, "ReconcilePorts",
            "Waiting for the reconcile lock failed: error %1", kError);
inline constexpr TraceEventDef kUtilityRunning =
    Service(20, win::kTraceLevelInformation, "ReconcilePorts",
            "The setup utility is running; this pass does nothing");
inline constexpr TraceEventDef kUtilityMutexOpenFailed =
    Service(21, win::kTraceLevelInformation, "ReconcilePorts",
            "Cannot open the setup utility's mutex: error %1", kError);
inline constexpr TraceEventDef kLinkPrinter = {TraceModule::kService,
                                               22,
                                               win::kTraceLevelInformation,
                                               "ReconcilePorts",
                                               "%1: port %2, printer %3",
                                               3,
                                               {{"action", TraceArgKind::kNarrowText},
                                                {"port", TraceArgKind::kU32},
                                                {"printer", TraceArgKind::kU16Text}}};
inline constexpr TraceEventDef kNoFreePort =
    Service(23, win::kTraceLevelInformation, "ReconcilePorts",
            "No free port for printer %1; creating a new port", U16("printer"));
inline constexpr TraceEventDef kStillNoFreePort =
    Service(24, win::kTraceLevelError, "ReconcilePorts", "Still no free port after creating one");
// Beyond the provider's first table: a printer path too long to be read back from a link
// is left unlinked.
inline constexpr TraceEventDef kPrinterPathTooLong =
    Service(25, win::kTraceLevelError, "ReconcilePorts",
            "Printer path too long for a port link; left unlinked: %1", U16("printer"));
}  // namespace service_event

// Events of the device module.
namespace device_event {
using namespace trace_def;
inline constexpr TraceEventDef kEnumerationFailed =
    Device(10, win::kTraceLevelError, "ForEachDeviceInterface",
           "Device interface enumeration failed: error %1", kError);
inline constexpr TraceEventDef kUpdateDriverStarting = {
    TraceModule::kDevice,
    11,
    win::kTraceLevelInformation,
    "InstallPortDriver",
    "Installing the port driver for %1 from %2",
    2,
    {{"hardwareId", TraceArgKind::kU16Text}, {"infPath", TraceArgKind::kU16Text}}};
inline constexpr TraceEventDef kUpdateDriverDone =
    Device(12, win::kTraceLevelInformation, "InstallPortDriver", "The port driver is installed");
inline constexpr TraceEventDef kInfPathInvalid = Device(
    13, win::kTraceLevelError, "CreatePortDevice", "Bad or too long INF path: %1", U16("infPath"));
inline constexpr TraceEventDef kHardwareIdTooLong = Device(
    14, win::kTraceLevelError, "CreatePortDevice", "Hardware ID too long: %1", U16("hardwareId"));
inline constexpr TraceEventDef kInfClassFailed = Device(
    15, win::kTraceLevelError, "CreatePortDevice", "SetupDiGetINFClassW failed: error %1", kError);
inline constexpr TraceEventDef kCreateInfoListFailed =
    Device(16, win::kTraceLevelError, "CreatePortDevice",
           "SetupDiCreateDeviceInfoList failed: error %1", kError);
inline constexpr TraceEventDef kCreateDeviceInfoFailed =
    Device(17, win::kTraceLevelError, "CreatePortDevice",
           "SetupDiCreateDeviceInfoW failed: error %1", kError);
inline constexpr TraceEventDef kSetHardwareIdFailed =
    Device(18, win::kTraceLevelError, "CreatePortDevice",
           "SetupDiSetDeviceRegistryPropertyW failed: error %1", kError);
inline constexpr TraceEventDef kRegisterDeviceFailed =
    Device(19, win::kTraceLevelError, "CreatePortDevice",
           "SetupDiCallClassInstaller (DIF_REGISTERDEVICE) failed: error %1", kError);
}  // namespace device_event

// Every event, for the decoding file. An event missing here cannot be decoded, which the
// simulated trace session reports as undecodable.
inline constexpr const TraceEventDef* kTraceEvents[] = {
    &service_event::kCreateLinkKeyFailed,  &service_event::kSetLinkValueFailed,
    &service_event::kPortDevInfoFailed,    &service_event::kPortKeyOpenFailed,
    &service_event::kPortLinkUnreadable,   &service_event::kStopLockWaitFailed,
    &service_event::kProgramFilesNotFound, &service_event::kLockWaitFailed,
    &service_event::kUtilityRunning,       &service_event::kUtilityMutexOpenFailed,
    &service_event::kLinkPrinter,          &service_event::kNoFreePort,
    &service_event::kStillNoFreePort,      &service_event::kPrinterPathTooLong,
    &device_event::kEnumerationFailed,     &device_event::kUpdateDriverStarting,
    &device_event::kUpdateDriverDone,      &device_event::kInfPathInvalid,
    &device_event::kHardwareIdTooLong,     &device_event::kInfClassFailed,
    &device_event::kCreateInfoListFailed,  &device_event::kCreateDeviceInfoFailed,
    &device_event::kSetHardwareIdFailed,   &device_event::kRegisterDeviceFailed,
};

inline constexpr const Guid& MessageGuidOf(TraceModule module) {
    return module == TraceModule::kService ? kServiceModuleMessageGuid : kDeviceModuleMessageGuid;
}

}  // namespace tav::portsvc
