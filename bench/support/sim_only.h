#pragma once
// Baselines of the simulated world alone. Each benchmark BM_X that runs product code against
// the simulated world has a partner BM_X_SimOnly that makes the same simulated calls in the
// same order without the product; product_share_main.cpp reports the difference as the
// product's own cost.

#include <benchmark/benchmark.h>

#include <string>
#include <vector>

namespace tav::bench {

// Whether the baseline's log (of calls, or of what they left behind) is the product's; when
// not, the baseline reports the first difference and is skipped, as a figure for other calls
// is no baseline.
inline bool SameCalls(benchmark::State& state, const std::vector<std::string>& product,
                      const std::vector<std::string>& baseline) {
    for (size_t i = 0; i < product.size() || i < baseline.size(); ++i) {
        const std::string p = i < product.size() ? product[i] : "(none)";
        const std::string b = i < baseline.size() ? baseline[i] : "(none)";
        if (p != b) {
            state.SkipWithError(
                ("entry " + std::to_string(i) + ": product " + p + ", baseline " + b).c_str());
            return false;
        }
    }
    return true;
}

}  // namespace tav::bench
