// Events per second for the formula "x = {t = 0:100} y * 2 + 1" over a
// 100-element y, with Tavrel::Reset between events, against the same work
// as a hand-written loop (the floor) and as muparser per element; then
// Tavrel::Reset alone on events of 10, 50 and 200 properties.
#include <fcntl.h>
#include <unistd.h>

#include <cstdio>
#include <iostream>
#include <string>
#include <vector>

#include "Tavrel.h"
#include "formula_muparser.h"
#include "rounds.h"

namespace {

const int kElements = 100;
const long kEvents = 200000;
const long kResets = 1000000;

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

// Nanoseconds per event of the floor, the record's formula and muparser, in
// interleaved rounds; false in `agree` when their results differ.
std::vector<bench::Result> measureFormula(bool& agree) {
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
    auto perEvent = [](auto work) { return bench::secondsOf(work) / kEvents * 1e9; };

    std::vector<bench::Result> results = bench::runRounds({
        {"hand-written loop (floor)",
         [&] {
             return perEvent([&] {
                 for (long e = 0; e < kEvents; ++e) {
                     inputs.next(e);
                     floorFormula(inputs.t, inputs.y, floorOut);
                     sink = sink + floorOut.back();
                 }
             });
         }},
        {"Tavrel formula + Reset",
         [&] {
             return perEvent([&] {
                 for (long e = 0; e < kEvents; ++e) {
                     inputs.next(e);
                     event.Reset();
                     x->eval();
                     sink = sink + x->result->back();
                 }
             });
         }},
        {"muparser per element",
         [&] {
             return perEvent([&] {
                 for (long e = 0; e < kEvents; ++e) {
                     inputs.next(e);
                     muparserOut.clear();
                     muparser.evaluate(inputs.t, inputs.y, muparserOut);
                     sink = sink + muparserOut.back();
                 }
             });
         }},
    });
    agree = floorOut == *x->result && floorOut == muparserOut && floorOut.size() == kElements;
    return results;
}

// Nanoseconds per Tavrel::Reset of an event of `count` properties, one in
// ten of them a formula.
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
    return bench::secondsOf([&] {
               for (long r = 0; r < kResets; ++r) event.Reset();
           }) /
           kResets * 1e9;
}

}  // namespace

int main() {
    bool agree = false;
    std::vector<bench::Result> formula = measureFormula(agree);
    std::printf("| %-36s | %-24s | %-22s |\n", "events", "ns per event", "ratio");
    std::printf(
        "|--------------------------------------|------------------------"
        "--|------------------------|\n");
    for (size_t k = 0; k < formula.size(); ++k)
        std::printf("| %-36s | %-24s | %-22s |\n", formula[k].name.c_str(),
                    bench::figureText(formula[k].figure, 1).c_str(),
                    k == 0 ? "floor" : bench::ratioText(formula[k].ratio).c_str());
    std::vector<bench::Contender> resets;
    for (int count : {10, 50, 200})
        resets.push_back({"Tavrel::Reset, " + std::to_string(count) + " properties (1 in 10 formulas)",
                          [count] { return measureReset(count); }});
    std::printf("\n| %-48s | %-24s |\n", "Reset alone", "ns per Reset");
    std::printf("|%s|%s|\n", std::string(50, '-').c_str(), std::string(26, '-').c_str());
    for (const bench::Result& reset : bench::runRounds(resets))
        std::printf("| %-48s | %-24s |\n", reset.name.c_str(), bench::figureText(reset.figure, 1).c_str());
    bench::printRoundsNote();
    if (!agree) std::printf("results differ between the three computations\n");
    return agree ? 0 : 1;
}
