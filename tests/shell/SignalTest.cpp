// SIGTERM and SIGINT sent to a running torvask: the run is stopped and torn
// down as the end of the interaction would do it (Pashtin's child ended,
// Lorvick's file whole, Notify's command ended with what it started), and
// the process then ends by that signal; a second signal ends it at once.

#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <string>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include "TkProcess.h"

namespace {

const std::string kBuild = ZARN_BUILD_DIR;

// An endless Stepper counts into Felmira, whose records Lorvick writes to
// events.fevent, and into Pashtin, whose child writes its id to child.pid
// and then only sleeps.
const std::string kFlow =
    "Stepper stepper\n\tsteps \"0\"\n\tinterval \"0.005\"\n\n"
    "Counter counter\n\tstep stepper step\n\n"
    "Felmira parse\n\tstring counter count\n\tregex \"([0-9]+)\"\n\tproperties \"* count\"\n\n"
    "Lorvick writer\n\tfevent parse fevent\n\tfilename \"events.fevent\"\n\n"
    "Pashtin pashtin\n\tcommand \"sh child.sh\"\n\tstring counter count\n\n";

// Reads the file back to its end.
const std::string kReplay =
    "Ambrel reader\n\tfilename \"events.fevent\"\n\n"
    "Display total\n\tdata reader eof\n\tprefix \"records read: \"\n";

// Whether `pid` is a live process (a zombie is not).
bool alive(pid_t pid) {
    std::string stat = tk::readFile("/proc/" + std::to_string(pid) + "/stat");
    if (stat.empty()) return false;
    size_t end = stat.rfind(')');
    return end != std::string::npos && end + 2 < stat.size() && stat[end + 2] != 'Z';
}

// Signals reach the child as from a terminal: SIGINT must not be ignored
// (a background job inherits it ignored, and torvask keeps that).
class DefaultSigint {
public:
    DefaultSigint() { previous = signal(SIGINT, SIG_DFL); }
    ~DefaultSigint() { signal(SIGINT, previous); }

private:
    sighandler_t previous;
};

class SignalTest : public ::testing::Test, protected tk::RunDirs {
protected:
    void SetUp() override {
        tk::writeFile(work + "/flow.mivet", kFlow);
        tk::writeFile(work + "/replay.mivet", kReplay);
    }

    void TearDown() override {
        if (childPid > 0 && alive(childPid)) kill(childPid, SIGKILL);
    }

    std::vector<std::string> env() const { return {"ZARN_INSTALL=" + kBuild + "/lib"}; }

    // Waits until Pashtin's child has written its id and some records are
    // on their way.
    bool waitForChild(tk::Child& torvask) {
        if (!torvask.waitForOutput("Stepper running", 60)) return false;
        childPid = waitForPid("child.pid");
        std::this_thread::sleep_for(std::chrono::milliseconds(200));
        return childPid > 0;
    }

