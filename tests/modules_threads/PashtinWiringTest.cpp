// Two Pashtins deliver records from their reader threads at the same time,
// into modules that change connections on the delivering thread: Vossik
// replaces its inputs at every line, Drovin wires its internal output and
// Nandrel retypes its output at the first record. Run under ThreadSanitizer,
// the process-wide tables behind the connections must show no race.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <string>

#include "fm_flow_run.h"

namespace {

using fm::module;

// One chain, its names ending in `tag`.
std::string chain(const std::string& tag) {
    return module("Pashtin", "lines" + tag, {"command \"./lines.sh\""}) +
           module("Vossik", "formulas" + tag, {"inputs lines" + tag + " string"}) +
           module("Felmira", "parse" + tag,
                  {"string lines" + tag + " string", "regex \"m ([0-9]+)\"", "properties \"* n\""}) +
           module("Drovin", "cut" + tag, {"fevent parse" + tag + " fevent", "cut \"n > -1\""}) +
           module("Nandrel", "take" + tag, {"fevent cut" + tag + " pass", "property \"n\""}) +
           module("Display", "show" + tag, {"data take" + tag + " output", "prefix \"" + tag + " \""});
}

class PashtinWiringTest : public fm::FlowRunTest {};

TEST_F(PashtinWiringTest, TwoReaderThreadsChangeConnectionsAtOnce) {
    // The lines come once both readers are running, as fast as the pipe goes.
    const std::string script = work + "/lines.sh";
    tk::writeFile(script, "#!/bin/sh\nsleep 0.3\ni=0\nwhile [ $i -lt 300 ]; do echo \"n$i m $i\"; i=$((i+1)); done\n");
    chmod(script.c_str(), 0700);
    tk::ChildResult result = runFlow(fm::stepper("30", "0.1") + chain("a") + chain("b"));
    EXPECT_EQ(0, result.exitStatus) << result.err.substr(0, 4000);
    EXPECT_EQ(std::string::npos, result.err.find("ThreadSanitizer")) << result.err.substr(0, 4000);
    EXPECT_GT(fm::countLines(result.out, "a 299 "), 0) << result.out.substr(0, 2000);
    EXPECT_GT(fm::countLines(result.out, "b 299 "), 0);
}

}  // namespace
