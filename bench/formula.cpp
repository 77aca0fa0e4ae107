// Events per second for the formula "x = {t = 0:100} y * 2 + 1" over a
// 100-element y, with Tavrel::Reset between events, against the same work
// as a hand-written loop (the floor) and as muparser per element; then
// Tavrel::Reset alone on events of 10, 50 and 200 properties.
#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <iostream>
#include <string>
#include <vector>

#include "Tavrel.h"
#include "formula_muparser.h"

namespace {

const int kElements = 100;
const long kEvents = 200000;
const long kResets = 1000000;
const int kRepeats = 5;

// Parsing prints its diagnostics; keep them out of the table.
class QuietStdout {
public:
    QuietStdout() : saved(dup(STDOUT_FILENO)) {
        std::fflush(stdout);
        int null = open("/dev/null", O_WRONLY);
        dup2(null, STDOUT_FILENO);
        close(null);
    }
    ~QuietStdout() {
        std::cout.flush();
        std::fflush(stdout);
        dup2(saved, STDOUT_FILENO);
        close(saved);
    }

private:
    int saved;
};

// Best time of several runs, in seconds.
template <class Run> double bestSeconds(Run run) {
    double best = 1e300;
    for (int r = 0; r < kRepeats; ++r) {
        auto start = std::chrono::steady_clock::now();
        run();
        std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
        best = std::min(best, took.count());
    }
    return best;
}

// The producer's storage: what changes from event to event is one value.
struct Inputs {
    Inputs() : t(kElements), y(kElements) {
        for (int i = 0; i < kElements; ++i) {
            t[i] = i;
            y[i] = 0.5 * i;
        }
    }
    void next(long event) { y[0] = static_cast<double>(event % 1000); }
    std::vector<double> t, y;
};

__attribute__((noinline)) void floorFormula(const std::vector<double>& t, const std::vector<double>& y,
                                            std::vector<double>& out) {
    out.clear();
    const size_t n = y.size();
    for (size_t i = 0; i < n; ++i) {
        if (t[i] >= 0 && t[i] < 100) out.push_back(y[i] * 2 + 1);
    }
}

struct Figures {
    double floor, tavrel, muparser;
    bool agree;
};

Figures measureFormula() {
    Inputs inputs;
    Tavrel event;
    event["t"] = FlowProperty(vorn_vector_double, FlowBinning(0, 100, 100), &inputs.t);
    event["y"] = FlowProperty(vorn_vector_double, FlowBinning(0, 50, 100), &inputs.y);
    {
        QuietStdout quiet;
        event.ParseFormula("x = {t = 0:100} y * 2 + 1");
    }
    formulaParser* x = event["x"].formula;
    MuparserFormula muparser;
    std::vector<double> floorOut, muparserOut;
    volatile double sink = 0;

    Figures figures;
    figures.floor = bestSeconds([&] {
        for (long e = 0; e < kEvents; ++e) {
            inputs.next(e);
            floorFormula(inputs.t, inputs.y, floorOut);
            sink = sink + floorOut.back();
        }
    });
    figures.tavrel = bestSeconds([&] {
        for (long e = 0; e < kEvents; ++e) {
            inputs.next(e);
            event.Reset();
            x->eval();
            sink = sink + x->result->back();
        }
    });
    figures.muparser = bestSeconds([&] {
        for (long e = 0; e < kEvents; ++e) {
            inputs.next(e);
            muparserOut.clear();
            muparser.evaluate(inputs.t, inputs.y, muparserOut);
            sink = sink + muparserOut.back();
        }
    });
    figures.agree = floorOut == *x->result && floorOut == muparserOut && floorOut.size() == kElements;
    return figures;
}

// An event of `count` properties, one in ten of them a formula.
double measureReset(int count) {
    std::vector<std::vector<double>> storage(count, std::vector<double>(kElements, 1.0));
    Tavrel event;
    {
        QuietStdout quiet;
        for (int i = 0; i < count; ++i) {
            char name[16];
            std::snprintf(name, sizeof name, "p%03d", i);
            if (i % 10 == 9) {
                event.ParseFormula(std::string(name) + " = p000 * 2");
            } else {
                event[name] = FlowProperty(vorn_vector_double, FlowBinning(), &storage[i]);
            }
        }
    }
    for (auto& entry : event) {
        if (entry.second.formula) entry.second.formula->eval();
    }
    return bestSeconds([&] {
        for (long r = 0; r < kResets; ++r) event.Reset();
    });
}

}  // namespace

int main() {
    Figures f = measureFormula();
    auto perSecond = [](double seconds, long count) { return count / seconds; };
    std::printf("%-44s %14s %12s\n", "case", "per second", "vs floor");
    std::printf("%-44s %14.0f %12.2f\n", "hand-written loop (floor), events", perSecond(f.floor, kEvents), 1.0);
    std::printf("%-44s %14.0f %12.2f\n", "Tavrel formula + Reset, events", perSecond(f.tavrel, kEvents),
                f.tavrel / f.floor);
    std::printf("%-44s %14.0f %12.2f\n", "muparser per element, events", perSecond(f.muparser, kEvents),
                f.muparser / f.floor);
    for (int count : {10, 50, 200}) {
        std::string label = "Tavrel::Reset, " + std::to_string(count) + " properties (1 in 10 formulas)";
        double seconds = measureReset(count);
        std::printf("%-44s %14.0f %9.1f ns\n", label.c_str(), perSecond(seconds, kResets), seconds / kResets * 1e9);
    }
    if (!f.agree) std::printf("results differ between the three computations\n");
    return f.agree ? 0 : 1;
}
