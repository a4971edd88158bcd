// Pins shared/win/messages.h to the SDK's values.
#include <windows.h>
// (after windows.h)
#include <dbt.h>

#include "shared/win/messages.h"

namespace tav::win {

static_assert(kWmDestroy == WM_DESTROY, "WM_DESTROY");
static_assert(kWmClose == WM_CLOSE, "WM_CLOSE");
static_assert(kWmHelp == WM_HELP, "WM_HELP");
static_assert(kWmKeyDown == WM_KEYDOWN, "WM_KEYDOWN");
static_assert(kWmCommand == WM_COMMAND, "WM_COMMAND");
static_assert(kWmSysCommand == WM_SYSCOMMAND, "WM_SYSCOMMAND");
static_assert(kWmTimer == WM_TIMER, "WM_TIMER");
static_assert(kWmCtlColorDlg == WM_CTLCOLORDLG, "WM_CTLCOLORDLG");
static_assert(kWmCtlColorStatic == WM_CTLCOLORSTATIC, "WM_CTLCOLORSTATIC");
static_assert(kWmDeviceChange == WM_DEVICECHANGE, "WM_DEVICECHANGE");
static_assert(kWmApp == WM_APP, "WM_APP");
static_assert(kBnClicked == BN_CLICKED, "BN_CLICKED");
static_assert(kEnChange == EN_CHANGE, "EN_CHANGE");
static_assert(kDbtDevNodesChanged == DBT_DEVNODES_CHANGED, "DBT_DEVNODES_CHANGED");
static_assert(kVkReturn == VK_RETURN, "VK_RETURN");
static_assert(kVkEscape == VK_ESCAPE, "VK_ESCAPE");
static_assert(kIdOk == IDOK, "IDOK");
static_assert(kIdCancel == IDCANCEL, "IDCANCEL");
static_assert(kMbOk == MB_OK, "MB_OK");
static_assert(kMbIconError == MB_ICONERROR, "MB_ICONERROR");
static_assert(kMbIconExclamation == MB_ICONEXCLAMATION, "MB_ICONEXCLAMATION");
static_assert(kMbTopmost == MB_TOPMOST, "MB_TOPMOST");

}  // namespace tav::win
