#include "tavportsvc/core/reconcile_pass.h"

#include "shared/last_error.h"
#include "shared/names.h"
#include "shared/win32_errors.h"
#include "tavportsvc/core/inf_path.h"
#include "tavportsvc/core/port_entries.h"
#include "tavportsvc/core/port_installer.h"
#include "tavportsvc/core/port_link_rules.h"
#include "tavportsvc/core/port_link_value.h"
#include "tavportsvc/core/port_link_writer.h"
#include "tavportsvc/core/utility_probe.h"

namespace tav {

namespace {

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
    if (WritePortLink(ctx, port.key, printerPath) != kErrorSuccess) {
        delete[] copy;
        return;
    }
    delete[] port.text;
    port.text = copy;
}

void CreatePortAndLink(PassContext& ctx, DeviceEntryList& ports, const char16_t* infPath,
                       const char16_t* printerPath) {
    ctx.trace.Emit(TraceModule::kService, service_event::kNoFreePort, kTraceLevelInformation,
                   TraceU16{printerPath});
    if (CreatePortDevice(*ctx.platform.installer, ctx.trace, infPath) == kPortInstallDone)
        InstallPortDriver(*ctx.platform.installer, ctx.trace, infPath);
    ports.Clear();
    EnumeratePorts(ctx, ports);
    DeviceEntry* port = FirstFreePort(ports);
    if (port)
        LinkPort(ctx, *port, printerPath);
    else
        ctx.trace.Emit(TraceModule::kService, service_event::kStillNoFreePort, kTraceLevelError);
}

void ReconcilePrinter(PassContext& ctx, DeviceEntryList& ports, const char16_t* infPath,
                      const char16_t* printerPath) {
    // A path that cannot be read back within the link's read limit would never be found
    // linked, and would make every pass create yet another port.
    if (!IsLinkablePrinterPath(printerPath)) {
        ctx.trace.Emit(TraceModule::kService, service_event::kPrinterPathTooLong, kTraceLevelError,
                       TraceU16{printerPath});
        return;
    }
    if (PortLinkedTo(ports, printerPath))
        return;
    DeviceEntry* port = FirstFreePort(ports);
    ctx.trace.Emit(TraceModule::kService, service_event::kLinkPrinter, kTraceLevelInformation,
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
    char16_t infPath[kMaxPath] = {};
    BuildInfPath(ctx, infPath);
    SyncApi& sync = *ctx.platform.sync;
    if (sync.WaitForObject(lock, kInfinite) != kWaitObject0) {
        ctx.trace.Emit(TraceModule::kService, service_event::kLockWaitFailed, kTraceLevelError,
                       GetLastErrorCode());
        return;
    }
    if (!SetupUtilityRunning(ctx))
        LinkPrinters(ctx, infPath);
    sync.SignalEvent(lock);
}

}  // namespace tav
