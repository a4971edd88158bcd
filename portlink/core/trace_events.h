#pragma once
// The one table of the service's events: module, number, level, arguments and the text an
// administrator reads, and whether the event also goes to the Application log, as which
// entry type and message. Event points name an event of this table; the decoding files
// (<message GUID>.tmf) are generated from kTraceEvents, so a number, level or argument type
// exists only here. The texts are for the decoding files; the service sends none of them.
// The Event Log's texts are the message table's (tavportsvc/res/Tavportsvc.mc), whose IDs
// are checked against this table at build time.

#include <array>
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
    // A Win32 error code: the Event Log gets two strings for it, the code and its text.
    bool winError = false;
};

// An event that only the Event Log gets: the decoding file has no entry for it.
inline constexpr uint8_t kNotTraced = 0;

enum class EventLogType : uint8_t { kNone, kError, kWarning, kInformation };

struct EventLogDef {
    EventLogType type = EventLogType::kNone;
    // The message table's ID: severity bits from the type, then the number administrators
    // see as the event ID (1000 + number for the service module, 2000 + number for the
    // device module).
    uint32_t messageId = 0;
    // Written once when its condition is first seen, and again only after the condition
    // has gone (EventLogWriter::EndHold).
    bool oncePerHold = false;
};

constexpr uint32_t MessageSeverityBits(EventLogType type) {
    switch (type) {
        case EventLogType::kError:
            return 0xC0000000u;
        case EventLogType::kWarning:
            return 0x80000000u;
        case EventLogType::kInformation:
            return 0x40000000u;
        case EventLogType::kNone:
            break;
    }
    return 0;
}

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
    EventLogDef eventLog = {};
};

namespace trace_def {
constexpr TraceArgDef kError{"error", TraceArgKind::kU32, true};
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
// The event also goes to the Event Log as `type` with event ID `id`.
constexpr TraceEventDef Logged(TraceEventDef e, EventLogType type, uint16_t id,
                               bool oncePerHold = false) {
    e.eventLog = {type, MessageSeverityBits(type) | id, oncePerHold};
    return e;
}
constexpr TraceEventDef Error(TraceEventDef e, uint16_t id) {
    return Logged(e, EventLogType::kError, id);
}
constexpr TraceEventDef Information(TraceEventDef e, uint16_t id) {
    return Logged(e, EventLogType::kInformation, id);
}
}  // namespace trace_def

// Events of the service module.
namespace service_event {
using namespace trace_def;
inline constexpr TraceEventDef kCreateLinkKeyFailed =
    Error(Service(10, win::kTraceLevelError, "WritePortLink",
                  "Cannot create or open the port's link key: error %1", kError),
          1010);
inline constexpr TraceEventDef kSetLinkValueFailed =
    Error(Service(11, win::kTraceLevelError, "WritePortLink",
                  "Cannot set the port's SymbolicLink value: error %1", kError),
          1011);
inline constexpr TraceEventDef kPortDevInfoFailed =
    Error(Service(12, win::kTraceLevelError, "AddPortEntry",
                  "Cannot get the port's device data: error %1", kError),
          1012);
inline constexpr TraceEventDef kPortKeyOpenFailed =
    Error(Service(13, win::kTraceLevelError, "AddPortEntry",
                  "Cannot open the port's hardware key: error %1", kError),
          1013);
inline constexpr TraceEventDef kPortLinkUnreadable =
    Error(Service(14, win::kTraceLevelError, "AddPortEntry",
                  "Cannot read the port's SymbolicLink value: error %1", kError),
          1014);
inline constexpr TraceEventDef kStopLockWaitFailed =
    Error(Service(15, win::kTraceLevelError, "StopHook",
                  "Waiting for the reconcile lock failed: error %1", kError),
          1015);
inline constexpr TraceEventDef kProgramFilesNotFound =
    Error(Service(16, win::kTraceLevelError, "ReconcilePorts",
                  "The 32-bit program files folder is not found"),
          1016);
inline constexpr TraceEventDef kLockWaitFailed =
    Error(Service(19, win::kTraceLevelError, "ReconcilePorts",
                  "Waiting for the reconcile lock failed: error %1", kError),
          1019);
// Every pass while the utility runs traces it; the Event Log gets it once per run of the
// utility.
inline constexpr TraceEventDef kUtilityRunning =
    Logged(Service(20, win::kTraceLevelInformation, "ReconcilePorts",
                   "The setup utility is running; this pass does nothing"),
           EventLogType::kInformation, 1020, true);
inline constexpr TraceEventDef kUtilityMutexOpenFailed =
    Logged(Service(21, win::kTraceLevelInformation, "ReconcilePorts",
                   "Cannot open the setup utility's mutex: error %1", kError),
           EventLogType::kWarning, 1021);
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
inline constexpr TraceEventDef kStillNoFreePort = Error(
    Service(24, win::kTraceLevelError, "ReconcilePorts", "Still no free port after creating one"),
    1024);
// Beyond the provider's first table: a printer path too long to be read back from a link
// is left unlinked.
inline constexpr TraceEventDef kPrinterPathTooLong =
    Error(Service(25, win::kTraceLevelError, "ReconcilePorts",
                  "Printer path too long for a port link; left unlinked: %1", U16("printer")),
          1025);
// Beyond the provider's trace: events only the Event Log gets, so the decoding file is the
// same for every version of the service that traces.
inline constexpr TraceEventDef kServiceStarted = Information(
    Service(26, kNotTraced, "StartHook", "The service started (version %1)", U16("version")), 1026);
inline constexpr TraceEventDef kServiceStopping =
    Information(Service(27, kNotTraced, "StopHook", "The service is stopping"), 1027);
inline constexpr TraceEventDef kPortCreated = Information(
    Service(28, kNotTraced, "ReconcilePorts", "Created the port %1", U16("comName")), 1028);
inline constexpr TraceEventDef kPrinterLinked =
    Information({TraceModule::kService,
                 29,
                 kNotTraced,
                 "ReconcilePorts",
                 "Linked printer %1 to %2",
                 2,
                 {{"printer", TraceArgKind::kU16Text}, {"comName", TraceArgKind::kU16Text}}},
                1029);
inline constexpr TraceEventDef kDeviceNotificationFailed =
    Error(Service(30, kNotTraced, "StartHook",
                  "Cannot register for printer arrivals; the service stops: error %1", kError),
          1030);
}  // namespace service_event

