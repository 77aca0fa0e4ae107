// Stepper, Gaussian, Counter and Multiplier, run by torvask on flow files.

#include <chrono>

#include "fm_flow_run.h"

namespace fm {
namespace {

using GeneratorsTest = FlowRunTest;

// A Counter on the stepper, shown by a Display.
std::string countedBy(const std::string& steps, const std::string& interval) {
    return stepper(steps, interval) + module("Counter", "counter", {"step stepper step"}) +
           module("Display", "display", {"data counter count"});
}

struct StepperCase {
    const char* steps;
    const char* interval;
    const char* expected;
};

// Intervals that must not sleep (negative, NaN, below a microsecond) end at
// once; a sleep of the wrong sign or size would run into the timeout.
TEST_F(GeneratorsTest, StepperPrintsCountAndIntervalThenSignalsThenStop) {
    const StepperCase cases[] = {
        {"3", "0", "Stepper running: 3, 0\n0\n1\n2\nStop()\n"},
        {"2", "-5", "Stepper running: 2, -5\n0\n1\nStop()\n"},
        {"2", "nan", "Stepper running: 2, nan\n0\n1\nStop()\n"},
        {"2", "1e-7", "Stepper running: 2, 1e-07\n0\n1\nStop()\n"},
        {"1", "0.001", "Stepper running: 1, 0.001\n0\nStop()\n"},
    };
    for (const StepperCase& c : cases) {
        SCOPED_TRACE(std::string("steps ") + c.steps + ", interval " + c.interval);
        tk::ChildResult result = runFlow(countedBy(c.steps, c.interval));
        ASSERT_FALSE(result.timedOut);
        EXPECT_EQ(0, result.exitStatus);
        EXPECT_EQ(c.expected, runSection(result.out));
        EXPECT_EQ(1, countLines(result.out, "Stop()"));
        EXPECT_EQ("", result.err);
    }
}

TEST_F(GeneratorsTest, StepperSleepsAfterEverySignalTheLastIncluded) {
    auto begin = std::chrono::steady_clock::now();
    tk::ChildResult result = runFlow(countedBy("2", "0.3"));
    double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - begin).count();
    EXPECT_EQ("Stepper running: 2, 0.3\n0\n1\nStop()\n", runSection(result.out));
    EXPECT_GE(seconds, 0.6);
}

// Thread mode: the main thread waits for a line on standard input while an
// endless Stepper runs; the line stops it after the signal in progress. The
// two threads print at the same time, so lines are looked for, not placed.
TEST_F(GeneratorsTest, ThreadModeEndsAnEndlessRunOnALineOfInput) {
    std::string flow = stepper("-1", "0.01") + module("Counter", "counter", {"step stepper step"}) +
                       module("Pennoch", "pennoch", {"data counter count", "filename \"counts\""});
    std::unique_ptr<tk::Child> child = startFlow(flow, {"-t"});
    ASSERT_TRUE(child->started());
    ASSERT_TRUE(child->waitForOutput("Hit return to exit", 30));
    ASSERT_TRUE(waitForLines("counts", 5, 30));
    child->send("\n");
    tk::ChildResult result = child->wait(30);
    ASSERT_FALSE(result.timedOut);
    EXPECT_EQ(0, result.exitStatus);

    const std::string& out = result.out;
    EXPECT_EQ(1, countText(out, "Stepper running: 4294967295, 0.01\n"));
    EXPECT_EQ(1, countText(out, "Stop()\n"));
    // The flow thread has ended before the manager deletes the modules.
    EXPECT_NE(std::string::npos,
              out.find("Stop()\nDelete manager\nPennoch weg\ncounter deleted\nStepper weg\nDelete manager done\n"));
    std::vector<std::string> counts = tk::splitLines(workFile("counts"));
    ASSERT_GE(counts.size(), 5u);
    for (size_t i = 0; i < counts.size(); ++i) EXPECT_EQ(std::to_string(i), counts[i]);
}

// A huge interval is slept in slices, so a stop ends the sleep at once.
TEST_F(GeneratorsTest, StopEndsAHugeSleepEarly) {
    std::string flow = stepper("0", "1e30") + module("Counter", "counter", {"step stepper step"}) +
                       module("Pennoch", "pennoch", {"data counter count", "filename \"counts\""});
    std::unique_ptr<tk::Child> child = startFlow(flow, {"-t"});
    ASSERT_TRUE(child->started());
    ASSERT_TRUE(child->waitForOutput("Hit return to exit", 30));
    ASSERT_TRUE(waitForLines("counts", 1, 30));
    child->send("\n");
    tk::ChildResult result = child->wait(30);
    ASSERT_FALSE(result.timedOut);
    EXPECT_EQ(1, countText(result.out, "Stepper running: 0, 1e+30\n"));
    EXPECT_EQ(1, countText(result.out, "Stop()\n"));
    EXPECT_EQ("0\n", workFile("counts"));
}

// The generator is never seeded: a fresh process draws the same numbers.
TEST_F(GeneratorsTest, GaussianValuesOfAFreshProcess) {
    struct {
        std::vector<std::string> inputs;
        const char* expected;
    } cases[] = {
        {{"step stepper step"},
         "Stepper running: 4, 0\n11.1123\n9.65468\n10.6081\n10.641\nStop()\n"},
        {{"step stepper step", "mean \"5\"", "sigma \"2\""},
         "Stepper running: 4, 0\n7.22454\n4.30935\n6.21611\n6.28201\nStop()\n"},
        {{"step stepper step", "sigma \"0\""}, "Stepper running: 4, 0\n10\n10\n10\n10\nStop()\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.expected);
        std::string gauss = "Gaussian gauss\n";
        for (const std::string& input : c.inputs) gauss += "\t" + input + "\n";
        tk::ChildResult result = runFlow(stepper("4", "0") + gauss + "\n" +
                                         module("Display", "display", {"data gauss data"}));
        EXPECT_EQ(c.expected, runSection(result.out));
    }
}

// A new mean between two triggers discards the held spare value, so every
// trigger draws a new pair and sends its first value.
TEST_F(GeneratorsTest, GaussianNewMeanDiscardsTheSpareValue) {
    // The Gaussian connects first, so each trigger reaches it before the
    // Counter hands it the next mean: 10 (default), 0, 1, 2.
    std::string flow = stepper("4", "0") +
                       module("Gaussian", "gauss", {"step stepper step", "mean counter count"}) +
                       module("Counter", "counter", {"step stepper step"}) +
                       module("Display", "display", {"data gauss data"});
    tk::ChildResult result = runFlow(flow);
    EXPECT_EQ("Stepper running: 4, 0\n11.1123\n0.608056\n0.287918\n0.281055\nStop()\n", runSection(result.out));
}

TEST_F(GeneratorsTest, CounterStartValueAndSkip) {
    struct {
        const char* value;
        const char* skip;
        const char* steps;
        const char* expected;
    } cases[] = {
        {nullptr, nullptr, "3", "0\n1\n2\n"},
        {nullptr, "3", "7", "0\n3\n6\n"},
        {"5", nullptr, "3", "5\n6\n7\n"},
        {"5", "3", "5", "6\n9\n"},
        // The count is unsigned and wraps; it is sent as an int.
        {"-1", nullptr, "2", "-1\n0\n"},
        // Text that is no number reads as 0, as atoi reads it.
        {nullptr, "every", "2", "0\n1\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string("value ") + (c.value ? c.value : "-") + ", skip " + (c.skip ? c.skip : "-"));
        std::string counter = "Counter counter\n";
        if (c.value) counter += std::string("\tvalue \"") + c.value + "\"\n";
        if (c.skip) counter += std::string("\tskip \"") + c.skip + "\"\n";
        counter += "\tstep stepper step\n\n";
        tk::ChildResult result =
            runFlow(stepper(c.steps, "0") + counter + module("Display", "display", {"data counter count"}));
        EXPECT_EQ(std::string("Stepper running: ") + c.steps + ", 0\n" + c.expected + "Stop()\n",
                  runSection(result.out));
    }
}

TEST_F(GeneratorsTest, MultiplierMultipliesEachNumberByItsFactor) {
    struct {
        const char* factor;
        const char* expected;
    } cases[] = {
        {nullptr, "1\n2\n3\n"},
        {"-2.5", "-2.5\n-5\n-7.5\n"},
        {"0.5", "0.5\n1\n1.5\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.factor ? c.factor : "default");
        std::string multiplier = "Multiplier multiplier\n\tnumber counter count\n";
        if (c.factor) multiplier += std::string("\tfactor \"") + c.factor + "\"\n";
        std::string flow = stepper("3", "0") + module("Counter", "counter", {"value \"1\"", "step stepper step"}) +
                           multiplier + "\n" + module("Display", "display", {"data multiplier product"});
        tk::ChildResult result = runFlow(flow);
        EXPECT_EQ(std::string("Stepper running: 3, 0\n") + c.expected + "Stop()\n", runSection(result.out));
    }
}

}  // namespace
}  // namespace fm
