#include "tavprinter/set_command.h"

#include <algorithm>

#include "printer/settings/link_channel.h"
#include "printer/settings/settings_protocol.h"
#include "shared/last_error.h"
#include "shared/tool_exit_codes.h"
#include "shared/u16.h"

namespace tav::tavprinter {

namespace {

enum class Kind { kResponse, kSerial, kDriverType };

struct Change {
    Kind kind;
    std::string from;
    std::string to;
};

const char* LabelOf(ToolRun& run, Kind kind) {
    switch (kind) {
        case Kind::kResponse:
            return TextFor(Text::kResponse, run.japanese);
        case Kind::kSerial:
            return TextFor(Text::kSerialNumber, run.japanese);
        case Kind::kDriverType:
            break;
    }
    return TextFor(Text::kDriverType, run.japanese);
}

// The run's printer as the protocol reaches it: a link record of its own per request.
class PrinterAccess {
  public:
    PrinterAccess(ToolRun& run, ToolSession& session, const FoundPrinter& printer)
        : m_run(run), m_session(session) {
        m_link.pszDevicePath = printer.ioPath;
        m_link.bSerialMode = printer.serialMode ? 1 : 0;
    }
    ~PrinterAccess() { m_session.NoteLpdStopped(m_link.bLpdStopped); }
    setup::PrinterChannel& Channel() { return m_channel; }
    int32_t SerialMode() const { return m_link.bSerialMode; }

  private:
    ToolRun& m_run;
    ToolSession& m_session;
    setup::PrinterLink m_link;
    setup::LinkChannel m_channel{m_run.tool.printer, m_link};
};

class SetCommand {
  public:
    SetCommand(ToolRun& run, ToolSession& session, const PrinterRow& row,
               const std::vector<PrinterRow>& all)
        : m_run(run), m_session(session), m_row(row) {
        for (const PrinterRow& other : all)
            if (other.printer.instanceId != row.printer.instanceId)
                m_others.push_back(other.printer.instanceId);
    }

    int Run();

  private:
    int Plan();
    int PlanResponse(bool receive);
    int PlanSerial();
    int PlanDriverType(bool serial);
    int Apply(const Change& change);
    int Write(const Change& change);
    bool WaitForReturn();
    bool Present(const Inventory& now) const;
    std::optional<FoundPrinter> Returned(const Inventory& now) const;
    int Verify(const Change& change);
    int ReportLink();
    void Already(Kind kind, const std::string& value) {
        m_run.Result(m_run.Format(Text::kAlready, LabelOf(m_run, kind), value.c_str()));
    }
    bool Cancelled() { return m_run.tool.kernel.CancelRequested(); }

