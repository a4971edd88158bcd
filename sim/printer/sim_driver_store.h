#pragma once
// The utility's machine's driver store: packages staged from their INF, each published in
// the system INF folder as "oem<n>.inf" and kept in the store under its own INF name. difxapi
// may be absent, as on current Windows, which ships no difxapi.dll. Both queries refuse and
// answer as Windows does (sizes counted with the terminator, too-small buffers, INFs the
// store does not hold). Every call records itself and can be told to fail.

#include <cstdint>
#include <string>
#include <vector>

#include "printer/settings/driver_store.h"
#include "sim/call_log.h"

namespace tav::sim {

class SimDriverStore : public setup::DriverStore {
  public:
    static constexpr char16_t kInfFolder[] = u"C:\\Windows\\INF";

    explicit SimDriverStore(SimTrace& trace) : m_trace(trace) {}

    bool difxapiPresent = true;

    // Stages the package whose INF is `sourceInf` (a full path); its published name.
    std::u16string Stage(const std::u16string& sourceInf);
    // The published INFs' file names, in the order they were staged.
    std::vector<std::u16string> PublishedNames() const;

    uint32_t DriverPackageGetPath(const std::u16string& infPath, char16_t* destination,
                                  uint32_t* numChars) override;
    int InfDriverStoreLocation(const std::u16string& infName, char16_t* buffer, uint32_t size,
                               uint32_t* required) override;

  private:
    struct Package {
        std::u16string sourceInf;
        std::u16string published;  // file name in kInfFolder
        std::u16string stored;     // full path in the store
    };
    const Package* BySource(const std::u16string& path) const;
    // A published name (alone or with kInfFolder) or a stored path.
    const Package* ByInfName(const std::u16string& name) const;

    SimTrace& m_trace;
    std::vector<Package> m_packages;
};

}  // namespace tav::sim
