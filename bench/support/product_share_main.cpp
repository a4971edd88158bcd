// The benchmarks' main: the usual table, then for each BM_X with a BM_X_SimOnly partner the
// product's own cost, that is X less the same simulated calls made alone (CPU time per
// iteration, the mean when repeated). Another output format gets the table alone.

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <map>
#include <string>
#include <vector>

namespace {

constexpr char kSimOnly[] = "_SimOnly";

class ProductShareReporter : public benchmark::ConsoleReporter {
  public:
    ProductShareReporter() : ConsoleReporter(OO_None) {}

    void ReportRuns(const std::vector<Run>& runs) override {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& run : runs) {
            // The repetitions' mean, which is all that is reported with aggregates only.
            const bool mean = run.run_type == Run::RT_Aggregate && run.aggregate_name == "mean";
            if (run.error_occurred || (run.run_type != Run::RT_Iteration && !mean))
                continue;
            const std::string& name = run.run_name.function_name;
            Figure& f = m_figures[name];
            if (mean)
                f = Figure{0, 0, run.time_unit, true};
            else if (f.fromMean)
                continue;
            f.cpuSum += run.GetAdjustedCPUTime();
            f.unit = run.time_unit;
            ++f.runs;
            if (std::find(m_order.begin(), m_order.end(), name) == m_order.end())
                m_order.push_back(name);
        }
    }

    void Finalize() override {
        bool header = false;
        for (const std::string& name : m_order) {
            auto total = m_figures.find(name);
            auto sim = m_figures.find(name + kSimOnly);
            if (sim == m_figures.end() || sim->second.unit != total->second.unit)
                continue;
            if (!header) {
                std::printf("\nThe product's own cost: CPU time less its simulated calls alone\n");
                header = true;
            }
            const double t = total->second.Mean();
            const double s = sim->second.Mean();
            const char* unit = benchmark::GetTimeUnitString(total->second.unit);
            std::printf("%-40s total %10.3f %s  simulated %10.3f %s  product %10.3f %s (%.0f%%)\n",
                        name.c_str(), t, unit, s, unit, t - s, unit, t > 0 ? 100 * (t - s) / t : 0);
        }
        ConsoleReporter::Finalize();
    }

  private:
    struct Figure {
        double cpuSum = 0;
        int runs = 0;
        benchmark::TimeUnit unit = benchmark::kNanosecond;
        bool fromMean = false;
        double Mean() const { return cpuSum / runs; }
    };
    std::map<std::string, Figure> m_figures;
    std::vector<std::string> m_order;
};

bool OtherFormatAsked(int argc, char** argv) {
    constexpr char kFlag[] = "--benchmark_format=";
    for (int i = 1; i < argc; ++i) {
        if (std::strncmp(argv[i], kFlag, sizeof kFlag - 1) == 0 &&
            std::strcmp(argv[i] + sizeof kFlag - 1, "console") != 0)
            return true;
    }
    return false;
}

}  // namespace

int main(int argc, char** argv) {
    const bool tableOnly = OtherFormatAsked(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    if (tableOnly) {
        benchmark::RunSpecifiedBenchmarks();
    } else {
        ProductShareReporter reporter;
        benchmark::RunSpecifiedBenchmarks(&reporter);
    }
    benchmark::Shutdown();
    return 0;
}
