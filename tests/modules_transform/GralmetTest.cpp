// Gralmet under torvask: records from TrScript are rendered by formats,
// one Gralmet per format, each feeding its own TrSink.

#include <string>
#include <vector>

#include "TrFlow.h"

namespace tr {
namespace {

using GralmetTest = TrFlowTest;

struct FormatCase {
    const char* format;
    std::vector<std::string> missing;  // names warned about, in order
    const char* sent;                  // null: nothing is sent
};

// One record, announced and then sent.
const char* const kRecordScript =
    "prop e double\nprop t int\nprop a int\nprop b int\nprop v vint\nprop empty vint\nprop s string\n"
    "formula dbl = v * 2\n"
    "set e 2.5\nset t 7\nset a 1\nset b 2\nset v 1 2\nset s hi there\n"
    "say go\nannounce\nsend\n";

TEST_F(GralmetTest, FormatsExpandPlaceholdersByTheirRules) {
    const FormatCase cases[] = {
        {"E=%e  t=%{t}s", {}, "E=2.5  t=7s"},
        {"%{a}%{b}", {}, "12"},
        {"%v", {}, "1    2"},
        {"", {}, ""},
        {"plain", {}, "plain"},
        {"x=%t", {}, "x=7"},
        {"end%", {""}, "end"},
        {"%e %missing %t", {"missing"}, "2.5  7"},
        {"n=%empty", {}, nullptr},
        {"%{empty}", {}, nullptr},
        {"%empty %e", {}, " 2.5"},
        {"%dbl", {}, "2    4"},
        {"%{s}!", {}, "hi there!"},
        {"%{e", {}, "2.5"},
        {"%e\tx", {"e\tx"}, ""},
        {"%e%t", {"e%t"}, ""},
        // Conversions of printf are only names here: nothing reads arguments.
        {"%d %s%n %99999999s", {"d", "s%n", "99999999s"}, "  "},
        {"100% done", {""}, "100 done"},
    };
    std::string flow = scriptDriver(), expected;
    for (size_t k = 0; k < sizeof cases / sizeof cases[0]; ++k) {
        const FormatCase& c = cases[k];
        std::string gralmet = "g" + std::to_string(k), sink = "out" + std::to_string(k);
        flow += module("Gralmet", gralmet, {"fevent script fevent", std::string("format \"") + c.format + "\""});
        flow += module("TrSink", sink, {"text " + gralmet + " string"});
        for (const std::string& name : c.missing)
            expected += "Warning: Property " + name + " not found in the Tavrel.\n";
        if (c.sent != nullptr) expected += sink + " text [" + c.sent + "]\n";
    }
    tk::ChildResult result = run(flow, kRecordScript);
    std::string run = runOf(result.out);
    EXPECT_EQ(expected, run.substr(run.find("say: go\n") + 8));
}

TEST_F(GralmetTest, EveryEventIsRenderedAnewAndFormatsChangeAtTheNextEvent) {
    std::string flow = scriptDriver() +
                       module("Gralmet", "gralmet",
                              {"fevent script fevent", "format \"[%{x}]\"", "format script text"}) +
                       module("TrSink", "sink", {"text gralmet string"});
    std::string script = "prop x vdouble\nannounce\nset x 1.5\nsend\nset x 2 3\nsend\ntext x=%x ;\nset x 4\nsend\n";
    EXPECT_EQ("sink text [[1.5]]\nsink text [[2    3]]\nsink text [x=4 ;]\n", runOf(run(flow, script).out));
}

TEST_F(GralmetTest, AnythingButARecordIsIgnoredWithOneLine) {
    std::string flow = scriptDriver() + module("Gralmet", "gralmet", {"fevent script raw", "format \"x\""}) +
                       module("TrSink", "sink", {"text gralmet string"});
    EXPECT_EQ("gralmet: Input fevent takes Tavrels only, ignoring a value of type 18.\n",
              runOf(run(flow, "raw\nraw\n").out));
}

}  // namespace
}  // namespace tr