    ToolRun& m_run;
    ToolSession& m_session;
    PrinterRow m_row;
    std::vector<std::u16string> m_others;
    std::vector<Change> m_changes;
    std::optional<std::string> m_unitSerial;
};

int SetCommand::Run() {
    if (const int code = Plan())
        return code;
    for (const Change& change : m_changes) {
        if (m_run.command.whatIf) {
            m_run.Result(m_run.Format(Text::kWouldChange, LabelOf(m_run, change.kind),
                                      change.from.c_str(), change.to.c_str()));
            continue;
        }
        if (Cancelled())
            return m_run.Error(TextFor(Text::kCancelled, m_run.japanese), kToolExitCancelled);
        if (const int code = Apply(change))
            return code;
    }
    return kToolExitOk;
}

int SetCommand::Plan() {
    const SetRequest& request = m_run.command.set;
    if (request.receive)
        if (const int code = PlanResponse(*request.receive))
            return code;
    if (request.serialAuto || request.serialText)
        if (const int code = PlanSerial())
            return code;
    if (request.serialDriver)
        if (const int code = PlanDriverType(*request.serialDriver))
            return code;
    return kToolExitOk;
}

int SetCommand::PlanResponse(bool receive) {
    const PrinterSettings& now = m_row.settings;
    if (now.responseRead != setup::SettingRead::kRead)
        return m_run.Failed("reading the printer response", now.responseError, kToolExitFailed);
    const std::string wanted = ResponseText(receive, m_run.japanese);
    if (now.response.receive == receive) {
        Already(Kind::kResponse, wanted);
        return kToolExitOk;
    }
    m_changes.push_back(
        {Kind::kResponse, ResponseText(now.response.receive, m_run.japanese), wanted});
    return kToolExitOk;
}

int SetCommand::PlanSerial() {
    const PrinterSettings& now = m_row.settings;
    if (!now.usbSerial)
        return m_run.Failed("reading the iSerialNumber", now.serialError, kToolExitFailed);
    std::string wanted;
    if (m_run.command.set.serialAuto) {
        // Auto follows the unit serial number, which the printer must have (the page offers
        // Auto only then).
        PrinterAccess access(m_run, m_session, m_row.printer);
        setup::PrinterTextField unit = {};
        if (!setup::QueryUnitSerial(access.Channel(), unit))
            return m_run.Failed("reading the unit serial number", GetLastErrorCode(),
                                kToolExitFailed);
        if (unit[0] == '\0')
            return m_run.Error("--serial auto: the printer has no unit serial number",
                               kToolExitFailed);
        m_unitSerial = std::string(unit);
        wanted = *m_unitSerial;
    } else {
        wanted = *m_run.command.set.serialText;
    }
    if (*now.usbSerial == wanted) {
        Already(Kind::kSerial, wanted);
        return kToolExitOk;
    }
    m_changes.push_back({Kind::kSerial, SerialText(now.usbSerial, m_run.japanese), wanted});
    return kToolExitOk;
}

int SetCommand::PlanDriverType(bool serial) {
    const std::string wanted = DriverTypeText(serial, m_run.japanese);
    if (m_row.printer.serialMode == serial) {
        Already(Kind::kDriverType, wanted);
        return kToolExitOk;
    }
    // As the page: no switch to the virtual serial type without its port driver.
    if (serial && !m_run.tool.ports.PortDriverInstalled())
        return m_run.Error(TextFor(Text::kDriverMissing, m_run.japanese), kToolExitFailed);
    m_changes.push_back(
        {Kind::kDriverType, DriverTypeText(m_row.printer.serialMode, m_run.japanese), wanted});
    return kToolExitOk;
}

int SetCommand::Apply(const Change& change) {
    if (const int code = Write(change))
        return code;
    if (!WaitForReturn())
        return m_run.Error(m_run.Format(Text::kNotBack, (kLeaveBoundMs + kReturnBoundMs) / 1000),
                           kToolExitFailed);
    if (const int code = Verify(change))
        return code;
    if (change.kind == Kind::kDriverType && m_row.printer.serialMode)
        return ReportLink();
    return kToolExitOk;
}

int SetCommand::Write(const Change& change) {
    PrinterAccess access(m_run, m_session, m_row.printer);
    int written = 0;
    switch (change.kind) {
        case Kind::kResponse:
            m_run.Progress(m_run.Format(Text::kSwitchingResponse, change.to.c_str()));
            written =
                setup::WriteResponseSetting(access.Channel(), m_row.settings.response.switchByte,
                                            *m_run.command.set.receive, nullptr);
            break;
        case Kind::kSerial:
            m_run.Progress(TextFor(Text::kChangingSerial, m_run.japanese));
            written =
                m_run.command.set.serialAuto
                    ? setup::WriteUsbSerial(access.Channel(), setup::SerialModeAuto, {}, nullptr)
                    : setup::WriteUsbSerial(access.Channel(), setup::SerialModeManual, change.to,
                                            nullptr);
            break;
        case Kind::kDriverType:
            m_run.Progress(m_run.Format(Text::kSwitchingDriver, change.to.c_str()));
            written = setup::WriteDriverTypeSwitch(access.Channel(), access.SerialMode(), nullptr);
            break;
    }
    if (!written)
        return m_run.Failed(LabelOf(m_run, change.kind), GetLastErrorCode(), kToolExitFailed);
    return kToolExitOk;
}

bool SetCommand::Present(const Inventory& now) const {
    return std::any_of(now.printers.begin(), now.printers.end(), [&](const FoundPrinter& p) {
        return EqualsNoCase(p.instanceId, m_row.printer.instanceId);
    });
}

// The printer after its reset: the same device, or else the one device that none of the
// other printers was (an iSerialNumber change gives the device another instance ID).
std::optional<FoundPrinter> SetCommand::Returned(const Inventory& now) const {
    std::vector<FoundPrinter> fresh;
    for (const FoundPrinter& p : now.printers) {
        if (EqualsNoCase(p.instanceId, m_row.printer.instanceId))
            return p;
        if (std::none_of(m_others.begin(), m_others.end(),
                         [&](const std::u16string& id) { return EqualsNoCase(id, p.instanceId); }))
            fresh.push_back(p);
    }
    if (fresh.size() == 1)
        return fresh.front();
    return std::nullopt;
}

bool SetCommand::WaitForReturn() {
    Clock& clock = m_run.tool.printer.clock;
    const uint32_t start = clock.TickCount();
    const uint32_t total = (kLeaveBoundMs + kReturnBoundMs) / 1000;
    bool left = false;
    uint32_t shownSecond = 0;
    for (;;) {
        clock.Sleep(kPollMs);
        const uint32_t elapsed = ElapsedMs(start, clock.TickCount());
        const Inventory now = FindPrinters(m_run.tool);
        if (!left && !Present(now))
            left = true;
        // A printer that never left in the watch window is read again as it is.
        if (left || elapsed >= kLeaveBoundMs) {
            if (std::optional<FoundPrinter> back = Returned(now)) {
                m_row.printer = *back;
                return true;
            }
        }
        if (elapsed >= kLeaveBoundMs + kReturnBoundMs || Cancelled())
            return false;
        if (elapsed / 1000 > shownSecond) {
            shownSecond = elapsed / 1000;
            m_run.Progress(m_run.Format(Text::kWaiting, shownSecond, total));
        }
    }
}

int SetCommand::Verify(const Change& change) {
    int32_t lpdStopped = 0;
    m_row.settings = ReadPrinterSettings(m_run.tool, m_row.printer, lpdStopped);
    m_session.NoteLpdStopped(lpdStopped);
    std::string now;
    switch (change.kind) {
        case Kind::kResponse:
            now = m_row.settings.responseRead == setup::SettingRead::kRead
                      ? ResponseText(m_row.settings.response.receive, m_run.japanese)
                      : TextFor(Text::kUnreadable, m_run.japanese);
            break;
        case Kind::kSerial:
            now = SerialText(m_row.settings.usbSerial, m_run.japanese);
            break;
        case Kind::kDriverType:
            now = DriverTypeText(m_row.printer.serialMode, m_run.japanese);
            break;
    }
    const char* label = LabelOf(m_run, change.kind);
    if (now != change.to)
        return m_run.Error(m_run.Format(Text::kNotAsWanted, label, now.c_str(), change.to.c_str()),
                           kToolExitFailed);
    m_run.Result(m_run.Format(Text::kChanged, label, now.c_str()));
    return kToolExitOk;
}

// As at the utility's exit: the mutex released and the service restarted, whose start-up
// pass links the printer; then the link is looked for within a bound.
int SetCommand::ReportLink() {
    m_session.End();
    if (!m_session.ServiceWasRunning()) {
        m_run.Result(TextFor(Text::kNoLinkServiceStopped, m_run.japanese));
        return kToolExitOk;
    }
    Clock& clock = m_run.tool.printer.clock;
    const uint32_t start = clock.TickCount();
    for (;;) {
        if (!m_row.printer.linkPath.empty())
            if (auto port = m_run.tool.ports.LinkedComPort(m_row.printer.linkPath)) {
                m_run.Result(m_run.Format(Text::kLinkedTo, ToUtf8(*port).c_str()));
                return kToolExitOk;
            }
        if (ElapsedMs(start, clock.TickCount()) >= kLinkBoundMs || Cancelled())
            break;
        clock.Sleep(kPollMs * 2);
    }
    if (!m_run.tool.ports.PortDriverInstalled())
        m_run.Result(TextFor(Text::kNoLinkDriverMissing, m_run.japanese));
    else
        m_run.Result(m_run.Format(Text::kNoLinkInTime, kLinkBoundMs / 1000));
    return kToolExitOk;
}

}  // namespace

bool IsAcceptedSerialText(const std::string& text) {
    if (text.empty() || text.size() > 10)
        return false;
    return std::all_of(text.begin(), text.end(), [](char c) { return c >= 0x20 && c <= 0x7E; });
}

int RunSet(ToolRun& run, ToolSession& session, const PrinterRow& row,
           const std::vector<PrinterRow>& all) {
    SetCommand command(run, session, row, all);
    return command.Run();
}

}  // namespace tav::tavprinter
