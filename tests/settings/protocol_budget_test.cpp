// The settings protocol's budgets at their boundary, one millisecond either side, over the
// real transport in virtual time: the printer's answer comes `delay` ms after the request.
#include <gtest/gtest.h>

#include <ostream>

#include <algorithm>
#include <string>

#include "printer/settings/link_channel.h"
#include "printer/settings/settings_protocol.h"
#include "tests/printer_link/printer_fixture.h"

namespace tav::test {
using namespace tav::setup;
namespace {

constexpr uint32_t kOneSecond = 1000;

enum class Request { SettingsRead, SetRequest, SwitchBlock };

// `result`: what the request gives; a set request has no answer to wait for, so one the
// printer takes too late is cancelled at the deadline and still counts as sent.
struct BudgetCase {
    const char* name;
    Request request;
    uint32_t delayMs;
    int result;
};
// Printed by its name, not as the bytes of the record.
void PrintTo(const BudgetCase& c, std::ostream* os) {
    *os << c.name;
}

class ProtocolBudget : public PrinterFixture, public ::testing::WithParamInterface<BudgetCase> {
  protected:
    void SetUp() override { Plug(); }

    // Queues the printer's answer to the request, arriving after `delay`.
    void Answer(Request request, uint32_t delay) {
        switch (request) {
            case Request::SettingsRead:
                firmware->QueueIoctl(Reply(std::string(82, 'S'), delay));
                break;
            case Request::SetRequest:
                firmware->QueueWrite(Accept(4, delay));
                break;
            case Request::SwitchBlock:
                // The write is taken at once; what is left of the budget goes to the read.
                firmware->QueueWrite(Accept(13, 0));
                firmware->QueueRead(Reply(std::string(128, 'B'), delay));
                break;
        }
    }

    int Run(Request request) {
        LinkChannel channel{world.platform, link};
        switch (request) {
            case Request::SettingsRead: {
                SettingsBlock block;
                return ReadSettingsBlock(channel, block);
            }
            case Request::SetRequest:
                return SetPrinterResponse(channel, 0x7A);
            case Request::SwitchBlock: {
                SwitchBlock block;
                return ReadSwitchBlock(channel, block);
            }
        }
        return -1;
    }
};

TEST_P(ProtocolBudget, AnswerWithinTheSecondIsTakenAndOneMsLaterIsNot) {
    const BudgetCase& c = GetParam();
    Answer(c.request, c.delayMs);
    const uint32_t start = Now();
    EXPECT_EQ(Run(c.request), c.result);
    const uint32_t pause = c.request == Request::SwitchBlock ? 10 : 0;
    EXPECT_EQ(Now() - start, pause + std::min(c.delayMs, kOneSecond));
    EXPECT_EQ(Calls("CancelIo"), c.delayMs > kOneSecond ? 1u : 0u);
}

INSTANTIATE_TEST_SUITE_P(
    Boundary, ProtocolBudget,
    ::testing::Values(
        BudgetCase{"SettingsReadOneMsBefore", Request::SettingsRead, kOneSecond - 1, 1},
        BudgetCase{"SettingsReadAtTheBudget", Request::SettingsRead, kOneSecond, 1},
        BudgetCase{"SettingsReadOneMsAfter", Request::SettingsRead, kOneSecond + 1, 0},
        BudgetCase{"SetRequestOneMsBefore", Request::SetRequest, kOneSecond - 1, 1},
        BudgetCase{"SetRequestAtTheBudget", Request::SetRequest, kOneSecond, 1},
        BudgetCase{"SetRequestOneMsAfter", Request::SetRequest, kOneSecond + 1, 1},
        BudgetCase{"SwitchBlockOneMsBefore", Request::SwitchBlock, kOneSecond - 1, 1},
        BudgetCase{"SwitchBlockAtTheBudget", Request::SwitchBlock, kOneSecond, 1},
        BudgetCase{"SwitchBlockOneMsAfter", Request::SwitchBlock, kOneSecond + 1, 0}),
    [](const ::testing::TestParamInfo<BudgetCase>& c) { return c.param.name; });

}  // namespace
}  // namespace tav::test
