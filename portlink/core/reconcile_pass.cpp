#include "portlink/core/reconcile_pass.h"

#include <new>
#include <string>

#include "portlink/core/inf_path.h"
#include "portlink/core/port_entries.h"
#include "portlink/core/port_installer.h"
#include "portlink/core/port_link_rules.h"
#include "portlink/core/port_link_value.h"
#include "portlink/core/port_link_writer.h"
#include "portlink/core/utility_probe.h"
#include "shared/last_error.h"
#include "shared/names.h"
#include "shared/win/errors.h"

namespace tav::portsvc {

namespace {

uint32_t PortNumber(const DeviceEntry* port) {
    return port ? static_cast<uint32_t>(port->key.get() & 0xFFFFFFFFu) : 0;
}

// The Event Log names ports by their COM names; a pass without it reads none.
bool EventLogOpen(PassContext& ctx) {
    EventLogWriter* log = ctx.trace.EventLog();
    return log && log->IsOpen();
}

std::u16string ComNameForEventLog(PassContext& ctx, const DeviceEntry& port) {
    return EventLogOpen(ctx) ? ReadPortComName(*ctx.platform.registry, port.key.get())
                             : std::u16string();
}

// Writes the link; on success the port carries the printer's path for the rest of the pass.
void LinkPort(PassContext& ctx, DeviceEntry& port, const std::u16string& printerPath) {
    // Copied first: a port whose text could not be updated would look free to the next
    // printer and have its fresh link overwritten. Without memory for the copy the printer
    // stays unlinked in this pass.
    std::u16string copy;
    try {
        copy = printerPath;
    } catch (const std::bad_alloc&) {
        return;
    }
    if (WritePortLink(ctx, port.key.get(), printerPath.c_str()) != win::kErrorSuccess)
        return;
    port.text = std::move(copy);
    std::u16string comName = ComNameForEventLog(ctx, port);
    ctx.trace.Emit<service_event::kPrinterLinked>(TraceU16{printerPath.c_str()},
                                                  TraceU16{comName.c_str()});
}

void CreatePortAndLink(PassContext& ctx, DeviceEntryList& ports, const char16_t* infPath,
                       const std::u16string& printerPath) {
    ctx.trace.Emit<service_event::kNoFreePort>(TraceU16{printerPath.c_str()});
    // The fresh enumeration below tells whether a port came of it; a restart request is not
    // acted on.
    bool created = CreatePortDevice(*ctx.platform.setupDi, *ctx.platform.installer, ctx.trace,
                                    infPath) == kPortInstallDone;
    if (created)
        static_cast<void>(InstallPortDriver(*ctx.platform.installer, ctx.trace, infPath));
    ports.Clear();
    // A failed enumeration is traced; it leaves no free port, which is traced below.
    static_cast<void>(EnumeratePorts(ctx, ports));
    DeviceEntry* port = FirstFreePort(ports);
    if (!port) {
        ctx.trace.Emit<service_event::kStillNoFreePort>();
        return;
    }
    if (created) {
        std::u16string comName = ComNameForEventLog(ctx, *port);
        ctx.trace.Emit<service_event::kPortCreated>(TraceU16{comName.c_str()});
    }
    LinkPort(ctx, *port, printerPath);
}

void ReconcilePrinter(PassContext& ctx, DeviceEntryList& ports, const char16_t* infPath,
                      const std::u16string& printerPath) {
    // A path that cannot be read back within the link's read limit would never be found
    // linked, and would make every pass create yet another port.
    if (!IsLinkablePrinterPath(printerPath.c_str())) {
        ctx.trace.Emit<service_event::kPrinterPathTooLong>(TraceU16{printerPath.c_str()});
        return;
    }
    if (PortLinkedTo(ports, printerPath.c_str()))
        return;
    DeviceEntry* port = FirstFreePort(ports);
    ctx.trace.Emit<service_event::kLinkPrinter>(TraceNarrow{port ? "Link" : "Install and link"},
                                                PortNumber(port), TraceU16{printerPath.c_str()});
    if (port)
        LinkPort(ctx, *port, printerPath);
    else
        CreatePortAndLink(ctx, ports, infPath, printerPath);
}

// ReconcilePrinter, except that running out of memory leaves this printer unlinked until a
// later pass and the pass goes on with the next one. A port whose link was written carries
// its new text already: the copy is made before the write.
void ReconcilePrinterOrLeaveOut(PassContext& ctx, DeviceEntryList& ports, const char16_t* infPath,
                                const std::u16string& printerPath) {
    try {
        ReconcilePrinter(ctx, ports, infPath, printerPath);
    } catch (const std::bad_alloc&) {
    }
}

void LinkPrinters(PassContext& ctx, const char16_t* infPath) {
    DeviceEntryList ports;
    DeviceEntryList printers;
    // Failed enumerations are traced; the pass works with what was listed.
    static_cast<void>(EnumeratePorts(ctx, ports));
    static_cast<void>(EnumeratePrinters(ctx, printers));
    for (const DeviceEntry& printer : printers.Entries())
        ReconcilePrinterOrLeaveOut(ctx, ports, infPath, printer.text);
}

// The reconcile lock from a successful wait to the end of the pass, on every way out.
class HeldReconcileLock {
  public:
    HeldReconcileLock(SyncApi& sync, PlatformHandle lock) noexcept : m_sync(sync), m_lock(lock) {}
    ~HeldReconcileLock() {
        // A lock that cannot be given back holds the next pass; nothing here can undo that.
        static_cast<void>(m_sync.SignalEvent(m_lock));
    }
    HeldReconcileLock(const HeldReconcileLock&) = delete;
    HeldReconcileLock& operator=(const HeldReconcileLock&) = delete;

  private:
    SyncApi& m_sync;
    PlatformHandle m_lock;
};

void LinkPrintersUnlessUtilityRuns(PassContext& ctx, const char16_t* infPath) {
    try {
        if (SetupUtilityRunning(ctx))
            return;
        if (EventLogWriter* log = ctx.trace.EventLog())
            log->EndHold();
        LinkPrinters(ctx, infPath);
    } catch (const std::bad_alloc&) {
        // Out of memory outside any one interface: the pass ends here, with its lists and
        // keys given back; the next pass reads everything afresh.
    }
}

}  // namespace

void RunReconcilePass(PassContext& ctx, PlatformHandle lock) {
    char16_t infPath[win::kMaxPath] = {};
    BuildInfPath(ctx, infPath);
    SyncApi& sync = *ctx.platform.sync;
    if (sync.WaitForObject(lock, win::kInfinite) != win::kWaitObject0) {
        ctx.trace.Emit<service_event::kLockWaitFailed>(GetLastErrorCode());
        return;
    }
    HeldReconcileLock held(sync, lock);
    LinkPrintersUnlessUtilityRuns(ctx, infPath);
}

}  // namespace tav::portsvc
