// Pins shared/win/startup.h to the SDK's values.
#include <windows.h>
// (after windows.h)
#include <commctrl.h>
#include <sddl.h>

#include "shared/win/startup.h"

namespace tav::win {

static_assert(kInitCommonControlsSize == sizeof(INITCOMMONCONTROLSEX), "INITCOMMONCONTROLSEX");
static_assert(kIccWin95Classes == ICC_WIN95_CLASSES, "ICC_WIN95_CLASSES");
static_assert(kSddlRevision1 == SDDL_REVISION_1, "SDDL_REVISION_1");

}  // namespace tav::win
