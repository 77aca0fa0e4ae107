// Nanoseconds per delivered value from one output to 1, 4 and 16 receivers,
// through the module core and through plain fan-outs of the same work,
// interleaved in rounds.
#include <boost/signals2.hpp>

#include <cstdio>
#include <functional>
#include <memory>
#include <vector>

#include "Corvane.h"
#include "delivery_floor.h"
#include "rounds.h"

namespace {

// Deliveries per run (values times receivers): about 50 ms for the floor.
const long kDeliveries = 40000000;
const long kTextDeliveries = 400000;

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

// Nanoseconds per delivery of `values` values to `receivers` receivers each.
template <class Send> std::function<double()> perDelivery(long values, int receivers, Send send) {
    return [=] {
        double seconds = bench::secondsOf([&] {
            for (long i = 0; i < values; ++i) send(i * 0.5);
        });
        return seconds * 1e9 / (double(values) * receivers);
    };
}

struct Fanouts {
    Source source;
    std::vector<std::unique_ptr<Sink> > sinks;
    std::vector<std::unique_ptr<Receiver> > plain;
    std::vector<Receiver*> plainPointers;
    std::vector<std::function<void(void*)> > functions;
    boost::signals2::signal<void(void*)> signal;

    Fanouts(int receivers, int input) {
        for (int i = 0; i < receivers; ++i) {
            sinks.emplace_back(new Sink);
            Sink* sink = sinks.back().get();
            source.AddReceiver(0, sink, input);
            plain.emplace_back(makePlainSink());
            plainPointers.push_back(plain.back().get());
            functions.push_back([sink](void* value) { sink->take(value); });
            signal.connect([sink](void* value) { sink->take(value); });
        }
    }
};

void printDoubleRow(int receivers) {
    Fanouts f(receivers, 0);
    long values = kDeliveries / receivers;
    std::vector<bench::Result> results = bench::runRounds({
        {"floor", perDelivery(values, receivers, [&](double value) {
             for (Receiver* receiver : f.plainPointers) receiver->take(&value);
         })},
        {"Corvane", perDelivery(values, receivers, [&](double value) { f.source.SendOutput(0u, &value); })},
        {"std::function", perDelivery(values, receivers, [&](double value) {
             for (auto& function : f.functions) function(&value);
         })},
        {"Boost.Signals2", perDelivery(values / 8, receivers, [&](double value) { f.signal(&value); })},
    });
    std::printf("| %d | %s |", receivers, bench::figureText(results[0].figure, 2).c_str());
    for (size_t k = 1; k < results.size(); ++k)
        std::printf(" %s, %s |", bench::figureText(results[k].figure, 2).c_str(),
                    bench::ratioText(results[k].ratio).c_str());
    std::printf("\n");
}

void printTextRow(int receivers) {
    Fanouts f(receivers, 1);
    long values = kTextDeliveries / receivers;
    std::vector<bench::Result> results = bench::runRounds({
        {"floor", perDelivery(values, receivers, [&](double value) {
             for (Receiver* receiver : f.plainPointers) {
                 char text[32];
                 std::snprintf(text, sizeof text, "%g", value * 0.74);
                 receiver->takeText(text);
             }
         })},
        {"Corvane", perDelivery(values, receivers, [&](double value) {
             value *= 0.74;
             f.source.SendOutput(0u, &value);
         })},
    });
    std::printf("| %d | %s | %s, %s |\n", receivers, bench::figureText(results[0].figure, 1).c_str(),
                bench::figureText(results[1].figure, 1).c_str(), bench::ratioText(results[1].ratio).c_str());
}

}  // namespace

int main() {
    std::printf("ns per delivered value of a double; ratio to the floor (a loop of virtual calls)\n\n");
    std::printf("| receivers | floor: virtual calls | Corvane | std::function | Boost.Signals2 |\n");
    std::printf("|---|---|---|---|---|\n");
    for (int receivers : {1, 4, 16}) printDoubleRow(receivers);
    bench::printRoundsNote();
    std::printf("ns per delivered value, a double into a text input\n\n");
    std::printf("| receivers | floor: snprintf %%g + virtual call | Corvane converter |\n");
    std::printf("|---|---|---|\n");
    for (int receivers : {1, 4, 16}) printTextRow(receivers);
    bench::printRoundsNote();
    return 0;
}
