// Display, Pennoch and their escape copy of prefix and suffix.

#include <dirent.h>
#include <fcntl.h>
#include <unistd.h>

#include <climits>
#include <cstdlib>

#include "Corvane.h"
#include "EscapeCopy.h"
#include "fm_flow_run.h"
#include "pluginHandle.h"

namespace fm {
namespace {

TEST(EscapeCopyTest, UnderstandsLineFeedAndTabOnly) {
    const struct {
        const char* given;
        const char* stored;
    } cases[] = {
        {"", ""},
        {"plain text", "plain text"},
        {"Value:\\t", "Value:\t"},
        {"\\n", "\n"},
        {"a\\nb\\tc", "a\nb\tc"},
        {"abc\\", "abc\\"},
        {"\\", "\\"},
        {"\\x", "\\x"},
        {"\\r\\\"\\0", "\\r\\\"\\0"},
        // The second character of an escape never starts one of its own.
        {"\\\\n", "\\\\n"},
        {"\\\\\\n", "\\\\\n"},
    };
    for (const auto& c : cases) EXPECT_EQ(c.stored, vorn::escapeCopy(c.given)) << c.given;
    EXPECT_EQ("", vorn::escapeCopy(nullptr));
}

using TextSinksTest = FlowRunTest;

// Two counts on a Display with these prefix and suffix literals.
std::string displayFlow(const std::string& prefix, const std::string& suffix) {
    std::string display = "Display display\n\tdata counter count\n";
    if (!prefix.empty()) display += "\tprefix \"" + prefix + "\"\n";
    if (suffix != "-") display += "\tsuffix \"" + suffix + "\"\n";
    return stepper("2", "0") + module("Counter", "counter", {"step stepper step"}) + display + "\n";
}

TEST_F(TextSinksTest, DisplayWritesPrefixValueAndSuffix) {
    const struct {
        const char* prefix;
        const char* suffix;  // "-" leaves the default
        const char* shown;
    } cases[] = {
        {"", "-", "0\n1\n"},
        {"Value:\\t", "-", "Value:\t0\nValue:\t1\n"},
        {"", "", "01"},
        {"<", ">\\n", "<0>\n<1>\n"},
        {"abc\\", " \\x\\\\n\\n", "abc\\0 \\x\\\\n\nabc\\1 \\x\\\\n\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string("prefix ") + c.prefix + ", suffix " + c.suffix);
        tk::ChildResult result = runFlow(displayFlow(c.prefix, c.suffix));
        EXPECT_EQ(std::string("Stepper running: 2, 0\n") + c.shown + "Stop()\n", runSection(result.out));
    }
}

// Counts on a Pennoch with these inputs after "data counter count".
std::string pennochFlow(const std::string& steps, std::initializer_list<std::string> inputs) {
    std::string pennoch = "Pennoch pennoch\n\tdata counter count\n";
    for (const std::string& input : inputs) pennoch += "\t" + input + "\n";
    return stepper(steps, "0") + module("Counter", "counter", {"step stepper step"}) + pennoch + "\n";
}

TEST_F(TextSinksTest, PennochAppendsAcrossRuns) {
    std::string flow = pennochFlow("2", {"prefix \"n=\"", "suffix \";\\n\"", "filename \"out.txt\""});
    tk::ChildResult first = runFlow(flow);
    EXPECT_EQ("n=0;\nn=1;\n", workFile("out.txt"));
    tk::ChildResult second = runFlow(flow);
    EXPECT_EQ("n=0;\nn=1;\nn=0;\nn=1;\n", workFile("out.txt"));
    EXPECT_EQ("", first.err + second.err);
}

TEST_F(TextSinksTest, TwoPennochsShareTheDefaultFile) {
    std::string flow = stepper("2", "0") + module("Counter", "counter", {"step stepper step"}) +
                       module("Pennoch", "first", {"data counter count", "prefix \"first \""}) +
                       module("Pennoch", "second", {"data counter count", "prefix \"second \""});
    tk::ChildResult result = runFlow(flow);
    EXPECT_EQ("first 0\nsecond 0\nfirst 1\nsecond 1\n", workFile("FlowDefault.dat"));
    EXPECT_EQ(2, countLines(result.out, "Pennoch weg"));
}

// Each value goes to the file named after it: a new name closes the open
// file and the next value opens the new one.
TEST_F(TextSinksTest, PennochNewFilenameTakesEffectAtTheNextValue) {
    std::string flow = stepper("3", "0") + module("Counter", "counter", {"step stepper step"}) +
                       module("Pennoch", "pennoch", {"filename counter count", "data counter count"});
    runFlow(flow);
    EXPECT_EQ("0\n", workFile("0"));
    EXPECT_EQ("1\n", workFile("1"));
    EXPECT_EQ("2\n", workFile("2"));
    EXPECT_EQ("", workFile("FlowDefault.dat"));
}

TEST_F(TextSinksTest, PennochReportsAFileItCannotOpenAtEveryValue) {
    tk::ChildResult result = runFlow(pennochFlow("2", {"filename \"no/such/dir/out.txt\""}));
    ASSERT_FALSE(result.timedOut);
    EXPECT_EQ(0, result.exitStatus);
    EXPECT_EQ("could not open/create no/such/dir/out.txt\ncould not open/create no/such/dir/out.txt\n",
              result.err);
    EXPECT_EQ("Stepper running: 2, 0\nStop()\n", runSection(result.out));
}

// A failed write is reported once per value and the file is opened anew
// for the next one.
TEST_F(TextSinksTest, PennochReportsAFailedWrite) {
    tk::ChildResult result = runFlow(pennochFlow("2", {"filename \"/dev/full\""}));
    ASSERT_FALSE(result.timedOut);
    EXPECT_EQ(0, result.exitStatus);
    EXPECT_EQ("pennoch: could not write to /dev/full\npennoch: could not write to /dev/full\n", result.err);
    EXPECT_EQ(1, countLines(result.out, "Pennoch weg"));
}

// This process's descriptor open on `path`, or -1.
int descriptorOf(const std::string& path) {
    char real[PATH_MAX];
    if (realpath(path.c_str(), real) == nullptr) return -1;
    int found = -1;
    DIR* fds = opendir("/proc/self/fd");
    if (fds == nullptr) return -1;
    while (dirent* entry = readdir(fds)) {
        char target[PATH_MAX];
        std::string link = std::string("/proc/self/fd/") + entry->d_name;
        ssize_t length = readlink(link.c_str(), target, sizeof target - 1);
        if (length <= 0) continue;
        target[length] = '\0';
        if (std::string(target) == real) found = std::atoi(entry->d_name);
    }
    closedir(fds);
    return found;
}

// The file that Pennoch keeps open between values is not handed to child
// processes, and is closed with the module.
TEST(PennochFileTest, StaysOpenCloseOnExecUntilTheModuleIsGone) {
    std::string dir = tk::makeScratchDir();
    pluginHandle handle("Pennoch", nullptr, nullptr, nullptr);
    handle.SetPath(std::string(ZARN_BUILD_DIR) + "/lib/");
    handle.Load();
    ASSERT_NE(nullptr, handle.newObject);
    std::string name = "pennoch";
    Corvane* pennoch = handle.newObject(name);
    std::string file = dir + "/out.txt";
    pennoch->SetInput("filename", &file[0]);
    char value[] = "1";
    pennoch->SetInput("data", value);

    int fd = descriptorOf(file);
    ASSERT_GE(fd, 0);
    EXPECT_NE(0, fcntl(fd, F_GETFD) & FD_CLOEXEC);
    handle.delObject(pennoch);
    EXPECT_EQ(-1, descriptorOf(file));
    EXPECT_EQ("1\n", tk::readFile(file));
    tk::removeTree(dir);
}

}  // namespace
}  // namespace fm
