#ifndef ZARN_BENCH_ROUNDS_H
#define ZARN_BENCH_ROUNDS_H

// Interleaved rounds for the benchmarks: every round runs each contender
// once (in an order that rotates from round to round, so none always runs
// first), and each contender's figure is compared with the floor's figure
// of the same round. The medians of those per-round ratios, with their
// spread, are what the benchmarks report: a load that comes and goes then
// touches both sides of a ratio alike.
// Threads: one thread.

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

namespace bench {

// At least this many rounds, each run this long at least, far above the
// resolution of the steady clock.
constexpr int kRounds = 9;
constexpr double kMinRunSeconds = 0.05;

// Median, minimum and maximum of a set of figures.
struct Spread {
    double median, min, max;
};

inline Spread spreadOf(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    size_t n = values.size();
    double median = n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
    return {median, values.front(), values.back()};
}

// One contender: its name and a run that returns the figure of one round
// (the smaller the better, e.g. nanoseconds per value).
struct Contender {
    std::string name;
    std::function<double()> run;
};

// The figures of one contender over all rounds, and its ratio to the floor.
struct Result {
    std::string name;
    Spread figure;
    Spread ratio;
};

// Runs `contenders` in `rounds` interleaved rounds; contender 0 is the floor.
inline std::vector<Result> runRounds(const std::vector<Contender>& contenders, int rounds = kRounds) {
    size_t n = contenders.size();
    std::vector<std::vector<double> > figures(n), ratios(n);
    for (int r = 0; r < rounds; ++r) {
        std::vector<double> round(n);
        for (size_t i = 0; i < n; ++i) {
            size_t k = (i + static_cast<size_t>(r)) % n;
            round[k] = contenders[k].run();
        }
        for (size_t k = 0; k < n; ++k) {
            figures[k].push_back(round[k]);
            ratios[k].push_back(round[k] / round[0]);
        }
    }
    std::vector<Result> results;
    for (size_t k = 0; k < n; ++k) results.push_back({contenders[k].name, spreadOf(figures[k]), spreadOf(ratios[k])});
    return results;
}

// Seconds that `work` takes.
template <class Work> double secondsOf(Work work) {
    auto start = std::chrono::steady_clock::now();
    work();
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

// How many times `work` must run to take kMinRunSeconds, found once before
// the rounds so that every round of a contender does the same work.
template <class Work> long repetitionsFor(Work work) {
    long times = 1;
    while (true) {
        double took = secondsOf([&] {
            for (long t = 0; t < times; ++t) work();
        });
        if (took >= kMinRunSeconds || times > (1L << 40)) return times;
        times = took <= 0 ? times * 16 : std::max(times * 2, static_cast<long>(times * kMinRunSeconds * 1.5 / took));
    }
}

// Text of a ratio spread: "1.23x (1.20-1.31)".
inline std::string ratioText(const Spread& ratio) {
    char text[64];
    std::snprintf(text, sizeof text, "%.2fx (%.2f-%.2f)", ratio.median, ratio.min, ratio.max);
    return text;
}

// Text of a figure spread: "12.3 (12.1-13.0)" with `digits` decimals.
inline std::string figureText(const Spread& figure, int digits) {
    char text[96];
    std::snprintf(text, sizeof text, "%.*f (%.*f-%.*f)", digits, figure.median, digits, figure.min, digits,
                  figure.max);
    return text;
}

// The line under every table: what the figures are.
inline void printRoundsNote(int rounds = kRounds) {
    std::printf("\nmedian (min-max) over %d interleaved rounds; ratios to the floor are taken per round\n\n", rounds);
}

}  // namespace bench

#endif
