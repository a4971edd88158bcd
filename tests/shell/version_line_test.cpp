// The about box's version line over a fake version resource.

#include "tavsetup/shell/version_line.h"

#include <gtest/gtest.h>

#include "tav_version.h"

namespace tav::test {
using namespace tav::setup;
namespace {

class FakeVersionInfo : public VersionInfoSource {
  public:
    std::u16string ModuleFileName(uint32_t capacity) override {
        capacityAsked = capacity;
        return u"C:\\tavsetup.exe";
    }
    uint32_t InfoSize(const std::u16string&) override { return size; }
    bool ReadInfo(const std::u16string&, std::vector<uint8_t>& info) override {
        sizeRead = info.size();
        return readOk;
    }
    std::optional<Translation> QueryTranslation(const std::vector<uint8_t>&) override {
        return translation;
    }
    std::optional<std::u16string> QueryString(const std::vector<uint8_t>&,
                                              const std::u16string& subBlock) override {
        queried = subBlock;
        return fileVersion;
    }

    uint32_t size = 1200;
    bool readOk = true;
    std::optional<Translation> translation = Translation{0x0000, 0x03A4};
    std::optional<std::u16string> fileVersion = TAV_VERSION_U16;
    uint32_t capacityAsked = 0;
    size_t sizeRead = 0;
    std::u16string queried;
};

const std::u16string kTitle = u"Communication Settings Utility";

TEST(VersionLine, OwnResourceGivesTitleThreeBlanksAndVersion) {
    FakeVersionInfo info;
    EXPECT_EQ(BuildVersionLine(kTitle, info),
              u"Communication Settings Utility   Version " TAV_VERSION_U16);
    EXPECT_EQ(info.queried, u"\\StringFileInfo\\000003a4\\FileVersion");
    EXPECT_EQ(info.capacityAsked, 516u);
    EXPECT_EQ(info.sizeRead, 1200u);
}

TEST(VersionLine, MissingPiecesLeaveTheVersionPartEmpty) {
    FakeVersionInfo noResource;
    noResource.size = 0;
    FakeVersionInfo readFails;
    readFails.readOk = false;
    FakeVersionInfo noTranslation;
    noTranslation.translation.reset();
    FakeVersionInfo noFileVersion;
    noFileVersion.fileVersion.reset();
    for (FakeVersionInfo* info : {&noResource, &readFails, &noTranslation, &noFileVersion})
        EXPECT_EQ(BuildVersionLine(kTitle, *info), kTitle + u" ");
}

TEST(VersionLine, SubBlockUsesLowerCaseHexOfLanguageThenCodePage) {
    EXPECT_EQ(FileVersionSubBlock(0x0411, 0x04B0), u"\\StringFileInfo\\041104b0\\FileVersion");
    EXPECT_EQ(FileVersionSubBlock(0xABCD, 0xEF01), u"\\StringFileInfo\\abcdef01\\FileVersion");
}

TEST(VersionLine, LongTextsAreCutTo255Characters) {
    FakeVersionInfo info;
    info.fileVersion = std::u16string(400, u'9');
    const auto line = BuildVersionLine(kTitle, info);
    EXPECT_EQ(line.size(), 255u);
    EXPECT_EQ(line.substr(0, kTitle.size() + 11), kTitle + u"   Version ");
    EXPECT_EQ(BuildVersionLine(std::u16string(300, u'T'), info), std::u16string(255, u'T'));
}

}  // namespace
}  // namespace tav::test
