// tavports assign and prune in the simulated world: what they write, what they refuse, and
// that the service's next pass keeps what they leave.

#include <algorithm>
#include <tuple>

#include "shared/u16.h"
#include "shared/win/errors.h"
#include "tests/tavports/tavports_fixture.h"

namespace tav::test {
namespace {

// A lane's printer swapped: A0001 got COM3 and left, B0002 arrived and the pass gave it a new
// port, COM4.
class TavportsAssignTest : public TavportsTest {
  protected:
    TavportsAssignTest() {
        oldPrinter = world.AddPrinter(u"A0001");
        core->ReconcilePorts();
        world.UnplugPrinter(u"A0001");
        newPrinter = world.AddPrinter(u"B0002");
        core->ReconcilePorts();
        posPort = world.Ports().at(0);
        newPort = world.Ports().at(1);
    }

    size_t Index(const std::vector<std::string>& entries, const std::string& prefix,
                 bool last = false) const {
        size_t found = entries.size();
        for (size_t i = 0; i < entries.size(); ++i)
            if (entries[i].rfind(prefix, 0) == 0 && (last || found == entries.size()))
                found = i;
        return found;
    }

    std::u16string oldPrinter, newPrinter, posPort, newPort;
};

TEST_F(TavportsAssignTest, GivesThePortToTheNewPrinterAndTheNextPassKeepsIt) {
    ASSERT_EQ(world.Link(posPort), oldPrinter);
    ASSERT_EQ(world.Link(newPort), newPrinter);
    sim.log.Clear();
    EXPECT_EQ(Run({"assign", "COM3", "--printer", "B0002", "--yes"}), 0);
    EXPECT_EQ(console.out,
              "COM3 is now linked to the printer with serial B0002. COM4 is free: the service "
              "gives it to the next attached printer that has no port.\n");
    EXPECT_EQ(world.Link(posPort), newPrinter);
    EXPECT_EQ(world.Link(newPort), u"");
    // The links were written while the utility's mutex was held, and it was given back.
    const std::vector<std::string> log = sim.log.Entries();
    EXPECT_LT(Index(log, "WaitForSingleObject 0"), Index(log, "RegSetValueExW"));
    EXPECT_GT(Index(log, "ReleaseMutex"), Index(log, "RegSetValueExW", true));
    EXPECT_LT(Index(log, "ReleaseMutex"), log.size());
    ExpectRunCleanedUp();
    EXPECT_EQ(world.sync.UtilityMutexState(), sim::UtilityMutex::kAbsent);

    core->ReconcilePorts();
    EXPECT_EQ(world.Link(posPort), newPrinter);
    EXPECT_EQ(world.Link(newPort), u"");
    EXPECT_EQ(world.Ports().size(), 2u);
    // The freed port goes to the next printer without one.
    std::u16string third = world.AddPrinter(u"C0003");
    core->ReconcilePorts();
    EXPECT_EQ(world.Link(newPort), third);
    EXPECT_EQ(world.Link(posPort), newPrinter);
}

TEST_F(TavportsAssignTest, ThePrinterIsNamedByComNameSerialOrInstanceIdAndAlreadySoWritesNothing) {
    EXPECT_EQ(Run({"assign", "com3", "--printer=com4", "--yes"}), 0);
    EXPECT_EQ(world.Link(posPort), newPrinter);
    for (const char* selector : {"b0002", "USB\\VID_1B7E&PID_0101\\B0002", "COM3"}) {
        console = {};
        sim.log.Clear();
        EXPECT_EQ(Run({"assign", "COM3", "--printer", selector}), 0) << selector;
        EXPECT_EQ(console.out,
                  "COM3 is linked to the printer with serial B0002 already; nothing to do.\n");
        EXPECT_EQ(console.prompts, 0);
        EXPECT_EQ(sim.log.Count("RegSetValueExW"), 0u);
        EXPECT_EQ(sim.log.Count("CreateMutexW"), 0u);
    }
}

TEST_F(TavportsAssignTest, RefusalsChangeNothing) {
    world.PlugPrinter(u"A0001");  // COM3's printer is back
    EXPECT_EQ(Run({"assign", "COM3", "--printer", "B0002", "--yes"}), 1);
    EXPECT_EQ(console.err,
              "tavports: COM3 belongs to the printer with serial A0001, which is attached now: "
              "the service would miss its port. Unplug that printer or switch it to "
              "printer-driver mode first\n");
    world.UnplugPrinter(u"A0001");
    const std::vector<std::tuple<std::vector<std::string>, int, std::string>> cases = {
        {{"assign", "COM9", "--printer", "B0002", "--yes"},
         5,
         "'COM9' is not one of the port driver's ports"},
        {{"assign", "COM3", "--printer", "Z9999", "--yes"},
         5,
         "no attached or linked printer matches 'Z9999'"},
        {{"assign", "COM3", "--printer", "B0002"}, 4, ""},  // the end of input is no
    };
    for (const auto& [args, code, message] : cases) {
        console = {};
        EXPECT_EQ(Run(args), code) << args[1];
        EXPECT_NE(console.err.find(message), std::string::npos) << console.err;
    }
    EXPECT_NE(console.out.find("Give COM3 to the printer with serial B0002? COM3 is linked now "
                               "to the printer with serial A0001, which is not attached. COM4, "
                               "its port now, becomes free. [y/N] Nothing changed."),
              std::string::npos)
        << console.out;
    host.administrator = false;
    console = {};
    EXPECT_EQ(Run({"assign", "COM3", "--printer", "B0002", "--yes"}), 3);
    EXPECT_NE(console.err.find("assign needs administrator rights"), std::string::npos);
    host.administrator = true;
    world.sync.SetUtilityMutex(sim::UtilityMutex::kHeld);
    console = {};
    EXPECT_EQ(Run({"assign", "COM3", "--printer", "B0002", "--yes"}), 7);
    world.sync.SetUtilityMutex(sim::UtilityMutex::kAbsent);
    EXPECT_EQ(sim.log.Count("RegSetValueExW"), 2u);  // the two passes of the set-up
    EXPECT_EQ(world.Link(posPort), oldPrinter);
    EXPECT_EQ(world.Link(newPort), newPrinter);
    ExpectRunCleanedUp();
}

TEST_F(TavportsAssignTest, WhatHappensWhileTheQuestionIsOpenIsCheckedUnderTheMutex) {
    MeanwhileConsole returned([this] { world.PlugPrinter(u"A0001"); });
    EXPECT_EQ(Run({"assign", "COM3", "--printer", "B0002"}, returned), 1);
    EXPECT_NE(returned.err.find("which is attached now"), std::string::npos) << returned.err;
    world.UnplugPrinter(u"A0001");
    // The utility started meanwhile and holds its mutex: the tool cannot take it.
    MeanwhileConsole utility([this] { world.sync.SetUtilityMutex(sim::UtilityMutex::kHeld); });
    EXPECT_EQ(Run({"assign", "COM3", "--printer", "B0002"}, utility), 7);
    EXPECT_EQ(utility.err,
              "tavports: the setup utility (tavsetup) or another tool holds the port links now: "
              "try again when it has ended\n");
    world.sync.SetUtilityMutex(sim::UtilityMutex::kAbsent);
    EXPECT_EQ(world.Link(posPort), oldPrinter);
    EXPECT_EQ(world.Link(newPort), newPrinter);
    ExpectRunCleanedUp();
}

// COM3 linked to an attached printer, COM4 and COM5 to printers that left, COM6 free.
class TavportsPruneTest : public TavportsTest {
  protected:
    TavportsPruneTest() {
        attached = world.AddPrinter(u"A0001");
        for (const char16_t* serial : {u"B0002", u"C0003"}) {
            gone.push_back(world.AddPrinter(serial));
            world.UnplugPrinter(serial);
        }
        ports = {world.AddPort(attached), world.AddPort(gone[0]), world.AddPort(gone[1]),
                 world.AddPort(u"")};
    }

