// Notify: messages with terminal escapes and shell commands on triggers,
// run by torvask on flow files in scratch directories.

#include "InheritedSignals.h"
#include "rt_flow.h"

namespace rt {
namespace {

using fm::module;
using fm::stepper;
using NotifyTest = RoutingFlowTest;

const std::string kReset = "\033[0m";

// A Notify on a two-step Stepper with these input lines.
std::string notifyFlow(const std::vector<std::string>& inputs) {
    std::string notify = "Notify notify\n\ttrigger stepper step\n";
    for (const std::string& input : inputs) notify += "\t" + input + "\n";
    return stepper("2", "0") + notify + "\n";
}

TEST_F(NotifyTest, DefaultsAndLifeMessages) {
    tk::ChildResult result = run(notifyFlow({}));
    EXPECT_EQ("Stepper running: 2, 0\nBEEP" + kReset + "\nBEEP" + kReset + "\nStop()\n", fm::runSection(result.out));
    EXPECT_EQ(0, fm::countLines(result.out, "notify instantiated"));
    EXPECT_EQ(1, fm::countLines(result.out, "notify initialized."));
    EXPECT_EQ(1, fm::countLines(result.out, "notify deleted"));
    EXPECT_EQ("", result.err);
    EXPECT_EQ(0, result.exitStatus);
}

// Option letters and SGR commands (backslash, introducer, '[', code, 'm')
// build the escape text; anything else is reported per character.
TEST_F(NotifyTest, OptionsBuildTheEscapeText) {
    const struct {
        const char* options;
        const char* escape;
        const char* errors;  // the characters reported, in order
    } cases[] = {
        {"", "", ""},
        {"rX", "\033[31m\033[1m", ""},
        {"gbRGBY", "\033[32m\033[34m\033[41m\033[42m\033[44m\033[5m", ""},
        {"\\e[1;31m", "\033[1;31m", ""},
        {"\\033[7m", "\033[7m", ""},
        {"\\E[4m\\33[42m", "\033[4m\033[42m", ""},
        {"\\x[7m", "", "7m"},
        {"r b", "\033[31m\033[34m", " "},
        // An empty code or one of five or six characters appends nothing.
        {"\\e[mr", "\033[31m", ""},
        {"\\e[12345mr", "\033[31m", ""},
        {"\\e[123456mr", "\033[31m", ""},
        {"\\e[1234m", "\033[1234m", ""},
        // A seventh character without its delimiter ends the options.
        {"\\e[1234567mr", "", ""},
        {"\\eeeeeee[1mr", "", ""},
        {"\\eeeeee[1m", "", "1m"},
        // A command cut short by the end of the options appends nothing.
        {"r\\e[1", "\033[31m", ""},
        {"r\\e", "\033[31m", ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.options);
        tk::ChildResult result = run(notifyFlow({std::string("options \"") + c.options + "\""}));
        std::string line = std::string(c.escape) + "BEEP" + kReset + "\n";
        EXPECT_EQ("Stepper running: 2, 0\n" + line + line + "Stop()\n", fm::runSection(result.out));
        std::string errors;
        for (const char* at = c.errors; *at != '\0'; ++at)
            errors += std::string("notify: don't understand option ") + *at + "\n";
        EXPECT_EQ(errors, result.err);
    }
}

// Commands run through the shell before the message; '+' keeps the message.
// A failing command is reported once and cleared: from that trigger on, the
// message is printed.
TEST_F(NotifyTest, MessagesAndCommands) {
    const std::string beep = "BEEP" + kReset + "\n";
    const struct {
        std::vector<std::string> inputs;
        std::string run;
        std::string err;
    } cases[] = {
        {{"message \"Done!\""}, "Done!" + kReset + "\nDone!" + kReset + "\n", ""},
        {{"message \"\""}, beep + beep, "notify: no message given, resetting to \"BEEP\"\n"},
        {{"options \"g\"", "message \"go on\""}, "\033[32mgo on" + kReset + "\n\033[32mgo on" + kReset + "\n", ""},
        {{"command \"+echo hi\""}, "hi\n" + beep + "hi\n" + beep, ""},
        {{"command \"echo hi\""}, "hi\nhi\n", ""},
        {{"command \"+\""}, beep + beep, ""},
        {{"command \"echo ran; exit 1\""},
         "ran\n" + beep + beep,
         "notify:  Couldn't execute command 'echo ran; exit 1'\n"},
        {{"command \"+exit 3\""}, beep + beep, "notify:  Couldn't execute command 'exit 3'\n"},
        {{"command \"kill -9 $$\""}, beep + beep, "notify:  Couldn't execute command 'kill -9 $$'\n"},
        // A later command replaces an earlier one, and an empty one clears it.
        {{"command \"echo one\"", "command \"echo two\""}, "two\ntwo\n", ""},
        {{"command \"echo one\"", "command \"\""}, beep + beep, ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.inputs.back());
        tk::ChildResult result = run(notifyFlow(c.inputs));
        EXPECT_EQ("Stepper running: 2, 0\n" + c.run + "Stop()\n", fm::runSection(result.out));
        EXPECT_EQ(c.err, result.err);
        EXPECT_EQ(0, result.exitStatus);
    }
}

// The shell sees no descriptor of the process beyond standard input, output
// and error, and what the flow printed before the command comes first.
TEST_F(NotifyTest, CommandsInheritNoDescriptorsAndFollowEarlierOutput) {
    std::string flow = stepper("1", "0") + module("RtLeak", "leak", {}) +
                       module("Counter", "counter", {"step stepper step"}) +
                       module("Display", "display", {"data counter count"}) +
                       module("Notify", "notify",
                              {"trigger stepper step",
                               "command \"[ -e /proc/$$/fd/57 ] && echo fd 57 inherited || echo fd 57 closed\""});
    tk::ChildResult result = run(flow);
    EXPECT_EQ(1, fm::countLines(result.out, "leak holds descriptor 57"));
    EXPECT_EQ("Stepper running: 1, 0\n0\nfd 57 closed\nStop()\n", fm::runSection(result.out));
    EXPECT_EQ("", result.err);
}

// What torvask ignores or blocks, and what it inherited, does not reach the
// shell: the command starts as from a shell of its own.
TEST_F(NotifyTest, CommandsStartWithEverySignalAtItsDefault) {
    tk::ChildResult result;
    {
        inherited::UnusualSignals unusual;
        result = run(notifyFlow({"command \"grep -e SigBlk -e SigIgn /proc/self/status\""}));
    }
    const std::string lines = inherited::kDefaultSignalLines;
    EXPECT_EQ("Stepper running: 2, 0\n" + lines + lines + "Stop()\n", fm::runSection(result.out));
    EXPECT_EQ("", result.err);
    EXPECT_EQ(0, result.exitStatus);
}

}  // namespace
}  // namespace rt
