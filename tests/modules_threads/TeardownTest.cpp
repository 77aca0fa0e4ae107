// Tearing a flow down while Pashtin's reader thread still delivers: no line
// reaches the receiver once it is being deleted, whichever of the two the
// flow file names first, in the foreground and with -t, for a command that
// prints now and then and for one that prints faster than the receiver
// takes its lines. The fast command stops after a bounded output (which
// lasts well past the teardown at the receiver's pace), so a slow run cannot
// fill the disk or the test's memory.

#include <sys/stat.h>

#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "TkProcess.h"

namespace {

struct Case {
    const char* name;
    bool receiverFirst;
    bool threadMode;
    const char* command;
};

const Case kCases[] = {
    {"ReceiverFirstForeground", true, false, "sh tick.sh"},
    {"ReceiverLastForeground", false, false, "sh tick.sh"},
    {"ReceiverFirstThreadMode", true, true, "sh tick.sh"},
    {"ReceiverLastThreadMode", false, true, "sh tick.sh"},
    {"FastCommandReceiverFirstForeground", true, false, "sh fast.sh"},
    {"FastCommandReceiverLastForeground", false, false, "sh fast.sh"},
    {"FastCommandReceiverFirstThreadMode", true, true, "sh fast.sh"},
    {"FastCommandReceiverLastThreadMode", false, true, "sh fast.sh"},
};

const int kRuns = 20;

// A Stepper drives the flow (for ever with -t, until the user ends it);
// Pashtin's lines go to a Display, named before or after the Pashtin.
std::string teardownFlow(const Case& c) {
    std::string stepper = std::string("Stepper stepper\n\tsteps \"") + (c.threadMode ? "0" : "20") +
                          "\"\n\tinterval \"0.01\"\n\n";
    std::string display = "Display display\n\tdata pashtin string\n\tprefix \"got \"\n\n";
    std::string pashtin = std::string("Pashtin pashtin\n\tcommand \"") + c.command + "\"\n\n";
    return stepper + (c.receiverFirst ? display + pashtin : pashtin + display);
}

// Walks the text line by line in place: the fast command's output is
// millions of lines.
std::string withoutUnloading(const std::string& text) {
    std::string kept;
    kept.reserve(text.size());
    for (size_t start = 0; start < text.size();) {
        size_t end = text.find('\n', start);
        end = end == std::string::npos ? text.size() : end + 1;
        if (text.compare(start, 11, "Unloading: ") != 0) kept.append(text, start, end - start);
        start = end;
    }
    return kept;
}

class TeardownTest : public ::testing::TestWithParam<Case>, protected tk::RunDirs {
protected:
    void SetUp() override {
        tk::writeFile(work + "/tick.sh", "while :; do echo tick; sleep 0.001; done\n");
        tk::writeFile(work + "/fast.sh", "yes tick | head -c 16000000\n");
        tk::writeFile(work + "/flow.mivet", teardownFlow(GetParam()));
    }

    tk::ChildResult runOnce() {
        const std::string build = ZARN_BUILD_DIR;
        const std::vector<std::string> env = {"ZARN_INSTALL=" + build + "/lib"};
        if (!GetParam().threadMode)
            return tk::run(build + "/bin/torvask", {"-a", "", "flow.mivet"}, env, work, capture, 60);
        tk::Child child(build + "/bin/torvask", {"-t", "flow.mivet"}, env, work, capture, tk::Input::Pipe);
        // The user ends the run while lines arrive.
        EXPECT_TRUE(child.waitForOutput("got tick\n", 60));
        EXPECT_TRUE(child.waitForOutput("Hit return to exit\n", 60));
        child.send("\n");
        return child.wait(60);
    }
};

TEST_P(TeardownTest, EveryRunEndsNormallyWithEveryLifeMessage) {
    for (int run = 0; run < kRuns; ++run) {
        SCOPED_TRACE("run " + std::to_string(run));
        tk::ChildResult result = runOnce();
        ASSERT_FALSE(result.timedOut);
        ASSERT_EQ(0, result.exitStatus) << result.err;
        EXPECT_EQ(std::string::npos, result.err.find("runtime error")) << result.err;
        const std::string out = withoutUnloading(result.out);
        for (const char* life : {"display instantiated\n", "pashtin instantiated\n", "pashtin initialized.\n",
                                 "pashtin deleted\n", "display destructed.\n", "Stepper weg\n"})
            EXPECT_NE(std::string::npos, out.find(life)) << life;
        // The Display's last lines may still cut into "Delete manager", which
        // comes before the flow is taken apart; "Delete manager done" follows.
        size_t first = out.find("Delete manager");
        EXPECT_NE(std::string::npos, first);
        EXPECT_NE(std::string::npos, out.find("Delete manager", first + 1));
        const std::string done = "Delete manager done\n";
        ASSERT_GE(out.size(), done.size());
        EXPECT_EQ(done, out.substr(out.size() - done.size()));
        // Nothing is delivered to the Display once its deletion has begun.
        size_t deleted = out.find("display destructed.\n");
        EXPECT_EQ(std::string::npos, out.find("got ", deleted));
        EXPECT_NE(std::string::npos, out.find("got tick\n"));
    }
}

INSTANTIATE_TEST_SUITE_P(Flows, TeardownTest, ::testing::ValuesIn(kCases),
                         [](const ::testing::TestParamInfo<Case>& info) { return std::string(info.param.name); });

}  // namespace
