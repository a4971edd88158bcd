// tavprinter on the simulated machine: what list and show read, set's road (changes only what
// differs, waits for the printer, reads back, reports the COM port the service links), and
// every refusal with its exit code, each leaving the mutex, Spooler and service as found.
#include <gmock/gmock.h>

#include "shared/tool_exit_codes.h"
#include "tests/tavports/mini_json.h"
#include "tests/tavprinter/tavprinter_fixture.h"

namespace tav::test {
namespace {

using ::testing::HasSubstr;

// The set requests the printer got (each ends with DC2 0x40); queries are not counted.
size_t SetRequests(const sim::TavPrinterFirmware& printer) {
    size_t count = 0;
    for (const auto& bytes : printer.Writes())
        count += bytes.size() >= 2 && bytes[bytes.size() - 2] == 0x12 && bytes.back() == 0x40;
    return count;
}

TEST_F(TavprinterTest, ListReadsEachSettingFromThePrinter) {
    printer->SetUsbSerial(1, "A1");
    printer->SetResponseSwitch(0x00);
    ASSERT_EQ(Run({"list", "--json"}), kToolExitOk) << output.err;
    const Json json = ParseJson(output.out);
    EXPECT_EQ(json["schema"].number, 1);
    ASSERT_EQ(json["printers"].items.size(), 1u);
    const Json& p = json["printers"][0];
    EXPECT_EQ(p["instanceId"].text, "USB\\VID_1B7E&PID_0101\\TV0001");
    EXPECT_FALSE(p["model"].IsNull());
    EXPECT_EQ(p["driverType"].text, "printer");
    EXPECT_EQ(p["response"].text, "not-receive");
    EXPECT_EQ(p["serialNumber"].text, "A1");
    EXPECT_TRUE(p["comPort"].IsNull());
    EXPECT_TRUE(json["errors"].items.empty());
    ExpectLeftAsFound();

    kernel.japanese = true;
    ASSERT_EQ(Run({"SHOW", "/Printer:a1"}), kToolExitOk) << output.err;
    EXPECT_THAT(output.out, HasSubstr("プリンタードライバー"));
    EXPECT_THAT(output.out, HasSubstr("受信しない"));
}

TEST_F(TavprinterTest, SwitchToSerialTwiceReportsThePortThenWritesNothing) {
    ASSERT_EQ(Run({"set", "--driver-type", "serial", "--log", "C:\\set.log"}), kToolExitOk)
        << output.err;
    EXPECT_THAT(output.out, HasSubstr("Driver type: Virtual Serial Port Driver"));
    EXPECT_THAT(output.out, HasSubstr("linked to COM"));
    EXPECT_THAT(output.err, HasSubstr("waiting for the printer, 1 s of 15"));
    EXPECT_THAT(output.logs["C:\\set.log"],
                HasSubstr("2026-12-09 10:00:00 tavprinter: linked to COM"));
    EXPECT_FALSE(printer->InPrinterClass());
    ExpectLeftAsFound();

    EXPECT_EQ(SetRequests(*printer), 1u);
    ASSERT_EQ(Run({"set", "--driver-type", "serial", "--quiet"}), kToolExitOk) << output.err;
    EXPECT_THAT(output.out, HasSubstr("Driver type: already Virtual Serial Port Driver"));
    EXPECT_EQ(SetRequests(*printer), 1u);
    EXPECT_EQ(output.err, "");
    // In serial mode the printer is named by its COM name too.
    ASSERT_EQ(Run({"show", "--printer", "com3", "--json"}), kToolExitOk) << output.err;
    EXPECT_EQ(ParseJson(output.out)["printers"][0]["comPort"].text, "COM3");
}

TEST_F(TavprinterTest, ResponseAndSerialChangeOnlyWhatDiffersAndWhatIfWritesNothing) {
    printer->SetResponseSwitch(0x08);
    printer->SetUsbSerial(1, "A1");
    ASSERT_EQ(Run({"set", "--response", "not-receive", "--serial", "B2", "--what-if"}),
              kToolExitOk);
    EXPECT_THAT(output.out,
                HasSubstr("Printer response: would change from Receive to Not receive"));
    EXPECT_THAT(output.out, HasSubstr("iSerialNumber: would change from A1 to B2"));
    EXPECT_EQ(SetRequests(*printer), 0u);

    ASSERT_EQ(Run({"set", "--response", "receive", "--serial", "B2"}), kToolExitOk) << output.err;
    EXPECT_THAT(output.out, HasSubstr("Printer response: already Receive"));
    EXPECT_THAT(output.out, HasSubstr("iSerialNumber: B2"));
    EXPECT_EQ(printer->UsbSerial(), "B2");
    EXPECT_EQ(printer->ResponseSwitch() & 0x08, 0x08);
    EXPECT_EQ(SetRequests(*printer), 1u);
    ExpectLeftAsFound();

    // Auto follows the unit serial number.
    ASSERT_EQ(Run({"set", "--serial", "AUTO"}), kToolExitOk) << output.err;
    EXPECT_EQ(printer->UsbSerial(), printer->UnitSerial());
    ASSERT_EQ(Run({"set", "--serial", "auto"}), kToolExitOk) << output.err;
    EXPECT_THAT(output.out, HasSubstr("iSerialNumber: already " + printer->UnitSerial()));
    EXPECT_EQ(SetRequests(*printer), 2u);
}

struct Refusal {
    const char* name;
    std::vector<std::string> args;
    int code;
    const char* says;
};

void PrintTo(const Refusal& refusal, std::ostream* os) {
    *os << refusal.name;
}

class TavprinterRefusalTest : public TavprinterTest,
                              public ::testing::WithParamInterface<Refusal> {};

TEST_P(TavprinterRefusalTest, ExitsWithItsCodeAndLeavesTheMachineAsFound) {
    EXPECT_EQ(Run(GetParam().args), GetParam().code);
    EXPECT_THAT(output.err, HasSubstr(GetParam().says));
    EXPECT_EQ(SetRequests(*printer), 0u);
    ExpectLeftAsFound();
}

INSTANTIATE_TEST_SUITE_P(
    BadInput, TavprinterRefusalTest,
    ::testing::Values(
        Refusal{"UnknownOption", {"set", "--colour", "red"}, 2, "unknown option '--colour'"},
        Refusal{"MissingValue", {"set", "--response"}, 2, "--response needs a value"},
        Refusal{"BadValue", {"set", "--driver-type", "usb"}, 2, "does not take 'usb'"},
        Refusal{"TwoSelectors", {"show", "--printer", "a", "--printer", "b"}, 2, "only one"},
        Refusal{"NothingToSet", {"set"}, 2, "set needs"},
        Refusal{"SerialTooLong", {"set", "--serial", "ABCDEFGHIJK"}, 2, "1 to 10 printable"},
        Refusal{"SerialNotAscii", {"set", "--serial", "\xE3\x81\x82"}, 2, "1 to 10 printable"},
        Refusal{"NoMatch", {"show", "--printer", "nothing"}, 5, "no printer matches"}),
    [](const auto& refusal) { return std::string(refusal.param.name); });

TEST_F(TavprinterTest, RefusesWithoutRightsBusyOrSeveralPrinters) {
    kernel.administrator = false;
    EXPECT_EQ(Run({"list"}), kToolExitNeedsAdmin);
    EXPECT_EQ(world.trace.log.Count("OpenSCManagerW"), 0u);  // nothing touched
    kernel.administrator = true;

    service.SetUtilityMutex(sim::UtilityMutex::kHeld);  // the utility runs
    EXPECT_EQ(Run({"set", "--response", "receive"}), kToolExitBusy);
    EXPECT_EQ(service.UtilityMutex(), sim::UtilityMutex::kHeld);
    EXPECT_EQ(kernel.mutexHandles, 0);
    service.SetUtilityMutex(sim::UtilityMutex::kAbsent);

    sim::PrinterPlug second;
    second.serial = u"TV0002";
    auto other = sim::AddTavPrinter(world, second);
    other->SetUsbSerial(1, "C3");
    EXPECT_EQ(Run({"set", "--response", "receive"}), kToolExitSeveralMatches);
    EXPECT_THAT(output.err, HasSubstr("name one with --printer"));
    ASSERT_EQ(Run({"list"}), kToolExitOk);
    EXPECT_THAT(output.out, HasSubstr("USB\\VID_1B7E&PID_0101\\TV0002"));
    EXPECT_EQ(Run({"set", "--printer", "c3", "--response", "not-receive"}), kToolExitOk)
        << output.err;
    EXPECT_EQ(SetRequests(*other), 1u);
    EXPECT_EQ(SetRequests(*printer), 0u);
    ExpectLeftAsFound();

    other->Unplug();
    printer->Unplug();
    EXPECT_EQ(Run({"list", "--json"}), kToolExitNoMatch);
    EXPECT_THAT(output.err, HasSubstr("no printer found"));
    EXPECT_TRUE(ParseJson(output.out)["printers"].items.empty());
}

TEST_F(TavprinterTest, FailuresOnTheWayLeaveMutexSpoolerAndServiceAsFound) {
    ports.driverInstalled = false;  // as the page: no switch without the port driver
    EXPECT_EQ(Run({"set", "--driver-type", "serial"}), kToolExitFailed);
    EXPECT_THAT(output.err, HasSubstr("not installed: nothing changed"));
    EXPECT_TRUE(printer->InPrinterClass());
    ExpectLeftAsFound();
    ports.driverInstalled = true;

    printer->returnDelayMs = 60000;  // unplugged during the change: it does not come back
    EXPECT_EQ(Run({"set", "--response", "not-receive"}), kToolExitFailed);
    EXPECT_THAT(output.err, HasSubstr("did not come back within 15 s"));
    ExpectLeftAsFound();
    world.clock.Advance(60000);
    printer->returnDelayMs = 2500;

    kernel.cancelAfterChecks = 0;  // Ctrl+C before the first change
    EXPECT_EQ(Run({"set", "--response", "receive"}), kToolExitCancelled);
    ExpectLeftAsFound();
    kernel.cancelAfterChecks = -1;

    // A Windows call failing at any step of a change: whatever the exit, nothing stays held.
    for (const char* call : {"SetupDiGetClassDevsW", "CreateFileW", "DeviceIoControl", "WriteFile",
                             "ReadFile", "OpenSCManagerW"}) {
        for (int after : {0, 3, 9}) {
            world.trace.faults.Fail(call, win::kErrorGenFailure, 1, after);
            const int code = Run({"set", "--response", "receive"});
            EXPECT_TRUE(code == kToolExitOk || code == kToolExitFailed || code == kToolExitNoMatch)
                << call << " after " << after << ": " << code;
            SCOPED_TRACE(std::string(call) + " after " + std::to_string(after));
            ExpectLeftAsFound();
            world.clock.Advance(20000);  // a reset the run left behind settles
        }
    }

    service.Stop();
    world.services.Config(kServiceName).state = win::kServiceStopped;
    ASSERT_EQ(Run({"set", "--driver-type", "serial"}), kToolExitOk) << output.err;
    EXPECT_THAT(output.out, HasSubstr("the port link service is stopped"));
    ExpectLeftAsFound(false);
}

}  // namespace
}  // namespace tav::test
