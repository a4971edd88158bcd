// Any script text: expanding, parsing and applying it to a simulated registry either
// succeeds or fails with an HRESULT; a script that registered unregisters without failing.
#include <cstddef>
#include <cstdint>
#include <string>

#include "sim/call_log.h"
#include "sim/registry/sim_registry.h"
#include "tavportsvc/host/registrar.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace tav;
    std::u16string script(data, data + size);
    const portsvc::host::ScriptVariables variables = {
        {u"APPID", u"{5E0A3C41-7B2D-4F19-A6C8-93D1E2F4B705}"},
        {u"Module", u"\"C:\\it''s\\x.exe\""},
        {u"Module_Raw", u"C:\\it''s\\x.exe"}};
    sim::SimTrace trace;
    sim::SimRegistry registry(trace, sim::SimCaller::kAdministrator);
    bool perUser = size > 0 && (data[0] & 1);
    win::HResult hr = portsvc::host::RunRegistryScript(registry, script, variables, true, perUser);
    if (hr >= 0 &&
        portsvc::host::RunRegistryScript(registry, script, variables, false, perUser) < 0)
        __builtin_trap();
    if (registry.OpenHandleCount() != 0)
        __builtin_trap();
    return 0;
}
