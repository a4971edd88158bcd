#pragma once
// The INF files on the simulated disk, by absolute path (compared without case), each
// declaring its setup class. One table for what GetFileAttributesW sees, what
// SetupDiGetINFClassW reads and what the driver update installs from.

#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>

#include "shared/guid.h"
#include "sim/windows_values.h"

namespace tav::sim {

// `text` with every unit case-folded, as Windows compares paths and names.
std::u16string Folded(std::u16string_view text);

class SimInfFiles {
  public:
    struct Inf {
        Guid classGuid;
        std::u16string className;
    };

    // An INF at an absolute path declaring `className` (Ports by default).
    void Add(const std::u16string& path, const Guid& classGuid = sdk::kPortsSetupClass,
             const std::u16string& className = u"Ports");
    std::optional<Inf> Find(std::u16string_view path) const;

  private:
    mutable std::mutex m_mutex;
    std::map<std::u16string, Inf> m_infs;  // by folded absolute path
};

}  // namespace tav::sim
