// Multiplex and Vectorize: inputs made from a list, run by torvask on flow
// files; one in-process test wires a Multiplex by hand.

#include <memory>

#include "Corvane.h"
#include "pluginHandle.h"
#include "rt_flow.h"

namespace rt {
namespace {

using fm::module;
using fm::stepper;
using RoutingTest = RoutingFlowTest;

// Each value leaves "out" with its own sender's type: a double is converted
// for the text and int inputs, an int for the double input, and the empty
// signal reaches the any input as null, the text input as the empty text
// and the number inputs not at all.
TEST_F(RoutingTest, MultiplexPassesEachValueWithItsSendersType) {
    std::string flow = stepper("2", "0") + module("Counter", "counter", {"step stepper step"}) +
                       module("Multiplier", "mult", {"number counter count", "factor \"2.5\""}) +
                       module("Multiplex", "mux",
                              {"inputs \"a b s\"", "a mult product", "b counter count", "s stepper step"}) +
                       module("RtProbe", "probe", {"text mux out", "int mux out", "real mux out", "signal mux out"});
    tk::ChildResult result = run(flow);
    const std::string step0 =
        "probe text: 0\nprobe int: 0\nprobe real: 0\nprobe signal: set\n"
        "probe text: 0\nprobe int: 0\nprobe real: 0\nprobe signal: set\n"
        "probe text: \nprobe signal: null\n";
    const std::string step1 =
        "probe text: 2.5\nprobe int: 2\nprobe real: 2.5\nprobe signal: set\n"
        "probe text: 1\nprobe int: 1\nprobe real: 1\nprobe signal: set\n"
        "probe text: \nprobe signal: null\n";
    EXPECT_EQ("Stepper running: 2, 0\n" + step0 + step1 + "Stop()\n", fm::runSection(result.out));
    EXPECT_NE(std::string::npos, result.out.find("\nmux instantiated\n"));
    EXPECT_NE(std::string::npos, result.out.find("\nmux deleted\n"));
    EXPECT_EQ("", result.err);
    EXPECT_EQ(0, result.exitStatus);
}

// A list that arrives while the flow runs makes the inputs anew; each sends
// the literal text its name had before (a remembered one, or the empty text
// for a new name) once, as text.
TEST_F(RoutingTest, MultiplexNewInputsSendTheirRememberedTextsAsText) {
    file("list.txt", "names.txt\n");
    file("names.txt", "a c");
    std::string flow = module("Caldris", "caldris", {"listfile \"list.txt\""}) +
                       module("Multiplex", "mux", {"inputs \"a b\"", "a \"7 dwarfs\"", "inputs caldris data"}) +
                       module("RtProbe", "probe", {"text mux out", "int mux out", "signal mux out"});
    tk::ChildResult result = run(flow);
    EXPECT_EQ("caldris running.\ncaldris: Reading file names.txt\n"
              "probe text: 7 dwarfs\nprobe int: 7\nprobe signal: set\n"
              "probe text: \nprobe int: 0\nprobe signal: set\nStop()\n",
              section(result.out, "caldris running."));
    EXPECT_EQ("", result.err);
}

// A value that comes back into the same Multiplex while it sends (here
// through a Vectorize whose vector cannot reach the Vectorize's own int
// input again) goes out with its own type, and the outer value then reaches
// the remaining receivers with its type again.
TEST_F(RoutingTest, MultiplexInALoopKeepsTheOuterValuesType) {
    file("list.txt", "words.txt\n");
    file("words.txt", "42 monkeys");
    std::string flow = module("Caldris", "caldris", {"listfile \"list.txt\""}) +
                       module("Multiplex", "mux", {"inputs \"a b\"", "a caldris data", "b vec out"}) +
                       module("Vectorize", "vec", {"inputs \"x y\"", "y mux out"}) +
                       module("RtProbe", "probe", {"text mux out", "int mux out"});
    tk::ChildResult result = run(flow);
    EXPECT_EQ("caldris running.\ncaldris: Reading file words.txt\n"
              "probe text: 0 42 \n"
              "probe text: 42 monkeys\nprobe int: 42\nStop()\n",
              section(result.out, "caldris running."));
    EXPECT_EQ("", result.err);
}

// The vector goes out when its last input gets a value, with the values the
// others hold: x every step, z every second step, y a literal text.
TEST_F(RoutingTest, VectorizeSendsWhenTheLastInputReceives) {
    std::string flow = stepper("3", "0") + module("Counter", "every", {"step stepper step"}) +
                       module("Counter", "second", {"skip \"2\"", "step stepper step"}) +
                       module("Vectorize", "vec",
                              {"inputs \"x y z\"", "y \"5 apples\"", "x every count", "z second count"}) +
                       module("RtProbe", "probe", {"ints vec out"});
    tk::ChildResult result = run(flow);
    EXPECT_EQ("Stepper running: 3, 0\nprobe ints: [0, 5, 0]\nprobe ints: [2, 5, 2]\nStop()\n",
              fm::runSection(result.out));
    EXPECT_NE(std::string::npos, result.out.find("\nvec instantiated\n"));
    EXPECT_NE(std::string::npos, result.out.find("\nvec deleted\n"));
    EXPECT_EQ("", result.err);
}

// A new list made while the vector has a receiver starts from zeros (the
// old w held 9) and sends nothing while the inputs are being replaced; the
// next value on the last input sends.
TEST_F(RoutingTest, VectorizeNewInputsStartFromZerosAndSendNothingMeanwhile) {
    file("names.txt", "a w");
    file("five.txt", "5");
    std::string flow = module("Caldris", "caldris", {"filename \"names.txt\""}) +
                       module("RtProbe", "probe", {"ints vec out"}) +
                       module("Caldris", "five", {"filename \"five.txt\""}) +
                       module("Vectorize", "vec", {"inputs \"w\"", "w \"9\"", "inputs caldris data", "w five data"});
    tk::ChildResult result = run(flow);
    EXPECT_EQ("probe ints: [0, 5]\n", tk::linesStartingWith(result.out, {"probe"}));
    EXPECT_EQ("", result.err);
}

// The same list given twice in the flow file resets the literal given in
// between; an empty list leaves no input to feed.
TEST_F(RoutingTest, VectorizeListLiterals) {
    const struct {
        std::vector<std::string> inputs;
        const char* shown;
    } cases[] = {
        {{"inputs \"x y\"", "x \"3\"", "inputs \"x y\"", "y every count"}, "probe ints: [0, 0]\nprobe ints: [0, 1]\n"},
        {{"inputs \"x y\"", "x \"3\"", "y every count"}, "probe ints: [3, 0]\nprobe ints: [3, 1]\n"},
        {{"inputs \"\"", "x every count"}, ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.shown);
        std::string vec = "Vectorize vec\n";
        for (const std::string& input : c.inputs) vec += "\t" + input + "\n";
        std::string flow = stepper("2", "0") + module("Counter", "every", {"step stepper step"}) + vec + "\n" +
                           module("RtProbe", "probe", {"ints vec out"});
        tk::ChildResult result = run(flow);
        EXPECT_EQ(std::string("Stepper running: 2, 0\n") + c.shown + "Stop()\n", fm::runSection(result.out));
    }
}

// Plug-ins loaded into this process, deleted through their own entry points.
class Loaded {
public:
    Loaded(const std::string& className, const std::string& dir, const std::string& instanceName)
        : handle(className, nullptr, nullptr, nullptr) {
        handle.SetPath(dir);
        handle.Load();
        std::string name = instanceName;
        if (handle.newObject != nullptr) object = handle.newObject(name);
    }
    ~Loaded() {
        if (object != nullptr) handle.delObject(object);
    }
    Corvane* operator->() { return object; }
    Corvane* get() { return object; }

