// The driver package lookup: the one-level INF search, the fallback name, the driver store
// answers with their debug texts, the store asked through SetupAPI where difxapi.dll is
// absent, the UMDF file test; on scripted listings and on real temporary folders.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <ostream>
#include <string>

#include "printer/settings/driver_package.h"
#include "printer/settings/module_directory.h"
#include "shared/last_error.h"
#include "shared/u16.h"
#include "sim/printer/sim_driver_store.h"
#include "sim/windows_values.h"
#include "tests/settings/file_system_fakes.h"

namespace tav {
using namespace tav::setup;
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

FindEntry Folder(std::u16string name) {
    return {win::kFileAttributeDirectory, std::move(name)};
}
FindEntry File(std::u16string name) {
    return {0x20, std::move(name)};
}

constexpr char16_t kUmdf[] = u"C:\\Windows\\system32\\drivers\\UMDF\\Tavport.dll";

class DriverPackageTest : public ::testing::Test {
  protected:
    test::MemoryFileSystem files;
    test::RecordingDriverStore store;
    test::RecordingDebugOutput debug;
    DriverPackagePlatform platform{files, store, debug};

    bool Available() { return IsPortDriverAvailable(platform); }
    void ExpectAllListingsClosed() { EXPECT_EQ(files.counter.opened, files.counter.closed); }
};

// --- the driver store table, one row each ---

struct StoreRow {
    uint32_t result;
    uint32_t numChars;
    const char16_t* text;  // none: nothing written
    bool answer;
};

// Named and printed by the store's answer and the count it gave back.
std::string StoreRowName(const StoreRow& row) {
    char name[40];
    std::snprintf(name, sizeof name, "Result0x%X_%uChars", static_cast<unsigned>(row.result),
                  static_cast<unsigned>(row.numChars));
    return name;
}
void PrintTo(const StoreRow& row, std::ostream* os) {
    *os << StoreRowName(row);
}

class DriverStoreTable : public DriverPackageTest,
                         public ::testing::WithParamInterface<StoreRow> {};

TEST_P(DriverStoreTable, AnswerAndDebugText) {
    files.existing.insert(u"C:\\App\\Tavport.inf");
    files.existing.insert(kUmdf);  // never consulted once the store was asked
    store.result = GetParam().result;
    store.numChars = GetParam().numChars;
    EXPECT_EQ(Available(), GetParam().answer);
    EXPECT_THAT(store.asked, ElementsAre(u"C:\\App\\Tavport.inf"));
    if (GetParam().text == nullptr)
        EXPECT_THAT(debug.texts, IsEmpty());
    else
        EXPECT_THAT(debug.texts, ElementsAre(GetParam().text));
}

INSTANTIATE_TEST_SUITE_P(
    EveryRow, DriverStoreTable,
    ::testing::Values(
        StoreRow{122, 57, nullptr, true}, StoreRow{122, 0, u"INSUFFICIENT_BUFFER", false},
        StoreRow{0xE0000244, 57, u"INSUFFICIENT_BUFFER", true},
        StoreRow{0xE0000244, 0, u"INSUFFICIENT_BUFFER", true},
        StoreRow{0xE0000302, 0, u"DRIVER_PACKAGE_NOT_IN_STORE", false},
        StoreRow{2, 0, u"FILE_NOT_FOUND", false}, StoreRow{14, 0, u"OUTOFMEMORY", false},
        StoreRow{87, 0, u"INVALID_PARAMETER", false}, StoreRow{123, 0, u"INVALID_NAME", false},
        StoreRow{206, 0, u"FILENAME_EXCED_RANGE", false},
        StoreRow{1630, 0, u"UNSUPPORTED_TYPE", false},
        StoreRow{1920, 0, u"CANT_ACCESS_FILE", false}, StoreRow{0xE0000235, 0, u"IN_WOW64", false},
        StoreRow{0, 57, u"UNKNOWN ERROR", false}, StoreRow{5, 0, u"UNKNOWN ERROR", false},
        // difxapi.dll loaded without the function: only an absent library turns to SetupAPI.
        StoreRow{127, 0, u"UNKNOWN ERROR", false},
        StoreRow{0xE0000300, 0, u"UNKNOWN ERROR", false}),
    [](const ::testing::TestParamInfo<StoreRow>& row) { return StoreRowName(row.param); });

// --- the simulated store, with and without difxapi.dll ---

class SimulatedDriverStore : public ::testing::Test {
  protected:
    static constexpr char16_t kInf[] = u"C:\\App\\Tavport.inf";

