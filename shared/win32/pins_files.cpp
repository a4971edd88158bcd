// Pins shared/win/files.h to the SDK's values.
#include <windows.h>

#include "shared/win/files.h"

namespace tav::win {

static_assert(kMaxPath == MAX_PATH, "MAX_PATH");
static_assert(kFileAttributeDirectory == FILE_ATTRIBUTE_DIRECTORY, "FILE_ATTRIBUTE_DIRECTORY");
static_assert(kInvalidFileAttributes == INVALID_FILE_ATTRIBUTES, "INVALID_FILE_ATTRIBUTES");

}  // namespace tav::win
