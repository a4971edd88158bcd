#pragma once
// The about box's version line: the application title and the FileVersion string of the
// program's own version resource, as "<title>   Version <FileVersion>".

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace tav::setup {

// The version resource calls, one each.
class VersionInfoSource {
  public:
    virtual ~VersionInfoSource() = default;
    // The program's own file path (room for `capacity` characters).
    virtual std::u16string ModuleFileName(uint32_t capacity) = 0;
    // Size of the file's version information; 0 when it has none.
    virtual uint32_t InfoSize(const std::u16string& path) = 0;
    // Reads the version information into `info` (already sized). False on failure.
    virtual bool ReadInfo(const std::u16string& path, std::vector<uint8_t>& info) = 0;
    // First translation entry of "\VarFileInfo\Translation", if any.
    struct Translation {
        uint16_t language;
        uint16_t codePage;
    };
    virtual std::optional<Translation> QueryTranslation(const std::vector<uint8_t>& info) = 0;
    // A string value of the information, if the sub-block exists.
    virtual std::optional<std::u16string> QueryString(const std::vector<uint8_t>& info,
                                                      const std::u16string& subBlock) = 0;
};

// "\StringFileInfo\llllcccc\FileVersion" for a translation entry.
std::u16string FileVersionSubBlock(uint16_t language, uint16_t codePage);

// The whole line; without version information it is the title and one blank.
std::u16string BuildVersionLine(const std::u16string& title, VersionInfoSource& source);

}  // namespace tav::setup
