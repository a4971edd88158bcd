// The decoding files against the provider's documented events, and the simulated trace
// session's rules: only the registered control GUID is enabled, only known message GUIDs
// decode, and only events within the enabled level and flags are expected.

#include <gmock/gmock.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>

#include "shared/u16.h"
#include "shared/win/errors.h"
#include "sim/ports/sim_trace_format.h"
#include "tests/port_core/port_core_fixture.h"
#include "tools/trace_format/tmf_writer.h"

namespace tav::test {
using namespace tav::portsvc;
namespace {

using sim::TmfItemType;
using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::IsEmpty;

constexpr TmfItemType L = TmfItemType::kLong;
constexpr TmfItemType W = TmfItemType::kWString;
constexpr TmfItemType A = TmfItemType::kString;

// The provider's events as an administrator's reader must decode them, written down
// independently of the service's table.
struct ExpectedEvent {
    const char* guid;
    uint16_t number;
    uint8_t level;
    std::vector<TmfItemType> items;
};
const char* const S = sim::kSimServiceMessageGuid;
const char* const D = sim::kSimDeviceMessageGuid;
const ExpectedEvent kExpected[] = {
    {S, 10, 2, {L}},       {S, 11, 2, {L}}, {S, 12, 2, {L}}, {S, 13, 2, {L}}, {S, 14, 2, {L}},
    {S, 15, 2, {L}},       {S, 16, 2, {}},  {S, 19, 2, {L}}, {S, 20, 4, {}},  {S, 21, 4, {L}},
    {S, 22, 4, {A, L, W}}, {S, 23, 4, {W}}, {S, 24, 2, {}},  {S, 25, 2, {W}}, {D, 10, 2, {L}},
    {D, 11, 4, {W, W}},    {D, 12, 4, {}},  {D, 13, 2, {W}}, {D, 14, 2, {W}}, {D, 15, 2, {L}},
    {D, 16, 2, {L}},       {D, 17, 2, {L}}, {D, 18, 2, {L}}, {D, 19, 2, {L}},
};

// The build's decoding folder: file name and text of each file.
std::map<std::string, std::string> BuildFiles() {
    std::map<std::string, std::string> files;
    for (const auto& entry : std::filesystem::directory_iterator(TAV_TRACE_TMF_DIR)) {
        std::ifstream in(entry.path(), std::ios::binary);
        std::stringstream text;
        text << in.rdbuf();
        files[entry.path().filename().string()] = text.str();
    }
    return files;
}

TEST(TraceFormatFiles, MatchEveryDocumentedEventAndNothingElse) {
    auto tmf = sim::TraceMessageFormat::LoadSearchFolder(TAV_TRACE_TMF_DIR);
    ASSERT_TRUE(tmf.has_value()) << "a decoding file does not parse";
    for (const auto& e : kExpected) {
        SCOPED_TRACE(testing::Message() << e.guid << " " << e.number);
        const sim::TmfMessage* m = tmf->Find(e.guid, e.number);
        ASSERT_NE(m, nullptr);
        EXPECT_EQ(m->level, e.level);
        EXPECT_EQ(m->flags, 1u);
        EXPECT_EQ(m->items, e.items);
    }
    EXPECT_EQ(tmf->Messages().size(), std::size(kExpected));
}

TEST(TraceFormatFiles, AreOnePerMessageGuidWithTheControlGuid) {
    std::map<std::string, std::string> generated;
    for (const auto& file : WriteTraceMessageFormatFiles())
        generated[file.name] = file.text;
    const auto files = BuildFiles();
    EXPECT_EQ(files, generated);
    ASSERT_EQ(files.size(), 2u);
    EXPECT_EQ(files.begin()->first, std::string(S) + ".tmf");
    EXPECT_EQ(files.rbegin()->first, std::string(D) + ".tmf");
    for (const auto& [name, text] : files)
        EXPECT_THAT(text, HasSubstr("\n// Control GUID: {6F2D8B14-C3A7-4E95-B0D2-7A41E9C6F538}\n"));
}

TEST(TraceFormatFiles, DecoderFindsAMessageGuidOnlyInTheFileOfItsName) {
    const auto folder = std::filesystem::path(testing::TempDir()) / "tmf_search_folder";
    std::filesystem::remove_all(folder);
    std::filesystem::create_directories(folder);
    const std::string service = BuildFiles().at(std::string(S) + ".tmf");
    std::ofstream(folder / (std::string(D) + ".tmf"), std::ios::binary) << service;
    auto tmf = sim::TraceMessageFormat::LoadSearchFolder(folder.string());
    ASSERT_TRUE(tmf.has_value());
    EXPECT_EQ(tmf->Find(S, 10), nullptr);
    std::ofstream(folder / (std::string(S) + ".tmf"), std::ios::binary) << service;
    tmf = sim::TraceMessageFormat::LoadSearchFolder(folder.string());
    ASSERT_TRUE(tmf.has_value());
    EXPECT_NE(tmf->Find(S, 10), nullptr);
    std::filesystem::remove_all(folder);
}

TEST(TraceFormatFile, DecoderRefusesMalformedEntries) {
    const std::string header = "2b9e4f71-d8c5-4a02-8e63-c15f0a7b94d2 Tavportsvc // SRC=s\n";
    const std::string good =
        "#typev x 10 \"%0e %10!u!\" //   LEVEL=TRACE_LEVEL_ERROR FLAGS=TRACE_FLAG_GENERAL "
        "FUNC=f\n{\nerror, ItemLong -- 10\n}\n";
    EXPECT_TRUE(sim::TraceMessageFormat::Parse(header + good).has_value());
    for (const std::string& bad : {
             good + good,  // a number twice
             std::string("#typev x 10 \"%0e\" //   LEVEL=TRACE_LEVEL_LOUD "
                         "FLAGS=TRACE_FLAG_GENERAL FUNC=f\n{\n}\n"),
             std::string("#typev x 10 \"%0e\" //   LEVEL=TRACE_LEVEL_ERROR "
                         "FLAGS=TRACE_FLAG_OTHER FUNC=f\n{\n}\n"),
             std::string("#typev x 10 \"%0e\" //   LEVEL=TRACE_LEVEL_ERROR "
                         "FLAGS=TRACE_FLAG_GENERAL FUNC=f\n{\nerror, ItemLong -- 11\n}\n"),
         }) {
        EXPECT_FALSE(sim::TraceMessageFormat::Parse(header + bad).has_value()) << bad;
    }
    EXPECT_FALSE(sim::TraceMessageFormat::Parse(good).has_value());  // no message GUID
}

class TraceSessionTest : public PortCoreTest {};

TEST_F(TraceSessionTest, PassEventsAreDeliveredWithTheDecodingFileTexts) {
    EnableTracing(4, 1);
    std::u16string printer = world.AddPrinter(u"A1");
    world.AddPort();
    Pass();
    auto events = world.recorder.Events();
    ASSERT_FALSE(events.empty());
    EXPECT_EQ(events[0].text, "Link: port 4096, printer " + ToUtf8(printer));
    EXPECT_THAT(world.recorder.Undecodable(), IsEmpty());
}

TEST_F(TraceSessionTest, SessionRefusesWhatItDidNotAskForOrCannotDecode) {
    core->Trace().Start();
    ASSERT_EQ(world.recorder.Enable(3, 1, 0x77), win::kErrorSuccess);
    const uint32_t code = 5;
    const Guid unknown = {
        0x2B9E4F71, 0xD8C5, 0x4A02, {0x8E, 0x63, 0xC1, 0x5F, 0x0A, 0x7B, 0x94, 0xD3}};
    const Guid service = {
        0x2B9E4F71, 0xD8C5, 0x4A02, {0x8E, 0x63, 0xC1, 0x5F, 0x0A, 0x7B, 0x94, 0xD2}};
    const TraceArg error{&code, 4};
    const TraceArg shortError{&code, 2};
    auto& r = world.recorder;
    r.Message(0x77, 0x2B, unknown, 10, 2, &error, 1);       // a message GUID nobody knows
    r.Message(0x77, 0x2B, service, 21, 4, &error, 1);       // information, session at level 3
    r.Message(0x77, 0x2B, service, 10, 4, &error, 1);       // sent at another level
    r.Message(0x77, 0x2B, service, 10, 2, &shortError, 1);  // argument of the wrong size
    r.Message(0x77, 0x2B, service, 17, 2, &error, 1);       // a number without a format
    r.Message(0x78, 0x2B, service, 10, 2, &error, 1);       // another logger
    r.Message(0x77, 0x2A, service, 10, 2, &error, 1);       // without TRACE_MESSAGE_SEQUENCE
    r.Message(0x77, 0x2B, service, 10, 2, &error, 1);       // the one good event
    auto undecodable = r.Undecodable();
    ASSERT_EQ(undecodable.size(), 7u);
    EXPECT_THAT(undecodable[0].reason, HasSubstr("unknown message GUID"));
    EXPECT_THAT(undecodable[1].reason, HasSubstr("above the enabled level"));
    EXPECT_THAT(undecodable[2].reason, HasSubstr("decoding file says 2"));
    EXPECT_THAT(undecodable[3].reason, HasSubstr("does not match its type"));
    EXPECT_THAT(undecodable[4].reason, HasSubstr("no format"));
    EXPECT_THAT(undecodable[5].reason, HasSubstr("logger"));
    EXPECT_THAT(undecodable[6].reason, HasSubstr("message flags"));
    EXPECT_THAT(r.Numbers(TraceModule::kService), ElementsAre(10));
    EXPECT_EQ(r.Events().at(0).text, "Cannot create or open the port's link key: error 5");
    r.ClearEvents();

    ASSERT_EQ(r.Enable(4, 2, 0x77), win::kErrorSuccess);  // flags without TRACE_FLAG_GENERAL
    r.Message(0x77, 0x2B, service, 10, 2, &error, 1);
    ASSERT_EQ(r.Undecodable().size(), 1u);
    EXPECT_THAT(r.Undecodable()[0].reason, HasSubstr("outside the enabled flags"));
    r.ClearEvents();
}

TEST_F(TraceSessionTest, OnlyTheProvidersControlGuidIsEnabled) {
    TraceControlRecord other;
    uint64_t registration = 0;
    const Guid stranger = {
        0x6F2D8B14, 0xC3A7, 0x4E95, {0xB0, 0xD2, 0x7A, 0x41, 0xE9, 0xC6, 0xF5, 0x39}};
    ASSERT_EQ(world.recorder.RegisterProvider(stranger, &other, &registration), win::kErrorSuccess);
    EXPECT_EQ(world.recorder.Enable(4, 1), 4200u);  // ERROR_WMI_GUID_NOT_FOUND
    EXPECT_EQ(other.level.load(), 0);
}

}  // namespace
}  // namespace tav::test
