// Loops in a flow: deliveries nest on one thread until the stack check drops
// the value with one line, and the flow goes on; a long chain still delivers.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "fm_flow_run.h"

namespace {

using fm::module;

const std::string kTooDeep = ": values nested too deep (a loop in the flow?), value dropped";

class NestingTest : public fm::FlowRunTest {};

struct Loop {
    const char* what;
    std::string flow;
    std::string sender;  // the module that reports the drop
};

TEST_F(NestingTest, LoopsEndWithOneLineNotACrash) {
    const Loop loops[] = {
        {"Multiplex feeding itself",
         fm::stepper("3", "0") + module("Counter", "counter", {"step stepper step"}) +
             module("Multiplex", "mux", {"inputs \"a b\"", "a counter count", "b mux out"}),
         "mux"},
        {"a ring Counter -> Multiplex -> Multiplier -> Multiplex",
         fm::stepper("3", "0") + module("Counter", "counter", {"step stepper step"}) +
             module("Multiplex", "mux", {"inputs \"a b\"", "a counter count", "b mult product"}) +
             module("Multiplier", "mult", {"number mux out", "factor \"1\""}),
         ""},
        {"Felmira feeding its own string input while loading",
         module("Felmira", "fel", {"regex \"(.*)\"", "properties \"p\"", "string fel fevent"}), "fel"},
    };
    // In the foreground, and with -t on the flow thread torvask starts.
    const std::vector<std::string> modes[] = {{"-a", ""}, {"-a", "", "-t"}};
    for (const Loop& loop : loops)
        for (const std::vector<std::string>& options : modes) {
            SCOPED_TRACE(std::string(loop.what) + (options.size() > 2 ? " (-t)" : ""));
            tk::ChildResult result = runFlow(loop.flow, options);
            EXPECT_EQ(0, result.exitStatus);
            // One line for the whole run of drops, however many values loop.
            EXPECT_EQ(1, fm::countText(result.err, kTooDeep)) << result.err;
            if (!loop.sender.empty()) EXPECT_EQ(1, fm::countLines(result.err, loop.sender + kTooDeep)) << result.err;
            EXPECT_NE(std::string::npos, result.out.find("Delete manager done")) << result.out;
        }
}

TEST_F(NestingTest, AChainOfFiveThousandMultipliersDeliversToTheEnd) {
    const int kChain = 5000;
    std::string flow = fm::stepper("2", "0") + module("Counter", "counter", {"step stepper step"}) +
                       module("Multiplier", "m0", {"number counter count", "factor \"1\""});
    for (int i = 1; i < kChain; ++i)
        flow += module("Multiplier", "m" + std::to_string(i),
                       {"number m" + std::to_string(i - 1) + " product", "factor \"1\""});
    flow += module("Display", "show", {"data m" + std::to_string(kChain - 1) + " product"});
    tk::ChildResult result = runFlow(flow);
    EXPECT_EQ(0, result.exitStatus);
    EXPECT_EQ(0, fm::countText(result.err, kTooDeep)) << result.err.substr(0, 2000);
    EXPECT_EQ(1, fm::countLines(result.out, "1")) << fm::runSection(result.out).substr(0, 2000);
}

}  // namespace
