// torvask run as a process: options, flow file choice, missing classes,
// the AIDA system's lines and the threaded run.

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "TkProcess.h"

namespace {

const std::string kTorvask = std::string(ZARN_BUILD_DIR) + "/bin/torvask";
const std::string kUsage = "Usage:\ntorvask [-ti] [-a <AIDA system>] <filename>\n";

// The manager's and the built-in AIDA system's lines before the flow loads.
const std::string kCastrineStart =
    "New manager\n"
    "Mesgrave: Loading AIDA system Castrine\n"
    "creating main factory\n"
    "Castrine::Castrine\n"
    "IAnalysisFactory found\n"
    "New manager done\n";

// What showPlotter prints with the built-in AIDA system.
const std::string kCastrineShow =
    "creating plotterfactory\n"
    "VornPlotterFactory::VornPlotterFactory\n"
    "creating plotter\n"
    "VornPlotter::VornPlotter()\n"
    "VornPlotterRegion::VornPlotterRegion()\n";

// A driver counting to `steps` into a receiver that prints each number.
std::string countFlow(int steps) {
    return "TkCount count\n"
           "\tsteps \"" + std::to_string(steps) + "\"\n"
           "TkShow show\n"
           "\tvalue count count\n";
}

// Lines of a run of countFlow(2), from loading the flow to its end.
const std::string kCountLoad =
    "Loading: TkCount\n"
    "count instantiated\n"
    "Loading: TkShow\n"
    "show instantiated\n";
const std::string kCountRun =
    "count: step 0\n"
    "show: begin 0\n"
    "show: end 0\n"
    "count: step 1\n"
    "show: begin 1\n"
    "show: end 1\n"
    "count: done\n";
const std::string kCountEnd =
    "Delete manager\n"
    "show deleted\n"
    "count deleted\n"
    "Delete manager done\n";

// An endless driver feeding a receiver that takes `delay` microseconds.
std::string loopFlow(int delay) {
    return "TkLoop loop\n"
           "TkShow show\n"
           "\tvalue loop count\n"
           "\tdelay \"" + std::to_string(delay) + "\"\n";
}

class TorvaskTest : public ::testing::Test, protected tk::RunDirs {
protected:
    std::vector<std::string> env(const std::vector<std::string>& more = {}) const {
        std::vector<std::string> all{"ZARN_INSTALL=" + std::string(ZARN_TEST_PLUGINS)};
        all.insert(all.end(), more.begin(), more.end());
        return all;
    }

    tk::ChildResult torvask(const std::vector<std::string>& args, const std::vector<std::string>& more = {}) {
        return tk::run(kTorvask, args, env(more), work, capture);
    }

