#include "tavprinter/tavprinter_app.h"

#include "shared/tool_exit_codes.h"
#include "tavprinter/command_line.h"
#include "tavprinter/printer_report.h"
#include "tavprinter/printer_selection.h"
#include "tavprinter/set_command.h"
#include "tavprinter/tool_run.h"
#include "tavprinter/tool_session.h"

namespace tav::tavprinter {

namespace {

const char kUsage[] =
    "usage: tavprinter list [--json]\n"
    "       tavprinter show [--printer SEL] [--json]\n"
    "       tavprinter set [--printer SEL] [--driver-type printer|serial]\n"
    "                      [--response receive|not-receive] [--serial auto|<text>]\n"
    "                      [--what-if] [--log FILE] [--quiet]\n"
    "       tavprinter --help | --version\n";

const char kHelp[] =
    "Reads and changes the settings of the TAV printers attached over USB: the driver type\n"
    "(printer driver or virtual serial port), the printer response and the USB\n"
    "iSerialNumber, as the Communication Settings Utility does. Needs an elevated\n"
    "administrator. While it works it holds the utility's mutex, so neither the utility nor\n"
    "another tool works on the printer meanwhile; at the end it starts the Spooler again and\n"
    "restarts the Tavportsvc service, as the utility does when it closes.\n"
    "\n"
    "  list [--json]       every attached printer: instance ID, model, driver type, printer\n"
    "                      response, iSerialNumber and, in virtual-serial mode, its COM port.\n"
    "  show [--printer SEL] [--json]\n"
    "                      the same for one printer (all of them without --printer).\n"
    "  set [--printer SEL] ...\n"
    "                      changes only what differs; a setting already so is reported and\n"
    "                      not written. Each change waits for the printer to reset and come\n"
    "                      back and reads the setting back. After a switch to serial it\n"
    "                      reports the COM port the service linked (within 30 s);\n"
    "                      'tavports assign COMn --printer SEL' gives it another port,\n"
    "                      e.g. the one the point-of-sale software opens.\n"
    "    --driver-type printer|serial   --response receive|not-receive\n"
    "    --serial auto|<text>           1 to 10 printable ASCII characters, or auto (the\n"
    "                                   unit serial number)\n"
    "    --what-if   says what would change, writes nothing\n"
    "    --log FILE  appends a timestamped UTF-8 line per step\n"
    "    --quiet     no progress lines on stderr\n"
    "\n"
    "SEL: the device instance ID, the iSerialNumber, or in virtual-serial mode the COM name.\n"
    "With several printers, set needs --printer. Options take --name, -name or /name, in any\n"
    "letter case; a value follows or is attached with = (or : after /).\n"
    "\n";

class TavprinterRun {
  public:
    TavprinterRun(ToolPlatform& tool, const CommandLine& command) : m_run(tool, command) {}

    int Run();

  private:
    int Gather();
    int Select();
    int Print() const;

    ToolRun m_run;
    ToolSession m_session{m_run.tool};
    std::vector<PrinterRow> m_rows;
    std::vector<PrinterRow> m_chosen;
    uint32_t m_enumerationError = 0;
};

int TavprinterRun::Run() {
    const CommandLine& command = m_run.command;
    if (command.set.serialText && !IsAcceptedSerialText(*command.set.serialText)) {
        m_run.Error(m_run.Format(Text::kBadSerial, command.set.serialText->c_str()),
                    kToolExitBadArguments);
        m_run.tool.output.Err(kUsage);
        return kToolExitBadArguments;
    }
    if (!m_run.tool.kernel.IsAdministrator())
        return m_run.Error(TextFor(Text::kNeedsAdmin, m_run.japanese), kToolExitNeedsAdmin);
    switch (m_session.Begin()) {
        case HoldResult::kBusy:
            return m_run.Error(TextFor(Text::kBusy, m_run.japanese), kToolExitBusy);
        case HoldResult::kFailed:
            return m_run.Failed("taking the setup utility's mutex", m_run.tool.kernel.LastError(),
                                kToolExitFailed);
        case HoldResult::kHeld:
            break;
    }
    if (const int code = Gather())
        return code;
    if (const int code = Select())
        return code;
    if (command.command == Command::kSet)
        return RunSet(m_run, m_session, m_chosen.front(), m_rows);
    return Print();
}

int TavprinterRun::Gather() {
    const Inventory inventory = FindPrinters(m_run.tool);
    m_enumerationError = inventory.error;
    for (const FoundPrinter& printer : inventory.printers) {
        if (m_run.tool.kernel.CancelRequested())
            return m_run.Error(TextFor(Text::kCancelled, m_run.japanese), kToolExitCancelled);
        m_rows.push_back(
            {printer, ReadPrinterSettings(m_run.tool, printer, m_session.LpdStopped())});
    }
    if (m_rows.empty() && inventory.error != 0)
        return m_run.Failed("finding the printers", inventory.error, kToolExitFailed);
    return kToolExitOk;
}

int TavprinterRun::Select() {
    const CommandLine& command = m_run.command;
    if (m_rows.empty()) {
        // A script that asked for JSON still gets a document it can parse.
        if (command.json)
            Print();
        return m_run.Error(TextFor(Text::kNoPrinter, m_run.japanese), kToolExitNoMatch);
    }
    if (!command.printer) {
        if (command.command == Command::kSet && m_rows.size() > 1)
            return m_run.Error(TextFor(Text::kSetNeedsOne, m_run.japanese),
                               kToolExitSeveralMatches);
        m_chosen = m_rows;
        return kToolExitOk;
    }
    m_chosen = SelectPrinters(m_rows, *command.printer);
    if (m_chosen.empty())
        return m_run.Error(m_run.Format(Text::kNoMatch, command.printer->c_str()),
                           kToolExitNoMatch);
    if (m_chosen.size() > 1)
        return m_run.Error(m_run.Format(Text::kSeveralMatches, command.printer->c_str()),
                           kToolExitSeveralMatches);
    return kToolExitOk;
}

int TavprinterRun::Print() const {
    ToolPlatform& tool = m_run.tool;
    if (m_run.command.json) {
        tool.output.Out(FormatPrinterJson(m_chosen, m_enumerationError, [&tool](uint32_t code) {
            return tool.kernel.ErrorText(code);
        }));
    } else {
        tool.output.Out(FormatPrinterText(m_chosen, m_run.japanese));
    }
    return m_enumerationError != 0 ? kToolExitFailed : kToolExitOk;
}

}  // namespace

int RunTavprinter(const std::vector<std::string>& args, ToolPlatform& tool,
                  const std::string& version) {
    CommandLine command;
    std::string error;
    if (!ParseCommandLine(args, &command, &error)) {
        tool.output.Err("tavprinter: " + error + "\n" + kUsage);
        return kToolExitBadArguments;
    }
    switch (command.command) {
        case Command::kHelp:
            tool.output.Out(std::string(kUsage) + "\n" + kHelp + kToolExitCodeHelp);
            return kToolExitOk;
        case Command::kVersion:
            tool.output.Out("tavprinter " + version + "\n");
            return kToolExitOk;
        case Command::kList:
        case Command::kShow:
        case Command::kSet:
            break;
    }
    TavprinterRun run(tool, command);
    return run.Run();
}

}  // namespace tav::tavprinter