    // The id that a child writes, with a line feed, to `file` in the
    // working directory; -1 when none comes within a minute.
    pid_t waitForPid(const std::string& file) {
        for (int i = 0; i < 6000; ++i) {
            std::string text = tk::readFile(work + "/" + file);
            if (!text.empty() && text.back() == '\n') return std::stoi(text);
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        return -1;
    }

    pid_t childPid = -1;
};

struct Case {
    const char* name;
    int sig;
    bool threadMode;
};

class FirstSignalTest : public SignalTest, public ::testing::WithParamInterface<Case> {};

TEST_P(FirstSignalTest, TearsTheRunDownThenEndsByTheSignal) {
    const Case& c = GetParam();
    tk::writeFile(work + "/child.sh", "echo $$ > child.pid\nexec sleep 1000\n");
    DefaultSigint sigint;
    std::vector<std::string> args{"flow.mivet"};
    if (c.threadMode) args.insert(args.begin(), "-t");
    tk::ChildResult result;
    {
        // With -t the interaction waits for a line that never comes.
        tk::Child torvask(kBuild + "/bin/torvask", args, env(), work, capture, tk::Input::Pipe);
        ASSERT_TRUE(waitForChild(torvask));
        torvask.sendSignal(c.sig);
        result = torvask.wait(60);
    }
    ASSERT_FALSE(result.timedOut);
    EXPECT_EQ(c.sig, result.termSignal);
    EXPECT_EQ(-1, result.exitStatus);
    EXPECT_FALSE(alive(childPid)) << "Pashtin's child " << childPid << " survived";
    for (const char* line : {"Delete manager\n", "pashtin deleted\n", "writer closed.\n", "Delete manager done\n"})
        EXPECT_NE(std::string::npos, result.out.find(line)) << line;
    EXPECT_EQ(std::string::npos, result.out.find("Stop()\n", result.out.find("Delete manager\n")))
        << "the driver was still running at the deletion";

    tk::ChildResult replay = tk::run(kBuild + "/bin/torvask", {"-a", "", "replay.mivet"}, env(), work, capture);
    EXPECT_EQ(0, replay.exitStatus);
    EXPECT_EQ("", replay.err);
    size_t read = replay.out.find("records read: ");
    ASSERT_NE(std::string::npos, read) << replay.out;
    EXPECT_LT(0, std::stoi(replay.out.substr(read + 14)));
}

INSTANTIATE_TEST_SUITE_P(Signals, FirstSignalTest,
                         ::testing::Values(Case{"TermForeground", SIGTERM, false}, Case{"IntForeground", SIGINT, false},
                                           Case{"TermThreadMode", SIGTERM, true}, Case{"IntThreadMode", SIGINT, true}),
                         [](const ::testing::TestParamInfo<Case>& info) { return std::string(info.param.name); });

// Notify's command runs a script that starts a sleeper and waits for it:
// when the run stops (a signal, or the end of -t's interaction), the
// command and the sleeper are ended and the run ends.
class NotifyStopTest : public SignalTest, public ::testing::WithParamInterface<Case> {};

TEST_P(NotifyStopTest, TheCommandAndWhatItStartedAreEnded) {
    const Case& c = GetParam();
    tk::writeFile(work + "/notify.mivet",
                  "Stepper stepper\n\tsteps \"2\"\n\tinterval \"0\"\n\n"
                  "Notify notify\n\ttrigger stepper step\n\tcommand \"sh notify.sh\"\n");
    tk::writeFile(work + "/notify.sh", "echo $$ > script.pid\nsleep 1000 &\necho $! > sleeper.pid\nwait\n");
    DefaultSigint sigint;
    std::vector<std::string> args{"notify.mivet"};
    if (c.threadMode) args.insert(args.begin(), "-t");
    tk::Child torvask(kBuild + "/bin/torvask", args, env(), work, capture, tk::Input::Pipe);
    pid_t script = waitForPid("script.pid");
    ASSERT_GT(script, 0);
    pid_t sleeper = waitForPid("sleeper.pid");
    ASSERT_GT(sleeper, 0);
    if (c.sig != 0)
        torvask.sendSignal(c.sig);
    else
        torvask.closeInput();
    tk::ChildResult result = torvask.wait(60);
    ASSERT_FALSE(result.timedOut);
    EXPECT_EQ(c.sig, result.termSignal);
    EXPECT_EQ(c.sig == 0 ? 0 : -1, result.exitStatus);
    EXPECT_FALSE(alive(script)) << "the command's script survived";
    EXPECT_FALSE(alive(sleeper)) << "what the command started survived";
    EXPECT_EQ("notify: Ended command 'sh notify.sh': the run stops\n", result.err);
    EXPECT_NE(std::string::npos, result.out.find("Delete manager done\n"));
    if (alive(sleeper)) kill(sleeper, SIGKILL);
}

INSTANTIATE_TEST_SUITE_P(Signals, NotifyStopTest,
                         ::testing::Values(Case{"TermForeground", SIGTERM, false}, Case{"InteractionEnds", 0, true}),
                         [](const ::testing::TestParamInfo<Case>& info) { return std::string(info.param.name); });

// The child ignores SIGTERM, so Pashtin's teardown waits for it before it
// kills it; a second signal in that time ends the process before the
// teardown is done.
TEST_F(SignalTest, SecondSignalEndsTheProcessAtOnce) {
    tk::writeFile(work + "/child.sh", "trap '' TERM\necho $$ > child.pid\nexec sleep 1000\n");
    DefaultSigint sigint;
    tk::Child torvask(kBuild + "/bin/torvask", {"flow.mivet"}, env(), work, capture);
    ASSERT_TRUE(waitForChild(torvask));
    torvask.sendSignal(SIGTERM);
    ASSERT_TRUE(torvask.waitForOutput("Delete manager\n", 60));
    torvask.sendSignal(SIGINT);
    tk::ChildResult result = torvask.wait(60);
    ASSERT_FALSE(result.timedOut);
    EXPECT_EQ(SIGINT, result.termSignal);
    EXPECT_EQ(std::string::npos, result.out.find("Delete manager done\n"));
}

}  // namespace
