// Pashtin: a command piped into the flow, its lines delivered by the
// module's reader thread.

#include <fcntl.h>
#include <limits.h>
#include <signal.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <thread>

#include "InheritedSignals.h"
#include "ThSupport.h"
#include "fm_flow_run.h"

namespace th {
namespace {

using fm::module;

// ThFeed's lines go to a Pashtin given these command literals in turn, and
// the command's lines to out.txt. Pashtin comes last, so that it is deleted
// (and its reader joined) before the Pennoch it delivers to.
std::string pipeFlow(std::initializer_list<std::string> commands) {
    std::string pashtin = "Pashtin pashtin\n";
    for (const std::string& command : commands) pashtin += "\tcommand \"" + command + "\"\n";
    pashtin += "\tstring feed line\n\n";
    return module("ThFeed", "feed", {}) +
           module("Pennoch", "pennoch", {"filename \"out.txt\"", "suffix \"\"", "data pashtin string"}) + pashtin;
}

// ThFeed's lines become the commands of a Pashtin, whose lines go to
// out.txt. A command given once the flow is wired loses none of its lines,
// even one that prints at once and ends.
std::string commandFlow() {
    return module("ThFeed", "feed", {}) +
           module("Pennoch", "pennoch", {"filename \"out.txt\"", "suffix \"\"", "data pashtin string"}) +
           module("Pashtin", "pashtin", {"command feed line"});
}

std::string moduleLines(const std::string& out) {
    return tk::linesStartingWith(out, {"pashtin", "pennoch", "Pennoch"});
}

std::string runningLine(const std::string& command) { return "pashtin: Runnnning command \"" + command + "\"\n"; }

const char kLifeBefore[] = "pennoch instantiated\npashtin instantiated\npashtin initialized.\n";
const char kLifeAfter[] = "pashtin deleted\nPennoch weg\n";

using PashtinFlowTest = FlowTest;

TEST_F(PashtinFlowTest, EachStringComesBackAsALineOfTheCommand) {
    const struct {
        std::initializer_list<std::string> commands;
        const char* fed;
        const char* echoed;
    } cases[] = {
        {{"cat"}, "a\nbb\n\n", "a\nbb\n\n"},
        // Words are split at blanks and tabs, with no quoting.
        {{"sed  -u\ts/a/A/g"}, "banana\nxyz\n", "bAnAnA\nxyz\n"},
        {{"grep --line-buffered -v skip"}, "keep 1\nskip\nkeep 2\n", "keep 1\nkeep 2\n"},
        // A second command replaces the first at once.
        {{"sleep 30", "cat"}, "after restart\n", "after restart\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(*c.commands.begin());
        tk::removeTree(work);
        mkdir(work.c_str(), 0700);
        std::unique_ptr<tk::Child> torvask = startFlow(pipeFlow(c.commands));
        torvask->send(c.fed);
        EXPECT_TRUE(waitForFile("out.txt", c.echoed, 30));
        torvask->closeInput();
        tk::ChildResult result = torvask->wait(60);
        ASSERT_FALSE(result.timedOut);
        EXPECT_EQ(0, result.exitStatus);
        EXPECT_EQ("", result.err);
        std::string running;
        for (const std::string& command : c.commands) running += runningLine(command);
        EXPECT_EQ(kLifeBefore + running + kLifeAfter, moduleLines(result.out));
    }
}

TEST_F(PashtinFlowTest, AMissingProgramIsReportedAndStringsAreDropped) {
    std::unique_ptr<tk::Child> torvask = startFlow(pipeFlow({"zarn-no-such-program --now"}));
    torvask->send("dropped\n");
    torvask->closeInput();
    tk::ChildResult result = torvask->wait(60);
    ASSERT_FALSE(result.timedOut);
    EXPECT_EQ(0, result.exitStatus);
    EXPECT_EQ("pashtin[Child]: Could not start process \"zarn-no-such-program\". No such file or directory\n",
              result.err);
    EXPECT_EQ(kLifeBefore + runningLine("zarn-no-such-program --now") + kLifeAfter, moduleLines(result.out));
    EXPECT_EQ("", workFile("out.txt"));
}

// The command path of this process (and so of torvask) begins with `folder`
// while it lives.
class PathBeginningWith {
public:
    explicit PathBeginningWith(const std::string& folder) {
        const char* path = std::getenv("PATH");
        had = path != nullptr;
        if (had) before = path;
        setenv("PATH", (folder + ":" + before).c_str(), 1);
    }
    ~PathBeginningWith() {
        if (had)
            setenv("PATH", before.c_str(), 1);
        else
            unsetenv("PATH");
    }

private:
    bool had = false;
    std::string before;
};

// An executable file without "#!" runs under /bin/sh with the file and the
// command's other words; no shell reads the command itself.
TEST_F(PashtinFlowTest, AnExecutableFileWithoutInterpreterLineRunsUnderTheShell) {
    const std::string script = "echo \"$0\" \"$@\"\n";
    mkdir((work + "/bin").c_str(), 0700);
    for (const char* file : {"/plain.sh", "/bin/on-path.sh"}) {
        tk::writeFile(work + file, script);
        chmod((work + file).c_str(), 0700);
    }
    PathBeginningWith path(work + "/bin");
    const struct {
        std::string command;
        std::string printed;
    } cases[] = {
        {"./plain.sh one $HOME ;two", "./plain.sh one $HOME ;two\n"},
        {work + "/plain.sh", work + "/plain.sh\n"},
        {"on-path.sh 'a b'", work + "/bin/on-path.sh 'a b'\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.command);
        unlink((work + "/out.txt").c_str());
        std::unique_ptr<tk::Child> torvask = startFlow(commandFlow());
        torvask->send(c.command + "\n");
        EXPECT_TRUE(waitForFile("out.txt", c.printed, 30));
        torvask->closeInput();
        tk::ChildResult result = torvask->wait(60);
        ASSERT_FALSE(result.timedOut);
        EXPECT_EQ(0, result.exitStatus);
        EXPECT_EQ("", result.err);
    }
}

// What torvask ignores or blocks, and what it inherited, does not reach the
// command: it starts as from a shell.
TEST_F(PashtinFlowTest, TheCommandStartsWithEverySignalAtItsDefault) {
    std::unique_ptr<tk::Child> torvask;
    {
        inherited::UnusualSignals unusual;
        torvask = startFlow(commandFlow());
    }
    torvask->send("grep -e SigBlk -e SigIgn /proc/self/status\n");
    EXPECT_TRUE(waitForFile("out.txt", inherited::kDefaultSignalLines, 30)) << workFile("out.txt");
    torvask->closeInput();
    tk::ChildResult result = torvask->wait(60);
    ASSERT_FALSE(result.timedOut);
    EXPECT_EQ(0, result.exitStatus);
}

// Bytes waiting in the pipe that is standard input of process `pid`, and
// what the pipe holds at most; -1 each when it cannot be seen.
void pipeFill(int pid, int& waiting, int& capacity) {
    waiting = capacity = -1;
    int fd = open(("/proc/" + std::to_string(pid) + "/fd/0").c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return;
    if (ioctl(fd, FIONREAD, &waiting) != 0) waiting = -1;
    capacity = fcntl(fd, F_GETPIPE_SZ);
    close(fd);
}

// True once the pipe that is standard input of process `pid` is nearly
// full and has stayed as it is for half a second: its writer waits.
bool waitForWaitingWriter(int pid, double seconds) {
    using Clock = std::chrono::steady_clock;
    auto deadline = Clock::now() + std::chrono::duration<double>(seconds);
    int seen = -1;
    Clock::time_point since = Clock::now();
    while (Clock::now() < deadline) {
        int waiting, capacity;
        pipeFill(pid, waiting, capacity);
        if (waiting != seen) {
            seen = waiting;
            since = Clock::now();
        } else if (waiting > capacity - PIPE_BUF && Clock::now() - since >= std::chrono::milliseconds(500)) {
            return true;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return false;
}

// True once process `pid` has ended (a zombie that its new parent has not
// reaped yet counts as ended); false after `seconds`.
bool processEnds(int pid, double seconds) {
    auto deadline = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
    for (;;) {
        std::string stat = tk::readFile("/proc/" + std::to_string(pid) + "/stat");
        size_t state = stat.rfind(") ");
        if (stat.empty() || (state != std::string::npos && stat.compare(state + 2, 1, "Z") == 0)) return true;
        if (std::chrono::steady_clock::now() >= deadline) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
}

// A command that never reads: once its pipe is full the flow thread waits in
// the write. Ending the interaction of -t (standard input at its end) stops
// the run; the write gives up with one line and torvask ends, its command
// with it.
TEST_F(PashtinFlowTest, AStoppedRunEndsThoughTheCommandDoesNotRead) {
    tk::writeFile(work + "/hold.sh", "echo $$ > hold.pid\nexec sleep 1000\n");
    tk::writeFile(work + "/flow.mivet", fm::stepper("30000", "0") + module("Counter", "counter", {"step stepper step"}) +
                                            module("Pashtin", "pashtin", {"command \"sh hold.sh\"", "string counter count"}));
    std::string build = ZARN_BUILD_DIR;
    tk::Child torvask(build + "/bin/torvask", {"-t", "flow.mivet"}, {"ZARN_INSTALL=" + build + "/lib"}, work, capture,
                      tk::Input::Pipe);
    int hold = 0;
    for (int i = 0; i < 3000 && hold <= 0; ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
        hold = std::atoi(workFile("hold.pid").c_str());
    }
    ASSERT_GT(hold, 0);
    EXPECT_TRUE(waitForWaitingWriter(hold, 30));
    torvask.closeInput();
    tk::ChildResult result = torvask.wait(15);
    bool ended = processEnds(hold, 5);
    if (!ended) kill(hold, SIGKILL);
    EXPECT_FALSE(result.timedOut);
    EXPECT_EQ(0, result.exitStatus);
    EXPECT_TRUE(ended);
    EXPECT_EQ("pashtin: The run was stopped and command \"sh hold.sh\" does not read its input: what is left for it is "
              "dropped\n",
              result.err)
        << result.out;
    EXPECT_EQ(1, fm::countLines(result.out, "pashtin deleted"));
}

TEST_F(PashtinFlowTest, AnEmptyCommandStartsNothing) {
    std::unique_ptr<tk::Child> torvask = startFlow(pipeFlow({""}));
    torvask->send("dropped\n");
    torvask->closeInput();
    tk::ChildResult result = torvask->wait(60);
    ASSERT_FALSE(result.timedOut);
    EXPECT_EQ(0, result.exitStatus);
    EXPECT_EQ("", result.err);
    EXPECT_EQ(kLifeBefore + runningLine("") + kLifeAfter, moduleLines(result.out));
    EXPECT_EQ("", workFile("out.txt"));
}

// In-process: the module's threads, children and descriptors are seen from
// the test. The collector is declared first, so the module goes first.
class PashtinTest : public ::testing::Test {
protected:
    void SetUp() override {
        threadsBefore = threadCount();
        descriptorsBefore = descriptorCount();
        pashtin->AddReceiver(0, &collector, 0);
    }

    // Deletes the module: afterwards no child, thread or descriptor of it is left.
    void destroyAndCheckNothingIsLeft() {
        pashtin.destroy();
        EXPECT_EQ(std::vector<std::string>(), childrenOf(getpid()));
        EXPECT_EQ(threadsBefore, threadCountSettledAt(threadsBefore));
        EXPECT_EQ(descriptorsBefore, descriptorCount());
    }

    Collector collector;
    Instance pashtin{"Pashtin", "pashtin"};
    int threadsBefore = 0;
    int descriptorsBefore = 0;
};

TEST_F(PashtinTest, LinesArriveInOrderAndAnUnendedLastLineToo) {
    std::vector<std::string> counted;
    for (int i = 1; i <= 20000; ++i) counted.push_back(std::to_string(i) + "\n");
    const struct {
        const char* command;
        std::vector<std::string> lines;
    } cases[] = {
        {"seq 1 20000", counted},
        {"printf abc", {"abc"}},
        {"printf a\\nb\\n\\nc", {"a\n", "b\n", "\n", "c"}},
    };
    size_t before = 0;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.command);
        pashtin.set("command", c.command);
        ASSERT_TRUE(collector.waitForCount(before + c.lines.size(), 30));
        std::vector<std::string> values = collector.values();
        EXPECT_EQ(c.lines, std::vector<std::string>(values.begin() + static_cast<long>(before), values.end()));
        before = values.size();
    }
    destroyAndCheckNothingIsLeft();
}

TEST_F(PashtinTest, LongLinesArriveInPiecesOfAtMost9999Characters) {
    pashtin.set("command", "cat");
    const struct {
        size_t length;  // without the line feed
        std::vector<size_t> pieces;
    } cases[] = {
        {9998, {9999}},
        {9999, {9999, 1}},
        {25000, {9999, 9999, 5003}},
    };
    size_t before = 0;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.length);
        std::string line(c.length, 'x');
        pashtin->SetInput("string", &line[0]);
        ASSERT_TRUE(collector.waitForCount(before + c.pieces.size(), 30));
        std::vector<std::string> values = collector.values();
        std::string joined;
        std::vector<size_t> sizes;
        for (size_t i = before; i < values.size(); ++i) {
            sizes.push_back(values[i].size());
            joined += values[i];
        }
        EXPECT_EQ(c.pieces, sizes);
        EXPECT_EQ(line + "\n", joined);
        before = values.size();
    }
    destroyAndCheckNothingIsLeft();
}

bool hasChildNamed(const std::string& name) {
    for (const std::string& child : childrenOf(getpid()))
        if (child.size() > name.size() && child.compare(child.size() - name.size() - 1, std::string::npos, " " + name) == 0)
            return true;
    return false;
}

TEST_F(PashtinTest, ANewCommandEndsAndReapsTheRunningOne) {
    pashtin.set("command", "sleep 30");
    ASSERT_TRUE(hasChildNamed("sleep"));
    pashtin.set("command", "cat");
    // The sleep is gone, not even a zombie; cat is the only child.
    std::vector<std::string> children = childrenOf(getpid());
    ASSERT_EQ(1u, children.size());
    EXPECT_TRUE(hasChildNamed("cat")) << children[0];
    std::string text = "still piped";
    pashtin->SetInput("string", &text[0]);
    ASSERT_TRUE(collector.waitForCount(1, 30));
    EXPECT_EQ(std::vector<std::string>{"still piped\n"}, collector.values());
    pashtin->Reset();
    children = childrenOf(getpid());
    EXPECT_EQ(1u, children.size());
    destroyAndCheckNothingIsLeft();
}

TEST_F(PashtinTest, AFailedStartLeavesNothingRunning) {
    pashtin.set("command", "/nonexistent/zarn-program");
    EXPECT_EQ(std::vector<std::string>(), childrenOf(getpid()));
    EXPECT_EQ(threadsBefore, threadCountSettledAt(threadsBefore));
    std::string text = "dropped";
    pashtin->SetInput("string", &text[0]);
    // A directory is found but cannot be run.
    pashtin.set("command", "/");
    EXPECT_EQ(std::vector<std::string>(), childrenOf(getpid()));
    EXPECT_EQ(0u, collector.count());
    destroyAndCheckNothingIsLeft();
}

TEST_F(PashtinTest, ACommandThatIgnoresSIGTERMIsKilled) {
    tk::ScratchDir dir;
    std::string script = dir.path() + "/stubborn";
    tk::writeFile(script, "#!/bin/sh\ntrap '' TERM\necho ready\nwhile :; do sleep 1; done\n");
    chmod(script.c_str(), 0700);
    pashtin.set("command", script);
    ASSERT_TRUE(collector.waitForCount(1, 30));
    EXPECT_EQ(std::vector<std::string>{"ready\n"}, collector.values());
    destroyAndCheckNothingIsLeft();
}

// Descriptors of this process, even those without close-on-exec, stay
// here: ls sees its pipes, standard error and the directory it lists.
TEST_F(PashtinTest, TheChildGetsOnlyItsPipesAndStandardError) {
    int leaked = open("/dev/null", O_RDONLY);
    ASSERT_GE(leaked, 0);
    pashtin.set("command", "ls /proc/self/fd");
    ASSERT_TRUE(collector.waitForCount(4, 30));
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    EXPECT_EQ((std::vector<std::string>{"0\n", "1\n", "2\n", "3\n"}), collector.values());
    close(leaked);
    destroyAndCheckNothingIsLeft();
}

// head reads one line and ends: what follows is dropped without SIGPIPE
// ending this process and without the module waiting on a full pipe.
TEST_F(PashtinTest, ACommandThatStopsReadingNeitherBlocksNorKills) {
    pashtin.set("command", "head -n 1");
    std::string first = "first";
    pashtin->SetInput("string", &first[0]);
    ASSERT_TRUE(collector.waitForCount(1, 30));
    std::string big(10000, 'y');
    for (int i = 0; i < 200; ++i) pashtin->SetInput("string", &big[0]);
    EXPECT_EQ(std::vector<std::string>{"first\n"}, collector.values());
    destroyAndCheckNothingIsLeft();
}

TEST_F(PashtinTest, AReceiverMayRestartTheCommandFromTheReaderThread) {
    Corvane* module = pashtin.get();
    collector.onValue = [module](const std::string& line) {
        std::string next = "echo second";
        if (line == "first\n") module->SetInput("command", &next[0]);
    };
    pashtin.set("command", "echo first");
    ASSERT_TRUE(collector.waitForCount(2, 30));
    EXPECT_EQ((std::vector<std::string>{"first\n", "second\n"}), collector.values());
    destroyAndCheckNothingIsLeft();
}

TEST_F(PashtinTest, ConnectionsMayChangeWhileLinesArrive) {
    collector.keep = false;
    Collector second;
    second.keep = false;
    pashtin.set("command", "yes");
    ASSERT_TRUE(collector.waitForCount(1, 30));
    for (int i = 0; i < 500; ++i) {
        pashtin->AddReceiver(0, &second, 0);
        std::this_thread::yield();
        pashtin->RemoveReceiver(0, &second, 0);
    }
    size_t seen = collector.count();
    EXPECT_TRUE(collector.waitForCount(seen + 1000, 30));
    destroyAndCheckNothingIsLeft();
}

}  // namespace
}  // namespace th
