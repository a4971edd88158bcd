#include "portlink/core/win32/win32_types.h"
// (windows.h first)
#include <shlobj.h>

#include "portlink/core/win32/win32_port_adapters.h"

namespace tav::portsvc {

bool Win32ShellFolder::GetProgramFilesX86(char16_t* path) {
    return ::SHGetSpecialFolderPathW(nullptr, W(path), CSIDL_PROGRAM_FILESX86, FALSE) != FALSE;
}

}  // namespace tav::portsvc
