#pragma once
// Conversions between the logic's opaque handles and Windows' own.

#include <windows.h>

#include "printer/link/platform.h"
#include "shared/guid.h"

namespace tav::setup {

inline HANDLE ToNative(Handle handle) {
    return reinterpret_cast<HANDLE>(handle);
}
inline Handle FromNative(HANDLE handle) {
    return reinterpret_cast<Handle>(handle);
}
// CreateFileW and SetupDiGetClassDevsW report failure as INVALID_HANDLE_VALUE.
inline Handle FromNativeOrInvalid(HANDLE handle) {
    return handle == INVALID_HANDLE_VALUE ? win::kNoHandle : FromNative(handle);
}

static_assert(sizeof(GUID) == sizeof(Guid), "GUID layout");
inline GUID ToNative(const Guid& g) {
    GUID native;
    native.Data1 = g.data1;
    native.Data2 = g.data2;
    native.Data3 = g.data3;
    for (int i = 0; i < 8; ++i)
        native.Data4[i] = g.data4[i];
    return native;
}
inline Guid FromNative(const GUID& g) {
    Guid guid;
    guid.data1 = g.Data1;
    guid.data2 = g.Data2;
    guid.data3 = g.Data3;
    for (int i = 0; i < 8; ++i)
        guid.data4[i] = g.Data4[i];
    return guid;
}

}  // namespace tav::setup
