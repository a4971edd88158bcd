// Identification: the acceptance rules of the IEEE 1284 device ID, through the transaction.

#include <cstring>

#include "sim/printer/device_id_firmware.h"
#include "tests/printer_link/printer_fixture.h"

namespace tav::test {
using namespace tav::setup;
namespace {

class DeviceId : public PrinterFixture {
  protected:
    void SetUp() override {
        sim::PrinterPlug plug;
        printer = world.AddPrinter(plug, idFirmware);
        link.pszDevicePath = printer.path;
        link.bSerialMode = 0;
    }
    int Check(const std::string& reply) {
        idFirmware->SetDeviceId(reply);
        return CheckPrinterId(world.platform, link);
    }
    void ExpectRejected() {
        for (char c : link.szDeviceId)
            ASSERT_EQ(c, 0);
        EXPECT_EQ(link.pszMfg, link.szDeviceId);
        EXPECT_EQ(link.pszMdl, link.szDeviceId);
    }
    std::shared_ptr<sim::DeviceIdFirmware> idFirmware = std::make_shared<sim::DeviceIdFirmware>();
};

TEST_F(DeviceId, TavPrinterIsAcceptedAndBothValuesAreCut) {
    ASSERT_TRUE(Check("MFG:TAV;MDL:HX-P100;CMD:ESCPOS;"));
    EXPECT_STREQ(link.pszMfg, "TAV");
    EXPECT_STREQ(link.pszMdl, "HX-P100");
    EXPECT_EQ(std::memcmp(link.szDeviceId, "MFG:TAV\0MDL:HX-P100\0CMD:ESCPOS;", 31), 0);
    EXPECT_EQ(link.hDevice, win::kNoHandle);
}

TEST_F(DeviceId, RequestIsTheIdControlCodeWith256BytesUnder500Ms) {
    ASSERT_TRUE(Check("MFG:TAV;MDL:HX-P100;"));
    EXPECT_EQ(world.trace.log.EntriesStartingWith("DeviceIoControl"),
              std::vector<std::string>{"DeviceIoControl 0x220034 in=0 out=256"});
    idFirmware->IdReply().never = true;
    const uint32_t start = Now();
    EXPECT_FALSE(CheckPrinterId(world.platform, link));
    EXPECT_EQ(Now() - start, 500u);
    ExpectRejected();
}

// The device ID may take half a second: an answer at 500 ms is read, one at 501 ms is not.
struct IdBudgetCase {
    const char* name;
    uint32_t delayMs;
    int accepted;
};
// Printed by its name, not as the bytes of the record.
void PrintTo(const IdBudgetCase& c, std::ostream* os) {
    *os << c.name;
}

class DeviceIdBudget : public DeviceId, public ::testing::WithParamInterface<IdBudgetCase> {};

TEST_P(DeviceIdBudget, AnswerWithinHalfASecondIsRead) {
    idFirmware->IdReply().delayMs = GetParam().delayMs;
    EXPECT_EQ(Check("MFG:TAV;MDL:HX-P100;"), GetParam().accepted);
}

INSTANTIATE_TEST_SUITE_P(Boundary, DeviceIdBudget,
                         ::testing::Values(IdBudgetCase{"OneMsBefore", 499, 1},
                                           IdBudgetCase{"AtTheBudget", 500, 1},
                                           IdBudgetCase{"OneMsAfter", 501, 0}),
                         [](const ::testing::TestParamInfo<IdBudgetCase>& c) {
                             return c.param.name;
                         });

TEST_F(DeviceId, KeyNamesAreNotExamined) {
    ASSERT_TRUE(Check("A:TAV;B:Model-77;"));
    EXPECT_STREQ(link.pszMdl, "Model-77");
}

TEST_F(DeviceId, SixteenBytesAreTooFewSeventeenAreEnough) {
    EXPECT_FALSE(Check("MFG:TAV;MDL:HX1;"));  // 16
    ExpectRejected();
    EXPECT_TRUE(Check("MFG:TAV;MDL:HX12;"));  // 17
}

TEST_F(DeviceId, ManufacturerMustBeExactlyTav) {
    for (const char* reply : {"MFG:tav;MDL:HX-P100;", "MFG:TAVX;MDL:HX-P100;",
                              "MFG: TAV;MDL:HX-P100;", "MFG:Epson;MDL:HX-P100;"}) {
        EXPECT_FALSE(Check(reply)) << reply;
        ExpectRejected();
    }
}

TEST_F(DeviceId, ExcludedModelIsRejectedInAnyLetterCase) {
    for (const char* reply :
         {"MFG:TAV;MDL:HX-Q42;", "MFG:TAV;MDL:hx-q42 Plus;", "MFG:TAV;MDL:Hx-Q42II;"}) {
        EXPECT_FALSE(Check(reply)) << reply;
        ExpectRejected();
    }
    EXPECT_TRUE(Check("MFG:TAV;MDL:HX-Q4;CMD:XYZ;"));  // shorter model never equals it
    EXPECT_TRUE(Check("MFG:TAV;MDL:HX-Q43;"));
}

TEST_F(DeviceId, MissingSeparatorsAreRejected) {
    for (const char* reply : {"MFG=TAV MDL=HX-P100 xx", "MFG:TAV MDL:HX-P100 CMD",
                              "MFG:TAV;MDL=HX-P100 CMD=x", "MFG:TAV;MDL:HX-P100 CMD"}) {
        EXPECT_FALSE(Check(reply)) << reply;
        ExpectRejected();
    }
}

TEST_F(DeviceId, TextEndsAtTheFirstNul) {
    EXPECT_FALSE(Check(std::string("MFG:TAV;MDL\0:HX-P100;CMD:X;", 27)));
    ExpectRejected();
}

TEST_F(DeviceId, ReplyFillingTheWholeBufferIsReadOnlyWithinIt) {
    std::string reply = "MFG:TAV;MDL:" + std::string(244, 'M');  // 256 bytes, no ";" at the end
    EXPECT_FALSE(Check(reply));
    ExpectRejected();
    reply[255] = ';';
    EXPECT_TRUE(Check(reply));
    EXPECT_EQ(std::strlen(link.pszMdl), 243u);
}

TEST_F(DeviceId, BytesBehindTheReplyFromAnEarlierReplyAreNotRead) {
    ASSERT_TRUE(Check("MFG:TAV;MDL:A;CMD:X;"));  // leaves a ";" at byte 19
    // A 19-byte reply without its last ";" must not borrow the old one behind it.
    EXPECT_FALSE(Check("MFG:TAV;MDL:HX-P100"));
    ExpectRejected();
}

TEST_F(DeviceId, FailedTransactionIsARejection) {
    ASSERT_TRUE(Check("MFG:TAV;MDL:HX-P100;"));
    idFirmware->IdReply().error = win::kErrorGenFailure;
    EXPECT_FALSE(CheckPrinterId(world.platform, link));
    ExpectRejected();
}

}  // namespace
}  // namespace tav::test
