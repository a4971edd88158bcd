#include "tavsetup/shell/version_line.h"

#include <cstdio>

#include "shared/u16.h"

namespace tav::setup {

namespace {

constexpr uint32_t kModulePathCapacity = 516;
constexpr size_t kSubBlockCapacity = 260;  // characters including the terminator
constexpr size_t kTextCapacity = 256;

// Formatting into fixed buffers cuts the text to the buffer, terminator included.
std::u16string Cut(std::u16string text, size_t capacity) {
    if (text.size() > capacity - 1)
        text.resize(capacity - 1);
    return text;
}

std::u16string VersionPart(VersionInfoSource& source) {
    const std::u16string path = source.ModuleFileName(kModulePathCapacity);
    const uint32_t size = source.InfoSize(path);
    if (size == 0)
        return {};
    std::vector<uint8_t> info(size);
    if (!source.ReadInfo(path, info))
        return {};
    const auto translation = source.QueryTranslation(info);
    if (!translation)
        return {};
    const auto subBlock =
        Cut(FileVersionSubBlock(translation->language, translation->codePage), kSubBlockCapacity);
    const auto fileVersion = source.QueryString(info, subBlock);
    if (!fileVersion)
        return {};
    return Cut(u"  Version " + *fileVersion, kTextCapacity);
}

}  // namespace

std::u16string FileVersionSubBlock(uint16_t language, uint16_t codePage) {
    char hex[16];
    std::snprintf(hex, sizeof hex, "%04x%04x", language, codePage);
    return u"\\StringFileInfo\\" + FromUtf8(hex) + u"\\FileVersion";
}

std::u16string BuildVersionLine(const std::u16string& title, VersionInfoSource& source) {
    return Cut(title + u" " + VersionPart(source), kTextCapacity);
}

}  // namespace tav::setup