// Events of the device module.
namespace device_event {
using namespace trace_def;
inline constexpr TraceEventDef kEnumerationFailed =
    Error(Device(10, win::kTraceLevelError, "ForEachDeviceInterface",
                 "Device interface enumeration failed: error %1", kError),
          2010);
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
inline constexpr TraceEventDef kInfPathInvalid =
    Error(Device(13, win::kTraceLevelError, "CreatePortDevice", "Bad or too long INF path: %1",
                 U16("infPath")),
          2013);
inline constexpr TraceEventDef kHardwareIdTooLong =
    Error(Device(14, win::kTraceLevelError, "CreatePortDevice", "Hardware ID too long: %1",
                 U16("hardwareId")),
          2014);
inline constexpr TraceEventDef kInfClassFailed =
    Error(Device(15, win::kTraceLevelError, "CreatePortDevice",
                 "SetupDiGetINFClassW failed: error %1", kError),
          2015);
inline constexpr TraceEventDef kCreateInfoListFailed =
    Error(Device(16, win::kTraceLevelError, "CreatePortDevice",
                 "SetupDiCreateDeviceInfoList failed: error %1", kError),
          2016);
inline constexpr TraceEventDef kCreateDeviceInfoFailed =
    Error(Device(17, win::kTraceLevelError, "CreatePortDevice",
                 "SetupDiCreateDeviceInfoW failed: error %1", kError),
          2017);
inline constexpr TraceEventDef kSetHardwareIdFailed =
    Error(Device(18, win::kTraceLevelError, "CreatePortDevice",
                 "SetupDiSetDeviceRegistryPropertyW failed: error %1", kError),
          2018);
inline constexpr TraceEventDef kRegisterDeviceFailed =
    Error(Device(19, win::kTraceLevelError, "CreatePortDevice",
                 "SetupDiCallClassInstaller (DIF_REGISTERDEVICE) failed: error %1", kError),
          2019);
}  // namespace device_event

// Every event of the table.
inline constexpr const TraceEventDef* kEventTable[] = {
    &service_event::kCreateLinkKeyFailed,
    &service_event::kSetLinkValueFailed,
    &service_event::kPortDevInfoFailed,
    &service_event::kPortKeyOpenFailed,
    &service_event::kPortLinkUnreadable,
    &service_event::kStopLockWaitFailed,
    &service_event::kProgramFilesNotFound,
    &service_event::kLockWaitFailed,
    &service_event::kUtilityRunning,
    &service_event::kUtilityMutexOpenFailed,
    &service_event::kLinkPrinter,
    &service_event::kNoFreePort,
    &service_event::kStillNoFreePort,
    &service_event::kPrinterPathTooLong,
    &device_event::kEnumerationFailed,
    &device_event::kUpdateDriverStarting,
    &device_event::kUpdateDriverDone,
    &device_event::kInfPathInvalid,
    &device_event::kHardwareIdTooLong,
    &device_event::kInfClassFailed,
    &device_event::kCreateInfoListFailed,
    &device_event::kCreateDeviceInfoFailed,
    &device_event::kSetHardwareIdFailed,
    &device_event::kRegisterDeviceFailed,
    &service_event::kServiceStarted,
    &service_event::kServiceStopping,
    &service_event::kPortCreated,
    &service_event::kPrinterLinked,
    &service_event::kDeviceNotificationFailed,
};

namespace trace_def {
constexpr size_t CountTraced() {
    size_t count = 0;
    for (const TraceEventDef* e : kEventTable)
        count += e->level != kNotTraced ? 1 : 0;
    return count;
}
constexpr std::array<const TraceEventDef*, CountTraced()> TracedEvents() {
    std::array<const TraceEventDef*, CountTraced()> traced{};
    size_t next = 0;
    for (const TraceEventDef* e : kEventTable) {
        if (e->level != kNotTraced)
            traced[next++] = e;
    }
    return traced;
}
}  // namespace trace_def

// Every traced event, in the table's order, for the decoding file. An event missing here
// cannot be decoded, which the simulated trace session reports as undecodable.
inline constexpr std::array<const TraceEventDef*, trace_def::CountTraced()> kTraceEvents =
    trace_def::TracedEvents();

inline constexpr const Guid& MessageGuidOf(TraceModule module) {
    return module == TraceModule::kService ? kServiceModuleMessageGuid : kDeviceModuleMessageGuid;
}

}  // namespace tav::portsvc
