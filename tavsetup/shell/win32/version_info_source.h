#pragma once
// The version resource calls over GetModuleFileNameW and the version API.

#include "tavsetup/shell/version_line.h"

namespace tav::setup {

class Win32VersionInfoSource : public VersionInfoSource {
  public:
    std::u16string ModuleFileName(uint32_t capacity) override;
    uint32_t InfoSize(const std::u16string& path) override;
    bool ReadInfo(const std::u16string& path, std::vector<uint8_t>& info) override;
    std::optional<Translation> QueryTranslation(const std::vector<uint8_t>& info) override;
    std::optional<std::u16string> QueryString(const std::vector<uint8_t>& info,
                                              const std::u16string& subBlock) override;
};

}  // namespace tav::setup
