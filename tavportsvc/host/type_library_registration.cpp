// The type library carried as resource "TYPELIB" 1.
#include "tavportsvc/host/atl_service_module.h"
#include "tavportsvc/host/host_handles.h"

namespace tav::portsvc::host {
namespace {

// The extension is the part from the last '.' after the last backslash.
std::u16string WithTlbExtension(const std::u16string& path) {
    size_t slash = path.rfind(u'\\');
    size_t dot = path.rfind(u'.');
    if (dot == std::u16string::npos || (slash != std::u16string::npos && dot < slash))
        return path + u".tlb";
    return path.substr(0, dot) + u".tlb";
}

std::u16string HelpDirectory(const std::u16string& helpFile) {
    size_t end = helpFile.find_last_of(u"\\/:");
    return end == std::u16string::npos ? std::u16string() : helpFile.substr(0, end + 1);
}

}  // namespace

win::HResult CAtlServiceModuleT::LoadModuleTypeLib(TypeLib& lib, std::u16string& loadedPath) {
    win::HResult hr = ModulePath(loadedPath);
    if (hr < 0)
        return hr;
    TypeLibraries& typeLibs = m_platform.typeLibs;
    hr = typeLibs.Load(loadedPath, lib);
    if (hr >= 0)
        return hr;
    loadedPath = WithTlbExtension(loadedPath);
    if (loadedPath.size() + 1 > kModulePathCapacity)
        return win::kEFail;
    return typeLibs.Load(loadedPath, lib);
}

win::HResult CAtlServiceModuleT::RegisterTypeLibrary() {
    TypeLib lib = 0;
    std::u16string path;
    win::HResult hr = LoadModuleTypeLib(lib, path);
    if (hr < 0)
        return hr;
    TypeLibraries& typeLibs = m_platform.typeLibs;
    OwnedTypeLib loaded(typeLibs, lib);
    std::u16string helpFile;
    std::u16string helpDir;
    // A help file without a folder still gives a help directory: the empty one.
    bool hasHelpDir = typeLibs.HelpFile(lib, helpFile) >= 0 && !helpFile.empty();
    if (hasHelpDir)
        helpDir = HelpDirectory(helpFile);
    bool forUser = m_bPerUser && typeLibs.HasOleAutExport("RegisterTypeLibForUser");
    return typeLibs.Register(lib, path, hasHelpDir ? &helpDir : nullptr, forUser);
}

win::HResult CAtlServiceModuleT::UnregisterTypeLibrary() {
    TypeLib lib = 0;
    std::u16string path;
    win::HResult hr = LoadModuleTypeLib(lib, path);
    if (hr < 0)
        return hr;
    TypeLibraries& typeLibs = m_platform.typeLibs;
    OwnedTypeLib loaded(typeLibs, lib);
    TypeLibAttributes attributes;
    hr = typeLibs.Attributes(lib, attributes);
    loaded.reset();  // released before the unregistration, which needs only the attributes
    if (hr < 0)
        return hr;
    bool forUser = m_bPerUser && typeLibs.HasOleAutExport("UnRegisterTypeLibForUser");
    return typeLibs.Unregister(attributes, forUser);
}

}  // namespace tav::portsvc::host
