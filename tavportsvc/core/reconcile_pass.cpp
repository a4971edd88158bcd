#include "tavportsvc/core/reconcile_pass.h"

#include "shared/last_error.h"
#include "shared/names.h"
#include "shared/u16.h"
#include "shared/win/errors.h"
#include "tavportsvc/core/inf_path.h"
#include "tavportsvc/core/port_entries.h"
#include "tavportsvc/core/port_installer.h"
#include "tavportsvc/core/port_link_value.h"
#include "tavportsvc/core/port_link_writer.h"
#include "tavportsvc/core/utility_probe.h"

namespace tav {

namespace {

constexpr char16_t kPortPrefix[] = u"\\\\?\\ROOT#PORTS#";
constexpr char16_t kEndOfPrefixes[] = u"";
constexpr const char16_t* kPortPrefixes[] = {kPortPrefix, kEndOfPrefixes};

void EnumeratePorts(PassContext& ctx, DeviceEntryList& ports) {
    ForEachDeviceInterface(ctx, kGuidDevinterfaceComport, kPortPrefixes, AddPortEntry, ports,
                           false);
}

void EnumeratePrinters(PassContext& ctx, DeviceEntryList& printers) {
    ForEachDeviceInterface(ctx, kPrinterInterfaceClass, nullptr, AddPrinterEntry, printers, true);
}

bool SameText(const char16_t* a, const char16_t* b) {
    size_t i = 0;
    for (; a[i] != 0 && b[i] != 0; ++i) {
        if (a[i] != b[i])
            return false;
    }
    return a[i] == b[i];
}

bool IsLinked(const DeviceEntryList& ports, const char16_t* printerPath) {
    for (DeviceEntry* port = ports.Head(); port; port = port->next) {
        if (port->text && SameText(port->text, printerPath))
            return true;
    }
    return false;
}

DeviceEntry* FirstFreePort(const DeviceEntryList& ports) {
    for (DeviceEntry* port = ports.Head(); port; port = port->next) {
        if (port->HasEmptyText())
            return port;
    }
    return nullptr;
}

uint32_t PortNumber(const DeviceEntry* port) {
    return port ? static_cast<uint32_t>(port->key & 0xFFFFFFFFu) : 0;
}

// Writes the link; on success the port carries the printer's path for the rest of the pass.
void LinkPort(PassContext& ctx, DeviceEntry& port, const char16_t* printerPath) {
    // Copied first: a port whose text could not be updated would look free to the next
    // printer and have its fresh link overwritten.
    char16_t* copy = CopyText(printerPath);
    if (!copy)
        return;
    if (WritePortLink(ctx, port.key, printerPath) != win::kErrorSuccess) {
        delete[] copy;
        return;
    }
    delete[] port.text;
    port.text = copy;
}

void CreatePortAndLink(PassContext& ctx, DeviceEntryList& ports, const char16_t* infPath,
                       const char16_t* printerPath) {
    ctx.trace.Emit(TraceModule::kService, service_event::kNoFreePort, win::kTraceLevelInformation,
                   TraceU16{printerPath});
    if (CreatePortDevice(*ctx.platform.installer, ctx.trace, infPath) == kPortInstallDone)
        InstallPortDriver(*ctx.platform.installer, ctx.trace, infPath);
    ports.Clear();
    EnumeratePorts(ctx, ports);
    DeviceEntry* port = FirstFreePort(ports);
    if (port)
        LinkPort(ctx, *port, printerPath);
    else
        ctx.trace.Emit(TraceModule::kService, service_event::kStillNoFreePort,
                       win::kTraceLevelError);
}

void ReconcilePrinter(PassContext& ctx, DeviceEntryList& ports, const char16_t* infPath,
                      const char16_t* printerPath) {
    // A path that cannot be read back within the link's read limit would never be found
    // linked, and would make every pass create yet another port.
    if (U16Length(printerPath) > kLinkMaxChars) {
        ctx.trace.Emit(TraceModule::kService, service_event::kPrinterPathTooLong,
                       win::kTraceLevelError, TraceU16{printerPath});
        return;
    }
    if (IsLinked(ports, printerPath))
        return;
    DeviceEntry* port = FirstFreePort(ports);
    ctx.trace.Emit(TraceModule::kService, service_event::kLinkPrinter, win::kTraceLevelInformation,
                   TraceNarrow{port ? "Link" : "Install and link"}, PortNumber(port),
                   TraceU16{printerPath});
    if (port)
        LinkPort(ctx, *port, printerPath);
    else
        CreatePortAndLink(ctx, ports, infPath, printerPath);
}

void LinkPrinters(PassContext& ctx, const char16_t* infPath) {
    DeviceEntryList ports(*ctx.platform.registry);
    DeviceEntryList printers(*ctx.platform.registry);
    EnumeratePorts(ctx, ports);
    EnumeratePrinters(ctx, printers);
    for (DeviceEntry* printer = printers.Head(); printer; printer = printer->next) {
        if (printer->text)
            ReconcilePrinter(ctx, ports, infPath, printer->text);
    }
}

}  // namespace

void RunReconcilePass(PassContext& ctx, PlatformHandle lock) {
    char16_t infPath[win::kMaxPath] = {};
    BuildInfPath(ctx, infPath);
    SyncApi& sync = *ctx.platform.sync;
    if (sync.WaitForObject(lock, win::kInfinite) != win::kWaitObject0) {
        ctx.trace.Emit(TraceModule::kService, service_event::kLockWaitFailed, win::kTraceLevelError,
                       GetLastErrorCode());
        return;
    }
    if (!SetupUtilityRunning(ctx))
        LinkPrinters(ctx, infPath);
    sync.SignalEvent(lock);
}

}  // namespace tav
