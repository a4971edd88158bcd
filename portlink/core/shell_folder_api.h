#pragma once
// The 32-bit program files folder, where the port driver's INF lives.

namespace tav::portsvc {

class ShellFolderApi {
  public:
    virtual ~ShellFolderApi() = default;

    // SHGetSpecialFolderPathW(no window, path, CSIDL_PROGRAM_FILESX86, no creation) into a
    // buffer of win::kMaxPath units; false on failure.
    virtual bool GetProgramFilesX86(char16_t* path) = 0;
};

}  // namespace tav::portsvc