    pluginHandle handle;
    Corvane* object = nullptr;
};

// Wired by hand, as an outside editor may: a literal on an input that has a
// sender still leaves as text, and when the input's most recent sender is
// removed while an older one still feeds it, the older one's values keep
// their type.
TEST(MultiplexWiringTest, LiteralsLeaveAsTextAndOlderSendersKeepTheirType) {
    const std::string lib = std::string(ZARN_BUILD_DIR) + "/lib/";
    testing::internal::CaptureStdout();
    {
        Loaded mux("Multiplex", lib, "mux");
        Loaded first("Counter", lib, "first");
        Loaded second("Counter", lib, "second");
        Loaded probe("RtProbe", std::string(ZARN_TEST_PLUGINS) + "/", "probe");
        ASSERT_NE(nullptr, mux.get());
        ASSERT_NE(nullptr, probe.get());
        ASSERT_NE(nullptr, first.get());
        ASSERT_NE(nullptr, second.get());
        char names[] = "a";
        mux->SetInput("inputs", names);
        first->AddReceiver("count", mux.get(), "a");
        mux->AddReceiver("out", probe.get(), "int");
        char literal[] = "12 apes";
        mux->SetInput("a", literal);
        first->SetInput("step", nullptr);
        second->AddReceiver("count", mux.get(), "a");
        second->RemoveReceiver("count", mux.get(), "a");
        first->SetInput("step", nullptr);
    }
    std::string out = testing::internal::GetCapturedStdout();
    EXPECT_EQ("probe int: 12\nprobe int: 0\nprobe int: 1\n", tk::linesStartingWith(out, {"probe"}));
}

}  // namespace
}  // namespace rt