    void writeFlow(const std::string& name, const std::string& text) { tk::writeFile(work + "/" + name, text); }
};

// Drops the "Unloading: <name>" lines that the plug-in handles print when
// the process ends; their order is the catalogue's business.
std::string withoutUnloading(const std::string& text) {
    std::string kept;
    for (const std::string& line : tk::splitLines(text))
        if (line.rfind("Unloading: ", 0) != 0) kept += line + "\n";
    return kept;
}

TEST_F(TorvaskTest, RefusedOptionsEndBeforeAnyManager) {
    struct Case {
        std::vector<std::string> args;
        std::string message;
    } cases[] = {
        {{"-f"}, "Option '-f' obsolete.\n"},
        {{"-p", "x"}, "Option '-p' was replaced by '-a'.\n"},
        {{"-t", "-f", "flow.mivet"}, "Option '-f' obsolete.\n"},
        {{"-p", "-f"}, "Option '-p' was replaced by '-a'.\n"},
        {{"-a", "Castrine", "-f"}, "Option '-f' obsolete.\n"},
    };
    for (const Case& c : cases) {
        tk::ChildResult result = torvask(c.args);
        SCOPED_TRACE(c.args[0]);
        EXPECT_EQ(1, result.exitStatus);
        EXPECT_EQ("", result.out);
        EXPECT_EQ(c.message + kUsage, result.err);
    }
}

TEST_F(TorvaskTest, PlainRunPrintsTheAidaSystemLinesAroundTheFlow) {
    writeFlow("count.mivet", countFlow(2));
    tk::ChildResult result = torvask({"count.mivet"});
    EXPECT_EQ(0, result.exitStatus);
    EXPECT_EQ("", result.err);
    EXPECT_EQ(kCastrineStart + kCountLoad + kCastrineShow + kCountRun + kCountEnd, withoutUnloading(result.out));
}

TEST_F(TorvaskTest, InteractAfterForegroundRun) {
    writeFlow("count.mivet", countFlow(2));
    tk::ChildResult result = torvask({"-i", "count.mivet"});
    EXPECT_EQ(0, result.exitStatus);
    EXPECT_EQ(kCastrineStart + kCountLoad + kCastrineShow + kCountRun + kCastrineShow + "Hit return to exit\n" +
                  kCountEnd,
              withoutUnloading(result.out));
}

TEST_F(TorvaskTest, OnlyTheFirstOperandIsRun) {
    writeFlow("a.mivet", countFlow(2));
    writeFlow("b.mivet", "TkLoop loop\n");
    tk::ChildResult result = torvask({"a.mivet", "b.mivet"});
    EXPECT_EQ(0, result.exitStatus);
    EXPECT_EQ(kCastrineStart + kCountLoad + kCastrineShow + kCountRun + kCountEnd, withoutUnloading(result.out));
}

TEST_F(TorvaskTest, DefaultFlowFileComesFromZarnBase) {
    ASSERT_EQ(0, system(("mkdir -p " + scratch + "/base/Base").c_str()));
    tk::writeFile(scratch + "/base/Base/gaussian.mivet", countFlow(2));
    writeFlow("gaussian.mivet", "TkLoop loop\n");
    tk::ChildResult result = torvask({}, {"ZARN_BASE=" + scratch + "/base"});
    EXPECT_EQ(0, result.exitStatus);
    EXPECT_EQ(kCastrineStart + kCountLoad + kCastrineShow + kCountRun + kCountEnd, withoutUnloading(result.out));
}

TEST_F(TorvaskTest, DefaultFlowFileWithoutZarnBaseIsInTheWorkingDirectory) {
    writeFlow("gaussian.mivet", countFlow(2));
    tk::ChildResult result = torvask({});
    EXPECT_EQ(0, result.exitStatus);
    EXPECT_EQ(kCastrineStart + kCountLoad + kCastrineShow + kCountRun + kCountEnd, withoutUnloading(result.out));
}

TEST_F(TorvaskTest, MissingFlowFileStillRunsAndEndsWithStatusOne) {
    tk::ChildResult result = torvask({"nothere.mivet"});
    EXPECT_EQ(1, result.exitStatus);
    EXPECT_EQ("Configuration file nothere.mivet not found.\n", result.err);
    EXPECT_EQ(kCastrineStart + kCastrineShow + "Delete manager\nDelete manager done\n", withoutUnloading(result.out));

    tk::ChildResult base = torvask({}, {"ZARN_BASE=/nonexistent/x"});
    EXPECT_EQ(1, base.exitStatus);
    EXPECT_EQ("Configuration file /nonexistent/x/Base/gaussian.mivet not found.\n", base.err);
}

TEST_F(TorvaskTest, MissingClassesAreListedSortedAndTheRestRuns) {
    writeFlow("flow.mivet", countFlow(2) + "Foo foo\n\tx \"1\"\nBar bar\nFoo foo2\n");
    tk::ChildResult result = torvask({"flow.mivet"});
    EXPECT_EQ(0, result.exitStatus);
    EXPECT_EQ(kCastrineStart + kCountLoad +
                  "The following classes could not be found:\n"
                  "    Bar\n"
                  "    Foo\n" +
                  kCastrineShow + kCountRun + kCountEnd,
              withoutUnloading(result.out));
}

TEST_F(TorvaskTest, EmptyAidaNameLoadsNothingAndShowsNoPlotter) {
    writeFlow("count.mivet", countFlow(2));
    tk::ChildResult result = torvask({"-i", "-a", "", "count.mivet"});
    EXPECT_EQ(0, result.exitStatus);
    EXPECT_EQ("New manager\nNew manager done\n" + kCountLoad + kCountRun + kCountEnd, withoutUnloading(result.out));
    EXPECT_EQ("", result.err);
}

TEST_F(TorvaskTest, UnknownAidaSystemIsReportedAndTheFlowRuns) {
    writeFlow("count.mivet", countFlow(2));
    tk::ChildResult result = torvask({"-a", "NoSuchAida", "count.mivet"});
    EXPECT_EQ(0, result.exitStatus);
    EXPECT_EQ("AIDA system NoSuchAida not found!\n", result.err);
    std::vector<std::string> lines = tk::splitLines(withoutUnloading(result.out));
    ASSERT_GE(lines.size(), 5u);
    EXPECT_EQ("Mesgrave: Loading AIDA system NoSuchAida", lines[1]);
    // The loader's own text for the last file tried.
    EXPECT_NE(std::string::npos, lines[2].find("NoSuchAida"));
    EXPECT_EQ("IAnalysisFactory found", lines[3]);
    EXPECT_EQ("New manager done", lines[4]);
    EXPECT_NE(std::string::npos, result.out.find(kCountRun + kCountEnd));
}

TEST_F(TorvaskTest, UnknownOptionGetsGetoptsDiagnosticAndIsIgnored) {
    writeFlow("count.mivet", countFlow(2));
    tk::ChildResult result = torvask({"-z", "count.mivet"});
    EXPECT_EQ(0, result.exitStatus);
    EXPECT_NE(std::string::npos, result.err.find("invalid option -- 'z'"));
    EXPECT_EQ(kCastrineStart + kCountLoad + kCastrineShow + kCountRun + kCountEnd, withoutUnloading(result.out));
}

// Every "begin n" of the receiver is followed by its "end n" before anything
// else of the flow, and nothing of the flow comes after "Delete manager"
// except the deletions.
void expectWholeItemsBeforeDeletion(const std::string& out) {
    std::vector<std::string> lines = tk::splitLines(out);
    auto deleting = std::find(lines.begin(), lines.end(), "Delete manager");
    ASSERT_NE(lines.end(), deleting);
    std::string open;
    for (auto line = lines.begin(); line != deleting; ++line) {
        if (line->rfind("show: begin ", 0) == 0) {
            EXPECT_EQ("", open) << "item " << open << " not finished";
            open = line->substr(12);
        } else if (line->rfind("show: end ", 0) == 0) {
            EXPECT_EQ(open, line->substr(10));
            open.clear();
        }
    }
    EXPECT_EQ("", open) << "item " << open << " still running at deletion";
    std::vector<std::string> tail(deleting, lines.end());
    std::vector<std::string> expected{"Delete manager", "show deleted", "loop deleted", "Delete manager done"};
    tail.erase(std::remove_if(tail.begin(), tail.end(),
                              [](const std::string& l) { return l.rfind("Unloading: ", 0) == 0; }),
               tail.end());
    EXPECT_EQ(expected, tail);
}

TEST_F(TorvaskTest, ThreadModeWithInputAtItsEndNeverHangs) {
    writeFlow("loop.mivet", loopFlow(0));
    for (const std::string& aida : {std::string("Castrine"), std::string("")}) {
        for (int run = 0; run < 15; ++run) {
            SCOPED_TRACE("AIDA system '" + aida + "', run " + std::to_string(run));
            tk::ChildResult result = tk::run(kTorvask, {"-t", "-a", aida, "loop.mivet"}, env(), work, capture, 60);
            ASSERT_FALSE(result.timedOut);
            EXPECT_EQ(0, result.exitStatus);
            EXPECT_EQ("", result.err);
            EXPECT_NE(std::string::npos, result.out.find("loop: started\n"));
            EXPECT_NE(std::string::npos, result.out.find("loop: stopped\n"));
            bool interacted = result.out.find("Hit return to exit\n") != std::string::npos;
            EXPECT_EQ(!aida.empty(), interacted);
            expectWholeItemsBeforeDeletion(result.out);
        }
    }
}

TEST_F(TorvaskTest, ThreadModeRunsUntilTheLineThenFinishesTheItemAndDeletes) {
    writeFlow("loop.mivet", loopFlow(500));
    tk::Child child(kTorvask, {"-t", "loop.mivet"}, env(), work, capture, tk::Input::Pipe);
    ASSERT_TRUE(child.started());
    // The flow runs while the plotter waits for the user.
    ASSERT_TRUE(child.waitForOutput("show: end 20\n", 60));
    EXPECT_TRUE(child.waitForOutput("Hit return to exit\n", 60));
    child.send("\n");
    tk::ChildResult result = child.wait(60);
    ASSERT_FALSE(result.timedOut);
    EXPECT_EQ(0, result.exitStatus);
    EXPECT_EQ("", result.err);
    size_t requested = result.out.find("loop: stop requested\n");
    ASSERT_NE(std::string::npos, requested);
    EXPECT_LT(requested, result.out.find("loop: stopped\n"));
    expectWholeItemsBeforeDeletion(result.out);
}

TEST_F(TorvaskTest, ThreadModeWithAFiniteFlowEndsWhenTheUserDoes) {
    writeFlow("count.mivet", countFlow(2));
    tk::Child child(kTorvask, {"-t", "count.mivet"}, env(), work, capture, tk::Input::Pipe);
    ASSERT_TRUE(child.waitForOutput("count: done\n", 60));
    child.send("\n");
    tk::ChildResult result = child.wait(60);
    EXPECT_EQ(0, result.exitStatus);
    // The two threads' lines interleave; each thread's own keep their order.
    std::string flow, main;
    for (const std::string& line : tk::splitLines(withoutUnloading(result.out))) {
        bool fromFlow = line.rfind("count: ", 0) == 0 || line.rfind("show: ", 0) == 0;
        (fromFlow ? flow : main) += line + "\n";
    }
    EXPECT_EQ(kCountRun, flow);
    EXPECT_EQ(kCastrineStart + kCountLoad + kCastrineShow + "Hit return to exit\n" + kCountEnd, main);
}

// A first module that keeps its running flag after Start() (a receiver
// put first) is stopped when the interaction ends, though its thread has
// ended long before, and so before the manager goes.
TEST_F(TorvaskTest, ThreadModeStopsTheManagerAfterTheInteractionEvenWhenTheFlowHasEnded) {
    writeFlow("show.mivet", "TkShow show\n");
    for (const std::string& aida : {std::string("Castrine"), std::string("")}) {
        SCOPED_TRACE("AIDA system '" + aida + "'");
        tk::ChildResult result = torvask({"-t", "-a", aida, "show.mivet"});
        ASSERT_FALSE(result.timedOut);
        EXPECT_EQ(0, result.exitStatus);
        const std::string out = withoutUnloading(result.out);
        size_t stop = out.find("Stop()\n");
        ASSERT_NE(std::string::npos, stop) << out;
        EXPECT_EQ(std::string::npos, out.find("Stop()\n", stop + 1)) << out;
        EXPECT_EQ(out.substr(stop), "Stop()\n" + std::string("Delete manager\nshow deleted\nDelete manager done\n"));
    }
}

}  // namespace
