#include <windows.h>
// After <windows.h>, which WIN32_LEAN_AND_MEAN keeps from including OLE.
#include <ole2.h>

#include <cstring>

#include "shared/win32/wide.h"
#include "tavportsvc/host/win32/win32_host_adapters.h"

namespace tav::portsvc::host {
namespace {

using RegisterForUserFn = HRESULT(WINAPI*)(ITypeLib*, LPOLESTR, LPOLESTR);
using UnregisterForUserFn = HRESULT(WINAPI*)(REFGUID, WORD, WORD, LCID, SYSKIND);

ITypeLib* AsLib(TypeLib lib) {
    return reinterpret_cast<ITypeLib*>(lib);
}

FARPROC OleAutExport(const char* name) {
    HMODULE oleaut = ::GetModuleHandleW(L"OLEAUT32.DLL");
    return oleaut ? ::GetProcAddress(oleaut, name) : nullptr;
}

}  // namespace

win::HResult Win32TypeLibraries::Load(const std::u16string& path, TypeLib& lib) {
    ITypeLib* loaded = nullptr;
    HRESULT hr = ::LoadTypeLib(AsWide(path), &loaded);
    lib = reinterpret_cast<TypeLib>(loaded);
    return hr;
}

win::HResult Win32TypeLibraries::HelpFile(TypeLib lib, std::u16string& helpFile) {
    BSTR file = nullptr;
    HRESULT hr = AsLib(lib)->GetDocumentation(-1, nullptr, nullptr, nullptr, &file);
    helpFile = FromWide(file);
    ::SysFreeString(file);
    return hr;
}

win::HResult Win32TypeLibraries::Attributes(TypeLib lib, TypeLibAttributes& attributes) {
    TLIBATTR* attr = nullptr;
    HRESULT hr = AsLib(lib)->GetLibAttr(&attr);
    if (FAILED(hr))
        return hr;
    std::memcpy(attributes.libid, &attr->guid, sizeof attributes.libid);
    attributes.lcid = attr->lcid;
    attributes.syskind = static_cast<uint32_t>(attr->syskind);
    attributes.majorVersion = attr->wMajorVerNum;
    attributes.minorVersion = attr->wMinorVerNum;
    AsLib(lib)->ReleaseTLibAttr(attr);
    return hr;
}

void Win32TypeLibraries::Release(TypeLib lib) {
    AsLib(lib)->Release();
}

bool Win32TypeLibraries::HasOleAutExport(const char* name) {
    return OleAutExport(name) != nullptr;
}

win::HResult Win32TypeLibraries::Register(TypeLib lib, const std::u16string& path,
                                          const std::u16string* helpDir, bool forUser) {
    std::u16string file = path;
    std::u16string dir = helpDir ? *helpDir : std::u16string();
    wchar_t* dirArg = helpDir ? const_cast<wchar_t*>(AsWide(dir)) : nullptr;
    wchar_t* fileArg = const_cast<wchar_t*>(AsWide(file));
    if (forUser) {
        auto fn = reinterpret_cast<RegisterForUserFn>(
            reinterpret_cast<void*>(OleAutExport("RegisterTypeLibForUser")));
        return fn(AsLib(lib), fileArg, dirArg);
    }
    return ::RegisterTypeLib(AsLib(lib), fileArg, dirArg);
}

win::HResult Win32TypeLibraries::Unregister(const TypeLibAttributes& attributes, bool forUser) {
    GUID libid;
    std::memcpy(&libid, attributes.libid, sizeof libid);
    const auto syskind = static_cast<SYSKIND>(attributes.syskind);
    if (forUser) {
        auto fn = reinterpret_cast<UnregisterForUserFn>(
            reinterpret_cast<void*>(OleAutExport("UnRegisterTypeLibForUser")));
        return fn(libid, attributes.majorVersion, attributes.minorVersion, attributes.lcid,
                  syskind);
    }
    return ::UnRegisterTypeLib(libid, attributes.majorVersion, attributes.minorVersion,
                               attributes.lcid, syskind);
}

}  // namespace tav::portsvc::host
