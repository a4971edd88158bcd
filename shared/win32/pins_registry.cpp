// Pins shared/win/registry.h to the SDK's values (the predefined keys: tests/wine/win_names).
#include <windows.h>

#include "shared/win/registry.h"

namespace tav::win {

static_assert(kKeyQueryValue == KEY_QUERY_VALUE, "KEY_QUERY_VALUE");
static_assert(kKeySetValue == KEY_SET_VALUE, "KEY_SET_VALUE");
static_assert(kKeyCreateSubKey == KEY_CREATE_SUB_KEY, "KEY_CREATE_SUB_KEY");
static_assert(kKeyRead == KEY_READ, "KEY_READ");
static_assert(kKeyWrite == KEY_WRITE, "KEY_WRITE");
static_assert(kRegOptionNonVolatile == REG_OPTION_NON_VOLATILE, "REG_OPTION_NON_VOLATILE");
static_assert(kRegSz == REG_SZ, "REG_SZ");
static_assert(kRegExpandSz == REG_EXPAND_SZ, "REG_EXPAND_SZ");
static_assert(kRegDword == REG_DWORD, "REG_DWORD");
static_assert(kRegMultiSz == REG_MULTI_SZ, "REG_MULTI_SZ");
static_assert(kRrfRtRegSz == RRF_RT_REG_SZ, "RRF_RT_REG_SZ");

}  // namespace tav::win
