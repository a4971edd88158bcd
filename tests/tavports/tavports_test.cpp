// tavports list, explain and the command line in the simulated world.

#include <fstream>
#include <set>

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
    EXPECT_EQ(port["error"]["code"].number, 1630);
    EXPECT_EQ(port["error"]["message"].text,
              "reading the link of ROOT\\PORTS\\0003 failed: Data of this type is not "
              "supported. (error 1630)");
    console = {};
    ASSERT_EQ(Run({"explain"}), 0);
    EXPECT_NE(console.out.find("COM6 cannot be read (reading the link of ROOT\\PORTS\\0003 failed"),
              std::string::npos)
        << console.out;
}

// The key paths of a document: "ports[].comName" for a member of an array's objects.
void CollectKeys(const Json& value, const std::string& path, std::set<std::string>& keys) {
    if (value.kind == Json::Kind::kArray)
        for (const Json& item : value.items)
            CollectKeys(item, path + "[]", keys);
    for (const auto& [key, member] : value.members) {
        const std::string name = path.empty() ? key : path + "." + key;
        keys.insert(name);
        CollectKeys(member, name, keys);
    }
}

// The keys the README's table of tavports' JSON documents: the first cell of each row.
std::set<std::string> DocumentedKeys() {
    std::ifstream readme(TAV_README_PATH);
    std::string line;
    bool inTable = false;
    std::set<std::string> keys;
    while (std::getline(readme, line)) {
        if (line.rfind("`list --json`", 0) == 0)
            inTable = true;
        else if (inTable && line.rfind("## ", 0) == 0)
            break;
        if (!inTable || line.rfind("| `", 0) != 0)
            continue;
        const std::string cell = line.substr(2, line.find(" |", 2) - 2);
        for (size_t start = cell.find('`'); start != std::string::npos;
             start = cell.find('`', cell.find('`', start + 1) + 1))
            keys.insert(cell.substr(start + 1, cell.find('`', start + 1) - start - 1));
    }
    return keys;
}

TEST_F(TavportsListTest, InventoryNamesHostTimeServiceDriverAndEveryDocumentedKey) {
    world.AddPort(u"\\\\?\\elsewhere", win::kRegExpandSz);  // unreadable
    sim.faults.Fail("GetFileVersionInfoW", win::kErrorAccessDenied);
    ASSERT_EQ(Run({"list", "--json"}), 0);
    Json doc = ParseJson(console.out);
    EXPECT_EQ(doc["schema"].number, 1);
    EXPECT_EQ(doc["host"].text, "LANE-017");
    EXPECT_EQ(doc["time"].text, "2026-12-09T08:30:05Z");
    EXPECT_EQ(doc["toolVersion"].text, "1.2.3.4");
    EXPECT_EQ(doc["service"]["state"].text, "running");
    EXPECT_TRUE(doc["service"]["version"].IsNull());
    EXPECT_TRUE(doc["portDriverInstalled"].boolean);
    EXPECT_TRUE(doc["ports"][2]["printerPresent"].IsNull());  // a free port has no printer
    EXPECT_EQ(doc["errors"][0]["code"].number, 5);
    EXPECT_NE(doc["errors"][0]["message"].text.find("reading the file version of C:\\Program"),
              std::string::npos);
    std::set<std::string> keys;
    CollectKeys(doc, "", keys);
    EXPECT_EQ(keys, DocumentedKeys());

    console = {};
    ASSERT_EQ(Run({"list"}), 0);
    EXPECT_EQ(console.out.rfind("Host LANE-017, 2026-12-09T08:30:05Z, tavports 1.2.3.4\n"
                                "Service Tavportsvc: running, version 1.0.0.1; port driver "
                                "installed: yes\n",
                                0),
              0u)
        << console.out;
    host.serviceState.reset();
    sim::SimDriverStore emptyStore(sim);
    setup::DriverPackagePlatform noDriver{files, emptyStore, debug};
    driverPackage = &noDriver;
    console = {};
    ASSERT_EQ(Run({"list", "--json"}), 0);
    doc = ParseJson(console.out);
    EXPECT_FALSE(doc["service"]["installed"].boolean);
    EXPECT_TRUE(doc["service"]["state"].IsNull());
    EXPECT_FALSE(doc["portDriverInstalled"].boolean);
    EXPECT_TRUE(doc["errors"].items.empty());  // not installed is no error
}

TEST_F(TavportsListTest, PortsAwayOrWithAProblemAreListedAndMarked) {
    tree.SetDevicePresent(absentPort, false);
    tree.UpdateDevice(freePort, [](sim::SimDevice& d) { d.problem = 28; });
    ASSERT_EQ(Run({"list", "--json"}), 0);
    Json doc = ParseJson(console.out);
    const Json& away = doc["ports"][1];
    EXPECT_FALSE(away["devicePresent"].boolean);
    EXPECT_EQ(away["comName"].text, "COM4");  // its key, link and COM name stay
    EXPECT_EQ(away["printer"].text, ToUtf8(unplugged));
    EXPECT_TRUE(away["problemCode"].IsNull());
    EXPECT_TRUE(doc["ports"][2]["devicePresent"].boolean);
    EXPECT_EQ(doc["ports"][2]["problemCode"].number, 28);
    EXPECT_TRUE(doc["ports"][0]["problemCode"].IsNull());
    console = {};
    ASSERT_EQ(Run({"list"}), 0);
    EXPECT_NE(console.out.find("  COM4: device away (not present now); it keeps its link and "
                               "COM name\n  COM5: device problem code 28\n"),
              std::string::npos)
        << console.out;
    // The service's pass lists the away port as well (no DIGCF_PRESENT), and the present
    // printers only: the away port keeps its link.
    core->ReconcilePorts();
    EXPECT_EQ(world.Link(absentPort), unplugged);
}

TEST_F(TavportsListTest, OutputWritesTheReportToAFileInUtf8) {
    ASSERT_EQ(Run({"list", "--json", "--output", "C:\\Temp\\lane.json"}), 0);
    EXPECT_TRUE(console.out.empty());
    ASSERT_EQ(host.files.count(u"C:\\Temp\\lane.json"), 1u);
    Json doc = ParseJson(host.files[u"C:\\Temp\\lane.json"]);
    EXPECT_EQ(doc["ports"].items.size(), 3u);
    ASSERT_EQ(Run({"explain", "/output:C:\\Temp\\lane.txt"}), 0);
    EXPECT_NE(host.files[u"C:\\Temp\\lane.txt"].find("COM3 is linked"), std::string::npos);
    EXPECT_EQ(Run({"list", "--output=C:\\Nowhere\\lane.txt"}), 1);
    EXPECT_EQ(console.err,
              "tavports: writing C:\\Nowhere\\lane.txt failed: The system cannot find the path "
              "specified. (error 3)\n");
    EXPECT_TRUE(console.out.empty());
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
    EXPECT_EQ(doc["errors"][0]["code"].number, 87);
    EXPECT_EQ(doc["errors"][0]["message"].text,
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
        {{"assign", "COM5"}, "assign needs a port and --printer"},
        {{"assign", "COM5", "--printer"}, "option '--printer' needs a value"},
        {{"prune", "--json"}, "unknown option '--json'"},
        {{"list", "--what-if"}, "unknown option '--what-if'"},
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
        EXPECT_NE(console.out.find("while the setup utility (tavsetup) runs"), std::string::npos);
        EXPECT_NE(console.out.find("assign <port> --printer <printer>"), std::string::npos);
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
