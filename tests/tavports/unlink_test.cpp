// tavports unlink in the simulated world: what it clears, what it refuses, and what the
// service does with the port afterwards.

#include <functional>

#include "shared/u16.h"
#include "shared/win/errors.h"
#include "tests/tavports/tavports_fixture.h"

namespace tav::test {
namespace {

// COM3 linked to an attached printer, COM4 linked to a printer that is not attached.
class TavportsUnlinkTest : public TavportsTest {
  protected:
    TavportsUnlinkTest() {
        attached = world.AddPrinter(u"A0001");
        unplugged = world.AddPrinter(u"B0002");
        world.UnplugPrinter(u"B0002");
        attachedPort = world.AddPort(attached);
        absentPort = world.AddPort(unplugged);
    }

    std::u16string attached, unplugged, attachedPort, absentPort;
};

TEST_F(TavportsUnlinkTest, ClearsTheLinkAndTheNextPassGivesThePortToAnotherPrinter) {
    EXPECT_EQ(Run({"unlink", "COM4", "--yes"}), 0);
    EXPECT_EQ(console.out,
              "Cleared the link of COM4. The service gives COM4 to the next "
              "attached printer that has no port.\n");
    EXPECT_EQ(world.Link(absentPort), u"");
    EXPECT_EQ(world.Link(attachedPort), attached);
    EXPECT_EQ(console.prompts, 0);
    ExpectRunCleanedUp();

    std::u16string newcomer = world.AddPrinter(u"C0003");
    core->ReconcilePorts();
    EXPECT_EQ(world.Link(absentPort), newcomer);
    EXPECT_EQ(world.Ports().size(), 2u);  // no port created
}

TEST_F(TavportsUnlinkTest, TheSamePrinterReturningIsLinkedAgain) {
    EXPECT_EQ(Run({"unlink", "root\\ports\\0001", "--yes"}), 0);  // instance ID, any case
    EXPECT_EQ(world.Link(absentPort), u"");
    world.PlugPrinter(u"B0002");
    core->ReconcilePorts();
    EXPECT_EQ(world.Link(absentPort), unplugged);
}

TEST_F(TavportsUnlinkTest, AsksFirstAndChangesNothingUnlessTheAnswerIsYes) {
    for (const char* answer : {"n", "", "no"}) {
        console = {};
        console.input = {answer};
        EXPECT_EQ(Run({"unlink", "com4"}), 4) << answer;
        EXPECT_EQ(console.prompts, 1);
        EXPECT_NE(console.out.find("Clear the link of COM4 to the printer with serial B0002? "
                                   "The service may then give COM4 to another printer. [y/N] "),
                  std::string::npos)
            << console.out;
        EXPECT_NE(console.out.find("Nothing changed."), std::string::npos);
        EXPECT_EQ(world.Link(absentPort), unplugged);
    }
    console = {};  // the end of the input is no
    EXPECT_EQ(Run({"unlink", "COM4"}), 4);
    EXPECT_EQ(world.Link(absentPort), unplugged);
    console = {};
    console.input = {"y"};
    EXPECT_EQ(Run({"unlink", "COM4"}), 0);
    EXPECT_EQ(world.Link(absentPort), u"");
    ExpectRunCleanedUp();
}

TEST_F(TavportsUnlinkTest, RefusesWhileTheSetupUtilityRuns) {
    world.sync.SetUtilityMutex(sim::UtilityMutex::kHeld);
    EXPECT_EQ(Run({"unlink", "COM4", "--yes"}), 7);
    EXPECT_NE(console.err.find("the setup utility (tavsetup) is running"), std::string::npos);
    EXPECT_EQ(world.Link(absentPort), unplugged);
    EXPECT_EQ(sim.log.Count("RegSetValueExW"), 0u);
    ExpectRunCleanedUp();
    // A free or abandoned mutex is no utility: the probe takes it and gives it back.
    world.sync.SetUtilityMutex(sim::UtilityMutex::kAbandoned);
    console = {};
    EXPECT_EQ(Run({"unlink", "COM4", "--yes"}), 0);
    ExpectRunCleanedUp();
}

TEST_F(TavportsUnlinkTest, RefusesWhileThePrinterOfTheLinkIsAttached) {
    EXPECT_EQ(Run({"unlink", "COM3", "--yes"}), 1);
    EXPECT_EQ(console.err,
              "tavports: COM3 belongs to the printer with serial A0001, which is attached now: "
              "the service would link it again at once. Unplug the printer or switch it to "
              "printer-driver mode first\n");
    EXPECT_EQ(world.Link(attachedPort), attached);
    EXPECT_EQ(sim.log.Count("RegSetValueExW"), 0u);
}

TEST_F(TavportsUnlinkTest, NeedsAdministratorRights) {
    host.administrator = false;
    EXPECT_EQ(Run({"unlink", "COM4", "--yes"}), 3);
    EXPECT_EQ(console.err,
              "tavports: unlink needs administrator rights: run it from an elevated "
              "command prompt (Run as administrator)\n");
    EXPECT_EQ(world.Link(absentPort), unplugged);
    EXPECT_EQ(sim.log.Count("SetupDiOpenDevRegKey"), 0u);
    // Listing needs no rights.
    console = {};
    EXPECT_EQ(Run({"list"}), 0);
}

TEST_F(TavportsUnlinkTest, ARefusedWriteNamesWhatFailed) {
    sim.faults.Fail("RegSetValueExW", win::kErrorAccessDenied);
    EXPECT_EQ(Run({"unlink", "COM4", "--yes"}), 3);
    EXPECT_NE(console.err.find("needs administrator rights"), std::string::npos);
    console = {};
    sim.faults.Fail("RegCreateKeyExW", win::kErrorInvalidHandle);
    EXPECT_EQ(Run({"unlink", "COM4", "--yes"}), 1);
    EXPECT_EQ(console.err,
              "tavports: clearing the link of COM4 failed: The handle is invalid. "
              "(error 6)\n");
    EXPECT_EQ(world.Link(absentPort), unplugged);
    ExpectRunCleanedUp();
}

TEST_F(TavportsUnlinkTest, UnknownOrAmbiguousPortHasItsExitCode) {
    EXPECT_EQ(Run({"unlink", "COM9", "--yes"}), 5);
    EXPECT_EQ(console.err, "tavports: no port is named 'COM9'; 'tavports list' shows the ports\n");
    // Two ports with one COM name: only the instance ID says which.
    std::u16string twin = world.AddPort(u"");
    world.registry.PutValue(twin, u"", u"PortName",
                            sim::SimRegValue{win::kRegSz, sim::U16Bytes(u"COM4")});
    console = {};
    EXPECT_EQ(Run({"unlink", "COM4", "--yes"}), 6);
    EXPECT_NE(console.err.find("several ports are named 'COM4'"), std::string::npos);
    EXPECT_EQ(world.Link(absentPort), unplugged);
}

TEST_F(TavportsUnlinkTest, AFreePortNeedsNothing) {
    world.AddPort();
    EXPECT_EQ(Run({"unlink", "COM5", "--yes"}), 0);
    EXPECT_EQ(console.out, "COM5 is free already; nothing to do.\n");
    EXPECT_EQ(sim.log.Count("RegSetValueExW"), 0u);
}

TEST_F(TavportsUnlinkTest, AnUnreadableLinkCanBeClearedSoThePassUsesThePortAgain) {
    std::u16string odd = world.AddPort(u"\\\\?\\elsewhere", win::kRegExpandSz);
    EXPECT_EQ(Run({"unlink", "COM5", "--yes"}), 0);
    EXPECT_EQ(world.Link(odd), u"");
    std::u16string newcomer = world.AddPrinter(u"C0003");
    core->ReconcilePorts();
    EXPECT_EQ(world.Link(odd), newcomer);
}

TEST_F(TavportsUnlinkTest, ChecksAgainAfterTheConfirmation) {
    MeanwhileConsole plugged([this] { world.PlugPrinter(u"B0002"); });
    EXPECT_EQ(Run({"unlink", "COM4"}, plugged), 1);
    EXPECT_EQ(plugged.err,
              "tavports: the printer with serial B0002 was attached meanwhile; "
              "nothing changed\n");
    EXPECT_EQ(world.Link(absentPort), unplugged);
    ExpectRunCleanedUp();
    world.UnplugPrinter(u"B0002");

    MeanwhileConsole relinked([this] {
        world.registry.PutValue(absentPort, u"Tavportsvc", u"SymbolicLink",
                                sim::SimRegValue{win::kRegSz, sim::U16Bytes(u"\\\\?\\other")});
    });
    EXPECT_EQ(Run({"unlink", "COM4"}, relinked), 1);
    EXPECT_EQ(relinked.err,
              "tavports: the link of COM4 changed meanwhile; nothing changed. Run "
              "'tavports list' again\n");
    EXPECT_EQ(world.Link(absentPort), u"\\\\?\\other");
    world.registry.PutValue(absentPort, u"Tavportsvc", u"SymbolicLink",
                            sim::SimRegValue{win::kRegSz, sim::U16Bytes(unplugged)});

    // Ports and printers listed for the question, ports again to open the key, then the
    // printers, which cannot be listed: whether the printer is back is unknown.
    MeanwhileConsole unknown(
        [this] { sim.faults.Fail("SetupDiGetClassDevsW", win::kErrorInvalidParameter, 1, 1); });
    EXPECT_EQ(Run({"unlink", "COM4"}, unknown), 1);
    EXPECT_EQ(unknown.err,
              "tavports: listing the attached printers failed: The parameter is "
              "incorrect. (error 87)\n");
    EXPECT_EQ(world.Link(absentPort), unplugged);
    ExpectRunCleanedUp();
}

}  // namespace
}  // namespace tav::test
