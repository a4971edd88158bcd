#include "sim/call_log.h"

namespace tav::sim {

void CallLog::Record(std::string entry) {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_entries.push_back(std::move(entry));
}

std::vector<std::string> CallLog::Entries() const {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_entries;
}

std::vector<std::string> CallLog::EntriesStartingWith(const std::string& prefix) const {
    std::lock_guard<std::mutex> lock(m_mutex);
    std::vector<std::string> out;
    for (const auto& e : m_entries) {
        if (e.compare(0, prefix.size(), prefix) == 0)
            out.push_back(e);
    }
    return out;
}

size_t CallLog::Count(const std::string& prefix) const {
    return EntriesStartingWith(prefix).size();
}

void CallLog::Clear() {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_entries.clear();
}

void FaultPlan::Fail(const std::string& call, uint32_t error, int times, int after) {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_rules[call].push_back(Rule{error, after, times});
}

void FaultPlan::FailAlways(const std::string& call, uint32_t error) {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_rules[call].push_back(Rule{error, 0, -1});
}

void FaultPlan::Clear() {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_rules.clear();
}

std::optional<uint32_t> FaultPlan::Check(const std::string& call) {
    std::lock_guard<std::mutex> lock(m_mutex);
    ++m_calls[call];
    auto it = m_rules.find(call);
    if (it == m_rules.end())
        return std::nullopt;
    for (auto& rule : it->second) {
        if (rule.after > 0) {
            --rule.after;
            continue;
        }
        if (rule.times == 0)
            continue;
        if (rule.times > 0)
            --rule.times;
        return rule.error;
    }
    return std::nullopt;
}

int FaultPlan::Calls(const std::string& call) const {
    std::lock_guard<std::mutex> lock(m_mutex);
    auto it = m_calls.find(call);
    return it == m_calls.end() ? 0 : it->second;
}

std::optional<uint32_t> SimTrace::Enter(const std::string& call, const std::string& detail) {
    log.Record(detail.empty() ? call : call + " " + detail);
    return faults.Check(call);
}

}  // namespace tav::sim
