#pragma once
// What the simulated world was asked to do, in order, and what it was told to refuse.
// Every simulated platform call records itself ("OpenServiceW Spooler") and asks the
// fault plan whether to fail, so a test can assert orders of calls and inject failures.

#include <cstdint>
#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

namespace tav::sim {

class CallLog {
  public:
    void Record(std::string entry);
    std::vector<std::string> Entries() const;
    // Entries whose text begins with `prefix`, in order.
    std::vector<std::string> EntriesStartingWith(const std::string& prefix) const;
    size_t Count(const std::string& prefix) const;
    void Clear();

  private:
    mutable std::mutex m_mutex;
    std::vector<std::string> m_entries;
};

// Failures to inject, keyed by call name (the first word of the log entry).
class FaultPlan {
  public:
    // The next `times` calls of `call` (after skipping `after` calls) fail with `error`.
    void Fail(const std::string& call, uint32_t error, int times = 1, int after = 0);
    // Every call of `call` fails with `error` until Clear.
    void FailAlways(const std::string& call, uint32_t error);
    void Clear();

    // Called by a simulated call: the error to fail with, or none.
    std::optional<uint32_t> Check(const std::string& call);
    // How many times `call` has been checked (made).
    int Calls(const std::string& call) const;

  private:
    struct Rule {
        uint32_t error;
        int after;
        int times;  // -1: always
    };
    mutable std::mutex m_mutex;
    std::map<std::string, std::vector<Rule>> m_rules;
    std::map<std::string, int> m_calls;
};

// Base of the simulated subsystems: one log and one fault plan, shared by reference so
// that calls of different simulated parts land in one order.
struct SimTrace {
    CallLog log;
    FaultPlan faults;

    // Records `call` + " " + detail and returns the injected error, if any.
    std::optional<uint32_t> Enter(const std::string& call, const std::string& detail = {});
};

}  // namespace tav::sim
