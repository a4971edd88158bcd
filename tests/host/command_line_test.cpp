#include <gtest/gtest.h>

#include "tavportsvc/host/command_line.h"

namespace tav::portsvc::host {
namespace {

char16_t AsciiUpper(char16_t c) {
    return (c >= u'a' && c <= u'z') ? static_cast<char16_t>(c - 32) : c;
}

CommandSwitch Scan(std::u16string_view line) {
    return ScanCommandLine(line, AsciiUpper);
}

TEST(CommandLineTest, NoSwitchRunsTheService) {
    EXPECT_EQ(Scan(u"\"C:\\Program Files\\TAV\\Tavportsvc.exe\""), CommandSwitch::None);
    EXPECT_EQ(Scan(u""), CommandSwitch::None);
    EXPECT_EQ(Scan(u"x.exe -"), CommandSwitch::None);
    EXPECT_EQ(Scan(u"x.exe /"), CommandSwitch::None);
}

TEST(CommandLineTest, SwitchesMatchInAnyLetterCaseAfterDashOrSlash) {
    EXPECT_EQ(Scan(u"x.exe -service"), CommandSwitch::Service);
    EXPECT_EQ(Scan(u"x.exe /SERVICE"), CommandSwitch::Service);
    EXPECT_EQ(Scan(u"x.exe -SeRvIcE"), CommandSwitch::Service);
    EXPECT_EQ(Scan(u"x.exe /regserver"), CommandSwitch::RegServer);
    EXPECT_EQ(Scan(u"x.exe -UNREGSERVER"), CommandSwitch::UnregServer);
    EXPECT_EQ(Scan(u"x.exe -RegServerPerUser"), CommandSwitch::RegServerPerUser);
    EXPECT_EQ(Scan(u"x.exe /unregserverperuser"), CommandSwitch::UnregServerPerUser);
}

TEST(CommandLineTest, RegistrationSwitchWinsOverServiceInEitherOrder) {
    EXPECT_EQ(Scan(u"x.exe -Service -RegServer"), CommandSwitch::RegServer);
    EXPECT_EQ(Scan(u"x.exe -RegServer -Service"), CommandSwitch::RegServer);
    EXPECT_EQ(Scan(u"x.exe /Service /UnregServer"), CommandSwitch::UnregServer);
}

TEST(CommandLineTest, FirstRegistrationTokenDecides) {
    EXPECT_EQ(Scan(u"x.exe -RegServer -UnregServer"), CommandSwitch::RegServer);
    EXPECT_EQ(Scan(u"x.exe -UnregServerPerUser -RegServer"), CommandSwitch::UnregServerPerUser);
}

TEST(CommandLineTest, TokenMustEndWhereTheSwitchEnds) {
    EXPECT_EQ(Scan(u"x.exe -Service:"), CommandSwitch::None);
    EXPECT_EQ(Scan(u"x.exe -Services"), CommandSwitch::None);
    EXPECT_EQ(Scan(u"x.exe -Serv"), CommandSwitch::None);
    EXPECT_EQ(Scan(u"x.exe -RegServer:x"), CommandSwitch::None);
    EXPECT_EQ(Scan(u"x.exe -RegServer\t"), CommandSwitch::RegServer);
    EXPECT_EQ(Scan(std::u16string_view(u"x.exe -RegServer\0junk", 21)), CommandSwitch::RegServer);
}

TEST(CommandLineTest, TokensInsideTheProgramPathCount) {
    EXPECT_EQ(Scan(u"C:\\a-RegServer b\\x.exe"), CommandSwitch::RegServer);
    EXPECT_EQ(Scan(u"C:\\tools-RegServer"), CommandSwitch::RegServer);
    EXPECT_EQ(Scan(u"C:\\my-service\\x.exe"), CommandSwitch::None);
    // A slash inside a word starts a token too.
    EXPECT_EQ(Scan(u"x.exe abc/Service"), CommandSwitch::Service);
}

TEST(CommandLineTest, NothingAfterTheFirstNulIsRead) {
    EXPECT_EQ(Scan(std::u16string_view(u"x.exe\0-Service", 14)), CommandSwitch::None);
}

TEST(CommandLineTest, UsesTheGivenUpperCaseFunction) {
    // A system upper-casing that maps dotless i to I lets "-servıce" match.
    auto upper = [](char16_t c) { return c == u'\u0131' ? u'I' : AsciiUpper(c); };
    EXPECT_EQ(ScanCommandLine(u"x.exe -serv\u0131ce", upper), CommandSwitch::Service);
    EXPECT_EQ(ScanCommandLine(u"x.exe -serv\u0131ce", AsciiUpper), CommandSwitch::None);
}

}  // namespace
}  // namespace tav::portsvc::host