    void SetUp() override {
        store.difxapiPresent = false;
        files.existing = {kInf, kUmdf};  // the UMDF file never decides once the store is asked
    }
    // The INF folder lists what the store published.
    void ListInfFolder() {
        std::vector<FindEntry> entries;
        for (const auto& name : store.PublishedNames())
            entries.push_back(File(name));
        files.Dir(u"C:\\Windows\\INF\\oem*.inf", entries);
    }
    std::vector<std::string> Located() {
        return trace.log.EntriesStartingWith("SetupGetInfDriverStoreLocationW");
    }

    test::MemoryFileSystem files;
    sim::SimTrace trace;
    sim::SimDriverStore store{trace};
    test::RecordingDebugOutput debug;
    DriverPackagePlatform platform{files, store, debug};
};

TEST_F(SimulatedDriverStore, WithoutDifxapiAPublishedInfOfTheSameNameAnswers) {
    store.Stage(u"D:\\Other\\usbser.inf");
    store.Stage(u"E:\\Setup\\TAVPORT.INF");  // staged from elsewhere; the store keeps the name
    store.Stage(u"D:\\Other\\later.inf");
    ListInfFolder();
    trace.faults.Fail("SetupGetInfDriverStoreLocationW", 5);  // a failure passes to the next
    EXPECT_TRUE(IsPortDriverAvailable(platform));
    EXPECT_THAT(debug.texts, ElementsAre(u"MOD_NOT_FOUND"));
    EXPECT_THAT(Located(), ElementsAre("SetupGetInfDriverStoreLocationW oem0.inf",
                                       "SetupGetInfDriverStoreLocationW oem1.inf"));
    EXPECT_EQ(files.counter.opened, files.counter.closed);
}

TEST_F(SimulatedDriverStore, WithoutDifxapiAPackageNotStagedIsNotInstalled) {
    store.Stage(u"D:\\Other\\usbser.inf");
    ListInfFolder();
    EXPECT_FALSE(IsPortDriverAvailable(platform));
    EXPECT_THAT(debug.texts, ElementsAre(u"MOD_NOT_FOUND", u"DRIVER_PACKAGE_NOT_IN_STORE"));

    store.Stage(kInf);
    files.windowsDirectory.clear();  // no Windows folder: nothing to list
    EXPECT_FALSE(IsPortDriverAvailable(platform));
    EXPECT_THAT(Located(), ElementsAre("SetupGetInfDriverStoreLocationW oem0.inf"));
}

TEST_F(SimulatedDriverStore, WithDifxapiOnlyDifxapiIsAsked) {
    store.difxapiPresent = true;
    EXPECT_FALSE(IsPortDriverAvailable(platform));
    EXPECT_THAT(debug.texts, ElementsAre(u"DRIVER_PACKAGE_NOT_IN_STORE"));
    store.Stage(kInf);
    ListInfFolder();
    EXPECT_TRUE(IsPortDriverAvailable(platform));
    EXPECT_THAT(debug.texts, ElementsAre(u"DRIVER_PACKAGE_NOT_IN_STORE"));
    EXPECT_THAT(Located(), IsEmpty());
}

// The documented answers the lookup relies on.
TEST_F(SimulatedDriverStore, QueriesAnswerAsWindowsDoes) {
    store.difxapiPresent = true;
    const std::u16string published = store.Stage(kInf);
    char16_t path[sim::sdk::kMaxPath] = {};
    uint32_t required = 0;
    // The size asked first: counted with the terminator.
    EXPECT_EQ(store.InfDriverStoreLocation(published, nullptr, 0, &required), 0);
    EXPECT_EQ(GetLastErrorCode(), sim::sdk::kErrorInsufficientBuffer);
    ASSERT_EQ(store.InfDriverStoreLocation(published, path, required, &required), 1);
    const std::u16string stored = path;
    EXPECT_EQ(stored.size() + 1, required);
    EXPECT_TRUE(StartsWithNoCase(stored, u"C:\\Windows\\System32\\DriverStore\\FileRepository\\"));
    EXPECT_EQ(stored.substr(stored.rfind(u'\\')), u"\\tavport.inf");
    // The published copy by full path and the stored copy answer alike; the package's own
    // INF is no INF SetupAPI places.
    for (const std::u16string& name : {u"c:\\windows\\inf\\" + published, stored}) {
        path[0] = 0;
        EXPECT_EQ(store.InfDriverStoreLocation(name, path, sim::sdk::kMaxPath, nullptr), 1);
        EXPECT_EQ(std::u16string(path), stored);
    }
    EXPECT_EQ(store.InfDriverStoreLocation(kInf, path, sim::sdk::kMaxPath, nullptr), 0);
    EXPECT_EQ(GetLastErrorCode(), sim::sdk::kErrorFileNotFound);
    EXPECT_EQ(store.InfDriverStoreLocation(published, nullptr, 4, nullptr), 0);
    EXPECT_EQ(GetLastErrorCode(), sim::sdk::kErrorInvalidParameter);
    // DIFx refuses a published copy.
    uint32_t chars = sim::sdk::kMaxPath;
    EXPECT_EQ(store.DriverPackageGetPath(u"C:\\Windows\\INF\\" + published, path, &chars),
              sim::sdk::kErrorCantAccessFile);
    EXPECT_EQ(store.DriverPackageGetPath(kInf, path, &chars), 0u);
    EXPECT_EQ(std::u16string(path), stored);
}

// --- the search ---

TEST_F(DriverPackageTest, InfBesideTheExecutableIsFoundThroughTheDotEntry) {
    files.Dir(u"C:\\App\\*", {Folder(u"."), Folder(u".."), File(u"tavsetup.exe")});
    files.Dir(u"C:\\App\\.\\Tav*.inf", {File(u"TavSer.inf")});
    files.existing.insert(u"C:\\App\\.\\TavSer.inf");
    EXPECT_TRUE(Available());
    EXPECT_THAT(store.asked, ElementsAre(u"C:\\App\\.\\TavSer.inf"));
    // ".." is never searched, files are not taken for folders.
    EXPECT_THAT(files.counter.patterns, ElementsAre(u"C:\\App\\*", u"C:\\App\\.\\Tav*.inf"));
    ExpectAllListingsClosed();
}

TEST_F(DriverPackageTest, WithoutADotEntryOnlyTheFallbackNameFindsAnInfBeside) {
    files.Dir(u"C:\\App\\*", {File(u"TavSer.inf"), File(u"Tavport.inf")});
    files.existing.insert(u"C:\\App\\Tavport.inf");
    files.existing.insert(u"C:\\App\\TavSer.inf");
    EXPECT_TRUE(Available());
    EXPECT_THAT(store.asked, ElementsAre(u"C:\\App\\Tavport.inf"));
}

TEST_F(DriverPackageTest, FoldersAreTakenInListingOrderAndTheFirstInfWins) {
    files.Dir(u"C:\\App\\*", {Folder(u".."), Folder(u"b"), Folder(u"."), Folder(u"a")});
    files.Dir(u"C:\\App\\b\\Tav*.inf", {File(u"TavB2.inf"), File(u"TavB1.inf")});
    files.Dir(u"C:\\App\\.\\Tav*.inf", {File(u"TavDot.inf")});
    files.existing = {u"C:\\App\\b\\TavB2.inf", u"C:\\App\\b\\TavB1.inf",
                      u"C:\\App\\.\\TavDot.inf"};
    EXPECT_TRUE(Available());
    EXPECT_THAT(store.asked, ElementsAre(u"C:\\App\\b\\TavB2.inf"));
    // The search ends at the first find: "." and "a" are never listed.
    EXPECT_THAT(files.counter.patterns, ElementsAre(u"C:\\App\\*", u"C:\\App\\b\\Tav*.inf"));
    ExpectAllListingsClosed();
}

TEST_F(DriverPackageTest, AFolderMatchingThePatternIsPassedOver) {
    files.Dir(u"C:\\App\\*", {Folder(u"drv")});
    files.Dir(u"C:\\App\\drv\\Tav*.inf", {Folder(u"TavOld.inf"), File(u"Tavport.inf")});
    files.existing.insert(u"C:\\App\\drv\\Tavport.inf");
    EXPECT_TRUE(Available());
    EXPECT_THAT(store.asked, ElementsAre(u"C:\\App\\drv\\Tavport.inf"));
}

TEST_F(DriverPackageTest, AFolderWithoutInfIsPassedAndTheNextOneSearched) {
    files.Dir(u"C:\\App\\*", {Folder(u"empty"), Folder(u"drv")});
    files.Dir(u"C:\\App\\drv\\Tav*.inf", {File(u"TavX.inf")});
    files.existing.insert(u"C:\\App\\drv\\TavX.inf");
    EXPECT_TRUE(Available());
    EXPECT_THAT(store.asked, ElementsAre(u"C:\\App\\drv\\TavX.inf"));
    ExpectAllListingsClosed();
}

TEST_F(DriverPackageTest, ACandidateThatDoesNotExistFallsBackToTheFixedName) {
    files.Dir(u"C:\\App\\*", {Folder(u"drv")});
    files.Dir(u"C:\\App\\drv\\Tav*.inf", {File(u"TavGone.inf")});
    files.existing.insert(u"C:\\App\\Tavport.inf");
    EXPECT_TRUE(Available());
    EXPECT_THAT(store.asked, ElementsAre(u"C:\\App\\Tavport.inf"));
}

TEST_F(DriverPackageTest, WithoutAnyInfTheUmdfFileDecides) {
    EXPECT_FALSE(Available());
    files.existing.insert(kUmdf);
    EXPECT_TRUE(Available());
    EXPECT_THAT(store.asked, IsEmpty());
    EXPECT_THAT(debug.texts, IsEmpty());
    EXPECT_EQ(files.existenceTests.back(), kUmdf);
}

TEST_F(DriverPackageTest, NoSystemDirectoryMeansNotInstalled) {
    files.existing.insert(kUmdf);
    files.failSystemDirectory = true;
    EXPECT_FALSE(Available());
}

TEST_F(DriverPackageTest, PackageNotInStoreIsNoEvenWhenTheUmdfFileExists) {
    files.existing = {u"C:\\App\\Tavport.inf", kUmdf};
    store.result = 0xE0000302;
    EXPECT_FALSE(Available());
    EXPECT_THAT(debug.texts, ElementsAre(u"DRIVER_PACKAGE_NOT_IN_STORE"));
}

TEST_F(DriverPackageTest, NoExecutablePathMeansNotInstalled) {
    files.modulePath.clear();
    files.existing.insert(kUmdf);
    EXPECT_FALSE(Available());
    EXPECT_THAT(files.counter.patterns, IsEmpty());
}

TEST_F(DriverPackageTest, OverlongPathsAreCutAt519Characters) {
    const std::u16string deep = u"C:\\" + std::u16string(530, u'd');
    files.modulePath = deep + u"\\tavsetup.exe";
    files.existing.insert(kUmdf);
    EXPECT_TRUE(Available());
    ASSERT_FALSE(files.counter.patterns.empty());
    EXPECT_EQ(files.counter.patterns[0].size(), 519u);
    for (const auto& tested : files.existenceTests)
        EXPECT_LE(tested.size(), 519u);
}

// --- GetModuleDirectory ---

TEST(ModuleDirectory, CutAtTheLastBackslash) {
    test::MemoryFileSystem files;
    files.modulePath = u"C:\\Program Files\\TAV\\tavsetup.exe";
    EXPECT_EQ(GetModuleDirectory(files), u"C:\\Program Files\\TAV");
}

TEST(ModuleDirectory, ACutPathIsReadAgainWithTwiceTheRoom) {
    test::MemoryFileSystem files;
    files.modulePath = u"C:\\" + std::u16string(1500, u'x') + u"\\tavsetup.exe";
    EXPECT_EQ(GetModuleDirectory(files), u"C:\\" + std::u16string(1500, u'x'));
    files.modulePath = u"C:\\" + std::u16string(1019, u'x') + u"\\a";  // exactly 1024 units
    EXPECT_EQ(GetModuleDirectory(files), u"C:\\" + std::u16string(1019, u'x'));
}

TEST(ModuleDirectory, NoBackslashGivesNone) {
    test::MemoryFileSystem files;
    files.modulePath = u"tavsetup.exe";
    EXPECT_FALSE(GetModuleDirectory(files).has_value());
}

TEST(ModuleDirectory, BufferSizesWhoseByteCountOverflowsAreRefused) {
    EXPECT_TRUE(UnitBufferFits(1024));
    EXPECT_TRUE(UnitBufferFits(0x7FFFFFFFull));
    EXPECT_FALSE(UnitBufferFits(0x80000000ull));
}

// --- real folders ---

class DriverPackageOnDisk : public ::testing::Test {
  protected:
    std::filesystem::path root;
    test::PosixFileSystem files;
    test::RecordingDriverStore store;
    test::RecordingDebugOutput debug;
    DriverPackagePlatform platform{files, store, debug};

