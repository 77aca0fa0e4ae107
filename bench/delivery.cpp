// Nanoseconds per delivered value from one output to 1, 4 and 16 receivers,
// through the module core and through plain fan-outs of the same work.
#include <boost/signals2.hpp>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <functional>
#include <memory>
#include <vector>

#include "Corvane.h"
#include "delivery_floor.h"

namespace {

const long kValues = 2000000;
const int kRepeats = 5;

// The work every receiver does: keep a running sum of what it gets.
class Sink : public Corvane {
public:
    Sink() : Corvane(nullptr, "sink") {
        inputs.push_back(Input("x", CORVANE_HANDLER(&Sink::take), vorn_double, ""));
        inputs.push_back(Input("text", CORVANE_HANDLER(&Sink::takeText), vorn_cstring, ""));
    }
    __attribute__((noinline)) void take(void* value) { sum += *static_cast<double*>(value); }
    __attribute__((noinline)) void takeText(void* value) { sum += static_cast<char*>(value)[0]; }
    double sum = 0;
};

class Source : public Corvane {
public:
    Source() : Corvane(nullptr, "source") { outputs.push_back(Output("y", vorn_double, "")); }
};

template <class Run> double nanosecondsPerValue(int receivers, Run run) {
    double best = 1e300;
    for (int r = 0; r < kRepeats; ++r) {
        auto start = std::chrono::steady_clock::now();
        run();
        std::chrono::duration<double, std::nano> took = std::chrono::steady_clock::now() - start;
        best = std::min(best, took.count() / (double(kValues) * receivers));
    }
    return best;
}

struct Row {
    double corvane, floor, function, signals;
};

Row measureDouble(int receivers) {
    Source source;
    std::vector<std::unique_ptr<Sink> > sinks;
    std::vector<std::unique_ptr<Receiver> > plain;
    std::vector<Receiver*> plainPointers;
    std::vector<std::function<void(void*)> > functions;
    boost::signals2::signal<void(void*)> signal;
    for (int i = 0; i < receivers; ++i) {
        sinks.emplace_back(new Sink);
        Sink* sink = sinks.back().get();
        source.AddReceiver(0, sink, 0);
        plain.emplace_back(makePlainSink());
        plainPointers.push_back(plain.back().get());
        functions.push_back([sink](void* value) { sink->take(value); });
        signal.connect([sink](void* value) { sink->take(value); });
    }
    Row row;
    row.corvane = nanosecondsPerValue(receivers, [&] {
        for (long i = 0; i < kValues; ++i) {
            double value = i * 0.5;
            source.SendOutput(0u, &value);
        }
    });
    row.floor = nanosecondsPerValue(receivers, [&] {
        for (long i = 0; i < kValues; ++i) {
            double value = i * 0.5;
            for (Receiver* receiver : plainPointers) receiver->take(&value);
        }
    });
    row.function = nanosecondsPerValue(receivers, [&] {
        for (long i = 0; i < kValues; ++i) {
            double value = i * 0.5;
            for (auto& function : functions) function(&value);
        }
    });
    row.signals = nanosecondsPerValue(receivers, [&] {
        for (long i = 0; i < kValues; ++i) {
            double value = i * 0.5;
            signal(&value);
        }
    });
    return row;
}

Row measureText(int receivers) {
    Source source;
    std::vector<std::unique_ptr<Sink> > sinks;
    std::vector<std::unique_ptr<Receiver> > plain;
    std::vector<Receiver*> plainPointers;
    for (int i = 0; i < receivers; ++i) {
        sinks.emplace_back(new Sink);
        source.AddReceiver(0, sinks.back().get(), 1);
        plain.emplace_back(makePlainSink());
        plainPointers.push_back(plain.back().get());
    }
    Row row = {0, 0, 0, 0};
    row.corvane = nanosecondsPerValue(receivers, [&] {
        for (long i = 0; i < kValues; ++i) {
            double value = i * 0.37;
            source.SendOutput(0u, &value);
        }
    });
    row.floor = nanosecondsPerValue(receivers, [&] {
        for (long i = 0; i < kValues; ++i) {
            double value = i * 0.37;
            for (Receiver* receiver : plainPointers) {
                char text[32];
                snprintf(text, sizeof text, "%g", value);
                receiver->takeText(text);
            }
        }
    });
    return row;
}

}  // namespace

int main() {
    std::printf("ns per delivered value (best of %d runs of %ld values); ratio to the floor in brackets\n\n",
                kRepeats, kValues);
    std::printf("| receivers | floor: virtual calls | Corvane | std::function | Boost.Signals2 |\n");
    std::printf("|---|---|---|---|---|\n");
    for (int receivers : {1, 4, 16}) {
        Row row = measureDouble(receivers);
        std::printf("| %d | %.2f | %.2f (%.2fx) | %.2f (%.2fx) | %.2f (%.2fx) |\n", receivers, row.floor, row.corvane,
                    row.corvane / row.floor, row.function, row.function / row.floor, row.signals,
                    row.signals / row.floor);
    }
    std::printf("\ndouble into a text input\n\n");
    std::printf("| receivers | floor: snprintf %%g + virtual call | Corvane converter |\n");
    std::printf("|---|---|---|\n");
    for (int receivers : {1, 4, 16}) {
        Row row = measureText(receivers);
        std::printf("| %d | %.2f | %.2f (%.2fx) |\n", receivers, row.floor, row.corvane, row.corvane / row.floor);
    }
    return 0;
}
