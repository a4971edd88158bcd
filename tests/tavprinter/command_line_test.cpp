// The option forms both consoles take, and what tavprinter's command line makes of them.
#include <gtest/gtest.h>

#include "shared/tool_options.h"
#include "tavprinter/command_line.h"

namespace tav::test {
namespace {

using tavprinter::Command;
using tavprinter::CommandLine;

TEST(ToolOptionTest, DashSlashAndCaseAreOneOption) {
    for (const char* arg : {"--json", "-JSON", "/Json"}) {
        auto option = ParseToolOption(arg);
        ASSERT_TRUE(option) << arg;
        EXPECT_EQ(option->name, "json");
        EXPECT_FALSE(option->value);
    }
    EXPECT_EQ(ParseToolOption("/printer:COM5")->value, "COM5");
    EXPECT_EQ(ParseToolOption("--printer=USB\\VID:1")->value, "USB\\VID:1");
    EXPECT_TRUE(IsHelpOption(*ParseToolOption("/?")));
    EXPECT_FALSE(ParseToolOption("COM5"));
    EXPECT_FALSE(ParseToolOption("-"));
}

TEST(TavprinterCommandLineTest, SetTakesEachSettingOnce) {
    CommandLine line;
    std::string error;
    ASSERT_TRUE(tavprinter::ParseCommandLine(
        {"SET", "/Driver-Type", "Serial", "--response=not-receive", "-serial", "auto", "/what-if"},
        &line, &error))
        << error;
    EXPECT_EQ(line.command, Command::kSet);
    EXPECT_EQ(line.set.serialDriver, true);
    EXPECT_EQ(line.set.receive, false);
    EXPECT_TRUE(line.set.serialAuto);
    EXPECT_TRUE(line.whatIf);

    EXPECT_FALSE(
        tavprinter::ParseCommandLine({"set", "--serial", "A", "--serial", "B"}, &line, &error));
    EXPECT_FALSE(tavprinter::ParseCommandLine({"list", "--what-if"}, &line, &error));
    EXPECT_FALSE(tavprinter::ParseCommandLine({"list", "--json=yes"}, &line, &error));
    ASSERT_TRUE(tavprinter::ParseCommandLine({"set", "--nonsense", "-h"}, &line, &error) ||
                !error.empty());
    ASSERT_TRUE(tavprinter::ParseCommandLine({"-H"}, &line, &error));
    EXPECT_EQ(line.command, Command::kHelp);
}

}  // namespace
}  // namespace tav::test
