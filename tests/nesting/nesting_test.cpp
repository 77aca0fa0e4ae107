// Loops in a flow: deliveries nest on one thread until the stack check drops
// the value with one line, and the flow goes on; a long chain still delivers.
// Stack limits are set in a child shell, as a user sets them.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "fm_flow_run.h"

namespace {

using fm::module;

const std::string kTooDeep = ": values nested too deep (a loop in the flow?), value dropped";

class NestingTest : public fm::FlowRunTest {
protected:
    // Runs `flow` after the shell commands `limits` (e.g. "ulimit -s 1024"),
    // with torvask's `options`; the child is killed after `seconds`.
    tk::ChildResult runLimited(const std::string& flow, const std::string& limits, double seconds = 60,
                               const std::string& options = "") {
        tk::writeFile(work + "/flow.mivet", flow);
        std::vector<std::string> args{"-a", ""};
        if (!options.empty()) args.push_back(options);
        args.push_back("flow.mivet");
        return tk::runLimited(limits, torvask, args, {std::string("ZARN_INSTALL=") + ZARN_BUILD_DIR + "/lib"}, work,
                              capture, seconds);
    }
    const std::string torvask = std::string(ZARN_BUILD_DIR) + "/bin/torvask";
};

std::string selfFedMultiplex() {
    return fm::stepper("3", "0") + module("Counter", "counter", {"step stepper step"}) +
           module("Multiplex", "mux", {"inputs \"a b\"", "a counter count", "b mux out"});
}

struct Loop {
    const char* what;
    std::string flow;
    std::string sender;  // the module that reports the drop
};

TEST_F(NestingTest, LoopsEndWithOneLineNotACrash) {
    const Loop loops[] = {
        {"Multiplex feeding itself", selfFedMultiplex(), "mux"},
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
            if (!loop.sender.empty()) {
                EXPECT_EQ(1, fm::countLines(result.err, loop.sender + kTooDeep)) << result.err;
            }
            EXPECT_NE(std::string::npos, result.out.find("Delete manager done")) << result.out;
        }
}

// The check bounds the stack it counts: an unlimited stack is reported as
// terabytes. Address space is limited too, so a loop that runs away cannot
// take the machine; the sanitizer runtime reserves terabytes of it, so there
// the unlimited case cannot be bounded and is left out.
TEST_F(NestingTest, ALoopEndsWithOneLineUnderAnyStackLimit) {
    std::vector<std::string> limits = {"ulimit -s 1024", "ulimit -s 8192"};
#if !defined(__SANITIZE_ADDRESS__)
    limits.push_back("ulimit -s unlimited && ulimit -v 2000000");
#endif
    // In the foreground, and with -t on the flow thread torvask starts.
    for (const std::string& limit : limits)
        for (const char* options : {"", "-t"}) {
            SCOPED_TRACE(limit + " " + options);
            tk::ChildResult result = runLimited(selfFedMultiplex(), limit, 60, options);
            EXPECT_EQ(0, result.exitStatus) << result.err.substr(0, 2000);
            EXPECT_EQ(1, fm::countLines(result.err, "mux" + kTooDeep)) << result.err.substr(0, 2000);
            EXPECT_EQ(1, fm::countText(result.err, kTooDeep));
        }
}

// Multiplex's output feeds two of its own inputs: unless the whole cascade
// ends at the first drop, every level serves its second path too and the
// work doubles per level.
TEST_F(NestingTest, ALoopThatFansOutEndsAtTheFirstDrop) {
    std::string flow = fm::stepper("1", "0") +
                       module("Multiplex", "mux", {"inputs \"x a b\"", "x stepper step", "a mux out", "b mux out"});
    tk::ChildResult result = runLimited(flow, "ulimit -s 8192", 20);
    EXPECT_FALSE(result.timedOut);
    EXPECT_EQ(0, result.exitStatus);
    EXPECT_EQ(1, fm::countLines(result.err, "mux" + kTooDeep)) << result.err.substr(0, 2000);
}

TEST_F(NestingTest, AChainOfFiveThousandMultipliersDeliversToTheEnd) {
    const int kChain = 5000;
    std::string flow = fm::stepper("2", "0") + module("Counter", "counter", {"step stepper step"}) +
                       module("Multiplier", "m0", {"number counter count", "factor \"1\""});
    for (int i = 1; i < kChain; ++i)
        flow += module("Multiplier", "m" + std::to_string(i),
                       {"number m" + std::to_string(i - 1) + " product", "factor \"1\""});
    flow += module("Display", "show", {"data m" + std::to_string(kChain - 1) + " product"});
    tk::ChildResult result = runLimited(flow, "ulimit -s 8192");
    EXPECT_EQ(0, result.exitStatus);
    EXPECT_EQ(0, fm::countText(result.err, kTooDeep)) << result.err.substr(0, 2000);
    EXPECT_EQ(1, fm::countLines(result.out, "1")) << fm::runSection(result.out).substr(0, 2000);
}

}  // namespace