    std::u16string attached;
    std::vector<std::u16string> gone, ports;
};

TEST_F(TavportsPruneTest, WhatIfListsAndFreesNothingThenPruneFreesThePortsOfPrintersGone) {
    host.administrator = false;  // a look needs no rights
    EXPECT_EQ(Run({"prune", "--what-if"}), 0);
    EXPECT_EQ(console.out,
              "prune would free these ports:\n"
              "  COM4  linked to the printer with serial B0002\n"
              "  COM5  linked to the printer with serial C0003\n");
    EXPECT_EQ(sim.log.Count("RegSetValueExW"), 0u);
    host.administrator = true;
    console = {};
    console.input = {"n"};
    EXPECT_EQ(Run({"prune"}), 4);
    EXPECT_EQ(world.Link(ports[1]), gone[0]);
    console = {};
    EXPECT_EQ(Run({"prune", "--yes"}), 0);
    EXPECT_EQ(console.out,
              "Freed COM4 (was the printer with serial B0002).\n"
              "Freed COM5 (was the printer with serial C0003).\n");
    EXPECT_EQ(world.Link(ports[0]), attached);
    EXPECT_EQ(world.Link(ports[1]), u"");
    EXPECT_EQ(world.Link(ports[2]), u"");
    ExpectRunCleanedUp();
    console = {};
    EXPECT_EQ(Run({"prune", "--yes"}), 0);
    EXPECT_EQ(console.out,
              "No port is linked to a printer that is not attached; nothing to free.\n");

    std::u16string next = world.AddPrinter(u"D0004");
    core->ReconcilePorts();
    EXPECT_EQ(world.Link(ports[1]), next);
    EXPECT_EQ(world.Ports().size(), 4u);
}

TEST_F(TavportsPruneTest, RefusedWithoutRightsOrWhileTheUtilityRuns) {
    host.administrator = false;
    EXPECT_EQ(Run({"prune", "--yes"}), 3);
    host.administrator = true;
    world.sync.SetUtilityMutex(sim::UtilityMutex::kHeld);
    EXPECT_EQ(Run({"prune", "--yes"}), 7);
    world.sync.SetUtilityMutex(sim::UtilityMutex::kAbsent);
    // A printer back while the question was open keeps its port.
    MeanwhileConsole returned([this] { world.PlugPrinter(u"B0002"); });
    EXPECT_EQ(Run({"prune"}, returned), 0);
    EXPECT_NE(returned.out.find("COM4 changed meanwhile; left as it is.\nFreed COM5"),
              std::string::npos)
        << returned.out;
    EXPECT_EQ(world.Link(ports[1]), gone[0]);
    EXPECT_EQ(world.Link(ports[2]), u"");
}

}  // namespace
}  // namespace tav::test
