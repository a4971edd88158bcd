#include "sim/ports/sim_inf_files.h"

#include "shared/u16.h"

namespace tav::sim {

std::u16string Folded(std::u16string_view text) {
    std::u16string out(text);
    for (auto& c : out)
        c = FoldCase(c);
    return out;
}

void SimInfFiles::Add(const std::u16string& path, const Guid& classGuid,
                      const std::u16string& className) {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_infs[Folded(path)] = Inf{classGuid, className};
}

std::optional<SimInfFiles::Inf> SimInfFiles::Find(std::u16string_view path) const {
    std::lock_guard<std::mutex> lock(m_mutex);
    auto it = m_infs.find(Folded(path));
    if (it == m_infs.end())
        return std::nullopt;
    return it->second;
}

}  // namespace tav::sim
