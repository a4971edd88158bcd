// Text queries: framing over several reads, the one-second reply window, the collection
// limit, and the drains around a failure. Virtual time, scripted transactions.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <ostream>

#include <cstring>
#include <string>
#include <vector>

#include "printer/settings/settings_protocol.h"
#include "printer/settings/text_query.h"
#include "tests/settings/scripted_channel.h"

namespace tav {
using namespace tav::setup;
namespace {

using Bytes = std::vector<uint8_t>;
using ::testing::ElementsAre;

Bytes Text(const std::string& s) {
    return Bytes(s.begin(), s.end());
}

class TextQueryTest : public ::testing::Test {
  protected:
    test::ScriptedChannel ch;
    PrinterTextField field;

    void SetUp() override { std::memset(field, 'Z', sizeof field); }
    uint64_t Elapsed() const { return ch.clock.Elapsed(); }
};

TEST_F(TextQueryTest, TextAcrossTwoReads) {
    ch.ReplyBytes({0x41, 0x02, 0x41, 0x42});
    ch.ReplyBytes({0x43, 0x00});
    EXPECT_TRUE(QueryUsbSerial(ch, field));
    EXPECT_STREQ(field, "ABC");
    // Drain, write, two reads; success needs no second drain.
    EXPECT_THAT(ch.ReadSizes(), ElementsAre(256u, 64u, 64u));
    ASSERT_EQ(ch.log.size(), 4u);
    EXPECT_THAT(ch.log[1].in, ElementsAre(0x12, 0x75, 0x02));
    EXPECT_FALSE(ch.log[1].hasCount);
    EXPECT_EQ(ch.log[0].budgetMs, 500u);
    EXPECT_EQ(ch.log[1].budgetMs, 1000u);
    EXPECT_EQ(ch.log[2].budgetMs, 500u);
}

TEST_F(TextQueryTest, EmptyTextSucceedsWithAZeroedField) {
    ch.ReplyBytes({0x02, 0x00});
    EXPECT_TRUE(QueryUnitSerial(ch, field));
    for (char c : field)
        EXPECT_EQ(c, 0);
    EXPECT_EQ(ch.log[1].in.size(), 21u);
}

TEST_F(TextQueryTest, GarbageBeforeStxAndBytesAfterNulAreIgnored) {
    ch.ReplyBytes(
        Text(std::string("\x7F\x55\x41") + "\x02" + "SN-1" + std::string(1, '\0') + "\x02TAIL"));
    EXPECT_TRUE(QueryUsbSerial(ch, field));
    EXPECT_STREQ(field, "SN-1");
    EXPECT_THAT(ch.ReadSizes(), ElementsAre(256u, 64u));
}

TEST_F(TextQueryTest, TextOf32OrMoreCharactersIsCutTo31) {
    const std::string longText(40, 'L');
    Bytes reply = {0x02};
    reply.insert(reply.end(), longText.begin(), longText.end());
    reply.push_back(0x00);
    ch.ReplyBytes(reply);
    EXPECT_TRUE(QueryUnitSerial(ch, field));
    EXPECT_EQ(std::string(field), std::string(31, 'L'));
}

TEST_F(TextQueryTest, SilentPrinterFailsAfterTheWindowAndDrainsTwice) {
    // Every read runs out its 500 ms: 500 (drain) + 3 x 500 (the third read ends past
    // one second after the write) + 500 (drain).
    EXPECT_FALSE(QueryUsbSerial(ch, field));
    EXPECT_THAT(ch.ReadSizes(), ElementsAre(256u, 64u, 64u, 64u, 256u));
    EXPECT_EQ(Elapsed(), 2500u);
    for (char c : field)
        EXPECT_EQ(c, 0);  // zeroed once the write went out
}

TEST_F(TextQueryTest, BytesWithoutStxForMoreThanASecondFail) {
    for (int i = 0; i < 20; ++i)
        ch.ReplyBytes(Bytes(10, 0x41), 100);
    EXPECT_FALSE(QueryUsbSerial(ch, field));
    // 11 reply reads of 100 ms: the first check past 1000 ms gives up.
    const auto sizes = ch.ReadSizes();
    ASSERT_EQ(sizes.size(), 13u);
    EXPECT_EQ(sizes.front(), 256u);
    EXPECT_EQ(sizes.back(), 256u);
    EXPECT_EQ(Elapsed(), 500u + 1100u + 500u);
}

// The reply window is one second from the write: after a read that ends at 1000 ms another
// read follows; after one that ends at 1001 ms the query gives up.
struct ReplyWindowCase {
    const char* name;
    uint32_t secondReadMs;
    int result;
};
// Printed by its name, not as the bytes of the record.
void PrintTo(const ReplyWindowCase& c, std::ostream* os) {
    *os << c.name;
}

class ReplyWindow : public TextQueryTest, public ::testing::WithParamInterface<ReplyWindowCase> {};

TEST_P(ReplyWindow, ReadEndingAtTheWindowIsFollowedByAnother) {
    ch.ReplyBytes(Bytes(10, 0x41), 600);
    ch.ReplyBytes(Bytes(10, 0x41), GetParam().secondReadMs);
    ch.ReplyBytes({0x02, 'O', 'K', 0x00}, 10);
    EXPECT_EQ(QueryUsbSerial(ch, field), GetParam().result);
}

INSTANTIATE_TEST_SUITE_P(Boundary, ReplyWindow,
                         ::testing::Values(ReplyWindowCase{"OneMsBefore", 399, 1},
                                           ReplyWindowCase{"AtTheWindow", 400, 1},
                                           ReplyWindowCase{"OneMsAfter", 401, 0}),
                         [](const ::testing::TestParamInfo<ReplyWindowCase>& c) {
                             return c.param.name;
                         });

// What each transaction of a query may take: the drains and the reply reads half a second,
// the query's write a second (a write that is never taken counts as sent at its deadline).
TEST_F(TextQueryTest, EachTransactionCarriesItsBudget) {
    ch.ReplyBytes({0x02, 'O', 'K', 0x00});
    ASSERT_TRUE(QueryUsbSerial(ch, field));
    std::vector<uint32_t> budgets;
    for (const auto& t : ch.log)
        budgets.push_back(t.budgetMs);
    EXPECT_THAT(budgets, ElementsAre(500u, 1000u, 500u));
}

TEST_F(TextQueryTest, StxWithoutNulStopsAtTheCollectionLimit) {
    Bytes first(64, 0x41);
    first[0] = 0x02;
    ch.ReplyBytes(first);
    ch.ReplyBytes(Bytes(64, 0x42));
    ch.ReplyBytes(Bytes(64, 0x43));
    ch.ReplyBytes({0x00});  // would end the text, but is never read
    EXPECT_FALSE(QueryUsbSerial(ch, field));
    EXPECT_THAT(ch.ReadSizes(), ElementsAre(256u, 64u, 64u, 64u, 256u));
}

TEST_F(TextQueryTest, NulArrivingInTheLastAllowedReadSucceeds) {
    ch.ReplyBytes(Bytes(64, 0x41));
    ch.ReplyBytes(Bytes(64, 0x41));
    ch.ReplyBytes({0x41, 0x02, 'O', 'K', 0x00});
    EXPECT_TRUE(QueryUsbSerial(ch, field));
    EXPECT_STREQ(field, "OK");
}

TEST_F(TextQueryTest, RefusedWriteDrainsAndFailsWithoutReading) {
    ch.WriteResult(0);
    EXPECT_FALSE(QueryUsbSerial(ch, field));
    EXPECT_THAT(ch.ReadSizes(), ElementsAre(256u, 256u));
    EXPECT_EQ(field[0], 'Z');  // the field is zeroed only after the write
}

TEST_F(TextQueryTest, FailedReadsInsideTheWindowAreRetried) {
    test::ScriptedOutcome failed;
    failed.result = 0;
    failed.count = 0;
    failed.elapsedMs = 200;
    ch.Reply(failed);
    ch.ReplyBytes({0x02, 'X', 0x00});
    EXPECT_TRUE(QueryUsbSerial(ch, field));
    EXPECT_STREQ(field, "X");
}

TEST_F(TextQueryTest, StaleBytesAreDrainedBeforeTheQuery) {
    ch.DrainReply({1, {0x02, 'O', 'L', 'D', 0x00}, 0xFFFFFFFF, 5});
    ch.ReplyBytes({0x02, 'N', 'E', 'W', 0x00});
    EXPECT_TRUE(QueryUsbSerial(ch, field));
    EXPECT_STREQ(field, "NEW");
}

}  // namespace
}  // namespace tav
