// tavports list, explain and the command line in the simulated world.

#include "shared/u16.h"
#include "shared/win/errors.h"
#include "tests/tavports/mini_json.h"
#include "tests/tavports/tavports_fixture.h"

namespace tav::test {
namespace {

// Ports: COM3 linked to an attached printer, COM4 linked to a printer not attached, COM5
// free; a second attached printer without a port.
class TavportsListTest : public TavportsTest {
  protected:
    TavportsListTest() {
        attached = world.AddPrinter(u"A0001");
        unplugged = world.AddPrinter(u"B0002");
        world.UnplugPrinter(u"B0002");
        waiting = world.AddPrinter(u"C0003");
        linkedPort = world.AddPort(attached);
        absentPort = world.AddPort(unplugged);
        freePort = world.AddPort(u"");
    }

    std::u16string attached, unplugged, waiting;
    std::u16string linkedPort, absentPort, freePort;
};

TEST_F(TavportsListTest, JsonNamesEveryPortItsLinkAndWhetherItsPrinterIsAttached) {
    ASSERT_EQ(Run({"list", "--json"}), 0);
    Json doc = ParseJson(console.out);
    const Json& ports = doc["ports"];
    ASSERT_EQ(ports.items.size(), 3u);
    EXPECT_EQ(ports[0]["instanceId"].text, "ROOT\\PORTS\\0000");
    EXPECT_EQ(ports[0]["comName"].text, "COM3");
    EXPECT_EQ(ports[0]["state"].text, "linked");
    EXPECT_EQ(ports[0]["printer"].text, ToUtf8(attached));
    EXPECT_EQ(ports[0]["serial"].text, "A0001");
    EXPECT_TRUE(ports[0]["printerPresent"].boolean);
    EXPECT_EQ(ports[1]["comName"].text, "COM4");
    EXPECT_EQ(ports[1]["state"].text, "linked");
    EXPECT_EQ(ports[1]["serial"].text, "B0002");
    EXPECT_FALSE(ports[1]["printerPresent"].boolean);
    EXPECT_EQ(ports[2]["instanceId"].text, "ROOT\\PORTS\\0002");
    EXPECT_EQ(ports[2]["state"].text, "free");
    EXPECT_TRUE(ports[2]["printer"].IsNull());
    EXPECT_FALSE(ports[2]["printerPresent"].boolean);
    const Json& waitingPrinters = doc["printersWithoutPort"];
    ASSERT_EQ(waitingPrinters.items.size(), 1u);
    EXPECT_EQ(waitingPrinters[0]["printer"].text, ToUtf8(waiting));
    EXPECT_EQ(waitingPrinters[0]["serial"].text, "C0003");
    EXPECT_TRUE(doc["errors"].items.empty());
    EXPECT_TRUE(console.err.empty());
    ExpectRunCleanedUp();
}

TEST_F(TavportsListTest, TableIsTheDefaultCommandWithOneRowPerPort) {
    ASSERT_EQ(Run({}), 0);
    EXPECT_NE(
        console.out.find("ROOT\\PORTS\\0000     COM3    linked      yes      " + ToUtf8(attached)),
        std::string::npos)
        << console.out;
    EXPECT_NE(console.out.find("ROOT\\PORTS\\0001     COM4    linked      no       "),
              std::string::npos);
    EXPECT_NE(console.out.find("ROOT\\PORTS\\0002     COM5    free        -        -"),
              std::string::npos);
    EXPECT_NE(console.out.find("without a port:\n  " + ToUtf8(waiting) + "\n"), std::string::npos);
    // Read-only: the keys were opened for queries and nothing was written.
    EXPECT_EQ(sim.log.Count("RegSetValueExW"), 0u);
    EXPECT_EQ(sim.log.Count("RegCreateKeyExW"), 0u);
    for (const auto& entry : sim.log.EntriesStartingWith("SetupDiOpenDevRegKey"))
        EXPECT_NE(entry.find("access=1"), std::string::npos) << entry;
    ExpectRunCleanedUp();
}

TEST_F(TavportsListTest, ExplainSaysWhichPortEachPrinterHas) {
    ASSERT_EQ(Run({"explain"}), 0);
    EXPECT_NE(console.out.find("COM3 is linked to the printer with serial A0001, which is "
                               "attached now.\n"),
              std::string::npos)
        << console.out;
    EXPECT_NE(console.out.find("COM4 is linked to the printer with serial B0002, which is not "
                               "attached now.\n"),
              std::string::npos);
    EXPECT_NE(console.out.find("COM5 is free"), std::string::npos);
    EXPECT_NE(console.out.find("The printer with serial C0003 is attached in virtual-serial mode "
                               "and has no port yet"),
              std::string::npos);
    EXPECT_NE(console.out.find("every printer ever seen keeps a port"), std::string::npos);
}

TEST_F(TavportsListTest, AfterAPassTheListShowsTheLinkThePassWrote) {
    core->ReconcilePorts();
    ASSERT_EQ(Run({"list", "--json"}), 0);
    Json doc = ParseJson(console.out);
    EXPECT_EQ(doc["ports"][2]["printer"].text, ToUtf8(waiting));
    EXPECT_TRUE(doc["ports"][2]["printerPresent"].boolean);
    EXPECT_TRUE(doc["printersWithoutPort"].items.empty());
}

TEST_F(TavportsListTest, APortThePassCreatedShowsWithItsComName) {
    world.AddPrinter(u"D0004");
    core->ReconcilePorts();  // C0003 takes COM5; D0004 gets a new port
    ASSERT_EQ(Run({"list", "--json"}), 0);
    Json doc = ParseJson(console.out);
    ASSERT_EQ(doc["ports"].items.size(), 4u);
    EXPECT_EQ(doc["ports"][3]["comName"].text, "COM6");
    EXPECT_EQ(doc["ports"][3]["serial"].text, "D0004");
}

TEST_F(TavportsListTest, APortThePassLeavesOutIsShownUnreadableWithTheReason) {
    std::u16string odd = world.AddPort(u"\\\\?\\elsewhere", win::kRegExpandSz);
    ASSERT_EQ(Run({"list", "--json"}), 0);
    Json doc = ParseJson(console.out);
    const Json& port = doc["ports"][3];
    EXPECT_EQ(port["instanceId"].text, ToUtf8(odd));
    EXPECT_EQ(port["state"].text, "unreadable");
    EXPECT_EQ(port["error"].text,
              "reading the link of ROOT\\PORTS\\0003 failed: Data of this type is not "
              "supported. (error 1630)");
    console = {};
    ASSERT_EQ(Run({"explain"}), 0);
    EXPECT_NE(console.out.find("COM6 cannot be read (reading the link of ROOT\\PORTS\\0003 failed"),
              std::string::npos)
        << console.out;
}

TEST_F(TavportsTest, AFailedEnumerationNamesTheCallAndTheErrorText) {
    world.AddPort();
    sim.faults.Fail("SetupDiGetClassDevsW", win::kErrorAccessDenied);
    EXPECT_EQ(Run({"list"}), 1);
    EXPECT_EQ(console.err,
              "tavports: listing the COM port interfaces failed: Access is denied. (error 5)\n");
    console = {};
    sim.faults.Fail("SetupDiGetClassDevsW", win::kErrorInvalidParameter, 1, 1);
    EXPECT_EQ(Run({"list", "--json"}), 1);
    Json doc = ParseJson(console.out);
    EXPECT_EQ(doc["errors"][0].text,
              "listing the attached printers failed: The parameter is incorrect. (error 87)");
    ExpectRunCleanedUp();
}

TEST_F(TavportsTest, EmptyWorldListsNothingAndSaysSo) {
    ASSERT_EQ(Run({"explain"}), 0);
    EXPECT_NE(console.out.find("There are no COM ports of the port driver yet"), std::string::npos);
    console = {};
    ASSERT_EQ(Run({"--json"}), 0);
    Json doc = ParseJson(console.out);
    EXPECT_TRUE(doc["ports"].items.empty());
}

TEST_F(TavportsTest, BadArgumentsPrintTheUsageAndExit2) {
    const std::vector<std::pair<std::vector<std::string>, std::string>> cases = {
        {{"frobnicate"}, "unknown command 'frobnicate'"},
        {{"list", "--yes"}, "unknown option '--yes'"},
        {{"explain", "--json"}, "unknown option '--json'"},
        {{"--bogus"}, "unknown option '--bogus'"},
        {{"unlink"}, "unlink needs a COM name or an instance ID"},
        {{"unlink", "COM3", "COM4"}, "unexpected argument 'COM4'"},
        {{"list", "extra"}, "unexpected argument 'extra'"},
    };
    for (const auto& [args, message] : cases) {
        console = {};
        EXPECT_EQ(Run(args), 2) << message;
        EXPECT_EQ(console.err.rfind("tavports: " + message + "\nusage: tavports", 0), 0u)
            << console.err;
        EXPECT_TRUE(console.out.empty());
    }
    EXPECT_EQ(sim.log.Count("SetupDi"), 0u);  // nothing was looked at
}

TEST_F(TavportsTest, HelpStatesTheServiceRulesAndVersionTheNumber) {
    for (const char* help : {"--help", "-h", "/?"}) {
        console = {};
        EXPECT_EQ(Run({help}), 0);
        EXPECT_NE(console.out.find("It never removes a link itself"), std::string::npos);
        EXPECT_NE(console.out.find("the first free port in device order"), std::string::npos);
        EXPECT_NE(console.out.find("Refused while the setup utility"), std::string::npos);
    }
    console = {};
    EXPECT_EQ(Run({"unlink", "--help"}), 0);
    EXPECT_NE(console.out.find("usage:"), std::string::npos);
    EXPECT_NE(console.out.find("7  busy"), std::string::npos);  // the tools' one table
    console = {};
    EXPECT_EQ(Run({"--version"}), 0);
    EXPECT_EQ(console.out, "tavports 1.2.3.4\n");
    // The option forms tavprinter takes too.
    console = {};
    EXPECT_EQ(Run({"LIST", "/Json"}), 0);
    EXPECT_EQ(console.out.rfind("{", 0), 0u) << console.out;
}

}  // namespace
}  // namespace tav::test