    void SetUp() override {
        std::string tmpl = (std::filesystem::temp_directory_path() / "tavpkgXXXXXX").string();
        ASSERT_NE(mkdtemp(tmpl.data()), nullptr);
        root = tmpl;
        std::filesystem::create_directories(root / "app");
        std::filesystem::create_directories(root / "sys");
        Touch("app/tavsetup.exe");
        files.modulePath = test::PosixFileSystem::Windows((root / "app/tavsetup.exe").string());
        files.systemDirectory = test::PosixFileSystem::Windows((root / "sys").string());
    }
    void TearDown() override { std::filesystem::remove_all(root); }
    void Touch(const std::string& relative) {
        std::filesystem::create_directories((root / relative).parent_path());
        std::ofstream(root / relative) << "[Version]\n";
    }
    std::u16string W(const std::string& relative) {
        return test::PosixFileSystem::Windows((root / relative).string());
    }
};

TEST_F(DriverPackageOnDisk, InfOneFolderBelow) {
    Touch("app/driver/Tavport.inf");
    EXPECT_TRUE(IsPortDriverAvailable(platform));
    EXPECT_THAT(store.asked, ElementsAre(W("app") + u"\\driver\\Tavport.inf"));
    EXPECT_EQ(files.counter.opened, files.counter.closed);
}

TEST_F(DriverPackageOnDisk, InfDirectlyBesideIsFoundThroughDot) {
    Touch("app/TavSerial.inf");
    EXPECT_TRUE(IsPortDriverAvailable(platform));
    EXPECT_THAT(store.asked, ElementsAre(W("app") + u"\\.\\TavSerial.inf"));
}

TEST_F(DriverPackageOnDisk, InfTwoFoldersBelowIsNotFound) {
    Touch("app/a/b/Tavport.inf");
    EXPECT_FALSE(IsPortDriverAvailable(platform));
    Touch("sys/drivers/UMDF/Tavport.dll");
    EXPECT_TRUE(IsPortDriverAvailable(platform));
    EXPECT_THAT(store.asked, IsEmpty());
}

TEST_F(DriverPackageOnDisk, DirectoryNamedLikeAnInfIsSkipped) {
    std::filesystem::create_directories(root / "app/drv/TavOld.inf");
    Touch("app/drv/TavNew.inf");
    EXPECT_TRUE(IsPortDriverAvailable(platform));
    EXPECT_THAT(store.asked, ElementsAre(W("app") + u"\\drv\\TavNew.inf"));
}

TEST_F(DriverPackageOnDisk, PackageMissingFromTheStore) {
    Touch("app/drv/Tavport.inf");
    Touch("sys/drivers/UMDF/Tavport.dll");
    store.result = 0xE0000302;
    EXPECT_FALSE(IsPortDriverAvailable(platform));
    EXPECT_THAT(debug.texts, ElementsAre(u"DRIVER_PACKAGE_NOT_IN_STORE"));
}

}  // namespace
}  // namespace tav
