// The example flows of flows/, run as the README runs them, and the life
// messages of the six modules.

#include "fm_flow_run.h"

namespace fm {
namespace {

using ExampleFlowsTest = FlowRunTest;

const char kGaussianRun[] =
    "Stepper running: 10, 0.2\n"
    "gauss: 11.1123\ngauss: 9.65468\ngauss: 10.6081\ngauss: 10.641\ngauss: 9.28792\n"
    "gauss: 11.1592\ngauss: 8.28105\ngauss: 10.4175\ngauss: 9.59995\ngauss: 12.2809\n"
    "Stop()\n";

TEST_F(ExampleFlowsTest, GaussianRunsToItsEnd) {
    tk::ChildResult result = runTorvask({std::string(ZARN_SOURCE_DIR) + "/flows/gaussian.mivet"});
    ASSERT_FALSE(result.timedOut);
    EXPECT_EQ(0, result.exitStatus);
    EXPECT_EQ(kGaussianRun, runSection(result.out));
    EXPECT_EQ(1, countLines(result.out, "Stop()"));
    EXPECT_EQ("", result.err);
}

TEST_F(ExampleFlowsTest, GaussianIsTheDefaultUnderZarnBase) {
    tk::ChildResult result = runTorvask({}, {std::string("ZARN_BASE=") + ZARN_BUILD_DIR});
    ASSERT_FALSE(result.timedOut);
    EXPECT_EQ(kGaussianRun, runSection(result.out));
}

TEST_F(ExampleFlowsTest, HalvesAppendsEveryOtherCountHalved) {
    tk::ChildResult result = runTorvask({std::string(ZARN_SOURCE_DIR) + "/flows/halves.mivet"});
    ASSERT_FALSE(result.timedOut);
    EXPECT_EQ(0, result.exitStatus);
    EXPECT_EQ(
        "half of an even count:\t0\nhalf of an even count:\t1\nhalf of an even count:\t2\n"
        "half of an even count:\t3\nhalf of an even count:\t4\n",
        workFile("halves.dat"));
    EXPECT_EQ("", result.err);
}

TEST_F(ExampleFlowsTest, LifeMessagesOfTheSixModules) {
    std::string flow = stepper("2", "0") + module("Gaussian", "gauss", {"step stepper step"}) +
                       module("Counter", "counter", {"step stepper step"}) +
                       module("Multiplier", "multiplier", {"number counter count"}) +
                       module("Display", "display", {"data gauss data"}) +
                       module("Pennoch", "pennoch", {"data multiplier product"});
    tk::ChildResult result = runFlow(flow);
    EXPECT_EQ(
        "New manager\nNew manager done\n"
        "Loading: Stepper\nstepper instantiated\n"
        "Loading: Gaussian\ngauss instantiated\n"
        "Loading: Counter\ncounter instantiated\n"
        "Loading: Multiplier\nmultiplier instantiated\n"
        "Loading: Display\ndisplay instantiated\n"
        "Loading: Pennoch\npennoch instantiated\n"
        "Stepper running: 2, 0\n11.1123\n9.65468\nStop()\n"
        "Delete manager\n"
        "Pennoch weg\ndisplay destructed.\nMultiplier weg\ncounter deleted\ngauss deleted\nStepper weg\n"
        "Delete manager done\n"
        "Unloading: Counter\nUnloading: Display\nUnloading: Gaussian\nUnloading: Multiplier\n"
        "Unloading: Pennoch\nUnloading: Stepper\n",
        result.out);
    EXPECT_EQ("0\n1\n", workFile("FlowDefault.dat"));
    EXPECT_EQ("", result.err);
}

}  // namespace
}  // namespace fm
