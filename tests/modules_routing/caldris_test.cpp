// Caldris: files to text, as the driver of a flow and on its own, run by
// torvask on flow files in scratch directories.

#include <fcntl.h>
#include <signal.h>
#include <stdlib.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <iostream>
#include <memory>
#include <thread>
#include <vector>

#include "rt_flow.h"

namespace rt {
namespace {

using fm::module;
using CaldrisTest = RoutingFlowTest;

// A Caldris driver on this list file, its contents shown between a prefix
// and "|".
std::string listFlow(const std::string& listFile) {
    return module("Caldris", "caldris", {"listfile \"" + listFile + "\""}) +
           module("Display", "display", {"data caldris data", "prefix \"> \"", "suffix \"|\\n\""});
}

// Relative names are taken from the flow file's directory, list entries
// too (not from the list's own directory), when the flow file is named with
// a directory; else from the working directory. Empty lines are skipped
// silently, a last line without a line feed counts, and the messages show
// the names as given.
TEST_F(CaldrisTest, NamesAreResolvedFromTheFlowFilesDirectory) {
    mkdir((work + "/run").c_str(), 0700);
    file("run/files.txt", "a.txt\n\n" + scratch + "/b.txt\nc.txt");
    file("run/a.txt", "alpha");
    file("run/c.txt", "gamma\n");
    tk::writeFile(scratch + "/b.txt", "beta");
    const struct {
        const char* flowPath;
        const char* listFile;
        std::string run;
    } cases[] = {
        {"run/flow.mivet", "files.txt",
         "caldris running.\ncaldris: Reading file a.txt\n> alpha|\ncaldris: Reading file " + scratch +
             "/b.txt\n> beta|\ncaldris: Reading file c.txt\n> gamma\n|\nStop()\n"},
        {"flow.mivet", "run/files.txt",
         "caldris running.\ncaldris: File not found: a.txt\ncaldris: Reading file " + scratch +
             "/b.txt\n> beta|\ncaldris: File not found: c.txt\nStop()\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.flowPath);
        tk::ChildResult result = run(listFlow(c.listFile), c.flowPath);
        EXPECT_EQ(1, fm::countLines(result.out, std::string("caldris: Reading list ") + c.listFile));
        // The connection sends the content read so far: none.
        EXPECT_EQ(1, fm::countLines(result.out, "> |"));
        EXPECT_EQ(c.run, section(result.out, "caldris running."));
        EXPECT_EQ("", result.err);
        EXPECT_EQ(0, result.exitStatus);
        EXPECT_NE(std::string::npos, result.out.find("\nCaldris weg\n"));
    }
}

// Listed files that cannot be read are reported on one line each and
// skipped; the others are still read. A carriage return stays part of its
// entry, and an entry longer than 127 characters is read whole.
TEST_F(CaldrisTest, UnreadableListedFilesAreReportedAndSkipped) {
    const std::string longDir = "d" + std::string(60, 'x') + "/e" + std::string(60, 'y');
    mkdir((work + "/" + longDir.substr(0, 61)).c_str(), 0700);
    mkdir((work + "/" + longDir).c_str(), 0700);
    mkdir((work + "/sub").c_str(), 0700);
    file("a.txt", "alpha");
    file(longDir + "/long.txt", "long");
    file("files.txt", "missing.txt\nsub\n/proc/self/mem\na.txt\r\na.txt\n" + longDir + "/long.txt\n");
    tk::ChildResult result = run(listFlow("files.txt"));
    EXPECT_EQ("caldris running.\n"
              "caldris: File not found: missing.txt\n"
              "caldris: Not a regular file: sub\n"
              "caldris: Reading file /proc/self/mem\ncaldris: Could not read file /proc/self/mem\n"
              "caldris: File not found: a.txt\r\n"
              "caldris: Reading file a.txt\n> alpha|\n"
              "caldris: Reading file " + longDir + "/long.txt\n> long|\n"
              "Stop()\n",
              section(result.out, "caldris running."));
    EXPECT_EQ("", result.err);
    EXPECT_EQ(0, result.exitStatus);
}

// Devices are read like files: /dev/null and /dev/stdin (here /dev/null)
// give an empty content; /dev/zero, which never ends, is given up at a
// bound instead of read until memory runs out. A directory and a socket
// are refused with one line each.
TEST_F(CaldrisTest, DevicesAreReadDirectoriesAndSocketsRefused) {
    mkdir((work + "/sub").c_str(), 0700);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    const std::string socketPath = work + "/sock";
    ASSERT_LT(socketPath.size(), sizeof address.sun_path);
    socketPath.copy(address.sun_path, socketPath.size());
    int listener = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    ASSERT_EQ(0, bind(listener, reinterpret_cast<sockaddr*>(&address), sizeof address));
    close(listener);
    file("a.txt", "alpha");
    file("files.txt", "/dev/null\n/dev/stdin\n/dev/zero\nsub\nsock\na.txt\n");
    tk::ChildResult result = run(listFlow("files.txt"));
    EXPECT_EQ("caldris running.\n"
              "caldris: Reading file /dev/null\n> |\n"
              "caldris: Reading file /dev/stdin\n> |\n"
              "caldris: Reading file /dev/zero\ncaldris: Could not read file /dev/zero\n"
              "caldris: Not a regular file: sub\n"
              "caldris: Not a regular file: sock\n"
              "caldris: Reading file a.txt\n> alpha|\n"
              "Stop()\n",
              section(result.out, "caldris running."));
    EXPECT_EQ("", result.err);
    EXPECT_EQ(0, result.exitStatus);
    rusage children{};
    getrusage(RUSAGE_CHILDREN, &children);
    EXPECT_LT(children.ru_maxrss / 1024, 200) << "megabytes at the most in torvask";
}

// Standard input as a pipe is read to its end; a pipe that gives more
// than the bound is given up like a device that never ends.
TEST_F(CaldrisTest, APipeOnStandardInputIsReadToItsEnd) {
    const struct {
        std::string piped;
        std::string lines;
    } cases[] = {
        {"x", "caldris: Reading file /dev/stdin\n> x|\n"},
        {"", "caldris: Reading file /dev/stdin\n> |\n"},
        {"two\nlines\n", "caldris: Reading file /dev/stdin\n> two\nlines\n|\n"},
        {std::string((size_t(16) << 20) + 1, 'z'),
         "caldris: Reading file /dev/stdin\ncaldris: Could not read file /dev/stdin\n> |\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.piped.substr(0, 10));
        std::unique_ptr<tk::Child> child = startFlow(
            module("Caldris", "caldris", {"filename \"/dev/stdin\""}) +
                module("Display", "display", {"data caldris data", "prefix \"> \"", "suffix \"|\\n\""}),
            {"-a", ""});
        child->send(c.piped);
        child->closeInput();
        tk::ChildResult result = child->wait(60);
        EXPECT_EQ(1, fm::countLines(result.out, "caldris: Reading file /dev/stdin"));
        EXPECT_NE(std::string::npos, result.out.find(c.lines)) << result.out.substr(0, 2000);
        EXPECT_EQ("", result.err);
        EXPECT_EQ(0, result.exitStatus);
    }
}

// A FIFO is opened as any reader opens it: the open waits for a writer,
// here one that comes a second after the run began and writes in two
// parts, and the FIFO is read until the writer closes it.
TEST_F(CaldrisTest, AFifoIsReadOnceItsWriterComesUntilItCloses) {
    const std::string fifo = work + "/fifo";
    ASSERT_EQ(0, mkfifo(fifo.c_str(), 0600));
    file("a.txt", "alpha");
    file("files.txt", "fifo\na.txt\n");
    std::unique_ptr<tk::Child> child = start(listFlow("files.txt"));
    std::atomic<bool> runEnded(false);
    std::thread writer([&fifo, &runEnded] {
        std::this_thread::sleep_for(std::chrono::seconds(1));
        // A writer's open fails while no reader has the FIFO open.
        int fd = -1;
        while (fd < 0 && !runEnded) {
            fd = open(fifo.c_str(), O_WRONLY | O_NONBLOCK | O_CLOEXEC);
            if (fd < 0) std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        if (fd < 0) return;
        fcntl(fd, F_SETFL, 0);
        if (write(fd, "first\n", 6) == 6) {
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
            if (write(fd, "second\n", 7) != 7) std::cerr << "second part not written" << std::endl;
        }
        close(fd);
    });
    tk::ChildResult result = child->wait(60);
    runEnded = true;
    writer.join();
    EXPECT_EQ("caldris running.\n"
              "caldris: Reading file fifo\n> first\nsecond\n|\n"
              "caldris: Reading file a.txt\n> alpha|\n"
              "Stop()\n",
              section(result.out, "caldris running."));
    EXPECT_EQ("", result.err);
    EXPECT_EQ(0, result.exitStatus);
}

// A FIFO that never gets a writer: when the run stops (a signal, or the
// end of -t's interaction) the wait for the writer ends with one line and
// nothing sent, the rest of the list is read, and the run ends.
TEST_F(CaldrisTest, TheWaitForAFifosWriterEndsWhenTheRunStops) {
    ASSERT_EQ(0, mkfifo((work + "/fifo").c_str(), 0600));
    file("a.txt", "alpha");
    file("files.txt", "fifo\na.txt\n");
    const struct {
        const char* name;
        std::vector<std::string> options;
        int sig;
    } cases[] = {
        {"SIGTERM", {"-a", ""}, SIGTERM},
        {"-t", {"-t", "-a", ""}, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        std::unique_ptr<tk::Child> child = startFlow(listFlow("files.txt"), c.options);
        if (c.sig != 0) {
            ASSERT_TRUE(child->waitForOutput("caldris running.\n", 30));
            std::this_thread::sleep_for(std::chrono::milliseconds(500));
            child->sendSignal(c.sig);
        }
        tk::ChildResult result = child->wait(30);
        ASSERT_FALSE(result.timedOut) << "the run did not end";
        EXPECT_EQ(c.sig, result.termSignal);
        EXPECT_EQ(c.sig == 0 ? 0 : -1, result.exitStatus);
        EXPECT_EQ("caldris running.\n"
                  "caldris: Gave up waiting for file fifo: the run stops\n"
                  "caldris: Reading file a.txt\n> alpha|\n"
                  "Stop()\n",
                  section(result.out, "caldris running."));
        EXPECT_EQ("", result.err);
    }
}

// A terminal is read until its end of file, which here comes only after
// the reading has begun: the module waits for it instead of giving up on a
// terminal that has nothing to read yet.
TEST_F(CaldrisTest, ATerminalIsReadUntilItsEndOfFile) {
    int terminal = posix_openpt(O_RDWR | O_NOCTTY);
    if (terminal < 0 || grantpt(terminal) != 0 || unlockpt(terminal) != 0) GTEST_SKIP() << "no terminals here";
    fcntl(terminal, F_SETFD, FD_CLOEXEC);
    const std::string tty = ptsname(terminal);
    ASSERT_EQ(6, write(terminal, "typed\n", 6));
    file("files.txt", "/dev/null\n" + tty + "\n");
    std::unique_ptr<tk::Child> child = start(listFlow("files.txt"));
    // The entry before the terminal is reported; give the module a moment
    // to begin reading the terminal, then end its input.
    EXPECT_TRUE(child->waitForOutput("caldris: Reading file /dev/null\n", 30));
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    const char endOfFile = '\x04';
    ASSERT_EQ(1, write(terminal, &endOfFile, 1));
    tk::ChildResult result = child->wait(60);
    close(terminal);
    EXPECT_EQ("caldris running.\n"
              "caldris: Reading file /dev/null\n> |\n"
              "caldris: Reading file " + tty + "\n> typed\n|\n"
              "Stop()\n",
              section(result.out, "caldris running."));
    EXPECT_EQ("", result.err);
    EXPECT_EQ(0, result.exitStatus);
}

// Names that cannot be read, given while the flow is configured, leave the
// list empty and send nothing.
TEST_F(CaldrisTest, UnreadableFileAndListNamesAreReported) {
    mkdir((work + "/sub").c_str(), 0700);
    std::string flow = module("Caldris", "caldris", {"listfile \"nolist.txt\""}) +
                       module("Caldris", "other",
                              {"listfile \"sub\"", "filename \"missing.txt\"", "filename \"sub\"", "filename \"\""}) +
                       module("Display", "display", {"data other data", "prefix \"> \"", "suffix \"|\\n\""});
    tk::ChildResult result = run(flow);
    EXPECT_EQ("caldris: List not found: nolist.txt\nother: Not a regular file: sub\n"
              "other: File not found: missing.txt\nother: Not a regular file: sub\n",
              tk::linesStartingWith(result.out, {"caldris:"}) + tk::linesStartingWith(result.out, {"other:"}));
    EXPECT_EQ("caldris running.\nStop()\n", section(result.out, "caldris running."));
    EXPECT_EQ("> |\n", tk::linesStartingWith(result.out, {">"}));
    EXPECT_EQ("", result.err);
}

// Every connection sends the content to all receivers made so far, so the
// first of two receivers gets it twice; before any file was read the
// content is the empty text.
TEST_F(CaldrisTest, EveryConnectionResendsTheContent) {
    file("a.txt", "alpha");
    std::string flow = module("Caldris", "caldris", {"filename \"a.txt\""}) + module("Caldris", "empty", {}) +
                       module("Display", "one", {"data caldris data", "prefix \"one: \""}) +
                       module("Display", "two", {"data caldris data", "prefix \"two: \""}) +
                       module("Display", "three", {"data empty data", "prefix \"three: [\"", "suffix \"]\\n\""});
    tk::ChildResult result = run(flow);
    EXPECT_EQ(1, fm::countLines(result.out, "caldris: Reading file a.txt"));
    EXPECT_EQ("one: alpha\none: alpha\ntwo: alpha\nthree: []\n",
              tk::linesStartingWith(result.out, {"one: "}) + tk::linesStartingWith(result.out, {"two: "}) +
                  tk::linesStartingWith(result.out, {"three: "}));
    EXPECT_EQ("", result.err);
}

// A stop while the list is read (here from a receiver of the first file)
// does not cut the list short.
TEST_F(CaldrisTest, StopDuringStartStillReadsEveryListedFile) {
    file("files.txt", "a.txt\nb.txt\nc.txt\n");
    file("a.txt", "alpha");
    file("b.txt", "beta");
    file("c.txt", "gamma");
    std::string flow = listFlow("files.txt") + module("RtProbe", "probe", {"stop caldris data"});
    tk::ChildResult result = run(flow);
    EXPECT_EQ("caldris running.\n"
              "caldris: Reading file a.txt\n> alpha|\nprobe stop\n"
              "caldris: Reading file b.txt\n> beta|\nprobe stop\n"
              "caldris: Reading file c.txt\n> gamma|\nprobe stop\n"
              "Stop()\n",
              section(result.out, "caldris running."));
    EXPECT_EQ(1, fm::countLines(result.out, "Stop()"));
    EXPECT_EQ("", result.err);
}

}  // namespace
}  // namespace rt
