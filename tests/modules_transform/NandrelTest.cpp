// Nandrel under torvask: one property of TrScript's records goes on as a
// plain value to the inputs of a TrSink.

#include <string>

#include "TrFlow.h"

namespace tr {
namespace {

using NandrelTest = TrFlowTest;

// Nandrel on the script's records with these more input lines, feeding the
// sink's inputs named in `sinkInputs`.
std::string nandrelFlow(std::initializer_list<std::string> more, std::initializer_list<std::string> sinkInputs) {
    std::string nandrel = "Nandrel nandrel\n\tfevent script fevent\n";
    for (const std::string& line : more) nandrel += "\t" + line + "\n";
    std::string sink = "TrSink sink\n";
    for (const std::string& input : sinkInputs) sink += "\t" + input + " nandrel output\n";
    return scriptDriver() + nandrel + "\n" + sink + "\n";
}

TEST_F(NandrelTest, OutputTakesThePropertysTypeAtTheFirstRecord) {
    std::string flow = nandrelFlow({"property \"v\""}, {"values", "text"});
    std::string script = "prop v vdouble\nannounce\nset v 1 2.5\nsend\nset v 3\nsend\n";
    // The announcement retypes the output and sends nothing.
    EXPECT_EQ("sink values [1 2.5]\nsink text [1 2.5 ]\nsink values [3]\nsink text [3 ]\n",
              runOf(run(flow, script).out));
}

TEST_F(NandrelTest, PathsReachIntoNestedRecords) {
    std::string flow = nandrelFlow({"property \"sub/x\""}, {"number"});
    std::string script = "prop sub/x double\nset sub/x 2.5\nsend\nset sub/x -1\nsend\n";
    EXPECT_EQ("sink number 2.5\nsink number -1\n", runOf(run(flow, script).out));
}

TEST_F(NandrelTest, ANewNameIsLookedUpAtTheNextRecordAndRetypes) {
    std::string flow = nandrelFlow({"property \"v\"", "property script control"}, {"text", "count"});
    std::string script = "prop v vint\nprop e double\nset v 4 5\nset e 2.5\nsend\ncontrol e\nsend\n";
    EXPECT_EQ("sink text [4 5 ]\nsink text [2.5]\nsink count 2\n", runOf(run(flow, script).out));
}

TEST_F(NandrelTest, FollowsPropertiesThatGoAndComeAndRecordsThatChange) {
    std::string flow = nandrelFlow({"property \"v\""}, {"values"});
    const std::string missing = "FlowProperty v not found.\nnandrel: Unknown property v\n";
    std::string script =
        "prop v vdouble\nset v 1\nannounce\nsend\n"
        "erase v\nannounce\nsend\n"                // gone: nothing is sent, at every record
        "prop v vdouble\nset v 5\nsend\n"          // back: found again at the next record
        "use B\nprop v vdouble\nset v 7\nsend\n"   // another record object is looked up anew
        "use A\nsend\n";
    EXPECT_EQ("sink values [1]\n" + missing + missing + "sink values [5]\nsink values [7]\nsink values [5]\n",
              runOf(run(flow, script).out));
}

TEST_F(NandrelTest, FormulaPropertiesAreEvaluatedForEachRecord) {
    std::string flow = nandrelFlow({"property \"w\""}, {"values"});
    std::string script = "prop v vint\nformula w = v * 2\nsay go\nset v 1 2\nsend\nset v 5\nsend\n";
    std::string out = runOf(run(flow, script).out);
    EXPECT_EQ("sink values [2 4]\nsink values [10]\n", out.substr(out.find("say: go\n") + 8));
}

TEST_F(NandrelTest, AnythingButARecordIsIgnoredWithOneLine) {
    std::string flow = scriptDriver() +
                       module("Nandrel", "nandrel", {"fevent \"abc\"", "fevent script raw", "property \"v\""}) +
                       module("Nandrel", "second", {"fevent script text", "property \"v\""});
    tk::ChildResult result = run(flow, "raw\nraw\ntext x\n");
    EXPECT_NE(std::string::npos,
              loadOf(result.out).find("nandrel: Input fevent takes Tavrels only, ignoring a value of type 13.\n"));
    EXPECT_EQ("nandrel: Input fevent takes Tavrels only, ignoring a value of type 18.\n"
              "second: Input fevent takes Tavrels only, ignoring a value of type 19.\n",
              runOf(result.out));
}

}  // namespace
}  // namespace tr
